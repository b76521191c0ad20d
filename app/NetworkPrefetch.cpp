#include "app/NetworkPrefetch.h"

TPrefetchedNetwork::TPrefetchedNetwork(INetwork& network, IThreads& threads)
    : FNetwork(network), FSearch(std::make_shared<TSearch>())
{
    FSearch->Done = threads.NewEvent();
    threads.StartWorker([&network, search = FSearch] {
        try {
            search->Info = network.GetActiveNetwork();
        } catch (...) {
            search->Error = std::current_exception();
        }
        search->Done->Set();
    });
}

TNetworkInfo TPrefetchedNetwork::GetActiveNetwork()
{
    if (!FSearch) return FNetwork.GetActiveNetwork();
    const std::shared_ptr<TSearch> search = std::move(FSearch);
    search->Done->Wait(kWaitForever);
    if (search->Error) std::rethrow_exception(search->Error);
    return search->Info;
}
