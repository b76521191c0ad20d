// A test double of the threads facility: workers run at once on the calling thread (or are
// kept for the test to run later), Synchronize runs its procedure inline (or fails a given
// number of times first), and Sleep only records how long it was asked for and moves the
// clock on by as much. A wait on an event does the same unless the event is set; OnWait runs
// as each wait begins, as another thread would that sets the event meanwhile.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "system/Threads.h"

class TInlineThreads final : public IThreads {
public:
    bool Deferred = false;     // keep workers started by the test in Pending
    bool DeferNested = false;  // keep workers started by a worker in Pending: they never run
                               // unless the test runs them, like a worker that hangs
    std::vector<std::function<void()>> Pending;
    std::vector<unsigned> Sleeps;
    int Synchronized = 0;
    int FailHandOffs = 0;      // hand-offs that fail, without running, before one succeeds
    int FailedHandOffs = 0;
    std::uint64_t Clock = 0;   // what Ticks gives
    std::vector<unsigned> Waits;  // waits on events that ran their full time
    std::function<void(IWaitEvent&)> OnWait;

    void StartWorker(std::function<void()> proc) override
    {
        if (FInWorker ? DeferNested : Deferred) {
            Pending.push_back(std::move(proc));
            return;
        }
        RunWorker(proc);
    }
    bool Synchronize(const std::function<void()>& proc) override
    {
        if (FailedHandOffs < FailHandOffs) {
            ++FailedHandOffs;
            return false;
        }
        ++Synchronized;
        proc();
        return true;
    }
    void Sleep(unsigned milliseconds) override
    {
        Sleeps.push_back(milliseconds);
        Clock += milliseconds;
    }
    std::uint64_t Ticks() override { return Clock; }
    std::unique_ptr<IWaitEvent> NewEvent() override { return std::make_unique<TEvent>(*this); }
    void RunPending()
    {
        auto work = std::move(Pending);
        Pending.clear();
        for (auto& proc : work) RunWorker(proc);
    }

private:
    class TEvent final : public IWaitEvent {
    public:
        explicit TEvent(TInlineThreads& threads) : FThreads(threads) {}
        void Set() override { FSet = true; }
        void Reset() override { FSet = false; }
        bool Wait(unsigned milliseconds) override
        {
            if (FThreads.OnWait) FThreads.OnWait(*this);
            if (FSet) return true;
            FThreads.Waits.push_back(milliseconds);
            FThreads.Clock += milliseconds;
            return false;
        }

    private:
        TInlineThreads& FThreads;
        bool FSet = false;
    };

    void RunWorker(const std::function<void()>& proc)
    {
        const bool outer = FInWorker;
        FInWorker = true;
        proc();
        FInWorker = outer;
    }
    bool FInWorker = false;
};
