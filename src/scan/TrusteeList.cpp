#include "scan/TrusteeList.h"

#include "netware/D_NW.h"
#include "scan/LineKinds.h"
#include "scan/ReportList.h"
#include "services/PendingMessages.h"
#include "util/D_Util.h"

#include <algorithm>
#include <cstdint>
#include <future>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr size_t rowsPerPendingCall = 4096;

// One collected row: its distinct row, and the path line it stood under (node and form).
struct CollectedRow {
    uint32_t id;
    uint32_t node;
    bool longForm;
};

// A distinct row: the trustee's name and the rights bits that have a letter (masks that
// differ only in other bits give the same row text).
struct DistinctRow {
    uint32_t name;
    uint16_t rights;
};

} // namespace

int CompareTrusteeRows(std::string_view a, std::string_view b) noexcept
{
    // Lower case, so that "[", "]", "_" and the other bytes between "Z" and "a" sort
    // before the letters ('[R]' before '[RF]', '[Public]' before 'ID: [...]').
    return CompareTextFoldedAscii(a, b);
}

void BuildTrusteeList(const ReportList& results, ReportList& byTrustee)
{
    if (!byTrustee.empty())
        return;
    if (results.count() >= std::numeric_limits<uint32_t>::max())
        throw std::length_error("BuildTrusteeList: too many report lines");

    // Collect. The same trustee with the same rights stands on many paths, so each
    // distinct row is sorted once and the rows then only by its rank.
    std::vector<CollectedRow> rows;
    // Room for a row per line (address space only until written): growing by copying
    // tens of megabytes at a time would hold the window up between two message checks.
    rows.reserve(results.count());
    std::vector<DistinctRow> distinct;
    std::unordered_map<uint64_t, uint32_t> idOfRow;
    uint32_t lastPath = PathTable::noNode;
    bool lastLong = false;
    for (size_t i = 0; i < results.count(); ++i) {
        const ReportLine line = results.line(i);
        if (line.row == ReportRow::Path) {
            lastPath = line.node;
            lastLong = line.longForm;
        } else if (line.row == ReportRow::Trustee) {
            const auto rights = static_cast<uint16_t>(line.rights & fileSystemRightsBits);
            const auto [it, added]
                = idOfRow.try_emplace(uint64_t(line.name) << 16 | rights, static_cast<uint32_t>(distinct.size()));
            if (added)
                distinct.push_back({ line.name, rights });
            rows.push_back({ it->second, lastPath, lastLong });
        }
        if ((i + 1) % rowsPerPendingCall == 0)
            ProcessPendingMessages(i + 1, results.count());
    }
    idOfRow = {};
    if (rows.empty())
        return;

    // Rank the distinct rows by their texts; rows that compare equal share a rank, so
    // their collected rows keep scan order below. Sorting a few hundred thousand texts
    // takes a while, so it runs on another thread while messages go through here.
    std::vector<uint32_t> rankOfId(distinct.size());
    std::future<uint32_t> ranked = std::async(std::launch::async, [&results, &distinct, &rankOfId] {
        std::string texts;
        std::vector<size_t> ends(distinct.size());
        for (size_t id = 0; id < distinct.size(); ++id) {
            texts += trusteeHeaderLabel;
            texts += results.names().name(distinct[id].name);
            texts += " [";
            AppendFileSystemRights(distinct[id].rights, texts);
            texts += ']';
            ends[id] = texts.size();
        }
        const auto rowText = [&](uint32_t id) {
            const size_t begin = id == 0 ? 0 : ends[id - 1];
            return std::string_view(texts).substr(begin, ends[id] - begin);
        };
        std::vector<uint32_t> order(distinct.size());
        for (uint32_t id = 0; id < order.size(); ++id)
            order[id] = id;
        std::sort(order.begin(), order.end(),
            [&](uint32_t a, uint32_t b) { return CompareTrusteeRows(rowText(a), rowText(b)) < 0; });
        uint32_t rank = 0;
        for (size_t k = 0; k < order.size(); ++k) {
            if (k > 0 && CompareTrusteeRows(rowText(order[k - 1]), rowText(order[k])) != 0)
                ++rank;
            rankOfId[order[k]] = rank;
        }
        return rank;
    });
    const uint32_t rank = WaitLettingMessagesThrough(ranked);
    ProcessPendingMessages();

    // A stable counting sort by rank, letting messages through as it goes (millions of
    // rows); the sorted rows' memory is left uninitialised until they are written.
    std::vector<uint32_t> start(static_cast<size_t>(rank) + 2, 0);
    for (size_t k = 0; k < rows.size(); ++k) {
        ++start[rankOfId[rows[k].id] + 1];
        if ((k + 1) % (16 * rowsPerPendingCall) == 0)
            ProcessPendingMessages();
    }
    for (size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    const std::unique_ptr<CollectedRow[]> sortedRows(new CollectedRow[rows.size()]);
    for (size_t k = 0; k < rows.size(); ++k) {
        sortedRows[start[rankOfId[rows[k].id]]++] = rows[k];
        if ((k + 1) % (16 * rowsPerPendingCall) == 0)
            ProcessPendingMessages();
    }
    const size_t sortedCount = rows.size();
    ReleaseLettingMessagesThrough(std::move(rows));
    ProcessPendingMessages();

    // Group in one pass: a header at every change of name, then the row's detail.
    ReportList built;
    built.shareTables(results);
    uint32_t previousName = NameTable::noName;
    for (size_t k = 0; k < sortedCount; ++k) {
        const CollectedRow& sorted = sortedRows[k];
        const DistinctRow& row = distinct[sorted.id];
        if (k == 0 || row.name != previousName)
            built.appendTrusteeHeader(row.name);
        previousName = row.name;
        built.appendTrusteeDetail(sorted.node, sorted.longForm, row.rights);
        if ((k + 1) % rowsPerPendingCall == 0)
            ProcessPendingMessages(k + 1, sortedCount);
    }
    byTrustee = std::move(built);
}
