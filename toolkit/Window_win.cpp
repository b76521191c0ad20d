#include "toolkit/Window_win.h"

#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <utility>
#include <vector>

#include "common/Dpi.h"
#include "common/Error.h"
#include "common/ErrorGuard.h"
#include "common/Text.h"
#include "common/WinText_win.h"
#include "toolkit/Accessibility.h"
#include "toolkit/Accessible_win.h"
#include "toolkit/StartupTrace.h"
#include "toolkit/Win32Paint_win.h"

namespace {

const wchar_t kFormClass[] = L"TavrinoForm";
const wchar_t kPanelClass[] = L"TavrinoPanel";
const wchar_t kPaintClass[] = L"TavrinoPaint";
const wchar_t kViewProp[] = L"TavrinoView";
constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kAnimationTimer = 1;
// The program's icon resource (resources/Tavrino.rc).
constexpr WORD kProgramIcon = 1;
// A parent sends a child's notification back to the child as kReflect + the message.
constexpr UINT kReflect = WM_APP + 0x100;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

// The application's main window (ShowDescribedWindow).
HWND gMainWindow = nullptr;

struct TFormState;

// What is kept beside the handle of one window: the form's, or a control's.
struct TView {
    const TNode* Node = nullptr;  // null for the form
    TFormState* Form = nullptr;
    HWND Wnd = nullptr;
    bool Hot = false;
    bool Down = false;
    bool Animate = false;
    int Frame = 0;
    UINT_PTR Timer = 0;
    std::u16string AccessibleName;
    HFONT OwnFont = nullptr;  // a label's font of its own
    int OwnFontSize = 0;      // its size in points when set by the program; 0: the description's
    TIndicatorFrames Frames;

    TView() = default;
    TView(const TView&) = delete;
    TView& operator=(const TView&) = delete;
    ~TView()
    {
        if (OwnFont) DeleteObject(OwnFont);
    }
};

struct TFormState {
    TWindowDescription Description;
    TAccentStrip Strip;
    TWindowEvents Events;
    TView Self;
    std::vector<std::unique_ptr<TView>> Views;  // in the order of the description
    UINT Dpi = 96;
    HFONT Font = nullptr;  // the window's font at Dpi
    bool DesktopFont = false;
    std::vector<std::pair<TColor, HBRUSH>> Brushes;
    bool Active = true;
    bool Created = false;  // the window frees the state from then on
    bool Shown = false;
    HWND LastFocus = nullptr;
    // The focus and accelerator cues of the window's UI state. Windows keeps that state for
    // every window and tells each of them; where the system keeps none (Wine), the window
    // keeps what WM_CHANGEUISTATE tells it, the same way, and its buttons ask it.
    bool SystemUiState = true;
    WORD UiState = 0;
    HICON Icons[2] = {nullptr, nullptr};  // big, small

    TFormState() = default;
    TFormState(const TFormState&) = delete;
    TFormState& operator=(const TFormState&) = delete;
    ~TFormState()
    {
        if (Font) DeleteObject(Font);
        for (auto& [color, brush] : Brushes) DeleteObject(brush);
        for (HICON icon : Icons)
            if (icon) DestroyIcon(icon);
    }

    int Scale(int v) const { return ScaleForDpi(v, static_cast<int>(Dpi)); }

