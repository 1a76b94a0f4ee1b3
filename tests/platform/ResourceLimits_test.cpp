// Descriptions at the limits of what a NetWare server holds, built in memory: an entry
// with 10,000 trustees, names of 255 characters, the deepest tree the 255-character path
// limit allows, an empty network and a server without volumes. Each is loaded, scanned,
// given long names and exported. (A directory of 200,000 files is a check of `make bench`,
// bench/LargeDirectory.h.)
#include "export/ReportExport.h"
#include "netware/D_NW.h"
#include "platform/PathForms.h"
#include "platform/Shell.h"
#include "platform/netware/NetworkLoader.h"
#include "platform/netware/NetworkReader.h"
#include "scan/LineKinds.h"
#include "scan/LongNames.h"
#include "scan/ScanRun.h"
#include "scan/TrusteeList.h"
#include "support/TestServices.h"
#include "util/D_Util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using Strings = std::vector<std::string>;

// A description of one server S (tree T) with one volume V whose root holds `entries`
// (the JSON text of its entry list).
std::string oneVolume(const std::string& entries, const std::string& workstation = "{}")
{
    return R"({ "grantwise-network": 1, "workstation": )" + workstation
        + R"(, "trees": [ { "name": "T" } ], "servers": [ { "name": "S", "tree": "T", "volumes": [ { "name": "V", "entries": [ )"
        + entries + " ] } ] } ] }";
}

// Makes a loaded description the network of the test's context (the shell sees it too)
// and runs scans over it as the window does after start-up.
class LimitTest : public ::testing::Test {
protected:
    void load(const std::string& text)
    {
        lib = std::make_unique<SimulatedNetWare>(ReadNetwork(text, "limits.json"));
        services.context().clientLibrary = lib.get();
        ASSERT_EQ(lib->createContext(session.DSContext), 0u);
        SetContextFlag(session.DSContext, '+', nw::ctxFlagTypeless);
    }

    ScanResult scan(const std::string& path, int scopeIndex, int infoIndex, bool recurse = true)
    {
        results.clear();
        controls.scope = scopeIndex;
        controls.info = infoIndex;
        return RunScan(
            services.context(), session, { { path, recurse } }, *ScopeFlagForIndex(scopeIndex), controls, results);
    }

    Strings pathLines() const
    {
        Strings out;
        for (size_t i = 0; i < results.count(); ++i)
            if (results.code(i) == lkPath)
                out.emplace_back(results.text(i));
        return out;
    }

    size_t countOf(int32_t code) const
    {
        size_t n = 0;
        for (size_t i = 0; i < results.count(); ++i)
            n += results.code(i) == code;
        return n;
    }

    std::unique_ptr<SimulatedNetWare> lib;
    TestServices services;
    ScanSession session;
    PlainScanControls controls;
    ReportList results;
};

} // namespace

TEST_F(LimitTest, EntryWith10000Trustees)
{
    constexpr int count = 10000;
    std::string trustees;
    for (int i = 0; i < count; ++i)
        trustees += Format(R"(%s["U%05d.Corp", %d])", i ? "," : "", i, (i % 0x1FF) + 1);
    load(oneVolume(R"({ "dir": "CROWD", "trustees": [ )" + trustees + " ] }"));

    uint32_t conn = 0;
    std::string server, volume, dir;
    ASSERT_EQ(ParseNWPath("\\\\S\\V", conn, server, volume, dir), 0);
    TrusteeList list;
    ASSERT_EQ(GetTrusteeList(session.DSContext, conn, "V:CROWD", list), 0);
    ASSERT_EQ(list.size(), static_cast<size_t>(count));
    EXPECT_EQ(list.front().name, ".U00000.Corp");
    EXPECT_EQ(list.back().name, ".U09999.Corp");
    EXPECT_EQ(list.back().rights, (count - 1) % 0x1FF + 1);

    scan("\\\\S\\V\\CROWD", 0, 0, false);
    EXPECT_EQ(countOf(lkTrustee), static_cast<size_t>(count));
    ReportList byTrustee;
    BuildTrusteeList(results, byTrustee);
    EXPECT_EQ(byTrustee.count(), 2u * count);
    const std::string batch = BuildBatchForm(results);
    EXPECT_EQ(static_cast<size_t>(std::count(batch.begin(), batch.end(), '\n')), static_cast<size_t>(count));
}

