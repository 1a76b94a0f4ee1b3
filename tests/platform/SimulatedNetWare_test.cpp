#include "netware/D_NW.h"
#include "platform/netware/Network.h"
#include "platform/netware/NetworkLoader.h"
#include "platform/netware/NetworkReader.h"
#include "support/FakeNWClient.h"
#include "support/NetworkLoadError.h"
#include "support/TestPaths.h"
#include "support/TestServices.h"
#include "util/D_Util.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Strings = std::vector<std::string>;

std::unique_ptr<SimulatedNetWare> fromText(const std::string& text)
{
    return std::make_unique<SimulatedNetWare>(ReadNetwork(text, "test.json"));
}

// The object IDs of an entry's first trustee block, or { 0xC0DE0000 + code } when the
// trustee scan fails.
std::vector<uint32_t> firstTrusteeBlock(SimulatedNetWare& lib, uint32_t conn, const std::string& path)
{
    uint32_t iteration = 0;
    uint16_t count = 0;
    NWTrusteeBlock block;
    const uint16_t code = lib.scanTrustees(conn, 0, path.c_str(), iteration, count, block, nullptr);
    if (code != 0)
        return { 0xC0DE0000u + code };
    std::vector<uint32_t> ids;
    for (int i = 0; i < count; ++i)
        ids.push_back(block.entries[i].objectID);
    return ids;
}

class SimulatedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lib = LoadNetwork(TestDataPath("walk.json"));
        ASSERT_TRUE(lib->loaded()) << lib->loadError();
        services = std::make_unique<TestServices>(*lib);
        ASSERT_EQ(lib->NWCCOpenConnByRef(0x1001, 1, 0, fs1), 0);
        ASSERT_EQ(lib->createContext(ctx), 0u);
    }

    uint32_t split(
        const std::string& path, std::string& server, std::string& volume, std::string& dir, uint32_t conn = 0)
    {
        uint32_t handle = conn;
        return ParseNWPath(path, handle, server, volume, dir) == 0 ? handle : 0xDEAD;
    }

    std::string nameOf(uint32_t id, uint32_t conn)
    {
        std::string name;
        const uint32_t code = ObjectIDToName(ctx, conn, id, name);
        return code == 0 ? name : Format("code %08X", code);
    }

    std::vector<std::string> search(const std::string& path, uint8_t attributes, const std::string& pattern)
    {
        uint8_t volume = 0, rights = 0;
        uint16_t dirID = 0, sequence = 0;
        std::vector<std::string> names;
        if (lib->initFileSearch(fs1, 0, path.c_str(), volume, dirID, sequence, rights, nullptr) != 0)
            return { "cannot start" };
        NWSearchEntry entry;
        while (lib->continueFileSearch(fs1, volume, dirID, sequence, attributes, pattern.c_str(), entry, 1) == 0) {
            names.push_back(entry.shortName);
            sequence = entry.nextSequence;
        }
        return names;
    }

    std::unique_ptr<SimulatedNetWare> lib;
    std::unique_ptr<TestServices> services;
    uint32_t fs1 = 0;
    uint32_t ctx = 0;
};

TEST_F(SimulatedTest, ConnectionsReferencesAndTextItems)
{
    std::vector<NWConnectionItem> list;
    ListConnections(list);
    ASSERT_EQ(list.size(), 2u); // FS3 is reachable by path but not a listed connection
    EXPECT_EQ(list[0].serverName, "FS1");
    EXPECT_EQ(list[1].serverName, "FS2");
    uint32_t primary = 0;
    EXPECT_EQ(lib->getPrimaryConnRef(primary), 0);
    EXPECT_EQ(primary, list[0].reference);

    uint32_t handle = 0;
    EXPECT_EQ(lib->NWCCOpenConnByRef(list[1].reference, 1, 0, handle), 0x8847); // injected open failure
    std::string text;
    EXPECT_EQ(GetConnInfoStr(fs1, 4, text), 0);
    EXPECT_EQ(text, "CORP_TREE" + std::string(23, '_'));
    EXPECT_EQ(GetConnTreeName(fs1, text), 0);
    EXPECT_EQ(text, "CORP_TREE");
    EXPECT_EQ(GetConnInfoStr(fs1, 9, text), 0x8836);

    EXPECT_EQ(lib->closeConn(fs1), 0);
    EXPECT_EQ(GetConnTreeName(fs1, text), 0x8801);
    EXPECT_EQ(lib->closeConn(fs1), 0x8801);
    EXPECT_EQ(GetConnRefServerName(0x4711, text), 0x8801);
}

