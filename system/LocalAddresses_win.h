// The socket layer's adapters and addresses on Windows: Winsock, GetAdaptersAddresses and
// GetBestInterfaceEx.
#pragma once

#include "system/LocalAddresses.h"

class TWinLocalAddresses final : public ILocalAddresses {
public:
    int Startup() override;
    void Cleanup() override;
    std::vector<TLocalAdapter> Adapters() override;
    std::optional<std::uint32_t> InternetInterface() override;
};
