// The adapter search started ahead of the window: begun at construction, its result (or its
// error) is what the first GetActiveNetwork gives; later calls and the other calls reach the
// network itself.
#include <gtest/gtest.h>

#include "app/NetworkPrefetch.h"
#include "support/FakeNetwork.h"
#include "support/InlineThreads.h"

namespace {
const std::u16string kGuid = u"{0A1B2C3D-0000-4000-8000-00000000ABCD}";

TEST(NetworkPrefetchTest, SearchesOnAWorkerAtOnceAndHandsTheResultToTheFirstCall)
{
    TFakeNetwork network;
    TInlineThreads threads;
    threads.Deferred = true;
    TPrefetchedNetwork prefetched(network, threads);
    ASSERT_EQ(threads.Pending.size(), 1u);  // the search runs on a worker
    EXPECT_EQ(network.Discoveries, 0);
    threads.RunPending();
    EXPECT_EQ(network.Discoveries, 1);

    network.Adapter = TNetworkInfo{u"changed later", u"", u""};
    const TNetworkInfo first = prefetched.GetActiveNetwork();
    EXPECT_EQ(first.Name, u"Intel(R) Ethernet Connection");  // what the worker found
    EXPECT_EQ(first.GUID, kGuid);
    EXPECT_EQ(first.IP, u"192.168.0.7");
    EXPECT_EQ(network.Discoveries, 1);

    EXPECT_EQ(prefetched.GetActiveNetwork().Name, u"changed later");  // a search of its own
    EXPECT_EQ(network.Discoveries, 2);
}

TEST(NetworkPrefetchTest, NoAdapterIsAnEmptyTriple)
{
    TFakeNetwork network;
    network.Adapter.reset();
    TInlineThreads threads;
    TPrefetchedNetwork prefetched(network, threads);
    const TNetworkInfo info = prefetched.GetActiveNetwork();
    EXPECT_TRUE(info.Name.empty());
    EXPECT_TRUE(info.GUID.empty());
    EXPECT_TRUE(info.IP.empty());
}

TEST(NetworkPrefetchTest, TheSearchsErrorIsRaisedByTheFirstCall)
{
    TFakeNetwork network;
    network.DiscoveryFails = true;
    TInlineThreads threads;
    TPrefetchedNetwork prefetched(network, threads);  // the worker does not raise
    try {
        prefetched.GetActiveNetwork();
        ADD_FAILURE() << "no error";
    } catch (const EAppError& e) {
        EXPECT_EQ(e.Message(), u"The management service is unavailable.");
    }
    network.DiscoveryFails = false;
    EXPECT_EQ(prefetched.GetActiveNetwork().GUID, kGuid);
}

TEST(NetworkPrefetchTest, RestartAndProbeGoToTheNetwork)
{
    TFakeNetwork network;
    network.ProbeSucceedsAt = 2;
    TInlineThreads threads;
    TPrefetchedNetwork prefetched(network, threads);
    EXPECT_TRUE(prefetched.EnableNetwork(kGuid, false));
    network.EnableResult = false;
    EXPECT_FALSE(prefetched.EnableNetwork(kGuid, true));
    EXPECT_EQ(network.EnableCalls,
              (std::vector<TFakeNetwork::EnableCall>{{kGuid, false}, {kGuid, true}}));
    EXPECT_FALSE(prefetched.ProbePublicIP());
    EXPECT_TRUE(prefetched.ProbePublicIP());
}
}  // namespace
