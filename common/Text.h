// Text helpers of the portable code. Its one text type is UTF-16 (std::u16string); UTF-8 from
// outside (resources, HTTP bodies) is decoded here, and ASCII letter case is folded here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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

// Reads a decimal number at pos ([sign] digits [. digits] [e [sign] digits], digits on at least
// one side of the point, as strtod reads it without hexadecimal, infinity or NaN) and moves pos
// past it; nothing when no number starts there. The point is always '.', whatever the
// process's locale. The value is strtod's, the nearest double, for up to 15 significant digits
// and a power of ten within 22 of them, where doubles are computed as doubles (SSE2); beyond
// that, or with the x87's wider intermediate values, it may differ from it in the last bit.
std::optional<double> ReadDecimal(std::string_view text, std::size_t& pos);
