// Not tests of their own: the app_*.sh scripts run them beside the real program. With
// TAVRINO_APP_PROBE naming a file, the main window is read from outside through its window
// texts and check states: one line "title=<caption>" and then "<text>|checked=<0/1>|enabled=<0/1>" for each
// child window that has a text, in UTF-8. With TAVRINO_APP_ACCESSIBLE naming a file, the main
// window is read as a screen reader reads it, through Microsoft Active Accessibility from this
// other process: one line "<name>|<role>|<states>" for each child window whose object is more
// than a plain client area, states as words joined by commas. With TAVRINO_APP_CLOSE set, the
// main window is asked to close, as its title-bar button does.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

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

BOOL CALLBACK AddAccessible(HWND child, LPARAM lines)
{
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(child, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&acc))) || !acc)
        return TRUE;
    VARIANT self;
    VariantInit(&self);
    V_VT(&self) = VT_I4;
    V_I4(&self) = CHILDID_SELF;
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    BSTR name = nullptr;
    acc->get_accName(self, &name);
    acc->get_accRole(self, &role);
    acc->get_accState(self, &state);
    static const std::pair<LONG, const char*> roles[] = {
        {ROLE_SYSTEM_STATICTEXT, "text"}, {ROLE_SYSTEM_PUSHBUTTON, "button"}, {ROLE_SYSTEM_CHECKBUTTON, "checkbox"},
        {ROLE_SYSTEM_LINK, "link"},       {ROLE_SYSTEM_GRAPHIC, "graphic"},   {ROLE_SYSTEM_ANIMATION, "animation"},
        {ROLE_SYSTEM_GROUPING, "group"},
    };
    static const std::pair<LONG, const char*> states[] = {
        {STATE_SYSTEM_UNAVAILABLE, "unavailable"}, {STATE_SYSTEM_PRESSED, "pressed"},
        {STATE_SYSTEM_CHECKED, "checked"},         {STATE_SYSTEM_INVISIBLE, "invisible"},
        {STATE_SYSTEM_FOCUSABLE, "focusable"},     {STATE_SYSTEM_FOCUSED, "focused"},
        {STATE_SYSTEM_LINKED, "linked"},           {STATE_SYSTEM_ANIMATED, "animated"},
    };
    std::string roleName;
    for (const auto& [value, word] : roles)
        if (V_VT(&role) == VT_I4 && V_I4(&role) == value) roleName = word;
    if (!roleName.empty()) {
        std::string words;
        for (const auto& [bit, word] : states)
            if (V_VT(&state) == VT_I4 && (V_I4(&state) & bit)) words += (words.empty() ? "" : ",") + std::string(word);
        *reinterpret_cast<std::string*>(lines) +=
            (name ? Utf16ToUtf8(FromW(name)) : std::string()) + "|" + roleName + "|" + words + "\n";
    }
    if (name) SysFreeString(name);
    acc->Release();
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

TEST(AppProbe, WriteWhatAScreenReaderHears)
{
    const char* out = std::getenv("TAVRINO_APP_ACCESSIBLE");
    if (!out) GTEST_SKIP() << "run by the app_*.sh scripts beside the program";
    HWND main = MainWindow();
    ASSERT_NE(main, nullptr) << "no main window";
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string lines;
    EnumChildWindows(main, AddAccessible, reinterpret_cast<LPARAM>(&lines));
    CoUninitialize();
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
