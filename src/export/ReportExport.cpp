#include "export/ReportExport.h"

#include "export/BatchText.h"
#include "export/XmlText.h"
#include "scan/LineKinds.h"
#include "scan/ReportList.h"
#include "util/D_Util.h"
#include "util/PendingMessages.h"

#include <array>
#include <initializer_list>

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kXmlHead = "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?><document>";
constexpr std::string_view kUnsafeRemark = "REM Not run, unsafe characters: ";
// Lines between two calls of ProcessPendingMessages while a form is built.
constexpr size_t kLinesPerPendingCall = 4096;

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
    out += kLineEnd;
}

// Calls f(code, kind, value) for every line of a known kind, in order; separator lines
// (and any code without a kind) are skipped. Lets pending messages through every
// kLinesPerPendingCall lines.
template <typename F> void forEachKindLine(const ReportList& results, F f)
{
    for (size_t i = 0; i < results.count(); ++i) {
        const int32_t code = results.code(i);
        if (const TInfo* kind = FindLineKind(code))
            f(code, *kind, LineValue(results.text(i), code));
        if ((i + 1) % kLinesPerPendingCall == 0)
            ProcessPendingMessages();
    }
}

std::string irmRights(std::string_view value)
{
    std::string rights = RemoveChars(value, "[ ]");
    if (rights.empty())
        rights = "-ALL";
    return rights;
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

// A RIGHTS line of the batch form (trustee or IRM), or its remark when one of the
// arguments cannot be written safely. The current path comes twice: as the path line
// holds it (args[0], for the remark) and already written as a batch word (`pathWord`,
// empty when the path is not writable), since it serves every line below it.
void appendRightsLine(
    std::string& out, const SplitTemplate& tmpl, std::string_view pathWord, std::initializer_list<std::string_view> args)
{
    // Each argument's bytes are looked at once; the classes serve the test and the writing.
    std::array<uint8_t, 3> classes {};
    bool writable = !pathWord.empty();
    size_t k = 0;
    for (auto it = args.begin(); it != args.end() && k < classes.size(); ++it, ++k) {
        if (k == 0)
            continue;
        classes[k] = BatchByteClasses(*it);
        writable = writable && IsBatchWritable(classes[k]);
    }
    if (!writable) {
        out += kUnsafeRemark;
        appendTemplate(out, tmpl, args, [](std::string& o, std::string_view a) { AppendBatchRemText(o, a); });
        return;
    }
    // The rights are a word of their own; the name stands between the template's
    // quotes (it is the third argument of the trustee template).
    size_t index = 0;
    appendTemplate(out, tmpl, args, [&](std::string& o, std::string_view a) {
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
}

} // namespace

std::string_view SaveFormExtension(SaveForm form) noexcept
{
    switch (form) {
    case SaveForm::Batch:
        return "bat";
    case SaveForm::Xml:
        return "xml";
    case SaveForm::Text:
        break;
    }
    return "txt";
}

TrusteeValue SplitTrusteeValue(std::string_view value)
{
    TrusteeValue parts;
    const size_t at = value.rfind(" [");
    std::string_view name = value;
    if (at != std::string_view::npos) {
        name = value.substr(0, at);
        // RemoveChars(..., "[ ]") without a set search per character: this runs once per
        // trustee line of every save.
        for (char c : value.substr(at + 2))
            if (c != '[' && c != ' ' && c != ']')
                parts.rights += c;
    }
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    parts.name = name;
    return parts;
}

std::string BuildTextForm(const ReportList& lines)
{
    std::string out;
    out.reserve(lines.textBytes() + 2 * lines.count());
    for (size_t i = 0; i < lines.count(); ++i) {
        out += lines.text(i);
        out += kLineEnd;
        if ((i + 1) % kLinesPerPendingCall == 0)
            ProcessPendingMessages();
    }
    return out;
}

std::string BuildBatchForm(const ReportList& results)
{
    std::string out;
    out.reserve(results.textBytes() + results.textBytes() / 8 + 16 * results.count());
    std::string_view path;
    // The path as a RIGHTS word and as a remark writes it: views of the path itself when
    // it needs no change (the usual case), else of the strings below.
    std::string_view pathWord = "\"\""; // the empty path, quoted
    std::string_view pathRemark;
    std::string pathWordText;
    std::string pathRemarkText;
    const auto templates = splitTemplates(false);
    forEachKindLine(results, [&](int32_t code, const TInfo&, std::string_view value) {
        switch (code) {
        case lkPath: {
            // An entry's detail groups repeat its path line; write its forms once.
            if (value == path)
                break;
            path = value;
            const uint8_t classes = BatchByteClasses(path);
            if (path.empty()) { // an empty word would vanish from the command
                pathWord = "\"\"";
            } else if (!IsBatchWritable(classes)) {
                pathWord = {};
            } else if (!(classes & (kBatchNeedsQuotes | kBatchPercent))) {
                pathWord = path;
            } else {
                pathWordText.clear();
                AppendBatchWord(pathWordText, path, classes);
                pathWord = pathWordText;
            }
            if (!(classes & kBatchRemarkSpecial)) {
                pathRemark = path;
            } else {
                pathRemarkText.clear();
                AppendBatchRemText(pathRemarkText, path, classes);
                pathRemark = pathRemarkText;
            }
            break;
        }
        case lkTrustee: {
            const TrusteeValue parts = SplitTrusteeValue(value);
            appendRightsLine(out, templates[code - lkBase], pathWord, { path, parts.rights, parts.name });
            break;
        }
        case lkIrm:
            appendRightsLine(out, templates[code - lkBase], pathWord, { path, irmRights(value) });
            break;
        case lkOwner: {
            bool first = true;
            appendTemplate(out, templates[code - lkBase], { path, value }, [&](std::string& o, std::string_view a) {
                if (first)
                    o += pathRemark;
                else
                    AppendBatchRemText(o, a);
                first = false;
            });
            break;
        }
        default: // the settings lines write nothing in the batch form
            break;
        }
    });
    return out;
}

std::string BuildXmlForm(const ReportList& results)
{
    std::string out;
    out.reserve(results.textBytes() + results.textBytes() / 4 + 48 * results.count() + 64);
    out += kXmlHead;
    out += kLineEnd;
    bool blockOpen = false;
    std::string_view rawPath; // the current path line's value
    std::string path; // the same, escaped and encoded
    const auto templates = splitTemplates(true);
    const auto encoded = [](std::string& o, std::string_view v) { AppendXmlText(o, v); };
    forEachKindLine(results, [&](int32_t code, const TInfo&, std::string_view value) {
        switch (code) {
        case lkBase:
            if (blockOpen) {
                out += "</grantwise>";
                out += kLineEnd;
                blockOpen = false;
            }
            if (!value.empty()) {
                out += "<grantwise>";
                out += kLineEnd;
                blockOpen = true;
            }
            appendTemplate(out, templates[code - lkBase], { value }, encoded);
            break;
        case lkPath:
            // An entry's detail groups repeat its path line; encode it once.
            if (value == rawPath)
                break;
            rawPath = value;
            path.clear();
            AppendXmlText(path, value);
            break;
        case lkTrustee: {
            const TrusteeValue parts = SplitTrusteeValue(value);
            appendTemplate(out, templates[code - lkBase], { path, parts.rights, parts.name }, XmlArgs {});
            break;
        }
        case lkOwner:
            appendTemplate(out, templates[code - lkBase], { path, value }, XmlArgs {});
            break;
        case lkIrm:
            appendTemplate(out, templates[code - lkBase], { path, irmRights(value) }, XmlArgs {});
            break;
        default: // Subdirs, Scope, Info, Filter
            appendTemplate(out, templates[code - lkBase], { value }, encoded);
            break;
        }
    });
    if (blockOpen) {
        out += "</grantwise>";
        out += kLineEnd;
    }
    out += "</document>";
    out += kLineEnd;
    return out;
}

std::string BuildSaveForm(SaveForm form, const ReportList& shown, const ReportList& results)
{
    switch (form) {
    case SaveForm::Batch:
        return BuildBatchForm(results);
    case SaveForm::Xml:
        return BuildXmlForm(results);
    case SaveForm::Text:
        break;
    }
    return BuildTextForm(shown);
}
