// The real main window on a virtual display: its client size and every control's window where
// the layout puts it (at the DPI the prefix gives; window_dpi144.sh runs this at 144), the
// accent strip's pixels while active and inactive, page switching by clicks, and screenshots
// of both pages, of the Run button's looks and of the window in Korean, Japanese and Chinese.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Main.h"
#include "app/MainWindow_win.h"
#include "common/Dpi.h"
#include "common/Error.h"
#include "common/ErrorGuard.h"
#include "common/Text.h"
#include "common/Translate.h"
#include "common/Translate_win.h"
#include "common/WinText_win.h"
#include "styling/MarveticButtonStyles.h"
#include "support/PlatformDoubles.h"
#include "system/Shell_win.h"
#include "toolkit/Resources.h"
#include "toolkit/Win32Paint_win.h"
#include "toolkit/Window_win.h"

namespace {

// Messages handled as the program's loop handles them (keyboard navigation included).
void Pump(DWORD milliseconds = 150)
{
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) HandleMessage(msg);
        Sleep(10);
    } while (GetTickCount() < end);
}

// A key pressed and released through the system's input, Shift held down when asked.
void PressKey(WORD key, bool shift = false)
{
    INPUT in[4] = {};
    int n = 0;
    auto add = [&](WORD vk, DWORD flags) {
        in[n].type = INPUT_KEYBOARD;
        in[n].ki.wVk = vk;
        in[n].ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        in[n].ki.dwFlags = flags;
        ++n;
    };
    if (shift) add(VK_SHIFT, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (shift) add(VK_SHIFT, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(n), in, sizeof(INPUT));
    Pump(80);
}


// The position of a window inside its parent's client area.
RECT RectInParent(HWND wnd)
{
    RECT r;
    GetWindowRect(wnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(wnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

COLORREF ScreenPixel(HWND wnd, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(wnd, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

std::wstring ShotDir()
{
    const char* dir = std::getenv("TAVRINO_SHOTS_DIR");
    std::wstring path = dir ? std::wstring(dir, dir + std::strlen(dir)) : L"shots";
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

// Saves what the screen shows of a window as PNG.
void SaveShot(HWND wnd, const std::wstring& name)
{
    RECT r;
    GetClientRect(wnd, &r);
    POINT origin = {0, 0};
    ClientToScreen(wnd, &origin);
    const int w = r.right, h = r.bottom;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(mem, old);
    {
        Gdiplus::Bitmap image(bmp, nullptr);
        CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
        const std::wstring file = ShotDir() + L"\\" + name + L".png";
        EXPECT_EQ(image.Save(file.c_str(), &png, nullptr), Gdiplus::Ok) << "saving " << name.size();
    }
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

std::string ReadOwnResource(const std::u16string& name)
{
    TWinResources resources;
    auto data = resources.ReadRCData(name);
    if (!data) throw EAppError(u"no resource " + name);
    return *data;
}

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Toolkit = new TWin32Toolkit();
        // An error in a creation step fails the test instead of waiting on a message box.
        SetErrorHandler([](const std::exception& e) { ADD_FAILURE() << e.what(); });
        TranslateStartupWin();
        RegisterMarveticButtonStyles();
        // As on a Windows desktop by default (Wine's keeps them on): focus rectangles show
        // only once the keyboard is used. For this session only, not stored.
        SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &SavedCues, 0);
        SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, nullptr, 0);
    }
    static void TearDownTestSuite()
    {
        SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(SavedCues)), 0);
        delete Toolkit;
        Toolkit = nullptr;
        SetErrorHandler(nullptr);
    }

    void SetUp() override
    {
        SetResourceReader(ReadOwnResource);
        Window = std::make_unique<TMainWindow>();
        Wnd = Window->Wnd();
        Program = std::make_unique<TFrmTavrino>(Platform, *Window);
        ASSERT_NE(Wnd, nullptr);
        RunCreateHandler(Wnd);
        ShowDescribedWindow(Wnd);
        Pump();
    }
    void TearDown() override
    {
        Window.reset();
        Program.reset();
        Pump(50);
    }

    // A control's expected box in its parent's window at the window's DPI.
    RECT Scaled(TRect r) const
    {
        const int dpi = static_cast<int>(WindowDpi(Wnd));
        auto s = [dpi](int v) { return ScaleForDpi(v, dpi); };
        return {s(r.Left), s(r.Top), s(r.Left + r.Width), s(r.Top + r.Height)};
    }

    static TWin32Toolkit* Toolkit;
    static inline BOOL SavedCues = FALSE;
    TPlatformDoubles Doubles;
    TPlatform& Platform = Doubles.Platform;
    TFakeShell& Shell = Doubles.Shell;
    // The window of a control of the description.
    HWND C(const char16_t* name) const { return Window->Control(name); }

    std::unique_ptr<TMainWindow> Window;
    std::unique_ptr<TFrmTavrino> Program;
    HWND Wnd = nullptr;
};
TWin32Toolkit* MainWindowTest::Toolkit = nullptr;

struct Placed {
    const char16_t* Name;
    TRect Bounds;  // in the parent's client area, logical pixels, after the accent strip
};
const Placed kPlaces[] = {
    {u"PnlMain", {0, 52, 498, 374}},       {u"Card1", {0, 0, 498, 374}},
    {u"LblTitle", {8, 40, 484, 81}},       {u"LblContent", {0, 188, 500, 33}},
    {u"BtnStart", {176, 264, 162, 68}},    {u"Card2", {0, 0, 498, 374}},
    {u"LblVersion", {15, 344, 100, 15}},   {u"GroupBox1", {15, 6, 474, 67}},
    {u"LblAdapter", {17, 32, 304, 15}},    {u"LblIPAddress", {344, 32, 109, 15}},
    {u"GroupBox2", {15, 87, 474, 98}},     {u"ChkTcpNoDelay", {17, 64, 200, 17}},
    {u"ChkTCPAckFrequency", {17, 32, 200, 17}}, {u"ChkTcpDelAckTick", {243, 32, 200, 17}},
    {u"GroupBox3", {15, 199, 474, 66}},    {u"ChkNetworkThrottlingIndex", {17, 32, 200, 17}},
    {u"ChkSystemResponsiveness", {243, 32, 200, 17}}, {u"PnlHead", {0, 2, 498, 50}},
    {u"BtnHead", {10, 10, 358, 30}},       {u"BtnHome", {10, 0, 70, 30}},
    {u"BtnConfig", {80, 0, 70, 30}},       {u"PnlLogo", {378, 0, 120, 50}},
    {u"ImgLogo", {3, 0, 112, 50}},
};

TEST_F(MainWindowTest, ClientAreaAndEveryControlWhereTheLayoutPutsIt)
{
    if (const char* want = std::getenv("TAVRINO_EXPECT_DPI")) {
        EXPECT_EQ(WindowDpi(Wnd), static_cast<UINT>(std::atoi(want)));
    }
    const UINT dpi = WindowDpi(Wnd);
    RECT client;
    GetClientRect(Wnd, &client);
    EXPECT_EQ(client.right, ScaleForDpi(498, static_cast<int>(dpi)));
    EXPECT_EQ(client.bottom, ScaleForDpi(426, static_cast<int>(dpi)));
    const LONG style = GetWindowLongW(Wnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);

    for (const Placed& p : kPlaces) {
        SCOPED_TRACE(Utf16ToUtf8(p.Name));
        HWND wnd = C(p.Name);
        ASSERT_NE(wnd, nullptr);
        // The window of what holds it in the description.
        const TNode* holder = NodeOf(GetParent(wnd));
        const std::vector<TNode>& siblings = holder ? holder->Children : DescriptionOf(Wnd).Controls;
        EXPECT_TRUE(std::any_of(siblings.begin(), siblings.end(), [&p](const TNode& n) { return n.Name == p.Name; }));
        const RECT got = RectInParent(wnd);
        const RECT want = Scaled(p.Bounds);
        EXPECT_EQ(got.left, want.left);
        EXPECT_EQ(got.top, want.top);
        EXPECT_EQ(got.right, want.right);
        EXPECT_EQ(got.bottom, want.bottom);
    }
    EXPECT_FALSE(IsWindowVisible(C(u"BtnDonate")));
    EXPECT_FALSE(IsWindowVisible(C(u"Indicator")));
    EXPECT_TRUE(IsWindowVisible(C(u"Card1")));
    EXPECT_FALSE(IsWindowVisible(C(u"Card2")));

    // The window sits centred on the work area.
    RECT frame, area;
    GetWindowRect(Wnd, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_NEAR((frame.left + frame.right) / 2, (area.left + area.right) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (area.top + area.bottom) / 2, 1);
}

TEST_F(MainWindowTest, AccentStripIsBlueWhileActiveAndGreyWhileAnotherWindowIs)
{
    const COLORREF accent = RGB(0x3D, 0x84, 0xDD);
    const int dpi = static_cast<int>(WindowDpi(Wnd));
    const int bottomRow = ScaleForDpi(2, dpi) - 1;
    SetActiveWindow(Wnd);
    Pump();
    EXPECT_EQ(ScreenPixel(Wnd, 10, 0), accent);
    EXPECT_EQ(ScreenPixel(Wnd, 400, bottomRow), accent);
    EXPECT_NE(ScreenPixel(Wnd, 10, bottomRow + 1), accent);

    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetActiveWindow(other);
    Pump();
    EXPECT_EQ(ScreenPixel(Wnd, 10, 0), GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(ScreenPixel(Wnd, 400, bottomRow), GetSysColor(COLOR_GRAYTEXT));

    SetActiveWindow(Wnd);
    Pump();
    EXPECT_EQ(ScreenPixel(Wnd, 10, 0), accent);
    DestroyWindow(other);
}

// The no-answer box that comes while another window is in front waits: the shell tells that
// the window is not the foreground one (and flashing its button does not bring it forward),
// and Windows' own activation of the window (WM_ACTIVATE, sent within SetActiveWindow) shows
// the box that waited, once.
// The window's life as the program hears it: activation (by the system or a click) after the
// focus is set, a session that ends, and the window destroyed; deactivation and a session that
// goes on tell nothing.
TEST_F(MainWindowTest, TheWindowsLifeReachesTheProgram)
{
    struct TRecorder final : IMainWindowEvents {
        std::vector<std::string> Heard;
        HWND FocusAtActivation = nullptr;
        void Handle(const std::u16string& handler, const std::u16string& sender) override
        {
            Heard.push_back(Utf16ToUtf8(handler + u" " + sender));
        }
        void Activated() override
        {
            Heard.push_back("activated");
            FocusAtActivation = GetFocus();
        }
        void Ending() override { Heard.push_back("ending"); }
    } heard;
    Window->Connect(heard);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetActiveWindow(other);
    Pump();
    EXPECT_TRUE(heard.Heard.empty()) << "deactivation was told";
    SetActiveWindow(Wnd);
    Pump();
    EXPECT_EQ(heard.Heard, std::vector<std::string>{"activated"});
    EXPECT_EQ(heard.FocusAtActivation, C(u"BtnStart")) << "told before the focus was set";
    DestroyWindow(other);

    heard.Heard.clear();
    SendMessageW(Wnd, WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(heard.Heard.empty());
    SendMessageW(Wnd, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(heard.Heard, std::vector<std::string>{"ending"});
    EXPECT_TRUE(IsWindow(Wnd)) << "the session's end destroyed the window";

    heard.Heard.clear();
    SendMessageW(C(u"BtnConfig"), BM_CLICK, 0, 0);
    EXPECT_EQ(heard.Heard, std::vector<std::string>{"BtnHomeClick BtnConfig"});
    heard.Heard.clear();
    DestroyWindow(Wnd);
    EXPECT_EQ(heard.Heard, std::vector<std::string>{"ending"});
    EXPECT_FALSE(IsDescribedWindow(Wnd));
}

TEST_F(MainWindowTest, NoAnswerBoxBehindAnotherWindowShowsWhenTheWindowIsActivated)
{
    HWND other = CreateWindowExW(0, L"STATIC", L"game", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    SetActiveWindow(other);
    Pump();
    TWinShell shell;
    ASSERT_EQ(GetForegroundWindow(), other) << "Wine did not bring the other window to the front";
    EXPECT_FALSE(shell.IsForeground(Wnd));
    EXPECT_TRUE(shell.IsForeground(other));
    EXPECT_TRUE(shell.IsForeground(nullptr));
    shell.FlashTaskbarButton(Wnd);
    Pump();
    EXPECT_EQ(GetForegroundWindow(), other) << "flashing brought the window forward";

    Doubles.Network.ProbeSucceedsAt = 0;
    Shell.Foreground = shell.IsForeground(Wnd);
    Program->BtnStartClick(u"BtnStart");
    EXPECT_EQ(Program->Status(), stRunning);
    EXPECT_EQ(Shell.Flashes, 1);
    EXPECT_TRUE(Shell.Boxes.empty()) << "a box came up over the window in front";

    SetActiveWindow(Wnd);
    ASSERT_EQ(Shell.Boxes.size(), 1u) << "no box when the window was activated";
    EXPECT_EQ(Shell.Boxes[0].Text, TranslateText(u"네트워크 어댑터를 다시 시작한 뒤에도 인터넷이 응답하지 "
                                                 u"않았습니다. Windows 네트워크 설정에서 어댑터를 확인해 주세요."));
    SetActiveWindow(other);
    SetActiveWindow(Wnd);
    EXPECT_EQ(Shell.Boxes.size(), 1u) << "the box showed again";
    DestroyWindow(other);
}

TEST_F(MainWindowTest, ClickingConfigThenHomeSwitchesPagesWithOneButtonDown)
{
    HWND home = C(u"BtnHome");
    HWND config = C(u"BtnConfig");
    HWND card1 = C(u"Card1");
    HWND card2 = C(u"Card2");
    for (int round = 0; round < 2; ++round) {
        SendMessageW(config, BM_CLICK, 0, 0);
        Pump(50);
        EXPECT_TRUE(IsDown(C(u"BtnConfig")));
        EXPECT_FALSE(IsDown(C(u"BtnHome")));
        EXPECT_TRUE(IsWindowVisible(card2));
        EXPECT_FALSE(IsWindowVisible(card1));
        SendMessageW(home, BM_CLICK, 0, 0);
        Pump(50);
        EXPECT_TRUE(IsDown(C(u"BtnHome")));
        EXPECT_FALSE(IsDown(C(u"BtnConfig")));
        EXPECT_TRUE(IsWindowVisible(card1));
        EXPECT_FALSE(IsWindowVisible(card2));
    }
    // The logo opens the maker's page and leaves the page as it is.
    RECT logo;
    GetClientRect(C(u"ImgLogo"), &logo);
    SendMessageW(C(u"ImgLogo"), WM_LBUTTONUP, 0, MAKELPARAM(logo.right / 2, logo.bottom / 2));
    EXPECT_EQ(Shell.Opened.size(), 1u);
    EXPECT_TRUE(IsWindowVisible(card1));
}

TEST_F(MainWindowTest, KeyboardRunHasTheFocusTabMovesThroughTheTabStopsEnterAndSpacePress)
{
    // Clicks of Run are counted, not run; everything else goes to the program.
    struct TCountRuns final : IMainWindowEvents {
        explicit TCountRuns(TFrmTavrino& program) : Program(program) {}
        void Handle(const std::u16string& handler, const std::u16string& sender) override
        {
            if (handler == u"BtnStartClick") ++Runs;
            else Program.Handle(handler, sender);
        }
        void Activated() override { Program.Activated(); }
        void Ending() override { Program.Ending(); }
        TFrmTavrino& Program;
        int Runs = 0;
    } counted(*Program);
    Window->Connect(counted);
    const int& runs = counted.Runs;
    HWND run = C(u"BtnStart");
    HWND home = C(u"BtnHome");
    HWND config = C(u"BtnConfig");
    SetForegroundWindow(Wnd);
    Pump();

    // Opened: Run has the focus, shown by nothing until the keyboard is used.
    BOOL cues = TRUE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    ASSERT_FALSE(cues);
    EXPECT_EQ(GetFocus(), run);
    SaveShot(Wnd, L"window_focus_hidden");
    const COLORREF white = RGB(255, 255, 255), selected = RGB(0x50, 0x90, 0xE0);
    EXPECT_EQ(ScreenPixel(run, 20, 20), white);  // Run as it looks at rest
    PressKey(VK_RETURN);
    EXPECT_EQ(runs, 1);
    PressKey(VK_SPACE);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(ScreenPixel(run, 20, 20), white) << "Enter and Space press, they do not show the focus";
    // Busy, Run is disabled and loses the focus: Enter presses nothing. Enabled again, it
    // takes the focus back.
    EnableControl(C(u"BtnStart"), false);
    Pump(50);
    EXPECT_NE(GetFocus(), run);
    PressKey(VK_RETURN);
    EXPECT_EQ(runs, 2);
    EnableControl(C(u"BtnStart"), true);
    Pump(50);
    EXPECT_EQ(GetFocus(), run);

    // Tab and Shift+Tab: Run, Home, Config, round again; the focus is shown from now on.
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), home);
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), config);
    EXPECT_EQ(ScreenPixel(config, 6, 15), selected);
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), run);
    SaveShot(Wnd, L"window_focus_run");
    EXPECT_EQ(ScreenPixel(run, 20, 20), selected);  // the focused (selected) look
    EXPECT_EQ(ScreenPixel(config, 6, 15), white);
    PressKey(VK_TAB, true);
    EXPECT_EQ(GetFocus(), config);
    SaveShot(Wnd, L"window_focus_config");

    // Enter presses the focused header button; on the settings page the check boxes are no
    // tab stops, so Tab goes between the header buttons alone.
    PressKey(VK_RETURN);
    EXPECT_TRUE(IsDown(C(u"BtnConfig")));
    EXPECT_TRUE(IsWindowVisible(C(u"Card2")));
    EXPECT_EQ(runs, 2);
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), home);
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), config);
    PressKey(VK_TAB, true);
    EXPECT_EQ(GetFocus(), home);
    PressKey(VK_SPACE);
    EXPECT_TRUE(IsDown(C(u"BtnHome")));
    EXPECT_TRUE(IsWindowVisible(C(u"Card1")));

    // Activated again, the window gives the focus back to the control that had it.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(other);
    Pump();
    SetActiveWindow(Wnd);
    Pump();
    EXPECT_EQ(GetFocus(), home);
    DestroyWindow(other);
    Window->Connect(*Program);
}

