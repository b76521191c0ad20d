// The shell and message box of Windows. Addresses are opened by the desktop's shell
// (TWinDesktopShell: the desktop's folder view, its Shell.Application object and
// IShellDispatch2::ShellExecute), so the browser starts with the user's rights and not with
// this program's; ShellExecuteW in this process is never used.
#pragma once

#include "system/Shell.h"

class TWinDesktopShell final : public IDesktopShell {
public:
    bool Open(const std::u16string& target) override;
};

class TWinShell final : public IShell {
public:
    bool ShellOpen(const std::u16string& target) override;
    int ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                   std::uint32_t flags) override;
    bool IsForeground(void* window) override;
    void FlashTaskbarButton(void* window) override;
};
