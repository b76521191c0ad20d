// UTF-8 and UTF-16 conversions at the program's boundary, and ASCII letter case.
#include <gtest/gtest.h>

#include "common/Text.h"

namespace {
struct Utf8Case {
    const char* Label;
    std::string Utf8;
    std::u16string Utf16;
};

class Utf8DecodeTest : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8DecodeTest, Decodes) { EXPECT_EQ(Utf8ToUtf16(GetParam().Utf8), GetParam().Utf16); }

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8DecodeTest,
    ::testing::Values(Utf8Case{"Ascii", "Run", u"Run"},
                      Utf8Case{"Korean", "\xEC\x8B\xA4\xED\x96\x89", u"실행"},
                      Utf8Case{"Bom", "\xEF\xBB\xBFko", u"\xFEFFko"},
                      Utf8Case{"Astral", "\xF0\x9F\x98\x80", u"\U0001F600"},
                      Utf8Case{"LoneContinuation", "a\x80" "b", u"a\xFFFD" "b"},
                      Utf8Case{"Truncated", "a\xEC\x8B", u"a\xFFFD"},
                      Utf8Case{"Overlong", "\xC0\xAF", u"\xFFFD\xFFFD"},
                      Utf8Case{"Surrogate", "\xED\xA0\x80", u"\xFFFD"},
                      Utf8Case{"TooHigh", "\xF4\x90\x80\x80", u"\xFFFD"}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST(Utf16Encode, RoundTripsAndReplacesLoneSurrogates)
{
    const std::u16string text = u"가a\U0001F600";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(AsciiCase, FoldsOnlyAsciiLetters)
{
    EXPECT_TRUE(SameTextAscii(u"VirtualBox", u"VIRTUALBOX"));
    EXPECT_FALSE(SameTextAscii(u"a", u"ab"));
    EXPECT_EQ(AsciiLower(u"ÄB"), u"Äb");
}
}  // namespace