    // A brush of that colour, made once until the colours change.
    HBRUSH Brush(TColor color)
    {
        for (auto& [c, brush] : Brushes)
            if (c == color) return brush;
        HBRUSH brush = CreateSolidBrush(ResolveColor(color));
        Brushes.emplace_back(color, brush);
        return brush;
    }
    void DropBrushes()
    {
        for (auto& [color, brush] : Brushes) DeleteObject(brush);
        Brushes.clear();
    }
};

TView* ViewOf(HWND wnd)
{
    return wnd ? static_cast<TView*>(GetPropW(wnd, kViewProp)) : nullptr;
}

TFormState* FormOf(HWND wnd)
{
    TView* view = ViewOf(GetAncestor(wnd, GA_ROOT));
    return view && !view->Node ? view->Form : nullptr;
}

TView& RequireView(HWND wnd)
{
    TView* view = ViewOf(wnd);
    if (!view || !view->Node) throw EAppError(u"Not a control of the program's window");
    return *view;
}

// The font a control is shown in: its own, or the window's.
HFONT FontOf(const TView& view)
{
    return view.OwnFont ? view.OwnFont : view.Form->Font;
}

// The background a control lies on: the colour of what holds it.
TColor BackgroundOf(const TView& view)
{
    const HWND parent = GetParent(view.Wnd);
    const TView* holder = ViewOf(parent);
    if (!holder) return clWindow;
    return holder->Node ? holder->Node->Color : holder->Form->Description.Color;
}

// The program's icon at the size a metric asks for at that DPI (the image of that size, or the
// nearest one scaled); null when the program has none (the window class's icon then shows).
HICON LoadProgramIcon(int metric, UINT dpi)
{
    const int size = GetSystemMetricsForDpi(metric, dpi);
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// Runs a handler the description names, for a control (or the window); an error is reported.
void RunNamed(TFormState& form, const std::u16string& handler, const std::u16string& sender)
{
    if (handler.empty() || !form.Events.Handle) return;
    RunHandler([&] { form.Events.Handle(handler, sender); });
}

void Click(TView& view)
{
    RunNamed(*view.Form, view.Node->OnClick, view.Node->Name);
}

// The default button while it is visible and enabled, else null: it has the focus when the
// window opens or is activated with nothing to go back to, takes it back when it is enabled
// again, and Enter clicks it when the focus is on no other button.
HWND DefaultButton(const TFormState& form)
{
    for (const auto& view : form.Views)
        if (view->Node->Default)
            return IsWindowVisible(view->Wnd) && IsWindowEnabled(view->Wnd) ? view->Wnd : nullptr;
    return nullptr;
}

bool IsButton(const TView* view)
{
    return view && view->Node && (view->Node->Kind == TKind::Button || view->Node->Kind == TKind::ToolButton);
}

bool FocusCueHidden(HWND wnd)
{
    const TFormState* form = FormOf(wnd);
    if (form && !form->SystemUiState) return (form->UiState & UISF_HIDEFOCUS) != 0;
    return (SendMessageW(wnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
}

void UpdateTimer(TView& view)
{
    if (view.Node->Kind != TKind::Indicator) return;
    const bool visible = (GetWindowLongPtrW(view.Wnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (view.Animate && visible) {
        if (!view.Timer)
            view.Timer = SetTimer(view.Wnd, kAnimationTimer, static_cast<UINT>(view.Node->FrameDelay), nullptr);
    } else if (view.Timer) {
        KillTimer(view.Wnd, kAnimationTimer);
        view.Timer = 0;
    }
}

void NotifyState(HWND wnd)
{
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, wnd, OBJID_CLIENT, CHILDID_SELF);
}

bool DescribeWindow(HWND wnd, TAccessibleInfo& info)
{
    const TView* view = ViewOf(wnd);
    if (!view || !view->Node) return false;
    TControlState state;
    state.Text = WindowText(wnd);
    state.AccessibleName = view->AccessibleName;
    state.Showing = IsWindowVisible(wnd) != FALSE;
    state.Enabled = IsWindowEnabled(wnd) != FALSE;
    state.Checked = view->Node->Kind == TKind::CheckBox && SendMessageW(wnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
    state.Down = view->Down;
    state.Animating = view->Animate;
    info = DescribeControl(*view->Node, state);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Fonts, sizes and colours for the window's DPI.

void MakeOwnFont(TView& view)
{
    if (view.OwnFont) DeleteObject(view.OwnFont);
    TFont font = view.Node->Font;
    if (view.OwnFontSize) font.SetSize(view.OwnFontSize);
    view.OwnFont = MakeFont(font, view.Form->Dpi);
}

void MakeFonts(TFormState& form)
{
    if (form.Font) DeleteObject(form.Font);
    form.Font = form.DesktopFont ? MakeDesktopFont(form.Dpi) : nullptr;
    if (!form.Font) form.Font = MakeFont(form.Description.Font, form.Dpi);
    for (auto& view : form.Views) {
        if (view->Node->OwnFont) MakeOwnFont(*view);
        SendMessageW(view->Wnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(*view)), FALSE);
    }
    RedrawWindow(form.Self.Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Sizes the window so that its client area is the description's, scaled; placed at pos if given.
void FitWindow(TFormState& form, const POINT* pos)
{
    RECT r = {0, 0, form.Scale(form.Description.ClientWidth), form.Scale(form.Description.ClientHeight)};
    AdjustWindowRectExForDpi(&r, kStyle, FALSE, kExStyle, form.Dpi);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!pos) flags |= SWP_NOMOVE;
    SetWindowPos(form.Self.Wnd, nullptr, pos ? pos->x : 0, pos ? pos->y : 0, r.right - r.left, r.bottom - r.top, flags);
}

RECT ScaledBounds(const TFormState& form, const TNode& node)
{
    const TRect& b = node.Bounds;
    return {form.Scale(b.Left), form.Scale(b.Top), form.Scale(b.Left + b.Width), form.Scale(b.Top + b.Height)};
}

void PlaceControls(TFormState& form)
{
    for (auto& view : form.Views) {
        const RECT r = ScaledBounds(form, *view->Node);
        SetWindowPos(view->Wnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The window's big and small icons, the program's, sized for the window's DPI.
void UpdateIcons(TFormState& form)
{
    const HICON icons[2] = {LoadProgramIcon(SM_CXICON, form.Dpi), LoadProgramIcon(SM_CXSMICON, form.Dpi)};
    SendMessageW(form.Self.Wnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons[0]));
    SendMessageW(form.Self.Wnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons[1]));
    for (int i = 0; i < 2; ++i) {
        if (form.Icons[i]) DestroyIcon(form.Icons[i]);
        form.Icons[i] = icons[i];
    }
}

RECT StripRect(const TFormState& form)
{
    RECT r;
    GetClientRect(form.Self.Wnd, &r);
    r.bottom = form.Scale(form.Strip.Height);
    return r;
}

// Under high contrast the strip's fixed colours yield to the highlight while active.
TColor StripColor(const TFormState& form)
{
    const TColor color = form.Strip.StripColor ? form.Strip.StripColor(form.Active) : clHighlight;
    return ContrastColor(color, form.Active ? clHighlight : clGrayText);
}

// ---------------------------------------------------------------------------------------------
// The procedures. Each message a handler cannot answer goes to the default handling.

// What a window that holds controls does with their notifications: each goes back to the
// child it concerns. True when the child answered.
bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        child = reinterpret_cast<HWND>(lp);
        break;
    case WM_DRAWITEM:
        child = reinterpret_cast<const DRAWITEMSTRUCT*>(lp)->hwndItem;
        break;
    default:
        return false;
    }
    if (!ViewOf(child)) return false;
    result = SendMessageW(child, kReflect + msg, wp, lp);
    return true;
}

// Enter, through the dialog manager: the focused button is clicked, else the default button.
void PressEnter(TFormState& form)
{
    TView* focused = ViewOf(GetFocus());
    if (IsButton(focused)) {
        if (IsWindowEnabled(focused->Wnd)) Click(*focused);
    } else if (HWND button = DefaultButton(form)) {
        Click(*ViewOf(button));
    }
}

// Focus goes back to the control that had it, as in a dialog; the first time, and when that
// control can no longer take it, to the default button, else the first tab stop.
bool RestoreFocus(TFormState& form)
{
    HWND wnd = form.Self.Wnd;
    HWND to = form.LastFocus;
    if (!to || !IsWindow(to) || !IsChild(wnd, to) || !IsWindowVisible(to) || !IsWindowEnabled(to)) {
        to = DefaultButton(form);
        if (!to) to = GetNextDlgTabItem(wnd, nullptr, FALSE);
    }
    if (!to) return false;
    SetFocus(to);
    return true;
}

LRESULT FormMessage(TFormState& form, HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT result = 0;
    if (ReflectToChild(msg, wp, lp, result)) return result;
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK && lp == 0) PressEnter(form);
        return 0;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(wnd, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, form.Brush(form.Description.Color));
        if (form.Strip.Height > 0) {
            const RECT strip = StripRect(form);
            FillRect(reinterpret_cast<HDC>(wp), &strip, form.Brush(StripColor(form)));
        }
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(wnd, &ps);
        EndPaint(wnd, &ps);
        StartupMark("first paint");
        return 0;
    }
    case WM_ACTIVATE: {
        form.Active = LOWORD(wp) != WA_INACTIVE;
        if (form.Strip.Height > 0) {
            const RECT strip = StripRect(form);
            InvalidateRect(wnd, &strip, TRUE);
        }
        if (!form.Active) {
            HWND focus = GetFocus();
            if (focus && IsChild(wnd, focus)) form.LastFocus = focus;
            return DefWindowProcW(wnd, msg, wp, lp);
        }
        if (HIWORD(wp) || !RestoreFocus(form)) result = DefWindowProcW(wnd, msg, wp, lp);
        if (form.Events.Activated) RunHandler(form.Events.Activated);
        return result;
    }
    case WM_DPICHANGED: {
        form.Dpi = HIWORD(wp);
        const auto* suggested = reinterpret_cast<const RECT*>(lp);
        const POINT pos = {suggested->left, suggested->top};
        FitWindow(form, &pos);
        PlaceControls(form);
        MakeFonts(form);
        UpdateIcons(form);
        return 0;
    }
    case WM_CHANGEUISTATE:
        result = DefWindowProcW(wnd, msg, wp, lp);
        if (!form.SystemUiState) {
            const WORD before = form.UiState;
            if (LOWORD(wp) == UIS_SET) form.UiState |= HIWORD(wp);
            else if (LOWORD(wp) == UIS_CLEAR) form.UiState &= static_cast<WORD>(~HIWORD(wp));
            if (form.UiState != before) RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        }
        return result;
    case WM_SETTINGCHANGE:
        if (form.DesktopFont) MakeFonts(form);
        [[fallthrough]];
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        // Brushes made again from the system colours now in force, then everything drawn again.
        form.DropBrushes();
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return DefWindowProcW(wnd, msg, wp, lp);
    case WM_CLOSE:
        DestroyWindow(wnd);
        return 0;
    case WM_ENDSESSION:
        if (wp && form.Events.Ending) RunHandler(form.Events.Ending);  // the session ends without a destroy
        return 0;
    case WM_DESTROY:
        if (form.Events.Ending) RunHandler(form.Events.Ending);
        if (wnd == gMainWindow) {
            gMainWindow = nullptr;
            PostQuitMessage(0);
        }
        return 0;
    default:
        return DefWindowProcW(wnd, msg, wp, lp);
    }
}

LRESULT CALLBACK FormProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* form = static_cast<TFormState*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        form->Self.Wnd = wnd;
        SetPropW(wnd, kViewProp, &form->Self);
    }
    TView* self = ViewOf(wnd);
    if (!self) return DefWindowProcW(wnd, msg, wp, lp);
    TFormState& form = *self->Form;
    LRESULT result = 0;
    // A handler's error is reported; the message then gets the default handling.
    if (!RunHandler([&] { result = FormMessage(form, wnd, msg, wp, lp); })) result = DefWindowProcW(wnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        RemovePropW(wnd, kViewProp);
        if (form.Created) delete &form;
    }
    return result;
}

// Panels, pages and the tool bar: their colour, and their children's notifications.
LRESULT CALLBACK PanelProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    TView* view = ViewOf(wnd);
    if (!view) return DefWindowProcW(wnd, msg, wp, lp);
    LRESULT result = 0;
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(wnd, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, view->Form->Brush(view->Node->Color));
        return 1;
    }
    case WM_GETOBJECT:
        if (AnswerGetObject(wnd, wp, lp, DescribeWindow, result)) return result;
        break;
    case WM_NCDESTROY:
        RemovePropW(wnd, kViewProp);
        break;
    default:
        if (ReflectToChild(msg, wp, lp, result)) return result;
        break;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

