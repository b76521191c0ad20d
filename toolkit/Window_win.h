// The Win32 window made from a window description: a top-level window of the class
// "TavrinoForm" and one window per control, from one table of kinds (window class and styles,
// how it paints, what a screen reader hears). The handles hold what Windows holds: text,
// visibility, enabled, checked. Beside each is kept only what Windows does not track: the
// button's hot and down state, the indicator's animation and frame, an accessible name. Each
// window class has one procedure, a switch; a parent sends its children's notifications back
// to the child they concern. The window keeps its description and frees everything it made
// when it is destroyed.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "toolkit/Description.h"

// Process-wide set-up while it lives: GDI+, the common controls, the window classes, and an
// unhandled-error handler that shows the error in a message box and lets the program go on.
class TWin32Toolkit {
public:
    TWin32Toolkit();
    ~TWin32Toolkit();
    TWin32Toolkit(const TWin32Toolkit&) = delete;
    TWin32Toolkit& operator=(const TWin32Toolkit&) = delete;

private:
    ULONG_PTR FGdiplusToken = 0;
};

// What the window tells its owner. Each call runs through RunHandler: an error raised there is
// reported and the window goes on.
struct TWindowEvents {
    // A click (or the window's creation, run by RunCreateHandler): the handler the description
    // names, with the name of the control (the window's own for its creation).
    std::function<void(const std::u16string& handler, const std::u16string& sender)> Handle;
    // The window became active, its focus already set.
    std::function<void()> Activated;
    // The window is being destroyed, or the session ends.
    std::function<void()> Ending;
};

// The accent strip: a band of the window's top client rows, drawn by the window in the colour
// that StripColor gives for its active state (under high contrast the highlight colour while
// active); the description's controls lie below it.
struct TAccentStrip {
    int Height = 0;  // logical pixels; 0: none
    TColor (*StripColor)(bool active) = nullptr;
};

// Creates the window, hidden, with all its controls, sized for the DPI of the monitor it
// opens on. Raises EAppError when Windows makes no window.
HWND CreateDescribedWindow(TWindowDescription description, TAccentStrip strip, TWindowEvents events);
// Runs the creation handler the description names.
void RunCreateHandler(HWND window);
// Shows the window, centred on its monitor's work area the first time, its focus rectangles
// hidden until the keyboard is used (unless the user keeps them shown); it becomes the
// application's main window: the one the message loop's keyboard navigation serves, whose
// destruction ends the loop, and which owns the unhandled-error box.
void ShowDescribedWindow(HWND window);
// Runs the message loop until WM_QUIT; returns the exit code.
int RunMessageLoop();
// One message as the loop handles it: Tab, Shift+Tab, the arrows, Enter and Space work the
// main window's controls (the dialog manager), anything else is translated and dispatched.
void HandleMessage(MSG& msg);

// Whether the window is one that CreateDescribedWindow made and that is not destroyed.
bool IsDescribedWindow(HWND window);
// The description the window was made from.
const TWindowDescription& DescriptionOf(HWND window);
// The window of the control of that name (ASCII letter case ignored), null when there is none.
HWND ControlWindow(HWND window, std::u16string_view name);
// The control's node, null for a window that is not a control of a described window.
const TNode* NodeOf(HWND control);
// The DPI the window is laid out for.
UINT WindowDpi(HWND window);

// The state a control's window holds, changed as a person would see it change (drawn again,
// screen readers told).
void SetControlText(HWND control, const std::u16string& text);
void ShowControl(HWND control, bool visible);
// A disabled control loses the focus; the default button takes it back when it is enabled
// again while nothing in its active window has it.
void EnableControl(HWND control, bool enabled);
void CheckControl(HWND control, bool checked);
// The page of that index of a card panel shown, the others hidden; an index out of range is
// ignored.
void ShowCard(HWND cardPanel, int index);

// What is kept beside the handles.
// A button pressed in: setting it releases every other down button under the same parent.
void SetDown(HWND button, bool down);
bool IsDown(HWND button);
// The busy indicator turning, one frame every FrameDelay milliseconds while it is visible.
void SetAnimate(HWND indicator, bool animate);
int IndicatorFrame(HWND indicator);
// The name a screen reader gets in place of the text; empty: the description's, or the text.
void SetAccessibleName(HWND control, const std::u16string& name);

// The window's font becomes the desktop font (the system's icon-title font), followed when it
// changes; labels with a font of their own keep it.
void UseDesktopFont(HWND window);
// Width of text in the font the control is shown in, measured at its window's DPI, in logical
// pixels (rounded up).
int ControlTextWidth(HWND control, const std::u16string& text);
// The size in points of a label's own font, and that font at another size; a label that shows
// the window's font raises EAppError.
int LabelFontSize(HWND label);
void SetLabelFontSize(HWND label, int points);
