#include "system/Threads_win.h"

#include <windows.h>

#include <memory>

#include "common/Error.h"
#include "common/ErrorGuard.h"

namespace {
constexpr UINT kRunProc = WM_APP + 1;
constexpr wchar_t kClassName[] = L"TavrinoSyncWindow";
// A full message queue drains as the UI thread works: posting is tried again for a while.
constexpr int kPostAttempts = 40;
constexpr DWORD kPostPause = 50;  // milliseconds

struct TSyncCall {
    const std::function<void()>* Proc;
    HANDLE Done;
};

LRESULT CALLBACK SyncProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kRunProc) {
        auto* call = reinterpret_cast<TSyncCall*>(lp);
        // An error of a handed-off step is reported like any handler's; the worker goes on.
        RunHandler(*call->Proc);
        SetEvent(call->Done);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}
// A manual-reset event object: a set event ends every wait until it is reset.
class TWinEvent final : public IWaitEvent {
public:
    TWinEvent() : FEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        if (!FEvent) throw EAppError(u"Cannot create an event");
    }
    ~TWinEvent() override { CloseHandle(FEvent); }
    TWinEvent(const TWinEvent&) = delete;
    TWinEvent& operator=(const TWinEvent&) = delete;
    void Set() override { SetEvent(FEvent); }
    void Reset() override { ResetEvent(FEvent); }
    bool Wait(unsigned milliseconds) override
    {
        static_assert(kWaitForever == INFINITE);
        return WaitForSingleObject(FEvent, milliseconds) == WAIT_OBJECT_0;
    }

private:
    HANDLE FEvent;
};

DWORD WINAPI WorkerMain(void* parameter)
{
    const std::unique_ptr<std::function<void()>> proc(static_cast<std::function<void()>*>(parameter));
    try {
        (*proc)();
    } catch (...) {
        // A worker's error ends the worker, never the process.
    }
    return 0;
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
    auto owned = std::make_unique<std::function<void()>>(std::move(proc));
    const HANDLE thread = CreateThread(nullptr, 0, WorkerMain, owned.get(), 0, nullptr);
    if (!thread) throw EAppError(u"A worker thread could not be started.");
    owned.release();  // the worker owns it now
    CloseHandle(thread);
}

bool TWinThreads::Synchronize(const std::function<void()>& proc)
{
    const HWND window = static_cast<HWND>(FWindow);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!done) return false;
    TSyncCall call{&proc, done};
    bool posted = false;
    for (int attempt = 0; attempt < kPostAttempts && !posted; ++attempt) {
        if (attempt > 0) ::Sleep(kPostPause);
        // A window that is gone (its thread ended) will never run it.
        if (!window || !IsWindow(window)) break;
        posted = PostMessageW(window, kRunProc, 0, reinterpret_cast<LPARAM>(&call)) != FALSE;
    }
    if (posted) WaitForSingleObject(done, INFINITE);
    CloseHandle(done);
    return posted;
}

void TWinThreads::Sleep(unsigned milliseconds)
{
    ::Sleep(milliseconds);
}

std::unique_ptr<IWaitEvent> TWinThreads::NewEvent()
{
    return std::make_unique<TWinEvent>();
}

std::uint64_t TWinThreads::Ticks()
{
    return GetTickCount64();
}