void PaintView(TView& view, HDC dc, const RECT& r)
{
    const TNode& node = *view.Node;
    const TColor back = BackgroundOf(view);
    if (node.Kind == TKind::Indicator) {
        view.Frames.Paint(dc, r, view.Frame, node.DotColor, ResolveColor(back));
        return;
    }
    // Double-buffered: drawn off screen, then copied.
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ oldBmp = SelectObject(mem, bmp);
    HFONT font = FontOf(view);
    HGDIOBJ oldFont = SelectObject(mem, font);
    FillRect(mem, &r, view.Form->Brush(back));
    const TColor color = node.OwnFont ? node.Font.Color : view.Form->Description.Font.Color;
    switch (node.Kind) {
    case TKind::Label:
        PaintLabel(mem, r, WindowText(view.Wnd), node.Centered, color, IsWindowEnabled(view.Wnd) != FALSE);
        break;
    case TKind::MarkupLabel:
        PaintMarkup(mem, r, WindowText(view.Wnd), font, color);
        break;
    case TKind::SvgImage:
        PaintSvg(mem, r, node.Image);
        break;
    default:
        break;
    }
    BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldFont);
    SelectObject(mem, oldBmp);
    DeleteObject(bmp);
    DeleteDC(mem);
}

// Labels, markup, the busy indicator and the vector image: painted whole.
LRESULT PaintMessage(TView& view, HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT result = 0;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        RECT r;
        GetClientRect(wnd, &r);
        RunHandler([&] { PaintView(view, dc, r); });
        EndPaint(wnd, &ps);
        return 0;
    }
    case WM_TIMER:
        // The next frame is copied onto the indicator's own pixels at once, nothing else
        // drawn: no invalidation and no paint message for each frame.
        view.Frame = (view.Frame + 1) % kIndicatorFrames;
        if (HDC dc = GetDC(wnd)) {
            RECT r;
            GetClientRect(wnd, &r);
            PaintView(view, dc, r);
            ReleaseDC(wnd, dc);
        }
        return 0;
    case WM_SETCURSOR:
        if (view.Node->HandCursor) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_LBUTTONUP:
        if (!view.Node->OnClick.empty()) {
            Click(view);
            return 0;
        }
        break;
    case WM_NCHITTEST:
        // Only controls that take clicks or show a cursor catch the mouse.
        if (view.Node->OnClick.empty() && !view.Node->HandCursor) return HTTRANSPARENT;
        break;
    case WM_GETOBJECT:
        if (AnswerGetObject(wnd, wp, lp, DescribeWindow, result)) return result;
        break;
    case WM_NCDESTROY:
        RemovePropW(wnd, kViewProp);
        break;
    default:
        break;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

