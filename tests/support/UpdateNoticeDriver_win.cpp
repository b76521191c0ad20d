#include "support/UpdateNoticeDriver_win.h"

#include <cstdlib>
#include <fstream>

#include "common/UpdateDialog_win.h"
#include "common/WinText_win.h"

namespace {
std::u16string Text(HWND wnd)
{
    wchar_t buffer[2048] = {};
    GetWindowTextW(wnd, buffer, 2048);
    return FromW(buffer);
}

struct TSearch {
    DWORD Thread;
    HWND Found;
};

BOOL CALLBACK VisibleDialogOf(HWND wnd, LPARAM lp)
{
    auto* s = reinterpret_cast<TSearch*>(lp);
    wchar_t kind[32] = {};
    GetClassNameW(wnd, kind, 32);
    if (GetWindowThreadProcessId(wnd, nullptr) == s->Thread && IsWindowVisible(wnd) &&
        std::wstring(kind) == L"#32770") {
        s->Found = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindNotice(DWORD thread)
{
    TSearch search{thread, nullptr};
    EnumWindows(VisibleDialogOf, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
}  // namespace

TNoticeDriver::TNoticeDriver(std::function<void(HWND)> Act, std::string Shot)
    : FUIThread(GetCurrentThreadId()), FAct(std::move(Act)), FShot(std::move(Shot)),
      FThread([this] { Run(); })
{
}

TNoticeDriver::~TNoticeDriver()
{
    if (FThread.joinable()) FThread.join();
}

const TSeenNotice& TNoticeDriver::Seen()
{
    if (FThread.joinable()) FThread.join();
    return FSeen;
}

void TNoticeDriver::Run()
{
    HWND notice = nullptr;
    for (int i = 0; i < 500 && !notice; ++i) {  // up to 10 s
        notice = FindNotice(FUIThread);
        if (!notice) Sleep(20);
    }
    if (!notice) return;
    Sleep(200);  // let it paint
    TSeenNotice& s = FSeen;
    s.Found = true;
    s.Title = Text(notice);
    GetWindowRect(notice, &s.Outer);
    RECT client;
    GetClientRect(notice, &client);
    s.Client = {client.right, client.bottom};
    s.Topmost = (GetWindowLongW(notice, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    s.Owner = GetWindow(notice, GW_OWNER);
    s.OwnerDisabled = s.Owner && !IsWindowEnabled(s.Owner);
    s.Dpi = GetDpiForWindow(notice);
    for (HWND c = GetWindow(notice, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, notice, reinterpret_cast<POINT*>(&r), 2);
        s.Controls[GetDlgCtrlID(c)] = r;
    }
    s.Message = Text(GetDlgItem(notice, kNoticeMessageId));
    s.Yes = Text(GetDlgItem(notice, IDYES));
    s.No = Text(GetDlgItem(notice, IDNO));
    s.HoldText = Text(GetDlgItem(notice, kNoticeHoldId));
    s.LinkText = Text(GetDlgItem(notice, kNoticeLinkId));

    const char* shots = std::getenv("TAVRINO_NOTICE_SHOTS");
    if (shots && *shots && !FShot.empty()) {
        const std::string base = std::string(shots) + "\\" + FShot;
        std::ofstream(base + ".ready") << s.Outer.left << ' ' << s.Outer.top << ' '
                                       << s.Outer.right << ' ' << s.Outer.bottom << '\n';
        for (int i = 0; i < 1000 && !FileExists(base + ".done"); ++i) Sleep(20);
    }
    if (FAct) FAct(notice);
}

void ClickControl(HWND Notice, int Id)
{
    HWND control = GetDlgItem(Notice, Id);
    RECT r;
    GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(control, WM_LBUTTONUP, 0, at);
}
