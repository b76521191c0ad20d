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
    for (TCheckBox* box : Boxes()) {
        EXPECT_TRUE(box->Checked()) << Utf16ToUtf8(box->Name());
        EXPECT_TRUE(box->Enabled()) << Utf16ToUtf8(box->Name());
    }
    EXPECT_EQ(Form->Status(), stIdle);
    EXPECT_EQ(Form->BtnStart->Caption(), u"Run");
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
    EXPECT_FALSE(Form->ChkTcpDelAckTick->Checked());
    EXPECT_TRUE(Form->ChkTcpNoDelay->Checked());
    EXPECT_EQ(Setting(u"tcpdelacktick"), 0u);
    EXPECT_EQ(SettingsOpens(), 6u);  // no store was opened for it
}

TEST_F(StartupTest, RestoredStatus)
{
    struct Case {
        std::uint32_t Stored;
        TStatus Status;
        const char16_t* Caption;
        bool Enabled, Down, Indicator, BoxesEnabled;
        std::uint32_t StoredAfter;
    } cases[] = {
        {0, stIdle, u"Run", true, false, false, true, 0},
        {1, stRunning, u"Running", true, true, false, false, 1},
        {2, stBusy, u"", false, false, true, false, 2},      // never written; stays busy
        {3, stIdle, u"Run", true, false, false, true, 3},    // changes nothing, stores nothing
        {256, stIdle, u"Run", true, false, false, true, 0},  // only the low byte counts
        {257, stRunning, u"Running", true, true, false, false, 1},
        {0xFFFFFFFF, stIdle, u"Run", true, false, false, true, 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        Reg = TMemoryRegistry();
        PutSetting(u"status", c.Stored);
        Create();
        EXPECT_EQ(Form->Status(), c.Status) << c.Stored;
        EXPECT_EQ(Form->BtnStart->Caption(), c.Caption) << c.Stored;
        EXPECT_EQ(Form->BtnStart->Enabled(), c.Enabled) << c.Stored;
        EXPECT_EQ(Form->BtnStart->Down(), c.Down) << c.Stored;
        EXPECT_EQ(Form->Indicator->Visible(), c.Indicator) << c.Stored;
        EXPECT_EQ(Form->Indicator->Animate(), c.Indicator) << c.Stored;
        for (TCheckBox* box : Boxes()) EXPECT_EQ(box->Enabled(), c.BoxesEnabled) << c.Stored;
        EXPECT_EQ(Setting(u"status"), c.StoredAfter) << c.Stored;
        EXPECT_TRUE(MachineValues().empty()) << c.Stored;  // a restored status writes no tweak
        EXPECT_TRUE(Network.EnableCalls.empty()) << c.Stored;
    }
}

TEST_F(StartupTest, RestoredRunningStopsOnTheNextClick)
{
    PutSetting(u"status", 1);
    Create();
    Form->BtnStartClick(Form->BtnStart);
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
    EXPECT_EQ(Form->LblAdapter->Caption(), u"Intel(R) Ethernet Connection");
    EXPECT_EQ(Form->LblIPAddress->Caption(), u"IP: 192.168.0.7");

    for (const auto& [language, unknown] :
         {std::pair<std::u16string, std::u16string>{u"en", u"Unknown"}, {u"ko", u"알수없음"}}) {
        SetLanguage(language);
        Network.Adapter.reset();
        Create();
        EXPECT_EQ(Form->LblAdapter->Caption(), unknown);
        EXPECT_EQ(Form->NetworkName, unknown);
        EXPECT_TRUE(Form->NetworkGUID.empty());
        EXPECT_TRUE(Form->NetworkIP.empty());
        EXPECT_EQ(Form->LblIPAddress->Caption(), u"IP: ");
    }
}

TEST_F(StartupTest, CreationTextsInEnglishAndKorean)
{
    struct Case {
        std::u16string Language;
        std::u16string Home, Config, GroupBox2, Version;
        std::uint32_t Random;
        std::u16string TagLine;
    } cases[] = {
        {u"en", u"Home", u"Config", u"Disable Nagle's algorithm", u"Version: 1.5.6.0", 0,
         u"Easily improve <B>game responsiveness</B>."},
        {u"ko", u"처음화면", u"환경설정", u"네이글 알고리즘 해제", u"버전: 1.5.6.0", 1,
         u"최적화된 네트워크로 <B>지연 시간을 최소화</B>합니다."},
        {u"ja", u"ホーム", u"設定", u"ネイグルアルゴリズムを無効にする", u"バージョン: 1.5.6.0", 2,
         u"簡単な設定で<B>ゲーム速度と安定性</B>を同時に改善します。"},
    };
    for (const auto& c : cases) {
        SetLanguage(c.Language);
        System.Randoms = {c.Random};
        System.Bounds.clear();
        Create();
        const std::string lang = Utf16ToUtf8(c.Language);
        EXPECT_EQ(Form->Caption(), u"Tavrino") << lang;
        EXPECT_EQ(Application().Title, u"Tavrino") << lang;
        EXPECT_EQ(Form->BtnHome->Caption(), c.Home) << lang;
        EXPECT_EQ(Form->BtnConfig->Caption(), c.Config) << lang;
        EXPECT_EQ(Form->GroupBox2->Caption(), c.GroupBox2) << lang;
        EXPECT_EQ(Form->ChkTcpNoDelay->Caption(), u"TcpNoDelay") << lang;
        EXPECT_EQ(Form->LblVersion->Caption(), c.Version) << lang;
        EXPECT_EQ(System.Bounds, (std::vector<std::uint32_t>{3})) << lang;
        EXPECT_EQ(Form->LblContent->Text(), u"<C><FC:clGray>" + c.TagLine + u"</FC></C>") << lang;
    }
}

TEST_F(StartupTest, CreationShapesTheWindow)
{
    System.Version.reset();  // a file without version information
    Create();
    EXPECT_TRUE(Form->DesktopFont());
    EXPECT_FALSE(Form->LblTitle->ParentFont());
    EXPECT_EQ(Form->LblTitle->Font().Name, u"Tahoma");
    EXPECT_FALSE(Form->Indicator->Visible());
    EXPECT_FALSE(Form->BtnDonate->Visible());
    EXPECT_EQ(Form->PnlMain->ActiveCardIndex(), 0);
    EXPECT_EQ(Form->LblVersion->Caption(), u"Version: 0.0.0.0");
    EXPECT_TRUE(Errors.empty());
}

TEST_F(StartupTest, UpdateCheckClosesTheWindowOnlyWhenAccepted)
{
    Create();
    ASSERT_EQ(Update.Calls.size(), 1u);
    EXPECT_EQ(Update.Calls[0].URL, std::u16string(kApiBase) + u"/api.init.php");
    EXPECT_EQ(Update.Calls[0].LayoutOffset, 10);

    Update.Calls[0].AProc(false, u"{\"update\":\"\"}");
    EXPECT_FALSE(Form->CloseRequested());
    Update.Calls[0].AProc(true, u"");
    EXPECT_TRUE(Form->CloseRequested());

    // A callback that arrives after the window went finds nothing to close.
    const TUpdateProc late = Update.Calls[0].AProc;
    Form.reset();
    late(true, u"");
}

TEST_F(StartupTest, ACreationStepThatRaisesStopsTheRestButTheWindowOpens)
{
    // Adapter discovery fails: placeholders stay, nothing restored, no status, no update check.
    Network.DiscoveryFails = true;
    Create();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Form->LblAdapter->Caption(), u"...");
    EXPECT_EQ(Form->LblIPAddress->Caption(), u"...");
    for (TCheckBox* box : Boxes()) {
        EXPECT_FALSE(box->Checked()) << Utf16ToUtf8(box->Name());
        EXPECT_TRUE(box->Enabled()) << Utf16ToUtf8(box->Name());
    }
    EXPECT_FALSE(Setting(u"status").has_value());
    EXPECT_TRUE(Update.Calls.empty());
    EXPECT_EQ(Form->LblVersion->Caption(), u"Version: 1.5.6.0");  // the steps before it ran

    // A setting of the wrong type: the boxes read before it keep their values.
    Errors.clear();
    Network.DiscoveryFails = false;
    Reg = TMemoryRegistry();
    Reg.PutString(reg::kCurrentUser, kSettingsKey, u"tcpdelacktick", u"yes");
    Create();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_NE(Errors[0].find("tcpdelacktick"), std::string::npos);
    EXPECT_TRUE(Form->ChkTcpNoDelay->Checked());
    EXPECT_TRUE(Form->ChkTCPAckFrequency->Checked());
    EXPECT_FALSE(Form->ChkTcpDelAckTick->Checked());
    EXPECT_FALSE(Form->ChkNetworkThrottlingIndex->Checked());
    EXPECT_FALSE(Setting(u"status").has_value());
    EXPECT_TRUE(Update.Calls.empty());
    EXPECT_EQ(Reg.OpenHandles(), 0u);  // the loading store was closed on the way out
}

}  // namespace
