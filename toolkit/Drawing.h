// The plain values the toolkit draws with: colours (0x00BBGGRR as in Win32, or a system
// colour that is looked up when painting), fonts and rectangles in logical pixels (96 DPI).
#pragma once

#include <cstdint>
#include <string>

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
inline constexpr TColor clWindow = kSystemColorFlag | 5;           // COLOR_WINDOW
inline constexpr TColor clWindowText = kSystemColorFlag | 8;       // COLOR_WINDOWTEXT
inline constexpr TColor clHighlight = kSystemColorFlag | 13;       // COLOR_HIGHLIGHT
inline constexpr TColor clHighlightText = kSystemColorFlag | 14;   // COLOR_HIGHLIGHTTEXT
inline constexpr TColor clBtnFace = kSystemColorFlag | 15;         // COLOR_BTNFACE
inline constexpr TColor clGrayText = kSystemColorFlag | 17;        // COLOR_GRAYTEXT

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;  // a set of TFontStyle bits

struct TFont {
    std::u16string Name = u"Segoe UI";
    int Height = 12;  // character height in logical pixels
    TColor Color = clWindowText;
    TFontStyles Style = 0;
    bool Antialiased = false;

    // Size in points at 96 DPI, rounded as the system rounds it.
    int Size() const { return (Height * 72 + 48) / 96; }
    void SetSize(int points) { Height = (points * 96 + 36) / 72; }
    bool operator==(const TFont&) const = default;
};

struct TRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool operator==(const TRect&) const = default;
};