TEST_F(SimulatedTest, PathSplitterFormsAndCodes)
{
    std::string server, volume, dir;
    uint32_t handle = split("\\\\FS1\\VOL1\\DOCS\\PLANS2~1", server, volume, dir);
    EXPECT_EQ(handle, fs1);
    EXPECT_EQ(server + "|" + volume + "|" + dir, "FS1|VOL1|DOCS\\PLANS2~1");
    split("fs1/vol1:\\docs/Plans 2002\\", server, volume, dir);
    EXPECT_EQ(server + "|" + volume + "|" + dir, "FS1|VOL1|docs\\Plans 2002");
    split("FS1\\VOL1:", server, volume, dir);
    EXPECT_EQ(server + "|" + volume + "|" + dir, "FS1|VOL1|");
    split("VOL1:NOT\\THERE", server, volume, dir, fs1); // need not exist
    EXPECT_EQ(server + "|" + volume + "|" + dir, "FS1|VOL1|NOT\\THERE");
    const uint32_t fs3 = split("\\\\FS3\\DATA\\SHARED~1", server, volume, dir);
    EXPECT_NE(fs3, 0xDEADu);
    EXPECT_NE(fs3, fs1);
    EXPECT_EQ(server + "|" + volume + "|" + dir, "FS3|DATA|SHARED~1");

    uint32_t conn = 0;
    std::string keep = "kept";
    EXPECT_EQ(ParseNWPath("\\\\FS9\\VOL1\\X", conn, keep, keep, keep), 0x880F);
    EXPECT_EQ(ParseNWPath("FS1\\VOL9:X", conn, keep, keep, keep), 0x8998);
    EXPECT_EQ(ParseNWPath("no network path", conn, keep, keep, keep), 0x8836);
    EXPECT_EQ(ParseNWPath("\\\\FS1", conn, keep, keep, keep), 0x8836);
    EXPECT_EQ(ParseNWPath("\\\\FS2\\SYS", conn, keep, keep, keep), 0x8847); // opening FS2 fails
    conn = 999;
    EXPECT_EQ(ParseNWPath("VOL1:DOCS", conn, keep, keep, keep), 0x8801); // no connection to take it on
    EXPECT_EQ(keep, "kept");
}

TEST_F(SimulatedTest, PathToUNC)
{
    std::string out;
    PathToUNC("FS1\\VOL1:DOCS\\README.TXT", out);
    EXPECT_EQ(out, "\\\\FS1\\VOL1\\DOCS\\README.TXT");
    PathToUNC("FS1\\VOL1:", out);
    EXPECT_EQ(out, "\\\\FS1\\VOL1\\");
    PathToUNC("Base: not a path", out);
    EXPECT_EQ(out, "Base: not a path");
    out = "FS3/DATA:Shared Files";
    PathToUNC(out, out);
    EXPECT_EQ(out, "\\\\FS3\\DATA\\Shared Files");
}

TEST_F(SimulatedTest, ComponentsByDosOrLongNameIgnoringCase)
{
    uint8_t seq[9], irm = 0;
    char name[256];
    uint32_t date = 0, owner = 0;
    for (const char* path : { "VOL1:DOCS\\PLANS2~1", "vol1:\\docs\\plans 2002", "FS1/VOL1:Docs/Plans 2002/",
             "\\\\FS1\\VOL1\\DOCS\\PLANS2~1" }) {
        owner = 0;
        EXPECT_EQ(lib->getDirectoryInfo(fs1, 0, path, seq, name, date, owner, irm, nullptr), 0) << path;
        EXPECT_EQ(owner, SwapLong(0x0001A2B3)) << path;
        EXPECT_STREQ(name, "PLANS2~1");
    }
    EXPECT_EQ(lib->getDirectoryInfo(fs1, 0, "VOL1:", seq, name, date, owner, irm, nullptr), 0);
    EXPECT_STREQ(name, "VOL1");
    EXPECT_EQ(owner, 0x01800000u);
    EXPECT_EQ(lib->getDirectoryInfo(fs1, 0, "VOL1:DOCS\\README.TXT", seq, name, date, owner, irm, nullptr), 0x899C);
    EXPECT_EQ(lib->getDirectoryInfo(fs1, 0, "VOL1:DOCS\\NOPE", seq, name, date, owner, irm, nullptr), 0x899C);
    EXPECT_EQ(lib->getDirectoryInfo(fs1, 0, "VOL1:ROOT.TXT\\X", seq, name, date, owner, irm, nullptr), 0x899C);
}

