#include "system/RegistryFacility_win.h"

#include <windows.h>

#include "common/WinText_win.h"

namespace {
HKEY AsKey(reg::Handle handle) { return reinterpret_cast<HKEY>(handle); }
}  // namespace

reg::Handle TWinRegistry::Root(std::uint32_t predefined)
{
    if (predefined < 0x80000000u || predefined > 0x80000006u) return 0;
    // Predefined keys are sign-extended 32-bit values, as HKEY_LOCAL_MACHINE is defined.
    return reinterpret_cast<reg::Handle>(
        reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(predefined))));
}

long TWinRegistry::CreateKey(reg::Handle parent, const std::u16string& subKey,
                             std::uint32_t access, reg::Handle& key)
{
    HKEY result = nullptr;
    const LONG rc = RegCreateKeyExW(AsKey(parent), WStr(subKey), 0, nullptr,
                                    REG_OPTION_NON_VOLATILE, access, nullptr, &result, nullptr);
    key = rc == ERROR_SUCCESS ? reinterpret_cast<reg::Handle>(result) : 0;
    return rc;
}

long TWinRegistry::OpenKey(reg::Handle parent, const std::u16string& subKey, std::uint32_t access,
                           reg::Handle& key)
{
    HKEY result = nullptr;
    const LONG rc = RegOpenKeyExW(AsKey(parent), WStr(subKey), 0, access, &result);
    key = rc == ERROR_SUCCESS ? reinterpret_cast<reg::Handle>(result) : 0;
    return rc;
}

long TWinRegistry::QueryValue(reg::Handle key, const std::u16string& name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* size)
{
    DWORD t = 0;
    DWORD s = size ? *size : 0;
    const LONG rc = RegQueryValueExW(AsKey(key), WStr(name), nullptr, &t, data, size ? &s : nullptr);
    if (type) *type = t;
    if (size) *size = s;
    return rc;
}

long TWinRegistry::SetValue(reg::Handle key, const std::u16string& name, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size)
{
    return RegSetValueExW(AsKey(key), WStr(name), 0, type, data, size);
}

long TWinRegistry::DeleteValue(reg::Handle key, const std::u16string& name)
{
    return RegDeleteValueW(AsKey(key), WStr(name));
}

long TWinRegistry::CloseKey(reg::Handle key)
{
    return RegCloseKey(AsKey(key));
}
