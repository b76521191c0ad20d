// The translation catalogue: the window's Korean texts in the user's language. The catalogue
// ("TRANSLATE", UTF-8 lines "code=text" in blocks, one block per text) is loaded once by the
// start-up step, before any window exists, and only read afterwards; the language comes from
// the user's locale. A text found in any language of a block gives that block's text in the
// language asked for, else its English one; "\n" in a text stands for a line break (CR).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The user's locale as the two Windows calls give it (Translate_win.cpp; tests use a double).
class ILocale {
public:
    virtual ~ILocale() = default;
    // GetUserDefaultLCID.
    virtual std::uint32_t UserDefaultLCID() = 0;
    // GetLocaleInfoW: with size 0 the needed size in characters, NUL included; otherwise the
    // number of characters written into buffer. 0 or less on failure.
    virtual int LocaleInfo(std::uint32_t lcid, std::uint32_t type, char16_t* buffer, int size) = 0;
};

inline constexpr std::uint32_t kLocaleSIso639LangName = 89;

// The program's own raw-data resources (Translate_win.cpp: FindResourceW in the executable).
class IResources {
public:
    virtual ~IResources() = default;
    // The bytes of the RT_RCDATA resource name (matched regardless of case); none when missing.
    // May raise EAppError when the resource cannot be read.
    virtual std::optional<std::string> ReadRCData(const std::u16string& name) = 0;
};

// ISO 639 name of the user's default locale ("ko", "en", "zh", ...), or "en" when it cannot be
// had. Not shortened.
std::u16string GetUILanguage(ILocale& locale);

// The lines of a catalogue: UTF-8, a leading byte-order mark skipped, a line ending at CR LF,
// at a bare LF or at a bare CR. A final line break starts no further line.
std::vector<std::u16string> SplitCatalogueLines(std::string_view bytes);

// Start-up step: loads the resource "translate" into the catalogue (an error leaves what was
// loaded) and fixes the language to the first two letters of GetUILanguage.
void TranslateStartup(IResources& resources, ILocale& locale);
// Shutdown step: empties the catalogue and clears the language.
void TranslateShutdown();

const std::vector<std::u16string>& Translations();
const std::u16string& CurrentLanguage();

// AText in ALang (empty: the current language), else in English, else AText itself; with each
// "\n" made a CR.
std::u16string TranslateText(const std::u16string& AText, const std::u16string& ALang = u"");

// Makes ALang the current language for every later translation; an empty one changes nothing.
void SetTranslationLanguage(const std::u16string& ALang);
// A caption of the window in the current language: the window's title (ATitle) is English in
// every language but Korean, every other caption as TranslateText gives it.
std::u16string TranslateCaption(const std::u16string& ACaption, bool ATitle);
