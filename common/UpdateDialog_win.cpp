#include "common/UpdateDialog_win.h"

#include <windows.h>

#include "common/WinText_win.h"
#include "common/ErrorGuard.h"

namespace {
constexpr DWORD kNoticeStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kSeparatorColour = RGB(0xCC, 0xCC, 0xCC);
constexpr COLORREF kLinkColour = RGB(0x00, 0x00, 0xFF);

// An empty dialog template: the controls are made when the notice knows its DPI.
struct alignas(4) TEmptyTemplate {
    DLGTEMPLATE Head;
    WORD Menu, Class, Title;
};

template <typename T>
class TGdiObject {
public:
    TGdiObject() = default;
    ~TGdiObject() { Reset(nullptr); }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    void Reset(T object)
    {
        if (FObject) DeleteObject(FObject);
        FObject = object;
    }
    T Get() const { return FObject; }

private:
    T FObject = nullptr;
};

struct TNotice {
    TNotice(const TUpdate& unit, IShell& shell, const TNoticeOptions& options)
        : Unit(unit), Shell(shell), Options(options) {}
    const TUpdate& Unit;
    IShell& Shell;
    const TNoticeOptions& Options;
    HWND Owner = nullptr;
    int Dpi = 96;
    RECT IconRect = {};
    HICON Icon = nullptr;  // shared by the system: never destroyed
    TGdiObject<HFONT> Font, LinkFont;
    TGdiObject<HBRUSH> White, Grey;
    HWND Separator = nullptr, Hold = nullptr, Link = nullptr;
    bool HoldTicked = false;
};

int S(const TNotice& n, int pixels)
{
    return ScaleForDpi(pixels, n.Dpi);
}

// The message with every carriage return a line break for the static control.
std::u16string WithLineBreaks(const std::u16string& text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out.push_back(text[i]);
        if (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')) out.push_back(u'\n');
    }
    return out;
}

SIZE TextSize(HWND wnd, HFONT font, const std::u16string& text, int wrapWidth)
{
    HDC dc = GetDC(wnd);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r = {0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
    UINT format = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS;
    format |= wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE;
    if (text.empty()) {
        TEXTMETRICW tm;
        GetTextMetricsW(dc, &tm);
        r.right = 0;
        r.bottom = tm.tmHeight;
    } else {
        DrawTextW(dc, WStr(text), -1, &r, format);
    }
    SelectObject(dc, old);
    ReleaseDC(wnd, dc);
    return {r.right - r.left, r.bottom - r.top};
}

HWND AddControl(HWND wnd, const wchar_t* kind, const std::u16string& text, DWORD style, int id,
                const TRectI& at, HFONT font)
{
    HWND control = CreateWindowExW(0, kind, WStr(text), WS_CHILD | WS_VISIBLE | style, at.Left,
                                   at.Top, at.Width, at.Height, wnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

BOOL CALLBACK FirstOwnerless(HWND wnd, LPARAM out)
{
    if (IsWindowVisible(wnd) && !GetWindow(wnd, GW_OWNER)) {
        *reinterpret_cast<HWND*>(out) = wnd;
        return FALSE;
    }
    return TRUE;
}

// The program's window: the active one, else the first visible window of this thread.
HWND FindOwner()
{
    HWND active = GetActiveWindow();
    if (active) return active;
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FirstOwnerless, reinterpret_cast<LPARAM>(&found));
    return found;
}

void Build(HWND wnd, TNotice& n)
{
    n.Dpi = static_cast<int>(GetDpiForWindow(wnd));
    if (n.Dpi <= 0) n.Dpi = 96;
    const std::u16string& language = n.Unit.UpdateLanguage();

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                    static_cast<UINT>(n.Dpi)))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof metrics.lfMessageFont,
                   &metrics.lfMessageFont);
    n.Font.Reset(CreateFontIndirectW(&metrics.lfMessageFont));
    LOGFONTW underlined = metrics.lfMessageFont;
    underlined.lfUnderline = TRUE;
    n.LinkFont.Reset(CreateFontIndirectW(&underlined));
    n.White.Reset(CreateSolidBrush(kWhite));
    n.Grey.Reset(CreateSolidBrush(kSeparatorColour));
    n.Icon = static_cast<HICON>(
        LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, S(n, 32), S(n, 32), LR_SHARED));

    // The message dialog itself.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(n.Owner ? n.Owner : wnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;
    const std::u16string message = WithLineBreaks(GetUpdateText(0, language));
    const SIZE text = TextSize(wnd, n.Font.Get(), message,
                               MessageWrapWidth(work.right - work.left, n.Dpi));
    const std::u16string yes = GetUpdateText(1, language), no = GetUpdateText(2, language);
    const int captions = std::max(TextSize(wnd, n.Font.Get(), yes, 0).cx,
                                  TextSize(wnd, n.Font.Get(), no, 0).cx);
    const TMessageLayout layout = LayoutMessageDialog({n.Dpi, text.cx, text.cy, 2, captions});
    n.IconRect = {layout.Icon.Left, layout.Icon.Top, layout.Icon.Right(), layout.Icon.Bottom()};
    AddControl(wnd, L"STATIC", message, SS_LEFT | SS_NOPREFIX, kNoticeMessageId, layout.Text,
               n.Font.Get());
    HWND yesButton = AddControl(wnd, L"BUTTON", yes, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP,
                                IDYES, layout.Buttons[0], n.Font.Get());
    AddControl(wnd, L"BUTTON", no, BS_PUSHBUTTON | WS_TABSTOP, IDNO, layout.Buttons[1], n.Font.Get());
    SendMessageW(wnd, DM_SETDEFID, IDYES, 0);

    RECT outer = {0, 0, layout.ClientWidth, layout.ClientHeight};
    AdjustWindowRectExForDpi(&outer, kNoticeStyle, FALSE, 0, static_cast<UINT>(n.Dpi));
    const int width = outer.right - outer.left;

    // The additions that the answer asks for.
    const TNoticeGeometry g =
        NoticeGeometry(n.Options, width, outer.bottom - outer.top, n.Dpi, n.Unit.LayoutOffset());
    if (g.Extra != TNoticeExtra::None)
        n.Separator = AddControl(wnd, L"STATIC", u"", SS_LEFT, kNoticeSeparatorId, g.Separator,
                                 nullptr);
    if (g.Extra == TNoticeExtra::Hold) {
        const int height = TextSize(wnd, n.Font.Get(), n.Options.Text, 0).cy + S(n, 4);
        n.Hold = AddControl(wnd, L"BUTTON", n.Options.Text, BS_AUTOCHECKBOX | WS_TABSTOP,
                            kNoticeHoldId, {g.ExtraLeft, g.ExtraTop, g.ExtraWidth, height},
                            n.Font.Get());
    } else if (g.Extra == TNoticeExtra::Note) {
        const SIZE size = TextSize(wnd, n.LinkFont.Get(), n.Options.Text, 0);
        n.Link = AddControl(wnd, L"STATIC", n.Options.Text, SS_LEFT | SS_NOPREFIX | SS_NOTIFY,
                            kNoticeLinkId, {g.ExtraLeft, g.ExtraTop, size.cx, size.cy},
                            n.LinkFont.Get());
    }

    // Centred on the screen, titled like the program's window.
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - g.Height) / 2;
    const bool topmost = IsTopmostNotice(n.Options);
    SetWindowPos(wnd, topmost ? HWND_TOPMOST : nullptr, left, top, width, g.Height,
                 topmost ? SWP_NOACTIVATE : SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextW(wnd, n.Owner ? WStr(WindowText(n.Owner)) : L"Tavrino");
    if (topmost && !(n.Owner && IsWindowVisible(n.Owner))) {
        // Without a visible program window the notice stands alone, with the program's icon.
        HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
        if (icon) SendMessageW(wnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        SetWindowLongPtrW(wnd, GWLP_HWNDPARENT, 0);
    }
    SetFocus(yesButton);
}

void Close(HWND wnd, TNotice& n, INT_PTR result)
{
    n.HoldTicked = n.Hold && SendMessageW(n.Hold, BM_GETCHECK, 0, 0) == BST_CHECKED;
    EndDialog(wnd, result);
}

LRESULT Answer(HWND wnd, LRESULT result)
{
    SetWindowLongPtrW(wnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR NoticeMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(wnd, DWLP_USER, lp);
        Build(wnd, *reinterpret_cast<TNotice*>(lp));
        return FALSE;  // the focus is on Yes
    }
    auto* n = reinterpret_cast<TNotice*>(GetWindowLongPtrW(wnd, DWLP_USER));
    if (!n) return FALSE;
    switch (msg) {
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(n->White.Get());
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        const HWND control = reinterpret_cast<HWND>(lp);
        const HDC dc = reinterpret_cast<HDC>(wp);
        if (control == n->Separator) return reinterpret_cast<INT_PTR>(n->Grey.Get());
        SetBkColor(dc, kWhite);
        if (control == n->Link) SetTextColor(dc, kLinkColour);
        return reinterpret_cast<INT_PTR>(n->White.Get());
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        if (n->Icon)
            DrawIconEx(dc, n->IconRect.left, n->IconRect.top, n->Icon,
                       n->IconRect.right - n->IconRect.left, n->IconRect.bottom - n->IconRect.top,
                       0, nullptr, DI_NORMAL);
        EndPaint(wnd, &ps);
        return TRUE;
    }
    case WM_SETCURSOR:
        if (n->Link && reinterpret_cast<HWND>(wp) == n->Link) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return Answer(wnd, TRUE);
        }
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDYES: Close(wnd, *n, IDYES); return TRUE;
        case IDNO: Close(wnd, *n, IDNO); return TRUE;
        case IDCANCEL: Close(wnd, *n, IDCANCEL); return TRUE;
        case kNoticeLinkId:
            // The link's address travels as its hint text; the notice stays open.
            if (HIWORD(wp) == STN_CLICKED) TFormHelper::OpenURL(n->Shell, n->Options.URL);
            return TRUE;
        default: return FALSE;
        }
    case WM_CLOSE:
        Close(wnd, *n, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}
INT_PTR CALLBACK NoticeProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    // A handler's error is reported; the dialog manager then handles the message.
    INT_PTR result = FALSE;
    if (!RunHandler([&] { result = NoticeMessage(wnd, msg, wp, lp); })) result = FALSE;
    return result;
}
}  // namespace

bool TWinUpdateNotice::UpdateDialog(const TUpdate& Unit, const std::u16string& Answer)
{
    const TNoticeOptions options = ReadNoticeOptions(Answer);
    TNotice notice(Unit, FShell, options);
    notice.Owner = FindOwner();
    TEmptyTemplate dialog = {};
    dialog.Head.style = kNoticeStyle;
    const INT_PTR result =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialog.Head, notice.Owner, NoticeProc,
                                reinterpret_cast<LPARAM>(&notice));
    if (notice.HoldTicked) StartHoldRequest(Unit);
    return result == IDYES;
}
