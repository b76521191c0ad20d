// The registry facility: the few registry operations that the program uses, as an interface.
// The Windows implementation is over advapi32 (RegistryFacility_win.cpp); the tests use an
// in-memory one. Results are Windows error codes (0 is success), handles plain numbers.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace reg {
using Handle = std::uintptr_t;  // 0 is no key

inline constexpr std::uint32_t kClassesRoot = 0x80000000u;
inline constexpr std::uint32_t kCurrentUser = 0x80000001u;
inline constexpr std::uint32_t kLocalMachine = 0x80000002u;

inline constexpr std::uint32_t kTypeSz = 1;
inline constexpr std::uint32_t kTypeExpandSz = 2;
inline constexpr std::uint32_t kTypeDword = 4;

inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;
inline constexpr std::uint32_t kKeyWow64_64 = 0x0100;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;

inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kAccessDenied = 5;
inline constexpr long kInvalidHandle = 6;
inline constexpr long kInvalidParameter = 87;
inline constexpr long kBadPathname = 161;
inline constexpr long kMoreData = 234;

// The 4 little-endian bytes of a REG_DWORD, and back.
inline std::array<std::uint8_t, 4> DwordBytes(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}
inline std::uint32_t DwordFromBytes(const std::uint8_t* data)
{
    return static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8) |
           (static_cast<std::uint32_t>(data[2]) << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
}
}  // namespace reg

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // Handle of a predefined root key (0x80000000 + i); 0 for a value that names none.
    virtual reg::Handle Root(std::uint32_t predefined) = 0;
    // RegCreateKeyExW: opens subKey below parent, creating every missing key on the path.
    virtual long CreateKey(reg::Handle parent, const std::u16string& subKey, std::uint32_t access,
                           reg::Handle& key) = 0;
    // RegOpenKeyExW: opens an existing key (an empty subKey opens parent itself).
    virtual long OpenKey(reg::Handle parent, const std::u16string& subKey, std::uint32_t access,
                         reg::Handle& key) = 0;
    // RegQueryValueExW: with data null, only type and size; otherwise the data, at most *size
    // bytes (kMoreData and the needed size when the buffer is too small).
    virtual long QueryValue(reg::Handle key, const std::u16string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) = 0;
    // RegSetValueExW: creates or replaces the value.
    virtual long SetValue(reg::Handle key, const std::u16string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) = 0;
    // RegDeleteValueW.
    virtual long DeleteValue(reg::Handle key, const std::u16string& name) = 0;
    // RegCloseKey.
    virtual long CloseKey(reg::Handle key) = 0;
};

// An open key, closed when it goes out of scope.
class TRegKey {
public:
    explicit TRegKey(IRegistry& registry) : FRegistry(registry) {}
    ~TRegKey() { Close(); }
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;

    reg::Handle& Out() { Close(); return FHandle; }
    reg::Handle Get() const { return FHandle; }
    bool IsOpen() const { return FHandle != 0; }
    void Close()
    {
        if (FHandle != 0) FRegistry.CloseKey(FHandle);
        FHandle = 0;
    }

private:
    IRegistry& FRegistry;
    reg::Handle FHandle = 0;
};
