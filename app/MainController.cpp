// The tweak controller of TFrmTavrino: Run and Stop, the adapter restart and the status.
#include <atomic>
#include <memory>
#include <optional>

#include "app/Main.h"
#include "common/Config.h"
#include "common/Text.h"
#include "common/Translate.h"
#include "system/Registry.h"

namespace {
const std::u16string kInterfacesKey =
    u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
const std::u16string kMessageQueueKey = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\MSMQ\\Parameters";
const std::u16string kSystemProfileKey =
    u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile";

constexpr std::uint32_t kErrorBoxFlags = 0x50010;  // MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST
// What the busy Run button and the indicator are called for screen readers.
constexpr const char16_t* kBusyName = u"네트워크 연결을 다시 시작하는 중";
constexpr int kProbeAttempts = 300;
constexpr unsigned kProbeInterval = 1000;  // milliseconds
// The whole wait for the internet, whatever single probes do.
constexpr std::uint64_t kWaitLimit = 10 * 60 * 1000;
// A connection that was taken down and did not come back up is asked again.
constexpr int kConnectRetries = 5;
constexpr unsigned kConnectRetryInterval = 2000;
// How long a close waits for the last Connect of a connection still down.
constexpr unsigned kCloseConnectLimit = 5000;
// A hand-off to the UI thread that failed is tried again after this pause.
constexpr unsigned kHandOffRetryInterval = 1000;

// The settings value that holds the GUID of the adapter Run wrote to, until Stop undid it.
const std::u16string kRememberedAdapter = u"networkguid";

const char16_t kNoAnswerText[] =
    u"네트워크 어댑터를 다시 시작한 뒤에도 인터넷이 응답하지 않았습니다. "
    u"Windows 네트워크 설정에서 어댑터를 확인해 주세요.";
// The same when the adapter's connection could be neither taken down nor brought up (no
// adapter found to restart, or no connections manager): nothing was restarted.
const char16_t kNoAdapterAnswerText[] =
    u"네트워크 어댑터를 다시 시작하지 못했고 인터넷이 응답하지 않았습니다. "
    u"Windows 네트워크 설정에서 어댑터를 확인해 주세요.";

enum class TTweakKey { Interface, MessageQueue, SystemProfile };

// One value that Run writes and Stop undoes; Stop deletes it unless it has a value to reset.
struct TTweak {
    const char16_t* Box;
    TTweakKey Key;
    const char16_t* ValueName;
    std::int32_t RunValue;
    std::optional<std::int32_t> StopValue;
};

// In the order in which Start and Stop handle them.
const TTweak kTweaks[] = {
    {u"ChkTCPAckFrequency", TTweakKey::Interface, u"TcpAckFrequency", 1, std::nullopt},
    {u"ChkTcpDelAckTick", TTweakKey::Interface, u"TcpDelAckTicks", 0, std::nullopt},
    {u"ChkTcpNoDelay", TTweakKey::Interface, u"TCPNoDelay", 1, std::nullopt},
    {u"ChkTcpNoDelay", TTweakKey::MessageQueue, u"TCPNoDelay", 1, std::nullopt},
    {u"ChkNetworkThrottlingIndex", TTweakKey::SystemProfile, u"NetworkThrottlingIndex",
     -1, 10},
    {u"ChkSystemResponsiveness", TTweakKey::SystemProfile, u"SystemResponsiveness", 0,
     20},
};

}  // namespace

const TChoice kChoices[5] = {
    {u"ChkTcpNoDelay", u"tcpnodelay", &TFrmTavrino::ChkTcpNoDelayClick},
    {u"ChkTCPAckFrequency", u"tcpackfrequency", &TFrmTavrino::ChkTCPAckFrequencyClick},
    {u"ChkTcpDelAckTick", u"tcpdelacktick", &TFrmTavrino::ChkTcpDelAckTickClick},
    {u"ChkNetworkThrottlingIndex", u"networkthrottleindex", &TFrmTavrino::ChkNetworkThrottlingIndexClick},
    {u"ChkSystemResponsiveness", u"systemresponsivess", &TFrmTavrino::ChkSystemResponsivenessClick},
};

