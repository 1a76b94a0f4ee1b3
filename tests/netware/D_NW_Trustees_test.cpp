#include "netware/D_NW.h"
#include "support/FakeNWClient.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

namespace {

std::string rightsText(uint32_t mask, int kind, const std::string& filler, const char* format)
{
    std::string out;
    RightsToStr(mask, kind, filler, out, format);
    return out;
}

std::string bracket(uint32_t mask, int kind = 0)
{
    std::string out;
    RightsToBracketStr(mask, kind, out);
    return out;
}

TEST(RightsLetters, FileSystemRights)
{
    EXPECT_EQ(rightsText(0x1FF, 0, "", "%s"), "RWCEAFMS");
    EXPECT_EQ(rightsText(0x1FF, 0, "-", "%s"), "RWCEAFMS");
    EXPECT_EQ(rightsText(0x04, 0, "-", "%s"), "--------");
    EXPECT_EQ(rightsText(0x04, 0, "", "[%s]"), "[]");
    EXPECT_EQ(rightsText(0x41, 0, "", "[%s]"), "[RF]");
    EXPECT_EQ(bracket(0), "[        ]");
    EXPECT_EQ(bracket(0x7B), "[RWCEAF  ]");
    EXPECT_EQ(bracket(0x03), "[RW      ]");
    EXPECT_EQ(bracket(0xFF), "[RWCEAFM ]");
    // The letters appended without a temporary text are RightsToStr's, for every mask.
    for (uint32_t mask = 0; mask < 0x400; ++mask) {
        std::string letters = "x";
        AppendFileSystemRights(mask, letters);
        std::string places = "x";
        AppendFileSystemRights(mask, places, ' ');
        std::string dashes = "x";
        AppendFileSystemRights(mask, dashes, '-');
        ASSERT_EQ(letters, "x" + rightsText(mask, 0, "", "%s")) << mask;
        ASSERT_EQ(places, "x" + rightsText(mask, 0, " ", "%s")) << mask;
        ASSERT_EQ(dashes, "x" + rightsText(mask, 0, "-", "%s")) << mask;
        ASSERT_EQ(letters.size() - 1, static_cast<size_t>(__builtin_popcount(mask & fileSystemRightsBits))) << mask;
    }
}

TEST(RightsLetters, DirectoryServicesLetterSets)
{
    EXPECT_EQ(rightsText(0, 1, "", "%s"), "I");
    EXPECT_EQ(rightsText(0x5F, 1, "", "%s"), "BCDRS");
    EXPECT_EQ(rightsText(0x1F, 1, ".", "%s"), "BCDRSI");
    EXPECT_EQ(rightsText(0x02, 1, ".", "%s"), ".C...I");
    EXPECT_EQ(rightsText(0x2F, 2, "", "%s"), "CRWSAI");
    EXPECT_EQ(rightsText(0x50, 2, ".", "<%s>"), "<......>"); // 0x10 has no letter, 0x40 suppresses I
    EXPECT_EQ(rightsText(0x1FF, 3, "x", "[%s]"), "[]");
    EXPECT_EQ(bracket(0x40, 1), "[      ]");
}

class TrusteeTest : public ::testing::Test {
protected:
    TrusteeTest()
    {
        fake.objectNames
            = { { 0x8001, "Admin.Corp" }, { 0x9002, "[Public]" }, { 0x9003, ".Staff.Corp" }, { 0x9004, "[Root]" } };
    }
    static NWTrusteeEntry T(uint32_t id, uint16_t rights) { return FakeNWClient::trustee(id, rights); }

