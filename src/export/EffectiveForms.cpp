#include "export/EffectiveForms.h"

#include "export/CsvText.h"
#include "netware/D_NW.h"
#include "services/PendingMessages.h"

using namespace effective;

namespace {

constexpr std::string_view lineEnd = "\r\n";
constexpr std::string_view objectIndent = "     ";
constexpr std::string_view explanationIndent = "          ";
constexpr size_t blocksPerPendingCall = 1024;

std::string explanationLine(const ExplanationItem& item)
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

void appendLine(std::string& out, std::string_view indent, std::string_view text)
{
    out += indent;
    out += text;
    out += lineEnd;
}

void appendObject(std::string& out, const std::string& name, uint16_t rights,
    const std::vector<ExplanationItem>& explanation, std::string_view note = {})
{
    std::string line = name + " " + BracketRights(rights);
    line += note;
    appendLine(out, objectIndent, line);
    for (const ExplanationItem& item : explanation)
        appendLine(out, explanationIndent, explanationLine(item));
}

void appendUnreadable(std::string& out, const std::string& path, uint32_t code)
{
    appendLine(out, "", path);
    appendLine(out, objectIndent, "cannot be read: " + NWErrorText(code));
    out += lineEnd;
}

void letMessagesThrough(size_t block)
{
    if ((block + 1) % blocksPerPendingCall == 0)
        ProcessPendingMessages();
}

} // namespace

std::vector<std::string> ExplanationLines(const std::vector<ExplanationItem>& explanation)
{
    std::vector<std::string> lines;
    for (const ExplanationItem& item : explanation)
        lines.push_back(explanationLine(item));
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
        letMessagesThrough(i);
        if (entry.code != 0) {
            appendUnreadable(out, entry.path, entry.code);
            continue;
        }
        appendLine(out, "", entry.path);
        for (const AccessRow& row : entry.rows)
            appendObject(out, row.name, row.rights, row.explanation, row.orphaned ? " (orphaned ID)" : "");
        out += lineEnd;
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
            letMessagesThrough(i);
        }
        return text.take();
    }
    std::string out;
    for (size_t i = 0; i < report.rows.size(); ++i) {
        const RightsMapRow& row = report.rows[i];
        letMessagesThrough(i);
        if (row.code != 0) {
            appendUnreadable(out, row.path, row.code);
            continue;
        }
        appendLine(out, "", row.path);
        appendObject(out, report.user, row.rights, row.explanation);
        out += lineEnd;
    }
    return out;
}
