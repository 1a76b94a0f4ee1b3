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
void appendTemplate(std::string& out, std::string_view tmpl, std::initializer_list<std::string_view> args,
    AppendArg appendArg)
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
// arguments cannot be written safely. `pathWritable` is IsBatchWritable(path), known
// per path line.
void appendRightsLine(std::string& out, std::string_view tmpl, bool pathWritable,
    std::initializer_list<std::string_view> args)
{
    bool writable = pathWritable;
    for (auto it = args.begin() + 1; writable && it != args.end(); ++it)
        writable = IsBatchWritable(*it);
    if (!writable) {
        out += kUnsafeRemark;
        appendTemplate(out, tmpl, args, AppendBatchRemText);
        return;
    }
    // The path and the rights are words of their own; the name stands between the
    // template's quotes (it is the third argument of the trustee template).
    size_t index = 0;
    appendTemplate(out, tmpl, args, [&index](std::string& o, std::string_view a) {
        if (index++ < 2)
            AppendBatchWord(o, a);
        else
            AppendBatchQuotedText(o, a);
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
    bool pathWritable = true;
    for (size_t i = 0; i < results.count(); ++i) {
        const int32_t code = results.code(i);
        const TInfo* kind = FindLineKind(code);
        if (!kind)
            continue;
        const std::string_view value = LineValue(results.text(i), code);
        switch (code) {
        case lkPath:
            path = value;
            pathWritable = IsBatchWritable(path);
            break;
        case lkTrustee: {
            const TrusteeValue parts = SplitTrusteeValue(value);
            appendRightsLine(out, kind->batTemplate, pathWritable, { path, parts.rights, parts.name });
            break;
        }
        case lkIrm:
            appendRightsLine(out, kind->batTemplate, pathWritable, { path, irmRights(value) });
            break;
        case lkOwner:
            appendTemplate(out, kind->batTemplate, { path, value }, AppendBatchRemText);
            break;
        default: // the settings lines write nothing in the batch form
            break;
        }
    }
    return out;
}

std::string BuildXmlForm(const ReportList& results)
{
    std::string out;
    out.reserve(results.textBytes() + results.textBytes() / 4 + 48 * results.count() + 64);
    out += kXmlHead;
    out += kLineEnd;
    bool blockOpen = false;
    std::string path; // the current path line's value, already escaped and encoded
    const auto encoded = [](std::string& o, std::string_view v) { AppendXmlText(o, v); };
    for (size_t i = 0; i < results.count(); ++i) {
        const int32_t code = results.code(i);
        const TInfo* kind = FindLineKind(code);
        if (!kind)
            continue;
        const std::string_view value = LineValue(results.text(i), code);
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
            appendTemplate(out, kind->xmlTemplate, { value }, encoded);
            break;
        case lkPath:
            path.clear();
            AppendXmlText(path, value);
            break;
        case lkTrustee: {
            const TrusteeValue parts = SplitTrusteeValue(value);
            appendTemplate(out, kind->xmlTemplate, { path, parts.rights, parts.name }, XmlArgs {});
            break;
        }
        case lkOwner:
            appendTemplate(out, kind->xmlTemplate, { path, value }, XmlArgs {});
            break;
        case lkIrm:
            appendTemplate(out, kind->xmlTemplate, { path, irmRights(value) }, XmlArgs {});
            break;
        default: // Subdirs, Scope, Info, Filter
            appendTemplate(out, kind->xmlTemplate, { value }, encoded);
            break;
        }
    }
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
