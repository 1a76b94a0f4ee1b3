#include "export/AuditForms.h"

#include "export/AuditReport.h"
#include "export/CsvText.h"
#include "export/FormParts.h"
#include "export/ReportExport.h"
#include "netware/D_NW.h"
#include "scan/LineKinds.h"
#include "scan/ReportList.h"
#include "scan/TrusteeList.h"
#include "services/PendingMessages.h"
#include "util/CaseFold.h"
#include "util/D_HTML.h"
#include "util/D_Util.h"
#include "util/Utf8.h"

#include <QDateTime>

#include <unordered_set>

namespace {

constexpr size_t linesPerPendingCall = 4096;
constexpr std::string_view replacement = "\xEF\xBF\xBD"; // U+FFFD

std::string_view entryTypeWord(PathEntryType type) noexcept
{
    switch (type) {
    case PathEntryType::Directory:
        return "directory";
    case PathEntryType::File:
        return "file";
    case PathEntryType::NotReported:
        break;
    }
    return "";
}

// The detail, name and rights columns of a trustee, owner or IRM line, as the CSV form
// and the HTML form's list by path write them; rights is the room for the letters.
struct DetailFields {
    std::string_view detail, name, rights;
};

DetailFields detailFields(const ReportList& results, const ReportLine& line, std::string& rights)
{
    switch (line.row) {
    case ReportRow::Trustee:
        XmlRightsText(line.rights, false, rights);
        return { "trustee", results.names().name(line.name), rights };
    case ReportRow::Owner:
        return { "owner", results.ownerValue(line.name), "" };
    default:
        XmlRightsText(line.rights, true, rights);
        return { "irm", "", rights };
    }
}

// Calls f(line, path, type) for every trustee, owner and IRM line of a range that begins
// at a path line, with the path line above it as printed and the type the walk reported
// there, and g(line) for every settings line. Counts progress through `progress`, or
// lets messages through (with counts) when there is none.
template <typename Detail, typename Setting>
void forEachDetailIn(const ReportList& results, const FormRange& range, FormProgress* progress, Detail f, Setting g)
{
    PathTextCache path;
    PathEntryType type = PathEntryType::NotReported;
    for (size_t i = range.begin; i < range.end; ++i) {
        const ReportLine line = results.line(i);
        switch (line.row) {
        case ReportRow::Setting:
            g(line);
            break;
        case ReportRow::Path:
            path.take(results, line.node, line.longForm);
            type = line.node == PathTable::noNode ? PathEntryType::NotReported : results.paths().entryType(line.node);
            break;
        case ReportRow::Trustee:
        case ReportRow::Owner:
        case ReportRow::Irm:
            f(line, path.text(), type);
            break;
        default:
            break;
        }
        if ((i + 1 - range.begin) % linesPerPendingCall == 0) {
            if (progress)
                progress->advance(linesPerPendingCall);
            else
                ProcessPendingMessages(i + 1, results.count());
        }
    }
}

// forEachDetailIn over every line.
template <typename Detail, typename Setting> void forEachDetail(const ReportList& results, Detail f, Setting g)
{
    forEachDetailIn(results, { 0, results.count() }, nullptr, f, g);
}

// Appends a text escaped for HTML; malformed UTF-8 and control characters (which an
// HTML page may not hold as text) become U+FFFD.
void appendHtml(std::string& out, std::string_view text)
{
    bool plain = true;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b >= 0x7F || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'') {
            plain = false;
            break;
        }
    }
    if (plain) {
        out += text;
        return;
    }
    std::string clean;
    for (size_t at = 0; at < text.size();) {
        uint32_t cp = 0;
        const size_t length = DecodeUtf8(text, at, cp);
        if (length == 0 || (cp < 0x20 && cp != '\t') || (cp >= 0x7F && cp < 0xA0) || (cp & 0xFFFE) == 0xFFFE
            || (cp >= 0xFDD0 && cp <= 0xFDEF)) {
            clean += replacement;
            at += length == 0 ? 1 : length;
        } else {
            clean.append(text.substr(at, length));
            at += length;
        }
    }
    out += HtmlEscape(clean);
}

