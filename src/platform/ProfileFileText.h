#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

/// The text of one INI (profile) file held in memory, edited line by line the way the
/// Windows profile-file service edits it: every line the edits do not touch (comments,
/// blank lines, other sections, unknown keys, lines that are not INI at all) is written
/// back byte for byte, with its own line end.
///
/// Reading rules:
/// - A line ends at LF, CR LF or a CR alone (the line ends of old Macintosh files); each
///   line keeps its own line end when the text is written back.
/// - A section opens with a line whose first non-blank character is "[" and that holds a
///   "]"; its name is the text between the "[" and the last "]", without surrounding
///   blanks. A "[" line without "]" is an unknown line and opens nothing.
/// - An entry is a line "key=value" inside a section; the key ends at the first "=".
///   Key and value lose their surrounding blanks; then one pair of enclosing double
///   quotes is dropped from the value. Lines before the first section, comment lines
///   (";" or "#" first) and lines without "=" are kept but hold no entry.
/// - Section and key names compare without regard to case (Unicode case folding,
///   util/CaseFold.h, as names and paths do everywhere: the keys of the queue's check
///   marks are paths). When a name occurs twice, the first occurrence in the file is
///   the one read and changed.
///
/// Writing rules (the inverse, so that every key and every value round-trips):
/// - A key that could not be read back as it is (empty, surrounding blanks, a "=", or a
///   first character "[", ";", "#" or '"') is written in double quotes: '"a=b"=1'.
///   Network paths such as '\\SRV\VOL1\R&D' need no quotes and are written plainly.
/// - A value with surrounding blanks is written in double quotes so they survive; any
///   other value is written exactly as given (a value that already stands in double
///   quotes therefore reads back without them, as the history entries rely on).
/// - Line breaks and NUL characters cannot be stored in keys, values or section names,
///   nor a key holding a double quote followed by "=": such writes are refused.
/// - A new key goes after the last non-blank line of its section; a new section goes at
///   the end of the file, after a blank line (a section erased before returns to its old
///   place, see eraseSection). New lines use the file's first line end
///   (CR LF, LF or CR; LF for a new file).
class ProfileFileText {
public:
    /// An entry of a section as listSection gives it: the key and the value as read.
    using Entry = std::pair<std::string, std::string>;

    ProfileFileText() = default;
    /// Parses raw file bytes; never fails (anything that is not INI becomes unknown lines).
    explicit ProfileFileText(const std::string& bytes);

    /// The file bytes: the unchanged lines as they came, the edited lines in the forms above.
    std::string toBytes() const;

    /// The value of key in section (blanks and one pair of enclosing quotes dropped);
    /// nothing when the section or key is missing.
    std::optional<std::string> value(const std::string& section, const std::string& key) const;

    /// True when a section of that name exists (even an empty one).
    bool hasSection(const std::string& section) const;

    /// Every entry of the section in file order (all sections of that name, in order);
    /// empty for a missing section.
    std::vector<Entry> listSection(const std::string& section) const;

    /// Sets the value of key in section, adding the key or the section as needed. Returns
    /// false and leaves the text unchanged when the section name, key or value cannot be
    /// stored (see the writing rules); error then says why.
    bool setValue(const std::string& section, const std::string& key, const std::string& value, std::string& error);

    /// Removes every section of that name with all its lines (comments included). A
    /// missing section changes nothing. When the section is written again it returns to
    /// the place of its first copy, so erasing and rewriting the same entries gives the
    /// same bytes.
    void eraseSection(const std::string& section);

private:
    struct Line {
        std::string text; // without its line end
        std::string eol; // "\n", "\r\n", "\r" or "" (the last line of a file without a final line end)
    };
    struct Section {
        bool hasHeader = false; // false only for the lines before the first section
        std::string foldedName; // FoldName of the name, for lookups
        std::vector<Line> lines; // the header line first when hasHeader
        bool erased = false; // a place holder: not read, not written (see eraseSection)
    };
    // Every section of one name at once, so that a lookup costs the same in a file of
    // 100,000 sections as in one of three.
    struct NameIndex {
        std::vector<size_t> sections; // the live sections of the name, in file order
        std::unordered_map<std::string, std::pair<size_t, size_t>> keys; // folded key -> its first (section, line)
        std::optional<size_t> placeholder; // the erased first copy, see eraseSection
    };

    /// Indexes every section and key again, and finds the file's first line end (after
    /// an erase, which moves sections).
    void rebuildIndex();
    /// The index of a name with at least one live section, or nullptr.
    const NameIndex* indexOf(const std::string& foldedName) const;
    /// The first section of that name holding the key, and the key's line in it.
    bool findKey(const std::string& foldedName, const std::string& foldedKey, size_t& section, size_t& line) const;

    std::string m_bom; // a UTF-8 byte order mark in front of the first line, kept as is
    std::vector<Section> m_sections;
    std::unordered_map<std::string, NameIndex> m_names; // folded section name -> its sections
    std::string m_eol = "\n"; // the file's first line end, used for new lines
};
