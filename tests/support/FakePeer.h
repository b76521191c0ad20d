// A test double of a control's realisation: records every change it is told of and measures
// text as a fixed width per character (or as a width set for one text), noting the control's
// font at each measure.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "toolkit/Controls.h"

class TFakePeer final : public IControlPeer {
public:
    std::vector<TChange>* Log = nullptr;  // where changes are recorded
    std::map<std::u16string, int> Widths;
    int CharWidth = 10;
    const TControl* Control = nullptr;  // whose font a measure is taken in, when set
    std::vector<TFont> MeasuredFonts;

    void Changed(TChange what) override
    {
        if (Log) Log->push_back(what);
    }
    int TextWidth(const std::u16string& text) override
    {
        if (Control) MeasuredFonts.push_back(Control->Font());
        auto it = Widths.find(text);
        return it != Widths.end() ? it->second : static_cast<int>(text.size()) * CharWidth;
    }
};
