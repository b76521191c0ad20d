// A test double of the shell: records what was opened and every message box, and answers each
// message box with Answer (after OnBox, which sees the program as the box finds it).
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
    std::function<void()> OnBox;

    void ShellOpen(const std::u16string& target) override { Opened.push_back(target); }
    int ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                   std::uint32_t flags) override
    {
        Boxes.push_back({text, caption, flags});
        if (OnBox) OnBox();
        return Answer;
    }
};
