#include <gtest/gtest.h>

#include "common/Error.h"
#include "common/Update.h"
#include "support/FakeHttp.h"
#include "support/FakeShell.h"
#include "support/InlineThreads.h"
#include "support/MemoryRegistry.h"
#include "support/UpdateDoubles.h"

namespace {
const std::u16string kURL = u"https://api.tavrino.example/api.init.php";
const std::u16string kMarvetic = u"Software\\Marvetic";

struct TCall {
    bool Accepted;
    std::u16string Answer;
    int SynchronizedBefore;  // hand-offs made before the callback ran
};

class UpdateCheckTest : public testing::Test {
protected:
    TMemoryRegistry Registry;
    TFakeHttp Http;
    TInlineThreads Threads;
    TFakeShell Shell;
    TUpdateTestSystem System;
    TUpdateTestNotice Notice;
    std::vector<TCall> Calls;

    std::unique_ptr<TUpdate> MakeUnit()
    {
        return std::make_unique<TUpdate>(Http, Registry, Threads, Shell, System, Notice);
    }
    void Check(TUpdate& unit)
    {
        unit.CheckUpdate(kURL, [this](bool accepted, const std::u16string& answer) {
            Calls.push_back({accepted, answer, Threads.Synchronized});
        }, 10);
    }
    void Check()
    {
        auto unit = MakeUnit();
        Check(*unit);
    }
    std::u16string Header(std::size_t request, const std::u16string& name) const
    {
        for (const THttpHeader& h : Http.Requests.at(request).Headers)
            if (h.Name == name) return h.Value;
        return u"<missing>";
    }
};

TEST_F(UpdateCheckTest, SendsTheHeadersInOrderAndCreatesTheIdFirst)
{
    System.LocaleName = u"ko";
    Http.Answers = {u"{}"};
    Check();

    ASSERT_EQ(Http.Requests.size(), 1u);
    const TFakeHttp::Request& r = Http.Requests[0];
    EXPECT_EQ(r.URL, kURL);
    EXPECT_EQ(r.Decoding, TBodyDecoding::Utf8);
    ASSERT_EQ(r.Headers.size(), 4u);
    EXPECT_EQ(r.Headers[0].Name, u"User-Version");
    EXPECT_EQ(r.Headers[0].Value, u"1.5.6.0");
    EXPECT_EQ(r.Headers[1].Name, u"User-Language");
    EXPECT_EQ(r.Headers[1].Value, u"ko");
    EXPECT_EQ(r.Headers[2].Name, u"User-Debug");
    EXPECT_EQ(r.Headers[2].Value, u"false");
    EXPECT_EQ(r.Headers[3].Name, u"User-Union");
    EXPECT_TRUE(IsUIDShape(r.Headers[3].Value)) << Utf16ToUtf8(r.Headers[3].Value);

    const auto stored = Registry.Get(reg::kCurrentUser, kMarvetic, u"MUID");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->Type, reg::kTypeSz);
    std::u16string text(reinterpret_cast<const char16_t*>(stored->Data.data()), stored->Data.size() / 2);
    EXPECT_EQ(text, r.Headers[3].Value + u'\0');  // REG_SZ with its terminating null
    ASSERT_FALSE(Registry.Opens().empty());
    EXPECT_EQ(Registry.Opens()[0].Access, 0x2001Fu);
    EXPECT_TRUE(Registry.Opens()[0].Create);
    EXPECT_EQ(Registry.OpenHandles(), 0u);
}

TEST_F(UpdateCheckTest, LaterRunsSendTheSameId)
{
    Http.Answers = {u"{}"};
    Check();
    System.Randoms = {1, 2, 3};  // a new id would differ
    System.Times = {{2027, 1, 2, 3, 4, 5}};
    Check();
    ASSERT_EQ(Http.Requests.size(), 2u);
    EXPECT_EQ(Header(0, u"User-Union"), Header(1, u"User-Union"));
}

