// Drawing for the Win32 windows: colours and fonts made into GDI objects for a DPI, text
// measuring, the painted controls (labels, markup, the busy indicator, vector images) and the
// styled buttons, antialiased with GDI+.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/ButtonStyles.h"
#include "toolkit/Drawing.h"
#include "toolkit/Svg.h"

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
HFONT MakeFont(const TFont& font, UINT dpi);
// The desktop font (the system's icon-title font) at that DPI; null when the system gives none.
HFONT MakeDesktopFont(UINT dpi);
// Width of text in a font made for that DPI, in logical pixels (96 DPI), rounded up.
int MeasureText(const std::u16string& text, HFONT font, UINT dpi);

// Each paints into dc, its background already filled, the control's font selected.
// A label: one line at the top of r, clipped at it; grey text when disabled.
void PaintLabel(HDC dc, const RECT& r, const std::u16string& text, bool centered, TColor color, bool enabled);
// A markup label (Markup.h): its runs, centred vertically in r.
void PaintMarkup(HDC dc, const RECT& r, const std::u16string& markup, HFONT font, TColor color);
// A vector image scaled into r.
void PaintSvg(HDC dc, const RECT& r, const TSvgDocument& doc);

inline constexpr int kIndicatorFrames = 8;
// The busy indicator's frames, drawn once for a size, dot colour and background into a
// memory DC that is kept, then each shown by one copy: an animating indicator costs a BitBlt
// per frame.
class TIndicatorFrames {
public:
    TIndicatorFrames() = default;
    ~TIndicatorFrames() { Clear(); }
    TIndicatorFrames(const TIndicatorFrames&) = delete;
    TIndicatorFrames& operator=(const TIndicatorFrames&) = delete;
    // Paints frame (0 to kIndicatorFrames - 1) into r of dc, on the colour back.
    void Paint(HDC dc, const RECT& r, int frame, TColor dotColor, COLORREF back);
    void Clear();

private:
    HDC FDC = nullptr;
    HBITMAP FStrip = nullptr;  // every frame side by side, selected into FDC
    HGDIOBJ FOld = nullptr;    // what FDC held before
    int FWidth = 0, FHeight = 0;
    COLORREF FBack = 0, FDot = 0;
};

// A styled button in one of its family's attribute sets, on the background colour.
void DrawStyledButton(HDC dc, const RECT& r, int radius, const TStyledButtonAttributes& attrs, TColor background,
                      const std::u16string& caption, HFONT font, UINT dpi, bool focusCue);
// DWMWA_USE_IMMERSIVE_DARK_MODE (20) with a 4-byte value of -1; the result is ignored.
void RequestDarkMode(HWND wnd);
