#include "export/ReportExport.h"

#include "export/AuditForms.h"
#include "export/BatchText.h"
#include "export/FormParts.h"
#include "export/OemCodePage.h"
#include "export/XmlText.h"
#include "netware/D_NW.h"
#include "scan/LineKinds.h"
#include "scan/ReportList.h"
#include "services/PendingMessages.h"
#include "util/D_Util.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <memory>

namespace {

constexpr std::string_view lineEnd = "\r\n";
constexpr std::string_view xmlHead = "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?><document>";
// The longest line cmd.exe reads as one, CR LF not counted (8,191 characters).
constexpr size_t maxBatchLine = 8191;
// Lines between two calls of ProcessPendingMessages while a form is built.
constexpr size_t linesPerPendingCall = 4096;

// A line-kind template cut at its "%s" places once per export, not once per line:
// literals[0], argument 1, literals[1], ... literals[holes]. The templates hold no other
// "%" and at most three places.
struct SplitTemplate {
    std::array<std::string_view, 8> literals {};
    size_t holes = 0;
};

SplitTemplate splitTemplate(std::string_view tmpl)
{
    SplitTemplate split;
    size_t from = 0;
    for (size_t at = tmpl.find("%s"); at != std::string_view::npos && split.holes + 1 < split.literals.size();
         at = tmpl.find("%s", from)) {
        split.literals[split.holes++] = tmpl.substr(from, at - from);
        from = at + 2;
    }
    split.literals[split.holes] = tmpl.substr(from);
    return split;
}

// The split XML or batch templates of every line kind, by code - lkBase.
std::array<SplitTemplate, 9> splitTemplates(bool xml)
{
    std::array<SplitTemplate, 9> split;
    for (const TInfo& kind : LineKinds)
        split[static_cast<size_t>(kind.code - lkBase)] = splitTemplate(xml ? kind.xmlTemplate : kind.batTemplate);
    return split;
}

// Appends a line-kind template with each "%s" replaced by the next argument, written by
// appendArg(out, argument), and the line end.
template <typename AppendArg>
void appendTemplate(
    std::string& out, const SplitTemplate& tmpl, std::initializer_list<std::string_view> args, AppendArg appendArg)
{
    auto arg = args.begin();
    for (size_t hole = 0; hole < tmpl.holes; ++hole) {
        out += tmpl.literals[hole];
        if (arg != args.end())
            appendArg(out, *arg++);
    }
    out += tmpl.literals[tmpl.holes];
    out += lineEnd;
}

// Calls f(line) for every line of a known kind in a part's range, in order; separator
// lines (and the rows of the list by trustee, which these forms never read) are skipped.
// Counts progress every FormProgress::step lines.
template <typename F>
void forEachKindLine(const ReportList& results, const FormRange& range, FormProgress& progress, F f)
{
    for (size_t i = range.begin; i < range.end; ++i) {
        const ReportLine line = results.line(i);
        if (FindLineKind(line.code))
            f(line);
        if ((i + 1 - range.begin) % FormProgress::step == 0)
            progress.advance(FormProgress::step);
    }
}

// Writes the arguments of an XML template: the first one, the current path, is kept
// escaped and encoded already; every other value is escaped and encoded here.
struct XmlArgs {
    size_t index = 0;
    void operator()(std::string& out, std::string_view value)
    {
        if (index++ == 0)
            out += value;
        else
            AppendXmlText(out, value);
    }
};

// The lines of the batch form, each checked against what makes cmd.exe run something
// else than the line shows, in this order: a double quote or control character in an
// argument, a trustee whose name could not be found, a character the code page cannot
// hold, more than cmd.exe's 8,191 characters. Such a line is written as the remark
// 'REM Not run, <reason>: <the command as it would read>' and counted.
class BatchLines {
public:
    BatchLines(std::string& out, BatchNotes& notes)
        : m_out(out)
        , m_notes(notes)
    {
    }