namespace {

std::u16string KeyPath(TTweakKey key, const std::u16string& networkGUID)
{
    switch (key) {
    case TTweakKey::Interface: return kInterfacesKey + networkGUID;
    case TTweakKey::MessageQueue: return kMessageQueueKey;
    case TTweakKey::SystemProfile: return kSystemProfileKey;
    }
    return std::u16string();
}

bool IsHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The braced text form of a GUID, {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}: nothing else may
// become part of a key path.
bool IsBracedGuid(const std::u16string& text)
{
    if (text.size() != 38 || text.front() != u'{' || text.back() != u'}') return false;
    for (std::size_t i = 1; i < 37; ++i) {
        const bool hyphen = i == 9 || i == 14 || i == 19 || i == 24;
        if (hyphen ? text[i] != u'-' : !IsHexDigit(text[i])) return false;
    }
    return true;
}

// The adapter that Run wrote to, as remembered; empty when none is, or when the stored value
// is not a GUID.
std::u16string RememberedAdapter(IRegistry& registry)
{
    try {
        TConfig config(registry, u"Tavrino");
        std::u16string guid = config.ReadString(kRememberedAdapter, std::u16string());
        return IsBracedGuid(guid) ? guid : std::u16string();
    } catch (const std::exception&) {
        return std::u16string();  // a value of another type is not one the program wrote
    }
}

// Deletes the TCP values that a Run left under the remembered adapter, when that is another
// adapter than the current one and its key still exists (an adapter that is gone gets no key).
void UndoRememberedAdapter(IRegistry& registry, const std::u16string& current)
{
    const std::u16string remembered = RememberedAdapter(registry);
    if (remembered.empty() || AsciiLower(remembered) == AsciiLower(current) ||
        !RegKeyExists(registry, KeyPath(TTweakKey::Interface, remembered)))
        return;
    for (const TTweak& tweak : kTweaks)
        if (tweak.Key == TTweakKey::Interface)
            DeleteRegValue(registry, KeyPath(tweak.Key, remembered), tweak.ValueName);
}

// Brings a connection that was taken down back up: a few more tries, some seconds apart,
// while the deadline allows.
void ReconnectAdapter(INetwork& network, IThreads& threads, TFrmTavrino::TTakenDown& takenDown,
                      const std::atomic<bool>& stop, std::uint64_t deadline)
{
    for (int attempt = 0; attempt < kConnectRetries && takenDown.Down; ++attempt) {
        threads.Sleep(kConnectRetryInterval);
        if (stop || threads.Ticks() >= deadline) return;
        if (network.EnableNetwork(takenDown.GUID, true)) takenDown.Down = false;
    }
}

// Brings a connection that was taken down back up, then probes until the internet answers,
// at most kProbeAttempts times, one second apart, and until the deadline in all. Both run on
// a worker of their own, so that a Connect or a probe that does not return cannot hold the
// wait past its limit. True when a probe succeeded.
bool WaitForInternet(INetwork& network, IThreads& threads,
                     const std::shared_ptr<TFrmTavrino::TTakenDown>& takenDown,
                     std::uint64_t deadline)
{
    enum : int { kProbing, kAnswered, kGaveUp };
    struct TProbing {
        std::atomic<int> State{kProbing};
        std::atomic<bool> Stop{false};
        std::unique_ptr<IWaitEvent> Done;  // set when the probing ended
    };
    const auto probing = std::make_shared<TProbing>();
    probing->Done = threads.NewEvent();

    threads.StartWorker([&network, &threads, probing, takenDown, deadline] {
        try {
            ReconnectAdapter(network, threads, *takenDown, probing->Stop, deadline);
        } catch (...) {
            // The probes follow all the same.
        }
        int state = kGaveUp;
        for (int attempt = 0; attempt < kProbeAttempts; ++attempt) {
            if (probing->Stop || threads.Ticks() >= deadline) break;
            if (network.ProbePublicIP()) {
                state = kAnswered;
                break;
            }
            threads.Sleep(kProbeInterval);
        }
        probing->State = state;
        probing->Done->Set();
    });
    // Asleep until the probing ends or the limit is reached.
    const std::uint64_t now = threads.Ticks();
    if (now < deadline) probing->Done->Wait(static_cast<unsigned>(deadline - now));
    probing->Stop = true;
    return probing->State == kAnswered;
}
}  // namespace

