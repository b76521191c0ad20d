// A test double of the network: a configured adapter (or an error) for GetActiveNetwork, a
// record of every EnableNetwork call with a Connect that can fail the first times, and a
// probe that fails until a configured attempt.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/Error.h"
#include "system/NetworkService.h"

class TFakeNetwork final : public INetwork {
public:
    struct EnableCall {
        std::u16string GUID;
        bool Enable;
        bool operator==(const EnableCall&) const = default;
    };

    // What GetActiveNetwork gives; none: no adapter (an empty triple).
    std::optional<TNetworkInfo> Adapter = TNetworkInfo{
        u"Intel(R) Ethernet Connection", u"{0A1B2C3D-0000-4000-8000-00000000ABCD}", u"192.168.0.7"};
    bool DiscoveryFails = false;  // GetActiveNetwork raises EAppError
    bool EnableResult = true;
    int ConnectFailsFirst = 0;    // Connect calls that fail before one succeeds
    // The probe that first answers (1 is the first); 0: none ever does.
    int ProbeSucceedsAt = 1;
    std::function<void()> DuringProbe;  // runs inside each probe (a slow one moves a clock on)
    std::function<void()> DuringConnect;  // runs inside each Connect, as DuringProbe does

    std::vector<EnableCall> EnableCalls;
    int Discoveries = 0;
    std::atomic<int> Probes{0};
    int Connects = 0;

    TNetworkInfo GetActiveNetwork() override
    {
        ++Discoveries;
        if (DiscoveryFails) throw EAppError(u"The management service is unavailable.");
        return Adapter ? *Adapter : TNetworkInfo{};
    }
    bool EnableNetwork(const std::u16string& GUID, bool Enable) override
    {
        EnableCalls.push_back({GUID, Enable});
        if (Enable && DuringConnect) DuringConnect();
        if (Enable && ++Connects <= ConnectFailsFirst) return false;
        return EnableResult;
    }
    bool ProbePublicIP() override
    {
        if (DuringProbe) DuringProbe();
        const int attempt = ++Probes;
        return ProbeSucceedsAt > 0 && attempt >= ProbeSucceedsAt;
    }
};