    // A RIGHTS line (trustee or IRM). The current path comes twice: as the path line
    // holds it (args[0], for a remark) and already written as a batch word (`pathWord`,
    // empty when the path is not writable), since it serves every line below it;
    // pathNonAscii says whether the path holds a byte beyond ASCII.
    void rights(const SplitTemplate& tmpl, std::string_view pathWord, bool pathNonAscii,
        std::initializer_list<std::string_view> args, bool unknownTrustee = false)
    {
        // Each argument's bytes are looked at once; the classes serve the tests and the
        // writing.
        std::array<uint8_t, 3> classes {};
        bool writable = !pathWord.empty();
        bool nonAscii = pathNonAscii;
        size_t k = 0;
        for (auto it = args.begin(); it != args.end() && k < classes.size(); ++it, ++k) {
            if (k == 0)
                continue;
            classes[k] = BatchByteClasses(*it);
            writable = writable && IsBatchWritable(classes[k]);
            nonAscii = nonAscii || (classes[k] & batchNonAscii);
        }
        if (!writable)
            return remark(BatchNotRun::UnsafeCharacters, tmpl, args);
        if (unknownTrustee)
            return remark(BatchNotRun::UnknownTrustee, tmpl, args);
        const size_t start = m_out.size();
        // The rights are a word of their own; the name stands between the template's
        // quotes (it is the third argument of the trustee template).
        size_t index = 0;
        appendTemplate(m_out, tmpl, args, [&](std::string& o, std::string_view a) {
            switch (index++) {
            case 0:
                o += pathWord;
                break;
            case 1:
                AppendBatchWord(o, a, classes[1]);
                break;
            default:
                AppendBatchQuotedText(o, a, classes[2]);
                break;
            }
        });
        if (nonAscii) {
            const std::string line = m_out.substr(start);
            m_out.resize(start);
            if (!AppendOemText(m_out, line)) {
                m_out.resize(start);
                return remark(BatchNotRun::OutsideCodePage, tmpl, args);
            }
        }
        if (m_out.size() - start - lineEnd.size() > maxBatchLine) {
            m_out.resize(start);
            return remark(BatchNotRun::TooLong, tmpl, args);
        }
        m_nonAscii = m_nonAscii || nonAscii;
    }

    // An owner remark, 'REM Owner [<path>] <name>', its path already in remark form.
    void owner(const SplitTemplate& tmpl, std::string_view pathRemark, bool pathNonAscii, std::string_view value)
    {
        const size_t start = m_out.size();
        const uint8_t classes = BatchByteClasses(value);
        bool first = true;
        appendTemplate(m_out, tmpl, { pathRemark, value }, [&](std::string& o, std::string_view a) {
            if (first)
                o += a;
            else
                AppendBatchRemText(o, a, classes);
            first = false;
        });
        finishRemark(start, pathNonAscii || (classes & batchNonAscii));
    }

    // Whether a line written holds a byte beyond ASCII (the file then starts with the
    // line that switches the console to the code page).
    bool nonAscii() const noexcept { return m_nonAscii; }

private:
    void remark(BatchNotRun reason, const SplitTemplate& tmpl, std::initializer_list<std::string_view> args)
    {
        const size_t start = m_out.size();
        m_out += "REM Not run, ";
        m_out += BatchNotRunText(reason);
        m_out += ": ";
        bool nonAscii = false;
        appendTemplate(m_out, tmpl, args, [&](std::string& o, std::string_view a) {
            const uint8_t classes = BatchByteClasses(a);
            nonAscii = nonAscii || (classes & batchNonAscii);
            AppendBatchRemText(o, a, classes);
        });
        finishRemark(start, nonAscii);
        ++m_notes.notRun[static_cast<size_t>(reason)];
    }

