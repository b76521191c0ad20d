#include "toolkit/Win32Paint_win.h"

#include <dwmapi.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>

#include "common/Dpi.h"
#include "common/WinText_win.h"
#include "toolkit/Markup.h"

namespace {

Gdiplus::Color GdiColor(TColor color, BYTE alpha = 255)
{
    const COLORREF c = ResolveColor(color);
    return Gdiplus::Color(alpha, GetRValue(c), GetGValue(c), GetBValue(c));
}

HFONT BoldOf(HFONT font)
{
    LOGFONTW lf = {};
    GetObjectW(font, sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&lf);
}

// One frame of the busy indicator: a ring of dots, the leading one solid, those behind it
// fading, drawn into a w x h box at (left, 0).
void PaintIndicatorFrame(Gdiplus::Graphics& g, int frame, COLORREF dot, int left, int w, int h)
{
    const float side = static_cast<float>(std::min(w, h));
    const float ring = side * 0.36f, radius = side * 0.085f;
    const int n = kIndicatorFrames;
    for (int k = 0; k < n; ++k) {
        const int behind = (frame - k + n) % n;  // 0: the leading dot
        const auto alpha = static_cast<BYTE>(255 - behind * 26);
        const double angle = (k * 2 * 3.14159265358979 / n) - 3.14159265358979 / 2;
        const float cx = static_cast<float>(left) + static_cast<float>(w) / 2 + ring * static_cast<float>(std::cos(angle));
        const float cy = static_cast<float>(h) / 2 + ring * static_cast<float>(std::sin(angle));
        Gdiplus::SolidBrush brush(Gdiplus::Color(alpha, GetRValue(dot), GetGValue(dot), GetBValue(dot)));
        g.FillEllipse(&brush, cx - radius, cy - radius, 2 * radius, 2 * radius);
    }
}

}  // namespace

void PaintLabel(HDC dc, const RECT& r, const std::u16string& text, bool centered, TColor color, bool enabled)
{
    const UINT flags = DT_SINGLELINE | DT_NOPREFIX | DT_TOP | (centered ? DT_CENTER : DT_LEFT);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ResolveColor(enabled ? ContrastColor(color, clWindowText) : clGrayText));
    RECT box = r;
    DrawTextW(dc, WStr(text), -1, &box, flags);
}

void PaintMarkup(HDC dc, const RECT& r, const std::u16string& markup, HFONT font, TColor color)
{
    const auto runs = ParseMarkup(markup);
    if (runs.empty()) return;
    HFONT bold = BoldOf(font);
    SetBkMode(dc, TRANSPARENT);
    int total = 0, height = 0;
    std::vector<int> widths;
    bool centred = false;
    for (const auto& run : runs) {
        SelectObject(dc, run.Bold ? bold : font);
        SIZE size = {};
        GetTextExtentPoint32W(dc, WStr(run.Text), static_cast<int>(run.Text.size()), &size);
        widths.push_back(size.cx);
        total += size.cx;
        height = std::max<int>(height, size.cy);
        centred = centred || run.Centered;
    }
    int x = centred ? (r.right - r.left - total) / 2 : 0;
    const int y = (r.bottom - r.top - height) / 2;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const auto& run = runs[i];
        SelectObject(dc, run.Bold ? bold : font);
        SetTextColor(dc, ResolveColor(ContrastColor(run.HasColor ? run.Color : color, clWindowText)));
        TextOutW(dc, x, y, WStr(run.Text), static_cast<int>(run.Text.size()));
        x += widths[i];
    }
    SelectObject(dc, font);
    DeleteObject(bold);
}

