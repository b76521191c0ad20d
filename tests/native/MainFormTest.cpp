// The program's window as the toolkit makes it from its description: the exact control tree,
// positions after docking, properties, the handlers and messages it passes to the program's
// rules, its dressing at creation, and what the rules' requests do to its controls.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/MainForm.h"
#include "common/Text.h"
#include "common/Translate.h"
#include "support/FakeLocale.h"
#include "support/ResourceFiles.h"
#include "styling/MarveticButtonStyles.h"

namespace {

// What the window tells the program, in order: "handler sender", "activated", "ending".
class TRecordingEvents final : public IMainWindowEvents {
public:
    std::vector<std::u16string> Heard;
    void Handle(const std::u16string& handler, const std::u16string& sender) override
    {
        Heard.push_back(handler + u" " + sender);
    }
    void Activated() override { Heard.push_back(u"activated"); }
    void Ending() override { Heard.push_back(u"ending"); }
};

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseResourceFiles();
        RegisterMarveticButtonStyles();
    }
    void TearDown() override { TranslateShutdown(); }
};
using MainLayoutTest = MainFormTest;

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
    TMainForm form;
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
    TMainForm form;
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

// Which control's click runs which handler, with the control's name as the sender.
TEST_F(MainFormTest, ClicksAndCreationReachTheirHandlersWithTheSendersName)
{
    TMainForm form;
    TRecordingEvents events;
    form.Connect(events);
    form.DoCreate();
    for (TControl* c : {static_cast<TControl*>(form.BtnHome), static_cast<TControl*>(form.BtnConfig),
                        static_cast<TControl*>(form.BtnDonate), static_cast<TControl*>(form.ImgLogo),
                        static_cast<TControl*>(form.BtnStart), static_cast<TControl*>(form.ChkTcpNoDelay),
                        static_cast<TControl*>(form.ChkTCPAckFrequency),
                        static_cast<TControl*>(form.ChkTcpDelAckTick),
                        static_cast<TControl*>(form.ChkNetworkThrottlingIndex),
                        static_cast<TControl*>(form.ChkSystemResponsiveness),
                        static_cast<TControl*>(form.LblTitle), static_cast<TControl*>(form.PnlHead),
                        static_cast<TControl*>(form.Indicator)})
        c->Click();
    EXPECT_EQ(events.Heard, (std::vector<std::u16string>{
                                u"FormCreate FrmTavrino", u"BtnHomeClick BtnHome", u"BtnHomeClick BtnConfig",
                                u"BtnHomeClick BtnDonate", u"BtnHomeClick ImgLogo", u"BtnStartClick BtnStart",
                                u"ChkTcpNoDelayClick ChkTcpNoDelay",
                                u"ChkTCPAckFrequencyClick ChkTCPAckFrequency",
                                u"ChkTcpDelAckTickClick ChkTcpDelAckTick",
                                u"ChkNetworkThrottlingIndexClick ChkNetworkThrottlingIndex",
                                u"ChkSystemResponsivenessClick ChkSystemResponsiveness"}));
    // A user's click toggles the box before its handler runs; the program's own setting
    // runs no handler.
    EXPECT_TRUE(form.ChkTcpNoDelay->Checked());
    events.Heard.clear();
    form.SetChecked(u"ChkTcpNoDelay", false);
    form.SetChecked(u"ChkTcpDelAckTick", false);
    EXPECT_FALSE(form.Checked(u"ChkTcpNoDelay"));
    EXPECT_FALSE(form.Checked(u"ChkTcpDelAckTick"));
    EXPECT_TRUE(events.Heard.empty());
    form.ChkTcpNoDelay->Click();
    EXPECT_EQ(events.Heard, std::vector<std::u16string>{u"ChkTcpNoDelayClick ChkTcpNoDelay"});
}

// WM_ACTIVATE (active or by a click), WM_DESTROY and WM_ENDSESSION that ends the session reach
// the program; deactivation and a session that goes on do not.
TEST_F(MainFormTest, TheWindowsLifeReachesTheProgram)
{
    constexpr std::uint32_t kDestroy = 0x0002, kActivate = 0x0006, kEndSession = 0x0016;
    const struct {
        std::uint32_t Msg;
        std::uintptr_t WParam;
        const char16_t* Heard;  // null: nothing
    } cases[] = {
        {kActivate, 0, nullptr},        {kActivate, 1, u"activated"},      {kActivate, 2, u"activated"},
        {kActivate, 0x10001, u"activated"}, {kEndSession, 0, nullptr}, {kEndSession, 1, u"ending"},
        {kDestroy, 0, u"ending"},       {0x0005 /* WM_SIZE */, 0, nullptr},
    };
    for (const auto& c : cases) {
        TMainForm form;
        TRecordingEvents events;
        form.Connect(events);
        form.Perform(c.Msg, c.WParam, 0);
        EXPECT_EQ(events.Heard, c.Heard ? std::vector<std::u16string>{c.Heard} : std::vector<std::u16string>{})
            << c.Msg << " " << c.WParam;
    }
}

