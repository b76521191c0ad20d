#include "toolkit/Win32Toolkit_win.h"

#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

#include "common/Dpi.h"
#include "common/Error.h"
#include "common/WinText_win.h"
#include "toolkit/Accessible_win.h"
#include "toolkit/Win32Paint_win.h"
#include "toolkit/StartupTrace.h"
#include "toolkit/StdControls.h"
#include "toolkit/StyledButtons.h"

namespace {

const wchar_t kFormClass[] = L"TavrinoForm";
const wchar_t kPanelClass[] = L"TavrinoPanel";
const wchar_t kPaintClass[] = L"TavrinoPaint";
const wchar_t kPeerProp[] = L"TavrinoPeer";
constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kAnimationTimer = 1;
// The program's icon resource (resources/Tavrino.rc).
constexpr WORD kProgramIcon = 1;

// The program's icon at the size a metric asks for at that DPI (the image of that size, or the
// nearest one scaled); null when the program has none (the window class's icon then shows).
HICON LoadProgramIcon(int metric, UINT dpi)
{
    const int size = GetSystemMetricsForDpi(metric, dpi);
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

class TFormPeer;
class TWinPeer;

TWinPeer* PeerOf(HWND wnd)
{
    return wnd ? static_cast<TWinPeer*>(GetPropW(wnd, kPeerProp)) : nullptr;
}

// The peer of a control of a realised form: every peer the realisation attaches is a TWinPeer.
TWinPeer* WinPeer(const TControl& control);

// Realises the controls of one form: every peer asks it for the DPI in use.
class TWinRealizer final : public IRealizer {
public:
    explicit TWinRealizer(TForm& form) : FForm(form) {}
    ~TWinRealizer() override;
    void Realize(TControl& control) override;
    UINT Dpi = 96;
    int Scale(int v) const { return ScaleForDpi(v, static_cast<int>(Dpi)); }
    TForm& Form() { return FForm; }
    // Every control's window moved and its font made again for the DPI in use.
    void Rescale(TControl& control);
    void FontsChanged(TControl& control);
    // Brushes made again from the system colours now in force (colours, theme or high
    // contrast changed), then everything drawn again.
    void ColorsChanged(TControl& control);

private:
    TForm& FForm;
};

// The peer of one control: its window, its font, and what it does with the messages of its
// window and with those its parent reflects to it.
class TWinPeer : public IControlPeer {
public:
    TWinPeer(TWinRealizer& realizer, TControl& control) : R(realizer), C(control) {}
    ~TWinPeer() override
    {
        if (Wnd) {
            HWND wnd = Wnd;
            Detach();
            DestroyWindow(wnd);
        }
        if (FFont) DeleteObject(FFont);
        if (FBrush) DeleteObject(FBrush);
    }

    void Create(HWND parent, const wchar_t* cls, DWORD style, DWORD exStyle)
    {
        if (C.Visible()) style |= WS_VISIBLE;
        if (!C.Enabled()) style |= WS_DISABLED;
        const RECT r = ScaledBounds();
        Wnd = CreateWindowExW(exStyle, cls, WStr(C.Caption()), style, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
        if (!Wnd) throw EAppError(u"Cannot create the window of " + C.Name());
        SetPropW(Wnd, kPeerProp, this);
        UpdateFont();
    }

    // Subclasses a window of a system class so that its messages reach this peer first.
    void Subclass() { SetWindowSubclass(Wnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)); }

    void Detach()
    {
        if (!Wnd) return;
        RemoveWindowSubclass(Wnd, SubclassProc, kSubclassId);
        RemovePropW(Wnd, kPeerProp);
        Wnd = nullptr;
    }

    RECT ScaledBounds() const
    {
        const TRect& b = C.BoundsRect();
        return {R.Scale(b.Left), R.Scale(b.Top), R.Scale(b.Left + b.Width), R.Scale(b.Top + b.Height)};
    }

    void Changed(TChange what) override
    {
        if (!Wnd) return;
        switch (what) {
        case TChange::Bounds: {
            const RECT r = ScaledBounds();
            SetWindowPos(Wnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        case TChange::Caption:
            SetWindowTextW(Wnd, WStr(C.Caption()));
            InvalidateRect(Wnd, nullptr, TRUE);
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Wnd, OBJID_CLIENT, CHILDID_SELF);
            break;
        case TChange::AccessibleName:
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Wnd, OBJID_CLIENT, CHILDID_SELF);
            break;
        case TChange::Visible:
            ShowWindow(Wnd, C.Visible() ? SW_SHOWNA : SW_HIDE);
            VisibilityChanged();
            break;
        case TChange::Enabled:
            EnableWindow(Wnd, C.Enabled());
            InvalidateRect(Wnd, nullptr, TRUE);
            NotifyWinEvent(EVENT_OBJECT_STATECHANGE, Wnd, OBJID_CLIENT, CHILDID_SELF);
            TakeFocusBack();
            break;
        case TChange::Font:
            UpdateFont();
            break;
        case TChange::Color:
            if (FBrush) DeleteObject(FBrush);
            FBrush = nullptr;
            InvalidateRect(Wnd, nullptr, TRUE);
            break;
        case TChange::State:
        case TChange::Style:
            StateChanged();
            InvalidateRect(Wnd, nullptr, TRUE);
            if (what == TChange::State) NotifyWinEvent(EVENT_OBJECT_STATECHANGE, Wnd, OBJID_CLIENT, CHILDID_SELF);
            break;
        }
    }

    int TextWidth(const std::u16string& text) override
    {
        return MeasureText(text, FFont, R.Dpi);
    }

    void UpdateFont()
    {
        if (FFont) DeleteObject(FFont);
        FFont = MakeControlFont(C, R.Dpi);
        if (Wnd) {
            SendMessageW(Wnd, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), TRUE);
            InvalidateRect(Wnd, nullptr, TRUE);
        }
    }

    // The brush of this control's colour, for its own background and its children's.
    HBRUSH Brush()
    {
        if (!FBrush) FBrush = CreateSolidBrush(ResolveColor(C.Color()));
        return FBrush;
    }

    // A disabled window loses the focus; the default button takes it back when it is enabled
    // again while nothing in its active window has it.
    void TakeFocusBack()
    {
        if (DefaultButton(R.Form()) != &C || !IsWindowVisible(Wnd)) return;
        HWND root = GetAncestor(Wnd, GA_ROOT);
        HWND focus = GetFocus();
        if (GetActiveWindow() == root && (!focus || focus == root)) SetFocus(Wnd);
    }

    virtual void VisibilityChanged() {}
    virtual void StateChanged() {}
    virtual void Paint(HDC, const RECT&) {}
    virtual void Command(WORD) {}
    virtual void DrawItem(const DRAWITEMSTRUCT&) {}
    // Messages of the window; handled sets whether the default handling is skipped.
    virtual LRESULT Message(UINT msg, WPARAM wp, LPARAM lp, bool& handled);

    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                         DWORD_PTR data)
    {
        auto* peer = reinterpret_cast<TWinPeer*>(data);
        bool handled = false;
        LRESULT result = 0;
        // A handler's error is reported; the message then gets the default handling.
        if (!RunHandler([&] { result = peer->Message(msg, wp, lp, handled); })) handled = false;
        if (msg == WM_NCDESTROY) peer->Detach();
        return handled ? result : DefSubclassProc(wnd, msg, wp, lp);
    }

