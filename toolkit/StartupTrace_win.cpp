#include "toolkit/StartupTrace.h"

#ifdef TAVRINO_STARTUP_TRACE

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {
SRWLOCK Lock = SRWLOCK_INIT;
std::vector<std::pair<const char*, double>> Marks;
bool Written = false;

// Milliseconds since the process was created, in the system clock's 100 ns units.
double SinceCreation()
{
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

void Write()
{
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(L"TAVRINO_STARTUP_TRACE", path, MAX_PATH)) return;
    FILE* file = _wfopen(path, L"w");
    if (!file) return;
    for (const auto& [step, ms] : Marks) std::fprintf(file, "%.1f %s\n", ms, step);
    std::fclose(file);
}
}  // namespace

void StartupMark(const char* step)
{
    const double ms = SinceCreation();
    AcquireSRWLockExclusive(&Lock);
    bool known = Written;
    for (const auto& mark : Marks) known = known || std::strcmp(mark.first, step) == 0;
    if (!known) {
        Marks.emplace_back(step, ms);
        if (std::strcmp(step, "first paint") == 0) {
            Write();
            Written = true;
        }
    }
    ReleaseSRWLockExclusive(&Lock);
}
#endif
