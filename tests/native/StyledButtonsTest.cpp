// Styled buttons: down groups, the default button and the tool bar's layout.
#include <gtest/gtest.h>

#include "toolkit/Forms.h"
#include "toolkit/StdControls.h"
#include "toolkit/StyledButtons.h"

namespace {

TEST(StyledButtonsTest, DownReleasesOnlyTheSameGroupUnderTheSameParent)
{
    TPanel a(nullptr), b(nullptr);
    auto make = [](TPanel& parent, int group) {
        auto* button = new TStyledButton(&parent);
        button->SetParent(&parent);
        button->SetGroupIndex(group);
        return button;
    };
    TStyledButton* a1 = make(a, 0);
    TStyledButton* a2 = make(a, 0);
    TStyledButton* a3 = make(a, 1);
    TStyledButton* b1 = make(b, 0);
    a1->SetDown(true);
    a3->SetDown(true);
    b1->SetDown(true);
    a2->SetDown(true);
    EXPECT_FALSE(a1->Down());
    EXPECT_TRUE(a2->Down());
    EXPECT_TRUE(a3->Down());
    EXPECT_TRUE(b1->Down());
    a2->SetDown(false);  // releasing presses nothing else
    EXPECT_FALSE(a1->Down());
    EXPECT_FALSE(a2->Down());

    TStyledToolBar bar(nullptr);
    auto* t1 = new TStyledToolButton(&bar);
    auto* t2 = new TStyledToolButton(&bar);
    t1->SetParent(&bar);
    t2->SetParent(&bar);
    t1->SetDown(true);
    t2->SetDown(true);
    EXPECT_FALSE(t1->Down());
    EXPECT_TRUE(t2->Down());
}

// The one rule of the default button, which the realisation asks for the first focus, for the
// focus taken back and for Enter.
TEST(StyledButtonsTest, DefaultButtonIsTheFirstMarkedOneWhileItShowsAndIsEnabled)
{
    TForm form(nullptr);
    auto* page = new TPanel(&form);
    page->SetParent(&form);
    auto button = [&](bool isDefault) {
        auto* b = new TStyledButton(&form);
        b->SetParent(page);
        b->SetDefault(isDefault);
        return b;
    };
    TStyledButton* plain = button(false);
    EXPECT_EQ(DefaultButton(form), nullptr);
    TStyledButton* run = button(true);
    button(true);  // a second one marked later is never the default
    EXPECT_EQ(DefaultButton(form), run);
    EXPECT_EQ(DefaultButton(*page), run);
    run->SetEnabled(false);
    EXPECT_EQ(DefaultButton(form), nullptr);
    run->SetEnabled(true);
    page->SetVisible(false);  // on a page that is not shown
    EXPECT_EQ(DefaultButton(form), nullptr);
    page->SetVisible(true);
    plain->SetDown(true);
    EXPECT_EQ(DefaultButton(form), run);
}

TEST(StyledButtonsTest, ToolBarLaysOutVisibleButtonsFromTheIndent)
{
    TStyledToolBar bar(nullptr);
    bar.SetIndent(10);
    bar.SetButtonSize(70, 30);
    TStyledToolButton* b[3];
    for (auto*& button : b) {
        button = new TStyledToolButton(&bar);
        button->SetParent(&bar);
    }
    EXPECT_EQ(b[2]->BoundsRect(), (TRect{150, 0, 70, 30}));
    b[1]->SetVisible(false);
    EXPECT_EQ(b[2]->BoundsRect(), (TRect{80, 0, 70, 30}));
    EXPECT_EQ(b[0]->ToolBar(), &bar);
}

}  // namespace
