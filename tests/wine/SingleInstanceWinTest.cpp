#include "app/SingleInstance_win.h"

#include <gtest/gtest.h>
#include <windows.h>

// The first call makes and owns the mutex; any later look (this process stands in for a
// second instance) finds it.
TEST(AppSingleInstance, FirstCallOwnsTheMutexLaterOnesFindIt)
{
    ASSERT_FALSE(AnotherInstanceRunning());

    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"TavrinoMutex");
    ASSERT_NE(mutex, nullptr);
    // Owned by this thread: waiting on it succeeds at once (ownership is recursive) and a
    // release succeeds, which it does only for the owner.
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
    CloseHandle(mutex);

    EXPECT_TRUE(AnotherInstanceRunning());
    EXPECT_TRUE(AnotherInstanceRunning());
}

// The name is in the per-logon namespace, not the global one.
TEST(AppSingleInstance, NameIsNotGlobal)
{
    AnotherInstanceRunning();
    HANDLE local = OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\TavrinoMutex");
    ASSERT_NE(local, nullptr);
    CloseHandle(local);
}
