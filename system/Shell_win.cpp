#include "system/Shell_win.h"

#include <windows.h>
#include <shellapi.h>

#include "common/WinText_win.h"

void TWinShell::ShellOpen(const std::u16string& target)
{
    ShellExecuteW(nullptr, L"open", WStr(target), nullptr, nullptr, SW_SHOWNORMAL);
}

int TWinShell::ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                          std::uint32_t flags)
{
    return MessageBoxW(GetActiveWindow(), WStr(text), WStr(caption), flags);
}