void TFrmTavrino::BtnStartClick(const std::u16string&)
{
    switch (FStatus) {
    case stIdle:
        // The box alone: the status stored stays as it is (a start-up that stopped early
        // shows Run while the store may say that the values are applied).
        if (!NetworkGUID.empty()) Start();
        else ShowError(TranslateText(u"활성중인 네트워크가 없습니다."));
        break;
    case stRunning:
        Stop();
        break;
    case stBusy:
        break;
    }
}

void TFrmTavrino::Start()
{
    SetStatus(stBusy);
    // Values that an earlier Run left under another adapter (it was interrupted before the
    // store said so) are undone before that adapter is forgotten.
    UndoRememberedAdapter(FPlatform.Registry, NetworkGUID);
    // Remembered before anything is written, so that Stop finds this adapter even when the
    // PC uses another one by then.
    {
        TConfig config(FPlatform.Registry, u"Tavrino");
        config.WriteString(kRememberedAdapter, NetworkGUID);
    }
    for (const TTweak& tweak : kTweaks) {
        if (!FWindow.Checked(tweak.Box)) continue;
        WriteRegInteger(FPlatform.Registry, KeyPath(tweak.Key, NetworkGUID), tweak.ValueName,
                        tweak.RunValue);
    }
    // The store says what the registry holds from now on, even if the window closes (or the
    // PC goes down) before the wait below ends.
    SaveConfigInt(u"status", 1);
    Refresh(stRunning);
}

void TFrmTavrino::Stop()
{
    SetStatus(stBusy);
    for (const TTweak& tweak : kTweaks) {
        const std::u16string path = KeyPath(tweak.Key, NetworkGUID);
        if (tweak.StopValue) WriteRegInteger(FPlatform.Registry, path, tweak.ValueName, *tweak.StopValue);
        else DeleteRegValue(FPlatform.Registry, path, tweak.ValueName);
    }
    // The adapter Run wrote to, when it is another one; forgotten only once it is undone.
    UndoRememberedAdapter(FPlatform.Registry, NetworkGUID);
    {
        TConfig config(FPlatform.Registry, u"Tavrino");
        config.DeleteValue(kRememberedAdapter);
    }
    SaveConfigInt(u"status", 0);  // nothing is applied any more, whenever the wait ends
    Refresh(stIdle);
}

void TFrmTavrino::Refresh(TStatus Status)
{
    // The worker takes the services it uses and a weak way back to the window, which ends
    // when the window is destroyed; it touches the window only on the UI thread.
    INetwork& network = FPlatform.Network;
    IThreads& threads = FPlatform.Threads;
    std::weak_ptr<TFrmTavrino*> window = FLink;
    // The further Connects and the probes together take at most kWaitLimit from here.
    const std::uint64_t deadline = threads.Ticks() + kWaitLimit;

    // Only a connection that was taken down here is asked again to come up.
    const auto takenDown = std::make_shared<TTakenDown>();
    takenDown->GUID = NetworkGUID;
    const bool down = network.EnableNetwork(takenDown->GUID, false);
    const bool up = network.EnableNetwork(takenDown->GUID, true);
    takenDown->Down = down && !up;
    FTakenDown = takenDown;
    // Neither call found the connection: no adapter was restarted.
    const bool restarted = down || up;

    threads.StartWorker([&network, &threads, window, Status, takenDown, deadline, restarted] {
        bool answered = false;
        try {
            answered = WaitForInternet(network, threads, takenDown, deadline);
        } catch (...) {
            // The window settles all the same.
        }
        // A window left busy could not be used again: a hand-off that failed is tried again
        // until it runs or the window is gone.
        const std::function<void()> settle = [&window, Status, answered, restarted] {
            if (const auto link = window.lock()) (*link)->Settle(Status, answered, restarted);
        };
        while (!threads.Synchronize(settle) && !window.expired()) threads.Sleep(kHandOffRetryInterval);
    });
}

