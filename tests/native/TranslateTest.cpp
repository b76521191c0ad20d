#include "common/Translate.h"

#include <gtest/gtest.h>

#include "common/Text.h"
#include "support/FakeLocale.h"
#include "support/ResourceFiles.h"

namespace {

std::string ReadStoredCatalogue()
{
    return ReadSourceFile("resources/Translate.txt");
}

// Loads a catalogue through the start-up step, as the program does, in a given language.
class TranslateTest : public ::testing::Test {
protected:
    void Load(const std::string& catalogue, const std::u16string& language)
    {
        LoadCatalogue(catalogue, language);
    }
    void TearDown() override { TranslateShutdown(); }
};

TEST(CatalogueLines, LineEndsBomAndEmptyLines)
{
    struct Case {
        const char* Name;
        std::string Bytes;
        std::vector<std::u16string> Lines;
    } cases[] = {
        {"CR LF", "a=1\r\nb=2\r\n", {u"a=1", u"b=2"}},
        {"bare LF", "a=1\nb=2\n", {u"a=1", u"b=2"}},
        {"bare CR", "a=1\rb=2\r", {u"a=1", u"b=2"}},
        {"mixed", "a=1\r\nb=2\nc=3\rd=4", {u"a=1", u"b=2", u"c=3", u"d=4"}},
        {"LF CR is two breaks", "a\n\rb", {u"a", u"", u"b"}},
        {"empty line kept", "a\r\n\r\nb\r\n", {u"a", u"", u"b"}},
        {"spaces are a line", "a\r\n \r\nb", {u"a", u" ", u"b"}},
        {"byte-order mark skipped", "\xEF\xBB\xBFko=\xEB\xB2\x84\xEC\xA0\x84\r\n", {u"ko=버전"}},
        {"no mark, same", "ko=\xEB\xB2\x84\xEC\xA0\x84\r\n", {u"ko=버전"}},
        {"empty", "", {}},
        {"only a mark", "\xEF\xBB\xBF", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCatalogueLines(c.Bytes), c.Lines) << c.Name;
}

TEST(CatalogueLines, StoredCatalogueIsSeventeenBlocksOfSevenInLanguageOrder)
{
    const std::string bytes = ReadStoredCatalogue();
    ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    // Every line ends with CR LF except the one after "it=Dona".
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    std::size_t bareLF = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
            ++bareLF;
            EXPECT_EQ(bytes.substr(i - 7, 7), "it=Dona");
        }
        if (bytes[i] == '\r') {
            EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n');
        }
    }
    EXPECT_EQ(bareLF, 1u);

    const auto lines = SplitCatalogueLines(bytes);
    const std::u16string order[] = {u"ko", u"en", u"ja", u"zh", u"ru", u"it", u"fr"};
    ASSERT_EQ(lines.size(), 19u * 8u - 1u);
    for (std::size_t block = 0; block < 19; ++block) {
        for (std::size_t row = 0; row < 7; ++row) {
            const auto& line = lines[block * 8 + row];
            EXPECT_EQ(line.substr(0, 3), order[row] + u"=") << "block " << block << " row " << row;
            // A text is never empty and never starts or ends with a space.
            ASSERT_GT(line.size(), 3u) << "block " << block << " row " << row;
            EXPECT_NE(line[3], u' ') << "block " << block << " row " << row;
            EXPECT_NE(line.back(), u' ') << "block " << block << " row " << row;
        }
        if (block < 18) {
            EXPECT_TRUE(lines[block * 8 + 7].empty()) << "after block " << block;
        }
    }
    EXPECT_EQ(lines[0], u"ko=Tavrino");
    EXPECT_EQ(lines[15 * 8 + 6], u"fr=Indice de limitation réseau");
    EXPECT_EQ(lines[16 * 8 + 6], u"fr=Redémarrage de la connexion réseau en cours");
    EXPECT_EQ(lines[17 * 8], u"ko=네트워크 어댑터를 다시 시작한 뒤에도 인터넷이 응답하지 않았습니다. "
                             u"Windows 네트워크 설정에서 어댑터를 확인해 주세요.");
    EXPECT_EQ(lines[17 * 8 + 6], u"fr=Internet n'a pas répondu après le redémarrage de la carte réseau. "
                                 u"Vérifiez la carte dans les paramètres réseau de Windows.");
    EXPECT_EQ(lines.back(), u"fr=La carte réseau n'a pas pu être redémarrée et Internet n'a pas "
                            u"répondu. Vérifiez la carte dans les paramètres réseau de Windows.");
}