TEST_F(UpdateCheckTest, StoredIdIsSentAsItIs)
{
    const struct {
        const char* Name;
        std::uint32_t Type;
        std::vector<std::uint8_t> Data;
        std::u16string Sent;
    } cases[] = {
        {"ShortString", reg::kTypeSz, {'a', 0, 'b', 0, 'c', 0, 0, 0}, u"abc"},
        {"EmptyString", reg::kTypeSz, {0, 0}, u""},
        {"Dword", reg::kTypeDword, {1, 0, 0, 0}, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Registry.Put(reg::kCurrentUser, kMarvetic, u"MUID", c.Type, c.Data);
        Http.Requests.clear();
        Http.Answers = {u"{}"};
        Check();
        EXPECT_EQ(Header(0, u"User-Union"), c.Sent);
        EXPECT_EQ(Registry.Get(reg::kCurrentUser, kMarvetic, u"MUID")->Data, c.Data);  // untouched
    }
}

TEST_F(UpdateCheckTest, RegistryFailureSendsAnEmptyIdAndStillChecks)
{
    Registry.RefuseOpen(reg::kCurrentUser, reg::kAccessDenied);
    Http.Answers = {u"{}"};
    Check();
    EXPECT_EQ(Header(0, u"User-Union"), u"");
    ASSERT_EQ(Calls.size(), 1u);

    Registry.RefuseOpen(reg::kCurrentUser, 0);
    Registry.RefuseWrites(reg::kAccessDenied);
    Http.Requests.clear();
    Check();
    EXPECT_EQ(Header(0, u"User-Union"), u"");
}

TEST_F(UpdateCheckTest, ReturnsAtOnceAndStoresUrlAndOffset)
{
    Threads.Deferred = true;
    Http.Answers = {u"{}"};
    auto unit = MakeUnit();
    unit->CheckUpdate(kURL, [this](bool a, const std::u16string& s) { Calls.push_back({a, s, 0}); }, 7);
    EXPECT_TRUE(Http.Requests.empty());
    EXPECT_TRUE(Calls.empty());
    EXPECT_EQ(unit->UpdateURL(), kURL);
    EXPECT_EQ(unit->LayoutOffset(), 7);
    Threads.RunPending();
    EXPECT_EQ(Calls.size(), 1u);
}

TEST_F(UpdateCheckTest, MakesAtMostSixtyAttemptsWithOneSecondPauses)
{
    Check();  // no answer at all
    EXPECT_EQ(Http.Requests.size(), 60u);
    // One wait on the event per pause, not a chain of short sleeps; the pause follows the
    // 60th failure too.
    EXPECT_EQ(Threads.Waits, std::vector<unsigned>(60, 1000u));
    EXPECT_TRUE(Threads.Sleeps.empty());
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_FALSE(Calls[0].Accepted);
    EXPECT_EQ(Calls[0].Answer, u"");
    EXPECT_TRUE(Notice.Shown.empty());
}

TEST_F(UpdateCheckTest, StopsAtTheFirstAnswer)
{
    Http.Answers = {std::nullopt, std::nullopt, u"<html>500 Internal Server Error</html>"};
    Check();
    EXPECT_EQ(Http.Requests.size(), 3u);
    EXPECT_EQ(Threads.Waits.size(), 2u);
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Answer, u"<html>500 Internal Server Error</html>");
}

// A termination request that arrives while the check waits between attempts ends the wait at
// once: no further request, no callback, no hand-off.
TEST_F(UpdateCheckTest, TerminationEndsThePauseAtOnce)
{
    for (int during : {1, 2, 60}) {
        SCOPED_TRACE(during);
        TInlineThreads threads;
        TFakeHttp http;  // every request fails
        TUpdate unit(http, Registry, threads, Shell, System, Notice);
        int waits = 0;
        threads.OnWait = [&](IWaitEvent&) {
            if (++waits == during) unit.Terminate();
        };
        bool called = false;
        unit.CheckUpdate(kURL, [&](bool, const std::u16string&) { called = true; }, 10);
        EXPECT_EQ(threads.Waits.size(), static_cast<std::size_t>(during - 1));  // the last one ended at once
        EXPECT_EQ(http.Requests.size(), static_cast<std::size_t>(during));
        EXPECT_EQ(threads.Synchronized, 0);
        EXPECT_FALSE(called);
    }
}

