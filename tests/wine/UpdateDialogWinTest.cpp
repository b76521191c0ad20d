#include "common/UpdateDialog_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <condition_variable>
#include <map>
#include <mutex>

#include "common/Error.h"
#include "support/FakeShell.h"
#include "support/MemoryRegistry.h"
#include "support/UpdateDoubles.h"
#include "support/UpdateNoticeDriver_win.h"
#include "system/Threads_win.h"

namespace {
const std::u16string kHoldURL = u"http://127.0.0.1:9/api.init.php";

// An HTTP double that the hold request's own thread may call: records requests and lets the
// test wait for them.
class TWaitableHttp final : public IHttp {
public:
    std::optional<std::u16string> Get(const std::u16string& url,
                                      const std::vector<THttpHeader>& headers,
                                      TBodyDecoding) override
    {
        std::lock_guard<std::mutex> lock(FLock);
        FRequests.push_back({url, headers});
        FChanged.notify_all();
        return Answer;
    }
    std::u16string Answer = u"{}";
    struct Request {
        std::u16string URL;
        std::vector<THttpHeader> Headers;
    };
    std::vector<Request> WaitFor(std::size_t count, int ms)
    {
        std::unique_lock<std::mutex> lock(FLock);
        FChanged.wait_for(lock, std::chrono::milliseconds(ms), [&] { return FRequests.size() >= count; });
        return FRequests;
    }

private:
    std::mutex FLock;
    std::condition_variable FChanged;
    std::vector<Request> FRequests;
};

// The Windows threads, except that workers can be dropped: the notice tests set up the unit's
// state with CheckUpdate without running a check.
class TTestThreads final : public IThreads {
public:
    int Drop = 0;
    void StartWorker(std::function<void()> proc) override
    {
        if (Drop > 0) --Drop;
        else FWin.StartWorker(std::move(proc));
    }
    bool Synchronize(const std::function<void()>& proc) override { return FWin.Synchronize(proc); }
    void Sleep(unsigned ms) override { FWin.Sleep(ms); }
    std::unique_ptr<IWaitEvent> NewEvent() override { return FWin.NewEvent(); }
    std::uint64_t Ticks() override { return FWin.Ticks(); }

private:
    TWinThreads FWin;
};

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcW(wnd, msg, wp, lp);
}

// The program's window stands in as the notice's owner: visible, captioned "Tavrino".
HWND CreateMainWindow()
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"TavrinoNoticeTestMain";
    RegisterClassExW(&wc);
    HWND wnd = CreateWindowExW(0, wc.lpszClassName, L"Tavrino", WS_OVERLAPPEDWINDOW, 40, 40, 498,
                               426, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(wnd, SW_SHOW);
    SetForegroundWindow(wnd);
    SetActiveWindow(wnd);
    return wnd;
}

class NoticeWin : public testing::Test {
protected:
    void SetUp() override { Main = CreateMainWindow(); }
    void TearDown() override
    {
        if (IsWindow(Main)) DestroyWindow(Main);
    }
    // A unit whose language is Language, as after its start-up step.
    std::unique_ptr<TUpdate> Unit(const std::u16string& language)
    {
        System.LocaleName = language;
        auto unit = std::make_unique<TUpdate>(Http, Registry, Threads, Shell, System, Unused);
        Threads.Drop = 1;  // the check is not run: only its state is used
        unit->CheckUpdate(kHoldURL, [](bool, const std::u16string&) {}, 10);
        return unit;
    }

    HWND Main = nullptr;
    TWaitableHttp Http;
    TMemoryRegistry Registry;
    TTestThreads Threads;
    TFakeShell Shell;
    TUpdateTestSystem System;
    TUpdateTestNotice Unused;
};

std::u16string Offer(const std::u16string& info)
{
    std::u16string answer = uR"({"update":"https://dl.example/Tavrino-1.6.exe")";
    if (!info.empty()) answer += u",\"info\":{" + info + u"}";
    return answer + u"}";
}

std::u16string WithCrLf(const std::u16string& text)
{
    std::u16string out;
    for (char16_t c : text) {
        out.push_back(c);
        if (c == u'\r') out.push_back(u'\n');
    }
    return out;
}

