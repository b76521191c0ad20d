// The plain controls of the toolkit: panel, page panel and its pages, text label, markup
// label, group box, check box, rectangle shape, busy indicator and vector image.
#pragma once

#include <string>

#include "toolkit/Controls.h"
#include "toolkit/Svg.h"

// A plain area in its colour that holds controls.
class TPanel : public TWinControl {
public:
    static constexpr TControlKind kKind = TControlKind::Panel;
    explicit TPanel(TComponent* AOwner, TControlKind kind = kKind);
};

// One page of a TCardPanel; it fills the panel and shows while it is the active one.
class TCard : public TPanel {
public:
    static constexpr TControlKind kKind = TControlKind::Card;
    explicit TCard(TComponent* AOwner);
};

// A panel that shows one of its pages at a time.
class TCardPanel : public TPanel {
public:
    static constexpr TControlKind kKind = TControlKind::CardPanel;
    explicit TCardPanel(TComponent* AOwner);
    // The pages in the order of the children; -1 when there is none.
    int ActiveCardIndex() const { return FActiveCardIndex; }
    // Shows the page of that index and hides the others; an index out of range is ignored.
    void SetActiveCardIndex(int index);
    TCard* ActiveCard() const;
    std::vector<TCard*> Cards() const;
    void Realign() override;

private:
    int FActiveCardIndex = 0;
};

enum class TAlignment { taLeftJustify, taCenter };

// Text on the parent's background, one line at the top of the label's box, clipped at it.
class TLabel : public TControl {
public:
    static constexpr TControlKind kKind = TControlKind::Label;
    explicit TLabel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);

private:
    TAlignment FAlignment = TAlignment::taLeftJustify;
};

// A label whose text is markup (Markup.h); its content lies centred vertically in the box.
class TMarkupLabel : public TControl {
public:
    static constexpr TControlKind kKind = TControlKind::MarkupLabel;
    explicit TMarkupLabel(TComponent* AOwner);
    const std::u16string& Text() const { return Caption(); }
    void SetText(const std::u16string& text) { SetCaption(text); }
};

class TGroupBox : public TWinControl {
public:
    static constexpr TControlKind kKind = TControlKind::GroupBox;
    explicit TGroupBox(TComponent* AOwner);
};

// A check box. OnClick runs on every change of the checked state, whether the user or code
// made it; setting the state it already has runs nothing.
class TCheckBox : public TControl {
public:
    static constexpr TControlKind kKind = TControlKind::CheckBox;
    explicit TCheckBox(TComponent* AOwner);
    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);
    // A click of the user toggles the state.
    void Click() override;

private:
    bool FChecked = false;
};

// A filled rectangle with a solid outline.
class TShape : public TControl {
public:
    static constexpr TControlKind kKind = TControlKind::Shape;
    explicit TShape(TComponent* AOwner);
    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor color);
    TColor PenColor() const { return FPenColor; }
    void SetPenColor(TColor color);

private:
    TColor FBrushColor = clWhite;
    TColor FPenColor = clBlack;
};

// The animated busy indicator: a ring of dots, one frame every FrameDelay milliseconds.
class TActivityIndicator : public TControl {
public:
    static constexpr TControlKind kKind = TControlKind::ActivityIndicator;
    explicit TActivityIndicator(TComponent* AOwner);
    bool Animate() const { return FAnimate; }
    void SetAnimate(bool animate);
    int FrameDelay() const { return FFrameDelay; }
    void SetFrameDelay(int milliseconds) { FFrameDelay = milliseconds; }
    TColor DotColor() const { return FDotColor; }
    void SetDotColor(TColor color) { FDotColor = color; }
    // The frame shown; the realisation advances it while animating, and redraws the
    // indicator alone (a new frame is no change of its state).
    int Frame() const { return FFrame; }
    void NextFrame();
    static constexpr int kFrames = 8;

private:
    bool FAnimate = false;
    int FFrameDelay = 50;
    TColor FDotColor = clBlack;
    int FFrame = 0;
};

// A vector image (the subset of SVG that Svg.h reads), scaled into its box.
class TSvgImage : public TControl {
public:
    static constexpr TControlKind kKind = TControlKind::SvgImage;
    explicit TSvgImage(TComponent* AOwner);
    const TSvgDocument& Document() const { return FDocument; }
    // Raises EAppError when the source cannot be read.
    void SetSource(const std::string& svgText);

private:
    TSvgDocument FDocument;
};
