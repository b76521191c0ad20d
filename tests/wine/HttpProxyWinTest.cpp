// The update check and the public address probe through the user's proxy, over WinHTTP. Run by
// tests/wine/proxy.sh inside a network namespace where the service's host name resolves only
// through the proxy that the script starts: TAVRINO_PROXY_API_BASE is the service's address by
// that name, TAVRINO_PROXY_EXPECT says whether the prefix's Internet Options lead there
// ("through") or not ("fails").
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/Text.h"
#include "common/Update.h"
#include "support/FakeShell.h"
#include "support/InlineThreads.h"
#include "support/MemoryRegistry.h"
#include "support/UpdateDoubles.h"
#include "system/Http_win.h"
#include "system/Network.h"

namespace {
class UserProxy : public testing::Test {
protected:
    void SetUp() override
    {
        const char* base = std::getenv("TAVRINO_PROXY_API_BASE");
        const char* expect = std::getenv("TAVRINO_PROXY_EXPECT");
        if (!base || !expect) GTEST_SKIP() << "run by tests/wine/proxy.sh";
        Base = Utf8ToUtf16(base);
        Through = std::string(expect) == "through";
    }

    std::u16string Base;
    bool Through = false;
    TWinHttp Http;
};
}  // namespace

TEST_F(UserProxy, ProbeArrivesAsTheSettingsSay)
{
    EXPECT_EQ(ProbePublicIP(Http, Base + u"/myip"), Through);
}

TEST_F(UserProxy, UpdateCheckArrivesAsTheSettingsSay)
{
    TMemoryRegistry registry;
    TInlineThreads threads;  // no real pauses between the attempts
    TFakeShell shell;
    TUpdateTestSystem system;
    TUpdateTestNotice notice;
    TUpdate update(Http, registry, threads, shell, system, notice);
    bool called = false;
    std::u16string answer;
    update.CheckUpdate(Base + u"/api.init.php", [&](bool, const std::u16string& body) {
        called = true;
        answer = body;
    }, 10);
    ASSERT_TRUE(called);
    if (Through)
        EXPECT_NE(answer.find(u'{'), std::u16string::npos) << Utf16ToUtf8(answer);
    else
        EXPECT_TRUE(answer.empty()) << Utf16ToUtf8(answer);
}
