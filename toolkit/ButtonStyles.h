// Button style families: the attribute sets a styled button is drawn with, one per state, the
// interface a family implements, the process-wide registry of families, and the two colour
// rules families derive their colours with.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Drawing.h"

enum class TStyledButtonState { bsmNormal, bsmPressed, bsmSelected, bsmHot, bsmDisabled };
enum class TButtonDrawType { btRoundRect, btRounded, btRect, btEllipse };
enum class TButtonDrawStyle { btnClear, btnSolid };
enum class TBorderDrawStyle { brdClear, brdSolid };

struct TStyledButtonAttributes {
    TButtonDrawType DrawType = TButtonDrawType::btRoundRect;
    TButtonDrawStyle ButtonDrawStyle = TButtonDrawStyle::btnSolid;
    TBorderDrawStyle BorderDrawStyle = TBorderDrawStyle::brdSolid;
    TColor ButtonColor = clBtnFace;
    TColor BorderColor = clGray;
    int BorderWidth = 0;
    TColor FontColor = clBlack;
    TFontStyles FontStyle = 0;
    bool operator==(const TStyledButtonAttributes&) const = default;
};

// The five sets in the order Normal, Pressed, Selected, Hot, Disabled.
using TStyledButtonStyles = std::array<TStyledButtonAttributes, 5>;
inline TStyledButtonAttributes& StyleOf(TStyledButtonStyles& styles, TStyledButtonState state)
{
    return styles[static_cast<std::size_t>(state)];
}
inline const TStyledButtonAttributes& StyleOf(const TStyledButtonStyles& styles,
                                              TStyledButtonState state)
{
    return styles[static_cast<std::size_t>(state)];
}

class IStyledButtonFamily {
public:
    virtual ~IStyledButtonFamily() = default;
    virtual std::u16string FamilyName() const = 0;
    virtual const std::vector<std::u16string>& ClassNames() const = 0;
    virtual const std::vector<std::u16string>& AppearanceNames() const = 0;
    // The class and appearance used for a name that is not in the lists.
    virtual void DefaultStyle(int ModalResult, std::u16string& StyleClass,
                              std::u16string& StyleAppearance) const = 0;
    virtual void ComputeAttributes(const std::u16string& Family, const std::u16string& StyleClass,
                                   const std::u16string& StyleAppearance,
                                   TStyledButtonAttributes& Normal, TStyledButtonAttributes& Pressed,
                                   TStyledButtonAttributes& Selected, TStyledButtonAttributes& Hot,
                                   TStyledButtonAttributes& Disabled) const = 0;
};

// Appends the family under its FamilyName; the list is made on first use.
void RegisterButtonFamily(std::shared_ptr<IStyledButtonFamily> family);
// The first family registered under that name (ASCII letter case ignored), or null.
std::shared_ptr<IStyledButtonFamily> FindButtonFamily(const std::u16string& name);
// The five sets of a family's class and appearance (a name missing from the family's lists is
// replaced by its default). False, and styles unchanged, when no such family is registered.
bool ComputeButtonStyles(const std::u16string& family, const std::u16string& styleClass,
                         const std::u16string& appearance, TStyledButtonStyles& styles);

// The state a styled button shows: disabled, else pressed (held down by the mouse or the
// key, or a button that is down), else hot (under the mouse), else selected (it has the focus
// and the focus is shown), else normal.
TStyledButtonState ButtonState(bool enabled, bool pressed, bool hot, bool focusShown);

// The set a state is drawn with under high contrast: the family's shape and outline width in
// system colours alone. At rest an outline in window text on the window colour (grey text
// when disabled); pressed, selected (focused) or hot, filled with the highlight colour and
// captioned in highlight text.
TStyledButtonAttributes HighContrastStyle(const TStyledButtonAttributes& family, TStyledButtonState state);

// The colour rules: each channel c becomes c + MulDiv(255 - c, percent, 100); the grey of a
// colour has each channel round(0.299 R + 0.587 G + 0.114 B).
TColor LightenColor(TColor color, int percent);
TColor GreyColor(TColor color);
// a * b / c, rounded to the nearest integer, halves away from zero; -1 when c is 0.
int MulDivRound(int a, int b, int c);