TEST_F(SimulatedTest, SearchAttributesAndDosWildcards)
{
    EXPECT_EQ(search("VOL1:DOCS", 0x16, "*.*"), (Strings { "PLANS2~1", "ARCHIVE" }));
    EXPECT_EQ(search("VOL1:DOCS", 6, "*.*"), (Strings { "README.TXT", "QUARTE~1.DOC", "NOTES.DAT" }));
    EXPECT_EQ(search("VOL1:DOCS", 6, "*"), (Strings { "README.TXT", "QUARTE~1.DOC", "NOTES.DAT" }));
    EXPECT_EQ(search("VOL1:DOCS", 6, "q*.doc"), (Strings { "QUARTE~1.DOC" }));
    EXPECT_EQ(search("VOL1:DOCS", 6, "????????.???"), (Strings { "QUARTE~1.DOC" })); // "?" is exactly one character
    EXPECT_EQ(search("VOL1:DOCS", 6, "?????.*"), (Strings { "NOTES.DAT" }));
    EXPECT_EQ(search("VOL1:", 6, "README.*"), (Strings { "README" }));
    EXPECT_EQ(search("VOL1:", 6, "*."), (Strings { "README" }));
    EXPECT_EQ(search("VOL1:DOCS\\PLANS2~1\\DEEP", 6, "*.*"), (Strings { "B.DAT" }));
    EXPECT_EQ(search("VOL1:DOCS\\README.TXT", 6, "*.*"), (Strings { "cannot start" }));
    EXPECT_EQ(search("VOL1:NOSEARCH", 6, "*.*"), (Strings { "cannot start" }));

    // A finished search's handle is no longer valid.
    uint8_t volume = 0, rights = 0;
    uint16_t dirID = 0, sequence = 0;
    NWSearchEntry entry;
    ASSERT_EQ(lib->initFileSearch(fs1, 0, "VOL1:ARCHIVE", volume, dirID, sequence, rights, nullptr), 0x899C);
    ASSERT_EQ(lib->initFileSearch(fs1, 0, "VOL1:DOCS\\ARCHIVE", volume, dirID, sequence, rights, nullptr), 0);
    EXPECT_EQ(lib->continueFileSearch(fs1, volume, dirID, sequence, 6, "*.*", entry, 1), 0);
    EXPECT_EQ(lib->continueFileSearch(fs1, volume, dirID, entry.nextSequence, 6, "*.*", entry, 1), 0x89FF);
    EXPECT_EQ(lib->continueFileSearch(fs1, volume, dirID, 0, 6, "*.*", entry, 1), 0x899B);
}

TEST_F(SimulatedTest, TrusteeBlocksOfTheConfiguredSizeEndWith899C)
{
    uint32_t iteration = 0;
    uint16_t count = 0;
    NWTrusteeBlock block;
    std::vector<uint16_t> counts;
    std::vector<uint32_t> ids;
    uint16_t code = 0;
    while ((code = lib->scanTrustees(fs1, 0, "VOL1:DOCS", iteration, count, block, nullptr)) == 0) {
        counts.push_back(count);
        for (int i = 0; i < count; ++i)
            ids.push_back(block.entries[i].objectID);
    }
    EXPECT_EQ(code, 0x899C);
    EXPECT_EQ(counts, (std::vector<uint16_t> { 2, 2, 1 }));
    // Fixed ID, then new objects from 0x01000001 in order of first mention, an #ID as
    // given, and a typed spelling of an existing object.
    EXPECT_EQ(ids, (std::vector<uint32_t> { 0x8001, 0x01000001, 0x01000002, 0x0001A2B3, 0x8001 }));

    iteration = 0;
    EXPECT_EQ(lib->scanTrustees(fs1, 0, "VOL1:ROOT.TXT", iteration, count, block, nullptr), 0x899C);
    EXPECT_EQ(lib->scanTrustees(fs1, 0, "VOL1:NOTRUST", iteration, count, block, nullptr), 0x89A8);
    EXPECT_EQ(lib->scanTrustees(fs1, 0, "VOL1:GONE", iteration, count, block, nullptr), 0x899C);

    TrusteeList list;
    EXPECT_EQ(GetTrusteeList(ctx, fs1, "VOL1:DOCS", list), 0);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0].name, ".CN=Admin.O=Corp");
    EXPECT_EQ(list[1].name, "[Public]");
    EXPECT_EQ(list[2].name, ".CN=Staff.OU=Sales.O=Corp");
    EXPECT_EQ(list[3].name, "ID: [0001A2B3]");
    EXPECT_EQ(list[4].rights, 0x100);
}

TEST_F(SimulatedTest, ObjectNamesFollowContextFlagsNameContextAndTree)
{
    EXPECT_EQ(nameOf(0x8001, fs1), "CN=Admin.O=Corp");
    SetContextFlag(ctx, '+', nw::ctxFlagTypeless);
    EXPECT_EQ(nameOf(0x8001, fs1), "Admin.Corp");
    EXPECT_EQ(nameOf(0x01000001, fs1), "[Public]");
    EXPECT_EQ(nameOf(0x0001A2B3, fs1), "code FFFFFDA7");

    EXPECT_EQ(SetDSContext(ctx, "", ".Corp"), 0u);
    EXPECT_EQ(nameOf(0x8001, fs1), "Admin");
    EXPECT_EQ(nameOf(0x01000002, fs1), "Staff.Sales");
    SetContextFlag(ctx, '-', nw::ctxFlagTypeless);
    EXPECT_EQ(nameOf(0x01000002, fs1), "CN=Staff.OU=Sales");
    EXPECT_EQ(SetDSContext(ctx, "", "OU=Sales.O=Corp"), 0u);
    EXPECT_EQ(nameOf(0x8001, fs1), ".CN=Admin.O=Corp"); // not below the context

    // The other tree has its own objects and IDs.
    EXPECT_EQ(SetDSContext(ctx, "other_tree", "[Root]"), 0u);
    EXPECT_EQ(nameOf(0x01000001, fs1), "CN=Guest.O=Labs");
    std::string tree;
    GetContextTreeName(ctx, tree);
    EXPECT_EQ(tree, "other_tree");
    EXPECT_EQ(SetDSContext(ctx, "", "bad..name"), 0x8836u);
}

