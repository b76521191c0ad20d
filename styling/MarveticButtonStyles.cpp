#include "styling/MarveticButtonStyles.h"

#include <memory>

#include "common/Text.h"

namespace {
const std::vector<std::u16string>& ClassList()
{
    static const std::vector<std::u16string> names = {u"Primary"};
    return names;
}

const std::vector<std::u16string>& AppearanceList()
{
    static const std::vector<std::u16string> names = {u"Normal", u"Header", u"Outline"};
    return names;
}

// The derived colours, computed from the accent and black by the toolkit's colour rules.
const TColor kAccentHot = LightenColor(kAccentColor, 10);                // #5090E0
const TColor kHeaderDisabledBorder = GreyColor(LightenColor(kAccentColor, 50));  // #BCBCBC
const TColor kHeaderDisabledFont = GreyColor(LightenColor(clBlack, 50));        // #808080
const TColor kOutlineDisabledBorder = GreyColor(LightenColor(kAccentColor, 70)); // #D7D7D7
const TColor kOutlineDisabledFont = GreyColor(LightenColor(clBlack, 70));       // #B3B3B3
const TColor kSilver = RGBColor(0xC0, 0xC0, 0xC0);

// A solid fill without or with an outline, in the colours given.
void Solid(TStyledButtonAttributes& a, TColor fill, TColor font)
{
    a.ButtonDrawStyle = TButtonDrawStyle::btnSolid;
    a.ButtonColor = fill;
    a.FontColor = font;
}
}  // namespace

std::u16string TMarveticButtonStyles::FamilyName() const
{
    return u"Marvetic";
}

const std::vector<std::u16string>& TMarveticButtonStyles::ClassNames() const
{
    return ClassList();
}

const std::vector<std::u16string>& TMarveticButtonStyles::AppearanceNames() const
{
    return AppearanceList();
}

void TMarveticButtonStyles::DefaultStyle(int, std::u16string& StyleClass,
                                         std::u16string& StyleAppearance) const
{
    StyleClass = u"Primary";
    StyleAppearance = u"Normal";
}

void TMarveticButtonStyles::ComputeAttributes(const std::u16string&, const std::u16string&,
                                              const std::u16string& StyleAppearance,
                                              TStyledButtonAttributes& Normal,
                                              TStyledButtonAttributes& Pressed,
                                              TStyledButtonAttributes& Selected,
                                              TStyledButtonAttributes& Hot,
                                              TStyledButtonAttributes& Disabled) const
{
    enum { Plain, Header, Outline } kind = Plain;
    if (SameTextAscii(StyleAppearance, u"Outline")) kind = Outline;
    else if (SameTextAscii(StyleAppearance, u"Header")) kind = Header;

    // Table A: what the Normal state of each appearance fills, draws and writes with.
    struct TBase {
        TButtonDrawStyle Fill;
        TColor Button, Border, Font;
    };
    static const TBase bases[] = {
        {TButtonDrawStyle::btnSolid, kAccentColor, kAccentColor, clWhite},  // Normal
        {TButtonDrawStyle::btnClear, clWhite, clBlack, clBlack},            // Header
        {TButtonDrawStyle::btnClear, kAccentColor, kAccentColor, clBlack},  // Outline
    };
    const TBase& base = bases[kind];
    Normal = TStyledButtonAttributes();
    Normal.DrawType = TButtonDrawType::btRoundRect;
    Normal.ButtonDrawStyle = base.Fill;
    Normal.BorderDrawStyle = TBorderDrawStyle::brdSolid;
    Normal.ButtonColor = base.Button;
    Normal.BorderColor = base.Border;
    Normal.BorderWidth = 0;
    Normal.FontColor = base.Font;
    Normal.FontStyle = 0;
    Pressed = Selected = Hot = Disabled = Normal;

    switch (kind) {
    case Plain:
        Hot.ButtonColor = kAccentHot;
        Disabled.ButtonColor = clWhite;
        Disabled.BorderColor = kSilver;
        Disabled.FontColor = kSilver;
        Disabled.BorderWidth = 0;
        break;
    case Header:
        for (TStyledButtonAttributes* a : {&Pressed, &Selected, &Hot}) {
            Solid(*a, kAccentColor, clWhite);
            a->BorderDrawStyle = TBorderDrawStyle::brdClear;
            a->BorderColor = kAccentColor;
        }
        Selected.ButtonColor = kAccentHot;
        Disabled.BorderColor = kHeaderDisabledBorder;
        Disabled.FontColor = kHeaderDisabledFont;
        break;
    case Outline:
        Solid(Pressed, kAccentColor, clWhite);
        Solid(Selected, kAccentHot, clWhite);
        Solid(Hot, kAccentHot, clWhite);
        Disabled.BorderColor = kOutlineDisabledBorder;
        Disabled.FontColor = kOutlineDisabledFont;
        break;
    }
}

void RegisterMarveticButtonStyles()
{
    static const bool registered = [] {
        ClassList();
        AppearanceList();
        RegisterButtonFamily(std::make_shared<TMarveticButtonStyles>());
        return true;
    }();
    (void)registered;
}

int FitLabelFont(int points, int labelWidth, int textWidth)
{
    if (textWidth <= labelWidth) return points;
    const int size = static_cast<int>(static_cast<std::int32_t>(points) * labelWidth / textWidth);
    return size < 6 ? 6 : size;
}