TEST_F(LimitTest, NamesOf255Characters)
{
    const std::string longDir(255, 'd');
    const std::string longFile = std::string(251, 'f') + ".txt";
    const std::string longUser = std::string(250, 'u') + ".Corp";
    const std::string server(47, 'S');
    const std::string volume(15, 'V');
    const std::string tree(32, 'T');
    load(R"({ "grantwise-network": 1, "trees": [ { "name": ")" + tree + R"(" } ],
      "servers": [ { "name": ")"
        + server + R"(", "tree": ")" + tree + R"(", "volumes": [ { "name": ")" + volume
        + R"(", "entries": [ { "dir": ")" + longDir + R"(", "owner": ")" + longUser + R"(",
        "trustees": [ [")"
        + longUser + R"(", "RF"] ], "entries": [ { "file": ")" + longFile + R"(", "trustees": [ [")" + longUser
        + R"(", "R"] ] } ] } ] } ] } ] })");

    std::string treeName;
    uint32_t conn = 0;
    std::string s, v, d;
    ASSERT_EQ(ParseNWPath("\\\\" + server + "\\" + volume + "\\" + longDir, conn, s, v, d), 0);
    EXPECT_EQ(d, longDir);
    ASSERT_EQ(GetConnTreeName(conn, treeName), 0);
    EXPECT_EQ(treeName, tree);

    const ScanResult result = scan("\\\\" + server + "\\" + volume + "\\" + longDir, 2, 2);
    EXPECT_TRUE(result.unreadable.empty());
    EXPECT_EQ(result.entriesExamined, 2u);
    EXPECT_EQ(countOf(lkTrustee), 2u);
    bool ownerShown = false;
    for (size_t i = 0; i < results.count(); ++i)
        ownerShown = ownerShown || results.text(i) == "     Owner: ." + longUser;
    EXPECT_TRUE(ownerShown);

    // Long names turn every path line into the long network form.
    GetLongNames(results);
    const std::string longPath = "\\\\" + server + "\\" + volume + "\\" + longDir;
    EXPECT_EQ(pathLines(), (Strings { longPath, longPath, longPath + "\\" + longFile, longPath + "\\" + longFile }));

    // One character more is refused, naming the place.
    try {
        ReadNetwork(oneVolume(R"({ "file": ")" + std::string(256, 'x') + R"(" })"), "long.json");
        FAIL() << "a name of 256 characters was accepted";
    } catch (const NetworkLoadError& error) {
        EXPECT_NE(std::string(error.what()).find("long.json: $.servers[0].volumes[0].entries[0].file: the name '"),
            std::string::npos)
            << error.what();
    }
}

TEST_F(LimitTest, DeepestTreeThePathLimitAllows)
{
    // One-character directory names: 'V:A' then '\A' per level reaches 255 characters at
    // level 127; a file below it would make 257.
    constexpr int depth = 127;
    std::string nested = R"({ "dir": "A", "trustees": [ ["Admin.Corp", "R"] ] })";
    for (int level = depth - 1; level > 0; --level)
        nested = R"({ "dir": "A", "entries": [ )" + nested + " ] }";
    load(oneVolume(nested));

    std::string chain = "A"; // the deepest directory below the volume
    for (int level = 1; level < depth; ++level)
        chain += "\\A";
    ScanResult result = scan("\\\\S\\V", 0, 0);
    EXPECT_TRUE(result.unreadable.empty());
    EXPECT_EQ(result.entriesExamined, static_cast<uint64_t>(depth + 1));
    ASSERT_EQ(countOf(lkPath), 1u);
    // Walked from the volume's root 'V:', whose entries are 'V:\NAME'.
    EXPECT_EQ(pathLines(), Strings { "S\\V:\\" + chain });
    GetLongNames(results);
    EXPECT_EQ(pathLines(), Strings { "\\\\S\\V\\" + chain });

    // The deepest directory as a start path: its short form would be 259 characters, so
    // the path is taken as it stands.
    result = scan("\\\\S\\V\\" + chain, 0, 0);
    EXPECT_TRUE(result.unreadable.empty());
    EXPECT_EQ(result.entriesExamined, 1u);

    // A file below the deepest directory breaks the limit and is refused with its place.
    std::string tooDeep = R"({ "file": "B" })";
    for (int level = depth; level > 0; --level)
        tooDeep = R"({ "dir": "A", "entries": [ )" + tooDeep + " ] }";
    try {
        ReadNetwork(oneVolume(tooDeep), "deep.json");
        FAIL() << "a path of 257 characters was accepted";
    } catch (const NetworkLoadError& error) {
        EXPECT_NE(
            std::string(error.what()).find("is 257 characters long; NetWare allows at most 255"), std::string::npos)
            << error.what();
    }
}

