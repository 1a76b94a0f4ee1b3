// Fuzzes the batch and XML save forms with report lines built, as the scan builds them,
// from arbitrary names and paths:
//   - every XML form parses with QXmlStreamReader and gives back, element by element,
//     the names, paths, rights and settings values that went in (control characters
//     other than tab, line feed and carriage return read back as "?"; for a value that
//     is not valid UTF-8, the element is there and shows the replacement character);
//   - every batch line is one line; read in the code page its first line names (if it
//     names one), a RIGHTS line splits, as the command interpreter and the C run-time
//     read it, into exactly the words it should have (RIGHTS, the path, the rights or
//     "N", /Name=<name> or /f), and is a remark only when a value holds a double quote
//     or a control character, the trustee has no name, or code page 850 cannot hold a
//     value; then the remark gives that reason. An owner line is a remark whose text is
//     the owner line's path and name.
// Input: records of three bytes (kind, rights, length) followed by `length` bytes.
#include "export/ReportExport.h"
#include "netware/D_NW.h"
#include "scan/LineKinds.h"
#include "scan/ReportList.h"
#include "support/ExportReadBack.h"
#include "util/D_Util.h"

#include <QString>

#include <optional>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// What an XML parser gives back for a value: valid UTF-8 comes back with the control
// characters XML cannot hold (and U+FFFE, U+FFFF) as "?"; nullopt for a value that is
// not valid UTF-8.
std::optional<std::string> xmlReadBack(const std::string& value)
{
    const QString decoded = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
    if (decoded.toUtf8() != QByteArray(value.data(), static_cast<qsizetype>(value.size())))
        return std::nullopt;
    QString out;
    for (QChar c : decoded) {
        const char16_t u = c.unicode();
        out += ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF) ? QChar('?') : c;
    }
    return out.toStdString();
}

// How a REM line shows a value: control characters as "?".
std::string remText(const std::string& value)
{
    std::string out = value;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    return out;
}

bool batchWritable(const std::string& value)
{
    for (char c : value)
        if (c == '"' || static_cast<unsigned char>(c) < 0x20)
            return false;
    return true;
}

