// The tweak controller: what Run writes for the check-box choices, what Stop undoes, the
// adapter restart and the probing worker, the status shown and stored, the error box.
#include <algorithm>
#include <optional>

#include "common/Config.h"
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
        for (std::size_t i = 0; i < 5; ++i) Check(Boxes()[i], c.Checked[i]);

        ClickRun();

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

    ClickRun();

    EXPECT_EQ(MachineValues(), Sorted({Row(kIf, "Other", "07000000"),
                                       Row(kSp, "NetworkThrottlingIndex", "0a000000"),
                                       Row(kSp, "SystemResponsiveness", "14000000")}));
    EXPECT_EQ(Form->Status(), stIdle);
    EXPECT_EQ(Setting(u"status"), 0u);
    EXPECT_EQ(Window->RunText, u"Run");
    EXPECT_NE(Window->RunLook, TRunLook::Running);
}

// Run remembers the adapter it wrote to, before it writes, beside the other settings.
TEST_F(ControllerTest, RunRemembersTheAdapterItWritesTo)
{
    Create();
    ClickRun();
    const auto stored = Reg.Get(reg::kCurrentUser, kSettingsKey, u"networkguid");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->Type, reg::kTypeSz);
    const std::u16string guid = u"{0A1B2C3D-0000-4000-8000-00000000ABCD}";
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : guid + u'\0') {
        bytes.push_back(static_cast<std::uint8_t>(unit));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    EXPECT_EQ(stored->Data, bytes);
    // The settings key is opened for it before the first tweak key.
    const auto& opens = Reg.Opens();
    const auto remembered = std::find_if(opens.begin(), opens.end(), [](const auto& open) {
        return open.Root == reg::kCurrentUser && open.Path == u"software\\tavrino";
    });
    const auto firstTweak = std::find_if(opens.begin(), opens.end(), [](const auto& open) {
        return open.Root == reg::kLocalMachine;
    });
    ASSERT_NE(remembered, opens.end());
    EXPECT_LT(remembered - opens.begin(), firstTweak - opens.begin());
}