LRESULT CALLBACK PaintProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    TView* view = ViewOf(wnd);
    if (!view) return DefWindowProcW(wnd, msg, wp, lp);
    LRESULT result = 0;
    // A handler's error is reported; the message then gets the default handling.
    if (!RunHandler([&] { result = PaintMessage(*view, wnd, msg, wp, lp); })) return DefWindowProcW(wnd, msg, wp, lp);
    return result;
}

void DrawButton(TView& view, const DRAWITEMSTRUCT& item)
{
    // A push button has its own look, a tool button its tool bar's.
    const TView* holder = view.Node->Kind == TKind::ToolButton ? ViewOf(GetParent(view.Wnd)) : &view;
    if (!holder || !holder->Node) return;
    const TStyledLook& look = holder->Node->Look;
    // The focus is shown as the window's UI state says: hidden until the keyboard is used.
    const bool focusCue = (item.itemState & ODS_FOCUS) && !FocusCueHidden(view.Wnd);
    const TStyledButtonState state =
        ButtonState(IsWindowEnabled(view.Wnd) != FALSE, (item.itemState & ODS_SELECTED) || view.Down, view.Hot, focusCue);
    const TStyledButtonAttributes& family = StyleOf(look.Styles, state);
    DrawStyledButton(item.hDC, item.rcItem, look.Radius, HighContrastOn() ? HighContrastStyle(family, state) : family,
                     BackgroundOf(view), WindowText(view.Wnd), FontOf(view), view.Form->Dpi, focusCue);
}

