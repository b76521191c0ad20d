#include "toolkit/StyledButtons.h"

void TStyledLook::SetStyle(const std::u16string& family, const std::u16string& styleClass,
                           const std::u16string& appearance)
{
    Family = family;
    StyleClass = styleClass;
    Appearance = appearance;
    ComputeButtonStyles(Family, StyleClass, Appearance, Styles);
}

TStyledDownButton::TStyledDownButton(TComponent* AOwner, TControlKind kind) : TControl(AOwner, kind)
{
    SetTabStop(true);
}

TStyledDownButton* TStyledDownButton::Of(TControl* control)
{
    const bool down = control && (control->Kind() == TControlKind::StyledButton ||
                                  control->Kind() == TControlKind::StyledToolButton);
    return down ? static_cast<TStyledDownButton*>(control) : nullptr;
}

const TStyledDownButton* TStyledDownButton::Of(const TControl* control)
{
    return Of(const_cast<TControl*>(control));
}

void TStyledDownButton::SetDown(bool down)
{
    if (down == FDown) return;
    FDown = down;
    if (down && Parent())
        for (TControl* c : Parent()->Controls())
            if (TStyledDownButton* other = Of(c);
                other && other != this && other->FGroupIndex == FGroupIndex)
                other->SetDown(false);
    Changed(TChange::State);
}

TStyledButton::TStyledButton(TComponent* AOwner) : TStyledLookOwner<TStyledDownButton>(AOwner, kKind) {}

TStyledButton* DefaultButton(const TWinControl& parent)
{
    for (TControl* c : parent.Controls()) {
        if (auto* button = KindCast<TStyledButton>(c); button && button->Default())
            return button->Showing() && button->Enabled() ? button : nullptr;
        if (const TWinControl* win = c->AsContainer())
            if (TStyledButton* found = DefaultButton(*win)) return found;
    }
    return nullptr;
}

TStyledToolButton::TStyledToolButton(TComponent* AOwner) : TStyledDownButton(AOwner, kKind) {}

TStyledToolBar* TStyledToolButton::ToolBar() const
{
    return KindCast<TStyledToolBar>(static_cast<TControl*>(Parent()));
}

TStyledToolBar::TStyledToolBar(TComponent* AOwner) : TStyledLookOwner<TWinControl>(AOwner, kKind) {}

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
        if (c->Kind() != TControlKind::StyledToolButton || !c->Visible()) continue;
        c->SetBounds(x, 0, FButtonWidth, FButtonHeight);
        x += FButtonWidth;
    }
}
