// Errors in handlers that Windows calls, under Wine with the toolkit's own unhandled-error
// handling: a click handler, a handler of the window's activation, a timer and a hand-off to
// the UI thread that raise each show the error box (the one a start-up error gets) and the
// window stays usable; a timer that keeps failing while the box is up never stacks a second
// box; a hand-off whose UI thread is gone gives up instead of waiting for good.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/Error.h"
#include "common/WinText_win.h"
#include "common/ErrorGuard.h"
#include "system/Threads_win.h"
#include "toolkit/Description.h"
#include "toolkit/Window_win.h"

namespace {

constexpr UINT_PTR kFailingTimer = 77;

void Pump(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (GetTickCount() < end);
}

std::u16string TextOf(HWND wnd)
{
    wchar_t text[512] = {};
    GetWindowTextW(wnd, text, 512);
    return FromW(text);
}

// Saves the whole screen as PNG under the shots folder.
void SaveScreen(const std::wstring& name)
{
    const char* dir = std::getenv("TAVRINO_SHOTS_DIR");
    const std::wstring folder = dir ? std::wstring(dir, dir + std::strlen(dir)) : L"shots";
    CreateDirectoryW(folder.c_str(), nullptr);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    {
        Gdiplus::Bitmap image(bmp, nullptr);
        CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
        const std::wstring file = folder + L"\\" + name + L".png";
        image.Save(file.c_str(), &png, nullptr);
    }
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

// Watches this process's message boxes from a thread of its own: records each one's text and
// title, the most boxes seen at once, and closes each with OK (once beforeClose, when given,
// has returned).
class TBoxWatcher {
public:
    struct Box {
        std::u16string Text;
        std::u16string Title;
    };
    explicit TBoxWatcher(std::wstring shot = {}, std::function<void()> beforeClose = {})
        : FShot(std::move(shot)), FBeforeClose(std::move(beforeClose))
    {
        FThread = std::thread([this] { Watch(); });
    }
    ~TBoxWatcher()
    {
        FStop = true;
        FThread.join();
    }
    std::vector<Box> Boxes()
    {
        std::lock_guard<std::mutex> lock(FLock);
        return FBoxes;
    }
    int MostAtOnce() const { return FMost; }

private:
    static BOOL CALLBACK Collect(HWND wnd, LPARAM lp)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        wchar_t cls[16] = {};
        GetClassNameW(wnd, cls, 16);
        if (pid == GetCurrentProcessId() && IsWindowVisible(wnd) && lstrcmpW(cls, L"#32770") == 0)
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(wnd);
        return TRUE;
    }
    void Watch()
    {
        while (!FStop) {
            std::vector<HWND> boxes;
            EnumWindows(Collect, reinterpret_cast<LPARAM>(&boxes));
            if (static_cast<int>(boxes.size()) > FMost) FMost = static_cast<int>(boxes.size());
            for (HWND box : boxes) {
                if (box == FLast && IsWindow(box)) continue;  // closing already
                Sleep(100);  // painted
                if (!FShot.empty()) {
                    SaveScreen(FShot);
                    FShot.clear();
                }
                // The texts are read before the lock is taken: reading another thread's
                // window sends that thread a message, and the UI thread, inside the box's
                // modal loop, may be waiting in Boxes() for the same lock.
                Box seen{TextOf(GetDlgItem(box, 0xFFFF)), TextOf(box)};
                {
                    std::lock_guard<std::mutex> lock(FLock);
                    FBoxes.push_back(std::move(seen));
                }
                FLast = box;
                if (FBeforeClose) FBeforeClose();
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            Sleep(20);
        }
    }

    std::wstring FShot;
    std::function<void()> FBeforeClose;
    std::atomic<bool> FStop{false};
    std::atomic<int> FMost{0};
    std::mutex FLock;
    std::vector<Box> FBoxes;
    HWND FLast = nullptr;
    std::thread FThread;
};

// A window with two check boxes: the first one's handler raises, the second one's counts.
const char kTwoBoxes[] = R"(
object Frm: TForm
  ClientWidth = 300
  ClientHeight = 120
  Caption = 'Tavrino'
  object Failing: TCheckBox
    Left = 10
    Top = 10
    Width = 200
    Height = 20
    Caption = 'Fails'
    OnClick = Fail
  end
  object Working: TCheckBox
    Left = 10
    Top = 40
    Width = 200
    Height = 20
    Caption = 'Works'
    OnClick = Work
  end
end
)";

class HandlerErrorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The toolkit's own handling: the error box of the program.
        SetErrorHandler(nullptr);
        Toolkit = new TWin32Toolkit();
    }
    static void TearDownTestSuite()
    {
        delete Toolkit;
        Toolkit = nullptr;
        SetErrorHandler(nullptr);
    }

    void SetUp() override
    {
        TWindowEvents events;
        events.Handle = [this](const std::u16string& handler, const std::u16string&) {
            if (handler == u"Fail") throw EAppError(u"The click handler failed.");
            ++WorkingClicks;
        };
        events.Activated = [this] {
            if (FailActivation) throw EAppError(u"The activation handler failed.");
        };
        Wnd = CreateDescribedWindow(ReadDescription(kTwoBoxes, [](const std::u16string&) { return true; }), {},
                                    std::move(events));
        ASSERT_NE(Wnd, nullptr);
        Failing = ControlWindow(Wnd, u"Failing");
        Working = ControlWindow(Wnd, u"Working");
        ShowDescribedWindow(Wnd);
        Pump(100);
    }
    void TearDown() override
    {
        if (IsWindow(Wnd)) DestroyWindow(Wnd);
        Pump(50);
    }

    // Clicks a check box the way the mouse does, through the message loop.
    void Click(HWND box)
    {
        PostMessageW(box, BM_CLICK, 0, 0);
        Pump(1500);
    }

    // The window still answers: the working box's handler runs and its window shows the state.
    void ExpectUsable()
    {
        ASSERT_TRUE(IsWindow(Wnd));
        EXPECT_TRUE(IsWindowEnabled(Wnd));
        const int before = WorkingClicks;
        const LRESULT checked = SendMessageW(Working, BM_GETCHECK, 0, 0);
        Click(Working);
        EXPECT_EQ(WorkingClicks, before + 1);
        EXPECT_NE(SendMessageW(Working, BM_GETCHECK, 0, 0), checked);
    }

    static TWin32Toolkit* Toolkit;
    HWND Wnd = nullptr;
    HWND Failing = nullptr;
    HWND Working = nullptr;
    int WorkingClicks = 0;
    bool FailActivation = false;
};
TWin32Toolkit* HandlerErrorTest::Toolkit = nullptr;