// Dressed at creation: translated captions, the title in its own font, the desktop font, the
// indicator and Donate hidden, the Home page, and the program titled as the window.
TEST_F(MainFormTest, DressingTranslatesAndShapesTheWindow)
{
    struct Case {
        std::u16string Language;
        std::u16string Home, Config, GroupBox2, Run;
    } cases[] = {
        {u"en", u"Home", u"Config", u"Disable Nagle's algorithm", u"Run"},
        {u"ko", u"처음화면", u"환경설정", u"네이글 알고리즘 해제", u"실행하기"},
        {u"ja", u"ホーム", u"設定", u"ネイグルアルゴリズムを無効にする", u"実行する"},
    };
    for (const auto& c : cases) {
        const std::string lang = Utf16ToUtf8(c.Language);
        LoadCatalogue(ReadSourceFile("resources/Translate.txt"), c.Language);
        TMainForm form;
        form.ShowPage(1);
        form.Dress();
        EXPECT_EQ(form.Caption(), u"Tavrino") << lang;
        EXPECT_EQ(Application().Title, u"Tavrino") << lang;
        EXPECT_EQ(form.BtnHome->Caption(), c.Home) << lang;
        EXPECT_EQ(form.BtnConfig->Caption(), c.Config) << lang;
        EXPECT_EQ(form.GroupBox2->Caption(), c.GroupBox2) << lang;
        EXPECT_EQ(form.BtnStart->Caption(), c.Run) << lang;
        EXPECT_EQ(form.ChkTcpNoDelay->Caption(), u"TcpNoDelay") << lang;
        EXPECT_TRUE(form.DesktopFont()) << lang;
        EXPECT_FALSE(form.LblTitle->ParentFont()) << lang;
        EXPECT_EQ(form.LblTitle->Font().Name, u"Tahoma") << lang;
        EXPECT_FALSE(form.Indicator->Visible()) << lang;
        EXPECT_FALSE(form.BtnDonate->Visible()) << lang;
        EXPECT_EQ(form.PnlMain->ActiveCardIndex(), 0) << lang;
        EXPECT_TRUE(form.BtnHome->Down()) << lang;
        TranslateShutdown();
    }
}

// Each look of the Run button: caption, accessible name, enabled, down, the indicator.
TEST_F(MainFormTest, RunButtonLooks)
{
    TMainForm form;
    const struct {
        TRunLook Look;
        const char16_t* Text;
        const char16_t* Caption;
        const char16_t* Name;
        bool Enabled, Down, Busy;
    } cases[] = {
        {TRunLook::Busy, u"Restarting", u"", u"Restarting", false, false, true},
        {TRunLook::Running, u"Running", u"Running", u"", true, true, false},
        {TRunLook::Busy, u"Restarting", u"", u"Restarting", false, false, true},
        {TRunLook::Run, u"Run", u"Run", u"", true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.Text));
        form.ShowRunButton(c.Look, c.Text);
        EXPECT_EQ(form.BtnStart->Caption(), c.Caption);
        EXPECT_EQ(form.BtnStart->AccessibleName(), c.Name);
        EXPECT_EQ(form.BtnStart->Enabled(), c.Enabled);
        EXPECT_EQ(form.BtnStart->Down(), c.Down);
        EXPECT_EQ(form.Indicator->Visible(), c.Busy);
        EXPECT_EQ(form.Indicator->Animate(), c.Busy);
        if (c.Busy) {
            EXPECT_EQ(form.Indicator->AccessibleName(), c.Text);
        }
    }
}

TEST_F(MainFormTest, PagesTextsAndBoxesByName)
{
    TMainForm form;
    for (const int page : {1, 0, 0, 1, 1, 0}) {
        form.ShowPage(page);
        EXPECT_EQ(form.PnlMain->ActiveCardIndex(), page);
        EXPECT_EQ(form.Card1->Visible(), page == 0);
        EXPECT_EQ(form.Card2->Visible(), page == 1);
        EXPECT_EQ(form.BtnHome->Down(), page == 0);
        EXPECT_EQ(form.BtnConfig->Down(), page == 1);
        EXPECT_FALSE(form.BtnDonate->Down());
    }
    form.SetText(u"LblAdapter", u"Wi-Fi");
    form.SetText(u"LblContent", u"<B>x</B>");
    EXPECT_EQ(form.LblAdapter->Caption(), u"Wi-Fi");
    EXPECT_EQ(form.LblContent->Text(), u"<B>x</B>");
    form.SetEnabled(u"ChkSystemResponsiveness", false);
    EXPECT_FALSE(form.ChkSystemResponsiveness->Enabled());
    // A name the window does not have is an error, not a silent no-op.
    EXPECT_THROW(form.SetText(u"LblNothing", u"x"), EAppError);
    EXPECT_THROW(form.SetChecked(u"LblAdapter", true), EAppError);
}

}  // namespace
