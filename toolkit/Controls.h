// The component model of the widget toolkit: components with an owner and a name, controls of
// a fixed kind with a parent, bounds in logical pixels (96 DPI), caption, font, colour,
// visibility and events. The state the program sets lives here, in plain objects, with the
// rules about it, so that they are testable without windows; a realisation (the Win32 one in
// *_win.cpp) attaches a peer to a control, is told of every change, and keeps beside it only
// what the system tells it (hot, focus cues, DPI).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TComponent;
class TControl;
class TWinControl;
class TForm;

using TNotifyEvent = std::function<void(TComponent* Sender)>;

// Colours: 0x00BBGGRR as in Win32, or a system colour (kSystemColorFlag | COLOR_ index) that
// the realisation resolves when it paints.
using TColor = std::uint32_t;
inline constexpr TColor kSystemColorFlag = 0xFF000000u;
constexpr TColor RGBColor(unsigned r, unsigned g, unsigned b)
{
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr unsigned ColorRed(TColor c) { return c & 0xFF; }
constexpr unsigned ColorGreen(TColor c) { return (c >> 8) & 0xFF; }
constexpr unsigned ColorBlue(TColor c) { return (c >> 16) & 0xFF; }
constexpr bool IsSystemColor(TColor c) { return (c & kSystemColorFlag) == kSystemColorFlag; }
inline constexpr TColor clBlack = RGBColor(0, 0, 0);
inline constexpr TColor clWhite = RGBColor(255, 255, 255);
inline constexpr TColor clGray = RGBColor(128, 128, 128);
inline constexpr TColor clWindow = kSystemColorFlag | 5;      // COLOR_WINDOW
inline constexpr TColor clWindowText = kSystemColorFlag | 8;  // COLOR_WINDOWTEXT
inline constexpr TColor clHighlight = kSystemColorFlag | 13;      // COLOR_HIGHLIGHT
inline constexpr TColor clHighlightText = kSystemColorFlag | 14;  // COLOR_HIGHLIGHTTEXT
inline constexpr TColor clBtnFace = kSystemColorFlag | 15;    // COLOR_BTNFACE
inline constexpr TColor clGrayText = kSystemColorFlag | 17;   // COLOR_GRAYTEXT

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;  // a set of TFontStyle bits

struct TFont {
    std::u16string Name = u"Segoe UI";
    int Height = 12;  // character height in logical pixels
    TColor Color = clWindowText;
    TFontStyles Style = 0;
    bool Antialiased = false;

    // Size in points at 96 DPI, rounded as the system rounds it.
    int Size() const;
    void SetSize(int points);
    bool operator==(const TFont&) const = default;
};

// One window message as the realisation passes it to a form's message handler.
struct TMessage {
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};
inline constexpr std::uint32_t WM_SIZE_ = 0x0005;
inline constexpr std::uint32_t WM_ACTIVATE_ = 0x0006;

enum class TChange { Bounds, Caption, Visible, Enabled, Font, Color, State, Style, AccessibleName };

// What a realisation attaches to a control. Changed is called after every change of state
// that the realisation may have to show.
class IControlPeer {
public:
    virtual ~IControlPeer() = default;
    virtual void Changed(TChange what) = 0;
    // Width of text in the font the control is shown in, measured at its window's DPI, in
    // logical pixels (rounded up).
    virtual int TextWidth(const std::u16string& text) = 0;
};

// Creates the peers of controls; a form that is realised has one and realises every control
// added to it later.
class IRealizer {
public:
    virtual ~IRealizer() = default;
    virtual void Realize(TControl& control) = 0;
};

// Every kind of control the toolkit has, fixed when a control is made. The reader of the
// window description, the realisation, its painting and the accessibility each decide by it
// in one table or switch. The kinds up to StyledToolBar hold other controls (TWinControl).
enum class TControlKind : std::uint8_t {
    Form, Panel, CardPanel, Card, GroupBox, StyledToolBar,
    Label, MarkupLabel, CheckBox, Shape, ActivityIndicator, SvgImage, StyledButton, StyledToolButton,
};

struct TRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool operator==(const TRect&) const = default;
};

