#include "netware/D_NW.h"
#include "platform/netware/NetworkLoader.h"
#include "services/PendingMessages.h"
#include "support/FakeNWClient.h"
#include "support/TestPaths.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

namespace {

struct Visit {
    std::string path;
    uint8_t kind;
};

class WalkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_library = LoadNetwork(TestDataPath("walk.json"));
        ASSERT_TRUE(m_library->loaded()) << m_library->loadError();
        m_services = std::make_unique<TestServices>(*m_library);
        std::string server, volume, dir;
        ASSERT_EQ(ParseNWPath("\\\\FS1\\VOL1", m_conn, server, volume, dir), 0);
    }

    std::vector<std::string> walk(const std::string& path, const std::string& pattern, uint8_t scope, bool recurse)
    {
        m_visits.clear();
        EntryCallback callback = [this](const std::string& p, const WalkEntry& entry, void* user) {
            EXPECT_EQ(user, &m_visits);
            m_visits.push_back({ p, entry.Kind });
            m_entries.push_back(entry);
        };
        WalkDirectory(m_conn, path, pattern, scope, callback, &m_visits, recurse);
        std::vector<std::string> out;
        for (const Visit& v : m_visits)
            out.push_back((v.kind == walkKindDirectory ? "D " : v.kind == walkKindFile ? "F " : "? ") + v.path);
        return out;
    }

    std::unique_ptr<SimulatedNetWare> m_library;
    std::unique_ptr<TestServices> m_services;
    uint32_t m_conn = 0;
    std::vector<Visit> m_visits;
    std::vector<WalkEntry> m_entries;
};

using Paths = std::vector<std::string>;

TEST_F(WalkTest, BothScopesRecursiveVisitDirectoryThenFilesThenSubdirectoriesDepthFirst)
{
    EXPECT_EQ(walk("VOL1:DOCS", "*.*", 2, true),
        (Paths { "D VOL1:DOCS", "F VOL1:DOCS\\README.TXT", "F VOL1:DOCS\\QUARTE~1.DOC", "F VOL1:DOCS\\NOTES.DAT",
            "D VOL1:DOCS\\PLANS2~1", "F VOL1:DOCS\\PLANS2~1\\A.TXT", "D VOL1:DOCS\\PLANS2~1\\DEEP",
            "F VOL1:DOCS\\PLANS2~1\\DEEP\\B.DAT", "D VOL1:DOCS\\ARCHIVE", "F VOL1:DOCS\\ARCHIVE\\OLD.TXT" }));
}

TEST_F(WalkTest, ScopeSelectsDirectoryAndFileRecords)
{
    EXPECT_EQ(walk("VOL1:DOCS", "*.*", 1, false), (Paths { "D VOL1:DOCS" }));
    EXPECT_EQ(walk("VOL1:DOCS", "*.*", 0, false),
        (Paths { "F VOL1:DOCS\\README.TXT", "F VOL1:DOCS\\QUARTE~1.DOC", "F VOL1:DOCS\\NOTES.DAT" }));
    EXPECT_EQ(walk("VOL1:DOCS", "*.*", 1, true),
        (Paths { "D VOL1:DOCS", "D VOL1:DOCS\\PLANS2~1", "D VOL1:DOCS\\PLANS2~1\\DEEP", "D VOL1:DOCS\\ARCHIVE" }));
    // Files only, recursing: every subdirectory is still searched for files.
    EXPECT_EQ(walk("VOL1:DOCS", "*.*", 0, true),
        (Paths { "F VOL1:DOCS\\README.TXT", "F VOL1:DOCS\\QUARTE~1.DOC", "F VOL1:DOCS\\NOTES.DAT",
            "F VOL1:DOCS\\PLANS2~1\\A.TXT", "F VOL1:DOCS\\PLANS2~1\\DEEP\\B.DAT", "F VOL1:DOCS\\ARCHIVE\\OLD.TXT" }));
}

TEST_F(WalkTest, PatternFiltersFilesOnlyAndEmptyPatternIsEverything)
{
    EXPECT_EQ(walk("VOL1:DOCS", "*.TXT", 2, true),
        (Paths { "D VOL1:DOCS", "F VOL1:DOCS\\README.TXT", "D VOL1:DOCS\\PLANS2~1", "F VOL1:DOCS\\PLANS2~1\\A.TXT",
            "D VOL1:DOCS\\PLANS2~1\\DEEP", "D VOL1:DOCS\\ARCHIVE", "F VOL1:DOCS\\ARCHIVE\\OLD.TXT" }));
    EXPECT_EQ(walk("VOL1:DOCS", "", 2, true), walk("VOL1:DOCS", "*.*", 2, true));
    EXPECT_EQ(walk("VOL1:DOCS", "n?tes.*", 0, false), (Paths { "F VOL1:DOCS\\NOTES.DAT" }));
}

TEST_F(WalkTest, TrailingSeparatorIsRemovedAndVolumeRootGetsBackslashBeforeNames)
{
    EXPECT_EQ(walk("VOL1:DOCS\\", "*.*", 2, false), walk("VOL1:DOCS", "*.*", 2, false));
    EXPECT_EQ(walk("VOL1:DOCS/", "NOTES.DAT", 2, false), (Paths { "D VOL1:DOCS", "F VOL1:DOCS\\NOTES.DAT" }));
    // "README" has no extension and still matches "*.*".
    EXPECT_EQ(walk("VOL1:", "*.*", 2, false), (Paths { "D VOL1:", "F VOL1:\\ROOT.TXT", "F VOL1:\\README" }));
}