void TFrmTavrino::ReconnectOnClose()
{
    const std::shared_ptr<TTakenDown> takenDown = FTakenDown;
    if (!takenDown || !takenDown->Down) return;
    // On a worker, so that a Connect that does not return holds the end for kCloseConnectLimit
    // at most; the worker ends with the process.
    INetwork& network = FPlatform.Network;
    const std::shared_ptr<IWaitEvent> done = FPlatform.Threads.NewEvent();
    FPlatform.Threads.StartWorker([&network, takenDown, done] {
        try {
            if (network.EnableNetwork(takenDown->GUID, true)) takenDown->Down = false;
        } catch (...) {
            // The program ends all the same.
        }
        done->Set();
    });
    done->Wait(kCloseConnectLimit);
}

void TFrmTavrino::Settle(TStatus Status, bool Answered, bool Restarted)
{
    // The values did change: the status is the one asked for, answered or not.
    SetStatus(Status);
    if (Answered) return;
    const std::u16string text = TranslateText(Restarted ? kNoAnswerText : kNoAdapterAnswerText);
    // Up to ten minutes after Run: when the user has gone on to something else (a game), the
    // box does not come up over it; the taskbar button flashes and the box waits until the
    // window is activated.
    void* const window = FWindow.Handle();
    if (FPlatform.Shell.IsForeground(window)) {
        ShowError(text);
        return;
    }
    FPendingError = text;
    FPlatform.Shell.FlashTaskbarButton(window);
}

void TFrmTavrino::ShowPendingError()
{
    if (FPendingError.empty()) return;
    const std::u16string text = std::move(FPendingError);
    FPendingError.clear();
    ShowError(text);
}

void TFrmTavrino::ShowError(const std::u16string& Message)
{
    FPlatform.Shell.ShowMessageBox(Message, FWindow.Caption(), kErrorBoxFlags);
}

void TFrmTavrino::SetStatus(TStatus Status)
{
    switch (Status) {
    case stIdle:
    case stRunning: {
        const bool running = Status == stRunning;
        FStatus = Status;
        FWindow.ShowRunButton(running ? TRunLook::Running : TRunLook::Run,
                              TranslateText(running ? u"실행중" : u"실행하기"));
        SaveConfigInt(u"status", running ? 1 : 0);
        break;
    }
    case stBusy:
        // No caption while busy: screen readers name the button and the indicator for the
        // work going on.
        FStatus = Status;
        FWindow.ShowRunButton(TRunLook::Busy, TranslateText(kBusyName));
        break;
    default:
        // A restored status the program never stores changes nothing.
        break;
    }

    const bool idle = FStatus == stIdle;
    for (const TChoice& choice : kChoices) FWindow.SetEnabled(choice.Box, idle);
}

void TFrmTavrino::SaveConfigBool(const std::u16string& Name, bool Value)
{
    TConfig config(FPlatform.Registry, u"Tavrino");
    config.WriteBoolean(Name, Value);
}

void TFrmTavrino::SaveConfigInt(const std::u16string& Name, std::int32_t Value)
{
    TConfig config(FPlatform.Registry, u"Tavrino");
    config.WriteInteger(Name, Value);
}

void TFrmTavrino::SaveChoice(const std::u16string& Box)
{
    for (const TChoice& choice : kChoices)
        if (Box == choice.Box) SaveConfigBool(choice.Key, FWindow.Checked(Box));
}

void TFrmTavrino::SetChoice(const TChoice& Choice, bool Checked)
{
    if (FWindow.Checked(Choice.Box) == Checked) return;
    FWindow.SetChecked(Choice.Box, Checked);
    (this->*Choice.Click)(Choice.Box);
}

void TFrmTavrino::ChkTCPAckFrequencyClick(const std::u16string&)
{
    SaveChoice(u"ChkTCPAckFrequency");
}

void TFrmTavrino::ChkTcpDelAckTickClick(const std::u16string&)
{
    SaveChoice(u"ChkTcpDelAckTick");
}

void TFrmTavrino::ChkTcpNoDelayClick(const std::u16string&)
{
    SaveChoice(u"ChkTcpNoDelay");
}

void TFrmTavrino::ChkNetworkThrottlingIndexClick(const std::u16string&)
{
    SaveChoice(u"ChkNetworkThrottlingIndex");
}

void TFrmTavrino::ChkSystemResponsivenessClick(const std::u16string&)
{
    SaveChoice(u"ChkSystemResponsiveness");
}
