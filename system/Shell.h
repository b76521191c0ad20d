// The shell and the message box: opening a web address in the user's browser and showing a
// modal message box. The program runs as administrator, so an address is never opened from
// this process: the desktop's shell, which runs with the user's own rights, is asked to open
// it (IDesktopShell), and only http and https addresses are handed over (OpenAsUser). The
// Windows implementation is in Shell_win.cpp; tests use doubles that record the calls.
#pragma once

#include <cstdint>
#include <string>

class IShell {
public:
    virtual ~IShell() = default;
    // Opens an http or https address with the user's own rights; false when it was not
    // opened (not a web address, or no desktop shell to ask): nothing is started then.
    virtual bool ShellOpen(const std::u16string& target) = 0;
    // MessageBoxW with the application's active window as owner; the button pressed. (Not
    // called MessageBox: <windows.h> defines that name as a macro.)
    virtual int ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                           std::uint32_t flags) = 0;
    // True when window (a top-level window's handle) is the foreground window, the one the
    // user works in; true as well for no window (null), where there is nothing to wait for.
    virtual bool IsForeground(void* window) = 0;
    // Flashes window's taskbar button until the window comes to the foreground.
    virtual void FlashTaskbarButton(void* window) = 0;
};

// The desktop's shell (on Windows the Explorer process that shows the desktop), which runs
// unelevated whatever this program's rights are.
class IDesktopShell {
public:
    virtual ~IDesktopShell() = default;
    // Asks the desktop's shell to open target with its "open" verb; false when there is no
    // desktop shell or it refused.
    virtual bool Open(const std::u16string& target) = 0;
};

// Hands Address to the desktop's shell if it is an http or https address (IsWebAddress);
// true when the desktop's shell accepted it. Nothing else is ever started.
bool OpenAsUser(IDesktopShell& Desktop, const std::u16string& Address);
