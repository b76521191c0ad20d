// A test double of the threads facility: workers run at once on the calling thread (or are
// kept for the test to run later), Synchronize runs its procedure inline, and Sleep only
// records how long it was asked for.
#pragma once

#include <functional>
#include <vector>

#include "toolkit/Threads.h"

class TInlineThreads final : public IThreads {
public:
    bool Deferred = false;  // keep workers in Pending instead of running them
    std::vector<std::function<void()>> Pending;
    std::vector<unsigned> Sleeps;
    int Synchronized = 0;

    void StartWorker(std::function<void()> proc) override
    {
        if (Deferred) Pending.push_back(std::move(proc));
        else proc();
    }
    void Synchronize(const std::function<void()>& proc) override
    {
        ++Synchronized;
        proc();
    }
    void Sleep(unsigned milliseconds) override { Sleeps.push_back(milliseconds); }
    void RunPending()
    {
        auto work = std::move(Pending);
        Pending.clear();
        for (auto& proc : work) proc();
    }
};
