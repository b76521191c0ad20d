// The events of the threads facility against Windows' own: a wait ends at once when another
// thread sets the event, runs its full time otherwise, and a set event stays set until reset.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "toolkit/Threads_win.h"

namespace {
ULONGLONG Elapsed(ULONGLONG since)
{
    return GetTickCount64() - since;
}
}  // namespace

TEST(WaitEventTest, ASetFromAnotherThreadEndsTheWaitAtOnce)
{
    TWinThreads threads;
    const auto event = threads.NewEvent();
    const ULONGLONG start = GetTickCount64();
    std::thread setter([&] {
        Sleep(200);
        event->Set();
    });
    const bool set = event->Wait(10000);
    const ULONGLONG waited = Elapsed(start);
    setter.join();
    EXPECT_TRUE(set);
    EXPECT_GE(waited, 150u);
    EXPECT_LT(waited, 3000u) << "the wait went on after the event was set";
}

TEST(WaitEventTest, AnUnsetEventWaitsItsTimeAndASetOneStaysSetUntilReset)
{
    TWinThreads threads;
    const auto event = threads.NewEvent();
    ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(event->Wait(300));
    EXPECT_GE(Elapsed(start), 250u);

    event->Set();
    start = GetTickCount64();
    EXPECT_TRUE(event->Wait(5000));
    EXPECT_TRUE(event->Wait(5000));  // a manual-reset event: every wait sees it
    EXPECT_LT(Elapsed(start), 1000u);

    event->Reset();
    EXPECT_FALSE(event->Wait(0));
}