    TWinRealizer& R;
    TControl& C;
    HWND Wnd = nullptr;
    HFONT FFont = nullptr;
    HBRUSH FBrush = nullptr;
};

// What every window holding controls does with its children's notifications: they go to the
// child's peer; static and button children are painted on this window's colour.
bool Reflect(TWinPeer& self, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    switch (msg) {
    case WM_COMMAND:
        if (TWinPeer* child = PeerOf(reinterpret_cast<HWND>(lp))) {
            child->Command(HIWORD(wp));
            result = 0;
            return true;
        }
        return false;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (TWinPeer* child = PeerOf(item->hwndItem)) {
            child->DrawItem(*item);
            result = TRUE;
            return true;
        }
        return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wp);
        TWinPeer* child = PeerOf(reinterpret_cast<HWND>(lp));
        SetBkColor(dc, ResolveColor(self.C.Color()));
        SetTextColor(dc, ResolveColor(child ? ContrastColor(child->C.Font().Color, clWindowText) : clWindowText));
        result = reinterpret_cast<LRESULT>(self.Brush());
        return true;
    }
    default:
        return false;
    }
}

const TControl* ControlOfWindow(HWND wnd)
{
    const TWinPeer* peer = PeerOf(wnd);
    return peer ? &peer->C : nullptr;
}

