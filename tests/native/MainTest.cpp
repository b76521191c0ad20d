// The header's navigation handler, BtnHomeClick: pages, the maker's links, and the sender told
// apart by its name alone.
#include <gtest/gtest.h>

#include "BuildConfig.h"
#include "app/Main.h"
#include "common/Text.h"
#include "support/FakeMainWindow.h"
#include "support/PlatformDoubles.h"

namespace {

class NavigationTest : public ::testing::Test {
protected:
    TPlatformDoubles Doubles;
    TFakeShell& Shell = Doubles.Shell;
    TFakeMainWindow Window;
    TFrmTavrino Form{Doubles.Platform, Window};
    // A click as the window passes it on.
    void Click(const std::u16string& sender) { Window.Events->Handle(u"BtnHomeClick", sender); }
};

TEST_F(NavigationTest, ConfigThenHomeSwitchPages)
{
    const std::pair<const char16_t*, int> steps[] = {{u"BtnConfig", 1}, {u"BtnHome", 0}, {u"BtnHome", 0},
                                                     {u"BtnConfig", 1}, {u"BtnConfig", 1}, {u"BtnHome", 0}};
    int shown = 0;
    for (const auto& [sender, page] : steps) {
        Click(sender);
        EXPECT_EQ(Window.Page, page) << Utf16ToUtf8(sender);
        EXPECT_EQ(Window.PagesShown, ++shown);
    }
    EXPECT_TRUE(Shell.Opened.empty());
}

TEST_F(NavigationTest, LinksOpenWithoutChangingPage)
{
    Click(u"BtnConfig");
    Click(u"ImgLogo");
    Click(u"BtnDonate");
    EXPECT_EQ(Window.Page, 1);
    EXPECT_EQ(Window.PagesShown, 1);
    EXPECT_EQ(Shell.Opened, (std::vector<std::u16string>{std::u16string(kLinkBase) + u"/tavrino",
                                                         std::u16string(kLinkBase) + u"/donate?tavrino"}));
}

// The sender is told apart by its name alone, in any letter case.
TEST_F(NavigationTest, SenderIsRoutedByItsNameIgnoringCase)
{
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
        Shell.Opened.clear();
        Click(c.Name);
        EXPECT_EQ(Window.Page, c.Page);
        if (c.Opened)
            EXPECT_EQ(Shell.Opened, std::vector<std::u16string>{std::u16string(kLinkBase) + c.Opened});
        else
            EXPECT_TRUE(Shell.Opened.empty());
    }
}

// The window description names only handlers the program has.
TEST_F(NavigationTest, HandlerNames)
{
    for (const char16_t* name : {u"FormCreate", u"BtnStartClick", u"BtnHomeClick", u"ChkTCPAckFrequencyClick",
                                 u"ChkTcpDelAckTickClick", u"ChkTcpNoDelayClick", u"ChkNetworkThrottlingIndexClick",
                                 u"ChkSystemResponsivenessClick"})
        EXPECT_TRUE(TFrmTavrino::HasHandler(name)) << Utf16ToUtf8(name);
    for (const char16_t* name : {u"", u"formcreate", u"BtnStart", u"Close"})
        EXPECT_FALSE(TFrmTavrino::HasHandler(name)) << Utf16ToUtf8(name);
}

}  // namespace