// A request made before the check started does not end the new check; one made during a
// request makes that request the last.
TEST_F(UpdateCheckTest, TerminationBeforeTheCheckIsForgottenAndDuringARequestEndsIt)
{
    TInlineThreads threads;
    TFakeHttp http;
    TUpdate unit(http, Registry, threads, Shell, System, Notice);
    unit.Terminate();
    http.Answers = {std::nullopt, u"{}"};
    int calls = 0;
    unit.CheckUpdate(kURL, [&](bool, const std::u16string&) { ++calls; }, 10);
    EXPECT_EQ(http.Requests.size(), 2u);
    EXPECT_EQ(calls, 1);

    http.Requests.clear();
    http.Answers = {};
    http.OnRequest = [&] { unit.Terminate(); };
    unit.CheckUpdate(kURL, [&](bool, const std::u16string&) { ++calls; }, 10);
    EXPECT_EQ(http.Requests.size(), 1u);
    EXPECT_EQ(calls, 1);
}

struct TActionCase {
    const char* Name;
    std::u16string Body;
    bool Accept;             // the user's choice in the notice
    bool NoticeShown;
    std::u16string Opened;   // empty: nothing opened
    bool Accepted;
};

class UpdateActionTest : public UpdateCheckTest, public testing::WithParamInterface<TActionCase> {};

TEST_P(UpdateActionTest, AnswerLeadsToItsAction)
{
    const TActionCase& c = GetParam();
    Http.Answers = {c.Body};
    Notice.Accept = c.Accept;
    Check();

    ASSERT_EQ(Notice.Shown.size(), c.NoticeShown ? 1u : 0u);
    if (c.NoticeShown) {
        EXPECT_EQ(Notice.Shown[0], c.Body);
    }
    const std::vector<std::u16string> opened =
        c.Opened.empty() ? std::vector<std::u16string>{} : std::vector<std::u16string>{c.Opened};
    EXPECT_EQ(Shell.Opened, opened);
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Accepted, c.Accepted);
    EXPECT_EQ(Calls[0].Answer, c.Body);
    EXPECT_EQ(Calls[0].SynchronizedBefore, 1) << "the callback runs on the UI thread";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, UpdateActionTest,
    testing::Values(
        TActionCase{"NoUpdateKey", uR"({"info":{"style":"hold"}})", true, false, u"", false},
        TActionCase{"EmptyUpdate", uR"({"update":""})", true, false, u"", false},
        TActionCase{"UpdateEmptyAfterUnescaping", uR"({"update":"\x"})", true, false, u"", false},
        TActionCase{"OfferAccepted", uR"({"update":"https://dl.example/T.exe"})", true, true,
                    u"https://dl.example/T.exe", true},
        TActionCase{"OfferDeclined", uR"({"update":"https://dl.example/T.exe"})", false, true, u"",
                    false},
        TActionCase{"EscapedAddressUnescaped", uR"({"UPDATE":"https:\/\/dl.example\/a?b=c"})",
                    true, true, u"https://dl.example/a?b=c", true},
        TActionCase{"PlainHttpIsNoOffer", uR"({"update":"http://dl.example/T.exe"})", true, false,
                    u"", false},
        TActionCase{"EscapedPlainHttpIsNoOffer", uR"({"update":"http:\/\/dl.example\/T.exe"})",
                    true, false, u"", false},
        TActionCase{"QuotesInAddressAreNoOffer", uR"({"update":"https://x/\" --flag \""})", true,
                    false, u"", false},
        TActionCase{"ExecutablePathIsNoOffer", uR"({"update":"C:\\Windows\\System32\\calc.exe"})",
                    true, false, u"", false},
        TActionCase{"ShareIsNoOffer", uR"({"update":"\\\\server\\share\\setup.exe"})", true, false,
                    u"", false},
        TActionCase{"FileUrlIsNoOffer", uR"({"update":"file:///C:/setup.exe"})", true, false, u"",
                    false},
        TActionCase{"OtherSchemeIsNoOffer", uR"({"update":"ms-settings:network"})", true, false,
                    u"", false}),
    [](const testing::TestParamInfo<TActionCase>& info) { return std::string(info.param.Name); });

// With no desktop shell to open it as the user, the accepted offer is not opened from this
// elevated process either: the caller hears "not accepted" and the window stays.
TEST_F(UpdateCheckTest, OfferTheShellCannotOpenCountsAsNotAccepted)
{
    const std::u16string body = uR"({"update":"https://dl.example/T.exe"})";
    Http.Answers = {body};
    Notice.Accept = true;
    Shell.Opens = false;
    Check();

    ASSERT_EQ(Notice.Shown.size(), 1u);
    EXPECT_EQ(Shell.Opened, std::vector<std::u16string>{u"https://dl.example/T.exe"});
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_FALSE(Calls[0].Accepted);
    EXPECT_EQ(Calls[0].Answer, body);
}