    FakeNWClient fake;
    TestServices services { fake };
};

TEST_F(TrusteeTest, BlocksAreAppendedInOrderWithWrittenNamesAndUnknownIDs)
{
    fake.trusteeBlocks["VOL1:DOCS"] = { { { T(0x8001, 0xFB), T(0x9002, 0x41) } },
        { { T(0x0001A2B3, 0x01), T(0x9003, 0x100) } }, { { T(0x9004, 0x1FF) } } };
    TrusteeList list { { "before", 1 } };
    EXPECT_EQ(GetTrusteeList(5, 6, "VOL1:DOCS", list), 0);
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[1].name, ".Admin.Corp");
    EXPECT_EQ(list[1].rights, 0xFB);
    EXPECT_EQ(list[2].name, "[Public]");
    EXPECT_EQ(list[3].name, "ID: [0001A2B3]");
    EXPECT_EQ(list[3].rights, 0x01);
    EXPECT_EQ(list[4].name, ".Staff.Corp");
    EXPECT_EQ(list[4].rights, 0x100);
    EXPECT_EQ(list[5].name, "[Root]");
    EXPECT_EQ(fake.countOf("scanTrustees"), 4); // three blocks and the 0x899C end
    EXPECT_EQ(fake.countOf("mapIDToName"), 5); // once per trustee, no cache
    EXPECT_EQ(fake.calls()[0].args, "6 VOL1:DOCS 0");
}

TEST_F(TrusteeTest, FailureKeepsTheItemsSoFarAndReturnsTheCode)
{
    fake.trusteeBlocks["P"] = { { { T(0x8001, 1) } }, { { T(0x9002, 1) } } };
    fake.queueCodes("scanTrustees", { 0, 0x89A8 });
    TrusteeList list;
    EXPECT_EQ(GetTrusteeList(1, 1, "P", list), 0x89A8);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, ".Admin.Corp");

    TrusteeList none;
    EXPECT_EQ(GetTrusteeList(1, 1, "NO TRUSTEES", none), 0);
    EXPECT_TRUE(none.empty());
}

TEST_F(TrusteeTest, CountAboveTwentyIsARangeError)
{
    FakeNWClient::Block bad { { T(0x8001, 1) }, 21 };
    fake.trusteeBlocks["P"] = { bad };
    TrusteeList list;
    EXPECT_THROW(GetTrusteeList(1, 1, "P", list), TrusteeBlockRangeError);
    try {
        GetTrusteeList(1, 1, "P", list);
    } catch (const std::exception& e) { // the scan's guard catches std::exception
        EXPECT_STREQ(e.what(), "trustee block count 21 is above 20");
    }
    FakeNWClient::Block full { std::vector<NWTrusteeEntry>(20, T(0x8001, 1)), 20 };
    fake.trusteeBlocks["Q"] = { full };
    EXPECT_EQ(GetTrusteeList(1, 1, "Q", list), 0);
}

TEST_F(TrusteeTest, ObjectNamesAndTheirWrittenForm)
{
    std::string name = "old";
    EXPECT_EQ(ObjectIDToName(1, 2, 0x8001, name), 0u);
    EXPECT_EQ(name, "Admin.Corp");
    EXPECT_EQ(fake.calls().back().args, "1 2 00008001");
    EXPECT_EQ(ObjectIDToName(1, 2, 0x4711, name), 0xFFFFFDA7u);
    EXPECT_EQ(name, "");

    EXPECT_EQ(FormatDSName("Admin.Org"), ".Admin.Org");
    EXPECT_EQ(FormatDSName(".Admin.Org"), ".Admin.Org");
    EXPECT_EQ(FormatDSName("[Root]"), "[Root]");
    EXPECT_EQ(FormatDSName("[root]"), "[root]");
    EXPECT_EQ(FormatDSName(""), "");
    EXPECT_EQ(StripLeadingDot("..X"), ".X");
    EXPECT_EQ(StripLeadingDot("X."), "X.");
    EXPECT_EQ(StripLeadingDot(""), "");
}

class NameCacheTest : public TrusteeTest {
protected:
    NameCacheTest()
    {
        for (uint32_t id = 1; id <= 1100; ++id)
            fake.objectNames[id] = "User" + std::to_string(id) + ".Corp";
    }
    uint32_t lookup(uint32_t id, uint32_t conn = 7)
    {
        std::string name;
        const uint32_t code = GetObjectNameCached(1, conn, id, name, cache);
        EXPECT_TRUE(code != 0 || name == "User" + std::to_string(id) + ".Corp");
        return code;
    }
    NameCache cache;
};