// Stop undoes the adapter Run wrote to as well as the current one, and forgets it; an
// adapter that is gone (no key) gets no key made for it; a stored value that is no GUID, or
// of another type, counts as none.
TEST_F(ControllerTest, StopAlsoUndoesTheRememberedAdapter)
{
    const std::u16string oldGuid = u"{99999999-0000-4000-8000-00000000EEEE}";
    const std::u16string oldKey =
        u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + oldGuid;
    const std::u16string parent = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
    struct Case {
        const char* Name;
        std::optional<std::u16string> Remembered;  // none: no value stored
        std::uint32_t Type;
        bool OldKeyExists;
        bool CurrentAdapter;
        bool OldUndone;  // the old adapter's values deleted
    } cases[] = {
        {"another adapter", oldGuid, reg::kTypeSz, true, true, true},
        {"in other letter case", AsciiLower(oldGuid), reg::kTypeSz, true, true, true},
        {"no adapter at this start", oldGuid, reg::kTypeSz, true, false, true},
        {"adapter gone", oldGuid, reg::kTypeSz, false, true, false},
        {"nothing remembered", std::nullopt, reg::kTypeSz, true, true, false},
        {"not a GUID", u"{99999999-0000-4000-8000-00000000EEEE}\\..", reg::kTypeSz, true, true, false},
        {"a path", u"..\\..\\Other", reg::kTypeSz, true, true, false},
        {"empty", u"", reg::kTypeSz, true, true, false},
        {"of another type", std::nullopt, reg::kTypeDword, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Reg = TMemoryRegistry();
        Network.Adapter = c.CurrentAdapter ? TFakeNetwork().Adapter : std::nullopt;
        Network.EnableCalls.clear();
        PutSetting(u"status", 1);
        if (c.Remembered) Reg.PutString(reg::kCurrentUser, kSettingsKey, u"networkguid", *c.Remembered);
        if (c.Type == reg::kTypeDword) PutSetting(u"networkguid", 7);
        if (c.OldKeyExists) {
            for (const char16_t* value : {u"TcpAckFrequency", u"TcpDelAckTicks", u"TCPNoDelay"})
                Reg.PutDword(reg::kLocalMachine, oldKey, value, 1);
            Reg.PutDword(reg::kLocalMachine, oldKey, u"Other", 7);
        }
        Reg.PutDword(reg::kLocalMachine, kInterfaceKey, u"TcpAckFrequency", 1);
        Create();

        ClickRun();  // Stop

        EXPECT_EQ(Form->Status(), stIdle);
        EXPECT_FALSE(Reg.Get(reg::kCurrentUser, kSettingsKey, u"networkguid").has_value());
        if (c.CurrentAdapter) {
            EXPECT_FALSE(Reg.Get(reg::kLocalMachine, kInterfaceKey, u"TcpAckFrequency").has_value());
        }
        if (c.OldKeyExists) {
            for (const char16_t* value : {u"TcpAckFrequency", u"TcpDelAckTicks", u"TCPNoDelay"})
                EXPECT_EQ(Reg.Get(reg::kLocalMachine, oldKey, value).has_value(), !c.OldUndone)
                    << Utf16ToUtf8(value);
            EXPECT_EQ(Reg.GetDword(reg::kLocalMachine, oldKey, u"Other"), 7u);
        } else {
            EXPECT_FALSE(Reg.KeyExists(reg::kLocalMachine, oldKey));
        }
        // Never a key below the adapters' parent other than theirs.
        for (const auto& open : Reg.Opens()) {
            if (open.Root == reg::kLocalMachine && StartsWith(open.Path, AsciiLower(parent))) {
                EXPECT_TRUE(StartsWith(open.Path, AsciiLower(parent) + u"\\interfaces"))
                    << Utf16ToUtf8(open.Path);
            }
        }
        // The adapter restarted is the current one only.
        const std::u16string current = c.CurrentAdapter ? TFakeNetwork().Adapter->GUID : u"";
        EXPECT_EQ(Network.EnableCalls,
                  (std::vector<TFakeNetwork::EnableCall>{{current, false}, {current, true}}));
    }
}

// Run on one adapter, Stop after the PC moved to another: both come back clean, and a
// later Stop without a Run has nothing more to undo there.
TEST_F(ControllerTest, RunOnOneAdapterStopOnAnother)
{
    Create();
    ClickRun();  // Run on the first adapter
    ASSERT_TRUE(Reg.Get(reg::kLocalMachine, kInterfaceKey, u"TcpAckFrequency").has_value());

    Network.Adapter = TNetworkInfo{u"Wi-Fi", u"{12345678-AAAA-BBBB-CCCC-1234567890AB}", u"10.0.0.9"};
    Create();  // the next start finds the other adapter
    ASSERT_EQ(Form->Status(), stRunning);
    ClickRun();  // Stop

    for (const char16_t* value : {u"TcpAckFrequency", u"TcpDelAckTicks", u"TCPNoDelay"})
        EXPECT_FALSE(Reg.Get(reg::kLocalMachine, kInterfaceKey, value).has_value())
            << Utf16ToUtf8(value);
    EXPECT_FALSE(Reg.Get(reg::kCurrentUser, kSettingsKey, u"networkguid").has_value());
}

// The store follows the registry, not the window: right after Run has written (or Stop has
// undone) the values it says so, while the window still waits for the internet. A window
// closed during that wait then opens on another adapter as running, and its Stop undoes the
// adapter that Run wrote to.
TEST_F(ControllerTest, ClosedDuringTheWaitTheStoreSaysWhatTheRegistryHolds)
{
    const std::u16string otherGuid = u"{12345678-AAAA-BBBB-CCCC-1234567890AB}";
    Threads.Deferred = true;
    Create();
    ClickRun();  // Run on the first adapter
    ASSERT_EQ(Form->Status(), stBusy);
    EXPECT_EQ(Setting(u"status"), 1u);
    Form.reset();  // closed during the wait
    Threads.RunPending();

    Network.Adapter = TNetworkInfo{u"Wi-Fi", otherGuid, u"10.0.0.9"};
    Create();
    ASSERT_EQ(Form->Status(), stRunning);
    ClickRun();  // Stop on the other adapter
    ASSERT_EQ(Form->Status(), stBusy);
    EXPECT_EQ(Setting(u"status"), 0u);
    EXPECT_FALSE(Reg.Get(reg::kLocalMachine, kInterfaceKey, u"TcpAckFrequency").has_value());
    EXPECT_FALSE(Reg.Get(reg::kCurrentUser, kSettingsKey, u"networkguid").has_value());
    Form.reset();  // closed during this wait too
    Threads.RunPending();

    Create();
    EXPECT_EQ(Form->Status(), stIdle);
}

// A Run that wrote but never stored its status (a PC that went down at that moment) left
// values under an adapter that is remembered, and the window shows Run. A Run on another
// adapter undoes them before it remembers its own; a Stop there leaves nothing behind.
TEST_F(ControllerTest, ARunOnAnotherAdapterUndoesWhatAnEarlierRunLeft)
{
    const std::u16string otherGuid = u"{12345678-AAAA-BBBB-CCCC-1234567890AB}";
    Reg.PutString(reg::kCurrentUser, kSettingsKey, u"networkguid",
                  u"{0A1B2C3D-0000-4000-8000-00000000ABCD}");
    PutSetting(u"status", 0);
    for (const char16_t* value : {u"TcpAckFrequency", u"TcpDelAckTicks", u"TCPNoDelay"})
        Reg.PutDword(reg::kLocalMachine, kInterfaceKey, value, 1);
    Network.Adapter = TNetworkInfo{u"Wi-Fi", otherGuid, u"10.0.0.9"};
    Create();
    ASSERT_EQ(Form->Status(), stIdle);

    ClickRun();  // Run
    EXPECT_EQ(TConfig(Reg, u"Tavrino").ReadString(u"networkguid", u""), otherGuid);
    ClickRun();  // Stop

    for (const char16_t* value : {u"TcpAckFrequency", u"TcpDelAckTicks", u"TCPNoDelay"})
        EXPECT_FALSE(Reg.Get(reg::kLocalMachine, kInterfaceKey, value).has_value())
            << Utf16ToUtf8(value);
    EXPECT_TRUE(Reg.KeyExists(reg::kLocalMachine, kInterfaceKey));
    EXPECT_EQ(Form->Status(), stIdle);
}

TEST_F(ControllerTest, StopWithoutAdapterStillRunsOnTheBarePrefix)
{
    PutSetting(u"status", 1);
    Network.Adapter.reset();
    Create();
    ASSERT_TRUE(Form->NetworkGUID.empty());

    ClickRun();

    EXPECT_EQ(MachineOpens()[0],
              u"system\\currentcontrolset\\services\\tcpip\\parameters\\interfaces");
    EXPECT_EQ(Network.EnableCalls,
              (std::vector<TFakeNetwork::EnableCall>{{u"", false}, {u"", true}}));
    EXPECT_TRUE(Shell.Boxes.empty());
    EXPECT_EQ(Form->Status(), stIdle);
}

TEST_F(ControllerTest, RunWithoutAdapterShowsTheErrorBoxAndStoresNothing)
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
        Reg.PutDword(reg::kCurrentUser, kSettingsKey, u"status", 7);  // to see it kept
        const auto before = Reg.Dump();

        ClickRun();

        ASSERT_EQ(Shell.Boxes.size(), 1u);
        EXPECT_EQ(Shell.Boxes[0].Text, c.Text);
        EXPECT_EQ(Shell.Boxes[0].Caption, Window->Caption());
        EXPECT_EQ(Shell.Boxes[0].Flags, 0x50010u);
        EXPECT_EQ(Form->Status(), stIdle);
        EXPECT_EQ(Window->RunText, TranslateText(u"실행하기"));
        EXPECT_EQ(Reg.Dump(), before);  // the box stores nothing
        EXPECT_TRUE(MachineValues().empty());
        EXPECT_TRUE(Network.EnableCalls.empty());
        EXPECT_TRUE(Threads.Pending.empty());
    }
}

