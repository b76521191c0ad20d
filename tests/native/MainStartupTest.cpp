// The creation handler and LoadConfig: what a first start stores, the restored boxes and
// status, the adapter labels, the texts set at creation, the update check and its callback,
// and a creation step that raises.
#include "BuildConfig.h"
#include "support/MainWindowFixture.h"

namespace {

using StartupTest = MainWindowTest;

const char16_t* const kBoxKeys[] = {u"tcpackfrequency", u"tcpdelacktick", u"tcpnodelay",
                                    u"networkthrottleindex", u"systemresponsivess"};

TEST_F(StartupTest, FirstStartChecksEveryBoxAndStoresIt)
{
    Create();
    for (const std::u16string& box : Boxes()) {
        EXPECT_TRUE(Window->Checked(box)) << Utf16ToUtf8(box);
        EXPECT_TRUE(Enabled(box)) << Utf16ToUtf8(box);
    }
    EXPECT_EQ(Form->Status(), stIdle);
    EXPECT_EQ(Window->RunText, u"Run");
    EXPECT_EQ(Setting(u"status"), 0u);
    for (const char16_t* key : kBoxKeys) EXPECT_EQ(Setting(key), 1u) << Utf16ToUtf8(key);
    // The loading store, one store per box write, one for the status.
    EXPECT_EQ(SettingsOpens(), 7u);
    EXPECT_EQ(Reg.OpenHandles(), 0u);
    EXPECT_TRUE(MachineValues().empty());
}

TEST_F(StartupTest, ABoxStoredFalseLoadsUncheckedWithoutAWrite)
{
    PutSetting(u"tcpdelacktick", 0);
    Create();
    EXPECT_FALSE(Window->Checked(u"ChkTcpDelAckTick"));
    EXPECT_TRUE(Window->Checked(u"ChkTcpNoDelay"));
    EXPECT_EQ(Setting(u"tcpdelacktick"), 0u);
    EXPECT_EQ(SettingsOpens(), 6u);  // no store was opened for it
}

TEST_F(StartupTest, RestoredStatus)
{
    struct Case {
        std::uint32_t Stored;
        TStatus Status;
        TRunLook Look;
        const char16_t* Text;  // the caption, or the busy name
        bool BoxesEnabled;
        std::uint32_t StoredAfter;
    } cases[] = {
        {0, stIdle, TRunLook::Run, u"Run", true, 0},
        {1, stRunning, TRunLook::Running, u"Running", false, 1},
        {2, stBusy, TRunLook::Busy, u"Restarting the network connection", false, 2},  // never written; stays busy
        {3, stIdle, TRunLook::Run, u"Run", true, 3},    // changes nothing, stores nothing
        {256, stIdle, TRunLook::Run, u"Run", true, 0},  // only the low byte counts
        {257, stRunning, TRunLook::Running, u"Running", false, 1},
        {0xFFFFFFFF, stIdle, TRunLook::Run, u"Run", true, 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        Reg = TMemoryRegistry();
        PutSetting(u"status", c.Stored);
        Create();
        EXPECT_EQ(Form->Status(), c.Status) << c.Stored;
        EXPECT_EQ(Window->RunLook, c.Look) << c.Stored;
        EXPECT_EQ(Window->RunText, c.Text) << c.Stored;
        for (const std::u16string& box : Boxes()) EXPECT_EQ(Enabled(box), c.BoxesEnabled) << c.Stored;
        EXPECT_EQ(Setting(u"status"), c.StoredAfter) << c.Stored;
        EXPECT_TRUE(MachineValues().empty()) << c.Stored;  // a restored status writes no tweak
        EXPECT_TRUE(Network.EnableCalls.empty()) << c.Stored;
    }
}

TEST_F(StartupTest, RestoredRunningStopsOnTheNextClick)
{
    PutSetting(u"status", 1);
    Create();
    ClickRun();
    EXPECT_EQ(Form->Status(), stIdle);
    EXPECT_EQ(Reg.GetDword(reg::kLocalMachine,
                           u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile",
                           u"SystemResponsiveness"),
              20u);
}

TEST_F(StartupTest, AdapterLabels)
{
    Create();
    EXPECT_EQ(Form->NetworkName, u"Intel(R) Ethernet Connection");
    EXPECT_EQ(Form->NetworkGUID, u"{0A1B2C3D-0000-4000-8000-00000000ABCD}");
    EXPECT_EQ(Window->Texts[u"LblAdapter"], u"Intel(R) Ethernet Connection");
    EXPECT_EQ(Window->Texts[u"LblIPAddress"], u"IP: 192.168.0.7");

    for (const auto& [language, unknown] :
         {std::pair<std::u16string, std::u16string>{u"en", u"Unknown"}, {u"ko", u"알수없음"}}) {
        SetLanguage(language);
        Network.Adapter.reset();
        Create();
        EXPECT_EQ(Window->Texts[u"LblAdapter"], unknown);
        EXPECT_EQ(Form->NetworkName, unknown);
        EXPECT_TRUE(Form->NetworkGUID.empty());
        EXPECT_TRUE(Form->NetworkIP.empty());
        EXPECT_EQ(Window->Texts[u"LblIPAddress"], u"IP: ");
    }
}

TEST_F(StartupTest, CreationTextsInEnglishAndKorean)
{
    struct Case {
        std::u16string Language;
        std::u16string Version;
        std::uint32_t Random;
        std::u16string TagLine;
    } cases[] = {
        {u"en", u"Version: 1.5.6.0", 0, u"Easily improve <B>game responsiveness</B>."},
        {u"ko", u"버전: 1.5.6.0", 1, u"최적화된 네트워크로 <B>지연 시간을 최소화</B>합니다."},
        {u"ja", u"バージョン: 1.5.6.0", 2, u"簡単な設定で<B>ゲーム速度と安定性</B>を同時に改善します。"},
    };
    for (const auto& c : cases) {
        SetLanguage(c.Language);
        System.Randoms = {c.Random};
        System.Bounds.clear();
        Create();
        const std::string lang = Utf16ToUtf8(c.Language);
        EXPECT_EQ(Window->Texts[u"LblVersion"], c.Version) << lang;
        EXPECT_EQ(System.Bounds, (std::vector<std::uint32_t>{3})) << lang;
        EXPECT_EQ(Window->Texts[u"LblContent"], u"<C><FC:clGray>" + c.TagLine + u"</FC></C>") << lang;
    }
}

TEST_F(StartupTest, CreationDressesTheWindowOnce)
{
    System.Version.reset();  // a file without version information
    Create();
    EXPECT_EQ(Window->Dressings, 1);
    EXPECT_EQ(Window->Page, 0);
    EXPECT_EQ(Window->Texts[u"LblVersion"], u"Version: 0.0.0.0");
    EXPECT_TRUE(Errors.empty());
}

TEST_F(StartupTest, UpdateCheckClosesTheWindowOnlyWhenAccepted)
{
    Create();
    ASSERT_EQ(Update.Calls.size(), 1u);
    EXPECT_EQ(Update.Calls[0].URL, std::u16string(kApiBase) + u"/api.init.php");
    EXPECT_EQ(Update.Calls[0].LayoutOffset, 10);

    Update.Calls[0].AProc(false, u"{\"update\":\"\"}");
    EXPECT_FALSE((Window->Closes > 0));
    Update.Calls[0].AProc(true, u"");
    EXPECT_TRUE((Window->Closes > 0));

    // A callback that arrives after the window went finds nothing to close.
    const TUpdateProc late = Update.Calls[0].AProc;
    Form.reset();
    late(true, u"");
    EXPECT_EQ(Window->Closes, 1);
}

TEST_F(StartupTest, ACreationStepThatRaisesStopsTheRestButTheWindowOpens)
{
    // Adapter discovery fails: placeholders stay, nothing restored, no status, no update check.
    Network.DiscoveryFails = true;
    Create();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Window->Texts[u"LblAdapter"], u"...");
    EXPECT_EQ(Window->Texts[u"LblIPAddress"], u"...");
    for (const std::u16string& box : Boxes()) {
        EXPECT_FALSE(Window->Checked(box)) << Utf16ToUtf8(box);
        EXPECT_TRUE(Enabled(box)) << Utf16ToUtf8(box);
    }
    EXPECT_FALSE(Setting(u"status").has_value());
    EXPECT_TRUE(Update.Calls.empty());
    EXPECT_EQ(Window->Texts[u"LblVersion"], u"Version: 1.5.6.0");  // the steps before it ran

    // A setting of the wrong type: the boxes read before it keep their values.
    Errors.clear();
    Network.DiscoveryFails = false;
    Reg = TMemoryRegistry();
    Reg.PutString(reg::kCurrentUser, kSettingsKey, u"tcpdelacktick", u"yes");
    Create();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_NE(Errors[0].find("tcpdelacktick"), std::string::npos);
    EXPECT_TRUE(Window->Checked(u"ChkTcpNoDelay"));
    EXPECT_TRUE(Window->Checked(u"ChkTCPAckFrequency"));
    EXPECT_FALSE(Window->Checked(u"ChkTcpDelAckTick"));
    EXPECT_FALSE(Window->Checked(u"ChkNetworkThrottlingIndex"));
    EXPECT_FALSE(Setting(u"status").has_value());
    EXPECT_TRUE(Update.Calls.empty());
    EXPECT_EQ(Reg.OpenHandles(), 0u);  // the loading store was closed on the way out
}

}  // namespace
