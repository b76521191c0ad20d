#include "toolkit/StdControls.h"

TPanel::TPanel(TComponent* AOwner, TControlKind kind) : TWinControl(AOwner, kind) {}

TCard::TCard(TComponent* AOwner) : TPanel(AOwner, kKind) {}

TCardPanel::TCardPanel(TComponent* AOwner) : TPanel(AOwner, kKind) {}

std::vector<TCard*> TCardPanel::Cards() const
{
    std::vector<TCard*> cards;
    for (TControl* c : Controls())
        if (auto* card = KindCast<TCard>(c)) cards.push_back(card);
    return cards;
}

TCard* TCardPanel::ActiveCard() const
{
    const auto cards = Cards();
    if (FActiveCardIndex < 0 || FActiveCardIndex >= static_cast<int>(cards.size())) return nullptr;
    return cards[static_cast<std::size_t>(FActiveCardIndex)];
}

void TCardPanel::SetActiveCardIndex(int index)
{
    const auto cards = Cards();
    if (index < 0 || index >= static_cast<int>(cards.size())) return;
    FActiveCardIndex = index;
    // The page to show first, then the others away, so that one page is always there.
    cards[static_cast<std::size_t>(index)]->SetVisible(true);
    for (std::size_t i = 0; i < cards.size(); ++i)
        if (static_cast<int>(i) != index) cards[i]->SetVisible(false);
}

void TCardPanel::Realign()
{
    const auto cards = Cards();
    for (std::size_t i = 0; i < cards.size(); ++i) {
        cards[i]->SetVisible(static_cast<int>(i) == FActiveCardIndex);
        cards[i]->SetBounds(0, 0, Width(), Height());
    }
    TPanel::Realign();
}

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner, kKind) {}

void TLabel::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment) return;
    FAlignment = alignment;
    Changed(TChange::Style);
}

TMarkupLabel::TMarkupLabel(TComponent* AOwner) : TControl(AOwner, kKind) {}

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner, kKind) {}

TCheckBox::TCheckBox(TComponent* AOwner) : TControl(AOwner, kKind)
{
    SetTabStop(true);
}

void TCheckBox::SetChecked(bool checked)
{
    if (checked == FChecked) return;
    FChecked = checked;
    Changed(TChange::State);
    TControl::Click();
}

void TCheckBox::Click()
{
    SetChecked(!FChecked);
}

TShape::TShape(TComponent* AOwner) : TControl(AOwner, kKind) {}

void TShape::SetBrushColor(TColor color)
{
    if (color == FBrushColor) return;
    FBrushColor = color;
    Changed(TChange::Color);
}

void TShape::SetPenColor(TColor color)
{
    if (color == FPenColor) return;
    FPenColor = color;
    Changed(TChange::Color);
}

TActivityIndicator::TActivityIndicator(TComponent* AOwner) : TControl(AOwner, kKind)
{
    SetBounds(0, 0, 32, 32);
}

void TActivityIndicator::SetAnimate(bool animate)
{
    if (animate == FAnimate) return;
    FAnimate = animate;
    Changed(TChange::State);
}

void TActivityIndicator::NextFrame()
{
    FFrame = (FFrame + 1) % kFrames;
}

TSvgImage::TSvgImage(TComponent* AOwner) : TControl(AOwner, kKind) {}

void TSvgImage::SetSource(const std::string& svgText)
{
    FDocument = ParseSvg(svgText);
    Changed(TChange::State);
}
