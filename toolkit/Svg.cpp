#include "toolkit/Svg.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "common/Error.h"
#include "common/Text.h"

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw EAppError(u"SVG: " + AsciiToUtf16(what));
}

class TPathReader {
public:
    explicit TPathReader(std::string_view d) : FText(d) {}

    std::vector<TSvgFigure> Read()
    {
        char command = 0;
        for (;;) {
            SkipSeparators();
            if (FPos >= FText.size()) break;
            const char c = FText[FPos];
            if (std::isalpha(static_cast<unsigned char>(c))) {
                if (command == 0 && c != 'M') Fail("path must start with a moveto");
                command = c;
                ++FPos;
            } else if (command == 0) {
                Fail("path must start with a command");
            } else if (command == 'M') {
                // Coordinates after a moveto are implicit linetos.
                command = 'L';
            }
            Execute(command);
        }
        Finish();
        return std::move(FFigures);
    }

private:
    // The absolute commands the logo is drawn with; the others (V, C, S, T, the relative ones)
    // are refused by name, as arcs are.
    void Execute(char command)
    {
        switch (command) {
        case 'M': {
            const TSvgPoint p = Point();
            Finish();
            FFigure.Points.push_back(p);
            FCurrent = FStart = p;
            break;
        }
        case 'L':
            Line(Point());
            break;
        case 'H':
            Line({Number(), FCurrent.Y});
            break;
        case 'Q': {
            const TSvgPoint q = Point(), p = Point();
            Quadratic(q, p);
            break;
        }
        case 'Z':
            if (!FFigure.Points.empty()) {
                FFigure.Closed = true;
                FCurrent = FStart;
                Finish();
                // A command after Z without a moveto starts at the figure's start.
                FFigure.Points.push_back(FStart);
            }
            break;
        case 'A':
        case 'a':
            Fail("arcs are not supported");
        default:
            Fail(std::string("path command ") + command + " is not supported");
        }
    }

    void Begin()
    {
        if (FFigure.Points.empty()) FFigure.Points.push_back(FCurrent);
    }

    void Line(TSvgPoint p)
    {
        Begin();
        FFigure.Points.push_back(p);
        FFigure.Kinds.push_back(TSvgFigure::TSegment::Line);
        FCurrent = p;
    }

    // A quadratic segment, kept as the cubic that draws the same curve.
    void Quadratic(TSvgPoint q, TSvgPoint p)
    {
        const TSvgPoint from = FCurrent;
        Begin();
        FFigure.Points.insert(FFigure.Points.end(),
                              {{from.X + 2.0 / 3 * (q.X - from.X), from.Y + 2.0 / 3 * (q.Y - from.Y)},
                               {p.X + 2.0 / 3 * (q.X - p.X), p.Y + 2.0 / 3 * (q.Y - p.Y)},
                               p});
        FFigure.Kinds.push_back(TSvgFigure::TSegment::Cubic);
        FCurrent = p;
    }

    void Finish()
    {
        if (FFigure.Kinds.empty()) {
            FFigure = {};
            return;
        }
        FFigures.push_back(std::move(FFigure));
        FFigure = {};
    }

    TSvgPoint Point()
    {
        const double x = Number();
        const double y = Number();
        return {x, y};
    }

    double Number()
    {
        SkipSeparators();
        const auto value = ReadDecimal(FText, FPos);
        if (!value) Fail("number expected in path");
        return *value;
    }

    void SkipSeparators()
    {
        while (FPos < FText.size() &&
               (std::isspace(static_cast<unsigned char>(FText[FPos])) || FText[FPos] == ','))
            ++FPos;
    }

    std::string_view FText;
    std::size_t FPos = 0;
    TSvgPoint FCurrent, FStart;
    TSvgFigure FFigure;
    std::vector<TSvgFigure> FFigures;
};

using TAttributes = std::map<std::string, std::string>;

struct TElement {
    std::string Name;
    TAttributes Attributes;
    bool Closing = false;      // </name>
    bool SelfClosing = false;  // <name/>
};

