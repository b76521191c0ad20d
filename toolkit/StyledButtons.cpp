#include "toolkit/StyledButtons.h"

void TStyledLook::Compute()
{
    ComputeButtonStyles(Family, StyleClass, Appearance, Styles);
}

namespace {
// Releases every other down button of the group among the siblings of the given button.
template <class T>
void ReleaseGroup(TControl* self, int group)
{
    TWinControl* parent = self->Parent();
    if (!parent) return;
    for (TControl* c : parent->Controls())
        if (auto* other = dynamic_cast<T*>(c); other && c != self && other->GroupIndex() == group)
            other->SetDown(false);
}
}  // namespace

TStyledButton::TStyledButton(TComponent* AOwner) : TControl(AOwner)
{
    SetTabStop(true);
}

void TStyledButton::SetStyle(const std::u16string& family, const std::u16string& styleClass,
                             const std::u16string& appearance)
{
    FLook.Family = family;
    FLook.StyleClass = styleClass;
    FLook.Appearance = appearance;
    FLook.Compute();
    Changed(TChange::Style);
}

void TStyledButton::SetDrawType(TButtonDrawType type, int radius)
{
    FLook.DrawType = type;
    FLook.Radius = radius;
    Changed(TChange::Style);
}

void TStyledButton::SetDown(bool down)
{
    if (down == FDown) return;
    FDown = down;
    if (down) ReleaseGroup<TStyledButton>(this, FGroupIndex);
    Changed(TChange::State);
}

TStyledButtonState TStyledButton::RestState() const
{
    if (!Enabled()) return TStyledButtonState::bsmDisabled;
    return FDown ? TStyledButtonState::bsmPressed : TStyledButtonState::bsmNormal;
}

TStyledToolButton::TStyledToolButton(TComponent* AOwner) : TControl(AOwner)
{
    SetTabStop(true);
}

TStyledToolBar* TStyledToolButton::ToolBar() const
{
    return dynamic_cast<TStyledToolBar*>(Parent());
}

void TStyledToolButton::SetDown(bool down)
{
    if (down == FDown) return;
    FDown = down;
    if (down) ReleaseGroup<TStyledToolButton>(this, FGroupIndex);
    Changed(TChange::State);
}

TStyledButtonState TStyledToolButton::RestState() const
{
    if (!Enabled()) return TStyledButtonState::bsmDisabled;
    return FDown ? TStyledButtonState::bsmPressed : TStyledButtonState::bsmNormal;
}

TStyledToolBar::TStyledToolBar(TComponent* AOwner) : TWinControl(AOwner) {}

void TStyledToolBar::SetStyle(const std::u16string& family, const std::u16string& styleClass,
                              const std::u16string& appearance)
{
    FLook.Family = family;
    FLook.StyleClass = styleClass;
    FLook.Appearance = appearance;
    FLook.Compute();
    Changed(TChange::Style);
}

void TStyledToolBar::SetDrawType(TButtonDrawType type, int radius)
{
    FLook.DrawType = type;
    FLook.Radius = radius;
    Changed(TChange::Style);
}

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
