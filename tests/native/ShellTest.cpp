// Opening addresses as the user: only http and https addresses reach the desktop's shell, and
// without a desktop shell nothing is opened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/Shell.h"

namespace {
class TFakeDesktopShell final : public IDesktopShell {
public:
    bool Present = true;  // false: no desktop shell to ask
    std::vector<std::u16string> Asked;

    bool Open(const std::u16string& target) override
    {
        Asked.push_back(target);
        return Present;
    }
};

struct TAddressCase {
    std::u16string Address;
    bool Web;
};

const TAddressCase kAddresses[] = {
    {u"https://go.tavrino.example/tavrino", true},
    {u"http://127.0.0.1:18080/donate?tavrino", true},
    {u"HTTPS://dl.example/Tavrino.exe", true},
    {u"", false},
    {u"http://", false},
    {u"https:///etc/passwd", false},
    {u"C:\\Windows\\System32\\calc.exe", false},
    {u"calc.exe", false},
    {u"\\\\server\\share\\setup.exe", false},
    {u"file:///C:/setup.exe", false},
    {u"ftp://dl.example/T.exe", false},
    {u"ms-settings:network", false},
    {u"javascript:alert(1)", false},
    {u"http://dl.example/a b", false},
    {u"http://dl.example/\" --flag", false},
    {u" https://dl.example/", false},
};
}  // namespace

TEST(OpenAsUser, OnlyWebAddressesReachTheDesktopShell)
{
    for (const TAddressCase& c : kAddresses) {
        TFakeDesktopShell desktop;
        EXPECT_EQ(OpenAsUser(desktop, c.Address), c.Web);
        EXPECT_EQ(desktop.Asked, c.Web ? std::vector<std::u16string>{c.Address}
                                       : std::vector<std::u16string>{});
    }
}

TEST(OpenAsUser, WithoutADesktopShellNothingIsOpened)
{
    for (const TAddressCase& c : kAddresses) {
        TFakeDesktopShell desktop;
        desktop.Present = false;
        EXPECT_FALSE(OpenAsUser(desktop, c.Address));
        EXPECT_LE(desktop.Asked.size(), 1u);
    }
}
