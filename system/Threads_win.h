// Workers as threads of their own (CreateThread), never joined; the hand-off posts to a
// message-only window that the UI thread owns and waits for an event. Create it on the UI
// thread, before any worker starts.
#pragma once

#include "system/Threads.h"

class TWinThreads final : public IThreads {
public:
    TWinThreads();
    ~TWinThreads() override;
    TWinThreads(const TWinThreads&) = delete;
    TWinThreads& operator=(const TWinThreads&) = delete;

    void StartWorker(std::function<void()> proc) override;
    // A full message queue is waited out for a few seconds; a UI thread whose window is gone
    // gives false at once.
    bool Synchronize(const std::function<void()>& proc) override;
    void Sleep(unsigned milliseconds) override;
    std::unique_ptr<IWaitEvent> NewEvent() override;
    std::uint64_t Ticks() override;

private:
    void* FWindow = nullptr;  // HWND of the message-only window
};
