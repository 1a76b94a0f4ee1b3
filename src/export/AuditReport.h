#pragma once

#include "scan/TextArena.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class ReportList;

/// The kinds of report detail the audit forms list, in the order compare rows sort them.
enum class AuditDetail : uint8_t { Irm = 0, Trustee = 1, Owner = 2 };

/// "irm", "trustee" or "owner", as the CSV and compare forms write the detail.
std::string_view AuditDetailWord(AuditDetail detail) noexcept;

/// The settings lines of one start path's block, by value.
struct AuditSettings {
    std::string base, subdirs, filter, info, scope;
};

/// The value of a block that a settings line's kind code sets (lkBase..lkFilter; any
/// other code gives the base).
std::string& AuditSettingValue(AuditSettings& block, int32_t code) noexcept;

/// What a compare reads of one report, from a scan's results or from a saved XML file:
/// the settings blocks in order and every trustee, owner and IRM detail with its path,
/// in order. Texts are held once each (paths of consecutive details share one text,
/// names and rights are interned), so a save of a million entries fits in a few
/// hundred bytes per entry at most.
class AuditReport {
public:
    /// One detail: the path as the report prints it, the trustee's name (empty for irm
    /// and owner), and the value: the rights letters as the XML form gives them (trustee,
    /// irm: "-ALL" for a mask letting nothing through), or the owner's name.
    struct Detail {
        uint32_t path;
        uint32_t name;
        uint32_t value;
        AuditDetail kind;
    };

    std::vector<AuditSettings> blocks;
    std::vector<Detail> details;

    /// Appends a detail (copies the texts).
    void add(AuditDetail kind, std::string_view path, std::string_view name, std::string_view value);

    /// The text of a path, name or value number of a detail.
    std::string_view text(uint32_t id) const noexcept
    {
        const Text& t = m_texts[id];
        return m_arena.view(t.position, t.length);
    }

    /// True when a path is in the long (UNC) form that "Get Long Names" gives ('\\FS1\...');
    /// the short form starts with the server's name ('FS1\VOL1:...').
    bool longNames() const noexcept { return m_longNames; }
    /// Sets what longNames says when the report holds no path (a scan's choice).
    void setLongNames(bool longNames) noexcept { m_longNames = longNames; }

private:
    struct Text {
        uint64_t position;
        size_t length;
    };
    uint32_t store(std::string_view text);
    uint32_t intern(std::string_view text);

    TextArena m_arena;
    std::vector<Text> m_texts;
    std::unordered_map<std::string_view, uint32_t> m_interned;
    uint32_t m_lastPath = UINT32_MAX;
    bool m_longNames = false;
    bool m_sawPath = false;
};

/// Applies a settings element of a saved file: "base" opens a block, "subdir", "scope",
/// "info" and "filter" set a value of the last block (of a first, empty one before any
/// "base"). False, changing nothing, for any other element.
bool AddSavedSetting(AuditReport& report, std::string_view element, std::string_view value);

/// The report of a scan, read from its by-path results (their structure, not their
/// text): one block per Base line, one detail per trustee, owner and IRM line, each
/// with the path line above it as it is printed (short or long form). Texts are taken as
/// the XML form gives them back (a control character other than tab, LF and CR as "?",
/// a byte outside well-formed UTF-8 as U+FFFD), so that a scan and its own save compare
/// as equal.
AuditReport AuditReportFromResults(const ReportList& results);

/// A file that is not a Grantwise XML file, or cannot be read; what() names the file and
/// the place where reading stopped: "<file>:<line>:<column>: <what was wrong>".
class SavedXmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Reads an XML file saved by Grantwise (the window's "... as *.XML" or --format xml, of
/// any version so far): windows-1252 bytes, the predefined entities, numeric character
/// references, and "&acute;" that older writers put for an apostrophe (read as "'").
/// Strict about everything else: the file must start with the XML declaration naming
/// windows-1252 and the element "document", which holds "grantwise" blocks and lines
/// (or lines directly, after an empty Base line); a block holds settings, trustee, owner
/// and irm elements, each with exactly its children in the order Grantwise writes them
/// (settings: one of base, subdir, scope, info, filter; trustee: path, rights, name;
/// owner: path, name; irm: path, rights) and no text outside them but blanks.
/// Throws SavedXmlError otherwise, or when the file cannot be read.
AuditReport ReadSavedXml(const std::string& fileName);

/// ReadSavedXml of two files at once, each on a thread of its own (the reading is most
/// of a compare's time): the older and the newer report. When both fail, the older
/// file's error is thrown.
std::pair<AuditReport, AuditReport> ReadSavedXmlPair(const std::string& olderFile, const std::string& newerFile);

/// ReadSavedXml over bytes already read; fileName only names them in errors.
AuditReport ParseSavedXml(std::string_view bytes, const std::string& fileName);
