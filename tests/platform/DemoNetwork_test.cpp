#include "netware/D_NW.h"
#include "platform/netware/NetworkLoader.h"
#include "support/FakeNWClient.h"
#include "support/TestServices.h"
#include "util/D_Util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

// What a scan of the demo network's volumes finds, gathered the way the per-entry report
// asks for it: trustees of every entry, owner and IRM of every directory.
struct Findings {
    int entries = 0;
    int directories = 0;
    int trusteeLines = 0;
    int ownerNames = 0;
    int filteringIrms = 0;
    int unrestrictedIrms = 0;
    std::set<std::string> trusteeNames;
    std::set<std::string> ownerSamples;
};

TEST(DemoNetwork, LoadsFromTheBuiltInResourceAndAScanFindsTrusteesOwnersAndIrms)
{
    ::unsetenv("GRANTWISE_NETWORK");
    auto lib = LoadNetwork("");
    ASSERT_TRUE(lib->loaded()) << lib->loadError();
    TestServices services(*lib);
    ASSERT_EQ(InitNWClient(), 0);
    uint32_t ctx = 0;
    ASSERT_EQ(lib->createContext(ctx), 0u);
    SetContextFlag(ctx, '+', nw::ctxFlagTypeless);
    std::vector<NWConnectionItem> connections;
    ListConnections(connections);
    ASSERT_EQ(connections.size(), 3u);

    Findings found;
    std::set<std::string> trees;
    NameCache cache;
    for (const NWConnectionItem& item : connections) {
        uint32_t conn = 0;
        ASSERT_EQ(lib->NWCCOpenConnByRef(item.reference, 1, 0, conn), 0);
        std::string tree;
        ASSERT_EQ(GetConnTreeName(conn, tree), 0);
        trees.insert(tree);
        SetDSContext(ctx, tree, "[Root]");
        for (const NetVolume& volume : lib->network()->servers[conn - 1].volumes) {
            WalkDirectory(
                conn, volume.name + ":", "*.*", 2,
                [&](const std::string& path, const WalkEntry& entry, void*) {
                    ++found.entries;
                    TrusteeList trustees;
                    EXPECT_EQ(GetTrusteeList(ctx, conn, path, trustees), 0) << path;
                    for (const TrusteeItem& trustee : trustees) {
                        ++found.trusteeLines;
                        found.trusteeNames.insert(trustee.name);
                    }
                    if (!(entry.Kind & 0x10))
                        return;
                    ++found.directories;
                    if ((entry.Entry.rightsMask & 0xFB) == 0xFB)
                        ++found.unrestrictedIrms;
                    else
                        ++found.filteringIrms;
                    std::string owner;
                    const uint32_t id = SwapLong(entry.Entry.ownerID);
                    if (id != 0 && GetObjectNameCached(ctx, conn, id, owner, cache) == 0) {
                        ++found.ownerNames;
                        found.ownerSamples.insert(FormatDSName(owner));
                    }
                },
                nullptr, true);
        }
    }

    EXPECT_TRUE(services.texts().empty());
    EXPECT_EQ(trees, (std::set<std::string> { "HARBOUR_TREE", "LAB_TREE" }));
    EXPECT_GE(found.entries, 300);
    EXPECT_GE(found.directories, 60);
    EXPECT_GE(found.trusteeLines, 100);
    EXPECT_GE(found.filteringIrms, 10);
    EXPECT_GE(found.unrestrictedIrms, 10);
    EXPECT_GE(found.ownerNames, 30);
    for (const char* name : { ".Admin.Harbour", "[Public]", ".FinanceStaff.Finance.Harbour", "ID: [0002B7E1]",
             ".Researchers.Research.Lab", "[Root]" })
        EXPECT_EQ(found.trusteeNames.count(name), 1u) << name;
    for (const char* name : { ".Admin.Harbour", ".CDubois.HR.Harbour", "[Supervisor]", ".Admin.Lab" })
        EXPECT_EQ(found.ownerSamples.count(name), 1u) << name;
}

TEST(DemoNetwork, LongNamesHaveDosAliasesOnTheServer)
{
    auto lib = LoadNetwork(builtInNetwork);
    ASSERT_TRUE(lib->loaded()) << lib->loadError();
    TestServices services(*lib);
    std::string server, volume, dir;
    uint32_t conn = 0;
    ASSERT_EQ(ParseNWPath("\\\\HL-FS1\\VOL1\\R&D\\Plans 2002", conn, server, volume, dir), 0);
    uint8_t sequence[9], irm = 0;
    char name[256];
    uint32_t date = 0, owner = 0;
    ASSERT_EQ(lib->getDirectoryInfo(conn, 0, ("VOL1:" + dir).c_str(), sequence, name, date, owner, irm, nullptr), 0);
    EXPECT_STREQ(name, "PLANS2~1");
    EXPECT_EQ(irm, 0x41);
    ASSERT_EQ(lib->getDirectoryInfo(conn, 0, "VOL1:HR\\PERSON~1", sequence, name, date, owner, irm, nullptr), 0);
    EXPECT_EQ(irm, 0); // Personnel Files: everything filtered
}

} // namespace
