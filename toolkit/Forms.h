// Forms and the application object. A form is a top-level window: client size, border,
// title-bar buttons, position, caption, font, a message handler that others may hook, and a
// creation handler whose errors go to the program's unhandled-error handling (ErrorGuard.h).
// The application object holds the title and the main form.
#pragma once

#include <functional>
#include <memory>

#include "common/ErrorGuard.h"
#include "toolkit/Controls.h"

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
enum class TPosition { poDesigned, poScreenCenter };

using TWndMethod = std::function<void(TMessage& Message)>;

// The realisation of a form, beyond what every control has.
class IFormPeer {
public:
    virtual ~IFormPeer() = default;
    // The handle of the window (HWND), null while there is none.
    virtual void* Handle() = 0;
    // The default handling of a message: what the window does when nobody hooks it.
    virtual void DefaultHandler(TMessage& message) = 0;
    virtual void RequestDarkTitleBar() = 0;
    virtual void Close() = 0;
};

// The form's bounds are its client area: Width and Height are the client width and height.
class TForm : public TWinControl {
public:
    static constexpr TControlKind kKind = TControlKind::Form;
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    int ClientWidth() const { return Width(); }
    int ClientHeight() const { return Height(); }
    void SetClientSize(int width, int height);

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style);
    unsigned BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(unsigned icons) { FBorderIcons = icons; }
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition position) { FPosition = position; }

    // The desktop font (the system's icon-title font) replaces the form's font and is
    // followed when it changes; the realisation resolves it.
    bool DesktopFont() const { return FDesktopFont; }
    void SetDesktopFont(bool desktopFont);

    // Every message of the window passes through WindowProc; by default it is WndProc, which
    // hands it to the realisation's default handling. A hook saves the old value, installs
    // its own and passes messages on to the saved one.
    TWndMethod WindowProc;
    void WndProc(TMessage& message);
    // Sends a message through WindowProc and returns its result.
    std::intptr_t Perform(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

    TNotifyEvent OnCreate;
    // Runs OnCreate; an error raised there goes to HandleError and the
    // form is still created.
    void DoCreate();

    // The dark title bar asked of the window manager (remembered until there is a window).
    void RequestDarkTitleBar();
    bool DarkTitleBarRequested() const { return FDarkTitleBar; }
    void Close();
    bool CloseRequested() const { return FCloseRequested; }

    // Set by the realisation: the form's window and the factory of its controls' peers. The
    // form keeps the realizer and frees it first when it is destroyed, while every control
    // still exists.
    IFormPeer* FormPeer() const { return FFormPeer; }
    IRealizer* Realizer() const override { return FRealizer.get(); }
    void Attach(IFormPeer* formPeer, std::unique_ptr<IRealizer> realizer);

private:
    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
    unsigned FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition FPosition = TPosition::poDesigned;
    bool FDesktopFont = false;
    bool FDarkTitleBar = false;
    bool FCloseRequested = false;
    IFormPeer* FFormPeer = nullptr;
    std::unique_ptr<IRealizer> FRealizer;
};

class TApplication {
public:
    std::u16string Title;
    bool MainFormOnTaskBar = false;
    TForm* MainForm = nullptr;
};

// The one application object of the process.
TApplication& Application();

// Translates the caption of AComponent and, recursively, of everything it owns, in ownership
// order (TranslateCaption: a form's caption is its title). A non-empty ALang first becomes the
// current language for this and every later translation.
void TranslateComponent(TComponent* AComponent, const std::u16string& ALang = u"");
