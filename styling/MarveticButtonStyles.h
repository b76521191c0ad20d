// The maker's button style family "Marvetic": one class ("Primary"), three appearances
// ("Normal", "Header", "Outline") built around the accent colour #3D84DD, registered with the
// toolkit before the main window exists. Also FitLabelFont, the rule by which a label's font
// shrinks until its caption fits the label's width.
#pragma once

#include <vector>

#include "toolkit/ButtonStyles.h"

inline constexpr TColor kAccentColor = RGBColor(0x3D, 0x84, 0xDD);

class TMarveticButtonStyles final : public IStyledButtonFamily {
public:
    std::u16string FamilyName() const override;
    const std::vector<std::u16string>& ClassNames() const override;
    const std::vector<std::u16string>& AppearanceNames() const override;
    void DefaultStyle(int ModalResult, std::u16string& StyleClass,
                      std::u16string& StyleAppearance) const override;
    void ComputeAttributes(const std::u16string& Family, const std::u16string& StyleClass,
                           const std::u16string& StyleAppearance, TStyledButtonAttributes& Normal,
                           TStyledButtonAttributes& Pressed, TStyledButtonAttributes& Selected,
                           TStyledButtonAttributes& Hot,
                           TStyledButtonAttributes& Disabled) const override;
};

// The unit's start-up step: builds the name lists and registers one family object. Runs once
// however often it is called; the program entry calls it before it creates the window.
void RegisterMarveticButtonStyles();

// The point size for a label's font: one pass, when the caption (textWidth, measured in the
// label's font at points) is wider than the label, points * label width / text width
// (truncated), at least 6; else points.
int FitLabelFont(int points, int labelWidth, int textWidth);
