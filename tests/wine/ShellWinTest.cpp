// The desktop's shell opens web addresses for the program: the browser is started by the
// desktop's process, not by the program's. Run by tests/wine/shell_open_user.sh, which makes
// Wine's browser launcher start a script of its own that logs, per address, the opener mark
// TAVRINO_OPENER of the environment it was started with. The script starts the desktop
// process first, without the mark, and this process with it: a browser started from here
// carries the mark, one started by the desktop does not.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "common/Text.h"
#include "system/Shell_win.h"

namespace {
class DesktopShellOpen : public testing::Test {
protected:
    void SetUp() override
    {
        const char* log = std::getenv("TAVRINO_BROWSER_LOG");
        if (!log) GTEST_SKIP() << "run by tests/wine/shell_open_user.sh";
        FLog = log;
        ASSERT_STREQ(std::getenv("TAVRINO_OPENER"), "program");
        ASSERT_NE(GetDesktopWindow(), nullptr);
    }

    // The opener mark logged with address, once the browser has been started (up to 30 s);
    // "<none>" when it never was.
    std::string OpenerOf(const std::string& address, int waitMs = 30000) const
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        do {
            std::ifstream in(FLog);
            std::string line;
            while (std::getline(in, line)) {
                const std::size_t bar = line.find('|');
                if (bar != std::string::npos && line.substr(bar + 1) == address)
                    return line.substr(0, bar);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        } while (std::chrono::steady_clock::now() < end);
        return "<none>";
    }

    std::string FLog;
};
}  // namespace

TEST_F(DesktopShellOpen, BrowserIsStartedByTheDesktopProcess)
{
    TWinShell shell;
    const std::string address = "http://127.0.0.1:9/desktop-shell?case=1";
    // The desktop process registers its window with the shell's window list a moment after
    // its first window shows; until then ShellOpen finds no desktop shell and opens nothing.
    // It is asked again until the desktop is there (a person's desktop has long been).
    bool opened = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!(opened = shell.ShellOpen(Utf8ToUtf16(address))) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(opened) << "no desktop shell took the address within 30 s";
    EXPECT_EQ(OpenerOf(address), "") << "the browser carries this process's environment";

    // The same address opened from this process, as ShellExecuteW would: the log tells the two
    // apart.
    const std::string direct = "http://127.0.0.1:9/desktop-shell?case=2";
    const std::u16string wide = Utf8ToUtf16(direct);
    ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(wide.c_str()), nullptr,
                  nullptr, SW_SHOWNORMAL);
    EXPECT_EQ(OpenerOf(direct), "program");
}

TEST_F(DesktopShellOpen, OtherAddressesAreNotOpened)
{
    TWinShell shell;
    // ftp would reach the same browser launcher if it were handed over.
    const std::string ftp = "ftp://127.0.0.1:9/desktop-shell?case=3";
    EXPECT_FALSE(shell.ShellOpen(Utf8ToUtf16(ftp)));
    EXPECT_FALSE(shell.ShellOpen(u"file:///C:/windows/notepad.exe"));
    EXPECT_EQ(OpenerOf(ftp, 3000), "<none>");
}