TEST_F(HandlerErrorTest, AClickHandlerThatRaisesShowsTheErrorBoxEachTime)
{
    TBoxWatcher watcher(L"handler_error_box");
    Click(Failing);
    Click(Failing);
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.Text, u"The click handler failed.");
        EXPECT_EQ(box.Title, u"Tavrino");
    }
    ExpectUsable();
}

TEST_F(HandlerErrorTest, AnActivationHandlerThatRaises)
{
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetActiveWindow(other);
    Pump(100);
    FailActivation = true;
    TBoxWatcher watcher;
    SetActiveWindow(Wnd);
    Pump(1500);
    FailActivation = false;
    DestroyWindow(other);
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, u"The activation handler failed.");
    ExpectUsable();
    // Painting and sizing go on.
    EXPECT_TRUE(SetWindowPos(Wnd, nullptr, 0, 0, 400, 200, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_TRUE(RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN));
}

// A timer that fails at every tick while its box is up: one box at a time, never stacked;
// once the box is closed the next tick is reported again.
// The failing timer's state, which its callback reaches.
std::atomic<int> ticks{0};
std::atomic<bool> stopped{false};
TBoxWatcher* seen = nullptr;
DWORD end = 0;

// A timer of the window whose handler raises through the program's guard at every tick.
void CALLBACK FailingTick(HWND wnd, UINT, UINT_PTR id, DWORD)
{
    RunHandler([&] {
        // Enough once three boxes were closed (or time is up): the timer ends.
        if (seen->Boxes().size() >= 3 || GetTickCount() > end) {
            KillTimer(wnd, id);
            stopped = true;
            return;
        }
        ++ticks;
        throw EAppError(u"The timer failed.");
    });
}

TEST_F(HandlerErrorTest, ATimerThatKeepsFailingNeverStacksBoxes)
{
    ticks = 0;
    stopped = false;
    // Each box stays up until the timer has ticked again behind it (or has been stopped),
    // however slowly the machine runs the timer: those ticks must be dropped, not shown as
    // more boxes.
    TBoxWatcher watcher({}, [&] {
        const int before = ticks;
        const DWORD until = GetTickCount() + 30000;
        while (ticks == before && !stopped && GetTickCount() < until) Sleep(10);
    });
    seen = &watcher;
    end = GetTickCount() + 60000;
    ASSERT_NE(SetTimer(Wnd, kFailingTimer, 30, FailingTick), 0u);
    while (GetTickCount() < end && watcher.Boxes().size() < 3) Pump(100);
    KillTimer(Wnd, kFailingTimer);
    stopped = true;
    Pump(500);

    EXPECT_GE(watcher.Boxes().size(), 3u);
    EXPECT_EQ(watcher.MostAtOnce(), 1);
    EXPECT_GT(ticks.load(), static_cast<int>(watcher.Boxes().size()));  // the rest were dropped
    for (const auto& box : watcher.Boxes()) EXPECT_EQ(box.Text, u"The timer failed.");
    ExpectUsable();
}

// A handed-off step that raises: the box on the UI thread, and the worker goes on.
TEST_F(HandlerErrorTest, AHandOffThatRaisesIsReportedAndTheWorkerGoesOn)
{
    TWinThreads threads;
    TBoxWatcher watcher;
    std::atomic<int> result{-1};
    std::atomic<DWORD> ranOn{0};
    std::thread worker([&] {
        const bool ran = threads.Synchronize([&] {
            ranOn = GetCurrentThreadId();
            throw EAppError(u"The handed-off step failed.");
        });
        result = ran ? 1 : 0;
    });
    // Bounded far beyond what the step needs: only a hand-off that never came back runs out.
    const DWORD end = GetTickCount() + 60000;
    while (result < 0 && GetTickCount() < end) Pump(50);
    ASSERT_GE(result.load(), 0) << "the worker's hand-off did not return within 60 s";
    worker.join();
    EXPECT_EQ(result.load(), 1);
    EXPECT_EQ(ranOn.load(), GetCurrentThreadId());
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, u"The handed-off step failed.");
    ExpectUsable();
}

// The hand-off's window belongs to a thread that has ended: Synchronize gives up within a few
// seconds, without running the step, instead of leaving its caller waiting for good.
TEST(HandOffTest, AGoneUIThreadGivesUpWithoutRunning)
{
    std::unique_ptr<TWinThreads> threads;
    std::thread([&] { threads = std::make_unique<TWinThreads>(); }).join();  // its window goes
    bool ran = false;
    const DWORD start = GetTickCount();
    EXPECT_FALSE(threads->Synchronize([&] { ran = true; }));
    EXPECT_LT(GetTickCount() - start, 60000u) << "Synchronize waited for a thread that is gone";
    EXPECT_FALSE(ran);
    threads.reset();
}

}  // namespace
