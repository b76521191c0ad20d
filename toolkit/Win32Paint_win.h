// Drawing for the Win32 realisation: colours and fonts of the component model made into GDI
// objects for a DPI, text measuring, the painted controls (labels, markup, shape, busy
// indicator, vector image) and the styled buttons, antialiased with GDI+.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/ButtonStyles.h"
#include "toolkit/Controls.h"
#include "toolkit/StdControls.h"
#include "toolkit/StyledButtons.h"

// A colour as COLORREF; system colours are looked up now.
COLORREF ResolveColor(TColor color);
// Whether the user's high-contrast setting is on now. While it is, painted controls use the
// system colours alone: ContrastColor gives a fixed colour's stand-in, system colours pass.
bool HighContrastOn();
TColor ContrastColor(TColor color, TColor standIn);
// Where HighContrastOn reads the setting: null for the system's (SPI_GETHIGHCONTRAST); a test
// double in the Wine tests, since Wine keeps no high-contrast setting.
using THighContrastSource = bool (*)();
void SetHighContrastSource(THighContrastSource source);
// The font a control shows at that DPI: its own, its parent's, or the desktop font when it
// follows a form that uses the desktop font.
HFONT MakeControlFont(const TControl& control, UINT dpi);
HFONT MakeFont(const TFont& font, UINT dpi);
// Width of text in a font made for that DPI, in logical pixels (96 DPI), rounded up.
int MeasureText(const std::u16string& text, HFONT font, UINT dpi);
// Paints a label, markup label, shape or vector image into dc (its
// background already filled); font is the control's font selected into dc.
void PaintControl(TControl& control, HDC dc, const RECT& r, UINT dpi, HFONT font);
// The busy indicator's frames, drawn once for a size, dot colour and background into a
// memory DC that is kept, then each shown by one copy: an animating indicator costs a BitBlt
// per frame.
class TIndicatorFrames {
public:
    TIndicatorFrames() = default;
    ~TIndicatorFrames() { Clear(); }
    TIndicatorFrames(const TIndicatorFrames&) = delete;
    TIndicatorFrames& operator=(const TIndicatorFrames&) = delete;
    // Paints the indicator's current frame into r of dc, on the colour back.
    void Paint(const TActivityIndicator& busy, HDC dc, const RECT& r, COLORREF back);
    void Clear();

private:
    HDC FDC = nullptr;
    HBITMAP FStrip = nullptr;  // every frame side by side, selected into FDC
    HGDIOBJ FOld = nullptr;    // what FDC held before
    int FWidth = 0, FHeight = 0;
    COLORREF FBack = 0, FDot = 0;
};

void DrawStyledButton(HDC dc, const RECT& r, const TStyledLook& look,
                      const TStyledButtonAttributes& attrs, TColor background,
                      const std::u16string& caption, HFONT font, UINT dpi, bool focusCue);
// DWMWA_USE_IMMERSIVE_DARK_MODE (20) with a 4-byte value of -1; the result is ignored.
void RequestDarkMode(HWND wnd);
