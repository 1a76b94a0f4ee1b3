#include "netware/D_NW.h"
#include "scan/ScanRun.h"
#include "services/PendingMessages.h"
#include "support/FakeNWClient.h"
#include "support/TestServices.h"
#include "util/D_Util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Scan choices that record what the scan shows, and can change the Info choice after a
// given number of entries, as a user clicking during a scan would.
class RecordingControls : public PlainScanControls {
public:
    std::vector<std::string> statusTexts;
    std::vector<std::string> infoLines;
    int switchInfoAfter = -1;
    int switchInfoTo = 0;

    void showStatus(std::string_view text) override
    {
        statusTexts.emplace_back(text);
        if (static_cast<int>(statusTexts.size()) == switchInfoAfter + 1)
            info = switchInfoTo;
    }
    void appendInfoLine(std::string_view line) override { infoLines.emplace_back(line); }
};

constexpr auto trustee = &FakeNWClient::trustee;

// A server FS1 with the volume VOL1: R&D holds the file PLAN.TXT and the
// subdirectory SUB; both directories have trustees, R&D an IRM without M.
struct ScanFixture : ::testing::Test {
    FakeNWClient fake;
    TestServices services { fake };
    ScanSession session;
    RecordingControls controls;
    ReportList results;

    void SetUp() override
    {
        fake.objectNames[0x01000001] = "Admin.Corp";
        fake.objectNames[0x01000002] = "Staff.Corp";
        fake.objectNames[0x01000003] = "O'Neil.Staff.Corp";
        fake.addSampleVolume();
        fake.trusteeBlocks["VOL1:R&D"] = { { { trustee(0x01000001, 0xFB), trustee(0x0BADBAD0, 0x41) } } };
        fake.trusteeBlocks["VOL1:R&D\\PLAN.TXT"] = { { { trustee(0x01000003, 0x1FF) } } };
        fake.trusteeBlocks["VOL1:R&D\\SUB"] = { { { trustee(0x01000002, 0x41) } } };
        session.DSContext = 0x77;
    }

    std::vector<std::pair<int, std::string>> lines() const
    {
        std::vector<std::pair<int, std::string>> out;
        for (size_t i = 0; i < results.count(); ++i)
            out.emplace_back(results.code(i), std::string(results.text(i)));
        return out;
    }

    ScanResult scan(std::vector<QueueEntry> queue, int scopeIndex)
    {
        controls.scope = scopeIndex;
        return RunScan(services.context(), session, queue, *ScopeFlagForIndex(scopeIndex), controls, results);
    }
};

using Lines = std::vector<std::pair<int, std::string>>;

} // namespace

TEST(ScanChoices, ScopeFlagsAndChoiceValues)
{
    EXPECT_EQ(ScopeFlagForIndex(0), 1);
    EXPECT_EQ(ScopeFlagForIndex(1), 0);
    EXPECT_EQ(ScopeFlagForIndex(2), 2);
    EXPECT_FALSE(ScopeFlagForIndex(-1));
    EXPECT_FALSE(ScopeFlagForIndex(3));
    EXPECT_EQ(ChoiceValue(0, InfoItems), "Trustees");
    EXPECT_EQ(ChoiceValue(1, InfoItems), "Owner");
    EXPECT_EQ(ChoiceValue(2, InfoItems), "Trustees and Owner");
    EXPECT_EQ(ChoiceValue(2, ScopeItems), "Directories and Files");
    EXPECT_EQ(ChoiceValue(-1, ScopeItems), "");
}

TEST_F(ScanFixture, FilesScopeWithoutMatchesGivesEightLines)
{
    controls.pattern = "*.DOC";
    const ScanResult result = scan({ { "\\\\FS1\\VOL1\\R&D", false } }, 1);
    const Lines expected { { 10, "Base: \\\\FS1\\VOL1\\R&D" }, { 11, "     Subdirs: FALSE" },
        { 14, "     Filter: *.DOC" }, { 13, "     Info: Trustees" }, { 12, "     Scope: Files" }, { 0, "" }, { 0, "" },
        { 0, "" } };
    EXPECT_EQ(lines(), expected);
    EXPECT_TRUE(result.unreadable.empty());
    EXPECT_EQ(result.entriesExamined, 0u);
    // The walk was asked for files only, on the resolved volume:directory: the start
    // directory's information was read once, to see that it can be read, not reported.
    EXPECT_EQ(fake.countOf("getDirectoryInfo"), 1);
}