void PaintSvg(HDC dc, const RECT& r, const TSvgDocument& doc)
{
    if (doc.Empty()) return;
    Gdiplus::Graphics g(dc);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    const TSvgPlacement p = PlaceSvg(doc, r.right - r.left, r.bottom - r.top);
    // Under high contrast the artwork is drawn in two system colours: light fills in the
    // window colour, the others in window text; each keeps its opacity.
    const bool contrast = HighContrastOn();
    auto at = [&p](const TSvgPoint& pt) {
        return Gdiplus::PointF(static_cast<float>(pt.X * p.Scale + p.OffsetX),
                               static_cast<float>(pt.Y * p.Scale + p.OffsetY));
    };
    for (const TSvgShape& shape : doc.Shapes) {
        Gdiplus::GraphicsPath path(Gdiplus::FillModeWinding);
        for (const TSvgFigure& figure : shape.Figures) {
            path.StartFigure();
            std::size_t i = 0;
            Gdiplus::PointF from = at(figure.Points[0]);
            for (const auto kind : figure.Kinds) {
                if (kind == TSvgFigure::TSegment::Line) {
                    const Gdiplus::PointF to = at(figure.Points[i + 1]);
                    path.AddLine(from, to);
                    from = to;
                    i += 1;
                } else {
                    const Gdiplus::PointF c1 = at(figure.Points[i + 1]), c2 = at(figure.Points[i + 2]),
                                          to = at(figure.Points[i + 3]);
                    path.AddBezier(from, c1, c2, to);
                    from = to;
                    i += 3;
                }
            }
            if (figure.Closed) path.CloseFigure();
        }
        const TColor fill = static_cast<TColor>(shape.Fill & 0xFFFFFF);
        const bool light = ColorRed(GreyColor(fill)) >= 0xA0;
        const Gdiplus::Color color = contrast ? GdiColor(light ? clWindow : clWindowText, shape.Alpha)
                                              : Gdiplus::Color(shape.Alpha, ColorRed(fill), ColorGreen(fill), ColorBlue(fill));
        Gdiplus::SolidBrush brush(color);
        g.FillPath(&brush, &path);
    }
}

namespace {

void AddShape(Gdiplus::GraphicsPath& path, TButtonDrawType type, const Gdiplus::RectF& box, float radius)
{
    const float d = std::min({2 * radius, box.Width, box.Height});
    switch (type) {
    case TButtonDrawType::btEllipse:
        path.AddEllipse(box);
        return;
    case TButtonDrawType::btRect:
        path.AddRectangle(box);
        return;
    case TButtonDrawType::btRounded:
    case TButtonDrawType::btRoundRect: {
        const float dd = type == TButtonDrawType::btRounded ? std::min(box.Width, box.Height) : d;
        if (dd <= 0) {
            path.AddRectangle(box);
            return;
        }
        const float right = box.X + box.Width - dd, bottom = box.Y + box.Height - dd;
        path.AddArc(box.X, box.Y, dd, dd, 180, 90);
        path.AddArc(right, box.Y, dd, dd, 270, 90);
        path.AddArc(right, bottom, dd, dd, 0, 90);
        path.AddArc(box.X, bottom, dd, dd, 90, 90);
        path.CloseFigure();
        return;
    }
    }
}

}  // namespace

