#include "netware/D_NW.h"
#include "support/FakeNWClient.h"
#include "support/TestServices.h"
#include "util/D_Util.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

class ClientTest : public ::testing::Test {
protected:
    FakeNWClient fake;
    TestServices services { fake };
};

TEST_F(ClientTest, StartUpInitialisesTakesPrimaryReferenceAndOpensIt)
{
    fake.primaryRef = 0x1234;
    fake.openedHandle = 5;
    EXPECT_EQ(InitNWClient(), 0);
    EXPECT_EQ(fake.entries(), (Strings { "initialize", "getPrimaryConnRef", "NWCCOpenConnByRef" }));
    EXPECT_EQ(fake.calls()[2].args, "4660 1 0");
    EXPECT_EQ(services.context().StartupConn, 5u);
    EXPECT_TRUE(services.texts().empty());

    // Brought up once: a second call makes no library call.
    fake.clearCalls();
    EXPECT_EQ(InitNWClient(), 0);
    EXPECT_TRUE(fake.calls().empty());
    // Once per context: another context brings the client up again.
    TestServices other(fake);
    EXPECT_EQ(InitNWClient(), 0);
    EXPECT_EQ(fake.countOf("initialize"), 1);
    EXPECT_EQ(other.context().StartupConn, 5u);
}

TEST_F(ClientTest, StartUpFallsBackToTheFirstScannedReference)
{
    fake.queueCodes("getPrimaryConnRef", { 0x880F });
    fake.connRefs = { 0x77, 0x78 };
    EXPECT_EQ(InitNWClient(), 0);
    EXPECT_EQ(fake.entries(), (Strings { "initialize", "getPrimaryConnRef", "NWCCScanConnRefs", "NWCCOpenConnByRef" }));
    EXPECT_EQ(fake.calls()[2].args, "0");
    EXPECT_EQ(fake.calls()[3].args, "119 1 0");
}

TEST_F(ClientTest, FailedInitialisationShowsOneBoxAndStops)
{
    fake.setFixedCode("initialize", 0x88FF);
    fake.errorTexts[0x88FF] = "Requester failure";
    EXPECT_EQ(InitNWClient(), 0x88FF);
    EXPECT_EQ(services.texts(),
        (Strings { "Could not initialize NetWare Client returned error 0x88FF (Requester failure)" }));
    EXPECT_EQ(services.messages()[0].type, mtError);
    EXPECT_EQ(fake.entries(), (Strings { "initialize", "loadErrorLibrary", "NWstrerror" }));
    EXPECT_EQ(services.context().StartupConn, 0xFFFFu);
}

TEST_F(ClientTest, WorkstationWithoutConnectionsReportsTheConnectionStep)
{
    fake.queueCodes("getPrimaryConnRef", { 0x880F });
    fake.errorLibraryPresent = false;
    EXPECT_EQ(InitNWClient(), 0x880F);
    EXPECT_EQ(services.texts(), (Strings { "NWCCScanConnRefs/NWCCOpenConnByRef returned error 0x880F" }));
    EXPECT_EQ(fake.countOf("NWCCOpenConnByRef"), 0);
}

TEST_F(ClientTest, FailedOpenIsReportedAndReturned)
{
    fake.setFixedCode("NWCCOpenConnByRef", 0x8847);
    fake.errorTexts[0x8847] = "Server not found";
    EXPECT_EQ(InitNWClient(), 0x8847);
    EXPECT_EQ(
        services.texts(), (Strings { "NWCCScanConnRefs/NWCCOpenConnByRef returned error 0x8847 (Server not found)" }));
}

TEST_F(ClientTest, ListConnectionsSkipsNamelessReferencesAndEndsOnFirstNonZeroCode)
{
    fake.connRefs = { 1, 2, 3, 4 };
    fake.refServerNames = { { 1, "FS1" }, { 3, "" }, { 4, "FS4" } }; // 2 unreadable, 3 empty
    int pending = 0;
    services.pendingMessages = [&] { ++pending; };
    std::vector<NWConnectionItem> list { { "KEPT", 9 } };
    ListConnections(list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].serverName, "KEPT");
    EXPECT_EQ(list[1].serverName, "FS1");
    EXPECT_EQ(list[1].reference, 1u);
    EXPECT_EQ(list[2].serverName, "FS4");
    EXPECT_EQ(list[2].reference, 4u);
    EXPECT_EQ(fake.countOf("NWCCScanConnRefs"), 5);
    EXPECT_EQ(pending, 5);
    EXPECT_EQ(fake.calls()[1].args, "1 7 255"); // item 7 with the 255-byte buffer

    // A failing scan step ends the list even when more references exist.
    fake.clearCalls();
    fake.queueCodes("NWCCScanConnRefs", { 0, 0x8801 });
    std::vector<NWConnectionItem> second;
    ListConnections(second);
    EXPECT_EQ(second.size(), 1u);
    EXPECT_EQ(fake.countOf("NWCCScanConnRefs"), 2);
}

