// The events of the threads facility against Windows' own: a wait ends at once when another
// thread sets the event, runs its full time otherwise, and a set event stays set until reset.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "system/Threads_win.h"

namespace {
ULONGLONG Elapsed(ULONGLONG since)
{
    return GetTickCount64() - since;
}
}  // namespace

// The waits below run far longer than the tests' bounds: a wait that ended by its time-out
// instead of by the event fails, however busy the machine is.
constexpr DWORD kLongWait = 120000;
constexpr ULONGLONG kWellBeforeTheTimeout = 60000;

TEST(WaitEventTest, ASetFromAnotherThreadEndsTheWaitAtOnce)
{
    TWinThreads threads;
    const auto event = threads.NewEvent();
    const ULONGLONG start = GetTickCount64();
    ULONGLONG setAt = 0;
    std::thread setter([&] {
        Sleep(200);
        setAt = Elapsed(start);
        event->Set();
    });
    const bool set = event->Wait(kLongWait);
    const ULONGLONG waited = Elapsed(start);
    setter.join();
    EXPECT_TRUE(set);
    EXPECT_GE(waited, setAt) << "the wait ended before the event was set";
    EXPECT_LT(waited, kWellBeforeTheTimeout) << "the wait went on after the event was set";
}

TEST(WaitEventTest, AnUnsetEventWaitsItsTimeAndASetOneStaysSetUntilReset)
{
    TWinThreads threads;
    const auto event = threads.NewEvent();
    ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(event->Wait(300));
    EXPECT_GE(Elapsed(start), 250u) << "the wait ended well before its time";

    event->Set();
    start = GetTickCount64();
    EXPECT_TRUE(event->Wait(kLongWait));
    EXPECT_TRUE(event->Wait(kLongWait));  // a manual-reset event: every wait sees it
    EXPECT_LT(Elapsed(start), kWellBeforeTheTimeout) << "a set event was waited for";

    event->Reset();
    EXPECT_FALSE(event->Wait(0));
}