// A group box under high contrast: its frame and caption in the window text colour. The
// visual style's group box draws its caption in the style's own colour, whatever the parent
// gives, which on the high-contrast window colour could not be read.
void PaintContrastGroupBox(TView& view, HDC dc)
{
    RECT r;
    GetClientRect(view.Wnd, &r);
    FillRect(dc, &r, view.Form->Brush(BackgroundOf(view)));
    HGDIOBJ oldFont = SelectObject(dc, FontOf(view));
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc, &tm);
    const std::u16string text = WindowText(view.Wnd);
    SIZE size = {};
    GetTextExtentPoint32W(dc, WStr(text), static_cast<int>(text.size()), &size);
    const COLORREF ink = ResolveColor(clWindowText);
    HBRUSH frame = CreateSolidBrush(ink);
    RECT box = {r.left, r.top + tm.tmHeight / 2, r.right, r.bottom};
    FrameRect(dc, &box, frame);
    DeleteObject(frame);
    const int pad = view.Form->Scale(2), left = view.Form->Scale(8);
    if (!text.empty()) {
        RECT gap = {left, r.top, left + size.cx + 2 * pad, r.top + tm.tmHeight};
        FillRect(dc, &gap, view.Form->Brush(BackgroundOf(view)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ink);
        TextOutW(dc, left + pad, r.top, WStr(text), static_cast<int>(text.size()));
    }
    SelectObject(dc, oldFont);
}

