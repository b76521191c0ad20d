// The markup of the markup label: the three tags, nesting, letter case, and text that only
// looks like a tag.
#include <gtest/gtest.h>

#include "common/Text.h"
#include "toolkit/Markup.h"

namespace {

TMarkupRun Span(const char16_t* text, bool bold = false, bool centred = false, bool grey = false)
{
    return {text, bold, centred, grey, grey ? clGray : clBlack};
}

TEST(MarkupTest, ReadsRunsOfEqualStyle)
{
    struct Case {
        const char16_t* Markup;
        std::vector<TMarkupRun> Want;
    };
    const Case cases[] = {
        {u"", {}},
        {u"plain", {Span(u"plain")}},
        {u"<C><FC:clGray>Easily improve <B>game responsiveness</B>.</FC></C>",
         {Span(u"Easily improve ", false, true, true), Span(u"game responsiveness", true, true, true),
          Span(u".", false, true, true)}},
        {u"<c><fc:CLGRAY>a<b>b</b></fc></c>c", {Span(u"a", false, true, true), Span(u"b", true, true, true), Span(u"c")}},
        {u"<B>a<B>b</B>c</B>d", {Span(u"abc", true), Span(u"d")}},
        {u"a<B></B>b", {Span(u"ab")}},
        {u"</B>a</FC></C>", {Span(u"a")}},
        {u"1 < 2 > 0", {Span(u"1 < 2 > 0")}},
        {u"<X>y</X>", {Span(u"<X>y</X>")}},
        {u"<FC:clNoSuch>a</FC>", {Span(u"<FC:clNoSuch>a")}},
        {u"<FC:clRed>a</FC>", {Span(u"<FC:clRed>a")}},
        {u"a <B", {Span(u"a <B")}},
        {u"<B>굵게</B> 보통", {Span(u"굵게", true), Span(u" 보통")}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseMarkup(c.Markup), c.Want) << Utf16ToUtf8(c.Markup);
}

TEST(MarkupTest, ColourNames)
{
    TColor color = 0;
    EXPECT_TRUE(MarkupColor(u"clGray", color));
    EXPECT_EQ(color, RGBColor(128, 128, 128));
    EXPECT_TRUE(MarkupColor(u"CLGRAY", color));
    EXPECT_FALSE(MarkupColor(u"clBlack", color));  // no other colour is used
    EXPECT_FALSE(MarkupColor(u"gray", color));
    EXPECT_FALSE(MarkupColor(u"", color));
}

}  // namespace
