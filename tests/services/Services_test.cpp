// The context of services: the scope that makes one current, and the system's free
// functions over it.

#include "services/ErrorBox.h"
#include "services/PendingMessages.h"
#include "services/Services.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Strings = std::vector<std::string>;

TEST(Services, ScopesNestAndTheOneBelowComesBack)
{
    Services& none = CurrentServices();
    {
        TestServices outer;
        EXPECT_EQ(&CurrentServices(), &outer.context());
        {
            TestServices inner;
            ShowMsg(mtWarning, "inner");
            EXPECT_EQ(&CurrentServices(), &inner.context());
            EXPECT_EQ(inner.texts(), Strings { "inner" });
        }
        ShowMsg(mtInformation, "outer");
        EXPECT_EQ(outer.texts(), Strings { "outer" });
        EXPECT_EQ(outer.messages()[0].type, mtInformation);
    }
    EXPECT_EQ(&CurrentServices(), &none);
}

TEST(Services, AScopeEndingBeforeOnesOpenedAfterItLeavesTheChain)
{
    // Windows closed in another order than they were opened.
    TestServices first;
    auto second = std::make_unique<TestServices>();
    {
        TestServices third;
        second.reset();
        EXPECT_EQ(&CurrentServices(), &third.context());
        ShowMsg(mtError, "third");
        EXPECT_EQ(third.texts(), Strings { "third" });
    }
    EXPECT_EQ(&CurrentServices(), &first.context());
    ShowMsg(mtError, "first");
    EXPECT_EQ(first.texts(), Strings { "first" });
}

TEST(Services, AnEmptyContextHasItsDefaults)
{
    Services empty;
    const ServicesScope scope(empty);
    // No client library: every call fails as without a NetWare client, with its text.
    EXPECT_EQ(&NWLib(), &AbsentNWClientLibrary());
    EXPECT_EQ(NWLib().initialize(nullptr, nullptr), 0x88FF);
    EXPECT_EQ(NWLib().NWstrerror(0x88FF), "No NetWare client library is installed");
    // Messages on standard error, no pending messages, no file chosen.
    testing::internal::CaptureStderr();
    ShowMsg(mtError, "Error 8801: InitNetWare");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "grantwise: Error 8801: InitNetWare\n");
    ProcessPendingMessages();
    EXPECT_FALSE(empty.askSaveFileName({ "Trustees.txt", "txt", "Text Files|*.txt" }).has_value());
    EXPECT_EQ(empty.StartupConn, 0xFFFFu);
}

TEST(Services, TheFreeFunctionsUseTheCurrentContext)
{
    TestServices services;
    int pending = 0;
    services.pendingMessages = [&pending] { ++pending; };
    ProcessPendingMessages();
    ProcessPendingMessages();
    EXPECT_EQ(pending, 2);
    services.pendingMessages = [] { throw OperationCancelled(); };
    EXPECT_THROW(ProcessPendingMessages(), OperationCancelled);

    CheckError(0, "InitNetWare");
    EXPECT_TRUE(services.messages().empty());
    CheckError(0x8801, "InitNetWare");
    CheckError(-1, "NWCCOpenConnByRef");
    ASSERT_EQ(services.messages().size(), 2u);
    EXPECT_EQ(services.messages()[0].type, mtError);
    EXPECT_EQ(services.texts(), (Strings { "Error 8801: InitNetWare", "Error FFFFFFFF: NWCCOpenConnByRef" }));

    SaveFileRequest seen;
    services.saveFileName = [&seen](const SaveFileRequest& request) {
        seen = request;
        return std::optional<std::string>("/tmp/chosen.bat");
    };
    EXPECT_EQ(CurrentServices().askSaveFileName({ "Trustees.bat", "bat", "BAT Files|*.bat" }), "/tmp/chosen.bat");
    EXPECT_EQ(seen.fileName, "Trustees.bat");
    EXPECT_EQ(seen.defaultExt, "bat");
}

} // namespace