// Buttons, check boxes and group boxes: windows of the system's button class, subclassed.
LRESULT ButtonMessage(TView& view, HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT result = 0;
    const TKind kind = view.Node->Kind;
    switch (msg) {
    case kReflect + WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED) {
            // A check box's state is its window's: the click turns it, then the handler runs.
            if (kind == TKind::CheckBox)
                SendMessageW(wnd, BM_SETCHECK, SendMessageW(wnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
            Click(view);
        }
        return 0;
    case kReflect + WM_DRAWITEM:
        DrawButton(view, *reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case kReflect + WM_CTLCOLORSTATIC:
    case kReflect + WM_CTLCOLORBTN: {
        // Check boxes and group boxes on the colour of what holds them, in the window's text
        // colour.
        HDC dc = reinterpret_cast<HDC>(wp);
        const TColor back = BackgroundOf(view);
        SetBkColor(dc, ResolveColor(back));
        SetTextColor(dc, ResolveColor(ContrastColor(view.Form->Description.Font.Color, clWindowText)));
        return reinterpret_cast<LRESULT>(view.Form->Brush(back));
    }
    case WM_MOUSEMOVE:
        if (IsButton(&view) && !view.Hot) {
            view.Hot = true;
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, wnd, 0};
            TrackMouseEvent(&track);
            InvalidateRect(wnd, nullptr, FALSE);
        }
        break;
    case WM_MOUSELEAVE:
        if (IsButton(&view)) {
            view.Hot = false;
            InvalidateRect(wnd, nullptr, FALSE);
        }
        break;
    case WM_UPDATEUISTATE:  // focus shown or hidden: drawn again once the state is set
        if (IsButton(&view)) InvalidateRect(wnd, nullptr, FALSE);
        break;
    case WM_PAINT:
        if (kind == TKind::GroupBox && HighContrastOn()) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(wnd, &ps);
            PaintContrastGroupBox(view, dc);
            EndPaint(wnd, &ps);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (IsButton(&view)) return 1;
        if (kind == TKind::GroupBox) {
            RECT r;
            GetClientRect(wnd, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, view.Form->Brush(BackgroundOf(view)));
            return 1;
        }
        break;
    case WM_GETOBJECT:
        if (AnswerGetObject(wnd, wp, lp, DescribeWindow, result)) return result;
        break;
    default:
        if (kind == TKind::GroupBox && ReflectToChild(msg, wp, lp, result)) return result;
        break;
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}

LRESULT CALLBACK ButtonProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    auto* view = reinterpret_cast<TView*>(data);
    LRESULT result = 0;
    // A handler's error is reported; the message then gets the default handling.
    if (!RunHandler([&] { result = ButtonMessage(*view, wnd, msg, wp, lp); })) result = DefSubclassProc(wnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(wnd, ButtonProc, kSubclassId);
        RemovePropW(wnd, kViewProp);
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// One table of kinds: each control's window class and styles.

struct TKindInfo {
    const wchar_t* Class;
    DWORD Style;
    DWORD ExStyle;
    bool Subclassed;  // a system class whose messages reach ButtonProc first
};

TKindInfo KindInfo(TKind kind)
{
    constexpr DWORD holder = WS_CLIPCHILDREN;
    switch (kind) {
    case TKind::Panel:
    case TKind::CardPanel:
    case TKind::Card:
    case TKind::ToolBar: return {kPanelClass, holder, WS_EX_CONTROLPARENT, false};
    case TKind::GroupBox: return {L"BUTTON", BS_GROUPBOX | holder, WS_EX_CONTROLPARENT, true};
    case TKind::CheckBox: return {L"BUTTON", BS_CHECKBOX, 0, true};
    case TKind::Button:
    case TKind::ToolButton: return {L"BUTTON", BS_OWNERDRAW, 0, true};
    case TKind::Label:
    case TKind::MarkupLabel:
    case TKind::Indicator:
    case TKind::SvgImage: return {kPaintClass, 0, 0, false};
    }
    return {kPaintClass, 0, 0, false};
}

void CreateControls(TFormState& form, HWND parent, const std::vector<TNode>& nodes, int activeCard)
{
    int card = 0;
    for (const TNode& node : nodes) {
        auto view = std::make_unique<TView>();
        view->Node = &node;
        view->Form = &form;
        view->Down = node.Down;
        const TKindInfo info = KindInfo(node.Kind);
        bool visible = node.Visible;
        if (node.Kind == TKind::Card) visible = card++ == activeCard;
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | info.Style | (visible ? WS_VISIBLE : 0) | (node.TabStop ? WS_TABSTOP : 0);
        const RECT r = ScaledBounds(form, node);
        HWND wnd = CreateWindowExW(info.ExStyle, info.Class, WStr(node.Caption), style, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!wnd) throw EAppError(u"Cannot create the window of " + node.Name);
        view->Wnd = wnd;
        SetPropW(wnd, kViewProp, view.get());
        if (info.Subclassed) SetWindowSubclass(wnd, ButtonProc, kSubclassId, reinterpret_cast<DWORD_PTR>(view.get()));
        if (info.Class == kPaintClass) {
            // Later controls lie above earlier ones (the busy indicator over the Run button).
            // Windows puts a new child below its siblings, in tab order; painted controls
            // take no focus, so they can go on top without changing the order of the keyboard.
            SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        TView& made = *view;
        form.Views.push_back(std::move(view));
        if (node.OwnFont) MakeOwnFont(made);
        SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(made)), FALSE);
        CreateControls(form, wnd, node.Children, node.ActiveCard);
    }
}

void RegisterClasses()
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpfnWndProc = FormProc;
    wc.lpszClassName = kFormClass;
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(kProgramIcon));
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    RegisterClassExW(&wc);
    wc.hIcon = nullptr;
    wc.lpfnWndProc = PanelProc;
    wc.lpszClassName = kPanelClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = PaintProc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpszClassName = kPaintClass;
    RegisterClassExW(&wc);
}

}  // namespace