TEST_F(ControllerTest, BusyWhileTheWorkerWaits)
{
    Threads.Deferred = true;
    Create();
    ClickRun();

    // Both adapter calls have run on the calling thread; the worker has not started probing.
    EXPECT_EQ(Network.EnableCalls.size(), 2u);
    EXPECT_EQ(Network.Probes, 0);
    ASSERT_EQ(Threads.Pending.size(), 1u);
    EXPECT_EQ(Form->Status(), stBusy);
    // Without a caption: the button and the indicator are named for screen readers.
    EXPECT_EQ(Window->RunLook, TRunLook::Busy);
    EXPECT_EQ(Window->RunText, u"Restarting the network connection");
    for (const std::u16string& box : Boxes()) EXPECT_FALSE(Enabled(box)) << Utf16ToUtf8(box);
    // The values are written: the store says so already; busy itself is never stored.
    EXPECT_EQ(Setting(u"status"), 1u);

    // A click while busy does nothing.
    ClickRun();
    EXPECT_EQ(Threads.Pending.size(), 1u);
    EXPECT_EQ(Network.EnableCalls.size(), 2u);

    Threads.RunPending();
    EXPECT_EQ(Form->Status(), stRunning);
    EXPECT_EQ(Window->RunLook, TRunLook::Running);
    EXPECT_EQ(Window->RunText, u"Running");
    for (const std::u16string& box : Boxes()) EXPECT_FALSE(Enabled(box)) << Utf16ToUtf8(box);
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

        ClickRun();

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
    ClickRun();
    // A connection that could not be taken down is not asked again to come up.
    EXPECT_EQ(Network.EnableCalls.size(), 2u);
    EXPECT_TRUE(Threads.Sleeps.empty());
    EXPECT_EQ(Network.Probes, 1);
    EXPECT_EQ(Form->Status(), stRunning);
    EXPECT_TRUE(Shell.Boxes.empty());
}