// A component: owned by another (freed with it, in reverse order of creation), found by name.
class TComponent {
public:
    explicit TComponent(TComponent* AOwner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    const std::u16string& Name() const { return FName; }
    void SetName(const std::u16string& name) { FName = name; }
    const std::vector<TComponent*>& Components() const { return FComponents; }
    // The owned component of that name (ASCII letter case ignored), or null.
    TComponent* FindComponent(const std::u16string& name) const;
    // The component as a control, or null when it is none.
    virtual TControl* AsControl() { return nullptr; }

private:
    TComponent* FOwner;
    std::u16string FName;
    std::vector<TComponent*> FComponents;
};

enum class TAlign { alNone, alTop, alRight, alClient };
enum class TCursor { crDefault, crHandPoint };

class TControl : public TComponent {
public:
    TControl(TComponent* AOwner, TControlKind kind);
    ~TControl() override;

    TControl* AsControl() override { return this; }
    TControlKind Kind() const { return FKind; }
    // The control as one that holds others, or null.
    TWinControl* AsContainer();
    const TWinControl* AsContainer() const;

    TWinControl* Parent() const { return FParent; }
    void SetParent(TWinControl* parent);
    // The realisation of the form the control sits on, or null while there is none.
    virtual IRealizer* Realizer() const;

    const TRect& BoundsRect() const { return FBounds; }
    int Left() const { return FBounds.Left; }
    int Top() const { return FBounds.Top; }
    int Width() const { return FBounds.Width; }
    int Height() const { return FBounds.Height; }
    void SetBounds(int left, int top, int width, int height);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);
    // Margins kept free around the control when it is aligned.
    struct TMargins {
        int Left = 0, Top = 0, Right = 0, Bottom = 0;
    };
    const TMargins& Margins() const { return FMargins; }
    void SetMargins(int left, int top, int right, int bottom);

    const std::u16string& Caption() const { return FCaption; }
    void SetCaption(const std::u16string& caption);

    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    // Visible and every parent visible.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);

    // The control whose font this one shows: itself, or the first parent it does not take its
    // font from.
    const TControl& FontSource() const;
    // The font used: the font source's own.
    const TFont& Font() const { return FontSource().FFont; }
    void SetFont(const TFont& font);  // clears ParentFont
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool parentFont);

    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor cursor) { FCursor = cursor; }
    // The name a screen reader gets in place of the caption; empty: the caption.
    const std::u16string& AccessibleName() const { return FAccessibleName; }
    void SetAccessibleName(const std::u16string& name);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool stop) { FTabStop = stop; }

    TNotifyEvent OnClick;
    // Runs OnClick; what a click of the user does.
    virtual void Click();

    // Width of text in the font this control is shown in, in logical pixels; 0 while not
    // realised.
    int TextWidth(const std::u16string& text) const;

    IControlPeer* Peer() const { return FPeer.get(); }
    void SetPeer(std::unique_ptr<IControlPeer> peer);

protected:
    void Changed(TChange what);
    virtual void FontChanged();

private:
    friend class TWinControl;
    TControlKind FKind;
    TWinControl* FParent = nullptr;
    TRect FBounds;
    TAlign FAlign = TAlign::alNone;
    TMargins FMargins;
    std::u16string FCaption;
    bool FVisible = true;
    bool FEnabled = true;
    TFont FFont;
    bool FParentFont = true;
    TColor FColor = clWindow;
    TCursor FCursor = TCursor::crDefault;
    std::u16string FAccessibleName;
    bool FTabStop = false;
    std::unique_ptr<IControlPeer> FPeer;
};

// A control that holds other controls and lays out those that are aligned.
class TWinControl : public TControl {
public:
    TWinControl(TComponent* AOwner, TControlKind kind);
    ~TWinControl() override;

    const std::vector<TControl*>& Controls() const { return FControls; }
    // Moves a child within the order that alignment follows (0 is aligned first).
    void SetChildIndex(TControl* child, std::size_t index);
    // Lays out the aligned children inside the client area, then their children.
    virtual void Realign();
    // The area children are laid out in, relative to this control.
    virtual TRect ClientRect() const;

protected:
    void FontChanged() override;

private:
    friend class TControl;
    void InsertControl(TControl* child);
    void RemoveControl(TControl* child);
    std::vector<TControl*> FControls;
};

// The control as T when it is of T's kind (T::kKind), else null.
template <class T>
T* KindCast(TControl* control)
{
    return control && control->Kind() == T::kKind ? static_cast<T*>(control) : nullptr;
}
template <class T>
const T* KindCast(const TControl* control)
{
    return control && control->Kind() == T::kKind ? static_cast<const T*>(control) : nullptr;
}
