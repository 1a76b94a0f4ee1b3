// The context of services: the scope that makes one current, and the system's free
// functions over it.

#include "services/ErrorBox.h"
#include "services/PendingMessages.h"
#include "services/Services.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>
#include <utility>

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

// Work handed to another thread: messages go through while it runs, the object to let
// go is destroyed there, and a cancel waits for the work before it is passed on.
TEST(Services, WaitingForAnotherThreadLetsMessagesThroughAndPassesACancelOnLast)
{
    struct Held {
        std::thread::id* destroyedOn;
        std::atomic<bool>* release;
        Held(std::thread::id* on, std::atomic<bool>* when)
            : destroyedOn(on)
            , release(when)
        {
        }
        Held(Held&& moved) noexcept
            : destroyedOn(std::exchange(moved.destroyedOn, nullptr))
            , release(moved.release)
        {
        }
        ~Held()
        {
            if (!destroyedOn)
                return;
            while (!release->load())
                std::this_thread::yield();
            *destroyedOn = std::this_thread::get_id();
        }
    };
    std::thread::id destroyedOn;
    std::atomic<bool> release { false };
    int pumps = 0;
    TestServices services;
    services.pendingMessages = [&] {
        if (++pumps == 3)
            release = true;
    };
    ReleaseLettingMessagesThrough(Held { &destroyedOn, &release });
    EXPECT_GE(pumps, 3);
    EXPECT_NE(destroyedOn, std::thread::id());
    EXPECT_NE(destroyedOn, std::this_thread::get_id());

    std::atomic<bool> finished { false };
    services.pendingMessages = [] { throw OperationCancelled(); };
    std::future<int> work = std::async(std::launch::async, [&finished] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        finished = true;
        return 7;
    });
    EXPECT_THROW(WaitLettingMessagesThrough(work), OperationCancelled);
    EXPECT_TRUE(finished);
    services.pendingMessages = [] {};
    std::future<int> failing = std::async(std::launch::async, []() -> int { throw std::runtime_error("lost"); });
    EXPECT_THROW(WaitLettingMessagesThrough(failing), std::runtime_error);
}