// What the tree knows of its objects: names to IDs, one attribute's values, the objects
// of a class; names read and given as the context reads them.
TEST(SimulatedDirectoryServices, ClassesMembershipsAndSearchesAsTheContextReadsThem)
{
    auto lib = fromText(R"({ "grantwise-network": 1, "trees": [ { "name": "T", "objects": [
        { "name": "Alice.Sales.Corp", "class": "user", "member-of": ["Staff.Sales.Corp", "OU=Audit.O=Corp"],
          "security-equals": ["Boss.Corp"] },
        { "name": "Staff.Sales.Corp", "class": "group" }, { "name": "Boss.Corp", "class": "role" },
        { "name": "OU=Sales.O=Corp" }, { "name": "O=Corp" }, { "name": "Printer.Corp" },
        { "name": "Zed.Corp", "class": "user", "id": 7 } ] } ],
      "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "V", "generate":
        { "directories": 0, "depth": 0, "files": 1, "users": 2, "groups": 1, "owners": 1, "context": "Gen" } } ] } ] })");
    TestServices services(*lib);
    uint32_t ctx = 0;
    ASSERT_EQ(lib->createContext(ctx), 0u);
    const auto values = [&](const std::string& object, const char* attribute) {
        Strings out;
        const uint32_t code = ReadObjectValues(ctx, object, attribute, out);
        if (code != 0)
            out.push_back(Format("code %08X", code));
        return out;
    };
    const auto idOf = [&](const std::string& name) {
        uint32_t id = 0;
        const uint32_t code = ObjectNameToID(ctx, 0, name, id);
        return code == 0 ? id : code;
    };
    EXPECT_EQ(idOf("Alice.Sales.Corp"), 0x01000001u);
    EXPECT_EQ(idOf("CN=alice.OU=sales.O=corp"), 0x01000001u);
    EXPECT_EQ(idOf("Zed.Corp"), 7u);
    EXPECT_EQ(idOf("Sales.Corp"), nw::noSuchEntry); // typed CN=Sales.O=Corp: no such object
    EXPECT_EQ(values("Alice.Sales.Corp", nw::attrGroupMembership),
        (Strings { "CN=Staff.OU=Sales.O=Corp", "OU=Audit.O=Corp" }));
    EXPECT_EQ(values("Alice.Sales.Corp", nw::attrSecurityEquals), (Strings { "CN=Boss.O=Corp" }));
    EXPECT_EQ(values("Boss.Corp", nw::attrSecurityEquals), Strings {});
    Strings classes;
    for (const char* name :
        { "Alice.Sales.Corp", "Staff.Sales.Corp", "Boss.Corp", "OU=Sales.O=Corp", "O=Corp", "Printer.Corp" })
        classes.push_back(values(name, nw::attrObjectClass).at(0));
    EXPECT_EQ(classes,
        (Strings { "User", "Group", "Organizational Role", "Organizational Unit", "Organization", "Unknown" }));
    EXPECT_EQ(values("Nobody.Corp", nw::attrGroupMembership), (Strings { "code FFFFFDA7" }));
    EXPECT_EQ(values("Alice.Sales.Corp", "Telephone Number"), (Strings { "code 00008836" }));

    // Typeless names relative to a name context.
    SetContextFlag(ctx, '+', nw::ctxFlagTypeless);
    ASSERT_EQ(SetDSContext(ctx, "", "Sales.Corp"), 0u);
    EXPECT_EQ(idOf("Alice"), 0x01000001u);
    EXPECT_EQ(idOf(".Boss.Corp"), idOf(".CN=Boss.O=Corp"));
    EXPECT_EQ(values("Alice", nw::attrGroupMembership), (Strings { "Staff", ".Audit.Corp" }));

    // The users of the tree in its order, generated ones included (each in its
    // department's staff group); then every object.
    ASSERT_EQ(SetDSContext(ctx, "", "[Root]"), 0u);
    std::vector<DSObjectItem> users;
    ASSERT_EQ(SearchObjects(ctx, nw::classUser, users), 0u);
    Strings names;
    for (const DSObjectItem& user : users)
        names.push_back(user.name);
    EXPECT_EQ(names, (Strings { "Alice.Sales.Corp", "Zed.Corp", "ASmith.Sales.Gen", "BSmith.Finance.Gen" }));
    EXPECT_EQ(users[1].id, 7u);
    EXPECT_EQ(values("ASmith.Sales.Gen", nw::attrGroupMembership), (Strings { "Sales Staff.Groups.Gen" }));
    EXPECT_EQ(values("BSmith.Finance.Gen", nw::attrGroupMembership), Strings {}); // group 1 was not made
    std::vector<DSObjectItem> all;
    ASSERT_EQ(SearchObjects(ctx, "", all), 0u);
    EXPECT_EQ(all.size(), 11u); // 7 declared; 2 users, 1 group and [Public] generated
}