TWin32Toolkit::TWin32Toolkit()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&FGdiplusToken, &input, nullptr);
    RegisterClasses();
    if (!ErrorHandler()) {
        SetErrorHandler([](const std::exception& e) {
            // One box at a time: a handler that fails again while the box is up (a paint, a
            // timer) is not reported a second time.
            static bool showing = false;
            if (showing) return;
            const std::u16string text = Utf8ToUtf16(e.what());
            std::u16string title = gMainWindow ? WindowText(gMainWindow) : std::u16string();
            if (title.empty()) title = u"Tavrino";
            showing = true;
            MessageBoxW(gMainWindow, WStr(text), WStr(title), MB_OK | MB_ICONERROR);
            showing = false;
        });
    }
}

TWin32Toolkit::~TWin32Toolkit()
{
    if (FGdiplusToken) Gdiplus::GdiplusShutdown(FGdiplusToken);
}

HWND CreateDescribedWindow(TWindowDescription description, TAccentStrip strip, TWindowEvents events)
{
    auto form = std::make_unique<TFormState>();
    form->Description = std::move(description);
    form->Strip = strip;
    form->Events = std::move(events);
    form->Self.Form = form.get();
    const TWindowDescription& d = form->Description;
    HWND wnd = CreateWindowExW(kExStyle, kFormClass, WStr(d.Caption), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                               d.ClientWidth, d.ClientHeight, nullptr, nullptr, GetModuleHandleW(nullptr), form.get());
    if (!wnd) throw EAppError(u"Cannot create the window " + d.Name);
    TFormState& state = *form.release();  // the window frees it when it is destroyed
    state.Created = true;
    StartupMark("main window created");
    try {
        state.Dpi = GetDpiForWindow(wnd);
        if (state.Dpi == 0) state.Dpi = 96;
        FitWindow(state, nullptr);
        state.Font = MakeFont(d.Font, state.Dpi);
        UpdateIcons(state);
        RequestDarkMode(wnd);
        StartupMark("its size, font and icons");
        CreateControls(state, wnd, d.Controls, 0);
    } catch (...) {
        DestroyWindow(wnd);
        throw;
    }
    return wnd;
}

void RunCreateHandler(HWND window)
{
    TFormState* form = FormOf(window);
    if (form) RunNamed(*form, form->Description.OnCreate, form->Description.Name);
}

void ShowDescribedWindow(HWND window)
{
    TFormState* form = FormOf(window);
    if (!form) return;
    gMainWindow = window;
    if (!form->Shown) {
        MONITORINFO mi = {sizeof mi, {}, {}, 0};
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &mi);
        RECT w;
        GetWindowRect(window, &w);
        const int width = w.right - w.left, height = w.bottom - w.top;
        const RECT& area = mi.rcWork;
        SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                     area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    form->Shown = true;
    // Focus rectangles hidden until the keyboard is used, unless the user asked for them
    // always (keyboard cues).
    BOOL cues = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    if (!cues) {
        const WORD hide = UISF_HIDEFOCUS | UISF_HIDEACCEL;
        SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, hide), 0);
        if (!(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
            form->SystemUiState = false;
            form->UiState = hide;
        }
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetForegroundWindow(window);
}