LRESULT TWinPeer::Message(UINT msg, WPARAM wp, LPARAM lp, bool& handled)
{
    LRESULT result = 0;
    if (msg == WM_GETOBJECT) {
        // Screen readers: the control's name, role and state.
        handled = AnswerGetObject(Wnd, wp, lp, ControlOfWindow, result);
        return result;
    }
    handled = Reflect(*this, msg, wp, lp, result);
    return result;
}

// Panels, pages and the tool bar: a window of our class that paints its colour.
class TPanelPeer : public TWinPeer {
public:
    using TWinPeer::TWinPeer;
    void Paint(HDC dc, const RECT& r) override { FillRect(dc, &r, Brush()); }
};

// Labels, markup, the shape, the busy indicator and the vector image: painted whole.
class TPaintPeer : public TWinPeer {
public:
    using TWinPeer::TWinPeer;

    void Paint(HDC dc, const RECT& r) override
    {
        const TColor back = C.Parent() ? C.Parent()->Color() : clWindow;
        if (auto* busy = KindCast<TActivityIndicator>(&C)) {
            FFrames.Paint(*busy, dc, r, ResolveColor(back));
            return;
        }
        // Double-buffered: drawn off screen, then copied.
        const int w = r.right - r.left, h = r.bottom - r.top;
        if (w <= 0 || h <= 0) return;
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
        HGDIOBJ oldBmp = SelectObject(mem, bmp);
        HGDIOBJ oldFont = SelectObject(mem, FFont);
        HBRUSH brush = CreateSolidBrush(ResolveColor(back));
        FillRect(mem, &r, brush);
        DeleteObject(brush);
        PaintControl(C, mem, r, R.Dpi, FFont);
        BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
        SelectObject(mem, oldFont);
        SelectObject(mem, oldBmp);
        DeleteObject(bmp);
        DeleteDC(mem);
    }

    void StateChanged() override { UpdateTimer(); }
    void VisibilityChanged() override { UpdateTimer(); }

    void UpdateTimer()
    {
        auto* busy = KindCast<TActivityIndicator>(&C);
        if (!busy || !Wnd) return;
        if (busy->Animate() && busy->Visible()) {
            if (!FTimer) FTimer = SetTimer(Wnd, kAnimationTimer, static_cast<UINT>(busy->FrameDelay()), nullptr);
        } else if (FTimer) {
            KillTimer(Wnd, kAnimationTimer);
            FTimer = 0;
        }
    }

    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp, bool& handled) override
    {
        switch (msg) {
        case WM_TIMER:
            // The next frame is copied onto the indicator's own pixels at once, nothing else
            // drawn: no invalidation and no paint message for each frame.
            if (auto* busy = KindCast<TActivityIndicator>(&C)) {
                busy->NextFrame();
                if (HDC dc = GetDC(Wnd)) {
                    RECT r;
                    GetClientRect(Wnd, &r);
                    Paint(dc, r);
                    ReleaseDC(Wnd, dc);
                }
            }
            handled = true;
            return 0;
        case WM_SETCURSOR:
            if (C.Cursor() == TCursor::crHandPoint) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                handled = true;
                return TRUE;
            }
            return 0;
        case WM_LBUTTONUP:
            if (C.OnClick) {
                C.Click();
                handled = true;
            }
            return 0;
        case WM_NCHITTEST:
            // Only controls that take clicks or show a cursor catch the mouse.
            if (!C.OnClick && C.Cursor() == TCursor::crDefault) {
                handled = true;
                return HTTRANSPARENT;
            }
            return TWinPeer::Message(msg, wp, lp, handled);
        default:
            return TWinPeer::Message(msg, wp, lp, handled);
        }
    }

    UINT_PTR FTimer = 0;
    TIndicatorFrames FFrames;
};

