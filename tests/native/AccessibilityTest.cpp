// What screen readers are told of each kind of control: name (the program's accessible name
// over the description's, over the text; markup without its tags), role and state (pressed,
// checked, unavailable, hidden, focusable, linked, animated), from the node and the state its
// window holds.
#include <gtest/gtest.h>

#include "common/Text.h"
#include "toolkit/Accessibility.h"

namespace {

using R = TAccessibleRole;

TNode Node(TKind kind, bool tabStop = false)
{
    TNode node;
    node.Kind = kind;
    node.TabStop = tabStop;
    return node;
}

TControlState Holding(const char16_t* text)
{
    TControlState state;
    state.Text = text;
    return state;
}

TEST(AccessibilityTest, EachKindOfControlGetsItsRoleNameAndState)
{
    TNode logo = Node(TKind::SvgImage);
    logo.OnClick = u"BtnHomeClick";
    logo.AccessibleName = u"Marvetic";
    TControlState down = Holding(u"Home");
    down.Down = true;
    TControlState checked = Holding(u"TcpNoDelay");
    checked.Checked = true;
    TControlState turning = Holding(u"");
    turning.Animating = true;
    turning.AccessibleName = u"Working";
    struct Case {
        const char* What;
        TNode Node;
        TControlState State;
        TAccessibleInfo Expected;
    } cases[] = {
        {"push button", Node(TKind::Button, true), Holding(u"Run"), {u"Run", R::PushButton, asFocusable}},
        {"tool button down", Node(TKind::ToolButton, true), down, {u"Home", R::PushButton, asPressed | asFocusable}},
        {"check box, no tab stop", Node(TKind::CheckBox), checked, {u"TcpNoDelay", R::CheckButton, asChecked}},
        {"label", Node(TKind::Label), Holding(u"Version: 1.5.6.0"), {u"Version: 1.5.6.0", R::StaticText, 0}},
        {"markup: its text without tags", Node(TKind::MarkupLabel),
         Holding(u"<C><FC:clGray>Easily improve <B>game responsiveness</B>.</FC></C>"),
         {u"Easily improve game responsiveness.", R::StaticText, 0}},
        {"clickable image: a link", logo, Holding(u""), {u"Marvetic", R::Link, asLinked}},
        {"plain image", Node(TKind::SvgImage), Holding(u""), {u"", R::Graphic, 0}},
        {"busy indicator", Node(TKind::Indicator), turning, {u"Working", R::Animation, asAnimated}},
        {"group box", Node(TKind::GroupBox, true), Holding(u"Network Adapter"), {u"Network Adapter", R::Grouping, 0}},
        {"panel: left to the system", Node(TKind::Panel), Holding(u"x"), {u"", R::Client, 0}},
        {"card: left to the system", Node(TKind::Card), Holding(u""), {u"", R::Client, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(DescribeControl(c.Node, c.State), c.Expected) << c.What;
}

TEST(AccessibilityTest, ChangesOfStateShowAtOnce)
{
    const TNode run = Node(TKind::Button, true);
    TControlState state = Holding(u"Run");
    state.Down = true;
    state.Enabled = false;
    state.AccessibleName = u"Restarting the network connection";
    EXPECT_EQ(DescribeControl(run, state),
              (TAccessibleInfo{u"Restarting the network connection", R::PushButton, asPressed | asUnavailable | asFocusable}));
    state.AccessibleName.clear();
    EXPECT_EQ(DescribeControl(run, state).Name, u"Run");
    // Hidden itself or through a parent.
    state.Showing = false;
    EXPECT_EQ(DescribeControl(run, state).State, unsigned{asPressed | asUnavailable | asFocusable | asInvisible});
    // The program's name goes over the description's.
    TNode logo = Node(TKind::SvgImage);
    logo.AccessibleName = u"Marvetic";
    TControlState named = Holding(u"");
    EXPECT_EQ(DescribeControl(logo, named).Name, u"Marvetic");
    named.AccessibleName = u"Maker";
    EXPECT_EQ(DescribeControl(logo, named).Name, u"Maker");
}

TEST(AccessibilityTest, PlainMarkupTextDropsEveryTagAndKeepsOtherAngleBrackets)
{
    EXPECT_EQ(PlainMarkupText(u"<C><FC:clGray>a <B>b</B> c</FC></C>"), u"a b c");
    EXPECT_EQ(PlainMarkupText(u"<b>x</b>"), u"x");
    EXPECT_EQ(PlainMarkupText(u"1 < 2 <i>"), u"1 < 2 <i>");
    EXPECT_EQ(PlainMarkupText(u""), u"");
}

}  // namespace
