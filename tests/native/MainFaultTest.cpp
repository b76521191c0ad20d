// Faults met by the whole window: a registry that refuses access, a stored setting of the
// wrong type, a corrupt catalogue and a management service that fails. Whatever fails, the
// window opens, Run and Stop still go their way, and nothing stored before is lost.
#include "support/MainWindowFixture.h"

namespace {

class FaultTest : public MainWindowTest {
protected:
    static inline const std::u16string kProfileKey =
        u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile";

    // A machine as Windows leaves it (the scheduler values at their defaults) and a store of a
    // program that ran before: every box stored, "tcpdelacktick" off, status idle.
    void PutMachineAndStore()
    {
        Reg.PutDword(reg::kLocalMachine, kProfileKey, u"NetworkThrottlingIndex", 10);
        Reg.PutDword(reg::kLocalMachine, kProfileKey, u"SystemResponsiveness", 20);
        for (const char16_t* box : {u"tcpnodelay", u"tcpackfrequency", u"networkthrottleindex",
                                    u"systemresponsivess"})
            PutSetting(box, 1);
        PutSetting(u"tcpdelacktick", 0);
        PutSetting(u"status", 0);
    }

    // Presses Run, then Stop, and checks that the window went running and came back idle.
    void RunAndStop()
    {
        ClickRun();
        EXPECT_EQ(Form->Status(), stRunning);
        EXPECT_EQ(Window->RunLook, TRunLook::Running);
        ClickRun();
        EXPECT_EQ(Form->Status(), stIdle);
        EXPECT_EQ(Window->RunLook, TRunLook::Run);
    }
};

TEST_F(FaultTest, RefusedRegistryLosesNothingAndRunAndStopStillWork)
{
    struct Case {
        const char* Name;
        std::uint32_t RefusedRoot;  // 0: none
        bool RefuseWrites;
        bool BeforeStart;           // refused from the start, or only from the first click on
    } cases[] = {
        {"machine keys refused", reg::kLocalMachine, false, true},
        {"settings key refused at start-up", reg::kCurrentUser, false, true},
        {"settings key refused after start-up", reg::kCurrentUser, false, false},
        {"every write refused", 0, true, true},
        {"every write refused after start-up", 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Reg = TMemoryRegistry();
        Errors.clear();
        PutMachineAndStore();
        const std::vector<std::string> before = Reg.Dump();
        const std::vector<std::string> machineBefore = MachineValues();
        auto refuse = [&] {
            if (c.RefusedRoot) Reg.RefuseOpen(c.RefusedRoot, reg::kAccessDenied);
            if (c.RefuseWrites) Reg.RefuseWrites(reg::kAccessDenied);
        };
        if (c.BeforeStart) refuse();
        Create();
        if (!c.BeforeStart) refuse();

        ClickRun();
        EXPECT_EQ(Form->Status(), stRunning);
        if (c.RefuseWrites || c.RefusedRoot == reg::kLocalMachine) {
            EXPECT_EQ(MachineValues(), machineBefore);
        }
        ClickRun();
        EXPECT_EQ(Form->Status(), stIdle);
        EXPECT_NE(Window->RunLook, TRunLook::Busy);

        // Stop puts back what Run changed, and a refused write changed nothing: the registry
        // is as it was before the program started.
        EXPECT_EQ(Reg.Dump(), before);
        EXPECT_TRUE(Errors.empty()) << Errors.front();
        EXPECT_EQ(Reg.OpenHandles(), 0u);
    }
}

TEST_F(FaultTest, WrongTypeSettingIsReportedKeptAndTheWindowStaysUsable)
{
    struct Case {
        const char* Name;
        const char16_t* Value;
        std::uint32_t Type;
        std::vector<std::uint8_t> Data;
    } cases[] = {
        {"status as text", u"status", reg::kTypeSz, {'1', 0, 0, 0}},
        {"status as eight bytes", u"status", 11, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"a box as binary", u"systemresponsivess", 3, {1, 0, 0, 0}},
        {"a box as expandable text", u"tcpnodelay", reg::kTypeExpandSz, {'1', 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Reg = TMemoryRegistry();
        Errors.clear();
        PutMachineAndStore();
        Reg.Put(reg::kCurrentUser, kSettingsKey, c.Value, c.Type, c.Data);
        const std::vector<std::string> before = Reg.Dump();

        Create();
        ASSERT_EQ(Errors.size(), 1u);
        EXPECT_NE(Errors[0].find(Utf16ToUtf8(c.Value)), std::string::npos) << Errors[0];
        EXPECT_EQ(Reg.Dump(), before);  // opening the window rewrote nothing
        EXPECT_EQ(Form->Status(), stIdle);
        EXPECT_EQ(Window->RunText, u"Run");
        EXPECT_NE(Window->RunLook, TRunLook::Busy);

        RunAndStop();
        EXPECT_EQ(Setting(u"status"), 0u);
        EXPECT_EQ(Reg.OpenHandles(), 0u);
    }
}

TEST_F(FaultTest, CorruptCatalogueLeavesTheSourceTextsAndAUsableWindow)
{
    struct Case {
        const char* Name;
        std::string Catalogue;
    } cases[] = {
        {"empty", ""},
        {"invalid UTF-8", "ko=\xC3\x28\xFF\r\nen=\xED\xA0\x80\r\n\r\nko=\xE2\x82"},
        {"cut inside a block", "\xEF\xBB\xBFko=Tavrino\r\nen=Tavrino\r\n\r\nko=\xEB\xB2\x84\xEC\xA0\x84\r\nen="},
        {"no line breaks", std::string(5000, '=')},
        {"lines without codes", "=\r\n=\r\n=\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LoadCatalogue(c.Catalogue, u"en");
        Reg = TMemoryRegistry();
        Errors.clear();
        Create();
        EXPECT_TRUE(Errors.empty());
        // Every caption is the source text or a text of the catalogue, never lost.
        EXPECT_EQ(Window->RunText, TranslateText(u"실행하기"));
        EXPECT_FALSE(Window->RunText.empty());
        EXPECT_FALSE(Window->Caption().empty());
        RunAndStop();
        EXPECT_EQ(Window->RunText, TranslateText(u"실행하기"));
    }
}

// Start-up stops at adapter discovery: the window shows Run whatever the store says. Run
// then shows the no-adapter box and stores nothing, so a stored "running" (the values are
// applied) is kept for the next start.
TEST_F(FaultTest, FailingManagementServiceLeavesNoAdapterAndRunOnlyShowsTheErrorBox)
{
    for (const std::uint32_t stored : {0u, 1u}) {
        SCOPED_TRACE(stored);
        Reg = TMemoryRegistry();
        Errors.clear();
        Shell.Boxes.clear();
        Network.DiscoveryFails = true;
        PutMachineAndStore();
        PutSetting(u"status", stored);
        const std::vector<std::string> before = Reg.Dump();
        Create();
        ASSERT_EQ(Errors.size(), 1u);
        EXPECT_EQ(Window->RunText, u"Run");

        for (int click = 0; click < 2; ++click) {
            ClickRun();
            ASSERT_EQ(Shell.Boxes.size(), static_cast<std::size_t>(click + 1));
            EXPECT_EQ(Shell.Boxes[click].Text, u"There are no active networks.");
            EXPECT_EQ(Form->Status(), stIdle);
            EXPECT_NE(Window->RunLook, TRunLook::Busy);
            EXPECT_TRUE(Network.EnableCalls.empty());
            EXPECT_EQ(Reg.Dump(), before);  // nothing stored, nothing written
        }

        // The next start finds the adapter and the stored status.
        Network.DiscoveryFails = false;
        Create();
        EXPECT_EQ(Form->Status(), stored == 1 ? stRunning : stIdle);
    }
}

}  // namespace