class TGroupBoxPeer : public TWinPeer {
public:
    using TWinPeer::TWinPeer;
    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp, bool& handled) override
    {
        if (msg == WM_ERASEBKGND) {
            RECT r;
            GetClientRect(Wnd, &r);
            TControl* parent = C.Parent();
            HBRUSH brush = CreateSolidBrush(ResolveColor(parent ? parent->Color() : clWindow));
            FillRect(reinterpret_cast<HDC>(wp), &r, brush);
            DeleteObject(brush);
            handled = true;
            return 1;
        }
        return TWinPeer::Message(msg, wp, lp, handled);
    }
};

class TCheckBoxPeer : public TWinPeer {
public:
    using TWinPeer::TWinPeer;
    void StateChanged() override
    {
        auto& box = static_cast<TCheckBox&>(C);
        SendMessageW(Wnd, BM_SETCHECK, box.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void Command(WORD code) override
    {
        if (code == BN_CLICKED) C.Click();
    }
};

// Whether a control's window hides its focus rectangle now, by the UI state of its window.
bool FocusCueHidden(HWND wnd);

// Styled buttons and tool buttons: real push buttons that we draw ourselves.
class TButtonPeer : public TWinPeer {
public:
    using TWinPeer::TWinPeer;

    void Command(WORD code) override
    {
        if (code == BN_CLICKED) C.Click();
    }

    void DrawItem(const DRAWITEMSTRUCT& item) override
    {
        // A push button has its own look, a tool button its tool bar's.
        const TStyledLook* look = nullptr;
        if (auto* b = KindCast<TStyledButton>(&C)) look = &b->Look();
        else if (TStyledToolBar* bar = static_cast<TStyledToolButton&>(C).ToolBar()) look = &bar->Look();
        if (!look) return;
        const bool down = TStyledDownButton::Of(&C)->Down();
        // The focus is shown as the window's UI state says: hidden until the keyboard is used.
        const bool focusCue = (item.itemState & ODS_FOCUS) && !FocusCueHidden(Wnd);
        const TStyledButtonState state =
            ButtonState(C.Enabled(), (item.itemState & ODS_SELECTED) || down, FHot, focusCue);
        const TColor back = C.Parent() ? C.Parent()->Color() : clWindow;
        const TStyledButtonAttributes& family = StyleOf(look->Styles, state);
        DrawStyledButton(item.hDC, item.rcItem, *look, HighContrastOn() ? HighContrastStyle(family, state) : family, back,
                         C.Caption(), FFont, R.Dpi, focusCue);
    }

    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp, bool& handled) override
    {
        switch (msg) {
        case WM_MOUSEMOVE:
            if (!FHot) {
                FHot = true;
                TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, Wnd, 0};
                TrackMouseEvent(&track);
                InvalidateRect(Wnd, nullptr, FALSE);
            }
            break;
        case WM_MOUSELEAVE:
            FHot = false;
            InvalidateRect(Wnd, nullptr, FALSE);
            break;
        case WM_UPDATEUISTATE:  // focus shown or hidden: drawn again once the state is set
            InvalidateRect(Wnd, nullptr, FALSE);
            break;
        case WM_ERASEBKGND:
            handled = true;
            return 1;
        default:
            break;
        }
        return TWinPeer::Message(msg, wp, lp, handled);
    }

    bool FHot = false;
};

// The form's window; every message passes through the form's WindowProc.
class TFormPeer final : public TWinPeer, public IFormPeer {
public:
    TFormPeer(TWinRealizer& realizer, TForm& form) : TWinPeer(realizer, form), F(form) {}
    ~TFormPeer() override
    {
        if (Wnd) {
            HWND wnd = Wnd;
            Detach();
            DestroyWindow(wnd);
        }
        for (HICON icon : FIcons)
            if (icon) DestroyIcon(icon);
    }