// The connection went down but does not come up: Connect is asked again, a few times some
// seconds apart, before the wait for the internet begins; never after it came up.
TEST_F(ControllerTest, AConnectionThatDoesNotComeBackIsAskedAgain)
{
    const std::u16string guid = u"{0A1B2C3D-0000-4000-8000-00000000ABCD}";
    struct Case {
        int ConnectFailsFirst;
        std::size_t Connects;  // the first one included
    } cases[] = {
        {0, 1}, {1, 2}, {3, 4}, {5, 6},
        {6, 6}, {100, 6},  // given up after five more tries; the wait follows all the same
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ConnectFailsFirst);
        Threads = TInlineThreads();
        Reg = TMemoryRegistry();
        Network.EnableCalls.clear();
        Network.Connects = 0;
        Network.Probes = 0;
        Network.ConnectFailsFirst = c.ConnectFailsFirst;
        Create();
        ClickRun();

        std::vector<TFakeNetwork::EnableCall> expected = {{guid, false}};
        expected.insert(expected.end(), c.Connects, {guid, true});
        EXPECT_EQ(Network.EnableCalls, expected);
        // Two seconds before each further try, then one probe that answers at once.
        EXPECT_EQ(Threads.Sleeps, std::vector<unsigned>(c.Connects - 1, 2000u));
        EXPECT_EQ(Network.Probes, 1);
        EXPECT_EQ(Form->Status(), stRunning);
        EXPECT_TRUE(Shell.Boxes.empty());
    }
}