void HandleMessage(MSG& msg)
{
    HWND dialog = gMainWindow;
    // Moving the focus with the keyboard shows it from then on, as the dialog manager of
    // Windows does (said again here: Wine's leaves the UI state as it is).
    if (dialog && msg.message == WM_KEYDOWN && (msg.wParam == VK_TAB || (msg.wParam >= VK_LEFT && msg.wParam <= VK_DOWN)) &&
        (msg.hwnd == dialog || IsChild(dialog, msg.hwnd)))
        SendMessageW(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    if (dialog && IsDialogMessageW(dialog, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int RunMessageLoop()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) HandleMessage(msg);
    return static_cast<int>(msg.wParam);
}

bool IsDescribedWindow(HWND window)
{
    return window && GetAncestor(window, GA_ROOT) == window && FormOf(window);
}

const TWindowDescription& DescriptionOf(HWND window)
{
    TFormState* form = FormOf(window);
    if (!form) throw EAppError(u"Not a window of the program");
    return form->Description;
}

HWND ControlWindow(HWND window, std::u16string_view name)
{
    TFormState* form = FormOf(window);
    if (!form) return nullptr;
    for (const auto& view : form->Views)
        if (SameTextAscii(view->Node->Name, name)) return view->Wnd;
    return nullptr;
}

const TNode* NodeOf(HWND control)
{
    const TView* view = ViewOf(control);
    return view ? view->Node : nullptr;
}

UINT WindowDpi(HWND window)
{
    const TFormState* form = FormOf(window);
    return form ? form->Dpi : 96;
}

void SetControlText(HWND control, const std::u16string& text)
{
    SetWindowTextW(control, WStr(text));
    InvalidateRect(control, nullptr, TRUE);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void ShowControl(HWND control, bool visible)
{
    TView& view = RequireView(control);
    ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
    UpdateTimer(view);
}

void EnableControl(HWND control, bool enabled)
{
    TView& view = RequireView(control);
    EnableWindow(control, enabled);
    InvalidateRect(control, nullptr, TRUE);
    NotifyState(control);
    if (!enabled || DefaultButton(*view.Form) != control || !IsWindowVisible(control)) return;
    HWND root = GetAncestor(control, GA_ROOT);
    HWND focus = GetFocus();
    if (GetActiveWindow() == root && (!focus || focus == root)) SetFocus(control);
}

void CheckControl(HWND control, bool checked)
{
    RequireView(control);
    SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    NotifyState(control);
}

void ShowCard(HWND cardPanel, int index)
{
    std::vector<HWND> cards;  // in the order of the description
    for (const auto& view : RequireView(cardPanel).Form->Views)
        if (view->Node->Kind == TKind::Card && GetParent(view->Wnd) == cardPanel) cards.push_back(view->Wnd);
    if (index < 0 || index >= static_cast<int>(cards.size())) return;
    // The page to show first, then the others away, so that one page is always there.
    ShowWindow(cards[static_cast<std::size_t>(index)], SW_SHOWNA);
    for (std::size_t i = 0; i < cards.size(); ++i)
        if (static_cast<int>(i) != index) ShowWindow(cards[i], SW_HIDE);
}

void SetDown(HWND button, bool down)
{
    TView& view = RequireView(button);
    if (view.Down == down) return;
    view.Down = down;
    if (down)
        for (HWND other = GetWindow(GetParent(button), GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT))
            if (TView* sibling = ViewOf(other); other != button && IsButton(sibling) && sibling->Down) {
                sibling->Down = false;
                InvalidateRect(other, nullptr, FALSE);
                NotifyState(other);
            }
    InvalidateRect(button, nullptr, FALSE);
    NotifyState(button);
}

bool IsDown(HWND button)
{
    const TView* view = ViewOf(button);
    return view && view->Down;
}

void SetAnimate(HWND indicator, bool animate)
{
    TView& view = RequireView(indicator);
    view.Animate = animate;
    UpdateTimer(view);
    NotifyState(indicator);
}

int IndicatorFrame(HWND indicator)
{
    const TView* view = ViewOf(indicator);
    return view ? view->Frame : 0;
}

void SetAccessibleName(HWND control, const std::u16string& name)
{
    RequireView(control).AccessibleName = name;
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void UseDesktopFont(HWND window)
{
    TFormState* form = FormOf(window);
    if (!form || form->DesktopFont) return;
    form->DesktopFont = true;
    MakeFonts(*form);
}

int ControlTextWidth(HWND control, const std::u16string& text)
{
    const TView& view = RequireView(control);
    return MeasureText(text, FontOf(view), view.Form->Dpi);
}

// A label's view, when the label has a font of its own.
TView& OwnFontLabel(HWND label)
{
    TView& view = RequireView(label);
    if (!view.Node->OwnFont) throw EAppError(u"The label " + view.Node->Name + u" shows the window's font");
    return view;
}

int LabelFontSize(HWND label)
{
    const TView& view = OwnFontLabel(label);
    return view.OwnFontSize ? view.OwnFontSize : view.Node->Font.Size();
}

void SetLabelFontSize(HWND label, int points)
{
    TView& view = OwnFontLabel(label);
    view.OwnFontSize = points;
    MakeOwnFont(view);
    InvalidateRect(label, nullptr, TRUE);
}
