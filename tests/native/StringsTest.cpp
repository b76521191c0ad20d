#include <gtest/gtest.h>

#include "common/Error.h"
#include "common/Strings.h"

namespace {
struct TExtractCase {
    const char* Name;
    std::u16string Source, Start, End, Expected;
};

class ExtractBetweenTest : public testing::TestWithParam<TExtractCase> {};

TEST_P(ExtractBetweenTest, FindsTheValue)
{
    const TExtractCase& c = GetParam();
    EXPECT_EQ(ExtractBetween(c.Source, c.Start, c.End), c.Expected);
}

const std::u16string kUpdate = u"\"update\":\"";
const std::u16string kInfo = u"\"info\":{";

INSTANTIATE_TEST_SUITE_P(
    Markers, ExtractBetweenTest,
    testing::Values(
        TExtractCase{"Plain", uR"({"update":"http://x/a","info":{}})", kUpdate, u"\"", u"http://x/a"},
        TExtractCase{"EscapedQuoteDoesNotEnd", uR"({"update":"a\"b","c":"d"})", kUpdate, u"\"",
                     uR"(a\"b)"},
        TExtractCase{"EscapedBackslashBeforeClosingQuoteRunsOn",
                     uR"({"text":"a\\","url":"u"})", u"\"text\":\"", u"\"", uR"(a\\",)"},
        TExtractCase{"KeyInCapitals", uR"({"UPDATE":"http://x"})", kUpdate, u"\"", u"http://x"},
        TExtractCase{"MarkerInCapitals", uR"({"update":"http://x"})", u"\"UPDATE\":\"", u"\"",
                     u"http://x"},
        TExtractCase{"ValueKeepsItsCase", uR"({"update":"HTTP://Ab/Cd"})", kUpdate, u"\"",
                     u"HTTP://Ab/Cd"},
        TExtractCase{"SpaceAfterColonHidesKey", uR"({"update": "http://x"})", kUpdate, u"\"", u""},
        TExtractCase{"FirstOccurrenceWins", uR"({"update":"one","update":"two"})", kUpdate, u"\"",
                     u"one"},
        TExtractCase{"EmptyValue", uR"({"update":""})", kUpdate, u"\"", u""},
        TExtractCase{"NoStart", uR"({"other":"x"})", kUpdate, u"\"", u""},
        TExtractCase{"NoEnd", uR"({"update":"http://x)", kUpdate, u"\"", u""},
        TExtractCase{"EmptyStartFromBeginning", u"abc\"def", u"", u"\"", u"abc"},
        TExtractCase{"EmptyEndToTheEnd", u"key=rest of it", u"key=", u"", u"rest of it"},
        TExtractCase{"BraceInsideInfoCutsThere",
                     uR"({"info":{"style":"note","text":"a}b","url":"http://u"}})", kInfo, u"}",
                     uR"("style":"note","text":"a)"},
        TExtractCase{"EscapedApostrophe", uR"(x='it\'s' y)", u"x='", u"'", uR"(it\'s)"},
        TExtractCase{"NonAsciiKeepsPositions", u"\"text\":\"é中\\\"x\"", u"\"TEXT\":\"", u"\"",
                     u"é中\\\"x"}),
    [](const testing::TestParamInfo<TExtractCase>& info) { return std::string(info.param.Name); });

struct TUnescapeCase {
    const char* Name;
    std::u16string Input, Expected;
};

class UnescapeJSONTest : public testing::TestWithParam<TUnescapeCase> {};

TEST_P(UnescapeJSONTest, UndoesEscapes)
{
    EXPECT_EQ(UnescapeJSON(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, UnescapeJSONTest,
    testing::Values(
        TUnescapeCase{"Plain", u"http://x/y", u"http://x/y"},
        TUnescapeCase{"Quote", uR"(a\"b)", u"a\"b"},
        TUnescapeCase{"QuotesSlashBackslash", uR"(\'\/\\)", uR"('/\)"},
        TUnescapeCase{"EscapedSlashesOfAUrl", uR"(https:\/\/x\/d)", u"https://x/d"},
        TUnescapeCase{"ControlLetters", uR"(\b\f\n\r\t)", u"\b\f\n\r\t"},
        TUnescapeCase{"UnicodeEAcute", uR"(caf\u00E9)", u"café"},
        TUnescapeCase{"UnicodeLowerHex", uR"(\u00e9)", u"é"},
        TUnescapeCase{"UnicodeKorean", uR"(\uC608)", u"예"},
        TUnescapeCase{"SurrogatePair", uR"(\uD83D\uDE00)", u"\U0001F600"},
        TUnescapeCase{"UnicodeShortAtEnd", uR"(x\u41)", u"xA"},
        TUnescapeCase{"UnknownEscapeYieldsNothing", uR"(a\xb)", u"ab"},
        TUnescapeCase{"TrailingBackslashYieldsNothing", u"ab\\", u"ab"},
        TUnescapeCase{"Empty", u"", u""}),
    [](const testing::TestParamInfo<TUnescapeCase>& info) { return std::string(info.param.Name); });

TEST(UnescapeJSONErrors, MalformedUnicodeEscapeRaises)
{
    for (const std::u16string input : {uR"(\uZZZZ)", uR"(a\u)", uR"(\u12G4)", uR"(\u-1)"})
        EXPECT_THROW(UnescapeJSON(input), EAppError) << Utf16ToUtf8(input);
}

// Web: what the shell may be given at all; Secure: what the update service may offer.
TEST(IsWebAddress, AcceptsOnlyHttpAndHttpsUrlsAndOffersOnlyHttps)
{
    const struct {
        std::u16string Address;
        bool Web;
        bool Secure;
    } cases[] = {
        {u"http://a", true, false},
        {u"https://a", true, true},
        {u"https://download.example/tavrino/Tavrino-1.6.exe", true, true},
        {u"HTTPS://Example.com/a?b=c#d", true, true},
        {u"http://127.0.0.1:18080/x", true, false},
        {u"HTTP://Example.com/a", true, false},
        {u"https://é.example/", true, true},
        {u"", false, false},
        {u"http://", false, false},
        {u"https://", false, false},
        {u"https:///path", false, false},
        {u"https:/x", false, false},
        {u"http:/x", false, false},
        {u"http:\\\\x", false, false},
        {u"http://\\x", false, false},
        {u"https://\\x", false, false},
        {u"httpss://x", false, false},
        {u"file:///C:/Windows/System32/calc.exe", false, false},
        {u"C:\\Windows\\System32\\calc.exe", false, false},
        {u"\\\\server\\share\\setup.exe", false, false},
        {u"ftp://x/y", false, false},
        {u"javascript:alert(1)", false, false},
        {u"mailto:a@b", false, false},
        {u" http://x", false, false},
        {u" https://x", false, false},
        {u"http://x y", false, false},
        {u"https://x y", false, false},
        {u"http://x\"\" --flag", false, false},
        {u"https://x\" --flag", false, false},
        {u"http://x\r\ny", false, false},
        {u"https://x\ty", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsWebAddress(c.Address), c.Web) << Utf16ToUtf8(c.Address);
        EXPECT_EQ(IsSecureWebAddress(c.Address), c.Secure) << Utf16ToUtf8(c.Address);
    }
}
}  // namespace