    DWORD Style() const
    {
        DWORD style = WS_CLIPCHILDREN;
        switch (F.BorderStyle()) {
        case TFormBorderStyle::bsNone:
            return style | WS_POPUP;
        case TFormBorderStyle::bsSizeable:
            style |= WS_THICKFRAME;
            break;
        default:
            break;
        }
        style |= WS_OVERLAPPED | WS_CAPTION;
        if (F.BorderIcons() & biSystemMenu) style |= WS_SYSMENU;
        if (F.BorderIcons() & biMinimize) style |= WS_MINIMIZEBOX;
        if (F.BorderIcons() & biMaximize) style |= WS_MAXIMIZEBOX;
        return style;
    }
    DWORD ExStyle() const { return WS_EX_CONTROLPARENT | (Application().MainFormOnTaskBar ? WS_EX_APPWINDOW : 0); }

    void CreateForm()
    {
        Wnd = CreateWindowExW(ExStyle(), kFormClass, WStr(F.Caption()), Style(), CW_USEDEFAULT,
                              CW_USEDEFAULT, F.ClientWidth(), F.ClientHeight(), nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
        if (!Wnd) throw EAppError(u"Cannot create the window " + F.Name());
        StartupMark("main window created");
        SetPropW(Wnd, kPeerProp, static_cast<TWinPeer*>(this));
        R.Dpi = GetDpiForWindow(Wnd);
        if (R.Dpi == 0) R.Dpi = 96;
        FitWindow(nullptr);
        UpdateFont();
        UpdateIcons();
        if (F.DarkTitleBarRequested()) RequestDarkTitleBar();
        StartupMark("its size, font and icons");
    }

    // The window's big and small icons, the program's, sized for the window's DPI.
    void UpdateIcons()
    {
        const HICON icons[2] = {LoadProgramIcon(SM_CXICON, R.Dpi), LoadProgramIcon(SM_CXSMICON, R.Dpi)};
        SendMessageW(Wnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons[0]));
        SendMessageW(Wnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons[1]));
        for (int i = 0; i < 2; ++i) {
            if (FIcons[i]) DestroyIcon(FIcons[i]);
            FIcons[i] = icons[i];
        }
    }

    // Sizes the window so that its client area is the form's, scaled; placed at pos if given.
    void FitWindow(const POINT* pos)
    {
        RECT r = {0, 0, R.Scale(F.ClientWidth()), R.Scale(F.ClientHeight())};
        AdjustWindowRectExForDpi(&r, Style(), FALSE, ExStyle(), R.Dpi);
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (!pos) flags |= SWP_NOMOVE;
        SetWindowPos(Wnd, nullptr, pos ? pos->x : 0, pos ? pos->y : 0, r.right - r.left,
                     r.bottom - r.top, flags);
    }

    void Changed(TChange what) override
    {
        if (!Wnd) return;
        switch (what) {
        case TChange::Bounds:
            FitWindow(nullptr);
            break;
        case TChange::Style:
            SetWindowLongPtrW(Wnd, GWL_STYLE, static_cast<LONG_PTR>(Style() | (IsWindowVisible(Wnd) ? WS_VISIBLE : 0)));
            SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            FitWindow(nullptr);
            break;
        case TChange::Visible:
            break;  // the form shows through ShowForm
        default:
            TWinPeer::Changed(what);
            break;
        }
    }

    void* Handle() override { return Wnd; }
    void RequestDarkTitleBar() override { RequestDarkMode(Wnd); }
    void Close() override
    {
        if (Wnd) PostMessageW(Wnd, WM_CLOSE, 0, 0);
    }

    void DefaultHandler(TMessage& m) override
    {
        const UINT msg = m.Msg;
        const auto wp = static_cast<WPARAM>(m.WParam);
        const auto lp = static_cast<LPARAM>(m.LParam);
        LRESULT result = 0;
        if (Reflect(*this, msg, wp, lp, result)) {
            m.Result = result;
            return;
        }
        switch (msg) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(Wnd, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, Brush());
            m.Result = 1;
            return;
        }
        case WM_COMMAND:
            // Enter, through the dialog manager: the focused button is clicked, else the
            // default button.
            if (LOWORD(wp) == IDOK && lp == 0) {
                if (TWinPeer* focused = PeerOf(GetFocus()); focused && TStyledDownButton::Of(&focused->C)) {
                    if (focused->C.Enabled()) focused->C.Click();
                }
                else if (TControl* button = DefaultButton(F))
                    button->Click();
            }
            m.Result = 0;
            return;
        case WM_DPICHANGED: {
            R.Dpi = HIWORD(wp);
            const auto* suggested = reinterpret_cast<const RECT*>(lp);
            const POINT pos = {suggested->left, suggested->top};
            FitWindow(&pos);
            R.Rescale(F);
            UpdateIcons();
            m.Result = 0;
            return;
        }
        case WM_ACTIVATE:
            // Focus goes back to the control that had it, as in a dialog; the first time, and
            // when that control can no longer take it, to the default button.
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(Wnd, focus)) FLastFocus = focus;
            } else if (!HIWORD(wp)) {
                HWND to = FLastFocus;
                if (!to || !IsWindow(to) || !IsChild(Wnd, to) || !IsWindowVisible(to) || !IsWindowEnabled(to))
                    to = FirstFocus();
                if (to) {
                    SetFocus(to);
                    m.Result = 0;
                    return;
                }
            }
            break;
        case WM_CHANGEUISTATE:
            m.Result = DefWindowProcW(Wnd, msg, wp, lp);
            if (!FSystemUiState) {
                const WORD before = FUiState;
                if (LOWORD(wp) == UIS_SET) FUiState |= HIWORD(wp);
                else if (LOWORD(wp) == UIS_CLEAR) FUiState &= static_cast<WORD>(~HIWORD(wp));
                if (FUiState != before) RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
            }
            return;
        case WM_SETTINGCHANGE:
            if (F.DesktopFont()) R.FontsChanged(F);
            R.ColorsChanged(F);
            break;
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED:
            R.ColorsChanged(F);
            break;
        case WM_CLOSE:
            DestroyWindow(Wnd);
            m.Result = 0;
            return;
        case WM_DESTROY:
            if (Application().MainForm == &F) PostQuitMessage(0);
            break;
        default:
            break;
        }
        m.Result = DefWindowProcW(Wnd, msg, wp, lp);
    }

    // The default button when it can take the focus, else the first tab stop.
    HWND FirstFocus()
    {
        if (TControl* button = DefaultButton(F)) return ControlHandle(*button);
        return GetNextDlgTabItem(Wnd, nullptr, FALSE);
    }

    TForm& F;
    bool FShown = false;
    HWND FLastFocus = nullptr;
    // The focus and accelerator cues of the window's UI state. Windows keeps that state for
    // every window and tells each of them; where the system keeps none (Wine), the form keeps
    // what WM_CHANGEUISTATE tells it, the same way, and its buttons ask it.
    bool FSystemUiState = true;
    WORD FUiState = 0;
    HICON FIcons[2] = {nullptr, nullptr};  // big, small
};