COLORREF ResolveColor(TColor color)
{
    if (IsSystemColor(color)) return GetSysColor(static_cast<int>(color & 0xFF));
    return RGB(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

namespace {
THighContrastSource gHighContrastSource = nullptr;
}  // namespace

void SetHighContrastSource(THighContrastSource source)
{
    gHighContrastSource = source;
}

bool HighContrastOn()
{
    if (gHighContrastSource) return gHighContrastSource();
    HIGHCONTRASTW hc = {sizeof hc, 0, nullptr};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

TColor ContrastColor(TColor color, TColor standIn)
{
    return IsSystemColor(color) || !HighContrastOn() ? color : standIn;
}

HFONT MakeFont(const TFont& font, UINT dpi)
{
    LOGFONTW lf = {};
    lf.lfHeight = -ScaleForDpi(font.Height, static_cast<int>(dpi));
    lf.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.Style & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (font.Style & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (font.Style & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = font.Antialiased ? ANTIALIASED_QUALITY : DEFAULT_QUALITY;
    const std::size_t n = std::min<std::size_t>(font.Name.size(), LF_FACESIZE - 1);
    std::copy_n(font.Name.data(), n, reinterpret_cast<char16_t*>(lf.lfFaceName));
    return CreateFontIndirectW(&lf);
}

HFONT MakeDesktopFont(UINT dpi)
{
    LOGFONTW lf = {};
    if (!SystemParametersInfoForDpi(SPI_GETICONTITLELOGFONT, sizeof lf, &lf, 0, dpi)) return nullptr;
    return CreateFontIndirectW(&lf);
}

int MeasureText(const std::u16string& text, HFONT font, UINT dpi)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, WStr(text), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int d = dpi ? static_cast<int>(dpi) : 96;
    return (size.cx * 96 + d - 1) / d;
}

void TIndicatorFrames::Paint(HDC dc, const RECT& r, int frame, TColor dotColor, COLORREF back)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    const COLORREF dot = ResolveColor(ContrastColor(dotColor, clWindowText));
    const int n = kIndicatorFrames;
    if (!FStrip || w != FWidth || h != FHeight || back != FBack || dot != FDot) {
        Clear();
        FDC = CreateCompatibleDC(dc);
        FStrip = CreateCompatibleBitmap(dc, w * n, h);
        if (!FDC || !FStrip) {
            Clear();
            return;
        }
        FOld = SelectObject(FDC, FStrip);
        FWidth = w, FHeight = h, FBack = back, FDot = dot;
        const RECT all = {0, 0, w * n, h};
        HBRUSH brush = CreateSolidBrush(back);
        FillRect(FDC, &all, brush);
        DeleteObject(brush);
        Gdiplus::Graphics g(FDC);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        for (int frame = 0; frame < n; ++frame) PaintIndicatorFrame(g, frame, dot, frame * w, w, h);
    }
    BitBlt(dc, r.left, r.top, w, h, FDC, (frame % n) * w, 0, SRCCOPY);
}

void TIndicatorFrames::Clear()
{
    if (FDC) {
        if (FOld) SelectObject(FDC, FOld);
        DeleteDC(FDC);
    }
    if (FStrip) DeleteObject(FStrip);
    FDC = nullptr;
    FStrip = nullptr;
    FOld = nullptr;
}

void DrawStyledButton(HDC target, const RECT& r, int radius,
                      const TStyledButtonAttributes& attrs, TColor background,
                      const std::u16string& caption, HFONT font, UINT dpi, bool focusCue)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bmp = CreateCompatibleBitmap(target, w, h);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    const RECT box = {0, 0, w, h};
    HBRUSH back = CreateSolidBrush(ResolveColor(background));
    FillRect(dc, &box, back);
    DeleteObject(back);
    {
        Gdiplus::Graphics g(dc);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        const float scale = static_cast<float>(dpi) / 96.0f;
        const float pen = attrs.BorderDrawStyle == TBorderDrawStyle::brdSolid
                              ? std::max(1.0f, static_cast<float>(attrs.BorderWidth) * scale)
                              : 0.0f;
        // Pixel centres lie on whole coordinates: a 1-pixel outline on 0 and w - 1 is crisp.
        const float inset = std::max(pen, 1.0f);
        const Gdiplus::RectF shape((inset - 1) / 2, (inset - 1) / 2, static_cast<float>(w) - inset,
                                   static_cast<float>(h) - inset);
        Gdiplus::GraphicsPath path;
        AddShape(path, attrs.DrawType, shape, static_cast<float>(radius) * scale);
        if (attrs.ButtonDrawStyle == TButtonDrawStyle::btnSolid) {
            Gdiplus::SolidBrush fill(GdiColor(attrs.ButtonColor));
            g.FillPath(&fill, &path);
        }
        if (pen > 0) {
            Gdiplus::Pen outline(GdiColor(attrs.BorderColor), pen);
            g.DrawPath(&outline, &path);
        }
    }
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ResolveColor(attrs.FontColor));
    RECT text = box;
    DrawTextW(dc, WStr(caption), -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    if (focusCue) {
        RECT cue = box;
        const int inset = ScaleForDpi(4, static_cast<int>(dpi));
        InflateRect(&cue, -inset, -inset);
        DrawFocusRect(dc, &cue);
    }
    SelectObject(dc, oldFont);
    BitBlt(target, r.left, r.top, w, h, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBmp);
    DeleteObject(bmp);
    DeleteDC(dc);
}

void RequestDarkMode(HWND wnd)
{
    if (!wnd) return;
    const BOOL value = -1;
    DwmSetWindowAttribute(wnd, 20, &value, sizeof value);
}