TEST_F(ScanFixture, BothScopesBothInfoWithRecursion)
{
    controls.info = 2;
    const ScanResult result = scan({ { "\\\\FS1\\VOL1\\R&D", true } }, 2);
    const Lines expected {
        { 10, "Base: \\\\FS1\\VOL1\\R&D" },
        { 11, "     Subdirs: TRUE" },
        { 14, "     Filter: *.*" },
        { 13, "     Info: Trustees and Owner" },
        { 12, "     Scope: Directories and Files" },
        { 0, "" },
        // The start directory: IRM, trustees (a deleted user by its ID), owner.
        { 15, "FS1\\VOL1:R&D" },
        { 18, "     IRM: [RWCEAF  ]" },
        { 15, "FS1\\VOL1:R&D" },
        { 16, "     Trustee: .Admin.Corp [RWCEAFM]" },
        { 16, "     Trustee: ID: [0BADBAD0] [RF]" },
        { 15, "FS1\\VOL1:R&D" },
        { 17, "     Owner: .Admin.Corp" },
        // Its file: no IRM line, its own trustee, no owner.
        { 15, "FS1\\VOL1:R&D\\PLAN.TXT" },
        { 16, "     Trustee: .O'Neil.Staff.Corp [RWCEAFMS]" },
        { 15, "FS1\\VOL1:R&D\\PLAN.TXT" },
        { 17, "     Owner: (n/a)" },
        // The subdirectory: an unrestricted IRM gives no group.
        { 15, "FS1\\VOL1:R&D\\SUB" },
        { 16, "     Trustee: .Staff.Corp [RF]" },
        { 15, "FS1\\VOL1:R&D\\SUB" },
        { 17, "     Owner: .Staff.Corp" },
        { 0, "" },
        { 0, "" },
    };
    EXPECT_EQ(lines(), expected);
    EXPECT_EQ(result.entriesExamined, 3u);
    EXPECT_EQ(controls.statusTexts, (std::vector<std::string> { "VOL1:R&D", "VOL1:R&D\\PLAN.TXT", "VOL1:R&D\\SUB" }));
    EXPECT_EQ(session.ServerName, "FS1");
    EXPECT_EQ(session.VolumeName, "VOL1");
    EXPECT_EQ(session.DirPath, "R&D");
    EXPECT_EQ(session.ConnHandle, 7u);

    // The path lines' structure: one node per entry, below the start directory's, each
    // with the type of the walk's record; every group of an entry refers to its node.
    const PathTable& paths = results.paths();
    const uint32_t dir = results.line(6).node;
    const uint32_t file = results.line(13).node;
    const uint32_t sub = results.line(17).node;
    EXPECT_EQ(results.line(8).node, dir);
    EXPECT_EQ(results.line(15).node, file);
    EXPECT_EQ(paths.parent(file), dir);
    EXPECT_EQ(paths.parent(sub), dir);
    EXPECT_EQ(paths.entryType(dir), PathEntryType::Directory);
    EXPECT_EQ(paths.entryType(file), PathEntryType::File);
    EXPECT_EQ(paths.entryType(sub), PathEntryType::Directory);
    EXPECT_EQ(paths.entryType(paths.parent(dir)), PathEntryType::NotReported); // "FS1"
    EXPECT_EQ(paths.nodeCount(), 4u);
    EXPECT_EQ(results.line(9).name, results.line(12).name); // .Admin.Corp, stored once
}