// The entries the shell's folder tree and path forms use.
TEST_F(SimulatedTest, ConnectionsByServerNameVolumeNamesAndNameSpaceEntries)
{
    uint32_t handle = 0;
    EXPECT_EQ(lib->openConnByName("fs1", handle), 0);
    EXPECT_EQ(handle, fs1);
    EXPECT_EQ(lib->openConnByName("FS3", handle), 0); // not a listed connection, but on the network
    EXPECT_NE(handle, fs1);
    EXPECT_EQ(lib->openConnByName("FS2", handle), 0x8847); // its injected open failure
    EXPECT_EQ(lib->openConnByName("FS9", handle), 0x8847); // no such server

    char volume[256] = {};
    EXPECT_EQ(lib->getVolumeName(fs1, 0, volume), 0);
    EXPECT_STREQ(volume, "VOL1");
    EXPECT_EQ(lib->getVolumeName(fs1, 1, volume), nw::noSuchVolume);
    EXPECT_EQ(lib->getVolumeName(0x4711, 0, volume), 0x8801);

    // An entry in either name space, its components given by either name; the injected
    // failures are the scan calls' and do not apply.
    const auto info = [&](const char* path, uint8_t nameSpace) {
        NWEntryInfo entry {};
        const uint16_t code = lib->getNSEntryInfo(fs1, 0, path, nw::nameSpaceLong, nameSpace, entry);
        if (code != 0)
            return Format("code %04X", code);
        EXPECT_EQ(entry.nameLength, std::strlen(entry.entryName));
        return std::string(entry.entryName) + ((entry.attributes & nw::attrDirectory) ? "\\" : "");
    };
    EXPECT_EQ(info("VOL1:DOCS\\PLANS2~1", nw::nameSpaceLong), "Plans 2002\\");
    EXPECT_EQ(info("vol1:docs\\plans 2002\\deep", nw::nameSpaceDos), "DEEP\\");
    EXPECT_EQ(info("VOL1:DOCS\\Quarterly Report.docx", nw::nameSpaceDos), "QUARTE~1.DOC");
    EXPECT_EQ(info("VOL1:DOCS\\QUARTE~1.DOC", nw::nameSpaceLong), "Quarterly Report.docx");
    EXPECT_EQ(info("VOL1:", nw::nameSpaceLong), "VOL1\\");
    EXPECT_EQ(info("VOL1:LOCKED", nw::nameSpaceDos), "LOCKED\\");
    EXPECT_EQ(info("VOL1:DOCS\\NOPE", nw::nameSpaceLong), "code 899C");
    EXPECT_EQ(info("VOL1:ROOT.TXT\\X", nw::nameSpaceLong), "code 899C");
    NWEntryInfo entry {};
    EXPECT_EQ(lib->getNSEntryInfo(fs1, 0, "VOL1:", nw::nameSpaceLong, 2, entry), 0x8836); // no such name space
    EXPECT_EQ(lib->getNSEntryInfo(0x4711, 0, "VOL1:", nw::nameSpaceLong, nw::nameSpaceLong, entry), 0x8801);

    // A directory's entries in server order, by kind and pattern.
    const auto scan = [&](const char* path, uint8_t nameSpace, uint16_t attributes, const char* pattern) {
        Strings names;
        NWSearchSequence sequence;
        std::memset(&sequence, 0xFF, sizeof sequence);
        uint16_t code = 0;
        while ((code = lib->scanNSEntryInfo(fs1, 0, path, nameSpace, attributes, sequence, pattern, entry)) == 0)
            names.push_back(entry.entryName);
        if (code != 0x89FF)
            names.push_back(Format("code %04X", code));
        return names;
    };
    EXPECT_EQ(
        scan("VOL1:DOCS", nw::nameSpaceLong, nw::searchSubdirectories, "*"), (Strings { "Plans 2002", "Archive" }));
    EXPECT_EQ(scan("VOL1:Docs", nw::nameSpaceDos, nw::searchSubdirectories, "*"), (Strings { "PLANS2~1", "ARCHIVE" }));
    EXPECT_EQ(scan("VOL1:DOCS", nw::nameSpaceLong, nw::searchFiles, "*"),
        (Strings { "README.TXT", "Quarterly Report.docx", "NOTES.DAT" }));
    EXPECT_EQ(scan("VOL1:DOCS", nw::nameSpaceLong, nw::searchSubdirectoriesAndFiles, "*"),
        (Strings { "README.TXT", "Plans 2002", "Quarterly Report.docx", "NOTES.DAT", "Archive" }));
    EXPECT_EQ(scan("VOL1:DOCS", nw::nameSpaceLong, nw::searchSubdirectoriesAndFiles, "q*.DOCX"),
        (Strings { "Quarterly Report.docx" }));
    EXPECT_EQ(scan("VOL1:NOSEARCH", nw::nameSpaceLong, nw::searchFiles, "*"), (Strings { "HIDDEN.TXT" }));
    EXPECT_EQ(scan("VOL1:DOCS\\README.TXT", nw::nameSpaceLong, nw::searchFiles, "*"), (Strings { "code 899C" }));
    EXPECT_EQ(scan("VOL1:GONE", nw::nameSpaceLong, nw::searchFiles, "*"), (Strings { "code 899C" }));

    // A sequence belongs to its directory.
    NWSearchSequence sequence;
    std::memset(&sequence, 0xFF, sizeof sequence);
    ASSERT_EQ(
        lib->scanNSEntryInfo(fs1, 0, "VOL1:DOCS", nw::nameSpaceLong, nw::searchSubdirectories, sequence, "*", entry),
        0);
    EXPECT_EQ(lib->scanNSEntryInfo(fs1, 0, "VOL1:", nw::nameSpaceLong, nw::searchSubdirectories, sequence, "*", entry),
        0x8836);
}

