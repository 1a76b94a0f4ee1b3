#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// The form ConvertPathName produces.
enum class PathForm {
    Short, ///< every component's 8.3 alias, as the system gives it
    Long, ///< every component below a drive root or a network share replaced by the name the shell shows
};

/// The path in the requested form.
///
/// Short: the shell's short form of the path; when the shell gives none (the path does
/// not exist, it is a local path, or the short form is longer than 255 characters) the
/// path comes back unchanged.
///
/// Long: works from the last component backwards, each component replaced by its display
/// name; a drive root ("C:\"), the server and the share ("\\SRV\VOL") are never
/// converted, and a component the shell does not know stays as it is. "C:\" gives "C:",
/// "\\SRV" gives "\\SRV", "\\SRV\VOL\" gives "\\SRV\VOL". Each component grows at most
/// by its display name: a display name that is empty or holds a separator counts as no
/// answer. Never fails.
std::string ConvertPathName(const std::string& path, PathForm form);

/// Converts many paths to the long form, remembering the long form of every folder it
/// has converted, so that each further path below a known folder costs one display-name
/// lookup instead of one per component. Gives exactly what ConvertPathName(path,
/// PathForm::Long) gives, provided the shell's answers do not change while the converter
/// is in use (make one per batch of paths, as long names does per run).
class LongPathConverter {
public:
    std::string convert(const std::string& path);

    /// Folders as given to their long forms: the texts in one buffer and the index in one
    /// open-addressing table, so that a converter that has met hundreds of thousands of
    /// folders is two blocks of memory, not a node and two texts per folder (freeing
    /// those, and the allocator tidying them up afterwards, stalled the window for a
    /// quarter of a second after long names at ten million entries).
    class FolderForms {
    public:
        /// The long form of a folder, or none; valid until the next add.
        std::optional<std::string_view> find(std::string_view folder) const;
        /// Adds a folder that is not there yet.
        void add(std::string_view folder, std::string_view longForm);
        size_t size() const noexcept { return m_count; }
        void clear();

    private:
        struct Slot {
            uint64_t hash = 0;
            uint64_t at = 0; ///< where the folder's text starts in m_texts, its long form after it
            uint32_t folderLength = 0;
            uint32_t formLength = 0; ///< + 1; 0: a free slot
        };
        std::string m_texts;
        std::vector<Slot> m_slots;
        size_t m_count = 0;
    };

private:
    static constexpr size_t maxFolders = 1'000'000;
    FolderForms m_folders;
};
