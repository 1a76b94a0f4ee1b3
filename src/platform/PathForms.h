#pragma once

#include <string>
#include <unordered_map>

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

private:
    static constexpr size_t maxFolders = 1'000'000;
    std::unordered_map<std::string, std::string> m_folders; // folder as given -> its long form
};