// Disconnect and the first Connect stay on the UI thread, one after the other; the further
// tries are the worker's, before its first probe.
TEST_F(ControllerTest, FurtherConnectsRunOnTheWorkerBeforeTheProbes)
{
    Network.ConnectFailsFirst = 2;
    Threads.Deferred = true;
    Create();
    ClickRun();
    EXPECT_EQ(Network.EnableCalls.size(), 2u);
    EXPECT_EQ(Form->Status(), stBusy);

    Network.DuringProbe = [this] { EXPECT_EQ(Network.EnableCalls.size(), 4u); };
    Threads.RunPending();
    EXPECT_EQ(Network.EnableCalls.size(), 4u);
    EXPECT_EQ(Network.Probes, 1);
    EXPECT_EQ(Form->Status(), stRunning);
}

// The further Connects count within the ten minutes of the wait: Connects that take minutes
// each end the wait without a probe, and the window settles with the no-answer box.
TEST_F(ControllerTest, FurtherConnectsCountWithinTheTenMinuteBound)
{
    Network.ConnectFailsFirst = 100;
    Network.DuringConnect = [this] { Threads.Clock += 3 * 60 * 1000; };
    Create();
    ClickRun();

    // The first Connect ends at 3:00, the further ones at 6:02, 9:04 and 12:06; none after.
    EXPECT_EQ(Network.Connects, 4);
    EXPECT_EQ(Network.Probes, 0);
    EXPECT_EQ(Form->Status(), stRunning);
    EXPECT_EQ(Shell.Boxes.size(), 1u);
}

