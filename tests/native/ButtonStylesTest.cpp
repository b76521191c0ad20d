// The button style family registry and its rules: which of the five sets a state is drawn
// with, the rounding of the colour rules, and families found by name.
#include <gtest/gtest.h>

#include <memory>

#include "toolkit/ButtonStyles.h"

namespace {

using A = TStyledButtonAttributes;

// Which of the five sets a button is drawn with: each condition outranks those after it.
TEST(ButtonStylesTest, ButtonStateRanksDisabledPressedHotThenFocus)
{
    using S = TStyledButtonState;
    struct Case {
        bool Enabled, Pressed, Hot, Focus;
        S Expected;
    } cases[] = {
        {true, false, false, false, S::bsmNormal},
        {true, false, false, true, S::bsmSelected},
        {true, false, true, true, S::bsmHot},
        {true, true, true, true, S::bsmPressed},
        {true, true, false, false, S::bsmPressed},
        {false, true, true, true, S::bsmDisabled},
        {false, false, false, false, S::bsmDisabled},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ButtonState(c.Enabled, c.Pressed, c.Hot, c.Focus), c.Expected)
            << c.Enabled << c.Pressed << c.Hot << c.Focus;
}

TEST(ButtonStylesTest, MulDivRoundsHalvesAwayFromZero)
{
    struct Case {
        int A, B, C, Want;
    };
    const Case cases[] = {{255, 50, 100, 128},  {127, 50, 100, 64}, {194, 10, 100, 19},
                          {-255, 50, 100, -128}, {255, -50, 100, -128}, {255, 50, -100, -128},
                          {3, 1, 2, 2},          {-3, 1, 2, -2},    {1, 1, 3, 0},
                          {7, 0, 5, 0},          {5, 5, 0, -1},     {2000000000, 3, 4, 1500000000}};
    for (const Case& c : cases) EXPECT_EQ(MulDivRound(c.A, c.B, c.C), c.Want) << c.A << "*" << c.B << "/" << c.C;
}

// A family for the registry tests: answers with its own marker colour.
class TMarkerFamily final : public IStyledButtonFamily {
public:
    TMarkerFamily(std::u16string name, TColor marker) : FName(std::move(name)), FMarker(marker) {}
    std::u16string FamilyName() const override { return FName; }
    const std::vector<std::u16string>& ClassNames() const override { return FClasses; }
    const std::vector<std::u16string>& AppearanceNames() const override { return FLooks; }
    void DefaultStyle(int, std::u16string& cls, std::u16string& look) const override
    {
        cls = u"Base";
        look = u"Plain";
    }
    void ComputeAttributes(const std::u16string&, const std::u16string& cls, const std::u16string& look,
                           A& normal, A& pressed, A& selected, A& hot, A& disabled) const override
    {
        LastClass = cls;
        LastLook = look;
        normal = A();
        normal.ButtonColor = FMarker;
        pressed = selected = hot = disabled = normal;
    }
    mutable std::u16string LastClass, LastLook;

private:
    std::u16string FName;
    TColor FMarker;
    std::vector<std::u16string> FClasses{u"Base", u"Extra"};
    std::vector<std::u16string> FLooks{u"Plain", u"Fancy"};
};

TEST(ButtonStylesTest, RegistryFindsFamiliesByNameFirstMatchWins)
{
    auto first = std::make_shared<TMarkerFamily>(u"RegTestFamily", RGBColor(0x01, 0x01, 0x01));
    auto second = std::make_shared<TMarkerFamily>(u"regtestfamily", RGBColor(0x02, 0x02, 0x02));
    RegisterButtonFamily(first);
    RegisterButtonFamily(second);
    EXPECT_EQ(FindButtonFamily(u"REGTESTFAMILY"), first);
    EXPECT_EQ(FindButtonFamily(u"RegTestFamily2"), nullptr);

    TStyledButtonStyles styles;
    ASSERT_TRUE(ComputeButtonStyles(u"regTESTfamily", u"Extra", u"Fancy", styles));
    EXPECT_EQ(styles[4].ButtonColor, RGBColor(0x01, 0x01, 0x01));
    EXPECT_EQ(first->LastClass, u"Extra");
    EXPECT_EQ(first->LastLook, u"Fancy");

    // Names outside the family's lists are replaced by its defaults before it is asked.
    ASSERT_TRUE(ComputeButtonStyles(u"RegTestFamily", u"Nope", u"Nope", styles));
    EXPECT_EQ(first->LastClass, u"Base");
    EXPECT_EQ(first->LastLook, u"Plain");

    TStyledButtonStyles untouched;
    untouched[0].ButtonColor = RGBColor(0xAB, 0xCD, 0xEF);
    EXPECT_FALSE(ComputeButtonStyles(u"NoSuchFamily", u"Base", u"Plain", untouched));
    EXPECT_EQ(untouched[0].ButtonColor, RGBColor(0xAB, 0xCD, 0xEF));
}

}  // namespace
