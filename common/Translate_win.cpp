#include "common/Translate_win.h"

#include <windows.h>

#include "common/Error.h"
#include "common/WinText_win.h"

std::uint32_t TWinLocale::UserDefaultLCID()
{
    return GetUserDefaultLCID();
}

int TWinLocale::LocaleInfo(std::uint32_t lcid, std::uint32_t type, char16_t* buffer, int size)
{
    return GetLocaleInfoW(lcid, type, reinterpret_cast<wchar_t*>(buffer), size);
}

std::optional<std::string> TWinResources::ReadRCData(const std::u16string& name)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, WStr(name), RT_RCDATA);
    if (!info) return std::nullopt;
    // A loaded resource belongs to the module: it is neither freed nor unlocked.
    HGLOBAL data = LoadResource(module, info);
    const DWORD size = SizeofResource(module, info);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) throw EAppError(u"The resource " + name + u" cannot be read.");
    return std::string(static_cast<const char*>(bytes), size);
}

void TranslateStartupWin()
{
    TWinResources resources;
    TWinLocale locale;
    TranslateStartup(resources, locale);
}
