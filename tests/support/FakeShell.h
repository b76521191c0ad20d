// A test double of the shell: records every address it was asked to open and every message box,
// reports each address as opened unless Opens is false (no desktop shell), and answers each
// message box with Answer (after OnBox, which sees the program as the box finds it). Every
// window is in the foreground unless Foreground is false; taskbar flashes are counted.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "system/Shell.h"

class TFakeShell final : public IShell {
public:
    struct Box {
        std::u16string Text;
        std::u16string Caption;
        std::uint32_t Flags;
    };
    std::vector<std::u16string> Opened;
    std::vector<Box> Boxes;
    int Answer = 1;  // IDOK
    bool Opens = true;
    bool Foreground = true;
    int Flashes = 0;
    std::function<void()> OnBox;

    bool ShellOpen(const std::u16string& target) override
    {
        Opened.push_back(target);
        return Opens;
    }
    int ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                   std::uint32_t flags) override
    {
        Boxes.push_back({text, caption, flags});
        if (OnBox) OnBox();
        return Answer;
    }
    bool IsForeground(void*) override { return Foreground; }
    void FlashTaskbarButton(void*) override { ++Flashes; }
};