TEST_F(SimulatedTest, ErrorTexts)
{
    EXPECT_EQ(NWErrorText(0x899C), "0x899C (Invalid path)");
    EXPECT_EQ(NWErrorText(0xFFFFFDA7), "0xFFFFFDA7 (No such entry)");
    EXPECT_EQ(NWErrorText(0x88FF), "0x88FF (Requester failure)");
    EXPECT_EQ(NWErrorText(0x1234), "0x1234 ()");
}

const char* const minimal = R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ],
  "servers": [ { "name": "S", "tree": "T", "volumes": [ { "name": "V" } ] } ], "workstation": %s })";

TEST(SimulatedWorkstation, InjectedStartUpFailuresAndAbsentErrorTexts)
{
    auto lib = fromText(Format(minimal, R"({ "fail": { "init": "0x8847", "context": -601 }, "error-texts": false })"));
    TestServices services(*lib);
    EXPECT_EQ(InitNWClient(), 0x8847);
    EXPECT_EQ(services.texts(), (Strings { "Could not initialize NetWare Client returned error 0x8847" }));
    uint32_t ctx = 0;
    EXPECT_EQ(lib->createContext(ctx), 0xFFFFFDA7u);
}

TEST(SimulatedWorkstation, NoPrimaryFallsBackToScanningAndNoConnectionsFails)
{
    auto lib = fromText(Format(minimal, R"({ "primary": null })"));
    TestServices services(*lib);
    EXPECT_EQ(InitNWClient(), 0);
    EXPECT_EQ(services.context().StartupConn, 1u);

    auto empty = fromText(Format(minimal, R"({ "connections": [] })"));
    TestServices second(*empty);
    EXPECT_EQ(InitNWClient(), 0x880F);
    EXPECT_TRUE(services.texts().empty());
    EXPECT_EQ(second.texts(),
        (Strings { "NWCCScanConnRefs/NWCCOpenConnByRef returned error 0x880F (No connection to server)" }));
}

TEST(SimulatedWorkstation, FailedLoadFailsInitialisationWithTheReason)
{
    TempDir dir;
    WriteFileBytes(dir.file("bad.json"), "{ \"grantwise-network\": 2 }");
    auto lib = LoadNetwork(dir.file("bad.json"));
    ASSERT_FALSE(lib->loaded());
    TestServices services(*lib);
    EXPECT_EQ(InitNWClient(), 0x88FF);
    EXPECT_EQ(services.texts(),
        (Strings { "Could not initialize NetWare Client returned error 0x88FF (" + dir.file("bad.json")
            + ": $.grantwise-network: the format version must be 1)" }));
    uint32_t handle = 0;
    EXPECT_EQ(lib->parsePath("\\\\S\\V", nullptr, handle, nullptr, nullptr), 0x88FF);
    EXPECT_EQ(lib->openConnByName("S", handle), 0x88FF);
    char name[256];
    EXPECT_EQ(lib->getVolumeName(1, 0, name), 0x88FF);
}

