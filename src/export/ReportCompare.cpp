#include "export/ReportCompare.h"

#include "export/CsvText.h"
#include "scan/NameTable.h"
#include "services/PendingMessages.h"
#include "util/CaseFold.h"
#include "util/D_Util.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <unordered_map>

namespace {

constexpr std::string_view lineEnd = "\r\n";

// The matching key of a path: case-folded, with a backslash right after the volume's
// colon dropped.
std::string pathKey(std::string_view path)
{
    std::string folded = FoldName(path);
    if (const size_t colon = folded.find(':');
        colon != std::string::npos && colon + 1 < folded.size() && folded[colon + 1] == '\\')
        folded.erase(colon + 1, 1);
    return folded;
}

// One detail of a side, by key numbers that both sides share: equal numbers mean equal
// keys.
struct Item {
    uint32_t path;
    uint32_t name;
    AuditDetail kind;
    uint32_t index; // in the side's details, so that equal keys keep their order
    auto key() const noexcept { return std::tuple(path, static_cast<uint8_t>(kind), name); }
    bool operator<(const Item& other) const noexcept
    {
        return std::tuple(path, static_cast<uint8_t>(kind), name, index)
            < std::tuple(other.path, static_cast<uint8_t>(other.kind), other.name, other.index);
    }
};

void settingsRows(const AuditReport& older, const AuditReport& newer, CompareResult& result)
{
    using Field = std::string AuditSettings::*;
    static const std::array<std::pair<std::string_view, Field>, 5> fields { { { "base", &AuditSettings::base },
        { "subdirs", &AuditSettings::subdirs }, { "filter", &AuditSettings::filter }, { "info", &AuditSettings::info },
        { "scope", &AuditSettings::scope } } };
    const size_t blocks = std::max(older.blocks.size(), newer.blocks.size());
    for (size_t b = 0; b < blocks; ++b) {
        if (b >= newer.blocks.size()) {
            const std::string& base = older.blocks[b].base;
            result.rows.push_back({ AuditChange::Removed, base, "settings", "base", base, "" });
            continue;
        }
        if (b >= older.blocks.size()) {
            const std::string& base = newer.blocks[b].base;
            result.rows.push_back({ AuditChange::Added, base, "settings", "base", "", base });
            continue;
        }
        const AuditSettings& o = older.blocks[b];
        const AuditSettings& n = newer.blocks[b];
        for (const auto& [word, field] : fields) {
            const bool same = field == &AuditSettings::base ? SameName(o.*field, n.*field) : o.*field == n.*field;
            if (!same)
                result.rows.push_back(
                    { AuditChange::Changed, n.base, "settings", std::string(word), o.*field, n.*field });
        }
    }
    if (older.longNames() != newer.longNames())
        result.rows.push_back({ AuditChange::Changed, "", "settings", "names", older.longNames() ? "long" : "short",
            newer.longNames() ? "long" : "short" });
    result.settingsRows = result.rows.size();
}

// The items of a side with their path and name keys' numbers, sorted by key.
std::vector<Item> itemsOf(const AuditReport& report, const std::vector<uint32_t>& pathIds,
    const std::unordered_map<uint32_t, uint32_t>& nameIds)
{
    std::vector<Item> items;
    items.reserve(report.details.size());
    for (size_t i = 0; i < report.details.size(); ++i) {
        const AuditReport::Detail& d = report.details[i];
        items.push_back({ pathIds[i], nameIds.at(d.name), d.kind, static_cast<uint32_t>(i) });
    }
    std::sort(items.begin(), items.end());
    return items;
}

bool sameValue(AuditDetail kind, std::string_view a, std::string_view b)
{
    return kind == AuditDetail::Owner ? SameName(a, b) : a == b;
}

} // namespace

std::string_view AuditChangeWord(AuditChange change) noexcept
{
    switch (change) {
    case AuditChange::Added:
        return "added";
    case AuditChange::Removed:
        return "removed";
    case AuditChange::Changed:
        break;
    }
    return "changed";
}

