#include "common/Strings.h"

#include <algorithm>

#include "common/Error.h"

namespace {
std::u16string AsciiUpper(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& c : out)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return out;
}

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}
}  // namespace

std::u16string ExtractBetween(std::u16string_view Source, std::u16string_view StartMarker,
                              std::u16string_view EndMarker)
{
    std::u16string upper = AsciiUpper(Source);
    const std::u16string start = AsciiUpper(StartMarker);
    const std::u16string end = AsciiUpper(EndMarker);

    // An escaped end quote must not end the value: "\<end>" becomes two backslashes, which
    // keeps every position of the copy in line with the source.
    if (!end.empty() && std::u16string_view(u"\"'").find(end) != std::u16string_view::npos) {
        const std::u16string escaped = u"\\" + end;
        const std::u16string masked(escaped.size(), u'\\');
        for (std::size_t at = upper.find(escaped); at != std::u16string::npos;
             at = upper.find(escaped, at + escaped.size()))
            upper.replace(at, escaped.size(), masked);
    }

    std::size_t from = 0;
    if (!start.empty()) {
        const std::size_t at = upper.find(start);
        if (at == std::u16string::npos) return {};
        from = at + start.size();
    }
    std::size_t to = Source.size();
    if (!end.empty()) {
        to = upper.find(end, from);
        if (to == std::u16string::npos) return {};
    }
    return std::u16string(Source.substr(from, to - from));
}

std::u16string UnescapeJSON(std::u16string_view Text)
{
    std::u16string out;
    out.reserve(Text.size());
    std::size_t i = 0;
    while (i < Text.size()) {
        const char16_t c = Text[i++];
        if (c != u'\\') {
            out.push_back(c);
            continue;
        }
        if (i >= Text.size()) break;  // a backslash at the very end yields nothing
        const char16_t e = Text[i++];
        switch (e) {
        case u'"': case u'\'': case u'/': case u'\\': out.push_back(e); break;
        case u'b': out.push_back(u'\b'); break;
        case u'f': out.push_back(u'\f'); break;
        case u'n': out.push_back(u'\n'); break;
        case u'r': out.push_back(u'\r'); break;
        case u't': out.push_back(u'\t'); break;
        case u'u': {
            // Up to four characters, fewer when the text ends earlier; at least one digit.
            const std::size_t count = std::min<std::size_t>(4, Text.size() - i);
            if (count == 0) throw EAppError(u"'\\u' without hexadecimal digits in the update answer");
            unsigned value = 0;
            for (std::size_t k = 0; k < count; ++k) {
                const int digit = HexDigit(Text[i + k]);
                if (digit < 0)
                    throw EAppError(u"'" + std::u16string(Text.substr(i, count)) +
                                    u"' is not a hexadecimal number in the update answer");
                value = value * 16 + static_cast<unsigned>(digit);
            }
            i += count;
            out.push_back(static_cast<char16_t>(value));
            break;
        }
        default: break;  // an escape without meaning yields nothing
        }
    }
    return out;
}

bool IsWebAddress(std::u16string_view Address)
{
    std::size_t host = 0;
    if (SameTextAscii(Address.substr(0, 7), u"http://")) host = 7;
    else if (SameTextAscii(Address.substr(0, 8), u"https://")) host = 8;
    else return false;
    if (host >= Address.size() || Address[host] == u'/' || Address[host] == u'\\' ||
        Address[host] == u'?' || Address[host] == u'#' || Address[host] == u'@')
        return false;
    for (char16_t c : Address)
        if (c <= u' ' || c == u'"' || c == 0x7F || c == u'\\') return false;
    return true;
}

bool IsSecureWebAddress(std::u16string_view Address)
{
    return SameTextAscii(Address.substr(0, 8), u"https://") && IsWebAddress(Address);
}