TEST(UILanguage, LocaleCallsAndFallbacks)
{
    constexpr int R = TFakeLocale::kReal;
    struct Case {
        const char* Name;
        std::uint32_t Lcid;
        std::u16string LocaleName;
        int SizeAnswer;
        int WrittenAnswer;
        std::u16string Expected;
    } cases[] = {
        {"Korean", 0x412, u"ko", R, R, u"ko"},
        {"three letters kept", 0x4A8, u"fil", R, R, u"fil"},
        {"no locale", 0, u"ko", R, R, u"en"},
        {"size query fails", 0x412, u"ko", 0, R, u"en"},
        {"size query negative", 0x412, u"ko", -1, R, u"en"},
        {"read fails", 0x412, u"ko", R, 0, u"en"},
    };
    for (const auto& c : cases) {
        TFakeLocale locale;
        locale.Lcid = c.Lcid;
        locale.Name = c.LocaleName;
        locale.SizeAnswer = c.SizeAnswer;
        locale.WrittenAnswer = c.WrittenAnswer;
        EXPECT_EQ(GetUILanguage(locale), c.Expected) << c.Name;
    }

    // First the size query without a buffer, then a read with exactly that size.
    TFakeLocale locale;
    locale.Name = u"zh";
    EXPECT_EQ(GetUILanguage(locale), u"zh");
    EXPECT_EQ(locale.Sizes, (std::vector<int>{0, 3}));
    EXPECT_EQ(locale.Lcids, (std::vector<std::uint32_t>{0x412, 0x412}));
    EXPECT_EQ(locale.Types, (std::vector<std::uint32_t>{89, 89}));
}

TEST_F(TranslateTest, StartupLoadsTheCatalogueAndCutsTheLanguageToTwoLetters)
{
    TFakeResources resources;
    resources.Data[u"translate"] = ReadStoredCatalogue();
    TFakeLocale locale;
    locale.Name = u"fil";
    TranslateStartup(resources, locale);
    EXPECT_EQ(resources.Asked, (std::vector<std::u16string>{u"translate"}));
    EXPECT_EQ(Translations().size(), 151u);
    EXPECT_EQ(CurrentLanguage(), u"fi");

    TranslateShutdown();
    EXPECT_TRUE(Translations().empty());
    EXPECT_TRUE(CurrentLanguage().empty());
}

TEST_F(TranslateTest, MissingOrUnreadableCatalogueTranslatesNothing)
{
    for (const bool fail : {false, true}) {
        TFakeResources resources;  // no resource at all, or one that raises
        resources.Fail = fail;
        TFakeLocale locale;
        locale.Name = u"ja";
        TranslateStartup(resources, locale);
        EXPECT_TRUE(Translations().empty());
        EXPECT_EQ(CurrentLanguage(), u"ja");
        EXPECT_EQ(TranslateText(u"실행하기"), u"실행하기");
        EXPECT_EQ(TranslateText(u"a\\nb"), u"a\rb");
    }
}

TEST_F(TranslateTest, StoredCatalogue)
{
    struct Case {
        std::u16string Language;
        std::u16string Text;
        std::u16string Expected;
    } cases[] = {
        {u"ko", u"실행하기", u"실행하기"},
        {u"ja", u"실행하기", u"実行する"},
        {u"de", u"실행하기", u"Run"},  // a language without lines gets English
        {u"en", u"실행중", u"Running"},
        {u"fr", u"Home", u"Accueil"},  // found by its English line
        {u"it", u"후원하기", u"Dona"},  // the line that ends with a bare LF
        {u"fr", u"후원하기", u"Donner"},  // the line after it
        {u"ru", u"Version", u"Версия"},  // en and fr both read "Version"
        {u"ko", u"Version", u"버전"},
        {u"fr", u"Versione", u"Version"},
        {u"zh", u"Accueil", u"主页"},  // already translated: the same block again
        {u"en", u"<B>게임 반응 속도</B>를 손쉽게 향상 시킵니다.",
         u"Easily improve <B>game responsiveness</B>."},
        {u"fr", u"네이글 알고리즘 해제", u"Désactiver l'algorithme de Nagle"},
        {u"ja", u"네트워크 어댑터를 다시 시작한 뒤에도 인터넷이 응답하지 않았습니다. "
                u"Windows 네트워크 설정에서 어댑터를 확인해 주세요.",
         u"ネットワーク アダプターを再起動した後も、インターネットから応答がありませんでした。"
         u"Windows のネットワーク設定でアダプターを確認してください。"},
        {u"ru", u"네트워크 어댑터를 다시 시작하지 못했고 인터넷이 응답하지 않았습니다. "
                u"Windows 네트워크 설정에서 어댑터를 확인해 주세요.",
         u"Не удалось перезапустить сетевой адаптер, и интернет не ответил. "
         u"Проверьте адаптер в параметрах сети Windows."},  // the last block
        {u"de", u"네트워크 어댑터를 다시 시작한 뒤에도 인터넷이 응답하지 않았습니다. "
                u"Windows 네트워크 설정에서 어댑터를 확인해 주세요.",
         u"The internet did not answer after the network adapter was restarted. "
         u"Check the adapter in the Windows network settings."},
        {u"ja", u"TcpNoDelay", u"TcpNoDelay"},  // not in the catalogue
        // The busy Run button's name for screen readers.
        {u"ko", u"네트워크 연결을 다시 시작하는 중", u"네트워크 연결을 다시 시작하는 중"},
        {u"en", u"네트워크 연결을 다시 시작하는 중", u"Restarting the network connection"},
        {u"ja", u"네트워크 연결을 다시 시작하는 중", u"ネットワーク接続を再起動しています"},
        {u"zh", u"네트워크 연결을 다시 시작하는 중", u"正在重新启动网络连接"},
        {u"ru", u"네트워크 연결을 다시 시작하는 중", u"Перезапуск сетевого подключения"},
        {u"it", u"네트워크 연결을 다시 시작하는 중", u"Riavvio della connessione di rete in corso"},
        {u"fr", u"네트워크 연결을 다시 시작하는 중", u"Redémarrage de la connexion réseau en cours"},
        {u"de", u"네트워크 연결을 다시 시작하는 중", u"Restarting the network connection"},
        {u"ja", u"no\\nsuch\\ntext", u"no\rsuch\rtext"},
        {u"ja", u"", u""},
        {u"ja", u"실행", u"실행"},        // a part of a text matches nothing
        {u"en", u"home", u"home"},        // case-sensitive
        {u"ja", u"ko=실행하기", u"ko=실행하기"},  // a whole line is not a text
    };
    const std::string catalogue = ReadStoredCatalogue();
    for (const auto& c : cases) {
        Load(catalogue, c.Language);
        EXPECT_EQ(TranslateText(c.Text), c.Expected)
            << Utf16ToUtf8(c.Text) << " in " << Utf16ToUtf8(c.Language);
    }
}

