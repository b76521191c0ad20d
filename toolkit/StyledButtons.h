// Styled buttons: a push button that can stay pressed in (down), and a tool bar of tool
// buttons, drawn by their owner from the five attribute sets of a button style family. A
// button set down releases every other down button of its group under the same parent.
#pragma once

#include <string>

#include "toolkit/ButtonStyles.h"
#include "toolkit/Controls.h"

// What a styled control names and draws: family, class, appearance, corner radius, and the
// five sets it got from the family (whose sets give the shape).
struct TStyledLook {
    std::u16string Family;
    std::u16string StyleClass;
    std::u16string Appearance;
    int Radius = 4;
    TStyledButtonStyles Styles;
    // Names the style and asks the registry for its five sets (an unknown family keeps the
    // old ones).
    void SetStyle(const std::u16string& family, const std::u16string& styleClass,
                  const std::u16string& appearance);
};

// What push buttons and tool buttons share: the down state and its group.
class TStyledDownButton : public TControl {
public:
    TStyledDownButton(TComponent* AOwner, TControlKind kind);
    // The control as a down button (a push button or a tool button), else null.
    static TStyledDownButton* Of(TControl* control);
    static const TStyledDownButton* Of(const TControl* control);
    bool Down() const { return FDown; }
    // Setting down releases the other down buttons of the same group under the same parent.
    void SetDown(bool down);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int group) { FGroupIndex = group; }

private:
    bool FDown = false;
    int FGroupIndex = 0;
};

// A control that names its own look: the push button and the tool bar.
template <class TBase>
class TStyledLookOwner : public TBase {
public:
    using TBase::TBase;
    const TStyledLook& Look() const { return FLook; }
    void SetStyle(const std::u16string& family, const std::u16string& styleClass,
                  const std::u16string& appearance)
    {
        FLook.SetStyle(family, styleClass, appearance);
        this->Changed(TChange::Style);
    }
    void SetRadius(int radius)
    {
        FLook.Radius = radius;
        this->Changed(TChange::Style);
    }

private:
    TStyledLook FLook;
};

class TStyledButton : public TStyledLookOwner<TStyledDownButton> {
public:
    static constexpr TControlKind kKind = TControlKind::StyledButton;
    explicit TStyledButton(TComponent* AOwner);
    // Marks the form's default button (DefaultButton).
    bool Default() const { return FDefault; }
    void SetDefault(bool isDefault) { FDefault = isDefault; }

private:
    bool FDefault = false;
};

// The default button among the controls under parent (the first marked Default) while it is
// showing and enabled, else null: it has the focus when the form opens or is activated with
// nothing to go back to, takes it back when it is enabled again, and Enter clicks it when the
// focus is on no other button.
TStyledButton* DefaultButton(const TWinControl& parent);

class TStyledToolBar;

// A button of a TStyledToolBar: it draws with the tool bar's look.
class TStyledToolButton : public TStyledDownButton {
public:
    static constexpr TControlKind kKind = TControlKind::StyledToolButton;
    explicit TStyledToolButton(TComponent* AOwner);
    TStyledToolBar* ToolBar() const;
};

// Lays its visible buttons out left to right, the first Indent pixels in, with their captions.
class TStyledToolBar : public TStyledLookOwner<TWinControl> {
public:
    static constexpr TControlKind kKind = TControlKind::StyledToolBar;
    explicit TStyledToolBar(TComponent* AOwner);
    int ButtonWidth() const { return FButtonWidth; }
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonSize(int width, int height);
    int Indent() const { return FIndent; }
    void SetIndent(int indent);
    void Realign() override;

private:
    int FButtonWidth = 70;
    int FButtonHeight = 30;
    int FIndent = 0;
};
