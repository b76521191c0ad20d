// The shell and message box of Windows.
#pragma once

#include "system/Shell.h"

class TWinShell final : public IShell {
public:
    void ShellOpen(const std::u16string& target) override;
    int ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                   std::uint32_t flags) override;
};
