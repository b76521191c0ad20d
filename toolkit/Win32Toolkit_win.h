// The Win32 realisation of the toolkit: a window for the form and for each of its controls,
// created from the component tree and kept in step with it (bounds scaled to the window's
// DPI, captions, fonts, visibility, state); owner-drawn styled buttons; painting of labels,
// markup, shapes, the busy indicator and vector images; the message loop.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/Forms.h"

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

// Creates the form's window and the windows of all its controls, hidden, and attaches the
// realisation to the form (controls added later are realised when they are added).
HWND RealizeForm(TForm& form);
// Shows the form, centred on its monitor's work area the first time when it asks so, its
// focus rectangles hidden until the keyboard is used (unless the user keeps them shown).
void ShowForm(TForm& form);
// Runs the message loop until WM_QUIT, with keyboard navigation between the controls of the
// application's main form; returns the exit code.
int RunMessageLoop();
// One message as the loop handles it: Tab, Shift+Tab, the arrows, Enter and Space work the
// main form's controls (the dialog manager), anything else is translated and dispatched.
void HandleMessage(MSG& msg);

// The window of a control, null when it has none.
HWND ControlHandle(const TControl& control);
// The DPI the form's window is laid out for.
UINT FormDpi(const TForm& form);