// Reads the elements of the document in order; text, comments and declarations are skipped.
std::vector<TElement> ReadElements(std::string_view text)
{
    std::vector<TElement> out;
    std::size_t pos = 0;
    while ((pos = text.find('<', pos)) != std::string_view::npos) {
        if (text.substr(pos, 4) == "<!--") {
            const std::size_t end = text.find("-->", pos);
            if (end == std::string_view::npos) Fail("unterminated comment");
            pos = end + 3;
            continue;
        }
        if (pos + 1 < text.size() && (text[pos + 1] == '?' || text[pos + 1] == '!')) {
            const std::size_t end = text.find('>', pos);
            if (end == std::string_view::npos) Fail("unterminated declaration");
            pos = end + 1;
            continue;
        }
        ++pos;
        TElement e;
        if (pos < text.size() && text[pos] == '/') {
            e.Closing = true;
            ++pos;
        }
        while (pos < text.size() && !std::isspace(static_cast<unsigned char>(text[pos])) &&
               text[pos] != '>' && text[pos] != '/')
            e.Name += text[pos++];
        for (;;) {
            while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
            if (pos >= text.size()) Fail("unterminated element " + e.Name);
            if (text[pos] == '>') {
                ++pos;
                break;
            }
            if (text.substr(pos, 2) == "/>") {
                e.SelfClosing = true;
                pos += 2;
                break;
            }
            std::string name;
            while (pos < text.size() && text[pos] != '=' && text[pos] != '>' &&
                   !std::isspace(static_cast<unsigned char>(text[pos])))
                name += text[pos++];
            while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
            if (pos >= text.size() || text[pos] != '=') Fail("attribute " + name + " has no value");
            ++pos;
            while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
            if (pos >= text.size() || (text[pos] != '"' && text[pos] != '\''))
                Fail("attribute " + name + " is not quoted");
            const char quote = text[pos++];
            const std::size_t end = text.find(quote, pos);
            if (end == std::string_view::npos) Fail("unterminated attribute " + name);
            e.Attributes[name] = std::string(text.substr(pos, end - pos));
            pos = end + 1;
        }
        if (e.Name.empty()) Fail("element without a name");
        out.push_back(std::move(e));
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    Fail(std::string("bad colour digit ") + c);
}

// A fill colour, written #RRGGBB.
std::uint32_t ReadPaint(const std::string& value)
{
    if (value.size() != 7 || value[0] != '#') Fail("unsupported colour " + value);
    const unsigned r = HexDigit(value[1]) * 16 + HexDigit(value[2]);
    const unsigned g = HexDigit(value[3]) * 16 + HexDigit(value[4]);
    const unsigned b = HexDigit(value[5]) * 16 + HexDigit(value[6]);
    return r | (g << 8) | (b << 16);
}

double ReadNumber(const TAttributes& a, const char* name, double fallback)
{
    const auto it = a.find(name);
    if (it == a.end()) return fallback;
    const std::string& text = it->second;
    std::size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    const auto value = ReadDecimal(text, pos);  // a unit after it ("px") is not read
    if (!value) Fail(std::string("bad number in ") + name);
    return *value;
}

// The inherited paint of a group, or of an element.
struct TPaint {
    std::string Fill = "#000000";
    double Opacity = 1;
};

TPaint Inherit(const TPaint& parent, const TAttributes& a)
{
    // What the logo does not use is refused by name rather than drawn otherwise.
    for (const char* refused : {"fill-rule", "opacity", "stroke", "transform"})
        if (a.count(refused)) Fail(std::string("the attribute ") + refused + " is not supported");
    TPaint p = parent;
    if (auto it = a.find("fill"); it != a.end()) p.Fill = it->second;
    p.Opacity *= ReadNumber(a, "fill-opacity", 1);
    return p;
}

TSvgFigure RectFigure(double x, double y, double w, double h, double rx)
{
    TSvgFigure f;
    f.Closed = true;
    rx = std::min({rx, w / 2, h / 2});
    using S = TSvgFigure::TSegment;
    if (rx <= 0) {
        f.Points = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
        f.Kinds = {S::Line, S::Line, S::Line};
        return f;
    }
    const double k = rx * 0.5522847498;  // a quarter circle as one cubic
    f.Points = {{x + rx, y}};
    auto line = [&](double px, double py) {
        f.Points.push_back({px, py});
        f.Kinds.push_back(S::Line);
    };
    auto corner = [&](TSvgPoint c1, TSvgPoint c2, TSvgPoint p) {
        f.Points.insert(f.Points.end(), {c1, c2, p});
        f.Kinds.push_back(S::Cubic);
    };
    line(x + w - rx, y);
    corner({x + w - rx + k, y}, {x + w, y + rx - k}, {x + w, y + rx});
    line(x + w, y + h - rx);
    corner({x + w, y + h - rx + k}, {x + w - rx + k, y + h}, {x + w - rx, y + h});
    line(x + rx, y + h);
    corner({x + rx - k, y + h}, {x, y + h - rx + k}, {x, y + h - rx});
    line(x, y + rx);
    corner({x, y + rx - k}, {x + rx - k, y}, {x + rx, y});
    return f;
}

}  // namespace

