// The SVG reader: the logo's path commands, what it refuses by name, inherited paints and the
// placement in a box.
#include <gtest/gtest.h>

#include "common/Error.h"
#include "common/Text.h"
#include "support/ResourceFiles.h"
#include "toolkit/Drawing.h"
#include "toolkit/Svg.h"

namespace {

TEST(SvgTest, PathCommandsOfTheLogo)
{
    using S = TSvgFigure::TSegment;
    const auto figures = ParseSvgPath("M10 20 H15 L15 25 H10 Z L1,1 M0 0 Q3 0 3 3");
    ASSERT_EQ(figures.size(), 3u);
    EXPECT_TRUE(figures[0].Closed);
    EXPECT_EQ(figures[0].Points, (std::vector<TSvgPoint>{{10, 20}, {15, 20}, {15, 25}, {10, 25}}));
    EXPECT_EQ(figures[0].Kinds, (std::vector<S>{S::Line, S::Line, S::Line}));
    // A command after Z without a moveto starts at the closed figure's start.
    EXPECT_EQ(figures[1].Points, (std::vector<TSvgPoint>{{10, 20}, {1, 1}}));
    EXPECT_FALSE(figures[1].Closed);
    // A quadratic becomes the cubic that draws it: controls two thirds of the way to (3,0).
    EXPECT_EQ(figures[2].Kinds, (std::vector<S>{S::Cubic}));
    EXPECT_EQ(figures[2].Points, (std::vector<TSvgPoint>{{0, 0}, {2, 0}, {3, 1}, {3, 3}}));
    // Coordinates after a moveto are lines; numbers run together as SVG allows: "1.5.5" is 1.5
    // and .5, "-1-2" is -1 and -2.
    const auto packed = ParseSvgPath("M1.5.5-1-2e0");
    EXPECT_EQ(packed.at(0).Points, (std::vector<TSvgPoint>{{1.5, 0.5}, {-1, -2}}));
}

TEST(SvgTest, BadPathsAndDocumentsRaise)
{
    for (const char* d : {"L1 2", "M1", "M1 2 L1,", "m1 2"})
        EXPECT_THROW(ParseSvgPath(d), EAppError) << d;
    // What the logo does not use is refused by name.
    struct Case {
        const char* Path;
        const char16_t* Error;
    } refused[] = {
        {"M1 2 A1 1 0 0 1 3 3", u"SVG: arcs are not supported"},
        {"M1 2 a1 1 0 0 1 3 3", u"SVG: arcs are not supported"},
        {"M1 2 V3", u"SVG: path command V is not supported"},
        {"M1 2 C1 2 3 4 5 6", u"SVG: path command C is not supported"},
        {"M1 2 S1 1 2 2", u"SVG: path command S is not supported"},
        {"M1 2 T3 3", u"SVG: path command T is not supported"},
        {"M1 2 l3 3", u"SVG: path command l is not supported"},
        {"M1 2 X3", u"SVG: path command X is not supported"},
    };
    for (const Case& c : refused) {
        try {
            ParseSvgPath(c.Path);
            ADD_FAILURE() << c.Path << " was read";
        } catch (const EAppError& e) {
            EXPECT_EQ(e.Message(), c.Error) << c.Path;
        }
    }
    for (const char* doc : {"", "<g/>", "<svg viewBox='0 0 0 10'/>", "<svg viewBox='0 0 10 10'><path/></svg>",
                            "<svg viewBox='0 0 10 10'><path d='M0 0 L1 1' fill='red'/></svg>",
                            "<svg viewBox='0 0 10 10'><path d='M0 0 L1 1' fill='#fff'/></svg>",
                            "<svg viewBox='0 0 10 10'><path d='M0 0 L1 1' fill='none'/></svg>",
                            "<svg viewBox='0 0 10 10'><path d='M0 0 L1 1' fill-rule='evenodd'/></svg>",
                            "<svg viewBox='0 0 10 10'><g opacity='0.5'/></svg>",
                            "<svg viewBox='0 0 10 10'><rect x=1/></svg>"})
        EXPECT_THROW(ParseSvg(doc), EAppError) << doc;
}

TEST(SvgTest, DocumentPaintsInheritAndPlacementCentresUniformly)
{
    const TSvgDocument doc = ParseSvg(R"(<?xml version="1.0"?><!-- c -->
        <svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 112 50">
          <title>t</title>
          <g fill="#3D84DD" fill-opacity="0.5"><rect x="1" y="2" width="3" height="4"/>
            <path d="M0 0 L1 0 L0 1 Z" fill="#FFFFFF"/></g>
          <rect x="0" y="0" width="10" height="10" rx="2"/>
        </svg>)");
    ASSERT_EQ(doc.Shapes.size(), 3u);
    EXPECT_EQ(doc.Shapes[0].Fill, RGBColor(0x3D, 0x84, 0xDD));
    EXPECT_EQ(doc.Shapes[0].Alpha, 128);
    EXPECT_EQ(doc.Shapes[0].Figures.at(0).Points.size(), 4u);
    EXPECT_EQ(doc.Shapes[1].Fill, clWhite);
    EXPECT_EQ(doc.Shapes[1].Alpha, 128);
    EXPECT_EQ(doc.Shapes[2].Fill, clBlack);  // outside the group: black, opaque
    EXPECT_EQ(doc.Shapes[2].Alpha, 255);
    EXPECT_EQ(doc.Shapes[2].Figures.at(0).Kinds.size(), 8u);  // four sides, four corners

    const TSvgPlacement wide = PlaceSvg(doc, 224, 200);
    EXPECT_DOUBLE_EQ(wide.Scale, 2);
    EXPECT_DOUBLE_EQ(wide.OffsetX, 0);
    EXPECT_DOUBLE_EQ(wide.OffsetY, 50);
    const TSvgPlacement same = PlaceSvg(doc, 112, 50);
    EXPECT_DOUBLE_EQ(same.Scale, 1);
    EXPECT_DOUBLE_EQ(same.OffsetX, 0);
}

TEST(SvgTest, TheLogoReads)
{
    EXPECT_THROW(ParseSvg("<svg"), EAppError);
    const TSvgDocument box = ParseSvg("<svg width='112' height='50'><rect width='112' height='50'/></svg>");
    EXPECT_EQ(box.ViewWidth, 112);
    EXPECT_EQ(box.Shapes.size(), 1u);
    // The program's own logo lies within what the reader takes: its tile, bolt, four bars and
    // swoosh, in the 112 x 50 box, the bars in their fading opacities.
    const TSvgDocument logo = ParseSvg(ReadSourceFile("resources/logo.svg"));
    EXPECT_EQ(logo.ViewWidth, 112);
    EXPECT_EQ(logo.ViewHeight, 50);
    ASSERT_EQ(logo.Shapes.size(), 7u);
    EXPECT_EQ(logo.Shapes[0].Fill, RGBColor(0x3D, 0x84, 0xDD));
    EXPECT_EQ(logo.Shapes[1].Fill, clWhite);
    EXPECT_EQ(logo.Shapes[2].Alpha, 89);  // 0.35
    EXPECT_EQ(logo.Shapes[5].Alpha, 255);
    EXPECT_EQ(logo.Shapes[6].Figures.at(0).Kinds.size(), 2u);  // two quadratics, closed
}

}  // namespace