TEST(SimulatedLargeDirectory, SearchRunsPastSixteenBitSequences)
{
    std::string entries;
    const int files = 70000;
    for (int i = 0; i < files; ++i)
        entries += Format("%s{\"file\":\"F%06d.DAT\"}", i ? "," : "", i);
    entries += ",{\"dir\":\"LAST\"}";
    auto lib = fromText(R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "S",
        "tree": "T", "volumes": [ { "name": "V", "entries": [ { "dir": "BIG", "entries": [ )"
        + entries + "] } ] } ] } ] }");
    TestServices services(*lib);
    std::string server, volume, dir;
    uint32_t conn = 0;
    ASSERT_EQ(ParseNWPath("\\\\S\\V", conn, server, volume, dir), 0);
    int seen = 0;
    std::string last;
    WalkDirectory(
        conn, "V:BIG", "*.*", 2,
        [&](const std::string& path, const WalkEntry&, void*) {
            ++seen;
            last = path;
        },
        nullptr, true);
    EXPECT_EQ(seen, files + 2);
    EXPECT_EQ(last, "V:BIG\\LAST");
}

} // namespace

TEST(SimulatedSearchResults, TheEntryASearchReturnedAndItsSiblingsResolveByEitherName)
{
    // In directory D the long name of one file is the DOS name of nothing, and another
    // file's long name looks like the first one's DOS alias spelt differently.
    auto lib = fromText(R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ],
      "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "VOL1", "entries": [
        { "dir": "D", "entries": [
          { "file": "Quarterly Report.doc", "trustees": [ ["#0x10", "R"] ] },
          { "file": "quarte~2.doc", "trustees": [ ["#0x20", "RF"] ] },
          { "file": "b.txt", "trustees": [ ["#0x30", "W"] ] } ] },
        { "dir": "E", "entries": [ { "file": "b.txt", "trustees": [ ["#0x40", "C"] ] } ] } ] } ] } ] })");
    TestServices services(*lib);
    uint32_t fs1 = 0;
    ASSERT_EQ(lib->NWCCOpenConnByRef(0x1001, 1, 0, fs1), 0);
    const auto firstTrustee = [&](const std::string& path) { return firstTrusteeBlock(*lib, fs1, path).at(0); };
    uint8_t volume = 0, rights = 0;
    uint16_t dirID = 0, sequence = 0;
    ASSERT_EQ(lib->initFileSearch(fs1, 0, "VOL1:D", volume, dirID, sequence, rights, nullptr), 0);
    NWSearchEntry entry;
    ASSERT_EQ(lib->continueFileSearch(fs1, volume, dirID, sequence, 6, "*.*", entry, 1), 0);
    EXPECT_EQ(std::string(entry.shortName), "QUARTE~1.DOC");
    EXPECT_EQ(firstTrustee("VOL1:D\\QUARTE~1.DOC"), 0x10u);
    EXPECT_EQ(firstTrustee("VOL1:D\\quarte~1.doc"), 0x10u);
    // Right after the search returned QUARTE~1.DOC, other names still find their own entries.
    ASSERT_EQ(lib->continueFileSearch(fs1, volume, dirID, entry.nextSequence, 6, "*.*", entry, 1), 0);
    EXPECT_EQ(std::string(entry.shortName), "QUARTE~2.DOC");
    EXPECT_EQ(firstTrustee("VOL1:D\\Quarterly Report.doc"), 0x10u);
    EXPECT_EQ(firstTrustee("VOL1:D\\QUARTE~2.DOC"), 0x20u);
    EXPECT_EQ(firstTrustee("VOL1:D\\B.TXT"), 0x30u);
    // The same DOS name in another directory is that directory's entry.
    EXPECT_EQ(firstTrustee("VOL1:E\\B.TXT"), 0x40u);
    EXPECT_EQ(firstTrustee("VOL1:D\\NONE.TXT"), 0xC0DE899Cu);

    // Down a chain of directories and back up: each path names what it names from the
    // volume's root, whichever paths were asked about before it.
    auto deep = fromText(R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ],
      "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "VOL1", "trustees": [ ["#0x1", "R"] ],
        "entries": [ { "dir": "A", "trustees": [ ["#0x2", "R"] ], "entries": [
          { "dir": "B", "trustees": [ ["#0x3", "R"] ], "entries": [
            { "dir": "C", "trustees": [ ["#0x4", "R"] ], "entries": [ { "file": "F.TXT", "trustees": [ ["#0x5", "R"] ] } ] } ] },
          { "dir": "B2", "trustees": [ ["#0x6", "R"] ] },
          { "file": "G.TXT", "trustees": [ ["#0x7", "R"] ] } ] } ] } ] } ] })");
    TestServices deepServices(*deep);
    ASSERT_EQ(deep->NWCCOpenConnByRef(0x1001, 1, 0, fs1), 0);
    const auto trustee = [&](const std::string& path) { return firstTrusteeBlock(*deep, fs1, path).at(0); };
    const std::vector<std::pair<std::string, uint32_t>> asked { { "VOL1:A\\B\\C\\F.TXT", 0x5u }, { "VOL1:A\\B2", 0x6u },
        { "VOL1:A\\B\\C", 0x4u }, { "VOL1:A\\G.TXT", 0x7u }, { "VOL1:A\\B\\C\\", 0x4u },
        { "VOL1:A\\\\B\\C\\F.TXT", 0x5u }, { "VOL1:A\\B/C/f.txt", 0x5u }, { "VOL1:A\\G.TXT\\C", 0xC0DE899Cu },
        { "VOL1:A\\B\\X", 0xC0DE899Cu }, { "VOL1:A\\B\\C\\F.TXT", 0x5u }, { "VOL1:a\\b", 0x3u },
        { "VOL1:A\\B\\C\\F.TXT", 0x5u }, { "VOL1:", 0x1u }, { "VOL1:A", 0x2u }, { "\\\\FS1\\VOL1\\A\\B", 0x3u },
        { "VOL1:A\\B\\C\\F.TXT", 0x5u }, { "VOL2:A", 0xC0DE8998u } };
    for (const auto& [path, id] : asked)
        EXPECT_EQ(trustee(path), id) << path;
}

