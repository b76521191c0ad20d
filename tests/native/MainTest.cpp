// The main window read from its description: the exact control tree, positions after docking,
// properties and wiring, and the header's navigation handler.
#include <gtest/gtest.h>

#include "BuildConfig.h"
#include "app/Main.h"
#include "support/PlatformDoubles.h"
#include "support/ResourceFiles.h"
#include "styling/MarveticButtonStyles.h"

namespace {

class MainLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseResourceFiles();
        RegisterMarveticButtonStyles();
    }
    TPlatformDoubles Doubles;
    TPlatform& Platform = Doubles.Platform;
    TFakeShell& Shell = Doubles.Shell;
};

struct ExpectedControl {
    const char16_t* Name;
    const char16_t* Parent;
    TRect Bounds;
    const char16_t* Caption;
};

// The tree in the description's order, with positions after docking and layout.
const ExpectedControl kTree[] = {
    {u"PnlMain", u"FrmTavrino", {0, 50, 498, 376}, u""},
    {u"Card1", u"PnlMain", {0, 0, 498, 376}, u""},
    {u"LblTitle", u"Card1", {8, 40, 484, 81}, u"Tavrino"},
    {u"LblContent", u"Card1", {0, 188, 500, 33}, u""},
    {u"BtnStart", u"Card1", {176, 264, 162, 68}, u"실행하기"},
    {u"Indicator", u"Card1", {241, 282, 32, 32}, u""},
    {u"Card2", u"PnlMain", {0, 0, 498, 376}, u""},
    {u"LblVersion", u"Card2", {15, 344, 100, 15}, u"Loadiing..."},
    {u"GroupBox1", u"Card2", {15, 6, 474, 67}, u"네트워크 아답터 정보"},
    {u"LblAdapter", u"GroupBox1", {17, 32, 304, 15}, u"..."},
    {u"LblIPAddress", u"GroupBox1", {344, 32, 109, 15}, u"..."},
    {u"GroupBox2", u"Card2", {15, 87, 474, 98}, u"네이글 알고리즘 해제"},
    {u"ChkTcpNoDelay", u"GroupBox2", {17, 64, 200, 17}, u"TcpNoDelay"},
    {u"ChkTCPAckFrequency", u"GroupBox2", {17, 32, 200, 17}, u"TcpAckFrequency"},
    {u"ChkTcpDelAckTick", u"GroupBox2", {243, 32, 200, 17}, u"TcpDelAckTick"},
    {u"GroupBox3", u"Card2", {15, 199, 474, 66}, u"네트워크 쓰로틀링"},
    {u"ChkNetworkThrottlingIndex", u"GroupBox3", {17, 32, 200, 17}, u"NetworkThrottlingIndex"},
    {u"ChkSystemResponsiveness", u"GroupBox3", {243, 32, 200, 17}, u"SystemResponsiveness"},
    {u"PnlHead", u"FrmTavrino", {0, 0, 498, 50}, u""},
    {u"BtnHead", u"PnlHead", {10, 10, 358, 30}, u""},
    {u"BtnHome", u"BtnHead", {10, 0, 70, 30}, u"처음화면"},
    {u"BtnConfig", u"BtnHead", {80, 0, 70, 30}, u"환경설정"},
    {u"BtnDonate", u"BtnHead", {150, 0, 70, 30}, u"후원하기"},
    {u"PnlLogo", u"PnlHead", {378, 0, 120, 50}, u""},
    {u"ImgLogo", u"PnlLogo", {3, 0, 112, 50}, u""},
};

TEST_F(MainLayoutTest, DescriptionGivesTheExactTreeInItsOrder)
{
    TFrmTavrino form(Platform);
    EXPECT_EQ(form.Name(), u"FrmTavrino");
    ASSERT_EQ(form.Components().size(), std::size(kTree));
    for (std::size_t i = 0; i < std::size(kTree); ++i) {
        const ExpectedControl& want = kTree[i];
        SCOPED_TRACE(Utf16ToUtf8(want.Name));
        TControl* c = form.Components()[i]->AsControl();
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->Name(), want.Name);
        ASSERT_NE(c->Parent(), nullptr);
        EXPECT_EQ(c->Parent()->Name(), want.Parent);
        EXPECT_EQ(c->BoundsRect(), want.Bounds);
        EXPECT_EQ(c->Caption(), want.Caption);
        EXPECT_EQ(c->Owner(), &form);
    }
}

