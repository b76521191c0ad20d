// What the main window asks of the network: the active adapter, its restart, and the probe
// that tells when the internet answers again. The Windows implementation
// (NetworkService_win.cpp) runs the portable algorithms of Network.h over WMI, the
// connections manager and the HTTP client; tests use a double.
#pragma once

#include <string>

struct TNetworkInfo {
    std::u16string Name;
    std::u16string GUID;  // braced, 38 characters; empty when no adapter was found
    std::u16string IP;
};

class INetwork {
public:
    virtual ~INetwork() = default;
    // Raises EAppError when the management service fails.
    virtual TNetworkInfo GetActiveNetwork() = 0;
    // false takes the adapter's connection down, true brings it up; false on any failure.
    virtual bool EnableNetwork(const std::u16string& GUID, bool Enable) = 0;
    // true once the public-address endpoint answered with the marker; never raises. Called
    // from a worker thread.
    virtual bool ProbePublicIP() = 0;
};
