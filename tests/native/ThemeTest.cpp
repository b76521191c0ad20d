// The accent frame: the owner check, the strip docked above everything at the top, its
// colours on activation, its visibility by border, and the hook of the form's messages.
#include <gtest/gtest.h>

#include "common/Error.h"
#include "styling/Theme.h"
#include "toolkit/Forms.h"
#include "toolkit/StdControls.h"

namespace {

// A form of 498 x 426 with a header docked at the top and a page filling the rest, and a
// message handler that records what reaches it.
class ThemeTest : public ::testing::Test {
protected:
    ThemeTest()
    {
        form.SetClientSize(498, 426);
        form.SetBorderStyle(TFormBorderStyle::bsSingle);
        page = new TPanel(&form);
        page->SetParent(&form);
        page->SetAlign(TAlign::alClient);
        head = new TPanel(&form);
        head->SetBounds(0, 0, 498, 50);
        head->SetParent(&form);
        head->SetAlign(TAlign::alTop);
        form.WindowProc = [this](TMessage& m) {
            Seen.push_back(m.Msg);
            m.Result = 40 + static_cast<std::intptr_t>(m.Msg);
        };
    }
    TForm form{nullptr};
    TPanel* page;
    TPanel* head;
    std::vector<std::uint32_t> Seen;
};

TEST_F(ThemeTest, OwnerThatIsNotAFormIsRefusedAndLeftUnchanged)
{
    TPanel panel(nullptr);
    try {
        CreateThemeHelper(&panel);
        FAIL() << "no error";
    } catch (const EAppError& e) {
        EXPECT_EQ(e.Message(), u"TThemeHelper Owner must be a TForm");
    }
    EXPECT_TRUE(panel.Components().empty());
    EXPECT_THROW(CreateThemeHelper(nullptr), EAppError);
}

TEST_F(ThemeTest, StripTakesTheTopTwoPixelsAboveEverythingDockedThere)
{
    const std::size_t before = form.Components().size();
    TThemeHelper* helper = CreateThemeHelper(&form);
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(helper->Owner(), &form);
    TShape* strip = helper->Shape();
    EXPECT_EQ(strip->Owner(), &form);
    EXPECT_EQ(strip->Parent(), &form);
    EXPECT_EQ(form.Components().size(), before + 2);
    EXPECT_EQ(strip->BoundsRect(), (TRect{0, 0, 498, 2}));
    EXPECT_EQ(strip->Align(), TAlign::alTop);
    EXPECT_EQ(head->BoundsRect(), (TRect{0, 2, 498, 50}));
    EXPECT_EQ(page->BoundsRect(), (TRect{0, 52, 498, 374}));
    EXPECT_EQ(strip->BrushColor(), RGBColor(0x3D, 0x84, 0xDD));
    EXPECT_EQ(strip->PenColor(), strip->BrushColor());
    EXPECT_TRUE(strip->Visible());
    EXPECT_TRUE(helper->IsActive());
    EXPECT_TRUE(form.DarkTitleBarRequested());
}

TEST_F(ThemeTest, ActivationSetsTheColourFromTheLowWordOfWParam)
{
    TShape* strip = CreateThemeHelper(&form)->Shape();
    const TColor accent = RGBColor(0x3D, 0x84, 0xDD);
    struct Case {
        std::uintptr_t WParam;
        TColor Want;
    };
    const Case cases[] = {{0, clGrayText},        {1, accent},     {0, clGrayText}, {2, accent},
                          {0x10000, clGrayText},  {0x10001, accent}, {0, clGrayText}, {1, accent}};
    for (const Case& c : cases) {
        form.Perform(WM_ACTIVATE_, c.WParam, 0);
        EXPECT_EQ(strip->BrushColor(), c.Want) << c.WParam;
        EXPECT_EQ(strip->PenColor(), c.Want) << c.WParam;
    }
}

TEST_F(ThemeTest, EveryMessageReachesTheHandlerBeforeWithItsResult)
{
    CreateThemeHelper(&form);
    EXPECT_EQ(form.Perform(WM_ACTIVATE_, 0, 0), 40 + 6);
    EXPECT_EQ(form.Perform(WM_SIZE_, 0, 0), 40 + 5);
    EXPECT_EQ(form.Perform(0x0F, 0, 0), 40 + 0x0F);
    EXPECT_EQ(Seen, (std::vector<std::uint32_t>{6, 5, 0x0F}));
}

TEST_F(ThemeTest, StripShowsOnlyWithABorderCheckedOnSizeAndActivation)
{
    TShape* strip = CreateThemeHelper(&form)->Shape();
    form.SetBorderStyle(TFormBorderStyle::bsNone);
    EXPECT_TRUE(strip->Visible());  // not re-checked until a message comes
    form.Perform(WM_SIZE_, 0, 0);
    EXPECT_FALSE(strip->Visible());
    EXPECT_EQ(head->Top(), 0);
    form.SetBorderStyle(TFormBorderStyle::bsSizeable);
    form.Perform(WM_ACTIVATE_, 1, 0);
    EXPECT_TRUE(strip->Visible());
    EXPECT_EQ(head->Top(), 2);

    TForm bare(nullptr);
    bare.SetBorderStyle(TFormBorderStyle::bsNone);
    EXPECT_FALSE(CreateThemeHelper(&bare)->Shape()->Visible());
}

TEST_F(ThemeTest, ResizingKeepsTheStripTwoPixelsHighAndAsWideAsTheClientArea)
{
    TShape* strip = CreateThemeHelper(&form)->Shape();
    form.SetClientSize(640, 300);
    form.Perform(WM_SIZE_, 0, 0);
    EXPECT_EQ(strip->BoundsRect(), (TRect{0, 0, 640, 2}));
    EXPECT_EQ(page->BoundsRect(), (TRect{0, 52, 640, 248}));
}

TEST_F(ThemeTest, DestroyingTheHelperPutsBackTheHandlerAndLeavesTheStrip)
{
    TThemeHelper* helper = CreateThemeHelper(&form);
    TShape* strip = helper->Shape();
    form.Perform(WM_ACTIVATE_, 0, 0);
    delete helper;
    Seen.clear();
    EXPECT_EQ(form.Perform(WM_ACTIVATE_, 1, 0), 46);
    EXPECT_EQ(Seen, std::vector<std::uint32_t>{6});
    EXPECT_EQ(strip->Parent(), &form);
    EXPECT_EQ(strip->BrushColor(), clGrayText);  // its last colour
}

}  // namespace
