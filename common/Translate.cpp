#include "common/Translate.h"

#include "common/Text.h"

namespace {
std::vector<std::u16string> GTranslations;
std::u16string GCurrentLanguage;

// The line's language code and its text: split at the first "="; a line without one has
// neither.
std::u16string_view LineName(std::u16string_view line)
{
    const auto eq = line.find(u'=');
    return eq == std::u16string_view::npos ? std::u16string_view() : line.substr(0, eq);
}

std::u16string_view LineValue(std::u16string_view line)
{
    const auto eq = line.find(u'=');
    return eq == std::u16string_view::npos ? std::u16string_view() : line.substr(eq + 1);
}

std::u16string ExpandLineBreaks(std::u16string_view text)
{
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'n') {
            result += u'\r';
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}
}  // namespace

std::u16string GetUILanguage(ILocale& locale)
{
    const std::uint32_t lcid = locale.UserDefaultLCID();
    if (lcid == 0) return u"en";
    const int size = locale.LocaleInfo(lcid, kLocaleSIso639LangName, nullptr, 0);
    if (size <= 0) return u"en";
    std::u16string buffer(static_cast<std::size_t>(size), u'\0');
    const int written = locale.LocaleInfo(lcid, kLocaleSIso639LangName, buffer.data(), size);
    if (written <= 0) return u"en";
    const auto nul = buffer.find(u'\0');
    if (nul != std::u16string::npos) buffer.resize(nul);
    return buffer;
}

std::vector<std::u16string> SplitCatalogueLines(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    const std::u16string text = Utf8ToUtf16(bytes);
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        lines.emplace_back(text, start, i - start);
        i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size()) lines.emplace_back(text, start, text.size() - start);
    return lines;
}

void TranslateStartup(IResources& resources, ILocale& locale)
{
    GTranslations.clear();
    try {
        if (const auto data = resources.ReadRCData(u"translate"))
            GTranslations = SplitCatalogueLines(*data);
    } catch (...) {
        // A catalogue that cannot be read leaves every text untranslated.
    }
    GCurrentLanguage = GetUILanguage(locale).substr(0, 2);
}

void TranslateShutdown()
{
    GTranslations.clear();
    GTranslations.shrink_to_fit();
    GCurrentLanguage.clear();
}

const std::vector<std::u16string>& Translations()
{
    return GTranslations;
}

const std::u16string& CurrentLanguage()
{
    return GCurrentLanguage;
}

std::u16string TranslateText(const std::u16string& AText, const std::u16string& ALang)
{
    std::u16string result = ExpandLineBreaks(AText);
    if (AText.empty()) return result;
    const std::u16string& lang = ALang.empty() ? GCurrentLanguage : ALang;

    const auto& lines = GTranslations;
    std::size_t match = 0;
    while (match < lines.size() && LineValue(lines[match]) != AText) ++match;
    if (match == lines.size()) return result;

    std::size_t first = match;
    while (first > 0 && !lines[first - 1].empty()) --first;

    for (const std::u16string_view code : {std::u16string_view(lang), std::u16string_view(u"en")}) {
        for (std::size_t i = first; i < lines.size() && !lines[i].empty(); ++i) {
            // A line without "=" has an empty name, which no language code equals.
            if (lines[i].find(u'=') != std::u16string::npos && LineName(lines[i]) == code)
                return ExpandLineBreaks(LineValue(lines[i]));
        }
    }
    return result;
}

void SetTranslationLanguage(const std::u16string& ALang)
{
    if (!ALang.empty()) GCurrentLanguage = ALang;
}

std::u16string TranslateCaption(const std::u16string& ACaption, bool ATitle)
{
    // The window title is English in every language but Korean.
    return TranslateText(ACaption, ATitle && GCurrentLanguage != u"ko" ? u"en" : u"");
}
