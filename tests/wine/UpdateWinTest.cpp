#include "common/Update_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/Text.h"
#include "common/UpdateDialog_win.h"
#include "common/WinText_win.h"
#include "support/FakeShell.h"
#include "support/UpdateNoticeDriver_win.h"
#include "system/Http_win.h"
#include "system/RegistryFacility_win.h"
#include "system/Threads_win.h"

namespace {
// The test program carries the program's version resource.
TEST(UpdateWinSystem, FileVersionComesFromTheVersionResource)
{
    TWinUpdateSystem system;
    EXPECT_EQ(system.FileVersion(), (TFileVersion{1, 5, 6, 0}));
}

TEST(UpdateWinSystem, LocaleClockAndRandom)
{
    TWinUpdateSystem system;
    const auto name = system.LocaleLanguageName();
    ASSERT_TRUE(name.has_value());
    EXPECT_GE(name->size(), 2u);
    for (char16_t c : *name) EXPECT_TRUE(c >= u'a' && c <= u'z') << Utf16ToUtf8(*name);

    SYSTEMTIME now;
    GetLocalTime(&now);
    const TLocalTime t = system.LocalTime();
    EXPECT_EQ(t.Year, now.wYear);
    EXPECT_TRUE(t.Month >= 1 && t.Month <= 12 && t.Hour >= 0 && t.Hour <= 23);

    bool sawHigh = false, sawLow = false;
    for (int i = 0; i < 2000; ++i) {
        const std::uint32_t r = system.Random(16);
        ASSERT_LT(r, 16u);
        sawHigh |= r == 15;
        sawLow |= r == 0;
    }
    EXPECT_TRUE(sawHigh && sawLow) << "the whole range is drawn";
}

// What the scripts tests/wine/update_check.sh give: the endpoint of a server that they started
// on loopback, and the reference deployment's answer directory.
std::u16string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? Utf8ToUtf16(value) : std::u16string();
}

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcW(wnd, msg, wp, lp);
}

// The whole check as the program runs it: Windows registry, WinHTTP, worker threads and the
// notice; only the shell is a double (nothing is opened for real).
class UpdateService : public testing::Test {
protected:
    void SetUp() override
    {
        Endpoint = Env("TAVRINO_TEST_ENDPOINT");
        AnswerDir = Env("TAVRINO_TEST_ANSWER_DIR");
        if (Endpoint.empty()) GTEST_SKIP() << "run by tests/wine/update_check.sh";
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TavrinoUpdateTestMain";
        RegisterClassExW(&wc);
        Main = CreateWindowExW(0, wc.lpszClassName, L"Tavrino", WS_OVERLAPPEDWINDOW, 60, 60, 498,
                               426, nullptr, nullptr, wc.hInstance, nullptr);
        ShowWindow(Main, SW_SHOW);
    }
    void TearDown() override
    {
        if (Main && IsWindow(Main)) DestroyWindow(Main);
        if (!AnswerDir.empty()) DeleteFileW(WStr(AnswerDir + u"\\answer.json"));
    }
    void Answer(const std::string& body)
    {
        ASSERT_FALSE(AnswerDir.empty());
        std::ofstream(Utf16ToUtf8(AnswerDir) + "\\answer.json", std::ios::binary) << body;
    }
    // Runs one check to its end, with the main window's callback: true closes the window.
    void Check()
    {
        ASSERT_TRUE(RunCheck(20000)) << "the check called back";
    }
    // Starts a check and runs the message loop until it calls back or ms have passed.
    bool RunCheck(DWORD ms)
    {
        Done = false;
        Update.CheckUpdate(Endpoint, [this](bool accepted, const std::u16string& answer) {
            Done = true;
            Accepted = accepted;
            Body = answer;
            if (accepted) DestroyWindow(Main);
        }, 10);
        const DWORD until = GetTickCount() + ms;
        MSG msg;
        while (!Done && GetTickCount() < until) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        return Done;
    }

    // Requests that the reference deployment has logged so far.
    int Requests() const
    {
        std::ifstream log(Utf16ToUtf8(AnswerDir) + "\\..\\logs\\access.log");
        int lines = 0;
        for (std::string line; std::getline(log, line);) ++lines;
        return lines;
    }

    std::u16string Endpoint, AnswerDir;
    HWND Main = nullptr;
    TWinRegistry Registry;
    TWinHttp Http;
    TWinThreads Threads;
    TFakeShell Shell;
    TWinUpdateSystem System;
    TWinUpdateNotice Notice{Shell};
    TUpdate Update{Http, Registry, Threads, Shell, System, Notice};
    bool Done = false, Accepted = false;
    std::u16string Body;
};

