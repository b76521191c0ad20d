// The window accent frame: TThemeHelper, owned by a form, docks a 2-pixel strip at the top of
// its client area (accent blue while the window is active, the system grey-text colour while
// it is not), asks the window manager for the dark title bar, and hooks the form's message
// handler to follow WM_SIZE and WM_ACTIVATE.
#pragma once

#include "toolkit/Forms.h"
#include "toolkit/StdControls.h"

class TThemeHelper : public TComponent {
public:
    // Raises EAppError "TThemeHelper Owner must be a TForm" when AOwner is not a form; then
    // nothing is hooked, created or changed.
    explicit TThemeHelper(TComponent* AOwner);
    // Puts the form's previous message handler back; the strip stays with the form.
    ~TThemeHelper() override;

    TShape* Shape() const { return FShape; }
    bool IsActive() const { return FIsActive; }

private:
    void HookWndProc(TMessage& Message);
    void UpdateShape();

    TForm* FForm = nullptr;
    TColor FActiveColor;
    bool FIsActive = true;
    TShape* FShape = nullptr;
    TWndMethod FOldWindowProc;
};

TThemeHelper* CreateThemeHelper(TComponent* AOwner);
