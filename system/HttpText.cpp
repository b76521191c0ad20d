#include "system/HttpText.h"

#include "common/Text.h"

namespace {
bool IsTokenChar(char16_t c)
{
    if (c >= u'0' && c <= u'9') return true;
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) return true;
    return std::u16string_view(u"!#$%&'*+-.^_`|~").find(c) != std::u16string_view::npos;
}

std::u16string_view Trim(std::u16string_view text)
{
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    return text;
}

// windows-1252 at 0x80..0x9F; the rest of the byte range is Latin-1.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::u16string DecodeWindows1252(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.push_back(b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : static_cast<char16_t>(b));
    }
    return out;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string out;
    out.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        out.push_back(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
    }
    if (bytes.size() % 2 != 0) out.push_back(u'\xFFFD');  // a lone last byte
    return out;
}

std::u16string DecodeUtf8(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return Utf8ToUtf16(bytes);
}
}  // namespace

bool IsSendableHeader(const THttpHeader& header)
{
    if (header.Name.empty()) return false;
    for (char16_t c : header.Name)
        if (!IsTokenChar(c)) return false;
    for (char16_t c : header.Value)
        if (c == u'\r' || c == u'\n' || c == 0) return false;
    return true;
}

std::u16string HeaderLine(const THttpHeader& header)
{
    return header.Name + u": " + header.Value + u"\r\n";
}

std::u16string CharsetOfContentType(std::u16string_view contentType)
{
    std::size_t start = contentType.find(u';');
    while (start != std::u16string_view::npos) {
        const std::size_t end = contentType.find(u';', start + 1);
        const std::u16string_view parameter = Trim(contentType.substr(
            start + 1, end == std::u16string_view::npos ? std::u16string_view::npos : end - start - 1));
        const std::size_t equals = parameter.find(u'=');
        if (equals != std::u16string_view::npos &&
            SameTextAscii(Trim(parameter.substr(0, equals)), u"charset")) {
            std::u16string_view value = Trim(parameter.substr(equals + 1));
            if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
                value = value.substr(1, value.size() - 2);
            return AsciiLower(Trim(value));
        }
        start = end;
    }
    return {};
}

std::u16string DecodeBody(std::string_view bytes, std::u16string_view contentType,
                          TBodyDecoding decoding)
{
    if (decoding == TBodyDecoding::Utf8) return DecodeUtf8(bytes);
    const std::u16string charset = CharsetOfContentType(contentType);
    for (const char16_t* name : {u"iso-8859-1", u"latin1", u"l1", u"us-ascii", u"ascii",
                                 u"windows-1252", u"cp1252"})
        if (charset == name) return DecodeWindows1252(bytes);
    if (charset == u"utf-16be") return DecodeUtf16(bytes, true);
    if (charset == u"utf-16le") return DecodeUtf16(bytes, false);
    if (charset == u"utf-16") {
        // The byte-order mark decides; without one, little-endian as Windows writes it.
        if (bytes.substr(0, 2) == "\xFE\xFF") return DecodeUtf16(bytes.substr(2), true);
        if (bytes.substr(0, 2) == "\xFF\xFE") return DecodeUtf16(bytes.substr(2), false);
        return DecodeUtf16(bytes, false);
    }
    return DecodeUtf8(bytes);
}
