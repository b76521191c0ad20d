// WMI over the scripting objects of "WbemScripting.SWbemLocator": the management service of
// the running system.
#pragma once

#include "system/Wmi.h"

class TWinWmi final : public IWmi {
public:
    void Initialize() override;
    void Uninitialize() override;
    std::unique_ptr<IWmiServices> Connect(const std::u16string& server,
                                          const std::u16string& nameSpace) override;
};