TEST_F(MainLayoutTest, WindowAndControlProperties)
{
    TFrmTavrino form(Platform);
    EXPECT_EQ(form.ClientWidth(), 498);
    EXPECT_EQ(form.ClientHeight(), 426);
    EXPECT_EQ(form.BorderStyle(), TFormBorderStyle::bsSingle);
    EXPECT_EQ(form.BorderIcons(), unsigned(biSystemMenu | biMinimize));
    EXPECT_EQ(form.Position(), TPosition::poScreenCenter);
    EXPECT_EQ(form.Color(), clWhite);
    EXPECT_EQ(form.Caption(), u"Tavrino");
    EXPECT_EQ(form.Font().Name, u"Segoe UI");
    EXPECT_EQ(form.Font().Height, 12);
    EXPECT_TRUE(form.OnCreate);

    EXPECT_EQ(form.PnlMain->ActiveCardIndex(), 0);
    EXPECT_TRUE(form.Card1->Visible());
    EXPECT_FALSE(form.Card2->Visible());

    EXPECT_FALSE(form.LblTitle->ParentFont());
    EXPECT_EQ(form.LblTitle->Font().Name, u"Tahoma");
    EXPECT_EQ(form.LblTitle->Font().Height, 59);
    EXPECT_TRUE(form.LblTitle->Font().Antialiased);
    EXPECT_EQ(form.LblTitle->Alignment(), TAlignment::taCenter);
    EXPECT_TRUE(form.LblAdapter->ParentFont());
    EXPECT_EQ(form.LblAdapter->Font().Name, u"Segoe UI");

    EXPECT_EQ(form.BtnStart->Look().Family, u"Marvetic");
    EXPECT_EQ(form.BtnStart->Look().Appearance, u"Outline");
    EXPECT_TRUE(form.BtnStart->Default());
    EXPECT_FALSE(form.BtnStart->Down());
    EXPECT_EQ(form.BtnHead->Look().Appearance, u"Header");
    EXPECT_EQ(form.BtnHead->Look().Radius, 4);
    EXPECT_TRUE(form.BtnHome->Down());
    EXPECT_FALSE(form.BtnConfig->Down());

    EXPECT_EQ(form.Indicator->FrameDelay(), 50);
    EXPECT_EQ(form.Indicator->DotColor(), clBlack);
    EXPECT_FALSE(form.Indicator->Animate());

    EXPECT_EQ(form.ImgLogo->Cursor(), TCursor::crHandPoint);
    EXPECT_EQ(form.ImgLogo->AccessibleName(), u"Marvetic");  // a link named for the maker's page
    EXPECT_FALSE(form.ImgLogo->Document().Empty());

    for (TCheckBox* box : {form.ChkTcpNoDelay, form.ChkTCPAckFrequency, form.ChkTcpDelAckTick,
                           form.ChkNetworkThrottlingIndex, form.ChkSystemResponsiveness}) {
        SCOPED_TRACE(Utf16ToUtf8(box->Name()));
        EXPECT_FALSE(box->Checked());
        EXPECT_TRUE(box->Enabled());
        EXPECT_FALSE(box->TabStop());
    }
}

