#include "scan/TrusteeList.h"

#include "scan/ReportList.h"
#include "services/PendingMessages.h"
#include "support/ReportLines.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using Rows = std::vector<std::string>;

Rows rowsOf(const ReportList& list)
{
    Rows rows;
    for (size_t i = 0; i < list.count(); ++i) {
        EXPECT_EQ(list.code(i), 0);
        rows.emplace_back(list.text(i));
    }
    return rows;
}

Rows buildRows(const ReportList& results)
{
    ReportList byTrustee;
    BuildTrusteeList(results, byTrustee);
    return rowsOf(byTrustee);
}

enum class Cut { FirstBracket, LastBracket };

// The sort key of the step-by-step model: ASCII letters in lower case; std::string then
// compares the bytes unsigned.
std::string lowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The list by trustee built step by step, as a sorted list box and row inserts and
// deletes would build it: every collected row is inserted after the rows that compare
// equal to it; then, from the last row up, the row becomes its head, the header below
// it is deleted when the head repeats, and its detail row is inserted below it.
Rows referenceBuild(const ReportList& results, Cut cut)
{
    std::vector<std::pair<std::string, long>> rows;
    long lastPath = -1;
    for (size_t i = 0; i < results.count(); ++i) {
        if (results.code(i) == 15) {
            lastPath = static_cast<long>(i);
        } else if (results.code(i) == 16) {
            const std::string text = results.text(i);
            std::pair<std::string, long> row { text.substr(std::min<size_t>(5, text.size())), lastPath };
            const auto at = std::upper_bound(rows.begin(), rows.end(), row,
                [](const auto& a, const auto& b) { return lowerAscii(a.first) < lowerAscii(b.first); });
            rows.insert(at, row);
        }
    }
    std::string previousHead;
    for (long r = static_cast<long>(rows.size()) - 1; r >= 0; --r) {
        const std::string text = rows[r].first;
        const size_t at = cut == Cut::FirstBracket ? text.find('[') : text.rfind('[');
        const std::string head = at == std::string::npos ? text : text.substr(0, at);
        const std::string tail = at == std::string::npos ? "" : text.substr(at + 1);
        rows[r].first = head;
        if (head == previousHead) {
            if (r + 1 < static_cast<long>(rows.size())) // deleting past the end does nothing
                rows.erase(rows.begin() + r + 1);
        } else {
            previousHead = head;
        }
        const std::string path = rows[r].second < 0 ? "" : std::string(results.text(rows[r].second));
        rows.insert(rows.begin() + r + 1, { "     " + path + " [" + tail, -1 });
    }
    Rows out;
    for (const auto& row : rows)
        out.push_back(row.first);
    return out;
}

ReportList workedExample()
{
    return MakeList({ { 15, "FS1\\VOL1:R&D" }, { 16, ".Admin.Corp", "RWCEAFM" }, { 16, ".Staff.Corp", "RF" },
        { 15, "FS1\\VOL1:R&D\\PLANS" }, { 16, ".Admin.Corp", "RF" } });
}

} // namespace

TEST(TrusteeList, workedExample)
{
    const Rows expected = {
        "Trustee: .Admin.Corp ",
        "     FS1\\VOL1:R&D\\PLANS [RF]",
        "     FS1\\VOL1:R&D [RWCEAFM]",
        "Trustee: .Staff.Corp ",
        "     FS1\\VOL1:R&D [RF]",
    };
    EXPECT_EQ(buildRows(workedExample()), expected);
    EXPECT_EQ(referenceBuild(workedExample(), Cut::LastBracket), expected);
    EXPECT_EQ(referenceBuild(workedExample(), Cut::FirstBracket), expected);
}

TEST(TrusteeList, NamesWithBracketsKeepTheirHeader)
{
    const ReportList results = MakeList({ { 15, "FS1\\VOL1:R&D" }, { 16, "[Public]", "RF" },
        { 16, "ID: [0001A2B3]", "RF" }, { 16, "ID: [0001A2B4]", "R" } });
    // "[" (0x5B) sorts before "i" (0x69), the folded "I".
    const Rows expected = {
        "Trustee: [Public] ",
        "     FS1\\VOL1:R&D [RF]",
        "Trustee: ID: [0001A2B3] ",
        "     FS1\\VOL1:R&D [RF]",
        "Trustee: ID: [0001A2B4] ",
        "     FS1\\VOL1:R&D [R]",
    };
    EXPECT_EQ(buildRows(results), expected);
    EXPECT_EQ(referenceBuild(results, Cut::LastBracket), expected);
    // Cut at the first "[", [Public] loses its name to the detail row and the two
    // unreadable trustees share one header.
    const Rows firstBracket = {
        "Trustee: ",
        "     FS1\\VOL1:R&D [Public] [RF]",
        "Trustee: ID: ",
        "     FS1\\VOL1:R&D [0001A2B3] [RF]",
        "     FS1\\VOL1:R&D [0001A2B4] [R]",
    };
    EXPECT_EQ(referenceBuild(results, Cut::FirstBracket), firstBracket);
}

