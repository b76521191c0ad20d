// A scripted double of the socket layer's adapter list: the adapters it reports, the result
// of starting the layer, how often it was started and stopped, and the interface of the route
// to the internet.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "system/LocalAddresses.h"

class TFakeLocalAddresses final : public ILocalAddresses {
public:
    std::vector<TLocalAdapter> List;
    int StartupResult = 0;
    int Startups = 0;
    int Cleanups = 0;
    int ListedWhileStarted = 0;  // Adapters calls between Startup and Cleanup
    std::optional<std::uint32_t> Route;  // what InternetInterface gives
    int RouteLookups = 0;

    // One ordinary adapter with preferred addresses (IPv4 when the text has a ".").
    static TLocalAdapter Plain(std::vector<std::u16string> addresses)
    {
        TLocalAdapter adapter;
        for (auto& text : addresses) {
            const bool ipv4 = text.find(u'.') != std::u16string::npos;
            adapter.Addresses.push_back({std::move(text), ipv4, true});
        }
        return adapter;
    }
    // A machine whose local IPv4 address is the given text (none when empty).
    static TFakeLocalAddresses WithAddress(const std::u16string& ip)
    {
        TFakeLocalAddresses fake;
        if (!ip.empty()) fake.List.push_back(Plain({ip}));
        return fake;
    }

    int Startup() override
    {
        ++Startups;
        return StartupResult;
    }
    void Cleanup() override { ++Cleanups; }
    std::vector<TLocalAdapter> Adapters() override
    {
        if (Startups > Cleanups) ++ListedWhileStarted;
        return List;
    }
    std::optional<std::uint32_t> InternetInterface() override
    {
        ++RouteLookups;
        return Route;
    }
};
