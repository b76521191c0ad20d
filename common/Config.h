// The settings store: named values under HKEY_CURRENT_USER\Software\<Path>. A store is
// short-lived: made for one load or save, it holds its key open until it is destroyed.
// Reads give their default when the value is missing; writes absorb every failure; a value
// of the wrong registry type raises EAppError naming the value.
#pragma once

#include <cstdint>
#include <string>

#include "system/RegistryFacility.h"

class TConfig {
public:
    TConfig(IRegistry& registry, const std::u16string& Path);
    ~TConfig() = default;
    TConfig(const TConfig&) = delete;
    TConfig& operator=(const TConfig&) = delete;

    std::int32_t ReadInteger(const std::u16string& Name, std::int32_t Default);
    bool ReadBoolean(const std::u16string& Name, bool Default);
    std::u16string ReadString(const std::u16string& Name, const std::u16string& Default);

    std::int32_t WriteInteger(const std::u16string& Name, std::int32_t Value);
    bool WriteBoolean(const std::u16string& Name, bool Value);
    std::u16string WriteString(const std::u16string& Name, const std::u16string& Value);
    // Removes the value; a missing value or a failure changes nothing.
    void DeleteValue(const std::u16string& Name);

private:
    bool ValueExists(const std::u16string& Name);
    std::uint32_t ReadDword(const std::u16string& Name);
    void WriteData(const std::u16string& Name, std::uint32_t type, const std::uint8_t* data,
                   std::uint32_t size);

    IRegistry& FRegistry;
    TRegKey FReg;
};
