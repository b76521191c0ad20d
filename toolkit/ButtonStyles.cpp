#include "toolkit/ButtonStyles.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "common/Text.h"

namespace {
using TFamilyList = std::vector<std::pair<std::u16string, std::shared_ptr<IStyledButtonFamily>>>;

TFamilyList& Families()
{
    static TFamilyList families;
    return families;
}

bool Contains(const std::vector<std::u16string>& names, const std::u16string& name)
{
    for (const auto& n : names)
        if (SameTextAscii(n, name)) return true;
    return false;
}
}  // namespace

void RegisterButtonFamily(std::shared_ptr<IStyledButtonFamily> family)
{
    if (!family) return;
    Families().emplace_back(family->FamilyName(), std::move(family));
}

std::shared_ptr<IStyledButtonFamily> FindButtonFamily(const std::u16string& name)
{
    for (const auto& [familyName, family] : Families())
        if (SameTextAscii(familyName, name)) return family;
    return nullptr;
}

bool ComputeButtonStyles(const std::u16string& family, const std::u16string& styleClass,
                         const std::u16string& appearance, TStyledButtonStyles& styles)
{
    const auto found = FindButtonFamily(family);
    if (!found) return false;
    std::u16string cls = styleClass;
    std::u16string look = appearance;
    std::u16string defaultClass, defaultLook;
    found->DefaultStyle(0, defaultClass, defaultLook);
    if (!Contains(found->ClassNames(), cls)) cls = defaultClass;
    if (!Contains(found->AppearanceNames(), look)) look = defaultLook;
    TStyledButtonStyles fresh;
    found->ComputeAttributes(family, cls, look, fresh[0], fresh[1], fresh[2], fresh[3], fresh[4]);
    styles = fresh;
    return true;
}

TStyledButtonState ButtonState(bool enabled, bool pressed, bool hot, bool focusShown)
{
    if (!enabled) return TStyledButtonState::bsmDisabled;
    if (pressed) return TStyledButtonState::bsmPressed;
    if (hot) return TStyledButtonState::bsmHot;
    return focusShown ? TStyledButtonState::bsmSelected : TStyledButtonState::bsmNormal;
}

TStyledButtonAttributes HighContrastStyle(const TStyledButtonAttributes& family, TStyledButtonState state)
{
    TStyledButtonAttributes a = family;
    a.BorderDrawStyle = TBorderDrawStyle::brdSolid;
    switch (state) {
    case TStyledButtonState::bsmNormal:
    case TStyledButtonState::bsmDisabled: {
        const TColor text = state == TStyledButtonState::bsmDisabled ? clGrayText : clWindowText;
        a.ButtonDrawStyle = TButtonDrawStyle::btnClear;
        a.ButtonColor = clWindow;
        a.BorderColor = text;
        a.FontColor = text;
        break;
    }
    case TStyledButtonState::bsmPressed:
    case TStyledButtonState::bsmSelected:
    case TStyledButtonState::bsmHot:
        a.ButtonDrawStyle = TButtonDrawStyle::btnSolid;
        a.ButtonColor = clHighlight;
        a.BorderColor = clHighlight;
        a.FontColor = clHighlightText;
        break;
    }
    return a;
}

int MulDivRound(int a, int b, int c)
{
    if (c == 0) return -1;
    const long long num = static_cast<long long>(a) * b;
    const long long den = c;
    const bool negative = (num < 0) != (den < 0);
    const long long q = (std::llabs(num) * 2 + std::llabs(den)) / (2 * std::llabs(den));
    return static_cast<int>(negative ? -q : q);
}

TColor LightenColor(TColor color, int percent)
{
    auto channel = [percent](unsigned c) {
        return static_cast<unsigned>(static_cast<int>(c) + MulDivRound(255 - static_cast<int>(c), percent, 100));
    };
    return RGBColor(channel(ColorRed(color)), channel(ColorGreen(color)), channel(ColorBlue(color)));
}

TColor GreyColor(TColor color)
{
    const double y = 0.299 * ColorRed(color) + 0.587 * ColorGreen(color) + 0.114 * ColorBlue(color);
    const auto v = static_cast<unsigned>(std::lround(y));
    return RGBColor(v, v, v);
}
