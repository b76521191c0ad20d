// A test double of the threads facility: workers run at once on the calling thread (or are
// kept for the test to run later), Synchronize runs its procedure inline (or fails a given
// number of times first), and Sleep only records how long it was asked for and moves the
// clock on by as much.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "toolkit/Threads.h"

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
    void RunPending()
    {
        auto work = std::move(Pending);
        Pending.clear();
        for (auto& proc : work) RunWorker(proc);
    }

private:
    void RunWorker(const std::function<void()>& proc)
    {
        const bool outer = FInWorker;
        FInWorker = true;
        proc();
        FInWorker = outer;
    }
    bool FInWorker = false;
};
