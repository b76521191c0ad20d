// The network as the main window sees it on Windows: the portable algorithms of Network.h
// over WMI, the socket layer, the connections manager and WinHTTP.
#pragma once

#include <string>

#include "system/NetworkService.h"

class TWinNetwork final : public INetwork {
public:
    // The probe asks probeURL; the program's is the API base followed by "/myip".
    TWinNetwork();
    explicit TWinNetwork(std::u16string probeURL);

    TNetworkInfo GetActiveNetwork() override;
    bool EnableNetwork(const std::u16string& GUID, bool Enable) override;
    bool ProbePublicIP() override;

private:
    std::u16string FProbeURL;
};