void cell(std::string& out, std::string_view text)
{
    out += "<td>";
    appendHtml(out, text);
    out += "</td>";
}

const char* const kStyle = R"(body{font-family:sans-serif;margin:1em 2em;color:#222}
h1{font-size:1.5em;margin-bottom:.2em}h2{font-size:1.25em;margin-top:1.5em}h3{font-size:1.05em;margin:1.2em 0 .3em}
table{border-collapse:collapse;margin:.3em 0}th,td{border:1px solid #bbb;padding:.15em .5em;text-align:left;vertical-align:top}
th{background:#e8e8e8}td{font-family:monospace;white-space:pre-wrap}
table.list th{cursor:pointer}tbody tr:nth-child(even){background:#f6f6f6}
dl.counts{display:grid;grid-template-columns:max-content max-content;gap:.1em 1em}dl.counts dd{margin:0;text-align:right}dl.names dd{text-align:left}
.note{background:#fff4d6;border:1px solid #e0b84c;padding:.4em .8em}.tools{margin:.3em 0}.tools input{width:20em}
.changed{color:#8a5a00}.added{color:#1a6b1a}.removed{color:#a01c1c})";

// The script: filtering, sorting by a column (a click on its heading) and paging of every
// table of class "list". The page is complete without it.
const char* const kScript = R"((function () {
  var PAGE = 500;
  Array.prototype.forEach.call(document.querySelectorAll('table.list'), function (table) {
    var body = table.tBodies[0];
    var rows = Array.prototype.slice.call(body.rows);
    var shown = rows, page = 0, order = {};
    var bar = document.createElement('p');
    bar.className = 'tools';
    bar.innerHTML = '<label>Filter: <input type="search"></label> <button type="button" data-step="-1">Previous</button> '
      + '<span></span> <button type="button" data-step="1">Next</button>';
    table.parentNode.insertBefore(bar, table);
    var input = bar.querySelector('input'), info = bar.querySelector('span');
    function render() {
      var pages = Math.max(1, Math.ceil(shown.length / PAGE));
      page = Math.min(Math.max(page, 0), pages - 1);
      var part = document.createDocumentFragment();
      shown.slice(page * PAGE, (page + 1) * PAGE).forEach(function (r) { part.appendChild(r); });
      body.textContent = '';
      body.appendChild(part);
      info.textContent = 'rows ' + (shown.length ? page * PAGE + 1 : 0) + '-' + Math.min(shown.length, (page + 1) * PAGE)
        + ' of ' + shown.length + (shown.length < rows.length ? ' (filtered from ' + rows.length + ')' : '');
    }
    input.addEventListener(rows.length > 20000 ? 'change' : 'input', function () {
      var q = input.value.toLowerCase();
      shown = q ? rows.filter(function (r) { return r.textContent.toLowerCase().indexOf(q) >= 0; }) : rows;
      page = 0;
      render();
    });
    bar.addEventListener('click', function (e) {
      var step = e.target.getAttribute('data-step');
      if (step) { page += Number(step); render(); }
    });
    Array.prototype.forEach.call(table.tHead.rows[0].cells, function (th, c) {
      th.title = 'Sort by this column';
      th.addEventListener('click', function () {
        var d = order[c] = -(order[c] || -1);
        shown = shown.slice().sort(function (a, b) {
          return d * a.cells[c].textContent.localeCompare(b.cells[c].textContent);
        });
        page = 0;
        render();
      });
    });
    render();
  });
})();)";

void pageStart(std::string& out, std::string_view title, std::string_view time)
{
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    appendHtml(out, title);
    out += "</title>\n<style>\n";
    out += kStyle;
    out += "\n</style>\n</head>\n<body>\n<header>\n<h1>";
    appendHtml(out, title);
    out += "</h1>\n<p>Run: <time datetime=\"";
    appendHtml(out, time);
    out += "\">";
    appendHtml(out, time);
    out += "</time></p>\n";
}

void pageEnd(std::string& out)
{
    out += "<script>\n";
    out += kScript;
    out += "\n</script>\n</body>\n</html>\n";
}

void countRow(std::string& out, std::string_view label, size_t value)
{
    out += "<dt>";
    out += label;
    out += "</dt><dd>";
    out += std::to_string(value);
    out += "</dd>\n";
}

void largeNote(std::string& out, size_t rows)
{
    if (rows <= htmlLargeRows)
        return;
    out += Format("<p class=\"note\">This page holds %zu rows. A browser may take long to open and scroll it; "
                  "with scripts on it shows 500 rows at a time. For a scan of this size the CSV form "
                  "(--format csv) suits a spreadsheet better.</p>\n",
        rows);
}

void tableStart(std::string& out, std::string_view id, std::initializer_list<std::string_view> headings)
{
    out += "<table class=\"list\" id=\"";
    out += id;
    out += "\">\n<thead><tr>";
    for (std::string_view h : headings) {
        out += "<th>";
        out += h;
        out += "</th>";
    }
    out += "</tr></thead>\n<tbody>\n";
}

constexpr std::string_view tableEnd = "</tbody>\n</table>\n";

} // namespace

std::vector<std::string> BuildCsvFormInParts(const ReportList& results, size_t parts)
{
    const size_t count = results.count();
    const std::vector<FormRange> ranges = PathLineRanges(results, parts ? parts : FormPartCount(count));
    // Each row: about its line's text and path, the type and the commas.
    const size_t estimate = results.textBytes() + 24 * count + 64;
    std::vector<std::string> made
        = MakeFormParts(ranges, count, [&](size_t k, const FormRange& range, std::string& out, FormProgress& progress) {
              if (k == 0)
                  out = CsvText({ "path", "type", "detail", "name", "rights" }).take();
              out.reserve(FormPartReserve(estimate, range, count));
              std::string rights;
              forEachDetailIn(
                  results, range, &progress,
                  [&](const ReportLine& line, std::string_view path, PathEntryType type) {
                      const DetailFields d = detailFields(results, line, rights);
                      CsvText::appendRow(out, { path, entryTypeWord(type), d.detail, d.name, d.rights });
                  },
                  [](const ReportLine&) {});
          });
    if (made.empty()) // no lines: the header alone
        made.push_back(CsvText({ "path", "type", "detail", "name", "rights" }).take());
    return made;
}

std::string BuildCsvForm(const ReportList& results, size_t parts)
{
    return JoinFormParts(BuildCsvFormInParts(results, parts));
}

std::string RunTimeText()
{
    const QDateTime now = QDateTime::currentDateTime();
    const int offset = now.offsetFromUtc();
    const int minutes = (offset < 0 ? -offset : offset) / 60;
    return now.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString()
        + Format("%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
}

std::vector<std::string> BuildHtmlFormInParts(const ReportList& results, const HtmlRunInfo& run, size_t parts)
{
    // The list by path is made in parts (FormParts.h); where each part begins, the
    // counting pass below notes how far the sections have got and whether a table is open.
    const std::vector<FormRange> pathRanges = PathLineRanges(results, parts ? parts : FormPartCount(results.count()));
    struct PathListState {
        size_t section = 0; ///< sections opened so far
        bool tableOpen = false;
    };
    std::vector<PathListState> partStarts(pathRanges.size());
    PathListState state;

    // The counts and the start paths first: the heading block comes before the lists.
    std::vector<AuditSettings> blocks;
    size_t trustees = 0, irms = 0, detailRows = 0;
    std::unordered_set<std::string> distinct;
    size_t unresolved = 0;
    std::vector<bool> named(results.names().count()); // names met on a trustee line so far
    for (size_t k = 0; k < pathRanges.size(); ++k) {
        partStarts[k] = state;
        forEachDetailIn(
            results, pathRanges[k], nullptr,
            [&](const ReportLine& line, std::string_view, PathEntryType) {
                state.section = std::max<size_t>(state.section, 1); // details before any Base line
                state.tableOpen = true;
                ++detailRows;
                if (line.row == ReportRow::Irm) {
                    ++irms;
                } else if (line.row == ReportRow::Trustee) {
                    ++trustees;
                    // Each name once: the table holds each text once, so a new number is a
                    // new text.
                    if (named[line.name])
                        return;
                    named[line.name] = true;
                    const std::string_view name = results.names().name(line.name);
                    distinct.insert(FoldName(name));
                    if (IsUnresolvedTrusteeName(name))
                        ++unresolved;
                }
            },
            [&](const ReportLine& line) {
                if (line.code == lkBase) {
                    ++state.section;
                    state.tableOpen = false;
                }
                if (line.code == lkBase || blocks.empty())
                    blocks.emplace_back();
                AuditSettingValue(blocks.back(), line.code).assign(line.value);
            });
    }
    ReportList byTrustee;
    BuildTrusteeList(results, byTrustee);

    std::string head;
    pageStart(head, "Grantwise report", run.time);
    head += "<ul class=\"starts\">\n";
    for (const AuditSettings& b : blocks) {
        head += "<li>";
        appendHtml(head, b.base);
        head += " (subdirectories ";
        appendHtml(head, b.subdirs);
        head += ", filter ";
        appendHtml(head, b.filter);
        head += ", info ";
        appendHtml(head, b.info);
        head += ", scope ";
        appendHtml(head, b.scope);
        head += ")</li>\n";
    }
    head += "</ul>\n<dl class=\"counts\">\n";
    countRow(head, "Entries examined", run.entriesExamined);
    countRow(head, "Trustee assignments", trustees);
    countRow(head, "Distinct trustees", distinct.size());
    countRow(head, "Unresolved IDs", unresolved);
    countRow(head, "Filtering IRMs", irms);
    head += "</dl>\n";
    largeNote(head, detailRows + trustees);
    head += "<p><a href=\"#by-path\">List by path</a> &middot; <a href=\"#by-trustee\">List by trustee</a></p>\n"
            "</header>\n<main>\n<h2 id=\"by-path\">List by path</h2>\n";

    // The list by path: a section per start path, its table opened at its first detail
    // and closed at the next Base line or the end.
    // Room for both lists: each detail row repeats its path and adds its cells' markup.
    const size_t estimate = results.textBytes() * 2 + 96 * results.count() + 4096;
    std::vector<std::string> made = MakeFormParts(
        pathRanges, results.count(), [&](size_t k, const FormRange& range, std::string& out, FormProgress& progress) {
            out.reserve(FormPartReserve(estimate, range, results.count()));
            if (k == 0)
                out += head;
            size_t section = partStarts[k].section;
            bool tableOpen = partStarts[k].tableOpen;
            const auto openSection = [&](std::string_view base) {
                if (tableOpen)
                    out += tableEnd;
                tableOpen = false;
                if (section > 0)
                    out += "</section>\n";
                out += "<section>\n<h3>Base: ";
                appendHtml(out, base);
                out += "</h3>\n";
                ++section;
            };
            std::string rights;
            forEachDetailIn(
                results, range, &progress,
                [&](const ReportLine& line, std::string_view path, PathEntryType type) {
                    if (section == 0)
                        openSection("");
                    if (!tableOpen) {
                        tableStart(
                            out, "path-" + std::to_string(section), { "Path", "Type", "Detail", "Name", "Rights" });
                        tableOpen = true;
                    }
                    out += "<tr>";
                    cell(out, path);
                    cell(out, entryTypeWord(type));
                    const DetailFields d = detailFields(results, line, rights);
                    cell(out, d.detail);
                    cell(out, d.name);
                    cell(out, d.rights);
                    out += "</tr>\n";
                },
                [&](const ReportLine& line) {
                    if (line.code == lkBase)
                        openSection(line.value);
                });
        });
    if (made.empty())
        made.push_back(std::move(head));

    std::string middle;
    if (state.tableOpen)
        middle += tableEnd;
    if (state.section > 0)
        middle += "</section>\n";
    if (detailRows == 0)
        middle += "<p>No trustees, owners or IRMs were reported.</p>\n";
    middle += "<h2 id=\"by-trustee\">List by trustee</h2>\n";
    if (trustees == 0) {
        middle += "<p>No trustee assignments were reported.</p>\n";
        made.push_back(std::move(middle));
    } else {
        tableStart(middle, "trustees", { "Trustee", "Path", "Rights" });
        made.push_back(std::move(middle));
        // The list by trustee in parts that begin at a trustee's heading row.
        const std::vector<FormRange> trusteeRanges
            = FormRanges(byTrustee.count(), parts ? parts : FormPartCount(byTrustee.count()),
                [&byTrustee](size_t i) { return byTrustee.line(i).row == ReportRow::TrusteeHeader; });
        std::vector<std::string> rows = MakeFormParts(trusteeRanges, byTrustee.count(),
            [&](size_t, const FormRange& range, std::string& out, FormProgress& progress) {
                // Each row: the trustee's name, the path, the rights and the cells' markup.
                out.reserve(static_cast<size_t>(static_cast<double>(results.textBytes() + 48 * byTrustee.count())
                                * static_cast<double>(range.end - range.begin) / static_cast<double>(byTrustee.count()))
                    + 64);
                std::string_view trustee;
                std::string rights;
                PathTextCache path; // a trustee's paths come in walk order: mostly a leaf apart
                for (size_t i = range.begin; i < range.end; ++i) {
                    const ReportLine line = byTrustee.line(i);
                    if (line.row == ReportRow::TrusteeHeader) {
                        trustee = byTrustee.names().name(line.name);
                    } else if (line.row == ReportRow::TrusteeDetail) {
                        path.take(byTrustee, line.node, line.longForm);
                        XmlRightsText(line.rights, false, rights);
                        out += "<tr>";
                        cell(out, trustee);
                        cell(out, path.text());
                        cell(out, rights);
                        out += "</tr>\n";
                    }
                    if ((i + 1 - range.begin) % FormProgress::step == 0)
                        progress.advance(FormProgress::step);
                }
            });
        for (std::string& part : rows)
            made.push_back(std::move(part));
        made.emplace_back(tableEnd);
    }
    std::string tail = "</main>\n";
    pageEnd(tail);
    made.push_back(std::move(tail));
    return made;
}

std::string BuildHtmlForm(const ReportList& results, const HtmlRunInfo& run, size_t parts)
{
    return JoinFormParts(BuildHtmlFormInParts(results, run, parts));
}

std::string BuildCompareHtml(
    const CompareResult& result, const std::string& olderName, const std::string& newerName, const std::string& time)
{
    std::string out;
    pageStart(out, "Grantwise compare", time);
    out += "<dl class=\"counts names\">\n<dt>Older</dt><dd>";
    appendHtml(out, olderName);
    out += "</dd>\n<dt>Newer</dt><dd>";
    appendHtml(out, newerName);
    out += "</dd>\n</dl>\n";
    if (result.settingsRows > 0)
        out += "<p class=\"note\">The settings of the two reports differ: the differences below may come from "
               "that.</p>\n";
    out += "<dl class=\"counts\">\n";
    countRow(out, "Settings differences", result.settingsRows);
    countRow(out, "Added", result.added);
    countRow(out, "Removed", result.removed);
    countRow(out, "Changed", result.changed);
    out += "</dl>\n";
    largeNote(out, result.rows.size());
    out += "</header>\n<main>\n<h2 id=\"differences\">Differences</h2>\n";
    if (result.same()) {
        out += "<p>Nothing differs.</p>\n";
    } else {
        tableStart(out, "changes", { "Change", "Path", "Detail", "Name", "Old", "New" });
        for (size_t i = 0; i < result.rows.size(); ++i) {
            const CompareRow& r = result.rows[i];
            out += "<tr class=\"";
            out += AuditChangeWord(r.change);
            out += "\">";
            cell(out, AuditChangeWord(r.change));
            cell(out, r.path);
            cell(out, r.detail);
            cell(out, r.name);
            cell(out, r.oldValue);
            cell(out, r.newValue);
            out += "</tr>\n";
            if ((i + 1) % linesPerPendingCall == 0)
                ProcessPendingMessages();
        }
        out += tableEnd;
    }
    out += "</main>\n";
    pageEnd(out);
    return out;
}
