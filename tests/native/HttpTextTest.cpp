// The portable part of the HTTP client: headers that may be sent, the charset of a
// Content-Type, and the decoding of bodies by it.
#include <gtest/gtest.h>

#include "system/HttpText.h"

namespace {
struct HeaderCase {
    std::u16string Name;
    std::u16string Value;
    bool Sendable;
};

class SendableHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(SendableHeaderTest, RejectsWhatCouldSplitTheRequest)
{
    EXPECT_EQ(IsSendableHeader({GetParam().Name, GetParam().Value}), GetParam().Sendable);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SendableHeaderTest,
    ::testing::Values(HeaderCase{u"User-Version", u"1.5.6.0", true},
                      HeaderCase{u"User-Union", u"", true},
                      HeaderCase{u"User-Language", u"\xD55C\xAD6D\xC5B4 ko", true},
                      HeaderCase{u"", u"x", false},
                      HeaderCase{u"User Version", u"x", false},
                      HeaderCase{u"User-Version:", u"x", false},
                      HeaderCase{u"User-\xD55C", u"x", false},
                      HeaderCase{u"X", u"a\r\nHost: elsewhere", false},
                      HeaderCase{u"X", u"a\nb", false},
                      HeaderCase{u"X", std::u16string(u"a\0b", 3), false}));

TEST(HeaderLineTest, NameColonValueCrLf)
{
    EXPECT_EQ(HeaderLine({u"User-Debug", u"0"}), u"User-Debug: 0\r\n");
}

struct CharsetCase {
    const char16_t* ContentType;
    const char16_t* Charset;
};

class CharsetTest : public ::testing::TestWithParam<CharsetCase> {};

TEST_P(CharsetTest, ReadsCharsetParameter)
{
    EXPECT_EQ(CharsetOfContentType(GetParam().ContentType), GetParam().Charset);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CharsetTest,
    ::testing::Values(CharsetCase{u"text/html; charset=ISO-8859-1", u"iso-8859-1"},
                      CharsetCase{u"application/json;charset=\"UTF-8\"", u"utf-8"},
                      CharsetCase{u"text/plain; format=flowed; CharSet = windows-1252 ", u"windows-1252"},
                      CharsetCase{u"text/plain; xcharset=latin1", u""},
                      CharsetCase{u"text/plain", u""},
                      CharsetCase{u"charset=latin1", u""},  // a media type, not a parameter
                      CharsetCase{u"", u""}));

struct DecodeCase {
    std::string Bytes;
    const char16_t* ContentType;
    TBodyDecoding Decoding;
    std::u16string Text;
};

class DecodeBodyTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeBodyTest, DecodesByDeclaredOrFixedCharset)
{
    EXPECT_EQ(DecodeBody(GetParam().Bytes, GetParam().ContentType, GetParam().Decoding),
              GetParam().Text);
}

constexpr auto kDeclared = TBodyDecoding::DeclaredCharset;
constexpr auto kUtf8 = TBodyDecoding::Utf8;

INSTANTIATE_TEST_SUITE_P(
    Table, DecodeBodyTest,
    ::testing::Values(
        DecodeCase{"\xED\x95\x9C caf\xC3\xA9", u"text/plain", kDeclared, u"\xD55C caf\xE9"},
        DecodeCase{"\xEF\xBB\xBF{\"ip\"}", u"application/json", kDeclared, u"{\"ip\"}"},
        DecodeCase{"caf\xE9 \x80", u"text/plain; charset=iso-8859-1", kDeclared, u"caf\xE9 \x20AC"},
        DecodeCase{"caf\xE9", u"text/plain; charset=iso-8859-1", kUtf8, u"caf\xFFFD"},
        DecodeCase{"caf\xC3\xA9", u"text/plain; charset=utf-8", kDeclared, u"caf\xE9"},
        DecodeCase{"caf\xC3\xA9", u"text/plain; charset=x-unknown", kDeclared, u"caf\xE9"},
        DecodeCase{std::string("\xFF\xFE" "a\0\x5C\xD5", 6), u"text/plain; charset=utf-16", kDeclared, u"a\xD55C"},
        DecodeCase{std::string("\xFE\xFF\0a", 4), u"text/plain; charset=utf-16", kDeclared, u"a"},
        DecodeCase{std::string("\0a\xD5\x5C", 4), u"text/plain; charset=UTF-16BE", kDeclared, u"a\xD55C"},
        DecodeCase{std::string("a\0b", 3), u"text/plain; charset=utf-16le", kDeclared, u"a\xFFFD"},
        DecodeCase{"", u"text/plain; charset=utf-16", kDeclared, u""}));
}  // namespace