    // A remark in the code page (characters it cannot hold shown as "[XXXX]"), cut to
    // cmd.exe's line limit with "..." at the end: cmd.exe reads a longer line in pieces,
    // and the piece after the first would run as a command of its own.
    void finishRemark(size_t start, bool nonAscii)
    {
        if (nonAscii) {
            const std::string line = m_out.substr(start);
            m_out.resize(start);
            AppendOemRemark(m_out, line);
            m_nonAscii = m_nonAscii
                || std::any_of(m_out.begin() + static_cast<std::ptrdiff_t>(start), m_out.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        }
        if (m_out.size() - start - lineEnd.size() <= maxBatchLine)
            return;
        size_t keep = start + maxBatchLine - 3;
        // Never keep half of a doubled "%": the "%" runs of a remark are even.
        size_t percents = 0;
        while (percents < keep - start && m_out[keep - 1 - percents] == '%')
            ++percents;
        keep -= percents % 2;
        m_out.resize(keep);
        m_out += "...";
        m_out += lineEnd;
    }

    std::string& m_out;
    BatchNotes& m_notes;
    bool m_nonAscii = false;
};

} // namespace

void XmlRightsText(uint16_t mask, bool irm, std::string& out)
{
    out.clear();
    AppendFileSystemRights(mask, out);
    if (irm && out.empty())
        out = "-ALL";
}

std::string_view SaveFormExtension(SaveForm form) noexcept
{
    switch (form) {
    case SaveForm::Batch:
        return "bat";
    case SaveForm::Xml:
        return "xml";
    case SaveForm::Csv:
        return "csv";
    case SaveForm::Html:
        return "html";
    case SaveForm::Text:
        break;
    }
    return "txt";
}

namespace {

// Appends the text form's lines from the k-th = `next` on (the k-th being lines' line
// lineOf(k)) until out holds at least `bytes` bytes or `count` lines are done; next then
// is the first not appended.
template <typename LineOf>
void appendTextLines(const ReportList& lines, size_t count, LineOf lineOf, size_t& next, size_t bytes, std::string& out,
    PathTextCache& paths)
{
    for (; next < count && out.size() < bytes; ++next) {
        lines.appendText(lineOf(next), out, &paths);
        out += lineEnd;
        if ((next + 1) % linesPerPendingCall == 0)
            ProcessPendingMessages(next + 1, count);
    }
}

// The text form of `count` lines, the k-th being lines' line lineOf(k), made in `parts`
// parts (0: as many as FormPartCount says). Every line's text stands on its own, so the
// parts may begin anywhere.
template <typename LineOf>
std::vector<std::string> textFormParts(const ReportList& lines, size_t count, LineOf lineOf, size_t parts)
{
    // Room for the texts: of all lines as they count them, of a part in proportion.
    const size_t textBytes = count == lines.count()
        ? lines.textBytes()
        : static_cast<size_t>(static_cast<double>(lines.textBytes()) * static_cast<double>(count)
            / static_cast<double>(std::max<size_t>(lines.count(), 1)));
    const std::vector<FormRange> ranges
        = FormRanges(count, parts ? parts : FormPartCount(count), [](size_t) { return true; });
    return MakeFormParts(ranges, count, [&](size_t, const FormRange& range, std::string& out, FormProgress& progress) {
        out.reserve(FormPartReserve(textBytes + 2 * count, range, count));
        PathTextCache paths;
        for (size_t k = range.begin; k < range.end; ++k) {
            lines.appendText(lineOf(k), out, &paths);
            out += lineEnd;
            if ((k + 1 - range.begin) % FormProgress::step == 0)
                progress.advance(FormProgress::step);
        }
    });
}

size_t sameLine(size_t k)
{
    return k;
}

} // namespace

std::vector<std::string> BuildTextFormInParts(const ReportList& lines, size_t parts)
{
    return textFormParts(lines, lines.count(), sameLine, parts);
}

std::vector<std::string> BuildTextFormInParts(const ReportList& lines, const std::vector<size_t>& shown, size_t parts)
{
    return textFormParts(
        lines, shown.size(), [&shown](size_t k) { return shown[k]; }, parts);
}

std::string BuildTextForm(const ReportList& lines, size_t parts)
{
    return JoinFormParts(BuildTextFormInParts(lines, parts));
}

std::string BuildTextForm(const ReportList& lines, const std::vector<size_t>& shown, size_t parts)
{
    return JoinFormParts(BuildTextFormInParts(lines, shown, parts));
}

ReportPieces TextFormPieces(const ReportList& lines, size_t pieceBytes)
{
    struct Place {
        size_t next = 0;
        PathTextCache paths;
    };
    return [&lines, pieceBytes, place = std::make_shared<Place>()](std::string& piece) {
        if (place->next == lines.count())
            return false;
        piece.clear();
        appendTextLines(lines, lines.count(), sameLine, place->next, pieceBytes, piece, place->paths);
        return true;
    };
}

std::vector<std::string> BuildBatchFormInParts(const ReportList& results, BatchNotes* notes, size_t parts)
{
    const size_t count = results.count();
    const std::vector<FormRange> ranges = PathLineRanges(results, parts ? parts : FormPartCount(count));
    std::vector<BatchNotes> partNotes(ranges.size());
    std::vector<char> partNonAscii(ranges.size());
    const size_t estimate = results.textBytes() + results.textBytes() / 8 + 16 * count;
    const auto templates = splitTemplates(false);
    std::vector<std::string> made = MakeFormParts(
        ranges, count, [&](size_t k, const FormRange& range, std::string& part, FormProgress& progress) {
            part.reserve(FormPartReserve(estimate, range, count));
            BatchLines lines(part, partNotes[k]);
            PathTextCache current;
            std::string_view path;
            // The path as a RIGHTS word and as a remark writes it: views of the path itself
            // when it needs no change (the usual case), else of the strings below.
            std::string_view pathWord = "\"\""; // the empty path, quoted
            std::string_view pathRemark;
            bool pathNonAscii = false;
            std::string pathWordText;
            std::string pathRemarkText;
            std::string rights;
            forEachKindLine(results, range, progress, [&](const ReportLine& line) {
                const SplitTemplate& tmpl = templates[line.code - lkBase];
                switch (line.row) {
                case ReportRow::Path: {
                    // An entry's detail groups repeat its path line; write its forms once.
                    if (!current.take(results, line.node, line.longForm))
                        break;
                    path = current.text();
                    const uint8_t classes = BatchByteClasses(path);
                    pathNonAscii = classes & batchNonAscii;
                    if (path.empty()) { // an empty word would vanish from the command
                        pathWord = "\"\"";
                    } else if (!IsBatchWritable(classes)) {
                        pathWord = {};
                    } else if (!(classes & (batchNeedsQuotes | batchPercent))) {
                        pathWord = path;
                    } else {
                        pathWordText.clear();
                        AppendBatchWord(pathWordText, path, classes);
                        pathWord = pathWordText;
                    }
                    if (!(classes & batchRemarkSpecial)) {
                        pathRemark = path;
                    } else {
                        pathRemarkText.clear();
                        AppendBatchRemText(pathRemarkText, path, classes);
                        pathRemark = pathRemarkText;
                    }
                    break;
                }
                case ReportRow::Trustee: {
                    const std::string_view name = results.names().name(line.name);
                    XmlRightsText(line.rights, false, rights);
                    // An empty rights argument would make RIGHTS show the rights instead of
                    // setting them; "N" (no rights) keeps the assignment with none.
                    if (rights.empty())
                        rights.push_back('N');
                    lines.rights(tmpl, pathWord, pathNonAscii, { path, rights, name }, IsUnresolvedTrusteeName(name));
                    break;
                }
                case ReportRow::Irm:
                    XmlRightsText(line.rights, true, rights);
                    lines.rights(tmpl, pathWord, pathNonAscii, { path, rights });
                    break;
                case ReportRow::Owner:
                    lines.owner(tmpl, pathRemark, pathNonAscii, results.ownerValue(line.name));
                    break;
                default: // the settings lines write nothing in the batch form
                    break;
                }
            });
            partNonAscii[k] = lines.nonAscii();
        });
    BatchNotes counted;
    for (const BatchNotes& part : partNotes)
        for (size_t reason = 0; reason < counted.notRun.size(); ++reason)
            counted.notRun[reason] += part.notRun[reason];
    // A file that holds a byte beyond ASCII starts with the line that switches the
    // console to the code page; a file in ASCII stays as it is.
    if (std::find(partNonAscii.begin(), partNonAscii.end(), 1) != partNonAscii.end()) {
        made.insert(made.begin(), Format("CHCP %d >NUL", batchCodePage) + std::string(lineEnd));
        counted.codePage = true;
    }
    if (notes)
        *notes = counted;
    return made;
}

std::string BuildBatchForm(const ReportList& results, BatchNotes* notes, size_t parts)
{
    return JoinFormParts(BuildBatchFormInParts(results, notes, parts));
}

std::vector<std::string> BuildXmlFormInParts(const ReportList& results, size_t parts)
{
    const size_t count = results.count();
    const std::vector<FormRange> ranges = PathLineRanges(results, parts ? parts : FormPartCount(count));
    // Whether a "<grantwise>" block is open depends on the Base lines before a part, which
    // its thread does not read: each part is made as if none were open at its start, and
    // notes where its first Base line would close the block open before it, if any, and
    // whether one is open at its end.
    struct PartBlocks {
        bool baseSeen = false;
        size_t firstBase = 0; ///< the byte where the part's first Base line starts
        bool openAtEnd = false;
    };
    std::vector<PartBlocks> blocks(ranges.size());
    const size_t estimate = results.textBytes() + results.textBytes() / 4 + 48 * count + 64;
    const auto templates = splitTemplates(true);
    const auto encoded = [](std::string& o, std::string_view v) { AppendXmlText(o, v); };
    std::vector<std::string> made
        = MakeFormParts(ranges, count, [&](size_t k, const FormRange& range, std::string& out, FormProgress& progress) {
              out.reserve(FormPartReserve(estimate, range, count));
              if (k == 0) {
                  out += xmlHead;
                  out += lineEnd;
              }
              PartBlocks& part = blocks[k];
              bool blockOpen = false;
              PathTextCache current;
              std::string path; // the current path, escaped and encoded
              std::string rights;
              forEachKindLine(results, range, progress, [&](const ReportLine& line) {
                  const SplitTemplate& tmpl = templates[line.code - lkBase];
                  switch (line.row) {
                  case ReportRow::Setting:
                      if (line.code == lkBase) {
                          if (!part.baseSeen) {
                              part.baseSeen = true;
                              part.firstBase = out.size();
                          }
                          if (blockOpen) {
                              out += "</grantwise>";
                              out += lineEnd;
                              blockOpen = false;
                          }
                          if (!line.value.empty()) {
                              out += "<grantwise>";
                              out += lineEnd;
                              blockOpen = true;
                          }
                      }
                      appendTemplate(out, tmpl, { line.value }, encoded);
                      break;
                  case ReportRow::Path:
                      // An entry's detail groups repeat its path line; encode it once.
                      if (current.take(results, line.node, line.longForm)) {
                          path.clear();
                          AppendXmlText(path, current.text());
                      }
                      break;
                  case ReportRow::Trustee:
                      XmlRightsText(line.rights, false, rights);
                      appendTemplate(out, tmpl, { path, rights, results.names().name(line.name) }, XmlArgs {});
                      break;
                  case ReportRow::Owner:
                      appendTemplate(out, tmpl, { path, results.ownerValue(line.name) }, XmlArgs {});
                      break;
                  case ReportRow::Irm:
                      XmlRightsText(line.rights, true, rights);
                      appendTemplate(out, tmpl, { path, rights }, XmlArgs {});
                      break;
                  default:
                      break;
                  }
              });
              part.openAtEnd = blockOpen;
          });
    constexpr std::string_view closeBlock = "</grantwise>\r\n";
    // The parts in order, each block left open before a part closed at its first Base line.
    bool open = false;
    for (size_t k = 0; k < made.size(); ++k) {
        if (!blocks[k].baseSeen)
            continue;
        if (open && k > 0)
            made[k].insert(blocks[k].firstBase, closeBlock);
        open = blocks[k].openAtEnd;
    }
    if (made.empty())
        made.push_back(std::string(xmlHead) + std::string(lineEnd));
    std::string end;
    if (open) {
        end += "</grantwise>";
        end += lineEnd;
    }
    end += "</document>";
    end += lineEnd;
    made.push_back(std::move(end));
    return made;
}

std::string BuildXmlForm(const ReportList& results, size_t parts)
{
    return JoinFormParts(BuildXmlFormInParts(results, parts));
}

std::string_view BatchNotRunText(BatchNotRun reason) noexcept
{
    switch (reason) {
    case BatchNotRun::UnsafeCharacters:
        return "unsafe characters";
    case BatchNotRun::UnknownTrustee:
        return "unknown trustee";
    case BatchNotRun::OutsideCodePage:
        return "characters outside code page 850";
    case BatchNotRun::TooLong:
        break;
    }
    return "line too long for cmd.exe";
}

std::string BatchNotesText(const BatchNotes& notes)
{
    size_t total = 0;
    std::string reasons;
    for (size_t k = 0; k < notes.notRun.size(); ++k) {
        if (notes.notRun[k] == 0)
            continue;
        total += notes.notRun[k];
        reasons += Format("%s%zu %s", reasons.empty() ? "" : ", ", notes.notRun[k],
            std::string(BatchNotRunText(static_cast<BatchNotRun>(k))).c_str());
    }
    if (total == 0)
        return std::string();
    return Format("%zu RIGHTS %s not run ('REM Not run, ...'): %s", total,
        total == 1 ? "line is a remark that is" : "lines are remarks that are", reasons.c_str());
}

std::vector<std::string> BuildSaveFormInParts(
    SaveForm form, const ReportList& shown, const ReportList& results, BatchNotes* notes, const HtmlRunInfo* run)
{
    switch (form) {
    case SaveForm::Csv:
        return BuildCsvFormInParts(results);
    case SaveForm::Html:
        return BuildHtmlFormInParts(results, run ? *run : HtmlRunInfo {});
    case SaveForm::Batch:
        return BuildBatchFormInParts(results, notes);
    case SaveForm::Xml:
        return BuildXmlFormInParts(results);
    case SaveForm::Text:
        break;
    }
    return BuildTextFormInParts(shown);
}

std::string BuildSaveForm(
    SaveForm form, const ReportList& shown, const ReportList& results, BatchNotes* notes, const HtmlRunInfo* run)
{
    return JoinFormParts(BuildSaveFormInParts(form, shown, results, notes, run));
}