TEST_F(UpdateCheckTest, MalformedEscapeEndsTheCheckWithoutAnAnswer)
{
    for (const std::u16string body : {uR"({"update":"https://x/\u00G9"})", uR"({"update":"https://x\u"})"}) {
        Http.Answers = {body};
        EXPECT_NO_THROW(Check());
    }
    EXPECT_EQ(Threads.Synchronized, 2);
    EXPECT_TRUE(Calls.empty());
    EXPECT_TRUE(Notice.Shown.empty());
    EXPECT_TRUE(Shell.Opened.empty());
}

TEST_F(UpdateCheckTest, LanguageComesFromTheUserLocale)
{
    const struct {
        std::optional<std::u16string> Locale;
        bool Throws;
        std::u16string Language;
    } cases[] = {
        {u"ko", false, u"ko"}, {u"zh", false, u"zh"}, {u"fil", false, u"fi"},
        {u"", false, u"en"},   {std::nullopt, false, u"en"}, {u"de", true, u"en"},
    };
    for (const auto& c : cases) {
        System.LocaleName = c.Locale;
        System.LocaleThrows = c.Throws;
        EXPECT_EQ(MakeUnit()->UpdateLanguage(), c.Language)
            << (c.Locale ? Utf16ToUtf8(*c.Locale) : "none");
    }
}

TEST_F(UpdateCheckTest, GeneratedIdTakesDateThenTimeReadAgain)
{
    System.Times = {{2026, 3, 4, 23, 59, 58}, {2026, 3, 5, 0, 0, 1}};
    System.Randoms = {0x7FFFFFFE, 0xABC, 0x1A};
    auto unit = MakeUnit();
    const std::u16string id = unit->GenerateUID();
    EXPECT_EQ(id, u"7FFFFFFE" u"260304" u"0ABC" u"000001" u"0000001A");
    EXPECT_EQ(System.Bounds, (std::vector<std::uint32_t>{0x7FFFFFFF, 0xFFFF, 0x7FFFFFFF}));
    EXPECT_TRUE(IsUIDShape(id));

    System.TimeCalls = 0;
    System.Bounds.clear();
    System.Randoms = {0, 0, 0};
    EXPECT_EQ(unit->GenerateUID(), u"00000000" u"260304" u"0000" u"000001" u"00000000");
}

TEST(UIDShape, RejectsWhatGenerateUIDNeverMakes)
{
    EXPECT_TRUE(IsUIDShape(u"7FFFFFFE2603040ABC0000010000001A"));
    for (const std::u16string bad : {u"", u"7FFFFFFE2603040ABC0000010000001", u"8FFFFFFE2603040ABC0000010000001A",
                                     u"7FFFFFFE2603040ABC0000018000001A", u"7fffffff2603040ABC0000010000001A",
                                     u"7FFFFFFE26030A0ABC0000010000001A"})
        EXPECT_FALSE(IsUIDShape(bad)) << Utf16ToUtf8(bad);
}

TEST(FileVersion, FillsTheFormat)
{
    const TFileVersion v{1, 5, 6, 0};
    EXPECT_EQ(FormatFileVersion(u"%d.%d.%d.%d", v), u"1.5.6.0");
    EXPECT_EQ(FormatFileVersion(u"v%d.%d (build %d)", v), u"v1.5 (build 6)");
    EXPECT_EQ(FormatFileVersion(u"100%% %d", {65535, 0, 0, 0}), u"100% 65535");
}

TEST_F(UpdateCheckTest, NoVersionInformationSendsZeros)
{
    System.Version = std::nullopt;
    Http.Answers = {u"{}"};
    Check();
    EXPECT_EQ(Header(0, u"User-Version"), u"0.0.0.0");
}

TEST_F(UpdateCheckTest, HTTPGetLeavesTheBodyAloneOnFailure)
{
    auto unit = MakeUnit();
    std::u16string body = u"before";
    EXPECT_FALSE(unit->HTTPGet(kURL, {}, body));
    EXPECT_EQ(body, u"before");
    Http.Answers = {u"after"};
    EXPECT_TRUE(unit->HTTPGet(kURL, {{u"A", u"1"}}, body));
    EXPECT_EQ(body, u"after");
}
}  // namespace