// A close (or the end of the session) while the connection this program took down is not
// known to be up asks Connect once more, and waits for it five seconds at most; a connection
// that came up, or that was never taken down, is left alone.
TEST_F(ControllerTest, ACloseBringsAConnectionStillDownUpOnce)
{
    const std::u16string guid = u"{0A1B2C3D-0000-4000-8000-00000000ABCD}";
    struct Case {
        const char* Name;
        int ConnectFailsFirst;
        bool DisconnectWorks;
        bool WorkerRan;         // the refresh worker ended before the close
        bool CloseConnectHangs;
        int CloseConnects;      // Connects asked by the close
        std::vector<unsigned> Waits;  // waits that ran their full time
    } cases[] = {
        {"up at once", 0, true, false, false, 0, {}},
        {"never taken down", 0, false, false, false, 0, {}},
        {"up on a further try", 2, true, true, false, 0, {}},
        {"closed during the further tries", 100, true, false, false, 1, {}},
        {"still down after the wait", 100, true, true, false, 1, {}},
        {"the last Connect hangs", 100, true, false, true, 0, {5000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Reg = TMemoryRegistry();
        Threads = TInlineThreads();
        Shell.Boxes.clear();
        Network.EnableCalls.clear();
        Network.Connects = 0;
        Network.ConnectFailsFirst = c.ConnectFailsFirst;
        Network.EnableResult = c.DisconnectWorks;
        Threads.Deferred = true;
        Create();
        ClickRun();
        if (c.WorkerRan) Threads.RunPending();
        // Every later Connect succeeds; the close's worker runs at once unless it hangs.
        Network.EnableResult = true;
        Network.ConnectFailsFirst = 0;
        Network.Connects = 0;
        Threads.Deferred = c.CloseConnectHangs;
        const std::size_t before = Network.EnableCalls.size();

        Form->Ending();  // destroyed, or the session ends

        const std::vector<TFakeNetwork::EnableCall> asked(Network.EnableCalls.begin() + before,
                                                          Network.EnableCalls.end());
        EXPECT_EQ(asked, std::vector<TFakeNetwork::EnableCall>(c.CloseConnects, {guid, true}));
        EXPECT_EQ(Threads.Waits, c.Waits);
        if (c.CloseConnectHangs) {
            EXPECT_EQ(Threads.Pending.size(), 2u);  // the refresh worker and the close's
        }
    }
}

// No probe answered: the window still settles in the status asked for, stores it, and then
// shows one error box in the user's language; an answer at the last moment shows none.
TEST_F(ControllerTest, NoAnswerSettlesThenShowsOneErrorBox)
{
    struct Case {
        std::u16string Language;
        int SucceedsAt;
        bool Run;  // Run, else Stop
        const char16_t* Text;  // null: no box
    } cases[] = {
        {u"en", 0, true,
         u"The internet did not answer after the network adapter was restarted. Check the "
         u"adapter in the Windows network settings."},
        {u"en", 0, false,
         u"The internet did not answer after the network adapter was restarted. Check the "
         u"adapter in the Windows network settings."},
        {u"ko", 0, true,
         u"네트워크 어댑터를 다시 시작한 뒤에도 인터넷이 응답하지 않았습니다. Windows 네트워크 "
         u"설정에서 어댑터를 확인해 주세요."},
        {u"fr", 0, true,
         u"Internet n'a pas répondu après le redémarrage de la carte réseau. Vérifiez la carte "
         u"dans les paramètres réseau de Windows."},
        {u"en", 300, true, nullptr},
        {u"en", 300, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.Language) + " " + std::to_string(c.SucceedsAt) +
                     (c.Run ? " Run" : " Stop"));
        SetLanguage(c.Language);
        Reg = TMemoryRegistry();
        Shell.Boxes.clear();
        PutSetting(u"status", c.Run ? 0 : 1);
        Create();
        Network.ProbeSucceedsAt = c.SucceedsAt;
        Network.Probes = 0;
        // The box comes after the status is applied and stored.
        Shell.OnBox = [this, c] {
            EXPECT_EQ(Form->Status(), c.Run ? stRunning : stIdle);
            EXPECT_EQ(Setting(u"status"), c.Run ? 1u : 0u);
            EXPECT_NE(Window->RunLook, TRunLook::Busy);
        };

        ClickRun();

        EXPECT_EQ(Network.Probes, 300);
        EXPECT_EQ(Form->Status(), c.Run ? stRunning : stIdle);
        EXPECT_EQ(Setting(u"status"), c.Run ? 1u : 0u);
        if (!c.Text) {
            EXPECT_TRUE(Shell.Boxes.empty());
            continue;
        }
        ASSERT_EQ(Shell.Boxes.size(), 1u);
        EXPECT_EQ(Shell.Boxes[0].Text, c.Text);
        EXPECT_EQ(Shell.Boxes[0].Caption, Window->Caption());
        EXPECT_EQ(Shell.Boxes[0].Flags, 0x50010u);
    }
}

// The box comes late (up to ten minutes after Run): over the window when it is the one in
// front, else not over what the user does now: the taskbar button flashes, and the box shows
// once, when the window is next activated. Its text says that an adapter was restarted only
// when one was.
TEST_F(ControllerTest, LateNoAnswerBoxWaitsForTheWindowAndTellsWhetherAnAdapterRestarted)
{
    const std::u16string restarted =
        u"The internet did not answer after the network adapter was restarted. Check the "
        u"adapter in the Windows network settings.";
    const std::u16string noAdapter =
        u"The network adapter could not be restarted, and the internet did not answer. Check the "
        u"adapter in the Windows network settings.";
    struct Case {
        const char* Name;
        bool Run;  // Run, else Stop
        bool Foreground;
        bool AdapterFound;
        const std::u16string& Text;
    } cases[] = {
        {"RunInFront", true, true, true, restarted},
        {"StopInFront", false, true, true, restarted},
        {"RunBehindAGame", true, false, true, restarted},
        {"StopBehindAGame", false, false, true, restarted},
        {"StopNoAdapterInFront", false, true, false, noAdapter},
        {"StopNoAdapterBehind", false, false, false, noAdapter},
        {"RunNoAdapterInFront", true, true, false, noAdapter},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Reg = TMemoryRegistry();
        Shell = TFakeShell();
        PutSetting(u"status", c.Run ? 0 : 1);
        Create();
        Network.ProbeSucceedsAt = 0;
        Network.EnableResult = c.AdapterFound;
        Shell.Foreground = c.Foreground;

        ClickRun();

        EXPECT_EQ(Form->Status(), c.Run ? stRunning : stIdle);
        if (c.Foreground) {
            EXPECT_EQ(Shell.Flashes, 0);
            ASSERT_EQ(Shell.Boxes.size(), 1u);
        } else {
            EXPECT_EQ(Shell.Flashes, 1) << "the taskbar button asks for attention";
            EXPECT_TRUE(Shell.Boxes.empty()) << "no box over the window in front";
            Shell.Foreground = true;
            Form->Activated();
            ASSERT_EQ(Shell.Boxes.size(), 1u) << "the box shows once the window is activated";
        }
        EXPECT_EQ(Shell.Boxes[0].Text, c.Text);
        EXPECT_EQ(Shell.Boxes[0].Caption, Window->Caption());
        Form->Activated();  // later: nothing more
        EXPECT_EQ(Shell.Boxes.size(), 1u);
        Network.EnableResult = true;
    }
}

// Slow probes: the whole wait ends after ten minutes, with the probe under way the last one,
// whatever is left of the three hundred attempts.
TEST_F(ControllerTest, TheWaitEndsAfterTenMinutesWhateverSingleProbesTake)
{
    struct Case {
        std::uint64_t ProbeTime;
        int Probes;
    } cases[] = {
        {0, 300},          // fast failures: 300 s of sleep in all
        {1000, 300},       // 300 probes of 1 s and 300 s of sleep: exactly the limit
        {59000, 10},       // 60 s an attempt: the tenth ends at the limit
        {120000, 5},
        {3600000, 1},      // one probe that takes an hour
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ProbeTime);
        Reg = TMemoryRegistry();
        Shell.Boxes.clear();
        Threads.Clock = 0;
        Create();
        Network.ProbeSucceedsAt = 0;
        Network.Probes = 0;
        Network.DuringProbe = [this, time = c.ProbeTime] { Threads.Clock += time; };

        ClickRun();

        EXPECT_EQ(Network.Probes, c.Probes);
        EXPECT_EQ(Form->Status(), stRunning);
        EXPECT_EQ(Shell.Boxes.size(), 1u);
    }
}

