// The socket layer's adapters and addresses on Windows: Winsock and GetAdaptersAddresses.
#pragma once

#include "system/LocalAddresses.h"

class TWinLocalAddresses final : public ILocalAddresses {
public:
    int Startup() override;
    void Cleanup() override;
    std::vector<TLocalAdapter> Adapters() override;
};
