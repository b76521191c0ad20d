#include "common/Translate_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "support/ResourceFiles.h"

// The test program carries the program's resources: the catalogue is found by name in any
// letter case and holds exactly the stored file.
TEST(TranslateWin, CatalogueResourceIsTheStoredFile)
{
    const std::string stored = ReadSourceFile("resources/Translate.txt");
    ASSERT_FALSE(stored.empty());
    TWinResources resources;
    for (const char16_t* name : {u"translate", u"TRANSLATE", u"Translate"}) {
        const auto data = resources.ReadRCData(name);
        ASSERT_TRUE(data.has_value());
        EXPECT_EQ(*data, stored);
    }
    EXPECT_FALSE(resources.ReadRCData(u"NoSuchResource").has_value());
}

// The locale wrapper gives what Windows gives, and GetUILanguage reads it as the two calls
// describe: the name is the locale's ISO 639 name.
TEST(TranslateWin, UILanguageIsTheLocalesIsoName)
{
    wchar_t name[16] = {};
    ASSERT_GT(GetLocaleInfoW(GetUserDefaultLCID(), LOCALE_SISO639LANGNAME, name, 16), 0);
    TWinLocale locale;
    EXPECT_EQ(GetUILanguage(locale), std::u16string(reinterpret_cast<const char16_t*>(name)));
    // The size query counts the NUL.
    EXPECT_EQ(locale.LocaleInfo(locale.UserDefaultLCID(), kLocaleSIso639LangName, nullptr, 0),
              static_cast<int>(wcslen(name)) + 1);
}

TEST(TranslateWin, StartupLoadsTheEmbeddedCatalogue)
{
    TranslateStartupWin();
    EXPECT_EQ(Translations().size(), 151u);
    EXPECT_EQ(CurrentLanguage().size(), 2u);
    EXPECT_EQ(TranslateText(u"중지하기", u"it"), u"Ferma");
    EXPECT_EQ(TranslateText(u"후원하기", u"it"), u"Dona");
    TranslateShutdown();
    EXPECT_TRUE(Translations().empty());
}