TEST_F(TranslateTest, ForcedLanguageLeavesTheCurrentOneAlone)
{
    Load(ReadStoredCatalogue(), u"ko");
    EXPECT_EQ(TranslateText(u"실행하기", u"ru"), u"Запустить");
    EXPECT_EQ(TranslateText(u"Tavrino", u"en"), u"Tavrino");
    EXPECT_EQ(CurrentLanguage(), u"ko");
    EXPECT_EQ(TranslateText(u"실행하기"), u"실행하기");
}

TEST_F(TranslateTest, SmallCatalogues)
{
    struct Case {
        const char* Name;
        std::string Catalogue;
        std::u16string Language;
        std::u16string Text;
        std::u16string Expected;
    } cases[] = {
        {"text after the first = kept whole", "ko=a=b\r\nen=x=y\r\n", u"en", u"a=b", u"x=y"},
        {"escape in the found text", "ko=k\r\nen=one\\ntwo\\n\r\n", u"en", u"k", u"one\rtwo\r"},
        {"escape in the key is not expanded for matching", "ko=a\\nb\r\nen=E\r\n", u"en",
         u"a\\nb", u"E"},
        {"a lone backslash stays", "ko=k\r\nen=a\\b\\\r\n", u"en", u"k", u"a\\b\\"},
        {"neither language nor English", "ko=k\r\nja=j\r\n", u"fr", u"k", u"k"},
        {"English when the language is missing", "ko=k\r\nen=e\r\n", u"fr", u"k", u"e"},
        {"the asked language before English", "en=e\r\nko=k\r\nfr=f\r\n", u"fr", u"k", u"f"},
        {"blocks end at an empty line", "ko=a\r\nen=A\r\n\r\nko=b\r\n", u"en", u"b", u"b"},
        {"a line of spaces does not end a block", "ko=a\r\nen=A\r\n \r\nko=b\r\n", u"en", u"b",
         u"A"},
        {"back to the block's start", "ko=x\r\n\r\nen=E\r\nja=J\r\nko=k\r\n", u"en", u"k", u"E"},
        {"the first matching line decides", "ko=t\r\nen=A\r\n\r\nko=t\r\nen=B\r\n", u"en", u"t",
         u"A"},
        {"a line without = has no name", "ko=k\r\nen\r\nen=e\r\n", u"en", u"k", u"e"},
        {"the first line of the language wins", "ko=k\r\nen=1\r\nen=2\r\n", u"en", u"k", u"1"},
        {"language code matched exactly", "ko=k\r\nEN=X\r\nen=e\r\n", u"en", u"k", u"e"},
        {"bare CR ends a line", "ko=k\ren=e\r", u"en", u"k", u"e"},
    };
    for (const auto& c : cases) {
        Load(c.Catalogue, c.Language);
        EXPECT_EQ(TranslateText(c.Text), c.Expected) << c.Name;
    }
}

}  // namespace

namespace {

}  // namespace
