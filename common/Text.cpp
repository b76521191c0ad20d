#include "common/Text.h"

#include <algorithm>
#include <limits>

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        char32_t cp = 0;
        std::size_t len = 0;
        char32_t min = 0;
        if (b < 0x80) { cp = b; len = 1; }
        else if (b >= 0xC2 && b <= 0xDF) { cp = b & 0x1F; len = 2; min = 0x80; }
        else if (b >= 0xE0 && b <= 0xEF) { cp = b & 0x0F; len = 3; min = 0x800; }
        else if (b >= 0xF0 && b <= 0xF4) { cp = b & 0x07; len = 4; min = 0x10000; }
        else { out.push_back(u'\xFFFD'); ++i; continue; }
        std::size_t j = 1;
        for (; j < len; ++j) {
            if (i + j >= n || (s[i + j] & 0xC0) != 0x80) break;
            cp = (cp << 6) | (s[i + j] & 0x3F);
        }
        if (j < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(u'\xFFFD');
            i += (j < len) ? (j == 0 ? 1 : j) : len;
            continue;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::u16string AsciiToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (char c : text) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

char16_t AsciiLowerChar(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

std::u16string AsciiLower(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& c : out) c = AsciiLowerChar(c);
    return out;
}

bool SameTextAscii(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLowerChar(a[i]) != AsciiLowerChar(b[i])) return false;
    return true;
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

std::u16string IntToText(std::int64_t value)
{
    return AsciiToUtf16(std::to_string(value));
}

std::optional<double> ReadDecimal(std::string_view text, std::size_t& pos)
{
    const auto digit = [&](std::size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
    std::size_t at = pos;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    // The significant digits as an integer (up to 18 of them; later ones only scale it) and the
    // power of ten that it is to be multiplied by.
    std::uint64_t mantissa = 0;
    int scale = 0, digits = 0, kept = 0;
    bool point = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        ++digits;
        if (mantissa == 0 && c == '0') {
            if (point) --scale;  // leading zeros only place the point
        } else if (kept < 18) {
            mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
            ++kept;
            if (point) --scale;
        } else if (!point) {
            ++scale;
        }
    }
    if (digits == 0) return std::nullopt;
    // An exponent counts only with digits: "2e" is the number 2 followed by an "e".
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t e = at + 1;
        bool below = false;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) below = text[e++] == '-';
        if (digit(e)) {
            int exponent = 0;
            for (; digit(e); ++e) exponent = std::min(exponent * 10 + (text[e] - '0'), 100000);
            scale += below ? -exponent : exponent;
            at = e;
        }
    }
    // Powers of ten up to 1e22 are exact doubles: a mantissa below 2^53 times or divided by one
    // of them is rounded once, to the nearest double, as strtod rounds.
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    double value = static_cast<double>(mantissa);
    if (mantissa != 0) {
        // Far from 1 the value is scaled in steps (and may then differ from strtod's in the
        // last bit); past the range of doubles it ends as infinity or zero.
        const double infinity = std::numeric_limits<double>::infinity();
        for (; scale > 22 && value != infinity; scale -= 22) value *= kPowers[22];
        for (; scale < -22 && value != 0; scale += 22) value /= kPowers[22];
        if (value != infinity && value != 0) value = scale < 0 ? value / kPowers[-scale] : value * kPowers[scale];
    }
    pos = at;
    return negative ? -value : value;
}