TEST(TrusteeList, OrderFoldsAsciiLettersOnly)
{
    EXPECT_EQ(CompareTrusteeRows("Trustee: admin", "Trustee: ADMIN"), 0);
    // Letters fold to lower case, so the bytes between "Z" and "a" come first.
    EXPECT_GT(CompareTrusteeRows("Trustee: a", "Trustee: _"), 0); // '_' (0x5F) before 'a' (0x61)
    EXPECT_LT(CompareTrusteeRows("Trustee: X [R]", "Trustee: X [RF]"), 0); // "]" before "F"
    EXPECT_LT(CompareTrusteeRows("Trustee: [Public] [R]", "Trustee: ID: [0001A2B3] [R]"), 0);
    EXPECT_LT(CompareTrusteeRows("Trustee: Mz", "Trustee: M\xC3\xBC"), 0); // bytes above 127 last
    EXPECT_LT(CompareTrusteeRows("Trustee: Ab", "Trustee: Abc"), 0);
    EXPECT_GT(CompareTrusteeRows("Trustee: B", "Trustee: abc"), 0);
    EXPECT_GT(CompareTrusteeRows("\xC3\xA4", "\xC3\x84"), 0); // no folding beyond ASCII ("ä" after "Ä")
}

TEST(TrusteeList, CaseVariantsKeepScanOrderAndSeparateHeaders)
{
    const ReportList results = MakeList({ { 15, "P1" }, { 16, ".admin", "RF" }, { 15, "P2" }, { 16, ".ADMIN", "RF" },
        { 15, "P3" }, { 16, ".admin", "RF" }, { 15, "P4" }, { 16, ".admin", "RF" } });
    const Rows expected = {
        "Trustee: .admin ",
        "     P1 [RF]",
        "Trustee: .ADMIN ",
        "     P2 [RF]",
        "Trustee: .admin ",
        "     P3 [RF]",
        "     P4 [RF]",
    };
    EXPECT_EQ(buildRows(results), expected);
    EXPECT_EQ(referenceBuild(results, Cut::LastBracket), expected);
}

TEST(TrusteeList, SameRightsOnSeveralPathsAndUnusualLines)
{
    // A trustee line above every path line; lines of other kinds between; an empty name
    // without rights; a "[" in a name, with the letter of bit 0x100.
    const ReportList results
        = MakeList({ { 16, ".Early", "R" }, { 10, "x" }, { 15, "P1" }, { 17, ".Admin" }, { 16, ".Admin", "RF" },
            { 18, "", "R" }, { 15, "P2" }, { 16, ".Admin", "RF" }, { 16, "", "" }, { 16, "x [y", "S" } });
    const Rows expected = {
        "Trustee:  ",
        "     P2 []",
        "Trustee: .Admin ",
        "     P1 [RF]",
        "     P2 [RF]",
        "Trustee: .Early ",
        "      [R]",
        "Trustee: x [y ",
        "     P2 [S]",
    };
    EXPECT_EQ(buildRows(results), expected);
    EXPECT_EQ(referenceBuild(results, Cut::LastBracket), expected);
}

TEST(TrusteeList, NothingToDoOrAlreadyBuilt)
{
    EXPECT_TRUE(buildRows(MakeList({ { 15, "P1" }, { 17, ".Admin" } })).empty());
    EXPECT_TRUE(buildRows(ReportList()).empty());

    ReportList byTrustee;
    byTrustee.appendTrusteeHeader(byTrustee.names().intern("kept"));
    BuildTrusteeList(workedExample(), byTrustee);
    EXPECT_EQ(rowsOf(byTrustee), Rows { "Trustee: kept " });
}