// Two program starts against the service: its own answer for the current version is no offer.
TEST_F(UpdateService, TwoRunsWithoutAnOffer)
{
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        Check();
        EXPECT_FALSE(Accepted);
        EXPECT_NE(Body.find(u"\"result\""), std::u16string::npos) << Utf16ToUtf8(Body);
        EXPECT_TRUE(IsWindow(Main));
        EXPECT_TRUE(Shell.Opened.empty());
    }
    TUpdate fresh(Http, Registry, Threads, Shell, System, Notice);
    EXPECT_TRUE(IsUIDShape(fresh.GetUID()));
}

TEST_F(UpdateService, OfferAcceptedOpensTheAddressAndClosesTheWindow)
{
    if (AnswerDir.empty()) GTEST_SKIP() << "needs the reference deployment";
    Answer(R"({"update":"https:\/\/127.0.0.1\/download\/Tavrino.exe","info":{"style":"","text":"","flag":"","url":""}})");
    TNoticeDriver driver([](HWND wnd) { ClickControl(wnd, IDYES); });
    Check();
    EXPECT_TRUE(driver.Seen().Found);
    EXPECT_TRUE(Accepted);
    EXPECT_EQ(Shell.Opened, std::vector<std::u16string>{u"https://127.0.0.1/download/Tavrino.exe"});
    EXPECT_FALSE(IsWindow(Main)) << "the main window closed";
}

TEST_F(UpdateService, OfferDeclinedLeavesTheWindowOpenAndHoldIsSent)
{
    if (AnswerDir.empty()) GTEST_SKIP() << "needs the reference deployment";
    Answer(R"({"update":"https://dl.example/Tavrino.exe","info":{"style":"hold","text":"Hold this version"}})");
    TNoticeDriver driver([](HWND wnd) {
        ClickControl(wnd, kNoticeHoldId);
        ClickControl(wnd, IDNO);
    });
    const int before = Requests();
    Check();
    EXPECT_TRUE(driver.Seen().Found);
    EXPECT_EQ(driver.Seen().HoldText, u"Hold this version");
    EXPECT_FALSE(Accepted);
    EXPECT_TRUE(Shell.Opened.empty());
    EXPECT_TRUE(IsWindow(Main));
    // The hold request runs on a thread of its own: the service logs it after the check's own
    // request (the script reads both from the log).
    const DWORD until = GetTickCount() + 30000;
    while (Requests() < before + 2 && GetTickCount() < until) Sleep(50);
    EXPECT_EQ(Requests(), before + 2) << "the service did not log the check and the hold request within 30 s";
}

TEST_F(UpdateService, MalformedEscapeEndsTheCheckQuietly)
{
    if (AnswerDir.empty()) GTEST_SKIP() << "needs the reference deployment";
    for (const char* body : {R"({"update":"https://127.0.0.1/\u00ZZ"})",
                             R"({"update":"https://127.0.0.1/","info":{"style":"note","url":"\u"}})"}) {
        SCOPED_TRACE(body);
        Answer(body);
        const int before = Requests();
        EXPECT_FALSE(RunCheck(3000)) << "no callback";
        const DWORD until = GetTickCount() + 30000;
        while (Requests() < before + 1 && GetTickCount() < until) Sleep(50);
        EXPECT_EQ(Requests(), before + 1) << "one answer, no retry: the check ended";
        EXPECT_TRUE(Shell.Opened.empty());
        EXPECT_TRUE(IsWindow(Main)) << "the program goes on";
    }
}

TEST_F(UpdateService, AddressOtherThanHttpsOffersNothing)
{
    if (AnswerDir.empty()) GTEST_SKIP() << "needs the reference deployment";
    for (const char* body : {R"({"update":"http://127.0.0.1/download/Tavrino.exe"})",
                             R"({"update":"C:\\Windows\\System32\\calc.exe"})",
                             R"({"update":"\\\\127.0.0.1\\share\\setup.exe"})",
                             R"({"update":"file:///C:/setup.exe"})"}) {
        SCOPED_TRACE(body);
        Answer(body);
        Check();  // a notice would hold the check: it calls back only when none is shown
        EXPECT_FALSE(Accepted);
        EXPECT_EQ(Body, Utf8ToUtf16(body));
        EXPECT_TRUE(Shell.Opened.empty());
        EXPECT_TRUE(IsWindow(Main));
    }
}
}  // namespace
