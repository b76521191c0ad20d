// The plain controls of the toolkit: panel, page panel and its pages, text label, markup
// label, group box, check box, rectangle shape, busy indicator and vector image.
#pragma once

#include <string>

#include "toolkit/Controls.h"
#include "toolkit/Svg.h"

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* AOwner);
    bool Bevel() const { return FBevel; }
    void SetBevel(bool bevel) { FBevel = bevel; }
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool on) { FDoubleBuffered = on; }

private:
    bool FBevel = false;
    bool FDoubleBuffered = false;
};

// One page of a TCardPanel; it fills the panel and shows while it is the active one.
class TCard : public TPanel {
public:
    explicit TCard(TComponent* AOwner);
};

// A panel that shows one of its pages at a time.
class TCardPanel : public TPanel {
public:
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

enum class TAlignment { taLeftJustify, taCenter, taRightJustify };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// Text on the parent's background, one line, clipped at the label's box.
class TLabel : public TControl {
public:
    explicit TLabel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout layout);
    // A fixed-size label keeps its box; an auto-sized one follows its text.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize) { FAutoSize = autoSize; }

private:
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TTextLayout FLayout = TTextLayout::tlTop;
    bool FAutoSize = true;
};

// A label whose text is markup (Markup.h); its content lies centred vertically in the box.
class TMarkupLabel : public TControl {
public:
    explicit TMarkupLabel(TComponent* AOwner);
    const std::u16string& Text() const { return Caption(); }
    void SetText(const std::u16string& text) { SetCaption(text); }
};

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* AOwner);
};

// A check box. OnClick runs on every change of the checked state, whether the user or code
// made it; setting the state it already has runs nothing.
class TCheckBox : public TControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);
    // A click of the user toggles the state.
    void Click() override;

private:
    bool FChecked = false;
};

// A filled rectangle with an outline.
class TShape : public TControl {
public:
    explicit TShape(TComponent* AOwner);
    enum class TPenStyle { psSolid, psClear };
    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor color);
    TColor PenColor() const { return FPenColor; }
    void SetPenColor(TColor color);
    TPenStyle PenStyle() const { return FPenStyle; }
    void SetPenStyle(TPenStyle style);

private:
    TColor FBrushColor = clWhite;
    TColor FPenColor = clBlack;
    TPenStyle FPenStyle = TPenStyle::psSolid;
};

// The animated busy indicator: a ring of dots, one frame every FrameDelay milliseconds.
class TActivityIndicator : public TControl {
public:
    explicit TActivityIndicator(TComponent* AOwner);
    enum class TSize { aisSmall, aisMedium, aisLarge };
    bool Animate() const { return FAnimate; }
    void SetAnimate(bool animate);
    int FrameDelay() const { return FFrameDelay; }
    void SetFrameDelay(int milliseconds) { FFrameDelay = milliseconds; }
    TSize IndicatorSize() const { return FSize; }
    // Sets the size and the box to 24, 32 or 48 pixels square.
    void SetIndicatorSize(TSize size);
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
    TSize FSize = TSize::aisMedium;
    TColor FDotColor = clBlack;
    int FFrame = 0;
};

// A vector image (the subset of SVG that Svg.h reads), scaled into its box.
class TSvgImage : public TControl {
public:
    explicit TSvgImage(TComponent* AOwner);
    const TSvgDocument& Document() const { return FDocument; }
    // Raises EAppError when the source cannot be read.
    void SetSource(const std::string& svgText);

private:
    TSvgDocument FDocument;
};
