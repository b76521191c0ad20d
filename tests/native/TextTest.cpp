// UTF-8 and UTF-16 conversions at the program's boundary, ASCII letter case, decimal numbers.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>

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

// The number and where it ends are strtod's: the drawing's numbers must not move.
TEST(ReadDecimal, ReadsWhatStrtodReads)
{
    for (const char* text :
         {"0", "7", "-7", "+7", "12.5", "-0.25", ".5", "5.", "-.75", "0.1", "0.3", "1.7976931348623157e308",
          "3.14159265358979", "123456789012345", "1e3", "1E-3", "2.5e+2", "-4.2e-1", "1e22", "1e-22",
          "0.000123456789", "00012.500", "498", "426.75", "1e400", "1e-400", "2e", "2e+", "3.4.5",
          "7-8", "12px", "0.1234567890123456789", "98765432109876543210", "4.9e-324"}) {
        std::size_t pos = 0;
        const auto value = ReadDecimal(text, pos);
        char* end = nullptr;
        const double expected = std::strtod(text, &end);
        ASSERT_TRUE(value.has_value()) << text;
        EXPECT_EQ(pos, static_cast<std::size_t>(end - text)) << text;
        const std::string digits = std::string(text).substr(0, pos);
        const bool shortForm = digits.find_first_of("eE") == std::string::npos && digits.size() <= 16;
        if (shortForm || std::isinf(expected) || expected == 0)
            EXPECT_EQ(*value, expected) << text;
        else
            EXPECT_NEAR(*value, expected, std::abs(expected) * 4e-16) << text;
    }
}

TEST(ReadDecimal, NothingWhereNoNumberStarts)
{
    for (const char* text : {"", "-", "+", ".", "-.", "e5", "x1", " 1", ",2"}) {
        std::size_t pos = 0;
        EXPECT_FALSE(ReadDecimal(text, pos).has_value()) << '"' << text << '"';
        EXPECT_EQ(pos, 0u) << text;
    }
}

TEST(ReadDecimal, ReadsFromThePositionGivenAndIgnoresTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // a decimal comma, where the machine has it
    const std::string_view path = "M10,20.5 -3e1";
    std::size_t pos = 1;
    EXPECT_EQ(ReadDecimal(path, pos), 10.0);
    EXPECT_EQ(pos, 3u);
    pos = 4;
    EXPECT_EQ(ReadDecimal(path, pos), 20.5);
    pos = 9;
    EXPECT_EQ(ReadDecimal(path, pos), -30.0);
    EXPECT_EQ(pos, path.size());
    std::setlocale(LC_NUMERIC, saved.c_str());
}
}  // namespace
