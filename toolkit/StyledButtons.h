// Styled buttons: a push button that can stay pressed in (down), and a tool bar of tool
// buttons, drawn by their owner from the five attribute sets of a button style family. A
// button set down releases every other down button of its group under the same parent.
#pragma once

#include <string>

#include "toolkit/ButtonStyles.h"
#include "toolkit/Controls.h"

// What a styled control names and draws: family, class, appearance, shape and radius, and
// the five sets it got from the family.
struct TStyledLook {
    std::u16string Family;
    std::u16string StyleClass;
    std::u16string Appearance;
    TButtonDrawType DrawType = TButtonDrawType::btRoundRect;
    int Radius = 4;
    TStyledButtonStyles Styles;
    // Asks the registry for the five sets again; keeps the old ones for an unknown family.
    void Compute();
};

class TStyledButton : public TControl {
public:
    explicit TStyledButton(TComponent* AOwner);
    const TStyledLook& Look() const { return FLook; }
    void SetStyle(const std::u16string& family, const std::u16string& styleClass,
                  const std::u16string& appearance);
    void SetDrawType(TButtonDrawType type, int radius);
    bool Down() const { return FDown; }
    // Setting down releases the other down buttons of the same group under the same parent.
    void SetDown(bool down);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int group) { FGroupIndex = group; }
    bool Opaque() const { return FOpaque; }
    void SetOpaque(bool opaque) { FOpaque = opaque; }
    // The state a button at rest shows (Disabled, Pressed while down, else Normal).
    TStyledButtonState RestState() const;

private:
    TStyledLook FLook;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FOpaque = false;
};

class TStyledToolBar;

// A button of a TStyledToolBar: it draws with the tool bar's look.
class TStyledToolButton : public TControl {
public:
    explicit TStyledToolButton(TComponent* AOwner);
    TStyledToolBar* ToolBar() const;
    bool Down() const { return FDown; }
    void SetDown(bool down);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int group) { FGroupIndex = group; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index) { FImageIndex = index; }
    TStyledButtonState RestState() const;

private:
    bool FDown = false;
    int FGroupIndex = 0;
    int FImageIndex = -1;
};

// Lays its visible buttons out left to right, the first Indent pixels in.
class TStyledToolBar : public TWinControl {
public:
    explicit TStyledToolBar(TComponent* AOwner);
    const TStyledLook& Look() const { return FLook; }
    void SetStyle(const std::u16string& family, const std::u16string& styleClass,
                  const std::u16string& appearance);
    void SetDrawType(TButtonDrawType type, int radius);
    int ButtonWidth() const { return FButtonWidth; }
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonSize(int width, int height);
    int Indent() const { return FIndent; }
    void SetIndent(int indent);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool show) { FShowCaptions = show; }
    void Realign() override;

private:
    TStyledLook FLook;
    int FButtonWidth = 70;
    int FButtonHeight = 30;
    int FIndent = 0;
    bool FShowCaptions = true;
};
