#include <gtest/gtest.h>

#include "common/Error.h"
#include "common/UpdateDialog.h"
#include "support/FakeHttp.h"
#include "support/FakeShell.h"
#include "support/InlineThreads.h"
#include "support/MemoryRegistry.h"
#include "support/UpdateDoubles.h"

namespace {
TEST(UpdateText, EveryLanguageHasItsRow)
{
    const struct {
        std::u16string Language, Starts, Yes, No;
    } cases[] = {
        {u"ko", u"업데이트가 정보가 있습니다.\r\r", u"예", u"아니오"},
        {u"ja", u"このプログラムがアップデートされました。\r\r", u"はい", u"いいえ"},
        {u"zh", u"该程序已更新。\r\r", u"是", u"否"},
        {u"de", u"Dieses Programm ist aktualisiert worden.\r\r", u"Ja", u"Nein"},
        {u"ru", u"Данная программа была обновлена.\r\r", u"Да", u"Нет"},
        {u"it", u"È disponibile una nuova versione del programma.\r\r", u"Sì", u"No"},
        {u"fr", u"Ce programme a été mis à jour.\r\r", u"Oui", u"Non"},
        {u"en", u"This program has been updated.\r\r", u"Yes", u"No"},
        {u"pt", u"This program has been updated.\r\r", u"Yes", u"No"},
        {u"KO", u"This program has been updated.\r\r", u"Yes", u"No"},  // codes are case-sensitive
        {u"kor", u"This program has been updated.\r\r", u"Yes", u"No"},
        {u"", u"This program has been updated.\r\r", u"Yes", u"No"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.Language));
        const std::u16string message = GetUpdateText(0, c.Language);
        EXPECT_TRUE(StartsWith(message, c.Starts)) << Utf16ToUtf8(message);
        // Two paragraph breaks of two carriage returns, and no other line break.
        const std::size_t first = message.find(u"\r\r");
        ASSERT_NE(first, std::u16string::npos);
        const std::size_t second = message.find(u"\r\r", first + 2);
        ASSERT_NE(second, std::u16string::npos);
        EXPECT_EQ(message.find(u'\r', second + 2), std::u16string::npos);
        EXPECT_EQ(message.find(u'\n'), std::u16string::npos);
        EXPECT_EQ(GetUpdateText(1, c.Language), c.Yes);
        EXPECT_EQ(GetUpdateText(2, c.Language), c.No);
        EXPECT_EQ(GetUpdateText(3, c.Language), u"");
        EXPECT_EQ(GetUpdateText(-1, c.Language), u"");
    }
    EXPECT_EQ(GetUpdateText(0, u"en"),
              u"This program has been updated.\r\rIt is recommended to download and execute new "
              u"for stable use.\r\rDo you want to download it?");
}

