#pragma once

#include "export/ReportCompare.h"

#include <cstdint>
#include <string>
#include <vector>

class ReportList;

// The audit forms of a scan's results, built in memory as the bytes of the file; the
// command line and the window write the same bytes (the HTML forms differ only in the
// time stamp they are given).

/// The CSV form (CsvText): header 'path,type,detail,name,rights', one row per trustee,
/// owner and IRM line of the by-path results, in their order: the path line above it as
/// printed (short or long form); the type the walk reported for that path ("directory"
/// or "file"; empty for a path the walk did not report itself, which a scan never
/// writes); the detail ("trustee", "owner", "irm"); the trustee's or owner's name as the
/// line gives it (empty for irm); the rights letters as the XML form gives them (an IRM
/// that lets nothing through "-ALL"; empty for owner).
std::string BuildCsvForm(const ReportList& results, size_t parts = 0);
/// BuildCsvForm's bytes in the parts they were made in (FormParts.h), in order.
std::vector<std::string> BuildCsvFormInParts(const ReportList& results, size_t parts = 0);

/// What the HTML forms show besides the lines.
struct HtmlRunInfo {
    std::string time; ///< date and time of the run, ISO 8601 with the local offset (RunTimeText)
    uint64_t entriesExamined = 0; ///< entries the scan examined
};

/// The date and time now, ISO 8601 to the second with the local offset
/// ('2026-03-02T14:05:09+01:00').
std::string RunTimeText();

/// Above this many rows in its tables, an HTML page says at its top that a browser may be
/// slow with it and that the CSV form suits a scan of that size. The page still holds
/// every row; where scripts run it shows them a page of 500 at a time.
inline constexpr size_t htmlLargeRows = 20000;

/// The HTML form: one self-contained HTML5 page in UTF-8 (no external resource, readable
/// with scripts off; a small script adds filtering, sorting by a column and paging to the
/// tables). A heading block with the run's date and time, one line per start path with
/// its choices, and the counts: entries examined, trustee assignments (trustee lines),
/// distinct trustees (names without regard to case), unresolved IDs (distinct 'ID: [...]'
/// trustees), filtering IRMs (IRM lines). Then the list by path, one section per start
/// path headed by its Base line with a table of its details (path, type, detail, name,
/// rights, as the CSV form), and the list by trustee as one table (trustee, path,
/// rights). Every text is escaped for HTML; a byte that is not well-formed UTF-8 or a
/// control character is shown as U+FFFD. Lets pending messages through while it works.
std::string BuildHtmlForm(const ReportList& results, const HtmlRunInfo& run, size_t parts = 0);
/// BuildHtmlForm's bytes in the parts they were made in, in order.
std::vector<std::string> BuildHtmlFormInParts(const ReportList& results, const HtmlRunInfo& run, size_t parts = 0);

/// The HTML form of a compare: the same kind of page, its heading block naming the two
/// reports compared (older, newer) and the time, saying first when the settings differ,
/// and counting the differences; then one table of the rows (change, path, detail, name,
/// old, new).
std::string BuildCompareHtml(
    const CompareResult& result, const std::string& olderName, const std::string& newerName, const std::string& time);
