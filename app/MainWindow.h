// The program's one window as the program's rules see it: what the controller and the start-up
// (TFrmTavrino) do to the window, and what the window tells them. They reach the window through
// this alone; the program's window implements it, the native tests a double that records it.
// Controls are named as in the window description "TFRMTAVRINO".
#pragma once

#include <string>

// How the Run button shows the program's status.
enum class TRunLook {
    Run,      // the caption, enabled, up
    Running,  // the caption, enabled, pressed in
    Busy,     // no caption, disabled, up; the busy indicator turns over it
};

// What the window tells the program.
class IMainWindowEvents {
public:
    virtual ~IMainWindowEvents() = default;
    // Runs the handler that the window description names for an event of the control named
    // sender (FormCreate for the window itself).
    virtual void Handle(const std::u16string& handler, const std::u16string& sender) = 0;
    // The window became the active window, its focus already set.
    virtual void Activated() = 0;
    // The window is being destroyed, or the session ends without destroying it.
    virtual void Ending() = 0;
};

class IMainWindow {
public:
    virtual ~IMainWindow() = default;
    // The window's events go to events from now on.
    virtual void Connect(IMainWindowEvents& events) = 0;
    // The window's own looks, once, at creation: the accent strip, every caption translated,
    // the title's font fitted to its label, the desktop font, the busy indicator and the Donate
    // button hidden, the Home page; the program's title becomes the window's caption.
    virtual void Dress() = 0;
    // The Run button in a look; text is its caption, or while Busy the name that screen readers
    // give the button and the indicator.
    virtual void ShowRunButton(TRunLook look, const std::u16string& text) = 0;
    // A check box of the Config page.
    virtual bool Checked(const std::u16string& box) const = 0;
    // Sets the state alone: no handler runs.
    virtual void SetChecked(const std::u16string& box, bool checked) = 0;
    virtual void SetEnabled(const std::u16string& box, bool enabled) = 0;
    // Page 0 (Home) or 1 (Config), and its header button alone pressed in.
    virtual void ShowPage(int page) = 0;
    // The caption of a label, or the markup of the markup label.
    virtual void SetText(const std::u16string& control, const std::u16string& text) = 0;
    // The window's caption, which titles its message boxes.
    virtual std::u16string Caption() const = 0;
    // The window's handle (HWND), null while there is none.
    virtual void* Handle() const = 0;
    // Closes the window soon, as its close button does.
    virtual void Close() = 0;
};
