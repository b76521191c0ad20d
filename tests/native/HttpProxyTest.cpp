// The proxy of a request from the user's Internet Options: automatic configuration first, then
// the fixed proxy, then the machine-wide setting; fixed proxy lists cut to what WinHTTP uses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Text.h"
#include "system/HttpProxy.h"

namespace {
using TKind = TProxyRoute::TKind;

// The automatic configuration as a double: records each run and answers Found.
struct TAutoProxyDouble {
    std::optional<TProxyRoute> Found;
    struct Run {
        bool Detect;
        std::u16string Script;
    };
    std::vector<Run> Runs;

    TAutoProxy Function()
    {
        return [this](bool detect, const std::u16string& script) {
            Runs.push_back({detect, script});
            return Found;
        };
    }
};

const TProxyRoute kMachine{};
const TProxyRoute kDirect{TKind::Direct, u"", u""};
const TProxyRoute kScriptProxy{TKind::Named, u"pac-proxy:8080", u"*.corp"};

struct TRouteCase {
    const char* Name;
    std::optional<TUserProxySettings> User;
    std::optional<TProxyRoute> AutoFound;
    bool AutoRuns;
    bool Detect;
    std::u16string Script;
    TProxyRoute Expected;
};

TUserProxySettings Settings(bool detect, std::u16string script, std::u16string proxy,
                            std::u16string bypass = u"")
{
    return {detect, std::move(script), std::move(proxy), std::move(bypass)};
}

class ProxyRouteTest : public testing::TestWithParam<TRouteCase> {};
}  // namespace

