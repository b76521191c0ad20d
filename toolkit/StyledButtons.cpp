#include "toolkit/StyledButtons.h"

void TStyledLook::SetStyle(const std::u16string& family, const std::u16string& styleClass,
                           const std::u16string& appearance)
{
    Family = family;
    StyleClass = styleClass;
    Appearance = appearance;
    ComputeButtonStyles(Family, StyleClass, Appearance, Styles);
}

TStyledDownButton::TStyledDownButton(TComponent* AOwner) : TControl(AOwner)
{
    SetTabStop(true);
}

void TStyledDownButton::SetDown(bool down)
{
    if (down == FDown) return;
    FDown = down;
    if (down && Parent())
        for (TControl* c : Parent()->Controls())
            if (auto* other = dynamic_cast<TStyledDownButton*>(c);
                other && other != this && other->FGroupIndex == FGroupIndex)
                other->SetDown(false);
    Changed(TChange::State);
}

TStyledButtonState TStyledDownButton::RestState() const
{
    if (!Enabled()) return TStyledButtonState::bsmDisabled;
    return FDown ? TStyledButtonState::bsmPressed : TStyledButtonState::bsmNormal;
}

TStyledButton::TStyledButton(TComponent* AOwner) : TStyledLookOwner<TStyledDownButton>(AOwner) {}

TStyledToolButton::TStyledToolButton(TComponent* AOwner) : TStyledDownButton(AOwner) {}

TStyledToolBar* TStyledToolButton::ToolBar() const
{
    return dynamic_cast<TStyledToolBar*>(Parent());
}

TStyledToolBar::TStyledToolBar(TComponent* AOwner) : TStyledLookOwner<TWinControl>(AOwner) {}

void TStyledToolBar::SetButtonSize(int width, int height)
{
    FButtonWidth = width;
    FButtonHeight = height;
    Realign();
}

void TStyledToolBar::SetIndent(int indent)
{
    FIndent = indent;
    Realign();
}

void TStyledToolBar::Realign()
{
    int x = FIndent;
    for (TControl* c : Controls()) {
        if (!dynamic_cast<TStyledToolButton*>(c) || !c->Visible()) continue;
        c->SetBounds(x, 0, FButtonWidth, FButtonHeight);
        x += FButtonWidth;
    }
}
