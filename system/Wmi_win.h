// WMI over the scripting objects of "WbemScripting.SWbemLocator": the management service of
// the running system.
#pragma once

#include <vector>

#include "system/Wmi.h"

class TWinWmi final : public IWmi {
public:
    // CoInitialize; Uninitialize calls CoUninitialize only for a join that succeeded.
    void Initialize() override;
    void Uninitialize() override;
    std::unique_ptr<IWmiServices> Connect(const std::u16string& server,
                                          const std::u16string& nameSpace) override;

private:
    std::vector<bool> FJoined;  // per open Initialize: whether CoInitialize succeeded
};
