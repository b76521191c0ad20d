#include "common/Config.h"

#include <vector>

#include "common/Error.h"

TConfig::TConfig(IRegistry& registry, const std::u16string& Path)
    : FRegistry(registry), FReg(registry)
{
    // The outcome is not checked: a store without a key reads defaults and drops writes.
    if (registry.CreateKey(registry.Root(reg::kCurrentUser), u"Software\\" + Path,
                           reg::kKeyAllAccess, FReg.Out()) != reg::kSuccess)
        FReg.Close();
}

bool TConfig::ValueExists(const std::u16string& Name)
{
    if (!FReg.IsOpen()) return false;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    return FRegistry.QueryValue(FReg.Get(), Name, &type, nullptr, &size) == reg::kSuccess;
}

std::uint32_t TConfig::ReadDword(const std::u16string& Name)
{
    std::uint8_t data[4] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof data;
    if (FRegistry.QueryValue(FReg.Get(), Name, &type, data, &size) != reg::kSuccess)
        throw EAppError(u"Failed to get data for '" + Name + u"'");
    if (type != reg::kTypeDword) throw EAppError(u"Invalid data type for '" + Name + u"'");
    return reg::DwordFromBytes(data);
}

std::int32_t TConfig::ReadInteger(const std::u16string& Name, std::int32_t Default)
{
    if (!ValueExists(Name)) return Default;
    return static_cast<std::int32_t>(ReadDword(Name));
}

bool TConfig::ReadBoolean(const std::u16string& Name, bool Default)
{
    if (!ValueExists(Name)) return Default;
    return ReadDword(Name) != 0;
}

std::u16string TConfig::ReadString(const std::u16string& Name, const std::u16string& Default)
{
    if (!ValueExists(Name)) return Default;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (FRegistry.QueryValue(FReg.Get(), Name, &type, nullptr, &size) != reg::kSuccess)
        throw EAppError(u"Failed to get data for '" + Name + u"'");
    if (type != reg::kTypeSz && type != reg::kTypeExpandSz)
        throw EAppError(u"Invalid data type for '" + Name + u"'");
    std::vector<std::uint8_t> data(size + sizeof(char16_t));
    std::uint32_t got = size;
    if (FRegistry.QueryValue(FReg.Get(), Name, &type, data.data(), &got) != reg::kSuccess)
        throw EAppError(u"Failed to get data for '" + Name + u"'");
    std::u16string text;
    for (std::uint32_t i = 0; i + 1 < got; i += 2) {
        const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

void TConfig::WriteData(const std::u16string& Name, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t size)
{
    try {
        if (FReg.IsOpen()) FRegistry.SetValue(FReg.Get(), Name, type, data, size);
    } catch (...) {
        // A failed write is dropped: the caller gets its value back as if it had been stored.
    }
}

std::int32_t TConfig::WriteInteger(const std::u16string& Name, std::int32_t Value)
{
    const auto data = reg::DwordBytes(static_cast<std::uint32_t>(Value));
    WriteData(Name, reg::kTypeDword, data.data(), data.size());
    return Value;
}

bool TConfig::WriteBoolean(const std::u16string& Name, bool Value)
{
    WriteInteger(Name, Value ? 1 : 0);
    return Value;
}

std::u16string TConfig::WriteString(const std::u16string& Name, const std::u16string& Value)
{
    std::vector<std::uint8_t> data;
    data.reserve((Value.size() + 1) * 2);
    for (char16_t unit : Value) {
        data.push_back(static_cast<std::uint8_t>(unit));
        data.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    WriteData(Name, reg::kTypeSz, data.data(), static_cast<std::uint32_t>(data.size()));
    return Value;
}

void TConfig::DeleteValue(const std::u16string& Name)
{
    try {
        if (FReg.IsOpen()) FRegistry.DeleteValue(FReg.Get(), Name);
    } catch (...) {
        // Dropped like a failed write.
    }
}
