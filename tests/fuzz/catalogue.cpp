// The translation catalogue as the start-up step reads it from the program's resources: any
// bytes load without a crash, the lines hold no line breaks, and every lookup gives a text of
// the catalogue or the source text itself.
#include <algorithm>

#include "FuzzInput.h"
#include "common/Translate.h"

namespace {
class TFuzzResources final : public IResources {
public:
    explicit TFuzzResources(std::string_view bytes) : FBytes(bytes) {}
    std::optional<std::string> ReadRCData(const std::u16string&) override { return FBytes; }

private:
    std::string FBytes;
};

class TFuzzLocale final : public ILocale {
public:
    explicit TFuzzLocale(std::u16string name) : FName(std::move(name)) {}
    std::uint32_t UserDefaultLCID() override { return 0x0412; }
    int LocaleInfo(std::uint32_t, std::uint32_t, char16_t* buffer, int size) override
    {
        const int needed = static_cast<int>(FName.size()) + 1;
        if (size == 0) return needed;
        if (size < needed) return 0;
        std::copy(FName.begin(), FName.end(), buffer);
        buffer[FName.size()] = u'\0';
        return needed;
    }

private:
    std::u16string FName;
};

const char16_t* const kLanguages[] = {u"ko", u"en", u"ja", u"zh", u"ru", u"it", u"fr", u"de", u"fil"};

std::u16string WithLineBreaks(std::u16string_view text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'n') {
            out += u'\r';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool IsCatalogueText(const std::u16string& text)
{
    for (const std::u16string& line : Translations()) {
        const std::size_t eq = line.find(u'=');
        if (eq != std::u16string::npos && WithLineBreaks(std::u16string_view(line).substr(eq + 1)) == text)
            return true;
    }
    return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::u16string language = kLanguages[data[0] % std::size(kLanguages)];
    const std::string_view bytes = FuzzBytes(data + 1, size - 1);

    TFuzzResources resources(bytes);
    TFuzzLocale locale(language);
    TranslateStartup(resources, locale);
    FUZZ_CHECK(CurrentLanguage() == language.substr(0, 2));

    for (const std::u16string& line : Translations())
        FUZZ_CHECK(line.find_first_of(u"\r\n") == std::u16string::npos);

    // Every line's text, and a few that are in no line, looked up in the current language and
    // in a forced one.
    std::vector<std::u16string> probes = {u"", u"실행하기", u"Run", u"\\n", u"x\\ny"};
    const std::size_t lines = std::min<std::size_t>(Translations().size(), 64);
    for (std::size_t i = 0; i < lines; ++i) {
        const std::u16string& line = Translations()[i];
        const std::size_t eq = line.find(u'=');
        probes.push_back(eq == std::u16string::npos ? line : line.substr(eq + 1));
    }
    for (const std::u16string& text : probes) {
        for (const std::u16string& lang : {std::u16string(), std::u16string(u"en"), language}) {
            const std::u16string result = TranslateText(text, lang);
            if (text.empty()) FUZZ_CHECK(result.empty());
            FUZZ_CHECK(result == WithLineBreaks(text) || IsCatalogueText(result));
        }
    }
    TranslateShutdown();
    FUZZ_CHECK(Translations().empty());
    return 0;
}