// A probe that never returns (its worker never runs here): the wait gives up at ten minutes
// on its own, settles and says so; the probe that returns later changes nothing.
TEST_F(ControllerTest, AProbeThatNeverReturnsDoesNotHoldTheWindow)
{
    Threads.DeferNested = true;
    Create();
    ClickRun();

    EXPECT_EQ(Network.Probes, 0);
    ASSERT_EQ(Threads.Pending.size(), 1u);
    EXPECT_GE(Threads.Clock, 600000u);
    EXPECT_LE(Threads.Clock, 600100u);
    // One wait on the probing's end for the whole time: nothing wakes to look meanwhile.
    EXPECT_EQ(Threads.Waits, std::vector<unsigned>{600000u});
    EXPECT_TRUE(Threads.Sleeps.empty());
    EXPECT_EQ(Form->Status(), stRunning);
    EXPECT_EQ(Setting(u"status"), 1u);
    EXPECT_EQ(Shell.Boxes.size(), 1u);
    EXPECT_EQ(Threads.Synchronized, 1);

    // The probe returns at last, and stops at once.
    Threads.RunPending();
    EXPECT_EQ(Network.Probes, 0);
    EXPECT_EQ(Threads.Synchronized, 1);
    EXPECT_EQ(Shell.Boxes.size(), 1u);
}