TEST(NoticeOptions, ReadFromTheInfoObject)
{
    const struct {
        const char* Name;
        std::u16string Answer;
        TNoticeOptions Expected;
    } cases[] = {
        {"NoInfo", uR"({"update":"https://x"})", {}},
        {"AllFour",
         uR"({"update":"https://x","info":{"style":"note","text":"Notes","flag":"stayontop","url":"https:\/\/n.example\/a"}})",
         {uR"("style":"note","text":"Notes","flag":"stayontop","url":"https:\/\/n.example\/a")", u"note",
          u"Notes", u"stayontop", u"https://n.example/a"}},
        {"TextUnescaped", uR"({"info":{"style":"hold","text":"Don\u2019t \"ask\""}})",
         {uR"("style":"hold","text":"Don\u2019t \"ask\"")", u"hold", u"Don’t \"ask\"", u"", u""}},
        {"BraceInTextHidesLaterKeys", uR"({"info":{"style":"note","text":"a}b","url":"http://u"}})",
         {uR"("style":"note","text":"a)", u"note", u"", u"", u""}},
        {"KeysOutsideInfoAreNotOptions", uR"({"style":"hold","info":{"text":"t"}})",
         {uR"("text":"t")", u"", u"t", u"", u""}},
        {"InfoWithoutClosingBrace", uR"({"info":{"style":"hold")", {}},
        {"KeysInCapitals", uR"({"INFO":{"STYLE":"HOLD"}})", {uR"("STYLE":"HOLD")", u"HOLD", u"", u"", u""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TNoticeOptions o = ReadNoticeOptions(c.Answer);
        EXPECT_EQ(o.Info, c.Expected.Info);
        EXPECT_EQ(o.Style, c.Expected.Style);
        EXPECT_EQ(o.Text, c.Expected.Text);
        EXPECT_EQ(o.Flag, c.Expected.Flag);
        EXPECT_EQ(o.URL, c.Expected.URL);
    }
    EXPECT_THROW(ReadNoticeOptions(uR"({"info":{"url":"http://x/\u00ZZ"}})"), EAppError);
}

TEST(NoticeOptions, TopmostWhenFlagHoldsStayOnTop)
{
    const struct {
        std::u16string Flag;
        bool Topmost;
    } cases[] = {{u"stayontop", true}, {u"quiet,stayontop", true}, {u"STAYONTOP", false},
                 {u"stay on top", false}, {u"", false}};
    for (const auto& c : cases) {
        TNoticeOptions o;
        o.Flag = c.Flag;
        EXPECT_EQ(IsTopmostNotice(o), c.Topmost) << Utf16ToUtf8(c.Flag);
    }
}

TNoticeOptions Style(const std::u16string& style)
{
    TNoticeOptions o;
    o.Style = style;
    return o;
}

TEST(NoticeGeometry, GrowsAndPlacesTheAdditions)
{
    const int W = 500, H = 200;
    const struct {
        const char* Name;
        std::u16string Style;
        int Dpi, N;
        TNoticeExtra Extra;
        int Height, SeparatorTop, ExtraTop, ExtraLeft, ExtraWidth;
    } cases[] = {
        {"Hold96", u"hold", 96, 10, TNoticeExtra::Hold, H + 30, H + 30 - 66, H + 30 - 56, 10, W},
        {"Note96", u"note", 96, 10, TNoticeExtra::Note, H + 30, H + 30 - 66, H + 30 - 56, 10, 0},
        {"Hold144", u"hold", 144, 10, TNoticeExtra::Hold, H + 45, H + 45 - 99, H + 45 - 84, 15, W},
        {"Note144", u"note", 144, 10, TNoticeExtra::Note, H + 45, H + 45 - 99, H + 45 - 84, 15, 0},
        {"OneMoreOffset", u"hold", 96, 11, TNoticeExtra::Hold, H + 29, H + 29 - 65, H + 29 - 55, 10, W},
        {"OtherStyleSeparatorOnly", u"banner", 96, 10, TNoticeExtra::Separator, H + 30, H + 30 - 66, 0, 0, 0},
        {"CapitalHoldIsOther", u"HOLD", 96, 10, TNoticeExtra::Separator, H + 30, H + 30 - 66, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TNoticeGeometry g = NoticeGeometry(Style(c.Style), W, H, c.Dpi, c.N);
        EXPECT_EQ(g.Extra, c.Extra);
        EXPECT_EQ(g.Height, c.Height);
        EXPECT_EQ(g.Separator.Top, c.SeparatorTop);
        EXPECT_EQ(g.Separator.Left, 0);
        EXPECT_EQ(g.Separator.Width, W);
        EXPECT_EQ(g.Separator.Height, 1);
        EXPECT_EQ(g.ExtraTop, c.ExtraTop);
        EXPECT_EQ(g.ExtraLeft, c.ExtraLeft);
        EXPECT_EQ(g.ExtraWidth, c.ExtraWidth);
    }
    const TNoticeGeometry plain = NoticeGeometry(Style(u""), W, H, 144, 10);
    EXPECT_EQ(plain.Extra, TNoticeExtra::None);
    EXPECT_EQ(plain.Height, H);
}

TEST(MessageLayout, IconTextAndCentredButtonsDoNotOverlap)
{
    for (int dpi : {96, 144}) {
        for (int textWidth : {60, 420}) {
            SCOPED_TRACE(testing::Message() << dpi << " DPI, text " << textWidth);
            const TMessageLayout l = LayoutMessageDialog({dpi, textWidth, 90, 2, 20});
            EXPECT_EQ(l.Icon.Width, ScaleForDpi(32, dpi));
            EXPECT_GT(l.Text.Left, l.Icon.Right());
            EXPECT_EQ(l.Text.Width, textWidth);
            EXPECT_LE(l.Text.Right(), l.ClientWidth - ScaleForDpi(16, dpi));
            const TRectI& yes = l.Buttons[0];
            const TRectI& no = l.Buttons[1];
            EXPECT_GT(yes.Top, l.Text.Bottom());
            EXPECT_EQ(yes.Top, no.Top);
            EXPECT_GT(no.Left, yes.Right());
            EXPECT_GE(yes.Left, ScaleForDpi(16, dpi));
            EXPECT_LE(std::abs(yes.Left - (l.ClientWidth - no.Right())), 1) << "centred";
            EXPECT_EQ(l.ClientHeight, no.Bottom() + ScaleForDpi(16, dpi));
        }
    }
    // A caption wider than the standard button widens both buttons.
    const TMessageLayout wide = LayoutMessageDialog({96, 300, 40, 2, 120});
    EXPECT_EQ(wide.Buttons[0].Width, 120 + 24);
    EXPECT_EQ(wide.Buttons[1].Width, 120 + 24);
    EXPECT_GT(MessageWrapWidth(1280, 96), 400);
    EXPECT_EQ(MessageWrapWidth(300, 96), 200);
}

TEST(FormHelper, OpensOnlyHttpsAddresses)
{
    TFakeShell shell;
    for (const std::u16string hint : {u"https://n.example/notes", u"", u"C:\\Windows\\notepad.exe",
                                      u"\\\\host\\share", u"file:///etc/passwd", u"http://n.example/2",
                                      u"HTTPS://n.example/3"})
        TFormHelper::OpenURL(shell, hint);
    EXPECT_EQ(shell.Opened, (std::vector<std::u16string>{u"https://n.example/notes", u"HTTPS://n.example/3"}));
}

TEST(HoldRequest, SendsVersionAndCommandOnAWorkerOfItsOwn)
{
    TMemoryRegistry registry;
    TFakeHttp http;
    TInlineThreads threads;
    TFakeShell shell;
    TUpdateTestSystem system;
    TUpdateTestNotice notice;
    TUpdate unit(http, registry, threads, shell, system, notice);
    threads.Deferred = true;
    unit.CheckUpdate(u"https://api.example/api.init.php", [](bool, const std::u16string&) {}, 10);
    threads.Pending.clear();  // the check itself is not under test here

    StartHoldRequest(unit);
    EXPECT_TRUE(http.Requests.empty()) << "the request is not made on the UI thread";
    ASSERT_EQ(threads.Pending.size(), 1u);
    threads.RunPending();  // fails: no answer, and nothing happens
    ASSERT_EQ(http.Requests.size(), 1u);
    const TFakeHttp::Request& r = http.Requests[0];
    EXPECT_EQ(r.URL, u"https://api.example/api.init.php");
    ASSERT_EQ(r.Headers.size(), 2u);
    EXPECT_EQ(r.Headers[0].Name, u"User-Version");
    EXPECT_EQ(r.Headers[0].Value, u"1.5.6.0");
    EXPECT_EQ(r.Headers[1].Name, u"User-Command");
    EXPECT_EQ(r.Headers[1].Value, u"hold");
    EXPECT_EQ(threads.Synchronized, 0);
    EXPECT_TRUE(registry.Opens().empty()) << "the hold request carries no user id";
}
}  // namespace