TEST_F(ScanFixture, InfoPageGetsEveryTrusteeWhateverTheInfoChoice)
{
    controls.info = 1;
    scan({ { "\\\\FS1\\VOL1\\R&D", true } }, 2);
    EXPECT_EQ(controls.infoLines,
        (std::vector<std::string> { ".Admin.Corp", "ID: [0BADBAD0]", ".O'Neil.Staff.Corp", ".Staff.Corp" }));
    // Owner only: no trustee lines in the results.
    for (const auto& [code, text] : lines())
        EXPECT_NE(code, 16) << text;
}

TEST_F(ScanFixture, FilesScopeNeverShowsIrmAndDirectoriesScopeSkipsFiles)
{
    scan({ { "\\\\FS1\\VOL1\\R&D", false } }, 1);
    for (const auto& [code, text] : lines())
        EXPECT_NE(code, 18) << text;
    results.clear();
    scan({ { "\\\\FS1\\VOL1\\R&D", false } }, 0);
    const Lines got = lines();
    ASSERT_GE(got.size(), 8u);
    EXPECT_EQ(got[6], (std::pair<int, std::string> { 15, "FS1\\VOL1:R&D" }));
    EXPECT_EQ(got[7], (std::pair<int, std::string> { 18, "     IRM: [RWCEAF  ]" }));
    for (const auto& [code, text] : got)
        EXPECT_EQ(text.find("PLAN.TXT"), std::string::npos);
}

TEST_F(ScanFixture, AChoiceChangedDuringTheScanAppliesFromTheNextEntry)
{
    controls.info = 0;
    controls.switchInfoAfter = 1; // while the second entry is examined
    controls.switchInfoTo = 1;
    scan({ { "\\\\FS1\\VOL1\\R&D", true } }, 2);
    const Lines got = lines();
    // The first entry was reported with trustees, the later ones with owners only.
    EXPECT_NE(
        std::find(got.begin(), got.end(), std::pair<int, std::string> { 16, "     Trustee: .Admin.Corp [RWCEAFM]" }),
        got.end());
    EXPECT_NE(
        std::find(got.begin(), got.end(), std::pair<int, std::string> { 17, "     Owner: .Staff.Corp" }), got.end());
    EXPECT_EQ(std::find(got.begin(), got.end(), std::pair<int, std::string> { 16, "     Trustee: .Staff.Corp [RF]" }),
        got.end());
}

TEST_F(ScanFixture, OwnerIsLookedUpSwappedFirstThenAsDelivered)
{
    fake.directories["VOL1:R&D"].ownerID = 0x01000002; // as if the server delivered it low-high
    controls.info = 1;
    scan({ { "\\\\FS1\\VOL1\\R&D", false } }, 0);
    const Lines got = lines();
    ASSERT_GE(got.size(), 10u);
    EXPECT_EQ(got[9], (std::pair<int, std::string> { 17, "     Owner: .Staff.Corp" }));
    std::vector<std::string> lookups;
    for (const auto& call : fake.calls())
        if (call.entry == "mapIDToName")
            lookups.push_back(call.args);
    ASSERT_GE(lookups.size(), 2u);
    EXPECT_NE(lookups[lookups.size() - 2].find(Format("%08X", SwapLong(0x01000002))), std::string::npos);
    EXPECT_NE(lookups.back().find(Format("%08X", 0x01000002u)), std::string::npos);
}

