#pragma once

#include "export/AuditReport.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// How a detail differs between the older and the newer report.
enum class AuditChange : uint8_t { Added, Removed, Changed };

/// "added", "removed" or "changed".
std::string_view AuditChangeWord(AuditChange change) noexcept;

/// One difference, as the compare forms write it (the CSV columns change, path, detail,
/// name, old, new).
struct CompareRow {
    AuditChange change = AuditChange::Changed;
    std::string path; ///< the path as the report prints it; for settings the block's base
    std::string detail; ///< "settings", "irm", "trustee" or "owner"
    std::string name; ///< the trustee, or for settings the setting; empty for irm, owner
    std::string oldValue; ///< rights letters, the owner's name or the setting's value;
    std::string newValue; ///< empty on the side where the detail is absent
};

/// What a compare found: the settings rows first, then the detail rows in their order.
struct CompareResult {
    std::vector<CompareRow> rows;
    size_t settingsRows = 0; ///< how many of the rows are settings rows (they come first)
    size_t added = 0, removed = 0, changed = 0; ///< detail rows by change

    /// True when nothing differs (exit status 0; else 3).
    bool same() const noexcept { return rows.empty(); }
};

/// Compares two reports.
///
/// Settings: the blocks pair by position; every setting whose values differ gives a row
/// 'changed,<base>,settings,<setting>,<old>,<new>' (setting one of base, subdirs, filter,
/// info, scope; the base compared without regard to case), a block on one side only
/// 'added' or 'removed' with its base; short names on one side and long on the other
/// 'changed,,settings,names,short,long'.
///
/// Details match by path (without regard to case, Unicode case folding, and with a
/// backslash right after the volume's colon dropped: 'FS1\VOL1:\R&D' is 'FS1\VOL1:R&D'),
/// kind and trustee name (without regard to case); a detail listed twice on one side
/// pairs with the other side's in order of appearance. A pair whose rights differ (or,
/// for an owner, whose names differ other than in letter case) is 'changed'; a detail
/// on one side only is 'added' or 'removed'. The rows are sorted by path (ASCII letters
/// folded to lower case, then byte order), detail (irm, trustee, owner), then name; the
/// path written is the newer side's (the older one's for a removed detail).
///
/// Sorts each side once: O(n log n) in the number of details.
CompareResult CompareReports(const AuditReport& older, const AuditReport& newer);

/// One row as the text form writes it, without the line end: 'Added trustee at
/// FS1\VOL1:R&D: .Bob.Corp: RF', 'Changed owner at FS1\VOL1:R&D: .Admin.Corp -> .Bob.Corp',
/// 'Changed settings filter of \\FS1\VOL1\R&D: *.* -> *.TXT'.
std::string CompareRowText(const CompareRow& row);

/// The text form: UTF-8, CR LF after every line. First, when settings rows are there,
/// one line saying that the differences may come from the settings; then one line per
/// row; then a summary line ("Nothing differs." when nothing does).
std::string BuildCompareText(const CompareResult& result);

/// The CSV form (CsvText): header 'change,path,detail,name,old,new', one row per row.
std::string BuildCompareCsv(const CompareResult& result);
