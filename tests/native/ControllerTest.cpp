// The tweak controller: what Run writes for the check-box choices, what Stop undoes, the
// adapter restart and the probing worker, the status shown and stored, the error box.
#include <algorithm>

#include "support/MainWindowFixture.h"

namespace {

constexpr char kIf[] =
    "HKLM\\system\\currentcontrolset\\services\\tcpip\\parameters\\interfaces\\"
    "{0a1b2c3d-0000-4000-8000-00000000abcd}\\";
constexpr char kMq[] = "HKLM\\software\\microsoft\\msmq\\parameters\\";
constexpr char kSp[] =
    "HKLM\\software\\microsoft\\windows nt\\currentversion\\multimedia\\systemprofile\\";

std::string Row(const char* key, const char* value, const char* data)
{
    return std::string(key) + value + "=4:" + data;
}

std::vector<std::string> Sorted(std::vector<std::string> rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}

using ControllerTest = MainWindowTest;

TEST_F(ControllerTest, StartWritesTheCheckedRowsInTableOrder)
{
    const std::u16string ifKey = AsciiLower(kInterfaceKey);
    const std::u16string mqKey = u"software\\microsoft\\msmq\\parameters";
    const std::u16string spKey =
        u"software\\microsoft\\windows nt\\currentversion\\multimedia\\systemprofile";
    struct Case {
        const char* Name;
        std::vector<bool> Checked;  // in the order of Boxes()
        std::vector<std::string> Values;
        std::vector<std::u16string> Opens;
    } cases[] = {
        {"all",
         {true, true, true, true, true},
         {Row(kIf, "TCPNoDelay", "01000000"), Row(kIf, "TcpAckFrequency", "01000000"),
          Row(kIf, "TcpDelAckTicks", "00000000"), Row(kMq, "TCPNoDelay", "01000000"),
          Row(kSp, "NetworkThrottlingIndex", "ffffffff"), Row(kSp, "SystemResponsiveness", "00000000")},
         {ifKey, ifKey, ifKey, mqKey, spKey, spKey}},
        {"none", {false, false, false, false, false}, {}, {}},
        {"only TcpNoDelay",
         {false, false, true, false, false},
         {Row(kIf, "TCPNoDelay", "01000000"), Row(kMq, "TCPNoDelay", "01000000")},
         {ifKey, mqKey}},
        {"only the scheduler",
         {false, false, false, true, true},
         {Row(kSp, "NetworkThrottlingIndex", "ffffffff"), Row(kSp, "SystemResponsiveness", "00000000")},
         {spKey, spKey}},
    };
    for (const auto& c : cases) {
        Reg = TMemoryRegistry();
        Network.EnableCalls.clear();
        Create();
        for (std::size_t i = 0; i < 5; ++i) Boxes()[i]->SetChecked(c.Checked[i]);

        Form->BtnStartClick(Form->BtnStart);

        EXPECT_EQ(MachineValues(), Sorted(c.Values)) << c.Name;
        EXPECT_EQ(MachineOpens(), c.Opens) << c.Name;
        // Whatever was written, the adapter restarts and the window ends running.
        const std::u16string guid = u"{0A1B2C3D-0000-4000-8000-00000000ABCD}";
        EXPECT_EQ(Network.EnableCalls,
                  (std::vector<TFakeNetwork::EnableCall>{{guid, false}, {guid, true}}))
            << c.Name;
        EXPECT_EQ(Form->Status(), stRunning) << c.Name;
        EXPECT_EQ(Setting(u"status"), 1u) << c.Name;
    }
}

TEST_F(ControllerTest, StopUndoesEveryValueWhateverIsChecked)
{
    PutSetting(u"status", 1);
    PutSetting(u"tcpnodelay", 0);
    PutSetting(u"systemresponsivess", 0);
    Reg.PutDword(reg::kLocalMachine, kInterfaceKey, u"TcpAckFrequency", 1);
    Reg.PutDword(reg::kLocalMachine, kInterfaceKey, u"TcpDelAckTicks", 0);
    Reg.PutDword(reg::kLocalMachine, kInterfaceKey, u"TCPNoDelay", 1);
    Reg.PutDword(reg::kLocalMachine, u"SOFTWARE\\Microsoft\\MSMQ\\Parameters", u"TCPNoDelay", 1);
    Reg.PutDword(reg::kLocalMachine, kInterfaceKey, u"Other", 7);
    Create();
    ASSERT_EQ(Form->Status(), stRunning);

    Form->BtnStartClick(Form->BtnStart);

    EXPECT_EQ(MachineValues(), Sorted({Row(kIf, "Other", "07000000"),
                                       Row(kSp, "NetworkThrottlingIndex", "0a000000"),
                                       Row(kSp, "SystemResponsiveness", "14000000")}));
    EXPECT_EQ(Form->Status(), stIdle);
    EXPECT_EQ(Setting(u"status"), 0u);
    EXPECT_EQ(Form->BtnStart->Caption(), u"Run");
    EXPECT_FALSE(Form->BtnStart->Down());
}

TEST_F(ControllerTest, StopWithoutAdapterStillRunsOnTheBarePrefix)
{
    PutSetting(u"status", 1);
    Network.Adapter.reset();
    Create();
    ASSERT_TRUE(Form->NetworkGUID.empty());

    Form->BtnStartClick(Form->BtnStart);

    EXPECT_EQ(MachineOpens()[0],
              u"system\\currentcontrolset\\services\\tcpip\\parameters\\interfaces");
    EXPECT_EQ(Network.EnableCalls,
              (std::vector<TFakeNetwork::EnableCall>{{u"", false}, {u"", true}}));
    EXPECT_TRUE(Shell.Boxes.empty());
    EXPECT_EQ(Form->Status(), stIdle);
}

TEST_F(ControllerTest, RunWithoutAdapterShowsTheErrorBoxAndStaysIdle)
{
    struct Case {
        std::u16string Language;
        std::u16string Text;
    } cases[] = {
        {u"en", u"There are no active networks."},
        {u"ko", u"활성중인 네트워크가 없습니다."},
        {u"ru", u"Нет активных сетей."},
    };
    for (const auto& c : cases) {
        SetLanguage(c.Language);
        Reg = TMemoryRegistry();
        Shell.Boxes.clear();
        Network.Adapter.reset();
        Create();
        Reg.PutDword(reg::kCurrentUser, kSettingsKey, u"status", 7);  // to see it stored again

        Form->BtnStartClick(Form->BtnStart);

        ASSERT_EQ(Shell.Boxes.size(), 1u);
        EXPECT_EQ(Shell.Boxes[0].Text, c.Text);
        EXPECT_EQ(Shell.Boxes[0].Caption, Form->Caption());
        EXPECT_EQ(Shell.Boxes[0].Flags, 0x50010u);
        EXPECT_EQ(Form->Status(), stIdle);
        EXPECT_EQ(Setting(u"status"), 0u);
        EXPECT_TRUE(MachineValues().empty());
        EXPECT_TRUE(Network.EnableCalls.empty());
        EXPECT_TRUE(Threads.Pending.empty());
    }
}

TEST_F(ControllerTest, BusyWhileTheWorkerWaits)
{
    Threads.Deferred = true;
    Create();
    Form->BtnStartClick(Form->BtnStart);

    // Both adapter calls have run on the calling thread; the worker has not started probing.
    EXPECT_EQ(Network.EnableCalls.size(), 2u);
    EXPECT_EQ(Network.Probes, 0);
    ASSERT_EQ(Threads.Pending.size(), 1u);
    EXPECT_EQ(Form->Status(), stBusy);
    EXPECT_TRUE(Form->Indicator->Visible());
    EXPECT_TRUE(Form->Indicator->Animate());
    EXPECT_EQ(Form->BtnStart->Caption(), u"");
    // Without a caption the button is named for screen readers, as is the indicator.
    EXPECT_EQ(Form->BtnStart->AccessibleName(), u"Restarting the network connection");
    EXPECT_EQ(Form->Indicator->AccessibleName(), u"Restarting the network connection");
    EXPECT_FALSE(Form->BtnStart->Enabled());
    EXPECT_FALSE(Form->BtnStart->Down());
    for (TCheckBox* box : Boxes()) EXPECT_FALSE(box->Enabled()) << Utf16ToUtf8(box->Name());
    EXPECT_EQ(Setting(u"status"), 0u);  // busy is never stored

    // A click while busy does nothing.
    Form->BtnStartClick(Form->BtnStart);
    EXPECT_EQ(Threads.Pending.size(), 1u);
    EXPECT_EQ(Network.EnableCalls.size(), 2u);

    Threads.RunPending();
    EXPECT_EQ(Form->Status(), stRunning);
    EXPECT_FALSE(Form->Indicator->Visible());
    EXPECT_FALSE(Form->Indicator->Animate());
    EXPECT_EQ(Form->BtnStart->Caption(), u"Running");
    EXPECT_EQ(Form->BtnStart->AccessibleName(), u"");  // named by its caption again
    EXPECT_TRUE(Form->BtnStart->Enabled());
    EXPECT_TRUE(Form->BtnStart->Down());
    for (TCheckBox* box : Boxes()) EXPECT_FALSE(box->Enabled()) << Utf16ToUtf8(box->Name());
    EXPECT_EQ(Setting(u"status"), 1u);
    EXPECT_EQ(Threads.Synchronized, 1);
}

TEST_F(ControllerTest, ProbesUntilAnswerAtMostThreeHundredTimes)
{
    struct Case {
        int SucceedsAt;
        int Probes;
        std::size_t Sleeps;
    } cases[] = {
        {1, 1, 0},      // at once: no sleep
        {5, 5, 4},      // a sleep after each failure only
        {300, 300, 299},
        {0, 300, 300},  // never: the sleep follows the last failure too
        {301, 300, 300},
    };
    for (const auto& c : cases) {
        Reg = TMemoryRegistry();
        Create();
        Network.ProbeSucceedsAt = c.SucceedsAt;
        Network.Probes = 0;
        Threads.Sleeps.clear();
        Threads.Synchronized = 0;

        Form->BtnStartClick(Form->BtnStart);

        EXPECT_EQ(Network.Probes, c.Probes) << c.SucceedsAt;
        EXPECT_EQ(Threads.Sleeps, std::vector<unsigned>(c.Sleeps, 1000u)) << c.SucceedsAt;
        EXPECT_EQ(Threads.Synchronized, 1) << c.SucceedsAt;
        EXPECT_EQ(Form->Status(), stRunning) << c.SucceedsAt;  // answered or not
    }
}

TEST_F(ControllerTest, AFailedRestartStillWaitsAndSettles)
{
    Network.EnableResult = false;
    Create();
    Form->BtnStartClick(Form->BtnStart);
    EXPECT_EQ(Network.Probes, 1);
    EXPECT_EQ(Form->Status(), stRunning);
    EXPECT_TRUE(Shell.Boxes.empty());
}

// The window goes while the worker waits: the worker's hand-off finds no window, and nothing
// is applied or stored. Under the address sanitizer a touch of the freed window would fail.
TEST_F(ControllerTest, WindowGoneWhileTheWorkerWaits)
{
    for (const bool destroyObject : {false, true}) {
        Reg = TMemoryRegistry();
        Threads.Deferred = true;
        Threads.Pending.clear();
        Create();
        Form->BtnStartClick(Form->BtnStart);
        ASSERT_EQ(Threads.Pending.size(), 1u);

        if (destroyObject) Form.reset();
        else Form->Perform(0x0002 /* WM_DESTROY */, 0, 0);
        Threads.RunPending();

        EXPECT_EQ(Setting(u"status"), 0u) << destroyObject;
        if (!destroyObject) {
            EXPECT_EQ(Form->Status(), stBusy);
        }
    }
}

TEST_F(ControllerTest, EachBoxStoresItsOwnKeyInAFreshStore)
{
    struct Case {
        TCheckBox* TFrmTavrino::*Box;
        const char16_t* Key;
    } cases[] = {
        {&TFrmTavrino::ChkTCPAckFrequency, u"tcpackfrequency"},
        {&TFrmTavrino::ChkTcpDelAckTick, u"tcpdelacktick"},
        {&TFrmTavrino::ChkTcpNoDelay, u"tcpnodelay"},
        {&TFrmTavrino::ChkNetworkThrottlingIndex, u"networkthrottleindex"},
        {&TFrmTavrino::ChkSystemResponsiveness, u"systemresponsivess"},
    };
    Create();
    const auto before = Reg.Dump();
    for (const auto& c : cases) {
        TCheckBox* box = (*Form).*c.Box;
        const std::size_t opens = SettingsOpens();
        box->Click();  // the user unchecks it
        EXPECT_EQ(Setting(c.Key), 0u) << Utf16ToUtf8(c.Key);
        EXPECT_EQ(SettingsOpens(), opens + 1) << Utf16ToUtf8(c.Key);
        box->Click();
        EXPECT_EQ(Setting(c.Key), 1u) << Utf16ToUtf8(c.Key);
    }
    EXPECT_EQ(Reg.OpenHandles(), 0u);
    EXPECT_EQ(Reg.Dump(), before);  // nothing but the five keys, back where they were
    EXPECT_TRUE(MachineValues().empty());  // a box never touches the tweaks
}

TEST_F(ControllerTest, UncheckedBoxesStayUnwrittenAcrossRunAndStop)
{
    Create();
    Form->ChkTCPAckFrequency->Click();
    Form->BtnStartClick(Form->BtnStart);  // Run
    EXPECT_FALSE(Reg.Get(reg::kLocalMachine, kInterfaceKey, u"TcpAckFrequency").has_value());
    EXPECT_TRUE(Reg.Get(reg::kLocalMachine, kInterfaceKey, u"TcpDelAckTicks").has_value());
    Form->BtnStartClick(Form->BtnStart);  // Stop
    EXPECT_FALSE(Reg.Get(reg::kLocalMachine, kInterfaceKey, u"TcpDelAckTicks").has_value());
    EXPECT_EQ(Form->Status(), stIdle);
    for (TCheckBox* box : Boxes()) EXPECT_TRUE(box->Enabled()) << Utf16ToUtf8(box->Name());
}

}  // namespace
