// What screen readers are told of each kind of control: name (the accessible name over the
// caption, markup without its tags), role and state (pressed, checked, unavailable, hidden,
// focusable, linked, animated), and what the main window's controls say.
#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "common/Text.h"
#include "support/ResourceFiles.h"
#include "toolkit/Accessibility.h"
#include "toolkit/Forms.h"
#include "toolkit/StdControls.h"
#include "toolkit/StyledButtons.h"

namespace {

using R = TAccessibleRole;

TEST(AccessibilityTest, EachKindOfControlGetsItsRoleNameAndState)
{
    TForm form(nullptr);
    auto* page = new TPanel(&form);
    page->SetParent(&form);
    auto add = [page](TControl* c, const char16_t* caption) {
        c->SetParent(page);
        c->SetCaption(caption);
        return c;
    };
    auto* run = static_cast<TStyledButton*>(add(new TStyledButton(&form), u"Run"));
    auto* bar = new TStyledToolBar(&form);
    bar->SetParent(page);
    auto* home = new TStyledToolButton(&form);
    home->SetParent(bar);
    home->SetCaption(u"Home");
    home->SetDown(true);
    auto* box = static_cast<TCheckBox*>(add(new TCheckBox(&form), u"TcpNoDelay"));
    box->SetTabStop(false);
    box->SetChecked(true);
    auto* label = add(new TLabel(&form), u"Version: 1.5.6.0");
    auto* markup = static_cast<TMarkupLabel*>(add(new TMarkupLabel(&form), u""));
    markup->SetText(u"<C><FC:clGray>Easily improve <B>game responsiveness</B>.</FC></C>");
    auto* logo = add(new TSvgImage(&form), u"");
    logo->OnClick = [](TComponent*) {};
    logo->SetAccessibleName(u"Marvetic");
    auto* picture = add(new TSvgImage(&form), u"");
    auto* busy = static_cast<TActivityIndicator*>(add(new TActivityIndicator(&form), u""));
    busy->SetAnimate(true);
    busy->SetAccessibleName(u"Working");
    auto* group = add(new TGroupBox(&form), u"Network Adapter");

    struct Case {
        const char* What;
        const TControl* Control;
        TAccessibleInfo Expected;
    } cases[] = {
        {"push button", run, {u"Run", R::PushButton, asFocusable}},
        {"tool button down", home, {u"Home", R::PushButton, asPressed | asFocusable}},
        {"check box, no tab stop", box, {u"TcpNoDelay", R::CheckButton, asChecked}},
        {"label", label, {u"Version: 1.5.6.0", R::StaticText, 0}},
        {"markup: its text without tags", markup, {u"Easily improve game responsiveness.", R::StaticText, 0}},
        {"clickable image: a link", logo, {u"Marvetic", R::Link, asLinked}},
        {"plain image", picture, {u"", R::Graphic, 0}},
        {"busy indicator", busy, {u"Working", R::Animation, asAnimated}},
        {"group box", group, {u"Network Adapter", R::Grouping, 0}},
        {"panel: left to the system", page, {u"", R::Client, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(DescribeControl(*c.Control), c.Expected) << c.What;

    // Changes of state show at once.
    run->SetDown(true);
    run->SetEnabled(false);
    run->SetAccessibleName(u"Restarting the network connection");
    EXPECT_EQ(DescribeControl(*run),
              (TAccessibleInfo{u"Restarting the network connection", R::PushButton, asPressed | asUnavailable | asFocusable}));
    run->SetAccessibleName(u"");
    EXPECT_EQ(DescribeControl(*run).Name, u"Run");
    box->SetChecked(false);
    EXPECT_EQ(DescribeControl(*box).State, 0u);
    busy->SetAnimate(false);
    EXPECT_EQ(DescribeControl(*busy).State, 0u);
    // Hidden itself or through a parent.
    busy->SetVisible(false);
    EXPECT_EQ(DescribeControl(*busy).State, unsigned{asInvisible});
    page->SetVisible(false);
    EXPECT_EQ(DescribeControl(*label).State, unsigned{asInvisible});
    EXPECT_EQ(DescribeControl(*home).State, unsigned{asPressed | asFocusable | asInvisible});
}

TEST(AccessibilityTest, PlainMarkupTextDropsEveryTagAndKeepsOtherAngleBrackets)
{
    EXPECT_EQ(PlainMarkupText(u"<C><FC:clGray>a <B>b</B> c</FC></C>"), u"a b c");
    EXPECT_EQ(PlainMarkupText(u"<b>x</b>"), u"x");
    EXPECT_EQ(PlainMarkupText(u"1 < 2 <i>"), u"1 < 2 <i>");
    EXPECT_EQ(PlainMarkupText(u""), u"");
}

TEST(AccessibilityTest, TheMainWindowsControlsAsAScreenReaderHearsThem)
{
    UseResourceFiles();
    TMainForm form;
    EXPECT_EQ(DescribeControl(*form.BtnStart), (TAccessibleInfo{u"실행하기", R::PushButton, asFocusable}));
    EXPECT_EQ(DescribeControl(*form.BtnHome), (TAccessibleInfo{u"처음화면", R::PushButton, asPressed | asFocusable}));
    EXPECT_EQ(DescribeControl(*form.BtnConfig).State, unsigned{asFocusable});
    EXPECT_EQ(DescribeControl(*form.ImgLogo), (TAccessibleInfo{u"Marvetic", R::Link, asLinked}));
    EXPECT_EQ(DescribeControl(*form.Indicator).Role, R::Animation);
    EXPECT_EQ(DescribeControl(*form.ChkTcpNoDelay).Role, R::CheckButton);
    EXPECT_EQ(DescribeControl(*form.ChkTcpNoDelay).State & asFocusable, 0u);  // no tab stop
    EXPECT_EQ(DescribeControl(*form.GroupBox1).Name, u"네트워크 아답터 정보");
}

}  // namespace
