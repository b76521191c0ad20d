#include "app/MainWindow_win.h"

#include "app/Main.h"
#include "common/Error.h"
#include "common/Translate.h"
#include "common/WinText_win.h"
#include "styling/MarveticButtonStyles.h"
#include "styling/Theme.h"
#include "toolkit/Resources.h"
#include "toolkit/Window_win.h"

TMainWindow::TMainWindow()
{
    TWindowEvents events;
    events.Handle = [this](const std::u16string& handler, const std::u16string& sender) {
        if (FEvents) FEvents->Handle(handler, sender);
    };
    events.Activated = [this] {
        if (FEvents) FEvents->Activated();
    };
    events.Ending = [this] {
        if (FEvents) FEvents->Ending();
    };
    FWnd = CreateDescribedWindow(ReadDescription(ReadResource(u"TFRMTAVRINO"), TFrmTavrino::HasHandler, kAccentStripHeight),
                                 TAccentStrip{kAccentStripHeight, AccentStripColor}, std::move(events));
}

TMainWindow::~TMainWindow()
{
    FEvents = nullptr;  // the program hears of a close, not of this
    if (IsDescribedWindow(FWnd)) DestroyWindow(FWnd);
}

HWND TMainWindow::Control(std::u16string_view name) const
{
    return ControlWindow(FWnd, name);
}

HWND TMainWindow::Require(std::u16string_view name) const
{
    HWND wnd = Control(name);
    if (!wnd) throw EAppError(u"The window has no control " + std::u16string(name));
    return wnd;
}

void TMainWindow::Dress()
{
    // The captions in the user's language, and the window's title by its own rule; the error
    // box takes the title.
    SetWindowTextW(FWnd, WStr(TranslateCaption(WindowText(FWnd), true)));
    for (const TNode* node : AllNodes(DescriptionOf(FWnd)))
        if (!node->Caption.empty()) {
            HWND control = Control(node->Name);
            SetControlText(control, TranslateCaption(WindowText(control), false));
        }
    // The title shrinks to fit its label when the translation is wider, in the title's font.
    HWND title = Require(u"LblTitle");
    const int points = LabelFontSize(title);
    const int fitted = FitLabelFont(points, NodeOf(title)->Bounds.Width, ControlTextWidth(title, WindowText(title)));
    if (fitted != points) SetLabelFontSize(title, fitted);
    UseDesktopFont(FWnd);
    ShowControl(Require(u"Indicator"), false);
    ShowControl(Require(u"BtnDonate"), false);
    ShowPage(0);
}

void TMainWindow::ShowRunButton(TRunLook look, const std::u16string& text)
{
    const bool busy = look == TRunLook::Busy;
    HWND run = Require(u"BtnStart");
    HWND indicator = Require(u"Indicator");
    ShowControl(indicator, busy);
    SetAnimate(indicator, busy);
    SetControlText(run, busy ? std::u16string() : text);
    // While busy, screen readers name the button and the indicator for the work going on.
    SetAccessibleName(run, busy ? text : std::u16string());
    if (busy) SetAccessibleName(indicator, text);
    EnableControl(run, !busy);
    SetDown(run, look == TRunLook::Running);
}

bool TMainWindow::Checked(const std::u16string& box) const
{
    return SendMessageW(Require(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TMainWindow::SetChecked(const std::u16string& box, bool checked)
{
    CheckControl(Require(box), checked);
}

void TMainWindow::SetEnabled(const std::u16string& box, bool enabled)
{
    EnableControl(Require(box), enabled);
}

void TMainWindow::ShowPage(int page)
{
    static const char16_t* const buttons[] = {u"BtnHome", u"BtnConfig"};
    if (page < 0 || page > 1) return;
    SetDown(Require(buttons[page]), true);
    ShowCard(Require(u"PnlMain"), page);
}

void TMainWindow::SetText(const std::u16string& control, const std::u16string& text)
{
    SetControlText(Require(control), text);
}

std::u16string TMainWindow::Caption() const
{
    return IsDescribedWindow(FWnd) ? WindowText(FWnd) : std::u16string();
}

void TMainWindow::Close()
{
    if (IsDescribedWindow(FWnd)) PostMessageW(FWnd, WM_CLOSE, 0, 0);
}
