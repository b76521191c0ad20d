// The markup of TMarkupLabel: text with the tags <C>...</C> (centred), <B>...</B> (bold) and
// <FC:clGray>...</FC> (grey, RGB 128, 128, 128: the one colour the tag line uses), in any
// letter case and nested. Anything else between < and > is text. Read into runs of equal style.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Drawing.h"

struct TMarkupRun {
    std::u16string Text;
    bool Bold = false;
    bool Centered = false;
    bool HasColor = false;  // false: the label's font colour
    TColor Color = clBlack;
    bool operator==(const TMarkupRun&) const = default;
};

std::vector<TMarkupRun> ParseMarkup(std::u16string_view text);
// The colour of a name in <FC:...>; false for a name it does not know.
bool MarkupColor(std::u16string_view name, TColor& color);