TEST(SimulatedNames, NamesPathsAndDosNamesCompareWithUnicodeCaseFolding)
{
    // 'MÜLLER.Corp' and 'müller.corp' are one object.
    auto lib = fromText(R"({ "grantwise-network": 1,
      "trees": [ { "name": "T", "objects": [ { "name": "MÜLLER.Corp", "id": "0x8001" } ] } ],
      "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "VOL1", "entries": [
        { "dir": "Müller Daten", "trustees": [ ["müller.corp", "R"], ["Łukasz.Corp", "RF"] ],
          "entries": [ { "file": "Ärger.txt", "trustees": [ ["#0x20", "W"] ] } ] },
        { "dir": "Keys", "trustees": [ ["#0x30", "C"] ] } ] } ] } ] })");
    TestServices services(*lib);
    uint32_t fs1 = 0;
    ASSERT_EQ(lib->NWCCOpenConnByRef(0x1001, 1, 0, fs1), 0);
    const std::vector<uint32_t> data = firstTrusteeBlock(*lib, fs1, "VOL1:Müller Daten");
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[0], 0x8001u);
    // Path components in other case; the Kelvin sign is a "k", in a path and a pattern.
    EXPECT_EQ(firstTrusteeBlock(*lib, fs1, "\\\\fs1\\vol1\\MÜLLER DATEN"), data);
    EXPECT_EQ(firstTrusteeBlock(*lib, fs1, "VOL1:müller daten\\ärger.TXT"), std::vector<uint32_t> { 0x20 });
    EXPECT_EQ(firstTrusteeBlock(*lib, fs1,
                  "VOL1:\xE2\x84\xAA"
                  "eys"),
        std::vector<uint32_t> { 0x30 });
    uint8_t volume = 0, rights = 0;
    uint16_t dirID = 0, sequence = 0;
    NWSearchEntry entry;
    ASSERT_EQ(lib->initFileSearch(fs1, 0, "VOL1:", volume, dirID, sequence, rights, nullptr), 0);
    ASSERT_EQ(lib->continueFileSearch(fs1, volume, dirID, sequence, 0x16, "\xE2\x84\xAA*", entry, 1), 0);
    EXPECT_EQ(std::string(entry.shortName), "KEYS");
    // Names of one directory that differ only in case are one name twice.
    EXPECT_NE(NetworkLoadErrorOf(R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "S",
      "tree": "T", "volumes": [ { "name": "V", "entries": [ { "dir": "Müller" }, { "file": "MÜLLER" } ] } ] } ] })")
                  .find("the name 'MÜLLER' is already used in this directory"),
        std::string::npos);
}

TEST(SimulatedNames, ObjectIDsFindTheirObjectsThroughGrowthAndKeepTheFirstIndex)
{
    ObjectIDIndex index;
    // IDs that share their low bits, the largest ID and one, over several growths.
    std::vector<uint32_t> ids { 0xFFFFFFFFu, 1u };
    for (uint32_t k = 0; k < 3000; ++k)
        ids.push_back(0x01000001u + k * 0x10000u);
    for (uint32_t k = 0; k < ids.size(); ++k)
        ASSERT_TRUE(index.emplace(ids[k], k));
    EXPECT_FALSE(index.emplace(1u, 77u)) << "an ID given twice keeps its first object";
    EXPECT_EQ(index.size(), ids.size());
    for (uint32_t k = 0; k < ids.size(); ++k)
        ASSERT_EQ(index.at(ids[k]), k) << ids[k];
    EXPECT_EQ(index.count(0x01000002u), 0u);
    EXPECT_FALSE(ObjectIDIndex().find(1u));
    EXPECT_THROW(index.at(2u), std::out_of_range);
}