// What an accessibility client hears of a window: name, role and state of its client object.
struct Heard {
    std::wstring Name;
    LONG Role = 0;
    LONG State = 0;
};

Heard Hear(HWND wnd)
{
    Heard heard;
    IAccessible* acc = nullptr;
    EXPECT_EQ(AccessibleObjectFromWindow(wnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&acc)), S_OK);
    if (!acc) return heard;
    VARIANT self;
    VariantInit(&self);
    V_VT(&self) = VT_I4;
    V_I4(&self) = CHILDID_SELF;
    BSTR name = nullptr;
    if (SUCCEEDED(acc->get_accName(self, &name)) && name) {
        heard.Name = name;
        SysFreeString(name);
    }
    VARIANT v;
    VariantInit(&v);
    if (SUCCEEDED(acc->get_accRole(self, &v)) && V_VT(&v) == VT_I4) heard.Role = V_I4(&v);
    VariantInit(&v);
    if (SUCCEEDED(acc->get_accState(self, &v)) && V_VT(&v) == VT_I4) heard.State = V_I4(&v);
    acc->Release();
    return heard;
}

TEST_F(MainWindowTest, AccessibilityClientHearsNameRoleAndStateOfEveryControl)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetControlText(C(u"LblContent"), u"<C><FC:clGray>Easily improve <B>game responsiveness</B>.</FC></C>");
    const std::wstring run(WStr(WindowText(C(u"BtnStart"))));
    ASSERT_FALSE(run.empty());

    Heard h = Hear(C(u"LblContent"));
    EXPECT_EQ(h.Name, L"Easily improve game responsiveness.");  // not its markup
    EXPECT_EQ(h.Role, ROLE_SYSTEM_STATICTEXT);
    h = Hear(C(u"LblTitle"));
    EXPECT_EQ(h.Name, std::wstring(WStr(WindowText(C(u"LblTitle")))));
    EXPECT_EQ(h.Role, ROLE_SYSTEM_STATICTEXT);

    HWND start = C(u"BtnStart");
    SetFocus(start);
    h = Hear(start);
    EXPECT_EQ(h.Name, run);
    EXPECT_EQ(h.Role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(h.State & (STATE_SYSTEM_PRESSED | STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE), 0);
    EXPECT_TRUE(h.State & STATE_SYSTEM_FOCUSABLE);
    EXPECT_TRUE(h.State & STATE_SYSTEM_FOCUSED);
    // Running: pressed.
    SetDown(C(u"BtnStart"), true);
    EXPECT_TRUE(Hear(start).State & STATE_SYSTEM_PRESSED);
    SetDown(C(u"BtnStart"), false);
    // Busy: no caption, named for the work going on, unavailable; so is the indicator.
    SetControlText(C(u"BtnStart"), u"");
    SetAccessibleName(C(u"BtnStart"), u"Restarting the network connection");
    EnableControl(C(u"BtnStart"), false);
    SetAccessibleName(C(u"Indicator"), u"Restarting the network connection");
    ShowControl(C(u"Indicator"), true);
    SetAnimate(C(u"Indicator"), true);
    h = Hear(start);
    EXPECT_EQ(h.Name, L"Restarting the network connection");
    EXPECT_TRUE(h.State & STATE_SYSTEM_UNAVAILABLE);
    h = Hear(C(u"Indicator"));
    EXPECT_EQ(h.Name, L"Restarting the network connection");
    EXPECT_EQ(h.Role, ROLE_SYSTEM_ANIMATION);
    EXPECT_TRUE(h.State & STATE_SYSTEM_ANIMATED);
    EXPECT_FALSE(h.State & STATE_SYSTEM_INVISIBLE);
    SetAnimate(C(u"Indicator"), false);
    ShowControl(C(u"Indicator"), false);
    EXPECT_TRUE(Hear(C(u"Indicator")).State & STATE_SYSTEM_INVISIBLE);

    // The header button that is down is pressed; the logo is a link named for the maker.
    HWND home = C(u"BtnHome"), config = C(u"BtnConfig");
    EXPECT_EQ(Hear(home).Role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_TRUE(Hear(home).State & STATE_SYSTEM_PRESSED);
    EXPECT_FALSE(Hear(config).State & STATE_SYSTEM_PRESSED);
    SendMessageW(config, BM_CLICK, 0, 0);
    Pump(50);
    EXPECT_FALSE(Hear(home).State & STATE_SYSTEM_PRESSED);
    EXPECT_TRUE(Hear(config).State & STATE_SYSTEM_PRESSED);
    h = Hear(C(u"ImgLogo"));
    EXPECT_EQ(h.Name, L"Marvetic");
    EXPECT_EQ(h.Role, ROLE_SYSTEM_LINK);
    EXPECT_TRUE(h.State & STATE_SYSTEM_LINKED);

    // Check boxes: their caption, checked as shown, unavailable while disabled.
    HWND box = C(u"ChkTcpNoDelay");
    CheckControl(C(u"ChkTcpNoDelay"), true);
    h = Hear(box);
    EXPECT_EQ(h.Name, L"TcpNoDelay");
    EXPECT_EQ(h.Role, ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_TRUE(h.State & STATE_SYSTEM_CHECKED);
    CheckControl(C(u"ChkTcpNoDelay"), false);
    EnableControl(C(u"ChkTcpNoDelay"), false);
    h = Hear(box);
    EXPECT_FALSE(h.State & STATE_SYSTEM_CHECKED);
    EXPECT_TRUE(h.State & STATE_SYSTEM_UNAVAILABLE);
    h = Hear(C(u"GroupBox2"));
    EXPECT_EQ(h.Role, ROLE_SYSTEM_GROUPING);
    EXPECT_EQ(h.Name, std::wstring(WStr(WindowText(C(u"GroupBox2")))));
    CoUninitialize();
}

// Counts the pixels of a window's client area (every other one) that a test accepts.
template <class TTest>
int CountPixels(HWND wnd, TTest test)
{
    RECT r;
    GetClientRect(wnd, &r);
    int n = 0;
    for (int y = 0; y < r.bottom; y += 2)
        for (int x = 0; x < r.right; x += 2)
            if (test(ScreenPixel(wnd, x, y))) ++n;
    return n;
}

bool Grey(COLORREF c)
{
    return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
}

// High contrast switched on while the window is open, as the user switching to Windows' "High
// Contrast Black" theme does: the system colours change (WM_SYSCOLORCHANGE) and the setting
// is announced (WM_SETTINGCHANGE). Wine keeps no high-contrast setting, so the setting is a
// double here; the colours are the system's own.
TEST_F(MainWindowTest, HighContrastDrawsEveryControlInTheSchemesColours)
{
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255), cyan = RGB(0x1A, 0xEB, 0xFF),
                   green = RGB(0x3F, 0xF2, 0x3F);
    static const int ids[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT,
                              COLOR_GRAYTEXT, COLOR_BTNFACE, COLOR_BTNTEXT};
    const COLORREF dark[] = {black, white, cyan, black, green, black, white};
    // The setting and the colours go back as they were even when a check fails midway, so
    // that the tests after this one see the normal scheme.
    struct TSchemeGuard {
        COLORREF Saved[7];
        TSchemeGuard()
        {
            for (int i = 0; i < 7; ++i) Saved[i] = GetSysColor(ids[i]);
            SetHighContrastSource([] { return true; });
        }
        ~TSchemeGuard()
        {
            SetHighContrastSource(nullptr);
            SetSysColors(7, ids, Saved);
        }
    } guard;
    const COLORREF* saved = guard.Saved;
    ASSERT_TRUE(SetSysColors(7, ids, dark));
    SendMessageW(Wnd, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    Pump(300);
    SetActiveWindow(Wnd);
    Pump();
    const int dpi = static_cast<int>(WindowDpi(Wnd));
    auto s = [dpi](int v) { return ScaleForDpi(v, dpi); };
    SetControlText(C(u"LblContent"), u"<C><FC:clGray>" + TranslateText(u"<B>게임 반응 속도</B>를 손쉽게 향상 시킵니다.") + u"</FC></C>");
    Pump();
    SaveShot(Wnd, L"hc_home");

    // The window colour behind everything (fresh brushes), the accent strip in the highlight.
    EXPECT_EQ(ScreenPixel(Wnd, s(5), s(150)), black);
    EXPECT_EQ(ScreenPixel(Wnd, s(10), 0), cyan);
    HWND card = C(u"Card1");
    EXPECT_EQ(ScreenPixel(card, s(5), s(5)), black);
    // Texts in window text: the title, and the tag line that is grey elsewhere.
    EXPECT_GT(CountPixels(C(u"LblTitle"), [](COLORREF c) { return GetRValue(c) > 200 && Grey(c); }), 0);
    EXPECT_GT(CountPixels(C(u"LblContent"), [](COLORREF c) { return GetRValue(c) > 200 && Grey(c); }), 0);
    EXPECT_EQ(CountPixels(C(u"LblContent"), [](COLORREF c) { return c == RGB(128, 128, 128); }), 0);
    // Run at rest: an outline and caption in window text on the window colour.
    HWND run = C(u"BtnStart");
    EXPECT_EQ(ScreenPixel(run, s(81), 0), white);
    EXPECT_EQ(ScreenPixel(run, s(20), s(20)), black);
    // The header: Home down in the highlight, Config at rest.
    EXPECT_EQ(ScreenPixel(C(u"BtnHome"), s(6), s(15)), cyan);
    EXPECT_EQ(ScreenPixel(C(u"BtnConfig"), s(6), s(15)), black);
    EXPECT_EQ(ScreenPixel(C(u"BtnConfig"), s(35), 0), white);
    // The logo in the two scheme colours only, both present.
    HWND logo = C(u"ImgLogo");
    EXPECT_EQ(CountPixels(logo, [](COLORREF c) { return !Grey(c); }), 0);
    EXPECT_GT(CountPixels(logo, [](COLORREF c) { return GetRValue(c) > 200; }), 0);

    // Focused with the keyboard: filled with the highlight, the focus rectangle in it.
    SetFocus(run);
    SendMessageW(Wnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    Pump();
    SaveShot(Wnd, L"hc_focus_run");
    EXPECT_EQ(ScreenPixel(run, s(20), s(20)), cyan);
    SendMessageW(Wnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    Pump();
    EXPECT_EQ(ScreenPixel(run, s(20), s(20)), black);

    // Running: Run filled with the highlight.
    SetDown(C(u"BtnStart"), true);
    Pump();
    SaveShot(Wnd, L"hc_running");
    EXPECT_EQ(ScreenPixel(run, s(20), s(20)), cyan);
    SetDown(C(u"BtnStart"), false);

    // Busy: Run disabled in grey text, the dots in window text.
    SetControlText(C(u"BtnStart"), u"");
    EnableControl(C(u"BtnStart"), false);
    ShowControl(C(u"Indicator"), true);
    SetAnimate(C(u"Indicator"), true);
    Pump(300);
    SaveShot(Wnd, L"hc_busy");
    EXPECT_EQ(ScreenPixel(run, s(81), 0), green);
    HWND busy = C(u"Indicator");
    EXPECT_GT(CountPixels(busy, [](COLORREF c) { return GetRValue(c) > 200 && Grey(c); }), 0);
    SetAnimate(C(u"Indicator"), false);
    ShowControl(C(u"Indicator"), false);
    EnableControl(C(u"BtnStart"), true);

    SendMessageW(C(u"BtnConfig"), BM_CLICK, 0, 0);
    Pump();
    SaveShot(Wnd, L"hc_config");
    EXPECT_EQ(ScreenPixel(C(u"Card2"), s(5), s(300)), black);
    // The check boxes' texts in window text, as the colours their parent gives them, and each
    // group box's caption: light glyphs over several rows of its caption's band (a frame line
    // would be one row).
    EXPECT_GT(CountPixels(C(u"ChkTcpNoDelay"), [](COLORREF c) { return GetRValue(c) > 200 && Grey(c); }), 10);
    for (const char16_t* group : {u"GroupBox1", u"GroupBox2", u"GroupBox3"}) {
        int rows = 0;
        for (int y = 0; y < s(14); ++y) {
            bool lit = false;
            for (int x = s(10); x < s(100) && !lit; ++x) lit = GetRValue(ScreenPixel(C(group), x, y)) > 200;
            rows += lit;
        }
        EXPECT_GE(rows, 4) << Utf16ToUtf8(group) << ": no caption in window text";
    }
    EXPECT_EQ(ScreenPixel(C(u"BtnConfig"), s(6), s(15)), cyan);

    SetHighContrastSource(nullptr);
    ASSERT_TRUE(SetSysColors(7, ids, saved));
    SendMessageW(Wnd, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    Pump(300);
    // Back to the normal scheme at once: the window colour, the header in the accent.
    EXPECT_EQ(ScreenPixel(C(u"Card2"), s(5), s(300)), saved[0]);
    EXPECT_EQ(ScreenPixel(C(u"BtnConfig"), s(6), s(15)), RGB(0x3D, 0x84, 0xDD));
}

TEST_F(MainWindowTest, CheckBoxClicksReachTheirHandlersAndShowTheState)
{
    SendMessageW(C(u"BtnConfig"), BM_CLICK, 0, 0);
    HWND box = C(u"ChkTcpNoDelay");
    const bool before = (SendMessageW(C(u"ChkTcpNoDelay"), BM_GETCHECK, 0, 0) == BST_CHECKED);
    SendMessageW(box, BM_CLICK, 0, 0);
    Pump(50);
    EXPECT_NE((SendMessageW(C(u"ChkTcpNoDelay"), BM_GETCHECK, 0, 0) == BST_CHECKED), before);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED, (SendMessageW(C(u"ChkTcpNoDelay"), BM_GETCHECK, 0, 0) == BST_CHECKED));
    CheckControl(C(u"ChkTcpNoDelay"), before);  // by code: the box follows
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED, before);
}

TEST_F(MainWindowTest, ScreenshotsOfBothPagesAndOfTheRunButtonsLooks)
{
    HWND run = C(u"BtnStart");
    SaveShot(Wnd, L"window_home");
    SaveShot(run, L"run_normal");
    const COLORREF accent = RGB(0x3D, 0x84, 0xDD);
    // Normal: an outline in the accent colour on white, unfilled.
    EXPECT_EQ(ScreenPixel(run, 81, 0), accent);
    EXPECT_EQ(ScreenPixel(run, 20, 20), RGB(255, 255, 255));

    SendMessageW(run, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    Pump();
    SaveShot(run, L"run_hot");
    EXPECT_EQ(ScreenPixel(run, 20, 20), RGB(0x50, 0x90, 0xE0));
    SendMessageW(run, WM_MOUSELEAVE, 0, 0);

    EnableControl(C(u"BtnStart"), false);
    Pump();
    SaveShot(run, L"run_disabled");
    EXPECT_EQ(ScreenPixel(run, 81, 0), RGB(0xD7, 0xD7, 0xD7));
    EXPECT_EQ(ScreenPixel(run, 20, 20), RGB(255, 255, 255));
    EnableControl(C(u"BtnStart"), true);

    // Down (the running look): filled with the accent, white caption.
    SetDown(C(u"BtnStart"), true);
    Pump();
    SaveShot(run, L"run_down");
    EXPECT_EQ(ScreenPixel(run, 20, 20), accent);
    SetDown(C(u"BtnStart"), false);

    SendMessageW(C(u"BtnConfig"), BM_CLICK, 0, 0);
    Pump();
    SaveShot(Wnd, L"window_config");
}

TEST_F(MainWindowTest, ScreenshotsInKoreanJapaneseAndChinese)
{
    const std::u16string before = CurrentLanguage();
    for (const char16_t* lang : {u"ko", u"ja", u"zh"}) {
        SetTranslationLanguage(lang);
        Window->Dress();
        SetControlText(C(u"LblContent"), u"<C><FC:clGray>" + TranslateText(u"최적화된 네트워크로 <B>지연 시간을 최소화</B>합니다.") +
                                  u"</FC></C>");
        SendMessageW(C(u"BtnHome"), BM_CLICK, 0, 0);
        Pump();
        SaveShot(Wnd, L"window_home_" + std::wstring(lang, lang + 2));
        SendMessageW(C(u"BtnConfig"), BM_CLICK, 0, 0);
        Pump();
        SaveShot(Wnd, L"window_config_" + std::wstring(lang, lang + 2));
    }
    EXPECT_NE(WindowText(C(u"BtnHome")), u"Home");
    SetTranslationLanguage(before.empty() ? u"en" : before);
    Window->Dress();
}

TEST_F(MainWindowTest, LongAdapterNameIsClippedAndTheAddressStaysPut)
{
    SendMessageW(C(u"BtnConfig"), BM_CLICK, 0, 0);
    HWND ip = C(u"LblIPAddress");
    const RECT ipBefore = RectInParent(ip);
    SetControlText(C(u"LblAdapter"), u"Intel(R) Ethernet Connection (7) I219-V with a very long name that goes on and on");
    Pump();
    EXPECT_EQ(RectInParent(C(u"LblAdapter")).right, Scaled({17, 32, 304, 15}).right);
    const RECT ipAfter = RectInParent(ip);
    EXPECT_EQ(ipAfter.left, ipBefore.left);
    EXPECT_EQ(ipAfter.right, ipBefore.right);
    // Nothing of the name is painted in the gap between the two labels.
    const int dpi = static_cast<int>(WindowDpi(Wnd));
    HWND group = C(u"GroupBox1");
    for (int x = 322; x < 343; x += 4)
        EXPECT_EQ(ScreenPixel(group, ScaleForDpi(x, dpi), ScaleForDpi(39, dpi)), RGB(255, 255, 255)) << x;
    SaveShot(Wnd, L"window_config_long_adapter");
}

TEST_F(MainWindowTest, BusyIndicatorAnimatesEvery50Milliseconds)
{
    EnableControl(C(u"BtnStart"), false);
    SetControlText(C(u"BtnStart"), u"");
    ShowControl(C(u"Indicator"), true);
    SetAnimate(C(u"Indicator"), true);
    // Frames follow each other every 50 ms. Timers run late on a busy machine, never early:
    // of the nine frames after the first, one may have been due when the first was shown,
    // and each other needs a period of its own, so they take at least seven periods (less
    // the 10 ms that this loop sleeps between looks), however busy the machine.
    int frames = 0, last = IndicatorFrame(C(u"Indicator"));
    DWORD firstAt = 0, tenthAt = 0;
    const DWORD end = GetTickCount() + 60000;
    while (frames < 10 && GetTickCount() < end) {
        Pump(5);
        if (IndicatorFrame(C(u"Indicator")) != last) {
            ++frames;
            last = IndicatorFrame(C(u"Indicator"));
            (frames == 1 ? firstAt : tenthAt) = GetTickCount();
        }
    }
    ASSERT_EQ(frames, 10) << "the indicator did not show ten frames within 60 s";
    EXPECT_GE(tenthAt - firstAt, 7u * 50u - 20u) << "frames came faster than one in 50 ms";
    SaveShot(Wnd, L"window_busy");
    // Dots are drawn: some pixel of the indicator's box is dark.
    HWND busy = C(u"Indicator");
    RECT r;
    GetClientRect(busy, &r);
    int dark = 0;
    for (int y = 0; y < r.bottom; y += 2)
        for (int x = 0; x < r.right; x += 2)
            if (GetRValue(ScreenPixel(busy, x, y)) < 100) ++dark;
    EXPECT_GT(dark, 0);
    SetAnimate(C(u"Indicator"), false);
    const int stopped = IndicatorFrame(C(u"Indicator"));
    Pump(200);
    EXPECT_EQ(IndicatorFrame(C(u"Indicator")), stopped);
}

std::string ClassOf(HWND wnd)
{
    char name[64] = {};
    GetClassNameA(wnd, name, sizeof name);
    return name;
}

// The paints of each window of the thread, as the message loop takes them.
std::map<HWND, int> PaintsSeen;
LRESULT CALLBACK CountPaints(int code, WPARAM wp, LPARAM lp)
{
    const auto* msg = reinterpret_cast<const MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && msg->message == WM_PAINT) ++PaintsSeen[msg->hwnd];
    return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(MainWindowTest, AnAnimatingIndicatorDrawsItsFramesWithoutPaintingAnyWindow)
{
    EnableControl(C(u"BtnStart"), false);
    SetControlText(C(u"BtnStart"), u"");
    ShowControl(C(u"Indicator"), true);
    SetAnimate(C(u"Indicator"), true);
    Pump(300);  // the busy look settles
    HWND busy = C(u"Indicator");
    const COLORREF before = ScreenPixel(busy, 16, 3);

    PaintsSeen.clear();
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, CountPaints, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Pump(1000);
    UnhookWindowsHookEx(hook);
    // Each frame is copied onto the indicator from its timer: no window, the indicator
    // included, is invalidated and painted again for it.
    for (const auto& [wnd, paints] : PaintsSeen)
        ADD_FAILURE() << paints << " paints of a window of class " << ClassOf(wnd);

    // The frames copied from the drawn strip still move: some pixel of the ring changes.
    bool moved = false;
    for (int i = 0; i < 20 && !moved; ++i) {
        Pump(30);
        moved = ScreenPixel(busy, 16, 3) != before;
    }
    EXPECT_TRUE(moved);
    SetAnimate(C(u"Indicator"), false);
}

TEST_F(MainWindowTest, TitleTooWideForItsLabelGetsASmallerFontThatFits)
{
    SetControlText(C(u"LblTitle"), u"Tavrino Tavrino Tavrino");
    ASSERT_EQ(LabelFontSize(C(u"LblTitle")), 44);
    const int wide = ControlTextWidth(C(u"LblTitle"), WindowText(C(u"LblTitle")));
    ASSERT_GT(wide, 484);
    Window->Dress();  // fits the title, measured in its own font
    EXPECT_EQ(LabelFontSize(C(u"LblTitle")), 44 * 484 / wide);
    EXPECT_LE(ControlTextWidth(C(u"LblTitle"), WindowText(C(u"LblTitle"))), 484);
    Pump();
    SaveShot(Wnd, L"window_home_long_title");
}

// Text is measured in the font a control is shown in: a label that takes its font from the
// window shows the desktop font at the window's DPI, not the description's Segoe UI, and is
// measured in it (in logical pixels, rounded up); the title keeps its own font.
TEST_F(MainWindowTest, TextIsMeasuredInTheFontTheControlIsShownIn)
{
    const UINT dpi = GetDpiForWindow(Wnd);
    LOGFONTW lf = {};
    ASSERT_TRUE(SystemParametersInfoForDpi(SPI_GETICONTITLELOGFONT, sizeof lf, &lf, 0, dpi));
    auto width = [dpi](const std::u16string& text, HFONT font) {
        const int w = MeasureText(text, font, dpi);
        DeleteObject(font);
        return w;
    };
    const std::u16string text = u"Intel(R) Ethernet Connection (7) I219-V";
    EXPECT_EQ(ControlTextWidth(C(u"LblAdapter"), text), width(text, CreateFontIndirectW(&lf)));
    EXPECT_EQ(ControlTextWidth(C(u"LblTitle"), text), width(text, MakeFont(NodeOf(C(u"LblTitle"))->Font, dpi)));
}

// The window's icon of that kind: the metric's size at the DPI, and the program's artwork.
void CheckProgramIcon(HWND wnd, WPARAM which, int metric, UINT dpi)
{
    auto icon = reinterpret_cast<HICON>(SendMessageW(wnd, WM_GETICON, which, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    const int size = GetSystemMetricsForDpi(metric, dpi);
    EXPECT_EQ(bm.bmWidth, size);
    // The logo's tile in the accent blue left of the white bolt: the program's icon, not the
    // generic one.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all = {0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    const COLORREF tile = GetPixel(dc, size / 8, size / 2);
    const COLORREF bolt = GetPixel(dc, size * 15 / 32, size / 2);
    EXPECT_NEAR(GetRValue(tile), 0x3D, 40) << size;
    EXPECT_NEAR(GetGValue(tile), 0x84, 40) << size;
    EXPECT_NEAR(GetBValue(tile), 0xDD, 40) << size;
    EXPECT_GT(GetRValue(bolt), 215) << size;
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST_F(MainWindowTest, WindowShowsTheProgramsIconInBothSizesForItsDpi)
{
    const UINT dpi = WindowDpi(Wnd);
    CheckProgramIcon(Wnd, ICON_BIG, SM_CXICON, dpi);
    CheckProgramIcon(Wnd, ICON_SMALL, SM_CXSMICON, dpi);
    // A move to a monitor of another DPI loads both again at that DPI's sizes.
    const UINT to = dpi == 96 ? 144 : 96;
    RECT frame;
    GetWindowRect(Wnd, &frame);
    SendMessageW(Wnd, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&frame));
    Pump(50);
    CheckProgramIcon(Wnd, ICON_BIG, SM_CXICON, to);
    CheckProgramIcon(Wnd, ICON_SMALL, SM_CXSMICON, to);
    EXPECT_NE(GetSystemMetricsForDpi(SM_CXICON, to), GetSystemMetricsForDpi(SM_CXICON, dpi));
}

TEST_F(MainWindowTest, DpiChangeRescalesEveryControl)
{
    const UINT from = WindowDpi(Wnd);
    const UINT to = from == 96 ? 120 : 96;
    RECT frame;
    GetWindowRect(Wnd, &frame);
    SendMessageW(Wnd, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&frame));
    Pump(50);
    EXPECT_EQ(WindowDpi(Wnd), to);
    RECT client;
    GetClientRect(Wnd, &client);
    EXPECT_EQ(client.right, ScaleForDpi(498, static_cast<int>(to)));
    const RECT start = RectInParent(C(u"BtnStart"));
    EXPECT_EQ(start.left, ScaleForDpi(176, static_cast<int>(to)));
    EXPECT_EQ(start.bottom, ScaleForDpi(264 + 68, static_cast<int>(to)));
}

}  // namespace
