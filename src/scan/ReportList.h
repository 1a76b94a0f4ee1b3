#pragma once

#include "scan/ChunkedArray.h"
#include "scan/NameTable.h"
#include "scan/PathTable.h"
#include "scan/TextArena.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// What a row of a report list is. The by-path results hold the first six; the list by
/// trustee holds header and detail rows, whose kind code is 0 like a separator's.
enum class ReportRow : uint8_t {
    Separator, ///< code 0, an empty line
    Setting, ///< codes 10..14: a value of the start path's settings block
    Path, ///< code 15: an entry's path, a node of the path table
    Trustee, ///< code 16: a name and its rights
    Owner, ///< code 17: a name, or none ("(n/a)")
    Irm, ///< code 18: an inherited rights mask
    TrusteeHeader, ///< list by trustee: 'Trustee: <name> '
    TrusteeDetail, ///< list by trustee: '     <path> [<rights letters>]'
};

/// One line of a report list, as the store keeps it: its structure, not its text.
struct ReportLine {
    ReportRow row = ReportRow::Separator;
    int32_t code = 0; ///< the kind code: 0 or 10..18 (0 for the rows of the list by trustee)
    uint32_t node = PathTable::noNode; ///< Path, TrusteeDetail (noNode: no path, an empty text)
    bool longForm = false; ///< Path, TrusteeDetail: the text is the node's long form
    uint32_t name = NameTable::noName; ///< Trustee, Owner (noName: "(n/a)"), TrusteeHeader
    uint16_t rights = 0; ///< Trustee, Irm, TrusteeDetail: the rights mask
    std::string_view value; ///< Setting: the value after the label (valid until clear)
};

class PathTextCache;

/// The store of report lines that a result list shows: lines are appended in scan order
/// and read by index. Each line keeps its structure (ReportLine) in one 64-bit slot:
/// a path line refers to a node of a path table, a trustee or owner line to a name of a
/// name table, rights are a mask, and only the settings lines' values are texts of
/// their own. The texts shown and written are made from it when they are needed
/// (`appendText`), so nothing ever parses a line's text back.
///
/// Built for millions of lines: slots in blocks that never move, no heap allocation per
/// line, each entry's path one node with its own name only, each name stored once.
///
/// The tables may be shared with another list (the list by trustee refers to the paths
/// and names of the results it was built from, `shareTables`); they live as long as a
/// list that refers to them. `clear` lets go of them.
class ReportList {
public:
    ReportList() = default;
    ReportList(ReportList&&) noexcept = default;
    ReportList& operator=(ReportList&&) noexcept = default;
    ReportList(const ReportList&) = delete;
    ReportList& operator=(const ReportList&) = delete;

    // ---- appending (each appends one line at the end)

    /// An empty separator line (code 0).
    void appendSeparator();
    /// A settings line: code 10..14 and the value that follows the label. Other codes
    /// throw std::invalid_argument.
    void appendSetting(int32_t code, std::string_view value);
    /// A path line (code 15) for a path text: the node PathTable::resolve gives it, with
    /// the walk's entry type. Returns the node.
    uint32_t appendPathLine(std::string_view text, PathEntryType type = PathEntryType::NotReported);
    /// A path line (code 15) for a node of this list's path table.
    void appendPath(uint32_t node);
    /// A trustee line (code 16): a name of this list's name table and the rights mask.
    void appendTrustee(uint32_t name, uint16_t rights);
    /// An owner line (code 17): a name of this list's name table, or NameTable::noName
    /// for an owner that is not known ("(n/a)").
    void appendOwner(uint32_t name);
    /// An IRM line (code 18).
    void appendIrm(uint8_t mask);
    /// A header row of the list by trustee.
    void appendTrusteeHeader(uint32_t name);
    /// A detail row of the list by trustee: the path (noNode: none) in its long form when
    /// longForm is set and the node has one now, else in its short form; and the rights.
    void appendTrusteeDetail(uint32_t node, bool longForm, uint16_t rights);

    // ---- reading

    size_t count() const noexcept { return m_slots.size(); }
    bool empty() const noexcept { return m_slots.empty(); }

    /// The line at index (0 <= index < count()).
    ReportLine line(size_t index) const noexcept;
    /// Its kind code (0 or 10..18).
    int32_t code(size_t index) const noexcept;

    /// Appends the line's text, exactly as it is shown and saved, to out. A reader that
    /// goes through the lines in order passes a cache for the paths' texts.
    void appendText(size_t index, std::string& out, PathTextCache* paths = nullptr) const;
    /// The line's text (for tests and single lines; readers of many lines use appendText).
    std::string text(size_t index) const;
    /// Appends the text of a path in its short form or, when longForm is set and the node
    /// has one, its long form; nothing for noNode.
    void appendPathText(uint32_t node, bool longForm, std::string& out) const;

    /// An owner line's value: the name, or "(n/a)" for NameTable::noName.
    std::string_view ownerValue(uint32_t name) const noexcept;

    /// Makes the path line at index show its node's long form, when the node has one
    /// (LongFormState::Converted); anything else stays as it is. Its code and position stay.
    void showLongForm(size_t index);

    // ---- tables

    PathTable& paths();
    const PathTable& paths() const noexcept;
    NameTable& names();
    const NameTable& names() const noexcept;
    /// Makes this list refer to the tables of `other` (for rows built from its lines).
    /// Only while this list holds no line.
    void shareTables(const ReportList& other);

    /// Removes every line and lets go of the tables.
    void clear() noexcept;

    /// Bytes this list holds in memory (slots, settings values, tables), for budgets.
    size_t memoryBytes() const noexcept;

    /// Sum of the lengths of the line texts (what the text form writes besides the line
    /// ends).
    size_t textBytes() const noexcept { return m_textBytes; }
    /// The length of the longest line text (a line shown in its long form since counts
    /// with that form); views size their sideways scrolling by it.
    size_t widestText() const noexcept { return m_widestText; }

private:
    struct Tables {
        PathTable paths;
        NameTable names;
    };
    struct Setting {
        uint64_t position;
        size_t length;
    };

    void push(uint64_t slot, size_t textLength);
    Tables& tables();
    size_t pathTextLength(uint32_t node, bool longForm) const noexcept;

    // A slot is: bits 0..3 the row (ReportRow, or for settings 1..5 by code), bit 4 the
    // long-form flag, bits 5..20 the rights, bits 21..52 the node or name; for a setting
    // bits 4..63 the index in m_settings.
    ChunkedArray<uint64_t, 16> m_slots;
    std::vector<Setting> m_settings;
    TextArena m_settingTexts;
    std::shared_ptr<Tables> m_tables;
    size_t m_textBytes = 0;
    size_t m_widestText = 0;
};

/// The text of one path at a time, for a reader that goes through the lines in order
/// (the save forms): the path asked for before costs nothing again (an entry's detail
/// groups repeat its path line), and a path just below it or beside it (the next entry
/// of a walk) costs only its own component.
class PathTextCache {
public:
    /// Makes `text()` the path's text as ReportList::appendPathText gives it. Returns
    /// false when that is the text already there (the same path in the same form).
    bool take(const ReportList& list, uint32_t node, bool longForm);
    const std::string& text() const noexcept { return m_text; }

private:
    const PathTable* m_table = nullptr; // of the path taken last; nullptr before the first
    uint32_t m_node = PathTable::noNode;
    bool m_longForm = false;
    std::string m_text;
};