TWinPeer* WinPeer(const TControl& control)
{
    return static_cast<TWinPeer*>(control.Peer());
}

// The form peer of a window, when the window is a form's.
TFormPeer* FormPeerOf(HWND wnd)
{
    TWinPeer* peer = PeerOf(wnd);
    return peer && peer->C.Kind() == TControlKind::Form ? static_cast<TFormPeer*>(peer) : nullptr;
}

bool FocusCueHidden(HWND wnd)
{
    const TFormPeer* form = FormPeerOf(GetAncestor(wnd, GA_ROOT));
    if (form && !form->FSystemUiState) return (form->FUiState & UISF_HIDEFOCUS) != 0;
    return (SendMessageW(wnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
}

LRESULT CALLBACK FormProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    TFormPeer* peer = FormPeerOf(wnd);
    if (!peer) return DefWindowProcW(wnd, msg, wp, lp);
    TMessage m{msg, static_cast<std::uintptr_t>(wp), static_cast<std::intptr_t>(lp), 0};
    // A handler's or hook's error is reported; the message then gets the default handling.
    if (!RunHandler([&] { peer->F.WindowProc(m); })) {
        m.Result = DefWindowProcW(wnd, msg, wp, lp);
        if (msg == WM_DESTROY && Application().MainForm == &peer->F) PostQuitMessage(0);
    }
    if (msg == WM_NCDESTROY) peer->Detach();
    if (msg == WM_PAINT) StartupMark("first paint");
    return static_cast<LRESULT>(m.Result);
}

LRESULT CALLBACK OwnProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    TWinPeer* peer = PeerOf(wnd);
    if (!peer) return DefWindowProcW(wnd, msg, wp, lp);
    bool handled = false;
    LRESULT result = 0;
    // A handler's error is reported; the message then gets the default handling.
    if (!RunHandler([&] { result = peer->Message(msg, wp, lp, handled); })) handled = false;
    if (handled) return result;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        RECT r;
        GetClientRect(wnd, &r);
        RunHandler([&] { peer->Paint(dc, r); });
        EndPaint(wnd, &ps);
        return 0;
    }
    case WM_NCDESTROY:
        peer->Detach();
        break;
    default:
        break;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

