// Registry values addressed by one full path that begins with a root key name, such as
// "HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\MSMQ\Parameters": writing a DWORD and deleting a
// value, in the 64-bit view. Both are fire-and-forget: every failure is absorbed.
#pragma once

#include <cstdint>
#include <string>

#include "system/RegistryFacility.h"

// Every key these operations open: KEY_READ | KEY_WRITE | KEY_WOW64_64KEY.
inline constexpr std::uint32_t kRegPathAccess = reg::kKeyRead | reg::kKeyWrite | reg::kKeyWow64_64;

// Handle value of the predefined key named exactly (letter case included) by rootName, or 0.
std::uint32_t ParseRootKey(const std::u16string& rootName);

struct TRegPath {
    std::u16string RootName;
    std::u16string SubPath;
};
// Splits a full path at its first backslash; without one the root name is empty. One
// backslash that starts the sub-path (a doubled one after the root name) is dropped.
TRegPath SplitRegPath(const std::u16string& fullPath);

void WriteRegInteger(IRegistry& registry, const std::u16string& fullPath,
                     const std::u16string& valueName, std::int32_t value);
// True when the key that fullPath names exists and can be opened; creates nothing.
bool RegKeyExists(IRegistry& registry, const std::u16string& fullPath);

// Opens the key as WriteRegInteger does (a missing key path is created, empty).
void DeleteRegValue(IRegistry& registry, const std::u16string& fullPath,
                    const std::u16string& valueName);
