// Not tests of their own: the app_*.sh scripts run them beside the real program. With
// TAVRINO_APP_PROBE naming a file, the main window is read from outside through its window
// texts and check states: one line "title=<caption>" and then "<text>|checked=<0/1>|enabled=<0/1>" for each
// child window that has a text, in UTF-8. With TAVRINO_APP_CLOSE set, the main window is
// asked to close, as its title-bar button does.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/Text.h"
#include "common/WinText_win.h"

namespace {
std::string WindowText(HWND wnd)
{
    wchar_t text[512] = {};
    GetWindowTextW(wnd, text, 512);
    return Utf16ToUtf8(FromW(text));
}

BOOL CALLBACK AddChild(HWND child, LPARAM lines)
{
    const std::string text = WindowText(child);
    if (text.empty()) return TRUE;
    const LRESULT check = SendMessageW(child, BM_GETCHECK, 0, 0);
    *reinterpret_cast<std::string*>(lines) += text + "|checked=" + (check == BST_CHECKED ? "1" : "0") +
                                             "|enabled=" + (IsWindowEnabled(child) ? "1" : "0") + "\n";
    return TRUE;
}

// The window is found by its class, so that any title shows.
HWND MainWindow()
{
    HWND main = nullptr;
    for (int i = 0; i < 100 && !main; ++i) {
        main = FindWindowW(L"TavrinoForm", nullptr);
        if (!main) Sleep(100);
    }
    return main;
}
}  // namespace

TEST(AppProbe, WriteTheMainWindowsTexts)
{
    const char* out = std::getenv("TAVRINO_APP_PROBE");
    if (!out) GTEST_SKIP() << "run by the app_*.sh scripts beside the program";
    HWND main = MainWindow();
    ASSERT_NE(main, nullptr) << "no main window";
    std::string lines = "title=" + WindowText(main) + "\n";
    EnumChildWindows(main, AddChild, reinterpret_cast<LPARAM>(&lines));
    FILE* file = std::fopen(out, "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(lines.data(), 1, lines.size(), file);
    std::fclose(file);
}

TEST(AppProbe, CloseTheMainWindow)
{
    if (!std::getenv("TAVRINO_APP_CLOSE")) GTEST_SKIP() << "run by the app_*.sh scripts";
    HWND main = MainWindow();
    ASSERT_NE(main, nullptr) << "no main window";
    ASSERT_TRUE(PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0));
}
