// Background workers and the hand-off to the user-interface thread. A worker frees itself when
// its procedure returns; Synchronize runs a procedure on the UI thread and blocks the calling
// worker until it has run. Workers are never waited for: when the main window closes, the
// process ends with them. An event lets a worker pause without waking until its time is up
// or another thread sets the event.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// A wait on an event without a time limit.
inline constexpr unsigned kWaitForever = 0xFFFFFFFFu;

class IWaitEvent {
public:
    virtual ~IWaitEvent() = default;
    virtual void Set() = 0;
    virtual void Reset() = 0;
    // True at once when the event is set (before or during the wait), false when the time
    // ran out.
    virtual bool Wait(unsigned milliseconds) = 0;
};

class IThreads {
public:
    virtual ~IThreads() = default;
    virtual void StartWorker(std::function<void()> proc) = 0;
    // Called from a worker only. False when the procedure could not be handed to the UI
    // thread and did not run; an error the procedure raises goes to the application's
    // unhandled-error handling on the UI thread, and counts as run.
    virtual bool Synchronize(const std::function<void()>& proc) = 0;
    virtual void Sleep(unsigned milliseconds) = 0;
    // A new event, not set.
    virtual std::unique_ptr<IWaitEvent> NewEvent() = 0;
    // Milliseconds from a fixed moment, never going back.
    virtual std::uint64_t Ticks() = 0;
};