TEST(TrusteeList, LetsMessagesThroughAndStopsCleanlyWhenCancelled)
{
    ReportList results;
    results.appendPathLine("P");
    for (int i = 0; i < 20000; ++i)
        results.appendTrustee(results.names().intern(".T" + std::to_string(i % 97)), RightsMask("RF"));
    int calls = 0;
    TestServices services;
    services.pendingMessages = [&calls] { ++calls; };
    ReportList built;
    BuildTrusteeList(results, built);
    EXPECT_GE(calls, 5);
    EXPECT_EQ(built.count(), 97u + 20000u);

    services.pendingMessages = [&calls] {
        if (++calls > 3)
            throw OperationCancelled();
    };
    calls = 0;
    ReportList cancelled;
    EXPECT_THROW(BuildTrusteeList(results, cancelled), OperationCancelled);
    EXPECT_TRUE(cancelled.empty());
}

TEST(TrusteeList, AgreesWithTheStepByStepBuildOnRandomResults)
{
    std::mt19937 random(20240517);
    const std::vector<std::string> names = { ".Admin.Corp", ".admin.corp", ".ADMIN.Corp", "[Public]", "ID: [0001A2B3]",
        "ID: [0001a2b3]", "_under", "a", "A", "M\xC3\xBCller", "Mz", "x [y", "NoSpace[", "", " ", "O'Neil", "50%" };
    // Masks drawn from a few with bits outside the letters (0x04, 0x200), which give the
    // same row as the mask without them.
    const std::vector<uint16_t> rights = { 0x41, 0xFB, 0, 0x1FF, 0x01, 0x45, 0x241, 0x100 };
    for (int round = 0; round < 300; ++round) {
        ReportList results;
        const int lines = std::uniform_int_distribution<int>(0, 60)(random);
        for (int i = 0; i < lines; ++i) {
            const int kind = std::uniform_int_distribution<int>(0, 9)(random);
            if (kind < 3) {
                results.appendPathLine(
                    "FS1\\VOL1:P" + std::to_string(std::uniform_int_distribution<int>(0, 9)(random)));
            } else if (kind < 9) {
                const std::string& name = names[random() % names.size()];
                results.appendTrustee(results.names().intern(name), rights[random() % rights.size()]);
            } else {
                results.appendOwner(results.names().intern(".Admin"));
            }
        }
        ASSERT_EQ(buildRows(results), referenceBuild(results, Cut::LastBracket)) << "round " << round;
    }
}

// Past the sizes where the build lets messages through inside its ranking and its counting
// sort: every line under its heading, headings in order, and a cancel while the lines are
// collected leaves the list empty.
TEST(TrusteeList, LargeResultsKeepEveryLineAndCancelAnywhere)
{
    std::mt19937 random(20261209);
    ReportList results;
    for (int i = 0; i < 150000; ++i) {
        if (i % 7 == 0)
            results.appendPathLine("FS1\\VOL1:D" + std::to_string(i / 7));
        const std::string name = ".U" + std::to_string(random() % 3000) + (random() % 5 == 0 ? ".corp" : ".Corp");
        results.appendTrustee(results.names().intern(name), static_cast<uint16_t>(random() % 0x200));
    }
    int calls = 0;
    TestServices services;
    services.pendingMessages = [&calls] { ++calls; };
    ReportList built;
    BuildTrusteeList(results, built);
    // Every trustee line once under its name's heading, the headings in order.
    size_t details = 0;
    std::string previous;
    for (size_t i = 0; i < built.count(); ++i) {
        const ReportLine line = built.line(i);
        if (line.row == ReportRow::TrusteeDetail) {
            ++details;
        } else {
            const std::string heading(built.names().name(line.name));
            EXPECT_LE(CompareTrusteeRows(previous, heading), 0) << heading;
            previous = heading;
        }
    }
    EXPECT_EQ(details, 150000u);
    // The calls while the ranking runs elsewhere depend on timing; those while the lines
    // are collected (every 4,096 lines) do not.
    const int total = calls;
    ASSERT_GT(total, 70);
    for (const int stopAt : { 1, 20, 40 }) {
        calls = 0;
        services.pendingMessages = [&calls, stopAt] {
            if (++calls == stopAt)
                throw OperationCancelled();
        };
        ReportList cancelled;
        EXPECT_THROW(BuildTrusteeList(results, cancelled), OperationCancelled) << stopAt;
        EXPECT_TRUE(cancelled.empty()) << stopAt;
    }
}
