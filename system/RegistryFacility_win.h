// The registry facility over advapi32: the program's real registry.
#pragma once

#include "system/RegistryFacility.h"

class TWinRegistry final : public IRegistry {
public:
    reg::Handle Root(std::uint32_t predefined) override;
    long CreateKey(reg::Handle parent, const std::u16string& subKey, std::uint32_t access,
                   reg::Handle& key) override;
    long OpenKey(reg::Handle parent, const std::u16string& subKey, std::uint32_t access,
                 reg::Handle& key) override;
    long QueryValue(reg::Handle key, const std::u16string& name, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override;
    long SetValue(reg::Handle key, const std::u16string& name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
    long DeleteValue(reg::Handle key, const std::u16string& name) override;
    long CloseKey(reg::Handle key) override;
};
