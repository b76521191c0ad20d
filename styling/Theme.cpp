#include "styling/Theme.h"

#include "common/Error.h"
#include "styling/MarveticButtonStyles.h"

namespace {
// Checked before the helper becomes a component of AOwner, so that a refused owner is left
// unchanged.
TComponent* RequireForm(TComponent* AOwner)
{
    TControl* control = AOwner ? AOwner->AsControl() : nullptr;
    if (!KindCast<TForm>(control)) throw EAppError(u"TThemeHelper Owner must be a TForm");
    return AOwner;
}
}  // namespace

TThemeHelper::TThemeHelper(TComponent* AOwner)
    : TComponent(RequireForm(AOwner)),
      FForm(static_cast<TForm*>(AOwner)),
      FActiveColor(kAccentColor),
      FIsActive(true)
{
    FForm->RequestDarkTitleBar();

    FShape = new TShape(FForm);
    FShape->SetBounds(0, 0, FForm->ClientWidth(), 2);
    FShape->SetBrushColor(FActiveColor);
    FShape->SetPenColor(FActiveColor);
    FShape->SetMargins(0, 0, 0, 0);
    FShape->SetParent(FForm);
    // Docked first, above everything else docked at the top.
    FForm->SetChildIndex(FShape, 0);
    FShape->SetAlign(TAlign::alTop);

    FOldWindowProc = FForm->WindowProc;
    FForm->WindowProc = [this](TMessage& Message) { HookWndProc(Message); };
    UpdateShape();
}

TThemeHelper::~TThemeHelper()
{
    if (FForm) FForm->WindowProc = FOldWindowProc;
}

void TThemeHelper::HookWndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE_:
        UpdateShape();
        break;
    case WM_ACTIVATE_:
        FIsActive = (Message.WParam & 0xFFFF) != 0;
        UpdateShape();
        break;
    default:
        break;
    }
    if (FOldWindowProc) FOldWindowProc(Message);
}

void TThemeHelper::UpdateShape()
{
    const TColor color = FIsActive ? FActiveColor : clGrayText;
    FShape->SetBrushColor(color);
    FShape->SetPenColor(color);
    FShape->SetVisible(FForm->BorderStyle() != TFormBorderStyle::bsNone);
}

TThemeHelper* CreateThemeHelper(TComponent* AOwner)
{
    return new TThemeHelper(AOwner);
}