// Which control's click runs which handler: checked by what each handler does.
TEST_F(MainLayoutTest, ClickEventsAreWiredToTheirHandlers)
{
    TFrmTavrino form(Platform);
    for (TControl* c : {static_cast<TControl*>(form.BtnHome), static_cast<TControl*>(form.BtnConfig),
                        static_cast<TControl*>(form.BtnDonate), static_cast<TControl*>(form.ImgLogo),
                        static_cast<TControl*>(form.BtnStart), static_cast<TControl*>(form.ChkTcpNoDelay),
                        static_cast<TControl*>(form.ChkTCPAckFrequency),
                        static_cast<TControl*>(form.ChkTcpDelAckTick),
                        static_cast<TControl*>(form.ChkNetworkThrottlingIndex),
                        static_cast<TControl*>(form.ChkSystemResponsiveness)})
        EXPECT_TRUE(c->OnClick) << Utf16ToUtf8(c->Name());
    for (TControl* c : {static_cast<TControl*>(form.LblTitle), static_cast<TControl*>(form.PnlHead),
                        static_cast<TControl*>(form.Indicator)})
        EXPECT_FALSE(c->OnClick) << Utf16ToUtf8(c->Name());

    form.BtnConfig->Click();
    EXPECT_EQ(form.PnlMain->ActiveCardIndex(), 1);
    form.ImgLogo->Click();
    form.BtnDonate->Click();
    EXPECT_EQ(Shell.Opened, (std::vector<std::u16string>{std::u16string(kLinkBase) + u"/tavrino",
                                                         std::u16string(kLinkBase) + u"/donate?tavrino"}));
}

TEST_F(MainLayoutTest, ConfigThenHomeSwitchPagesWithExactlyOneButtonDown)
{
    TFrmTavrino form(Platform);
    struct Step {
        TStyledToolButton* Clicked;
        int Page;
    };
    const Step steps[] = {{form.BtnConfig, 1}, {form.BtnHome, 0}, {form.BtnHome, 0},
                          {form.BtnConfig, 1}, {form.BtnConfig, 1}, {form.BtnHome, 0}};
    for (const Step& step : steps) {
        form.BtnHomeClick(step.Clicked);
        EXPECT_EQ(form.PnlMain->ActiveCardIndex(), step.Page);
        EXPECT_EQ(form.Card1->Visible(), step.Page == 0);
        EXPECT_EQ(form.Card2->Visible(), step.Page == 1);
        EXPECT_TRUE(step.Clicked->Down());
        EXPECT_NE(form.BtnHome->Down(), form.BtnConfig->Down());
        EXPECT_FALSE(form.BtnDonate->Down());
    }
    EXPECT_TRUE(Shell.Opened.empty());
}

TEST_F(MainLayoutTest, LinksOpenWithoutChangingPageOrButtons)
{
    TFrmTavrino form(Platform);
    form.BtnHomeClick(form.BtnConfig);
    form.BtnHomeClick(form.ImgLogo);
    form.BtnHomeClick(form.BtnDonate);
    EXPECT_EQ(form.PnlMain->ActiveCardIndex(), 1);
    EXPECT_TRUE(form.BtnConfig->Down());
    EXPECT_FALSE(form.BtnHome->Down());
    EXPECT_FALSE(form.BtnDonate->Down());
    EXPECT_EQ(Shell.Opened, (std::vector<std::u16string>{std::u16string(kLinkBase) + u"/tavrino",
                                                         std::u16string(kLinkBase) + u"/donate?tavrino"}));
}

// The sender is told apart by its component name alone, in any letter case.
TEST_F(MainLayoutTest, SenderIsRoutedByItsNameIgnoringCase)
{
    TFrmTavrino form(Platform);
    struct Case {
        const char16_t* Name;
        int Page;       // page after the click
        const char16_t* Opened;  // address path opened, or null
    };
    const Case cases[] = {
        {u"BTNCONFIG", 1, nullptr}, {u"btnhome", 0, nullptr}, {u"imglogo", 0, u"/tavrino"},
        {u"BtnDONATE", 0, u"/donate?tavrino"}, {u"BtnStart", 0, nullptr}, {u"", 0, nullptr},
        {u"BtnHomeX", 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.Name));
        TStyledToolButton sender(nullptr);
        sender.SetName(c.Name);
        Shell.Opened.clear();
        form.BtnHomeClick(&sender);
        EXPECT_EQ(form.PnlMain->ActiveCardIndex(), c.Page);
        if (c.Opened)
            EXPECT_EQ(Shell.Opened, std::vector<std::u16string>{std::u16string(kLinkBase) + c.Opened});
        else
            EXPECT_TRUE(Shell.Opened.empty());
    }
    form.BtnHomeClick(nullptr);
    EXPECT_EQ(form.PnlMain->ActiveCardIndex(), 0);
}

}  // namespace