TWinRealizer::~TWinRealizer()
{
    // Deepest first, so that no window outlives the peer that answers for it.
    struct Local {
        static void Drop(TControl& c)
        {
            if (TWinControl* win = c.AsContainer())
                for (TControl* child : win->Controls()) Drop(*child);
            c.SetPeer(nullptr);
        }
    };
    for (TControl* child : FForm.Controls()) Local::Drop(*child);
    FForm.SetPeer(nullptr);
}

void TWinRealizer::Realize(TControl& control)
{
    if (control.Peer()) return;
    TWinControl* parent = control.Parent();
    TWinPeer* parentPeer = parent ? WinPeer(*parent) : nullptr;
    if (!parentPeer || !parentPeer->Wnd) return;
    HWND parentWnd = parentPeer->Wnd;
    const DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
    std::unique_ptr<TWinPeer> peer;
    const DWORD tabStop = control.TabStop() ? WS_TABSTOP : 0;
    switch (control.Kind()) {
    case TControlKind::Form:
        return;  // a form is a top-level window of its own (RealizeForm)
    case TControlKind::GroupBox:
        peer = std::make_unique<TGroupBoxPeer>(*this, control);
        peer->Create(parentWnd, L"BUTTON", child | BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
        peer->Subclass();
        break;
    case TControlKind::CheckBox:
        peer = std::make_unique<TCheckBoxPeer>(*this, control);
        peer->Create(parentWnd, L"BUTTON", child | BS_CHECKBOX | tabStop, 0);
        peer->Subclass();
        peer->StateChanged();
        break;
    case TControlKind::StyledButton:
    case TControlKind::StyledToolButton:
        peer = std::make_unique<TButtonPeer>(*this, control);
        peer->Create(parentWnd, L"BUTTON", child | BS_OWNERDRAW | tabStop, 0);
        peer->Subclass();
        break;
    case TControlKind::Panel:
    case TControlKind::CardPanel:
    case TControlKind::Card:
    case TControlKind::StyledToolBar:
        peer = std::make_unique<TPanelPeer>(*this, control);
        peer->Create(parentWnd, kPanelClass, child | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
        break;
    case TControlKind::Label:
    case TControlKind::MarkupLabel:
    case TControlKind::Shape:
    case TControlKind::ActivityIndicator:
    case TControlKind::SvgImage:
        peer = std::make_unique<TPaintPeer>(*this, control);
        peer->Create(parentWnd, kPaintClass, child, 0);
        // Later controls lie above earlier ones (the busy indicator over the Run button).
        // Windows puts a new child below its siblings, in tab order; painted controls take
        // no focus, so they can go on top without changing the order of the keyboard.
        SetWindowPos(peer->Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        peer->StateChanged();
        break;
    }
    control.SetPeer(std::move(peer));
    if (TWinControl* win = control.AsContainer())
        for (TControl* c : win->Controls()) Realize(*c);
}

void TWinRealizer::Rescale(TControl& control)
{
    if (TWinPeer* peer = WinPeer(control); peer && &control != &FForm) {
        peer->Changed(TChange::Bounds);
        peer->UpdateFont();
    } else if (peer) {
        peer->UpdateFont();
    }
    if (TWinControl* win = control.AsContainer())
        for (TControl* c : win->Controls()) Rescale(*c);
}

void TWinRealizer::ColorsChanged(TControl& control)
{
    if (TWinPeer* peer = WinPeer(control)) {
        if (peer->FBrush) DeleteObject(peer->FBrush);
        peer->FBrush = nullptr;
        if (&control == &FForm && peer->Wnd)
            RedrawWindow(peer->Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    if (TWinControl* win = control.AsContainer())
        for (TControl* c : win->Controls()) ColorsChanged(*c);
}

void TWinRealizer::FontsChanged(TControl& control)
{
    if (TWinPeer* peer = WinPeer(control)) peer->UpdateFont();
    if (TWinControl* win = control.AsContainer())
        for (TControl* c : win->Controls()) FontsChanged(*c);
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
    wc.lpfnWndProc = OwnProc;
    wc.lpszClassName = kPanelClass;
    RegisterClassExW(&wc);
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
            TForm* main = Application().MainForm;
            HWND owner = main && main->FormPeer() ? static_cast<HWND>(main->FormPeer()->Handle()) : nullptr;
            showing = true;
            MessageBoxW(owner, WStr(text), WStr(Application().Title.empty() ? u"Tavrino" : Application().Title),
                        MB_OK | MB_ICONERROR);
            showing = false;
        });
    }
}

TWin32Toolkit::~TWin32Toolkit()
{
    if (FGdiplusToken) Gdiplus::GdiplusShutdown(FGdiplusToken);
}

HWND RealizeForm(TForm& form)
{
    if (form.FormPeer()) return static_cast<HWND>(form.FormPeer()->Handle());
    auto realizer = std::make_unique<TWinRealizer>(form);
    TWinRealizer& r = *realizer;
    auto peer = std::make_unique<TFormPeer>(r, form);
    TFormPeer& formPeer = *peer;
    form.SetPeer(std::move(peer));
    form.Attach(&formPeer, std::move(realizer));
    formPeer.CreateForm();
    for (TControl* c : form.Controls()) r.Realize(*c);
    return formPeer.Wnd;
}

void ShowForm(TForm& form)
{
    TFormPeer* peer = static_cast<TFormPeer*>(WinPeer(form));
    if (!peer || !peer->Wnd) return;
    if (!peer->FShown && form.Position() == TPosition::poScreenCenter) {
        MONITORINFO mi = {sizeof mi, {}, {}, 0};
        GetMonitorInfoW(MonitorFromWindow(peer->Wnd, MONITOR_DEFAULTTOPRIMARY), &mi);
        RECT w;
        GetWindowRect(peer->Wnd, &w);
        const int width = w.right - w.left, height = w.bottom - w.top;
        const RECT& area = mi.rcWork;
        SetWindowPos(peer->Wnd, nullptr, area.left + (area.right - area.left - width) / 2,
                     area.top + (area.bottom - area.top - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    peer->FShown = true;
    // Focus rectangles hidden until the keyboard is used, unless the user asked for them
    // always (keyboard cues).
    BOOL cues = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    if (!cues) {
        const WORD hide = UISF_HIDEFOCUS | UISF_HIDEACCEL;
        SendMessageW(peer->Wnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, hide), 0);
        if (!(SendMessageW(peer->Wnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
            peer->FSystemUiState = false;
            peer->FUiState = hide;
        }
    }
    ShowWindow(peer->Wnd, SW_SHOWNORMAL);
    UpdateWindow(peer->Wnd);
    SetForegroundWindow(peer->Wnd);
}

void HandleMessage(MSG& msg)
{
    TForm* main = Application().MainForm;
    HWND dialog = main && main->FormPeer() ? static_cast<HWND>(main->FormPeer()->Handle()) : nullptr;
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

HWND ControlHandle(const TControl& control)
{
    TWinPeer* peer = WinPeer(control);
    return peer ? peer->Wnd : nullptr;
}

UINT FormDpi(const TForm& form)
{
    TWinPeer* peer = WinPeer(form);
    return peer ? peer->R.Dpi : 96;
}
