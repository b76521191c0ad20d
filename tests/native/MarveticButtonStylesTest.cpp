// The button style family "Marvetic": every state of every appearance against the family's
// tables, the colour rules its derived colours come from, its registration, high contrast over
// its sets, and FitLabelFont.
#include <gtest/gtest.h>

#include <memory>

#include "styling/MarveticButtonStyles.h"
#include "common/Text.h"
#include "toolkit/ButtonStyles.h"

namespace {

using A = TStyledButtonAttributes;
constexpr TColor C(std::uint32_t rgb)
{
    return RGBColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
constexpr auto Solid = TButtonDrawStyle::btnSolid;
constexpr auto Clear = TButtonDrawStyle::btnClear;
constexpr auto Border = TBorderDrawStyle::brdSolid;
constexpr auto NoBorder = TBorderDrawStyle::brdClear;

A Set(TButtonDrawStyle fill, TBorderDrawStyle border, std::uint32_t button, std::uint32_t borderColor,
      std::uint32_t font)
{
    A a;
    a.DrawType = TButtonDrawType::btRoundRect;
    a.ButtonDrawStyle = fill;
    a.BorderDrawStyle = border;
    a.ButtonColor = C(button);
    a.BorderColor = C(borderColor);
    a.BorderWidth = 0;
    a.FontColor = C(font);
    a.FontStyle = 0;
    return a;
}

struct AppearanceCase {
    const char16_t* Appearance;
    TStyledButtonStyles Expected;  // Normal, Pressed, Selected, Hot, Disabled
};

// Written out from the family's tables A and B, every attribute of every state.
TStyledButtonStyles NormalSets()
{
    return {Set(Solid, Border, 0x3D84DD, 0x3D84DD, 0xFFFFFF), Set(Solid, Border, 0x3D84DD, 0x3D84DD, 0xFFFFFF),
            Set(Solid, Border, 0x3D84DD, 0x3D84DD, 0xFFFFFF), Set(Solid, Border, 0x5090E0, 0x3D84DD, 0xFFFFFF),
            Set(Solid, Border, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0)};
}
TStyledButtonStyles HeaderSets()
{
    return {Set(Clear, Border, 0xFFFFFF, 0x000000, 0x000000), Set(Solid, NoBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF),
            Set(Solid, NoBorder, 0x5090E0, 0x3D84DD, 0xFFFFFF), Set(Solid, NoBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF),
            Set(Clear, Border, 0xFFFFFF, 0xBCBCBC, 0x808080)};
}
TStyledButtonStyles OutlineSets()
{
    return {Set(Clear, Border, 0x3D84DD, 0x3D84DD, 0x000000), Set(Solid, Border, 0x3D84DD, 0x3D84DD, 0xFFFFFF),
            Set(Solid, Border, 0x5090E0, 0x3D84DD, 0xFFFFFF), Set(Solid, Border, 0x5090E0, 0x3D84DD, 0xFFFFFF),
            Set(Clear, Border, 0x3D84DD, 0xD7D7D7, 0xB3B3B3)};
}

TStyledButtonStyles Compute(const std::u16string& family, const std::u16string& cls, const std::u16string& look)
{
    TMarveticButtonStyles styles;
    TStyledButtonStyles out;
    // Sets handed in dirty: every attribute must be filled, none left over.
    for (A& a : out) {
        a.DrawType = TButtonDrawType::btEllipse;
        a.BorderWidth = 7;
        a.FontStyle = fsBold | fsItalic;
        a.ButtonColor = C(0x123456);
    }
    styles.ComputeAttributes(family, cls, look, out[0], out[1], out[2], out[3], out[4]);
    return out;
}

const char* const kStateNames[] = {"Normal", "Pressed", "Selected", "Hot", "Disabled"};

TEST(MarveticButtonStylesTest, EveryStateOfEveryAppearanceMatchesTheTables)
{
    const AppearanceCase cases[] = {
        {u"Normal", NormalSets()},   {u"normal", NormalSets()},  {u"Header", HeaderSets()},
        {u"HEADER", HeaderSets()},   {u"hEaDeR", HeaderSets()},  {u"Outline", OutlineSets()},
        {u"outline", OutlineSets()}, {u"OUTLINE", OutlineSets()}, {u"oUtLiNe", OutlineSets()},
        {u"Unknown", NormalSets()},  {u"", NormalSets()},         {u"Outline ", NormalSets()},
    };
    for (const AppearanceCase& c : cases) {
        const TStyledButtonStyles got = Compute(u"Marvetic", u"Primary", c.Appearance);
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(got[i], c.Expected[i]) << Utf16ToUtf8(c.Appearance) << " " << kStateNames[i];
    }
}

TEST(MarveticButtonStylesTest, FamilyAndClassNamesDoNotChangeTheResult)
{
    for (const char16_t* look : {u"Normal", u"Header", u"Outline"}) {
        const auto reference = Compute(u"Marvetic", u"Primary", look);
        EXPECT_EQ(Compute(u"Other", u"Primary", look), reference);
        EXPECT_EQ(Compute(u"Marvetic", u"Secondary", look), reference);
        EXPECT_EQ(Compute(u"", u"", look), reference);
    }
}

TEST(MarveticButtonStylesTest, NamesAndDefaults)
{
    TMarveticButtonStyles styles;
    EXPECT_EQ(styles.FamilyName(), u"Marvetic");
    EXPECT_EQ(styles.ClassNames(), std::vector<std::u16string>{u"Primary"});
    EXPECT_EQ(styles.AppearanceNames(), (std::vector<std::u16string>{u"Normal", u"Header", u"Outline"}));
    for (int result : {0, 1, 2, 7}) {
        std::u16string cls = u"x", look = u"y";
        styles.DefaultStyle(result, cls, look);
        EXPECT_EQ(cls, u"Primary");
        EXPECT_EQ(look, u"Normal");
    }
}

TEST(MarveticButtonStylesTest, ColourRulesGiveTheFamilysDerivedColours)
{
    const TColor accent = C(0x3D84DD);
    EXPECT_EQ(LightenColor(accent, 10), C(0x5090E0));
    EXPECT_EQ(GreyColor(LightenColor(accent, 50)), C(0xBCBCBC));
    EXPECT_EQ(GreyColor(LightenColor(clBlack, 50)), C(0x808080));
    EXPECT_EQ(GreyColor(LightenColor(accent, 70)), C(0xD7D7D7));
    EXPECT_EQ(GreyColor(LightenColor(clBlack, 70)), C(0xB3B3B3));
    EXPECT_EQ(LightenColor(clWhite, 40), clWhite);
    EXPECT_EQ(LightenColor(accent, 0), accent);
    EXPECT_EQ(LightenColor(accent, 100), clWhite);
    EXPECT_EQ(GreyColor(clWhite), clWhite);
}

TEST(MarveticButtonStylesTest, HighContrastDrawsEveryStateInSystemColoursKeepingShapeAndWidth)
{
    struct Case {
        TStyledButtonState State;
        TButtonDrawStyle Fill;
        TColor Button, Border, Font;
    } cases[] = {
        {TStyledButtonState::bsmNormal, TButtonDrawStyle::btnClear, clWindow, clWindowText, clWindowText},
        {TStyledButtonState::bsmDisabled, TButtonDrawStyle::btnClear, clWindow, clGrayText, clGrayText},
        {TStyledButtonState::bsmPressed, TButtonDrawStyle::btnSolid, clHighlight, clHighlight, clHighlightText},
        {TStyledButtonState::bsmSelected, TButtonDrawStyle::btnSolid, clHighlight, clHighlight, clHighlightText},
        {TStyledButtonState::bsmHot, TButtonDrawStyle::btnSolid, clHighlight, clHighlight, clHighlightText},
    };
    for (const char16_t* look : {u"Normal", u"Header", u"Outline"}) {
        TStyledButtonStyles sets = Compute(u"Marvetic", u"Primary", look);
        for (auto& set : sets) set.BorderWidth = 2;  // kept as the family gives it
        for (const Case& c : cases) {
            const A& family = StyleOf(sets, c.State);
            const A got = HighContrastStyle(family, c.State);
            const std::string where = Utf16ToUtf8(look) + " " + kStateNames[static_cast<int>(c.State)];
            EXPECT_EQ(got.ButtonDrawStyle, c.Fill) << where;
            EXPECT_EQ(got.ButtonColor, c.Button) << where;
            EXPECT_EQ(got.BorderColor, c.Border) << where;
            EXPECT_EQ(got.FontColor, c.Font) << where;
            // The header's pressed set has no outline; under high contrast every state has one.
            EXPECT_EQ(got.BorderDrawStyle, TBorderDrawStyle::brdSolid) << where;
            EXPECT_EQ(got.DrawType, family.DrawType) << where;
            EXPECT_EQ(got.BorderWidth, 2) << where;
            EXPECT_EQ(got.FontStyle, family.FontStyle) << where;
            for (TColor color : {got.ButtonColor, got.BorderColor, got.FontColor})
                EXPECT_TRUE(IsSystemColor(color)) << where;
        }
    }
}

TEST(MarveticButtonStylesTest, MarveticRegistersOnceAndStyledButtonsFindIt)
{
    RegisterMarveticButtonStyles();
    RegisterMarveticButtonStyles();
    const auto family = FindButtonFamily(u"marvetic");
    ASSERT_NE(family, nullptr);
    EXPECT_EQ(family->FamilyName(), u"Marvetic");

    TStyledButtonStyles styles;
    ASSERT_TRUE(ComputeButtonStyles(u"Marvetic", u"Primary", u"Outline", styles));
    EXPECT_EQ(styles, OutlineSets());
    ASSERT_TRUE(ComputeButtonStyles(u"marvetic", u"NoClass", u"Header", styles));
    EXPECT_EQ(styles, HeaderSets());
}

TEST(FitLabelFontTest, ShrinksByTheRatioOfWidthsTruncatedWithAFloorOfSix)
{
    struct Case {
        int Width, TextWidth, Points, Want;
    };
    const Case cases[] = {
        {484, 600, 44, 35},   // 44 * 484 / 600 = 35.49
        {484, 484, 44, 44},   // fits exactly: unchanged
        {484, 300, 44, 44},   // fits: unchanged
        {100, 1000, 44, 6},   // 4.4 is raised to the floor
        {100, 700, 44, 6},    // 6.28 truncates to 6
        {100, 5000, 9, 6},
        {300, 301, 44, 43},   // just too wide: 43.85 truncates
        {10, 20, 4, 6},       // a font already below the floor is raised to it
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitLabelFont(c.Points, c.Width, c.TextWidth), c.Want) << c.Width << " " << c.TextWidth;
}

TEST(FitLabelFontTest, TheTitlesHeightIs44Points)
{
    TFont title;
    title.Height = 59;  // the title's character height in the window description
    EXPECT_EQ(title.Size(), 44);
    title.SetSize(35);
    EXPECT_EQ(title.Height, 47);
}

}  // namespace