TEST_F(ScanFixture, UnreadableStartPathsAreRecordedAndTheScanGoesOn)
{
    FakeNWClient::Directory locked;
    locked.searchCode = 0x89A8;
    locked.infoCode = 0x89A8;
    fake.directories["VOL1:LOCKED"] = locked;
    FakeNWClient::Split split = fake.splits["\\\\FS1\\VOL1\\R&D"];
    split.dirPath = "LOCKED";
    fake.splits["\\\\FS1\\VOL1\\LOCKED"] = split;

    const ScanResult result
        = scan({ { "\\\\FS9\\NOPE", true }, { "\\\\FS1\\VOL1\\LOCKED", true }, { "\\\\FS1\\VOL1\\R&D", false } }, 0);
    ASSERT_EQ(result.unreadable.size(), 2u);
    EXPECT_EQ(result.unreadable[0].path, "\\\\FS9\\NOPE");
    EXPECT_EQ(result.unreadable[0].code, 0x8836u);
    EXPECT_EQ(result.unreadable[1].path, "\\\\FS1\\VOL1\\LOCKED");
    EXPECT_EQ(result.unreadable[1].code, 0x89A8u);
    // Each unreadable block holds its settings lines and separators only; the readable
    // one after them is reported.
    const Lines got = lines();
    EXPECT_EQ(got[0].second, "Base: \\\\FS9\\NOPE");
    EXPECT_EQ(got[8].second, "Base: \\\\FS1\\VOL1\\LOCKED");
    EXPECT_EQ(got[16].second, "Base: \\\\FS1\\VOL1\\R&D");
    EXPECT_EQ(got[22], (std::pair<int, std::string> { 15, "FS1\\VOL1:R&D" }));
}

TEST_F(ScanFixture, AnOversizedTrusteeBlockEndsOnlyItsStartPath)
{
    fake.trusteeBlocks["VOL1:R&D\\SUB"] = { { { trustee(0x01000002, 0x41) }, 21 } };
    const ScanResult result = scan({ { "\\\\FS1\\VOL1\\R&D", true }, { "\\\\FS1\\VOL1\\R&D", false } }, 2);
    const Lines got = lines();
    // The first block stops at SUB: no closing separators; the second block follows.
    size_t bases = 0;
    for (const auto& [code, text] : got)
        bases += code == 10;
    EXPECT_EQ(bases, 2u);
    EXPECT_EQ(got.back(), (std::pair<int, std::string> { 0, "" }));
    // R&D, PLAN.TXT and SUB of the first start path; R&D and PLAN.TXT of the second.
    EXPECT_EQ(result.entriesExamined, 5u);
    const auto secondBase
        = std::find(got.begin() + 1, got.end(), std::pair<int, std::string> { 10, "Base: \\\\FS1\\VOL1\\R&D" });
    ASSERT_NE(secondBase, got.end());
    EXPECT_NE((secondBase - 1)->first, 0); // no separators closed the first block
}

TEST_F(ScanFixture, CancellingOrRunningOutOfMemoryEndsTheWholeScan)
{
    const std::vector<QueueEntry> twice { { "\\\\FS1\\VOL1\\R&D", true }, { "\\\\FS1\\VOL1\\R&D", true } };
    const auto bases = [this] {
        size_t n = 0;
        for (const auto& [code, text] : lines())
            n += code == 10;
        return n;
    };
    services.pendingMessages = [] { throw OperationCancelled(); };
    EXPECT_THROW(scan(twice, 2), OperationCancelled);
    EXPECT_EQ(bases(), 1u);
    results.clear();
    services.pendingMessages = [] { throw std::bad_alloc(); };
    EXPECT_THROW(scan(twice, 2), std::bad_alloc);
    EXPECT_EQ(bases(), 1u);
    // Another error ends only the start path it arose in.
    results.clear();
    services.pendingMessages = [] { throw std::runtime_error("lost"); };
    EXPECT_NO_THROW(scan(twice, 2));
    EXPECT_EQ(bases(), 2u);
}

TEST_F(ScanFixture, SettingsValuesAreWrittenUnchanged)
{
    FakeNWClient::Split split = fake.splits["\\\\FS1\\VOL1\\R&D"];
    fake.splits["\\\\FS1\\VOL1\\50% DONE"] = split;
    controls.pattern = "";
    controls.info = 2;
    scan({ { "\\\\FS1\\VOL1\\50% DONE", false } }, 1);
    const Lines got = lines();
    EXPECT_EQ(got[0].second, "Base: \\\\FS1\\VOL1\\50% DONE");
    EXPECT_EQ(got[2].second, "     Filter: ");
    EXPECT_EQ(got[3].second, "     Info: Trustees and Owner");
}
