#include "scan/TrusteeList.h"

#include "scan/LineKinds.h"
#include "scan/ReportList.h"
#include "util/D_Util.h"
#include "util/PendingMessages.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr uint32_t kNoPathLine = std::numeric_limits<uint32_t>::max();
constexpr size_t kRowsPerPendingCall = 4096;
constexpr std::string_view kDetailIndent = "     ";

// One collected row: the rank of its text in sort order, its trustee line and the path
// line above it (all indexes into the results).
struct CollectedRow {
    uint32_t rank;
    uint32_t line;
    uint32_t pathLine;
};

} // namespace

int CompareTrusteeRows(std::string_view a, std::string_view b) noexcept
{
    // Lower case, so that "[", "]", "_" and the other bytes between "Z" and "a" sort
    // before the letters ('[R]' before '[RF]', '[Public]' before 'ID: [...]').
    return CompareTextFoldedAscii(a, b);
}

TrusteeRowParts SplitTrusteeRow(std::string_view row) noexcept
{
    const size_t at = row.rfind('[');
    if (at == std::string_view::npos)
        return { row, {} };
    return { row.substr(0, at), row.substr(at + 1) };
}

void BuildTrusteeList(const ReportList& results, ReportList& byTrustee)
{
    if (!byTrustee.empty())
        return;
    if (results.count() >= kNoPathLine)
        throw std::length_error("BuildTrusteeList: too many report lines");

    const auto rowText = [&results](uint32_t line) {
        const std::string_view text = results.text(line);
        return text.substr(std::min<size_t>(5, text.size()));
    };

    // Collect. Equal row texts are frequent (a trustee with the same rights on many
    // paths), so each distinct text is sorted once and the rows then only by its rank.
    std::vector<CollectedRow> rows;
    std::vector<std::string_view> distinct;
    std::unordered_map<std::string_view, uint32_t> idOfText;
    uint32_t lastPath = kNoPathLine;
    for (size_t i = 0; i < results.count(); ++i) {
        const int32_t code = results.code(i);
        if (code == lkPath) {
            lastPath = static_cast<uint32_t>(i);
        } else if (code == lkTrustee) {
            const std::string_view text = rowText(static_cast<uint32_t>(i));
            const auto [it, added] = idOfText.try_emplace(text, static_cast<uint32_t>(distinct.size()));
            if (added)
                distinct.push_back(text);
            rows.push_back({ it->second, static_cast<uint32_t>(i), lastPath });
            if (rows.size() % kRowsPerPendingCall == 0)
                ProcessPendingMessages();
        }
    }
    idOfText = {};
    if (rows.empty())
        return;

    // Rank the distinct texts; texts that compare equal share a rank, so their rows
    // keep scan order below.
    std::vector<uint32_t> order(distinct.size());
    for (uint32_t id = 0; id < order.size(); ++id)
        order[id] = id;
    std::sort(order.begin(), order.end(),
        [&](uint32_t a, uint32_t b) { return CompareTrusteeRows(distinct[a], distinct[b]) < 0; });
    std::vector<uint32_t> rankOfId(distinct.size());
    uint32_t rank = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && CompareTrusteeRows(distinct[order[k - 1]], distinct[order[k]]) != 0)
            ++rank;
        rankOfId[order[k]] = rank;
    }
    ProcessPendingMessages();

    // A stable counting sort by rank.
    std::vector<uint32_t> start(static_cast<size_t>(rank) + 2, 0);
    for (CollectedRow& row : rows) {
        row.rank = rankOfId[row.rank];
        ++start[row.rank + 1];
    }
    for (size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    std::vector<CollectedRow> sorted(rows.size());
    for (const CollectedRow& row : rows)
        sorted[start[row.rank]++] = row;
    rows = {};
    ProcessPendingMessages();

    // Group in one pass: a header at every change of head, then the row's detail.
    ReportList built;
    built.reserve(sorted.size() + distinct.size(), 0);
    std::string detail;
    std::string_view previousHead;
    for (size_t k = 0; k < sorted.size(); ++k) {
        const TrusteeRowParts parts = SplitTrusteeRow(rowText(sorted[k].line));
        if (k == 0 || parts.head != previousHead)
            built.append(parts.head, lkSeparator);
        previousHead = parts.head;
        detail.assign(kDetailIndent);
        if (sorted[k].pathLine != kNoPathLine)
            detail += results.text(sorted[k].pathLine);
        detail += " [";
        detail += parts.tail;
        built.append(detail, lkSeparator);
        if ((k + 1) % kRowsPerPendingCall == 0)
            ProcessPendingMessages();
    }
    byTrustee = std::move(built);
}