std::vector<TSvgFigure> ParseSvgPath(std::string_view d)
{
    return TPathReader(d).Read();
}

TSvgDocument ParseSvg(std::string_view text)
{
    const std::vector<TElement> elements = ReadElements(text);
    TSvgDocument doc;
    std::vector<TPaint> stack;
    bool seenRoot = false;
    for (const TElement& e : elements) {
        if (e.Closing) {
            if (e.Name == "g" || e.Name == "svg") {
                if (stack.empty()) Fail("unbalanced </" + e.Name + ">");
                stack.pop_back();
            }
            continue;
        }
        if (e.Name == "svg") {
            if (seenRoot) Fail("nested svg elements are not supported");
            seenRoot = true;
            if (auto it = e.Attributes.find("viewBox"); it != e.Attributes.end()) {
                const std::string& box = it->second;
                std::size_t pos = 0;
                double v[4];
                for (double& x : v) {
                    while (pos < box.size() && (std::isspace(static_cast<unsigned char>(box[pos])) || box[pos] == ','))
                        ++pos;
                    const auto value = ReadDecimal(box, pos);
                    if (!value) Fail("bad viewBox");
                    x = *value;
                }
                doc.ViewX = v[0];
                doc.ViewY = v[1];
                doc.ViewWidth = v[2];
                doc.ViewHeight = v[3];
            } else {
                doc.ViewWidth = ReadNumber(e.Attributes, "width", 0);
                doc.ViewHeight = ReadNumber(e.Attributes, "height", 0);
            }
            if (doc.ViewWidth <= 0 || doc.ViewHeight <= 0) Fail("the image has no size");
            stack.push_back(Inherit(TPaint(), e.Attributes));
            if (e.SelfClosing) stack.pop_back();
            continue;
        }
        if (!seenRoot) Fail("the document is not an svg element");
        if (stack.empty()) Fail("element " + e.Name + " after the end of svg");
        const TPaint paint = Inherit(stack.back(), e.Attributes);
        if (e.Name == "g") {
            if (!e.SelfClosing) stack.push_back(paint);
            continue;
        }
        TSvgShape shape;
        if (e.Name == "path") {
            const auto it = e.Attributes.find("d");
            if (it == e.Attributes.end()) Fail("path without d");
            shape.Figures = ParseSvgPath(it->second);
        } else if (e.Name == "rect") {
            shape.Figures.push_back(RectFigure(ReadNumber(e.Attributes, "x", 0), ReadNumber(e.Attributes, "y", 0),
                                               ReadNumber(e.Attributes, "width", 0),
                                               ReadNumber(e.Attributes, "height", 0),
                                               ReadNumber(e.Attributes, "rx", 0)));
        } else {
            continue;  // title, desc, defs and the like draw nothing
        }
        shape.Fill = ReadPaint(paint.Fill);
        shape.Alpha = static_cast<std::uint8_t>(std::clamp(paint.Opacity, 0.0, 1.0) * 255 + 0.5);
        if (!shape.Figures.empty()) doc.Shapes.push_back(std::move(shape));
    }
    if (!seenRoot) Fail("the document is not an svg element");
    return doc;
}

TSvgPlacement PlaceSvg(const TSvgDocument& doc, double boxWidth, double boxHeight)
{
    TSvgPlacement p;
    if (doc.ViewWidth <= 0 || doc.ViewHeight <= 0) return p;
    p.Scale = std::min(boxWidth / doc.ViewWidth, boxHeight / doc.ViewHeight);
    p.OffsetX = (boxWidth - doc.ViewWidth * p.Scale) / 2 - doc.ViewX * p.Scale;
    p.OffsetY = (boxHeight - doc.ViewHeight * p.Scale) / 2 - doc.ViewY * p.Scale;
    return p;
}