TEST_F(WalkTest, UnreadableDirectoryIsNotReportedButItsFilesAre)
{
    EXPECT_EQ(walk("VOL1:LOCKED", "*.*", 2, false), (Paths { "F VOL1:LOCKED\\IN.TXT" }));
    // Seen from its parent, the directory's own record is missing while its file is there.
    const Paths fromRoot = walk("VOL1:", "*.TXT", 2, true);
    EXPECT_EQ(std::count(fromRoot.begin(), fromRoot.end(), "D VOL1:\\LOCKED"), 0);
    EXPECT_EQ(std::count(fromRoot.begin(), fromRoot.end(), "F VOL1:\\LOCKED\\IN.TXT"), 1);
}

TEST_F(WalkTest, SearchThatCannotStartYieldsNothingBelowIt)
{
    EXPECT_EQ(walk("VOL1:NOSEARCH", "*.*", 2, true), (Paths { "D VOL1:NOSEARCH" }));
    EXPECT_TRUE(walk("VOL1:NOWHERE", "*.*", 2, true).empty());
    EXPECT_TRUE(walk("VOL9:DOCS", "*.*", 2, true).empty());
}

TEST_F(WalkTest, DirectoryRecordCarriesIrmAndHighLowOwnerFileRecordItsOwnByte)
{
    walk("VOL1:DOCS", "README.TXT", 2, false);
    ASSERT_EQ(m_entries.size(), 2u);
    const WalkEntry& dir = m_entries[0];
    EXPECT_EQ(dir.Kind, 0x16);
    // The records are packed: fields are read by value, never bound to a reference.
    const uint8_t irm = dir.Entry.rightsMask;
    const uint32_t owner = dir.Entry.ownerID;
    const uint16_t sequence = dir.Entry.nextSequence;
    EXPECT_EQ(irm, 0x41); // "RF"
    EXPECT_EQ(owner, 0x01800000u); // Admin.Corp's 0x00008001, high-low
    EXPECT_EQ(sequence, 0);
    EXPECT_EQ(dir.Entry.shortName[0], '\0');
    const WalkEntry& file = m_entries[1];
    EXPECT_EQ(file.Kind, 6);
    EXPECT_STREQ(file.Entry.shortName, "README.TXT");
    const uint8_t fileByte = file.Entry.rightsMask;
    EXPECT_EQ(fileByte, 0x21);
}

TEST_F(WalkTest, PendingMessagesRunAfterEveryMatchAndCancellationEndsTheWalk)
{
    int matches = 0;
    m_services->pendingMessages = [&] { ++matches; };
    walk("VOL1:DOCS", "*.*", 2, true);
    // 9 matches: 6 files and 3 subdirectories.
    EXPECT_EQ(matches, 9);
    m_services->pendingMessages = [&] { throw OperationCancelled(); };
    EXPECT_THROW(walk("VOL1:DOCS", "*.*", 2, true), OperationCancelled);
}

TEST(WalkCallOrder, DirectoryInformationThenFileSearchThenSubdirectorySearch)
{
    FakeNWClient fake;
    TestServices services(fake);
    fake.directories["V:D"] = { 0, 0, 0x7B, 0, 0, { { "F.TXT", false, 0 }, { "SUB", true, 0 } } };
    fake.directories["V:D\\SUB"] = {};
    std::vector<std::string> paths;
    WalkDirectory(
        7, "V:D", "*.TXT", 2, [&](const std::string& p, const WalkEntry&, void*) { paths.push_back(p); }, nullptr,
        true);
    EXPECT_EQ(paths, (std::vector<std::string> { "V:D", "V:D\\F.TXT", "V:D\\SUB" }));
    std::vector<std::string> searches;
    for (const auto& call : fake.calls())
        if (call.entry == "continueFileSearch")
            searches.push_back(call.args);
    // Files with attributes 6 and the user's pattern, subdirectories with 0x16 and "*.*";
    // each pass takes the next sequence from the previous match, and a subdirectory is
    // walked (searches 3 and 4) before its parent's pass goes on.
    EXPECT_EQ(searches,
        (std::vector<std::string> { "7 1 1 0 06 *.TXT", "7 1 1 1 06 *.TXT", "7 1 2 0 16 *.*", "7 1 3 0 06 *.TXT",
            "7 1 4 0 16 *.*", "7 1 2 2 16 *.*" }));
    EXPECT_EQ(fake.entries().front(), "getDirectoryInfo");
}

TEST(WalkDepth, DeepTreeIsWalkedToTheBottom)
{
    // A fake server with a chain of 2000 nested directories: far deeper than NetWare's
    // 255-character paths allow, to show the walk's frames stay small.
    FakeNWClient fake;
    TestServices services(fake);
    std::string path = "V:";
    for (int i = 0; i < 2000; ++i) {
        fake.directories[path] = { 0, 0, 0xFF, 0, 0, { { "D", true, 0 } } };
        path += "\\D";
    }
    fake.directories[path] = {};
    int visited = 0;
    WalkDirectory(
        1, "V:", "*.*", 1, [&](const std::string&, const WalkEntry&, void*) { ++visited; }, nullptr, true);
    EXPECT_EQ(visited, 2001);
}

} // namespace
