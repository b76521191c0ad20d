#include "toolkit/Threads_win.h"

#include <windows.h>

#include <thread>

namespace {
constexpr UINT kRunProc = WM_APP + 1;
constexpr wchar_t kClassName[] = L"TavrinoSyncWindow";

struct TSyncCall {
    const std::function<void()>* Proc;
    HANDLE Done;
};

LRESULT CALLBACK SyncProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kRunProc) {
        auto* call = reinterpret_cast<TSyncCall*>(lp);
        try {
            (*call->Proc)();
        } catch (...) {
            // An error in a handed-off step must not take the UI thread down.
        }
        SetEvent(call->Done);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}
}  // namespace

TWinThreads::TWinThreads()
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = SyncProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);  // a second registration fails harmlessly
    FWindow = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
}

TWinThreads::~TWinThreads()
{
    if (FWindow) DestroyWindow(static_cast<HWND>(FWindow));
}

void TWinThreads::StartWorker(std::function<void()> proc)
{
    std::thread([proc = std::move(proc)] {
        try {
            proc();
        } catch (...) {
            // A worker's error ends the worker, never the process.
        }
    }).detach();
}

void TWinThreads::Synchronize(const std::function<void()>& proc)
{
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!done) return;
    TSyncCall call{&proc, done};
    if (PostMessageW(static_cast<HWND>(FWindow), kRunProc, 0, reinterpret_cast<LPARAM>(&call)))
        WaitForSingleObject(done, INFINITE);
    CloseHandle(done);
}

void TWinThreads::Sleep(unsigned milliseconds)
{
    ::Sleep(milliseconds);
}
