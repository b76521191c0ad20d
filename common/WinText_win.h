// Conversions between the program's UTF-16 text and the wide strings of the Win32 API, and a
// window's text.
#pragma once

#include <windows.h>

#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

inline const wchar_t* WStr(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string FromW(const wchar_t* text)
{
    return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

inline std::u16string FromW(const wchar_t* text, std::size_t length)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// The text a window holds.
inline std::u16string WindowText(HWND wnd)
{
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(wnd)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(wnd, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()))));
    return text;
}