bool ascii(const std::string& value)
{
    for (char c : value)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

struct Expected {
    std::vector<XmlLeaf> leaves; // text empty and `valid` false: any text with U+FFFD
    std::vector<bool> valid;
    std::vector<std::vector<std::string>> batchWords; // per batch line; empty: a remark
    std::vector<std::string> remarks; // per batch line: the remark text, if a remark
    std::vector<bool> exact; // per batch line: the remark text is known exactly (ASCII)
    std::vector<std::string> prefixes; // per batch line: how the remark begins in any case
};

// The batch line of a RIGHTS command: its words when it runs, else the remark with the
// reason it is not run. A remark's text is known exactly for ASCII values; with other
// characters it shows those the code page cannot hold as "[XXXX]", so only its start
// is checked.
void addRightsLine(Expected& e, const std::string& path, const std::vector<std::string>& words,
    const std::string& remarkTail, const std::string& name, bool unknown)
{
    const bool writable = batchWritable(path) && batchWritable(name);
    const bool inCodePage = InCodePage850(path) && InCodePage850(name);
    std::string reason;
    if (!writable)
        reason = "unsafe characters";
    else if (unknown)
        reason = "unknown trustee";
    else if (!inCodePage)
        reason = "characters outside code page 850";
    if (reason.empty()) {
        e.batchWords.push_back(words);
        e.remarks.push_back("");
        e.exact.push_back(true);
        e.prefixes.push_back("");
        return;
    }
    e.batchWords.push_back({});
    e.remarks.push_back("Not run, " + reason + ": RIGHTS " + remText(path) + remarkTail);
    e.exact.push_back(ascii(path) && ascii(name));
    e.prefixes.push_back("Not run, " + reason + ": RIGHTS ");
}

void addLeaf(Expected& e, const std::string& name, const std::string& value, const std::string& parents)
{
    const std::optional<std::string> text = xmlReadBack(value);
    e.leaves.push_back({ name, text.value_or(""), parents });
    e.valid.push_back(text.has_value());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ReportList lines;
    Expected expected;
    std::string path; // the current path line
    std::string parents = "document/";
    for (size_t at = 0; at + 3 <= size;) {
        const uint8_t kind = data[at];
        const uint16_t mask = static_cast<uint16_t>(data[at + 1] | ((kind & 0x80) ? 0x100 : 0));
        const size_t length = std::min<size_t>(data[at + 2], size - at - 3);
        const std::string value(reinterpret_cast<const char*>(data + at + 3), length);
        at += 3 + length;
        std::string rights;
        switch (kind & 7) {
        case 0: // a path line as the scan writes it, or as long names leave it
            path = (kind & 8) ? "\\\\FS1\\VOL1\\" + value : "FS1\\VOL1:" + value;
            lines.appendPathLine(path);
            break;
        case 1: { // a trustee: its written name and its rights letters
            const std::string name
                = (kind & 8) ? Format("ID: [%08X]", static_cast<unsigned>(length)) : FormatDSName(value);
            RightsToStr(mask, 0, "", rights, "%s");
            lines.appendTrustee(lines.names().intern(name), mask);
            addLeaf(expected, "path", path, parents + "trustee/");
            addLeaf(expected, "rights", rights, parents + "trustee/");
            addLeaf(expected, "name", name, parents + "trustee/");
            const std::string written = rights.empty() ? "N" : rights;
            addRightsLine(expected, path, { "RIGHTS", path, written, "/Name=" + name },
                " " + written + " /Name=\"" + remText(name) + "\"", name, (kind & 8) != 0);
            break;
        }
        case 2: { // an owner
            const std::string name = (kind & 8) ? std::string("(n/a)") : FormatDSName(value);
            lines.appendOwner((kind & 8) ? NameTable::noName : lines.names().intern(name));
            addLeaf(expected, "path", path, parents + "owner/");
            addLeaf(expected, "name", name, parents + "owner/");
            expected.batchWords.push_back({});
            expected.remarks.push_back("Owner [" + remText(path) + "] " + remText(name));
            expected.exact.push_back(ascii(path) && ascii(name));
            expected.prefixes.push_back("Owner [");
            break;
        }
        case 3: { // an inherited rights mask
            RightsToBracketStr(mask & 0xFF, 0, rights);
            lines.appendIrm(static_cast<uint8_t>(mask));
            std::string letters;
            for (char c : rights)
                if (c != '[' && c != ']' && c != ' ')
                    letters += c;
            if (letters.empty())
                letters = "-ALL";
            addLeaf(expected, "path", path, parents + "irm/");
            addLeaf(expected, "rights", letters, parents + "irm/");
            addRightsLine(expected, path, { "RIGHTS", path, letters, "/f" }, " " + letters + " /f", "", false);
            break;
        }
        case 4: // a start path's Base line opens a block, an empty one none
            lines.appendSetting(lkBase, value);
            parents = value.empty() ? "document/" : "document/grantwise/";
            addLeaf(expected, "base", value, parents + "settings/");
            break;
        case 5: { // another settings line
            static const int32_t codes[] = { lkSubdirs, lkScope, lkInfo, lkFilter };
            static const char* const names[] = { "subdir", "scope", "info", "filter" };
            const int k = (kind >> 3) & 3;
            lines.appendSetting(codes[k], value);
            addLeaf(expected, names[k], value, parents + "settings/");
            break;
        }
        default:
            lines.appendSeparator();
            break;
        }
    }

    // XML: parses, and gives back every value.
    std::string error;
    std::vector<XmlLeaf> leaves = ParseXml(BuildXmlForm(lines), error);
    if (!leaves.empty() && leaves.back().name == "document") // a document without elements
        leaves.pop_back();
    if (!error.empty() || leaves.size() != expected.leaves.size())
        abort();
    for (size_t i = 0; i < leaves.size(); ++i) {
        const XmlLeaf& want = expected.leaves[i];
        if (leaves[i].name != want.name || leaves[i].parents != want.parents)
            abort();
        if (expected.valid[i] ? leaves[i].text != want.text : leaves[i].text.find("\xEF\xBF\xBD") == std::string::npos)
            abort();
    }

    // Batch: one line per trustee, owner and IRM line, each read as it should be.
    const std::string form = BuildBatchForm(lines);
    const std::vector<std::string> batch = SplitCrLf(BatchFormAsUtf8(form));
    if (batch.size() != expected.batchWords.size())
        abort();
    for (size_t i = 0; i < batch.size(); ++i) {
        const CmdLine read = ReadBatchLine(batch[i]);
        if (!read.error.empty())
            abort();
        if (!expected.batchWords[i].empty() ? (read.remark || read.words != expected.batchWords[i])
                                            : !read.remark
                    || (expected.exact[i] ? read.remarkText != expected.remarks[i]
                                          : read.remarkText.rfind(expected.prefixes[i], 0) != 0))
            abort();
    }
    // The code page's line is there exactly when a byte beyond ASCII is.
    if ((form.rfind("CHCP 850 >NUL\r\n", 0) == 0) == ascii(form))
        abort();
    return 0;
}
