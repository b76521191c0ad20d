#include "app/SingleInstance_win.h"

#include <windows.h>

namespace {
constexpr wchar_t kMutexName[] = L"TavrinoMutex";
static_assert(MUTEX_ALL_ACCESS == 0x1F0001);
}  // namespace

bool AnotherInstanceRunning()
{
    if (HANDLE existing = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kMutexName)) {
        CloseHandle(existing);
        return true;
    }
    // Never closed: the mutex marks this instance for as long as the process lives.
    CreateMutexW(nullptr, TRUE, kMutexName);
    return false;
}
