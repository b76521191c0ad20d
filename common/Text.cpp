#include "common/Text.h"

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
