// What the main window asks of the update unit: start the background update check. AProc runs
// at most once, on the UI thread, with true when the user accepted the offered update (its
// download address was opened) and with false otherwise, and the whole answer text.
#pragma once

#include <functional>
#include <string>

using TUpdateProc = std::function<void(bool Accepted, const std::u16string& Answer)>;

class IUpdateCheck {
public:
    virtual ~IUpdateCheck() = default;
    virtual void CheckUpdate(const std::u16string& URL, TUpdateProc AProc, int LayoutOffset) = 0;
};