CompareResult CompareReports(const AuditReport& older, const AuditReport& newer)
{
    CompareResult result;
    settingsRows(older, newer, result);

    // Keys: each side's paths (once per run of details on one path) and names (once per
    // distinct name), numbered together. The numbers only match details: the rows' order
    // comes from the final sort by their texts, which ties only rows of one key (a key
    // folds more than that sort does), so it is the order a sort of the keys would give.
    const std::array<const AuditReport*, 2> sides { &older, &newer };
    NameTable pathKeys, nameKeys;
    std::array<std::vector<uint32_t>, 2> pathIds;
    std::array<std::unordered_map<uint32_t, uint32_t>, 2> nameIds;
    for (int side = 0; side < 2; ++side) {
        const AuditReport& report = *sides[side];
        pathIds[side].reserve(report.details.size());
        uint32_t lastPath = UINT32_MAX;
        uint32_t id = 0;
        for (const AuditReport::Detail& d : report.details) {
            if (d.path != lastPath) {
                id = pathKeys.intern(pathKey(report.text(d.path)));
                lastPath = d.path;
            }
            pathIds[side].push_back(id);
            if (!nameIds[side].count(d.name))
                nameIds[side].emplace(d.name, nameKeys.intern(FoldName(report.text(d.name))));
        }
        ProcessPendingMessages();
    }
    const std::vector<Item> o = itemsOf(older, pathIds[0], nameIds[0]);
    const std::vector<Item> n = itemsOf(newer, pathIds[1], nameIds[1]);
    ProcessPendingMessages();

    const auto row = [&](AuditChange change, const AuditReport& report, const AuditReport::Detail& d,
                         std::string_view oldValue, std::string_view newValue) {
        result.rows.push_back({ change, std::string(report.text(d.path)), std::string(AuditDetailWord(d.kind)),
            std::string(report.text(d.name)), std::string(oldValue), std::string(newValue) });
        ++(change == AuditChange::Added          ? result.added
                : change == AuditChange::Removed ? result.removed
                                                 : result.changed);
    };
    size_t i = 0, j = 0;
    while (i < o.size() || j < n.size()) {
        if (j == n.size() || (i < o.size() && o[i].key() < n[j].key())) {
            const AuditReport::Detail& d = older.details[o[i++].index];
            row(AuditChange::Removed, older, d, older.text(d.value), "");
        } else if (i == o.size() || n[j].key() < o[i].key()) {
            const AuditReport::Detail& d = newer.details[n[j++].index];
            row(AuditChange::Added, newer, d, "", newer.text(d.value));
        } else {
            const AuditReport::Detail& od = older.details[o[i++].index];
            const AuditReport::Detail& nd = newer.details[n[j++].index];
            if (!sameValue(nd.kind, older.text(od.value), newer.text(nd.value)))
                row(AuditChange::Changed, newer, nd, older.text(od.value), newer.text(nd.value));
        }
    }

    std::stable_sort(result.rows.begin() + static_cast<std::ptrdiff_t>(result.settingsRows), result.rows.end(),
        [](const CompareRow& a, const CompareRow& b) {
            if (const int c = CompareTextFoldedAscii(a.path, b.path); c != 0)
                return c < 0;
            if (a.detail != b.detail) // irm, trustee, owner
                return a.detail == "irm" || (a.detail == "trustee" && b.detail == "owner");
            return CompareTextFoldedAscii(a.name, b.name) < 0;
        });
    return result;
}

std::string CompareRowText(const CompareRow& r)
{
    std::string out(AuditChangeWord(r.change));
    out[0] = static_cast<char>(out[0] - 'a' + 'A');
    out += ' ';
    out += r.detail;
    if (r.detail == "settings") {
        out += ' ';
        out += r.name;
        if (!r.path.empty() && r.name != "base") {
            out += " of ";
            out += r.path;
        }
    } else {
        out += " at ";
        out += r.path;
        if (!r.name.empty()) {
            out += ": ";
            out += r.name;
        }
    }
    out += ": ";
    if (r.change == AuditChange::Changed) {
        out += r.oldValue;
        out += " -> ";
        out += r.newValue;
    } else {
        out += r.change == AuditChange::Added ? r.newValue : r.oldValue;
    }
    return out;
}

std::string BuildCompareText(const CompareResult& result)
{
    std::string out;
    if (result.settingsRows > 0) {
        out += "The settings of the two reports differ: the differences below may come from that.";
        out += lineEnd;
    }
    for (const CompareRow& r : result.rows) {
        out += CompareRowText(r);
        out += lineEnd;
    }
    if (result.same())
        out += "Nothing differs.";
    else
        out += Format("%zu differences: %zu in the settings, %zu added, %zu removed, %zu changed", result.rows.size(),
            result.settingsRows, result.added, result.removed, result.changed);
    out += lineEnd;
    return out;
}

std::string BuildCompareCsv(const CompareResult& result)
{
    CsvText csv({ "change", "path", "detail", "name", "old", "new" });
    for (const CompareRow& r : result.rows)
        csv.row({ AuditChangeWord(r.change), r.path, r.detail, r.name, r.oldValue, r.newValue });
    return csv.take();
}
