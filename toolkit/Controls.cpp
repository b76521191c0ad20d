#include "toolkit/Controls.h"

#include <algorithm>

#include "common/Text.h"

int TFont::Size() const
{
    // Points at 96 DPI: Height * 72 / 96, rounded to the nearest.
    return (Height * 72 + 48) / 96;
}

void TFont::SetSize(int points)
{
    Height = (points * 96 + 36) / 72;
}

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner)
{
    if (FOwner) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent()
{
    // Owned components go in reverse order of creation; each takes itself off the list.
    while (!FComponents.empty()) delete FComponents.back();
    if (FOwner) {
        auto& list = FOwner->FComponents;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

TComponent* TComponent::FindComponent(const std::u16string& name) const
{
    if (name.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameTextAscii(c->Name(), name)) return c;
    return nullptr;
}

TControl::TControl(TComponent* AOwner, TControlKind kind) : TComponent(AOwner), FKind(kind) {}

TWinControl* TControl::AsContainer()
{
    return FKind <= TControlKind::StyledToolBar ? static_cast<TWinControl*>(this) : nullptr;
}

const TWinControl* TControl::AsContainer() const
{
    return FKind <= TControlKind::StyledToolBar ? static_cast<const TWinControl*>(this) : nullptr;
}

TControl::~TControl()
{
    FPeer.reset();
    if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == FParent) return;
    if (FParent) FParent->RemoveControl(this);
    FParent = nullptr;
    if (parent) parent->InsertControl(this);
}

IRealizer* TControl::Realizer() const
{
    return FParent ? FParent->Realizer() : nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    const TRect r{left, top, std::max(width, 0), std::max(height, 0)};
    if (r == FBounds) return;
    const bool resized = r.Width != FBounds.Width || r.Height != FBounds.Height;
    FBounds = r;
    Changed(TChange::Bounds);
    if (resized)
        if (TWinControl* win = AsContainer()) win->Realign();
}

void TControl::SetAlign(TAlign align)
{
    if (align == FAlign) return;
    FAlign = align;
    if (FParent) FParent->Realign();
}

void TControl::SetMargins(int left, int top, int right, int bottom)
{
    FMargins = {left, top, right, bottom};
    if (FParent && FAlign != TAlign::alNone) FParent->Realign();
}

void TControl::SetCaption(const std::u16string& caption)
{
    if (caption == FCaption) return;
    FCaption = caption;
    Changed(TChange::Caption);
}

void TControl::SetAccessibleName(const std::u16string& name)
{
    if (name == FAccessibleName) return;
    FAccessibleName = name;
    Changed(TChange::AccessibleName);
}

void TControl::SetVisible(bool visible)
{
    if (visible == FVisible) return;
    FVisible = visible;
    Changed(TChange::Visible);
    if (FParent) FParent->Realign();
}

bool TControl::Showing() const
{
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FVisible) return false;
    return true;
}

void TControl::SetEnabled(bool enabled)
{
    if (enabled == FEnabled) return;
    FEnabled = enabled;
    Changed(TChange::Enabled);
}

const TControl& TControl::FontSource() const
{
    const TControl* c = this;
    while (c->FParentFont && c->FParent) c = c->FParent;
    return *c;
}

void TControl::SetFont(const TFont& font)
{
    const bool same = !FParentFont && font == FFont;
    FFont = font;
    FParentFont = false;
    if (!same) FontChanged();
}

void TControl::SetParentFont(bool parentFont)
{
    if (parentFont == FParentFont) return;
    if (!parentFont) FFont = Font();
    FParentFont = parentFont;
    FontChanged();
}

void TControl::FontChanged()
{
    Changed(TChange::Font);
}

void TControl::SetColor(TColor color)
{
    if (color == FColor) return;
    FColor = color;
    Changed(TChange::Color);
}

void TControl::Click()
{
    if (OnClick) OnClick(this);
}

int TControl::TextWidth(const std::u16string& text) const
{
    return FPeer ? FPeer->TextWidth(text) : 0;
}

void TControl::SetPeer(std::unique_ptr<IControlPeer> peer)
{
    FPeer = std::move(peer);
}

void TControl::Changed(TChange what)
{
    if (FPeer) FPeer->Changed(what);
}

TWinControl::TWinControl(TComponent* AOwner, TControlKind kind) : TControl(AOwner, kind) {}

TWinControl::~TWinControl()
{
    // Children owned elsewhere lose their parent; those owned here are freed by TComponent.
    for (TControl* c : FControls) c->FParent = nullptr;
    FControls.clear();
}

void TWinControl::InsertControl(TControl* child)
{
    FControls.push_back(child);
    child->FParent = this;
    if (IRealizer* realizer = Realizer(); realizer && Peer()) realizer->Realize(*child);
    Realign();
}

void TWinControl::RemoveControl(TControl* child)
{
    FControls.erase(std::remove(FControls.begin(), FControls.end(), child), FControls.end());
    child->FParent = nullptr;
    Realign();
}

void TWinControl::SetChildIndex(TControl* child, std::size_t index)
{
    auto it = std::find(FControls.begin(), FControls.end(), child);
    if (it == FControls.end()) return;
    FControls.erase(it);
    index = std::min(index, FControls.size());
    FControls.insert(FControls.begin() + static_cast<std::ptrdiff_t>(index), child);
    Realign();
}

TRect TWinControl::ClientRect() const
{
    return {0, 0, Width(), Height()};
}

void TWinControl::Realign()
{
    // Top and right docks in child order, each taking its edge of what is left, then every
    // client-aligned child fills the rest. Margins are kept free around each.
    TRect area = ClientRect();
    auto place = [](TControl* c, int left, int top, int width, int height) {
        const auto& m = c->Margins();
        c->SetBounds(left + m.Left, top + m.Top, width - m.Left - m.Right,
                     height - m.Top - m.Bottom);
    };
    const TAlign order[] = {TAlign::alTop, TAlign::alRight, TAlign::alClient};
    for (TAlign kind : order) {
        for (TControl* c : FControls) {
            if (c->Align() != kind || !c->Visible()) continue;
            const auto& m = c->Margins();
            const int outerW = c->Width() + m.Left + m.Right;
            const int outerH = c->Height() + m.Top + m.Bottom;
            switch (kind) {
            case TAlign::alTop:
                place(c, area.Left, area.Top, area.Width, outerH);
                area.Top += outerH;
                area.Height -= outerH;
                break;
            case TAlign::alRight:
                place(c, area.Left + area.Width - outerW, area.Top, outerW, area.Height);
                area.Width -= outerW;
                break;
            case TAlign::alClient:
                place(c, area.Left, area.Top, area.Width, area.Height);
                break;
            case TAlign::alNone:
                break;
            }
            area.Width = std::max(area.Width, 0);
            area.Height = std::max(area.Height, 0);
        }
    }
    for (TControl* c : FControls)
        if (TWinControl* win = c->AsContainer()) win->Realign();
}

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    for (TControl* c : FControls)
        if (c->ParentFont()) c->FontChanged();
}
