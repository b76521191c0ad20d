// The benchmark's stopwatch, run under Wine beside the measured program: starts PROGRAM,
// waits until its first visible top-level window has been painted (shown, and no part of it
// left to paint), and prints the milliseconds from just before the start to that moment. It
// then keeps the program running until the file STOPFILE exists (or HOLD seconds pass),
// prints the program's peak working set, and ends it.
//
//   Launch.exe PROGRAM STOPFILE HOLD
//
// Output lines: "painted_ms=N", then "peak_kib=N"; "error=..." when something failed.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {
struct TFind {
    DWORD ProcessId;
    HWND Window;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM param)
{
    auto* find = reinterpret_cast<TFind*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != find->ProcessId || !IsWindowVisible(window)) return TRUE;
    find->Window = window;
    return FALSE;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        std::printf("error=usage: Launch.exe PROGRAM STOPFILE HOLD\n");
        return 2;
    }
    const std::wstring program = argv[1];
    const std::wstring stopFile = argv[2];
    const DWORD holdMs = static_cast<DWORD>(_wtoi(argv[3])) * 1000;

    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start, painted;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::printf("error=CreateProcess %lu\n", GetLastError());
        return 1;
    }

    TFind find{process.dwProcessId, nullptr};
    bool done = false;
    for (int i = 0; i < 60000 && !done; ++i) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
        find.Window = nullptr;
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&find));
        done = find.Window && !GetUpdateRect(find.Window, nullptr, FALSE);
        if (!done) Sleep(1);
    }
    QueryPerformanceCounter(&painted);
    if (!done) {
        std::printf("error=no painted window\n");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    std::printf("painted_ms=%.1f\n", Milliseconds(start, painted));
    std::fflush(stdout);

    for (DWORD waited = 0; waited < holdMs; waited += 50) {
        if (GetFileAttributesW(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES) break;
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) break;
    }
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
        std::printf("peak_kib=%lu\n", static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024));
    std::fflush(stdout);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
