// The shell and the message box: opening an address with the shell's "open" verb (the result
// is not examined) and showing a modal message box. The Windows implementation is in
// Shell_win.cpp; tests use a double that records the calls.
#pragma once

#include <cstdint>
#include <string>

class IShell {
public:
    virtual ~IShell() = default;
    // ShellExecuteW(no owner, "open", target, no parameters, no folder, SW_SHOWNORMAL).
    virtual void ShellOpen(const std::u16string& target) = 0;
    // MessageBoxW with the application's active window as owner; the button pressed. (Not
    // called MessageBox: <windows.h> defines that name as a macro.)
    virtual int ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                           std::uint32_t flags) = 0;
};
