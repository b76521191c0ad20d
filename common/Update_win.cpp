#include "common/Update_win.h"

#include <windows.h>

#include <vector>

#include "common/WinText_win.h"

namespace {
std::wstring ProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
}  // namespace

TWinUpdateSystem::TWinUpdateSystem()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    FRandom.seed(now.dwLowDateTime ^ now.dwHighDateTime ^ static_cast<std::uint32_t>(GetTickCount64()));
}

std::optional<TFileVersion> TWinUpdateSystem::FileVersion()
{
    const std::wstring path = ProgramPath();
    if (path.empty()) return std::nullopt;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::nullopt;
    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", &block, &length) || !block ||
        length < sizeof(VS_FIXEDFILEINFO))
        return TFileVersion{0, 0, 0, 0};
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
    return TFileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                        HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

std::optional<std::u16string> TWinUpdateSystem::LocaleLanguageName()
{
    const LCID locale = GetUserDefaultLCID();
    const int needed = GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, nullptr, 0);
    if (needed <= 0) return std::nullopt;
    std::vector<wchar_t> name(static_cast<std::size_t>(needed));
    const int got = GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, name.data(), needed);
    if (got <= 0) return std::nullopt;
    return FromW(name.data());
}

TLocalTime TWinUpdateSystem::LocalTime()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::uint32_t TWinUpdateSystem::Random(std::uint32_t bound)
{
    AcquireSRWLockExclusive(&FRandomLock);
    const std::uint32_t value = std::uniform_int_distribution<std::uint32_t>(0, bound - 1)(FRandom);
    ReleaseSRWLockExclusive(&FRandomLock);
    return value;
}
