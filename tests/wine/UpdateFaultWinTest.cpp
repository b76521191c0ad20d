// The update check against a service that misbehaves: slow to answer, hanging up without an
// answer or in the middle of the body, a body over the cap (declared and not), a body that is
// not UTF-8. The real WinHTTP client and worker threads; the UI thread's message loop never
// stalls, the check retries after each failed request and ends with the answer that finally
// came. Run by tests/wine/fault_update_server.sh, which starts the misbehaving server.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <functional>

#include "common/Text.h"
#include "common/Update.h"
#include "support/FakeShell.h"
#include "support/MemoryRegistry.h"
#include "support/UpdateDoubles.h"
#include "system/Http_win.h"
#include "system/Threads_win.h"

namespace {

class FaultUpdateServer : public testing::Test {
protected:
    void SetUp() override
    {
        const char* base = std::getenv("TAVRINO_FAULT_SERVER");
        if (!base) GTEST_SKIP() << "run by tests/wine/fault_update_server.sh";
        Base = Utf8ToUtf16(base);
    }

    // Starts the check of path on the UI thread and pumps messages until it calls back (or
    // ms pass). A message posted right after CheckUpdate returned tells whether the loop ran
    // while the check went on: had the check held the thread, or called back before it
    // returned, the callback would come first. onLoopRan runs once that message is taken.
    bool Check(const std::u16string& path, DWORD ms, const std::function<void()>& onLoopRan = {})
    {
        const DWORD started = GetTickCount();
        Update.CheckUpdate(Base + path, [this](bool accepted, const std::u16string& answer) {
            Done = true;
            Accepted = accepted;
            Body = answer;
        }, 10);
        ReturnedFirst = !Done;
        PostThreadMessageW(GetCurrentThreadId(), kLoopMarker, 0, 0);
        MSG msg;
        while (!Done && GetTickCount() - started < ms) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.hwnd == nullptr && msg.message == kLoopMarker) {
                    LoopRanDuringCheck = !Done;
                    if (onLoopRan) onLoopRan();
                    continue;
                }
                DispatchMessageW(&msg);
            }
        }
        ElapsedMs = GetTickCount() - started;
        return Done;
    }

    // How many requests the server has seen for key.
    int Requests(const std::u16string& key)
    {
        const auto body = Http.Get(Base + u"/count/" + key, {}, TBodyDecoding::Utf8);
        return body ? std::atoi(Utf16ToUtf8(*body).c_str()) : -1;
    }

    std::u16string Base;
    TMemoryRegistry Registry;
    TWinHttp Http;
    TWinThreads Threads;
    TFakeShell Shell;
    TUpdateTestSystem System;
    TUpdateTestNotice Notice;
    TUpdate Update{Http, Registry, Threads, Shell, System, Notice};
    bool Done = false, Accepted = false;
    std::u16string Body;
    bool ReturnedFirst = false, LoopRanDuringCheck = false;
    DWORD ElapsedMs = 0;
    static constexpr UINT kLoopMarker = WM_APP + 41;
};

constexpr char16_t kLatest[] = u"{\"result\":\"latest\"}";

// Each path fails its first requests in its own way, then answers "latest".
struct FailureCase {
    const char* Name;
    const char16_t* Path;
    int Requests;  // the failed ones and the answered one
};

class FaultUpdateRetry : public FaultUpdateServer, public testing::WithParamInterface<FailureCase> {};

TEST_P(FaultUpdateRetry, RetriesUntilTheAnswerAndTheWindowKeepsRunning)
{
    const FailureCase c = GetParam();
    ASSERT_TRUE(Check(c.Path, 60000)) << "no callback after " << ElapsedMs << " ms";
    EXPECT_TRUE(ReturnedFirst) << "CheckUpdate called back before it returned";
    EXPECT_TRUE(LoopRanDuringCheck) << "the message loop did not run while the check went on";
    EXPECT_FALSE(Accepted);
    EXPECT_EQ(Body, kLatest);
    EXPECT_TRUE(Notice.Shown.empty());
    EXPECT_TRUE(Shell.Opened.empty());
    // One pause of a second after each failed request.
    EXPECT_GE(ElapsedMs, static_cast<DWORD>(900 * (c.Requests - 1)));
    EXPECT_EQ(Requests(std::u16string(c.Path).substr(1)), c.Requests);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FaultUpdateRetry,
    testing::Values(FailureCase{"HangsUpWithoutAnswer", u"/drop", 3},
                    FailureCase{"HangsUpInTheBody", u"/midway", 2},
                    FailureCase{"BodyOverTheCap", u"/overcap", 3}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.Name; });

TEST_F(FaultUpdateServer, SlowAnswerArrivesWithoutHoldingTheWindow)
{
    // The service holds its answer until the loop has run; then the test lets it go.
    bool released = false;
    ASSERT_TRUE(Check(u"/slow", 60000, [&] {
        released = Http.Get(Base + u"/release/slow", {}, TBodyDecoding::Utf8).has_value();
    })) << "no callback after " << ElapsedMs << " ms";
    EXPECT_TRUE(released) << "the service did not take the release";
    EXPECT_TRUE(ReturnedFirst) << "CheckUpdate called back before it returned";
    EXPECT_TRUE(LoopRanDuringCheck) << "the message loop did not run while the answer was held";
    EXPECT_EQ(Body, kLatest);
    EXPECT_EQ(Requests(u"slow"), 1);
}

TEST_F(FaultUpdateServer, InvalidUtf8InTheAnswerStillOffersTheAddress)
{
    Notice.Accept = true;
    ASSERT_TRUE(Check(u"/badutf8", 30000));
    ASSERT_EQ(Notice.Shown.size(), 1u);
    const std::u16string& shown = Notice.Shown[0];
    // Each ill-formed byte became U+FFFD; the address around them came through whole.
    EXPECT_NE(shown.find(u"caf\xFFFD \xFFFD"), std::u16string::npos) << Utf16ToUtf8(shown);
    EXPECT_EQ(Shell.Opened, std::vector<std::u16string>{u"https://127.0.0.1:9/Tavrino.exe"});
    EXPECT_TRUE(Accepted);
    EXPECT_EQ(Body, shown);
    EXPECT_EQ(Requests(u"badutf8"), 1);
}

}  // namespace
