// The network-connections manager of Windows: "netshell.dll" from the system directory and
// the interfaces of netcon.h.
#pragma once

#include "system/NetConnections.h"

class TWinNetConnections final : public INetConnections {
public:
    std::unique_ptr<INetShellModule> LoadModule() override;
};
