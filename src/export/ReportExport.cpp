#include "export/ReportExport.h"

#include "export/BatchText.h"
#include "export/XmlText.h"
#include "scan/LineKinds.h"
#include "scan/ReportList.h"
#include "util/D_Util.h"

#include <initializer_list>

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kXmlHead = "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?><document>";
constexpr std::string_view kUnsafeRemark = "REM Not run, unsafe characters: ";

// Appends a line-kind template with each "%s" replaced by the next argument, written by
// appendArg(out, argument). The templates hold no other "%".
template <typename AppendArg>
void appendTemplate(
    std::string& out, std::string_view tmpl, std::initializer_list<std::string_view> args, AppendArg appendArg)
{
    auto arg = args.begin();
    size_t from = 0;
    for (size_t at = tmpl.find("%s"); at != std::string_view::npos; at = tmpl.find("%s", from)) {
        out.append(tmpl.data() + from, at - from);
        if (arg != args.end())
            appendArg(out, *arg++);
        from = at + 2;
    }
    out.append(tmpl.data() + from, tmpl.size() - from);
    out += kLineEnd;
}

// Calls f(code, kind, value) for every line of a known kind, in order; separator lines
// (and any code without a kind) are skipped.
template <typename F> void forEachKindLine(const ReportList& results, F f)
{
    for (size_t i = 0; i < results.count(); ++i) {
        const int32_t code = results.code(i);
        if (const TInfo* kind = FindLineKind(code))
            f(code, *kind, LineValue(results.text(i), code));
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
    std::string& out, std::string_view tmpl, const std::string& pathWord, std::initializer_list<std::string_view> args)
{
    bool writable = !pathWord.empty();
    for (auto it = args.begin() + 1; writable && it != args.end(); ++it)
        writable = IsBatchWritable(*it);
    if (!writable) {
        out += kUnsafeRemark;
        appendTemplate(out, tmpl, args, AppendBatchRemText);
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
            AppendBatchWord(o, a);
            break;
        default:
            AppendBatchQuotedText(o, a);
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
        parts.rights = RemoveChars(value.substr(at + 2), "[ ]");
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
    }
    return out;
}

std::string BuildBatchForm(const ReportList& results)
{
    std::string out;
    out.reserve(results.textBytes() + results.textBytes() / 8 + 16 * results.count());
    std::string_view path;
    std::string pathWord = "\"\""; // the empty path, quoted
    forEachKindLine(results, [&](int32_t code, const TInfo& kind, std::string_view value) {
        switch (code) {
        case lkPath:
            // An entry's detail groups repeat its path line; write its word once.
            if (value == path)
                break;
            path = value;
            pathWord.clear();
            if (IsBatchWritable(path))
                AppendBatchWord(pathWord, path);
            if (path.empty()) // an empty word would vanish from the command
                pathWord = "\"\"";
            break;
        case lkTrustee: {
            const TrusteeValue parts = SplitTrusteeValue(value);
            appendRightsLine(out, kind.batTemplate, pathWord, { path, parts.rights, parts.name });
            break;
        }
        case lkIrm:
            appendRightsLine(out, kind.batTemplate, pathWord, { path, irmRights(value) });
            break;
        case lkOwner:
            appendTemplate(out, kind.batTemplate, { path, value }, AppendBatchRemText);
            break;
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
    const auto encoded = [](std::string& o, std::string_view v) { AppendXmlText(o, v); };
    forEachKindLine(results, [&](int32_t code, const TInfo& kind, std::string_view value) {
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
            appendTemplate(out, kind.xmlTemplate, { value }, encoded);
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
            appendTemplate(out, kind.xmlTemplate, { path, parts.rights, parts.name }, XmlArgs {});
            break;
        }
        case lkOwner:
            appendTemplate(out, kind.xmlTemplate, { path, value }, XmlArgs {});
            break;
        case lkIrm:
            appendTemplate(out, kind.xmlTemplate, { path, irmRights(value) }, XmlArgs {});
            break;
        default: // Subdirs, Scope, Info, Filter
            appendTemplate(out, kind.xmlTemplate, { value }, encoded);
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