TEST_F(NameCacheTest, HitCostsNoCallAndMovesToTheFrontWithoutDuplicating)
{
    lookup(1);
    lookup(2);
    lookup(3);
    fake.clearCalls();
    EXPECT_EQ(lookup(1), 0u);
    EXPECT_EQ(fake.countOf("mapIDToName"), 0);
    const auto items = cache.items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].second, 1u);
    EXPECT_EQ(items[1].second, 3u);
    EXPECT_EQ(items[2].second, 2u);
    EXPECT_EQ(NameCacheFind(7, 2, cache), 2); // former index, now moved to the front
    EXPECT_EQ(NameCacheFind(7, 2, cache), 0);
    EXPECT_EQ(NameCacheFind(7, 99, cache), -1);
}

TEST_F(NameCacheTest, The1002ndDistinctNamePushesOutTheLeastRecentlyUsed)
{
    for (uint32_t id = 1; id <= 1001; ++id)
        lookup(id);
    EXPECT_EQ(cache.size(), 1001);
    lookup(1); // 1 is now the most recent; 2 the least recent
    lookup(1002);
    EXPECT_EQ(cache.size(), 1001);
    EXPECT_EQ(NameCacheFind(7, 2, cache), -1);
    EXPECT_EQ(NameCacheFind(7, 1, cache), 1);
    EXPECT_EQ(NameCacheFind(7, 3, cache), 1000);
    fake.clearCalls();
    lookup(2);
    EXPECT_EQ(fake.countOf("mapIDToName"), 1);
    EXPECT_EQ(NameCacheFind(7, 4, cache), -1); // 4 was the least recent when 2 came back
}

TEST_F(NameCacheTest, OrderSurvivesManyMovesAndMatchesASimpleList)
{
    // Compare with a plain most-recently-used list over a long mixed sequence (enough
    // moves to make the cache renumber its use stamps several times).
    std::vector<uint32_t> model;
    uint32_t seed = 12345;
    for (int step = 0; step < 20000; ++step) {
        seed = seed * 1103515245u + 12345u;
        const uint32_t id = 1 + (seed >> 16) % 1100;
        auto it = std::find(model.begin(), model.end(), id);
        const int expected = it == model.end() ? -1 : static_cast<int>(it - model.begin());
        ASSERT_EQ(NameCacheFind(7, id, cache), expected) << "step " << step;
        if (it != model.end()) {
            model.erase(it);
        } else {
            std::string name;
            ASSERT_EQ(ObjectIDToName(1, 7, id, name), 0u);
            if (model.size() >= 1001) {
                model.pop_back();
                cache.removeBack();
            }
            cache.insertFront(name, id);
        }
        model.insert(model.begin(), id);
    }
    const auto items = cache.items();
    ASSERT_EQ(items.size(), model.size());
    for (size_t i = 0; i < model.size(); ++i)
        EXPECT_EQ(items[i].second, model[i]);
}

TEST_F(NameCacheTest, AnotherConnectionEmptiesTheCacheAndFailuresAreNotCached)
{
    lookup(1);
    lookup(2);
    EXPECT_EQ(cache.connHandle(), 7u);
    fake.clearCalls();
    lookup(1, 8);
    EXPECT_EQ(fake.countOf("mapIDToName"), 1);
    EXPECT_EQ(cache.connHandle(), 8u);
    EXPECT_EQ(cache.size(), 1);

    std::string name = "kept";
    EXPECT_EQ(GetObjectNameCached(1, 8, 0x4711, name, cache), 0xFFFFFDA7u);
    EXPECT_EQ(name, "kept");
    EXPECT_EQ(cache.size(), 1);
    fake.clearCalls();
    GetObjectNameCached(1, 8, 0x4711, name, cache);
    EXPECT_EQ(fake.countOf("mapIDToName"), 1); // asked again: nothing was remembered
}

} // namespace