int Height(const RECT& r) { return r.bottom - r.top; }
int Width(const RECT& r) { return r.right - r.left; }

struct TLookCase {
    const char* Name;
    std::u16string Language;
    std::u16string Info;
    TNoticeExtra Extra;
    std::u16string Caption;
};

class NoticeLook : public NoticeWin, public testing::WithParamInterface<TLookCase> {};

TEST_P(NoticeLook, MessageDialogWithItsAdditions)
{
    const TLookCase& c = GetParam();
    auto unit = Unit(c.Language);
    TWinUpdateNotice notice(Shell);

    // The plain notice of the language first, once: the additions are measured against it.
    static std::map<std::u16string, RECT> plainOuter;
    if (!plainOuter.count(c.Language)) {
        TNoticeDriver plainDriver([](HWND wnd) { ClickControl(wnd, IDNO); });
        EXPECT_FALSE(notice.UpdateDialog(*unit, Offer(u"")));
        ASSERT_TRUE(plainDriver.Seen().Found);
        plainOuter[c.Language] = plainDriver.Seen().Outer;
    }
    const RECT plain = plainOuter[c.Language];

    LRESULT defaultId = 0;
    TNoticeDriver driver(
        [&](HWND wnd) {
            defaultId = SendMessageW(wnd, DM_GETDEFID, 0, 0);
            ClickControl(wnd, IDNO);
        },
        std::string(c.Name));
    EXPECT_FALSE(notice.UpdateDialog(*unit, Offer(c.Info)));
    const TSeenNotice& seen = driver.Seen();
    ASSERT_TRUE(seen.Found);

    EXPECT_EQ(seen.Title, u"Tavrino");
    EXPECT_EQ(seen.Owner, Main);
    EXPECT_TRUE(seen.OwnerDisabled) << "modal to the program's window";
    EXPECT_FALSE(seen.Topmost);
    EXPECT_EQ(seen.Message, WithCrLf(GetUpdateText(0, c.Language)));
    EXPECT_EQ(seen.Yes, GetUpdateText(1, c.Language));
    EXPECT_EQ(seen.No, GetUpdateText(2, c.Language));
    EXPECT_EQ(HIWORD(defaultId), DC_HASDEFID);
    EXPECT_EQ(LOWORD(defaultId), IDYES);

    ASSERT_TRUE(seen.Controls.count(IDYES) && seen.Controls.count(IDNO) &&
                seen.Controls.count(kNoticeMessageId));
    const RECT yes = seen.Controls.at(IDYES), no = seen.Controls.at(IDNO);
    const RECT message = seen.Controls.at(kNoticeMessageId);
    EXPECT_EQ(yes.top, no.top);
    EXPECT_LT(yes.right, no.left) << "Yes stands left of No";
    EXPECT_GT(yes.top, message.bottom);
    EXPECT_LE(no.right, seen.Client.cx);
    EXPECT_LE(message.right, seen.Client.cx);

    const int dpi = static_cast<int>(seen.Dpi);
    const int H = Height(seen.Outer), W = Width(seen.Outer);
    EXPECT_EQ(W, Width(plain)) << "the notice only grows in height";
    const bool separator = seen.Controls.count(kNoticeSeparatorId) != 0;
    EXPECT_EQ(separator, c.Extra != TNoticeExtra::None);
    EXPECT_EQ(seen.Controls.count(kNoticeHoldId) != 0, c.Extra == TNoticeExtra::Hold);
    EXPECT_EQ(seen.Controls.count(kNoticeLinkId) != 0, c.Extra == TNoticeExtra::Note);
    if (c.Extra == TNoticeExtra::None) {
        EXPECT_EQ(H, Height(plain)) << "the message dialog's own size";
        return;
    }
    EXPECT_EQ(H, Height(plain) + ScaleForDpi(30, dpi));
    const RECT line = seen.Controls.at(kNoticeSeparatorId);
    EXPECT_EQ(line.top, H - ScaleForDpi(66, dpi));
    EXPECT_EQ(line.left, 0);
    EXPECT_EQ(Width(line), W);
    EXPECT_EQ(Height(line), 1);
    EXPECT_GT(line.top, yes.bottom) << "below the buttons";
    if (c.Extra == TNoticeExtra::Hold) {
        const RECT box = seen.Controls.at(kNoticeHoldId);
        EXPECT_EQ(box.top, H - ScaleForDpi(56, dpi));
        EXPECT_EQ(box.left, ScaleForDpi(10, dpi));
        EXPECT_EQ(Width(box), W);
        EXPECT_EQ(seen.HoldText, c.Caption);
        EXPECT_LE(box.bottom, seen.Client.cy) << "inside the client area";
    }
    if (c.Extra == TNoticeExtra::Note) {
        const RECT link = seen.Controls.at(kNoticeLinkId);
        EXPECT_EQ(link.top, H - ScaleForDpi(56, dpi));
        EXPECT_EQ(link.left, ScaleForDpi(10, dpi));
        EXPECT_GT(Width(link), 0);
        EXPECT_LT(Width(link), W) << "a link keeps its natural width";
        EXPECT_EQ(seen.LinkText, c.Caption);
        EXPECT_LE(link.bottom, seen.Client.cy);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, NoticeLook,
    testing::Values(
        TLookCase{"plain_en", u"en", u"", TNoticeExtra::None, u""},
        TLookCase{"plain_ko", u"ko", u"", TNoticeExtra::None, u""},
        TLookCase{"hold_en", u"en", uR"("style":"hold","text":"Do not show this version again")",
                  TNoticeExtra::Hold, u"Do not show this version again"},
        TLookCase{"hold_ko", u"ko", uR"("style":"hold","text":"\uC774 \uBC84\uC804\uC740 \uB2E4\uC2DC \uC54C\uB9AC\uC9C0 \uC54A\uAE30")",
                  TNoticeExtra::Hold, u"이 버전은 다시 알리지 않기"},
        TLookCase{"hold_empty_text", u"en", uR"("style":"hold","text":"")", TNoticeExtra::Hold, u""},
        TLookCase{"note_en", u"en", uR"("style":"note","text":"What is new in 1.6","url":"https:\/\/n.example\/1.6")",
                  TNoticeExtra::Note, u"What is new in 1.6"},
        TLookCase{"note_ko", u"ko", uR"("style":"note","text":"새 버전 소개","url":"https:\/\/n.example\/1.6")",
                  TNoticeExtra::Note, u"새 버전 소개"},
        TLookCase{"capital_style_separator_only", u"en", uR"("style":"HOLD","text":"x")",
                  TNoticeExtra::Separator, u""},
        TLookCase{"unknown_language_english", u"pt", u"", TNoticeExtra::None, u""}),
    [](const testing::TestParamInfo<TLookCase>& info) { return std::string(info.param.Name); });

TEST_F(NoticeWin, OnlyTheYesButtonAccepts)
{
    auto unit = Unit(u"en");
    TWinUpdateNotice notice(Shell);
    const struct {
        const char* Name;
        std::function<void(HWND)> Act;
        bool Accepted;
    } cases[] = {
        {"Yes", [](HWND wnd) { ClickControl(wnd, IDYES); }, true},
        {"No", [](HWND wnd) { ClickControl(wnd, IDNO); }, false},
        {"CloseBox", [](HWND wnd) { PostMessageW(wnd, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
        {"Escape", [](HWND wnd) { PostMessageW(GetDlgItem(wnd, IDYES), WM_KEYDOWN, VK_ESCAPE, 0); }, false},
        {"EnterTakesTheDefault", [](HWND wnd) { PostMessageW(GetDlgItem(wnd, IDNO), WM_KEYDOWN, VK_RETURN, 0); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TNoticeDriver driver(c.Act);
        EXPECT_EQ(notice.UpdateDialog(*unit, Offer(u"")), c.Accepted);
        EXPECT_TRUE(driver.Seen().Found);
    }
    EXPECT_TRUE(Shell.Opened.empty()) << "the notice itself opens nothing";
    EXPECT_TRUE(IsWindowEnabled(Main)) << "the owner is enabled again";
}

TEST_F(NoticeWin, TickedHoldSendsTheHoldRequestWhateverTheAnswer)
{
    auto unit = Unit(u"en");
    TWinUpdateNotice notice(Shell);
    const std::u16string answer = Offer(uR"("style":"hold","text":"Hold")");
    for (int button : {IDNO, IDYES}) {
        SCOPED_TRACE(button);
        TNoticeDriver driver([button](HWND wnd) {
            ClickControl(wnd, kNoticeHoldId);
            ClickControl(wnd, button);
        });
        EXPECT_EQ(notice.UpdateDialog(*unit, answer), button == IDYES);
        EXPECT_TRUE(driver.Seen().Found);
    }
    const auto requests = Http.WaitFor(2, 5000);
    ASSERT_EQ(requests.size(), 2u);
    for (const auto& r : requests) {
        EXPECT_EQ(r.URL, kHoldURL);
        ASSERT_EQ(r.Headers.size(), 2u);
        EXPECT_EQ(r.Headers[0].Name, u"User-Version");
        EXPECT_EQ(r.Headers[0].Value, u"1.5.6.0");
        EXPECT_EQ(r.Headers[1].Name, u"User-Command");
        EXPECT_EQ(r.Headers[1].Value, u"hold");
    }

    // Not ticked: no request.
    TNoticeDriver driver([](HWND wnd) { ClickControl(wnd, IDNO); });
    EXPECT_FALSE(notice.UpdateDialog(*unit, answer));
    EXPECT_EQ(Http.WaitFor(3, 500).size(), 2u);
}

TEST_F(NoticeWin, LinkOpensHttpsAddressesAndLeavesTheNoticeOpen)
{
    auto unit = Unit(u"en");
    TWinUpdateNotice notice(Shell);
    const struct {
        std::u16string URL;
        std::vector<std::u16string> Opened;
    } cases[] = {
        {u"https:\\/\\/n.example\\/1.6", {u"https://n.example/1.6"}},
        {u"http:\\/\\/n.example\\/1.6", {}},
        {u"", {}},
        {u"C:\\\\Windows\\\\notepad.exe", {}},
        {u"\\\\\\\\host\\\\share\\\\x.exe", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.URL));
        Shell.Opened.clear();
        bool openAfterClick = false;
        TNoticeDriver driver([&](HWND wnd) {
            ClickControl(wnd, kNoticeLinkId);
            Sleep(100);
            openAfterClick = IsWindowVisible(wnd) != FALSE;
            ClickControl(wnd, IDNO);
        });
        EXPECT_FALSE(notice.UpdateDialog(*unit, Offer(u"\"style\":\"note\",\"text\":\"Notes\",\"url\":\"" + c.URL + u"\"")));
        EXPECT_TRUE(driver.Seen().Found);
        EXPECT_TRUE(openAfterClick);
        EXPECT_EQ(Shell.Opened, c.Opened);
    }
}

TEST_F(NoticeWin, TopmostOnlyForStayOnTop)
{
    auto unit = Unit(u"en");
    TWinUpdateNotice notice(Shell);
    for (const auto& [flag, topmost] : {std::pair<std::u16string, bool>{u"quiet,stayontop", true},
                                        {u"stayontop", true}, {u"STAYONTOP", false}}) {
        SCOPED_TRACE(Utf16ToUtf8(flag));
        TNoticeDriver driver([](HWND wnd) { ClickControl(wnd, IDNO); });
        notice.UpdateDialog(*unit, Offer(u"\"flag\":\"" + flag + u"\""));
        ASSERT_TRUE(driver.Seen().Found);
        EXPECT_EQ(driver.Seen().Topmost, topmost);
    }
}

TEST_F(NoticeWin, MalformedEscapeRaisesBeforeAnythingIsShown)
{
    auto unit = Unit(u"en");
    TWinUpdateNotice notice(Shell);
    EXPECT_THROW(notice.UpdateDialog(*unit, Offer(uR"("style":"note","url":"https://x/\u00Z9")")), EAppError);
    EXPECT_TRUE(IsWindowEnabled(Main));
}
}  // namespace