TEST_F(LimitTest, DeepTreeOfLongNames)
{
    // 255-character names have 8-character aliases: 'V:' and 28 levels of '\X~1' names
    // fit in 255 characters, while the long path is over 7,000 characters.
    constexpr int depth = 28;
    std::vector<std::string> names;
    for (int level = 0; level < depth; ++level)
        names.push_back(std::string(254, static_cast<char>('a' + level % 26)) + std::to_string(level % 10));
    std::string nested = R"({ "dir": ")" + names.back() + R"(", "trustees": [ ["Admin.Corp", "R"] ] })";
    for (int level = depth - 2; level >= 0; --level)
        nested = R"({ "dir": ")" + names[level] + R"(", "entries": [ )" + nested + " ] }";
    load(oneVolume(nested));

    scan("\\\\S\\V", 0, 0);
    GetLongNames(results);
    std::string longPath = "\\\\S\\V";
    for (const std::string& name : names)
        longPath += "\\" + name;
    EXPECT_EQ(pathLines(), Strings { longPath });
    // The long path is far beyond what the short-form buffer holds, so its short form
    // is the path unchanged; the scan of it then cannot resolve it.
    EXPECT_EQ(ConvertPathName(longPath, PathForm::Short), longPath);
    EXPECT_FALSE(scan(longPath, 0, 0).unreadable.empty());
}

TEST_F(LimitTest, EmptyNetwork)
{
    load(R"({ "grantwise-network": 1, "trees": [], "servers": [] })");
    EXPECT_EQ(InitNWClient(), 0x880F);
    EXPECT_EQ(services.texts(),
        (std::vector<std::string> {
            "NWCCScanConnRefs/NWCCOpenConnByRef returned error 0x880F (No connection to server)" }));
    std::vector<NWConnectionItem> connections;
    ListConnections(connections);
    EXPECT_TRUE(connections.empty());

    const ScanResult result = scan("\\\\S\\V", 2, 2);
    ASSERT_EQ(result.unreadable.size(), 1u);
    EXPECT_EQ(result.unreadable[0].code, 0x880Fu);
    EXPECT_EQ(countOf(lkBase), 1u);
    EXPECT_EQ(GetLongNames(results), 0u);
    EXPECT_TRUE(ShellListFolders("\\\\S\\").empty());
    EXPECT_EQ(BuildBatchForm(results), "");
}

TEST_F(LimitTest, ServerWithoutVolumes)
{
    load(R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ],
      "servers": [ { "name": "S", "tree": "T", "volumes": [] } ] })");
    EXPECT_EQ(InitNWClient(), 0);
    EXPECT_TRUE(services.texts().empty());
    EXPECT_TRUE(ShellListFolders("\\\\S\\").empty());

    ScanResult result = scan("\\\\S\\V", 2, 2);
    ASSERT_EQ(result.unreadable.size(), 1u);
    EXPECT_EQ(result.unreadable[0].code, 0x8998u);
    result = scan("\\\\S", 2, 2);
    ASSERT_EQ(result.unreadable.size(), 1u);
    EXPECT_EQ(result.unreadable[0].code, 0x8836u);
    EXPECT_EQ(result.entriesExamined, 0u);
}
