// Text helpers of the portable code. Its one text type is UTF-16 (std::u16string); UTF-8 from
// outside (resources, HTTP bodies) is decoded here, and ASCII letter case is folded here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Decodes UTF-8; an ill-formed sequence becomes U+FFFD, a leading byte-order mark is kept.
std::u16string Utf8ToUtf16(std::string_view text);
// Encodes UTF-16; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// Text of an ASCII literal or of bytes known to be ASCII.
std::u16string AsciiToUtf16(std::string_view text);

char16_t AsciiLowerChar(char16_t c);
std::u16string AsciiLower(std::u16string_view text);
// Equal when they differ at most in the letter case of ASCII letters.
bool SameTextAscii(std::u16string_view a, std::u16string_view b);
bool StartsWith(std::u16string_view text, std::u16string_view prefix);

// Decimal text of a number.
std::u16string IntToText(std::int64_t value);