// A hand-off to the UI thread that fails is tried again until it runs: the window never
// stays busy; once the window is gone the worker stops trying.
TEST_F(ControllerTest, AFailedHandOffIsTriedAgainUntilTheWindowSettles)
{
    Threads.FailHandOffs = 3;
    Create();
    ClickRun();
    EXPECT_EQ(Threads.FailedHandOffs, 3);
    EXPECT_EQ(Threads.Synchronized, 1);
    EXPECT_EQ(Threads.Sleeps, std::vector<unsigned>(3, 1000u));
    EXPECT_EQ(Form->Status(), stRunning);
    EXPECT_EQ(Setting(u"status"), 1u);

    // The window goes while the hand-offs fail: the worker ends.
    Threads = TInlineThreads();
    Threads.Deferred = true;
    Threads.FailHandOffs = 1000000;
    ClickRun();  // Stop
    Form.reset();
    Threads.RunPending();
    EXPECT_EQ(Threads.FailedHandOffs, 1);
    EXPECT_EQ(Threads.Synchronized, 0);
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
        ClickRun();
        ASSERT_EQ(Threads.Pending.size(), 1u);

        if (destroyObject) Form.reset();
        else Form->Ending();  // the window is destroyed
        Threads.RunPending();

        // What Run wrote stays stored; the settled status is never applied.
        EXPECT_EQ(Setting(u"status"), 1u) << destroyObject;
        if (!destroyObject) {
            EXPECT_EQ(Form->Status(), stBusy);
        }
    }
}

TEST_F(ControllerTest, EachBoxStoresItsOwnKeyInAFreshStore)
{
    struct Case {
        const char16_t* Box;
        const char16_t* Key;
    } cases[] = {
        {u"ChkTCPAckFrequency", u"tcpackfrequency"},
        {u"ChkTcpDelAckTick", u"tcpdelacktick"},
        {u"ChkTcpNoDelay", u"tcpnodelay"},
        {u"ChkNetworkThrottlingIndex", u"networkthrottleindex"},
        {u"ChkSystemResponsiveness", u"systemresponsivess"},
    };
    Create();
    const auto before = Reg.Dump();
    for (const auto& c : cases) {
        const std::u16string box = c.Box;
        const std::size_t opens = SettingsOpens();
        Window->ClickBox(box, box + u"Click");  // the user unchecks it
        EXPECT_EQ(Setting(c.Key), 0u) << Utf16ToUtf8(c.Key);
        EXPECT_EQ(SettingsOpens(), opens + 1) << Utf16ToUtf8(c.Key);
        Window->ClickBox(box, box + u"Click");
        EXPECT_EQ(Setting(c.Key), 1u) << Utf16ToUtf8(c.Key);
    }
    EXPECT_EQ(Reg.OpenHandles(), 0u);
    EXPECT_EQ(Reg.Dump(), before);  // nothing but the five keys, back where they were
    EXPECT_TRUE(MachineValues().empty());  // a box never touches the tweaks
}

TEST_F(ControllerTest, UncheckedBoxesStayUnwrittenAcrossRunAndStop)
{
    Create();
    Window->ClickBox(u"ChkTCPAckFrequency", u"ChkTCPAckFrequencyClick");
    ClickRun();  // Run
    EXPECT_FALSE(Reg.Get(reg::kLocalMachine, kInterfaceKey, u"TcpAckFrequency").has_value());
    EXPECT_TRUE(Reg.Get(reg::kLocalMachine, kInterfaceKey, u"TcpDelAckTicks").has_value());
    ClickRun();  // Stop
    EXPECT_FALSE(Reg.Get(reg::kLocalMachine, kInterfaceKey, u"TcpDelAckTicks").has_value());
    EXPECT_EQ(Form->Status(), stIdle);
    for (const std::u16string& box : Boxes()) EXPECT_TRUE(Enabled(box)) << Utf16ToUtf8(box);
}

}  // namespace
