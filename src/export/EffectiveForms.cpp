#include "export/EffectiveForms.h"

#include "export/CsvText.h"
#include "netware/D_NW.h"
#include "services/PendingMessages.h"

using namespace effective;

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kObjectIndent = "     ";
constexpr std::string_view kExplanationIndent = "          ";
constexpr size_t kBlocksPerPendingCall = 1024;

std::string ExplanationLine(const ExplanationItem& item)
{
    std::string line(RelationWords(item.relation));
    line += ' ';
    line += item.name;
    line += ' ';
    line += BracketRights(item.rights);
    line += ": assigned ";
    line += BracketRights(item.sourceRights);
    line += " at ";
    line += item.sourcePath;
    for (const ExplanationItem::Removal& removal : item.removals) {
        line += "; the mask of ";
        line += removal.path;
        line += " removed ";
        line += BracketRights(removal.removed);
    }
    return line;
}

void AppendLine(std::string& out, std::string_view indent, std::string_view text)
{
    out += indent;
    out += text;
    out += kLineEnd;
}

void AppendObject(std::string& out, const std::string& name, uint16_t rights,
    const std::vector<ExplanationItem>& explanation, std::string_view note = {})
{
    std::string line = name + " " + BracketRights(rights);
    line += note;
    AppendLine(out, kObjectIndent, line);
    for (const ExplanationItem& item : explanation)
        AppendLine(out, kExplanationIndent, ExplanationLine(item));
}

void AppendUnreadable(std::string& out, const std::string& path, uint32_t code)
{
    AppendLine(out, "", path);
    AppendLine(out, kObjectIndent, "cannot be read: " + NWErrorText(code));
    out += kLineEnd;
}

void LetMessagesThrough(size_t block)
{
    if ((block + 1) % kBlocksPerPendingCall == 0)
        ProcessPendingMessages();
}

} // namespace

std::vector<std::string> ExplanationLines(const std::vector<ExplanationItem>& explanation)
{
    std::vector<std::string> lines;
    for (const ExplanationItem& item : explanation)
        lines.push_back(ExplanationLine(item));
    return lines;
}

std::string BuildAccessForm(const AccessReport& report, bool csv)
{
    if (csv) {
        CsvText text({ "path", "user", "rights" });
        for (const AccessEntry& entry : report.entries)
            if (entry.code == 0)
                for (const AccessRow& row : entry.rows)
                    text.row({ entry.path, row.name, RightsLetters(row.rights) });
        return text.take();
    }
    std::string out;
    for (size_t i = 0; i < report.entries.size(); ++i) {
        const AccessEntry& entry = report.entries[i];
        LetMessagesThrough(i);
        if (entry.code != 0) {
            AppendUnreadable(out, entry.path, entry.code);
            continue;
        }
        AppendLine(out, "", entry.path);
        for (const AccessRow& row : entry.rows)
            AppendObject(out, row.name, row.rights, row.explanation, row.orphaned ? " (orphaned ID)" : "");
        out += kLineEnd;
    }
    return out;
}

std::string BuildRightsMapForm(const RightsMapReport& report, bool csv)
{
    if (csv) {
        CsvText text({ "path", "user", "rights" });
        for (size_t i = 0; i < report.rows.size(); ++i) {
            const RightsMapRow& row = report.rows[i];
            if (row.code == 0)
                text.row({ row.path, report.user, RightsLetters(row.rights) });
            LetMessagesThrough(i);
        }
        return text.take();
    }
    std::string out;
    for (size_t i = 0; i < report.rows.size(); ++i) {
        const RightsMapRow& row = report.rows[i];
        LetMessagesThrough(i);
        if (row.code != 0) {
            AppendUnreadable(out, row.path, row.code);
            continue;
        }
        AppendLine(out, "", row.path);
        AppendObject(out, report.user, row.rights, row.explanation);
        out += kLineEnd;
    }
    return out;
}