TEST_F(ClientTest, ConnectionTextItems)
{
    fake.connTreeNames[3] = "CORP_TREE_______________________";
    std::string text = "old";
    EXPECT_EQ(GetConnTreeName(3, text), 0);
    EXPECT_EQ(text, "CORP_TREE");
    EXPECT_EQ(fake.calls().back().args, "3 4 255");
    EXPECT_EQ(GetConnTreeName(4, text), 0x8801);
    EXPECT_EQ(text, "");
    text = "old";
    EXPECT_EQ(GetConnRefServerName(99, text), 0x8801);
    EXPECT_EQ(text, "");
}

TEST(TrimTreeName, CutsAt32ThenDropsTrailingUnderscores)
{
    EXPECT_EQ(TrimTreeName("CORP_TREE" + std::string(23, '_')), "CORP_TREE");
    EXPECT_EQ(TrimTreeName(std::string(29, 'T') + "___"), std::string(29, 'T'));
    EXPECT_EQ(TrimTreeName(std::string(32, 'A') + "BC__"), std::string(32, 'A'));
    EXPECT_EQ(TrimTreeName(std::string(30, 'A') + "__XY"), std::string(30, 'A'));
    // Characters, not bytes: 32 euro signs (96 bytes) stay whole, a 33rd goes.
    std::string euros;
    for (int i = 0; i < 33; ++i)
        euros += "\u20ac";
    EXPECT_EQ(TrimTreeName(euros), euros.substr(0, 96));
    EXPECT_EQ(TrimTreeName(euros.substr(0, 30) + "__"), euros.substr(0, 30));
    EXPECT_EQ(TrimTreeName(""), "");
}

TEST_F(ClientTest, ContextInfoDropsTheFirstCNAndIsEmptyOnFailure)
{
    fake.contextTreeName = "CN=CN=CORP";
    std::string text;
    GetContextTreeName(1, text);
    EXPECT_EQ(text, "CN=CORP");
    EXPECT_EQ(fake.calls().back().args, "1 11");
    fake.contextTreeName = "cn=corp";
    GetContextTreeName(1, text);
    EXPECT_EQ(text, "cn=corp"); // case-sensitive removal
    fake.setFixedCode("getContextInfo", 0x8836);
    GetContextInfoStr(1, 3, text);
    EXPECT_EQ(text, "");
}

TEST_F(ClientTest, SetDSContextWritesTheTreeOnlyWhenItDiffersIgnoringCase)
{
    fake.contextTreeName = "CN=CORP";
    EXPECT_EQ(SetDSContext(1, "corp", ".[Root]"), 0u);
    EXPECT_EQ(fake.entries(), (Strings { "getContextInfo", "setContextInfo" }));
    EXPECT_EQ(fake.calls()[1].args, "1 3 [Root]");

    fake.clearCalls();
    EXPECT_EQ(SetDSContext(1, "OTHER", "..Corp"), 0u);
    EXPECT_EQ(fake.entries(), (Strings { "getContextInfo", "setContextInfo", "setContextInfo" }));
    EXPECT_EQ(fake.calls()[1].args, "1 11 OTHER");
    EXPECT_EQ(fake.calls()[2].args, "1 3 .Corp");

    // An empty tree name is never compared or written.
    fake.clearCalls();
    SetDSContext(1, "", "[Root]");
    EXPECT_EQ(fake.entries(), (Strings { "setContextInfo" }));

    // A failed tree write is returned at once.
    fake.clearCalls();
    fake.queueCodes("setContextInfo", { 0xFFFFFD9A });
    EXPECT_EQ(SetDSContext(1, "THIRD", "[Root]"), 0xFFFFFD9Au);
    EXPECT_EQ(fake.countOf("setContextInfo"), 1);

    // A failed name-context write is the result.
    fake.queueCodes("setContextInfo", { 0x8836 });
    EXPECT_EQ(SetDSContext(1, "", "[Root]"), 0x8836u);
}

TEST_F(ClientTest, SetContextFlagAddsRemovesOrKeepsBits)
{
    fake.contextFlags = 12;
    SetContextFlag(1, '-', 4);
    EXPECT_EQ(fake.contextFlags, 8u);
    SetContextFlag(1, '+', 4);
    EXPECT_EQ(fake.contextFlags, 12u);
    SetContextFlag(1, '?', 12);
    EXPECT_EQ(fake.contextFlags, 12u);
    EXPECT_EQ(fake.countOf("setContextInfo"), 3); // written back every time
}

TEST_F(ClientTest, ErrorTextsWithAndWithoutTheErrorLibrary)
{
    fake.errorTexts[0xFFFFFDA7] = "No such entry";
    EXPECT_EQ(NWErrorText(0xFFFFFDA7), "0xFFFFFDA7 (No such entry)");
    EXPECT_EQ(NWErrorText(0x89), "0x0089 ()"); // loaded, but no text for the code
    fake.errorLibraryPresent = false;
    EXPECT_EQ(NWErrorText(1), "0x0001");
    EXPECT_EQ(fake.countOf("loadErrorLibrary"), 3); // asked afresh each time
    ReportNWError(0, "Nothing");
    EXPECT_TRUE(services.texts().empty());
}

} // namespace
