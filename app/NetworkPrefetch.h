// Adapter discovery started ahead of the window: the program entry begins it on a worker
// before the controls are made, so that the two run side by side. The window's first
// GetActiveNetwork takes the worker's result, or raises its error, as if it had searched
// itself; every other call goes straight to the network.
#pragma once

#include <exception>
#include <memory>

#include "system/NetworkService.h"
#include "system/Threads.h"

class TPrefetchedNetwork final : public INetwork {
public:
    // Starts the search on a worker of threads; network outlives the process's work.
    TPrefetchedNetwork(INetwork& network, IThreads& threads);
    TNetworkInfo GetActiveNetwork() override;
    bool EnableNetwork(const std::u16string& GUID, bool Enable) override
    {
        return FNetwork.EnableNetwork(GUID, Enable);
    }
    bool ProbePublicIP() override { return FNetwork.ProbePublicIP(); }

private:
    struct TSearch {
        std::unique_ptr<IWaitEvent> Done;
        TNetworkInfo Info;
        std::exception_ptr Error;
    };
    INetwork& FNetwork;
    std::shared_ptr<TSearch> FSearch;  // until its result was taken
};
