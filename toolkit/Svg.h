// The subset of SVG that the program's logo uses: an <svg> with a viewBox (or width and
// height) holding <path> elements (d, fill, fill-opacity) and <rect> elements (with rx), also
// inside <g>, filled in #RRGGBB colours. Paths are read into figures of straight and cubic
// segments; the realisation fills them antialiased (nonzero rule), scaled into the control's
// box. What the logo does not use is refused by name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TSvgPoint {
    double X = 0, Y = 0;
    bool operator==(const TSvgPoint&) const = default;
};

// One closed or open run of segments. Points holds the start point, then for each segment
// one point (a line) or three (a cubic Bezier), as Kinds says.
struct TSvgFigure {
    enum class TSegment : std::uint8_t { Line, Cubic };
    std::vector<TSvgPoint> Points;
    std::vector<TSegment> Kinds;
    bool Closed = false;
};

struct TSvgShape {
    std::vector<TSvgFigure> Figures;
    std::uint32_t Fill = 0;  // 0x00BBGGRR
    std::uint8_t Alpha = 255;
};

struct TSvgDocument {
    double ViewX = 0, ViewY = 0, ViewWidth = 0, ViewHeight = 0;
    std::vector<TSvgShape> Shapes;
    bool Empty() const { return Shapes.empty(); }
};

// Raises EAppError naming what cannot be read.
TSvgDocument ParseSvg(std::string_view text);
// The figures of one path's d attribute (M L H Q Z, absolute; every other command raises
// EAppError naming it).
std::vector<TSvgFigure> ParseSvgPath(std::string_view d);

// How a document is placed in a box: uniform scale, centred.
struct TSvgPlacement {
    double Scale = 1, OffsetX = 0, OffsetY = 0;
};
TSvgPlacement PlaceSvg(const TSvgDocument& doc, double boxWidth, double boxHeight);