TEST_P(ProxyRouteTest, ChoosesAsWindowsClientsDo)
{
    const TRouteCase& c = GetParam();
    TAutoProxyDouble autoProxy;
    autoProxy.Found = c.AutoFound;
    EXPECT_EQ(ChooseProxyRoute(c.User, autoProxy.Function()), c.Expected);
    ASSERT_EQ(autoProxy.Runs.size(), c.AutoRuns ? 1u : 0u);
    if (c.AutoRuns) {
        EXPECT_EQ(autoProxy.Runs[0].Detect, c.Detect);
        EXPECT_EQ(autoProxy.Runs[0].Script, c.Script);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ProxyRouteTest,
    testing::Values(
        TRouteCase{"Unreadable", std::nullopt, std::nullopt, false, false, u"", kMachine},
        TRouteCase{"NothingSet", Settings(false, u"", u""), std::nullopt, false, false, u"", kMachine},
        TRouteCase{"FixedProxy", Settings(false, u"", u"proxy:3128", u"<local>;10.*"),
                   std::nullopt, false, false, u"",
                   {TKind::Named, u"proxy:3128", u"<local>;10.*"}},
        TRouteCase{"FixedProxyPerScheme", Settings(false, u"", u"http=a:80;https=b:443;ftp=c:21"),
                   std::nullopt, false, false, u"", {TKind::Named, u"http=a:80;https=b:443", u""}},
        TRouteCase{"OnlySocksIsNoProxy", Settings(false, u"", u"socks=s:1080"), std::nullopt,
                   false, false, u"", kMachine},
        TRouteCase{"ScriptFindsProxy", Settings(false, u"http://wpad/proxy.pac", u"proxy:3128"),
                   kScriptProxy, true, false, u"http://wpad/proxy.pac", kScriptProxy},
        TRouteCase{"ScriptSaysDirect", Settings(false, u" http://wpad/proxy.pac ", u"proxy:3128"),
                   kDirect, true, false, u"http://wpad/proxy.pac", kDirect},
        TRouteCase{"ScriptNamesNoServer", Settings(false, u"http://wpad/proxy.pac", u""),
                   TProxyRoute{TKind::Named, u" ", u""}, true, false, u"http://wpad/proxy.pac",
                   kDirect},
        TRouteCase{"ScriptFailsFixedProxyStands",
                   Settings(false, u"http://wpad/proxy.pac", u"proxy:3128", u"*.local"),
                   std::nullopt, true, false, u"http://wpad/proxy.pac",
                   {TKind::Named, u"proxy:3128", u"*.local"}},
        TRouteCase{"ScriptFailsNoFixedProxy", Settings(false, u"http://wpad/proxy.pac", u""),
                   std::nullopt, true, false, u"http://wpad/proxy.pac", kMachine},
        TRouteCase{"DetectionFindsProxy", Settings(true, u"", u""), kScriptProxy, true, true, u"",
                   kScriptProxy},
        TRouteCase{"DetectionFindsNothing", Settings(true, u"", u"proxy:3128"), std::nullopt, true,
                   true, u"", {TKind::Named, u"proxy:3128", u""}},
        TRouteCase{"DetectionAndScriptInOneRun", Settings(true, u"http://wpad/p.pac", u""),
                   kDirect, true, true, u"http://wpad/p.pac", kDirect}),
    [](const testing::TestParamInfo<TRouteCase>& info) { return std::string(info.param.Name); });

TEST(UsableProxyList, KeepsWhatWinHttpCanUse)
{
    const struct {
        std::u16string In;
        std::u16string Out;
    } cases[] = {
        {u"", u""},
        {u"proxy:3128", u"proxy:3128"},
        {u"http://proxy:3128", u"http://proxy:3128"},
        {u"a:1;b:2", u"a:1;b:2"},
        {u"a:1 b:2", u"a:1;b:2"},
        {u"HTTP=a:80;HTTPS=b:443", u"HTTP=a:80;HTTPS=b:443"},
        {u"ftp=c:21;http=a:80;socks=s:1080", u"http=a:80"},
        {u"socks=s:1080", u""},
        {u";;http=;https=b:443;", u"https=b:443"},
        {u"  ", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UsableProxyList(c.In), c.Out) << Utf16ToUtf8(c.In);
}

// The route the automatic configuration found is kept for a while per request address and
// settings: a request retried every second does not run detection every time, a change of
// settings or another address does, and so does the same request once the route has grown
// old. A look that found nothing is not kept: the next request looks again.
TEST(AutoProxyMemoTest, KeepsEachOutcomeForItsRequestAndSettingsForAWhile)
{
    TAutoProxyMemo memo;
    TAutoProxyDouble lookup;
    const std::u16string update = u"https://api.example/api.init.php";
    const std::u16string probe = u"https://api.example/myip";
    auto get = [&](const std::u16string& url, bool detect, const std::u16string& script,
                   std::uint64_t now) { return memo.Get(url, detect, script, now, lookup.Function()); };

    lookup.Found = kScriptProxy;
    EXPECT_EQ(get(update, true, u"", 1000), kScriptProxy);
    lookup.Found = std::nullopt;  // what a new look would find
    for (std::uint64_t t = 2000; t < 1000 + TAutoProxyMemo::kKeptMs; t += 30000)
        EXPECT_EQ(get(update, true, u"", t), kScriptProxy) << t;
    EXPECT_EQ(lookup.Runs.size(), 1u);

    EXPECT_EQ(get(probe, true, u"", 5000), std::nullopt);  // another address: a look of its own
    EXPECT_EQ(get(update, false, u"http://pac/", 5000), std::nullopt);  // other settings
    EXPECT_EQ(get(update, true, u"http://pac/", 5000), std::nullopt);
    ASSERT_EQ(lookup.Runs.size(), 4u);
    EXPECT_FALSE(lookup.Runs[2].Detect);
    EXPECT_EQ(lookup.Runs[2].Script, u"http://pac/");

    // Nothing found is looked for again at once, and what is found then is kept.
    lookup.Found = kScriptProxy;
    EXPECT_EQ(get(probe, true, u"", 6000), kScriptProxy);
    EXPECT_EQ(get(probe, true, u"", 7000), kScriptProxy);
    EXPECT_EQ(lookup.Runs.size(), 5u);
    // An old route is looked up again.
    lookup.Found = kDirect;
    EXPECT_EQ(get(update, true, u"", 1000 + TAutoProxyMemo::kKeptMs), kDirect);
    EXPECT_EQ(get(update, true, u"", 2000 + TAutoProxyMemo::kKeptMs), kDirect);
    EXPECT_EQ(lookup.Runs.size(), 6u);
    // A route that grew old and is not found again is not given any more.
    lookup.Found = std::nullopt;
    EXPECT_EQ(get(probe, true, u"", 6000 + TAutoProxyMemo::kKeptMs), std::nullopt);
    EXPECT_EQ(lookup.Runs.size(), 7u);
}
