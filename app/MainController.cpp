// The tweak controller of TFrmTavrino: Run and Stop, the adapter restart and the status.
#include <memory>
#include <optional>

#include "app/Main.h"
#include "common/Config.h"
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

enum class TTweakKey { Interface, MessageQueue, SystemProfile };

// One value that Run writes and Stop undoes; Stop deletes it unless it has a value to reset.
struct TTweak {
    TCheckBox* TFrmTavrino::*Box;
    TTweakKey Key;
    const char16_t* ValueName;
    std::int32_t RunValue;
    std::optional<std::int32_t> StopValue;
};

// In the order in which Start and Stop handle them.
const TTweak kTweaks[] = {
    {&TFrmTavrino::ChkTCPAckFrequency, TTweakKey::Interface, u"TcpAckFrequency", 1, std::nullopt},
    {&TFrmTavrino::ChkTcpDelAckTick, TTweakKey::Interface, u"TcpDelAckTicks", 0, std::nullopt},
    {&TFrmTavrino::ChkTcpNoDelay, TTweakKey::Interface, u"TCPNoDelay", 1, std::nullopt},
    {&TFrmTavrino::ChkTcpNoDelay, TTweakKey::MessageQueue, u"TCPNoDelay", 1, std::nullopt},
    {&TFrmTavrino::ChkNetworkThrottlingIndex, TTweakKey::SystemProfile, u"NetworkThrottlingIndex",
     -1, 10},
    {&TFrmTavrino::ChkSystemResponsiveness, TTweakKey::SystemProfile, u"SystemResponsiveness", 0,
     20},
};

std::u16string KeyPath(TTweakKey key, const std::u16string& networkGUID)
{
    switch (key) {
    case TTweakKey::Interface: return kInterfacesKey + networkGUID;
    case TTweakKey::MessageQueue: return kMessageQueueKey;
    case TTweakKey::SystemProfile: return kSystemProfileKey;
    }
    return std::u16string();
}
}  // namespace

void TFrmTavrino::BtnStartClick(TComponent*)
{
    switch (FStatus) {
    case stIdle:
        if (!NetworkGUID.empty()) Start();
        else SetStatus(stIdle, TranslateText(u"활성중인 네트워크가 없습니다."));
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
    for (const TTweak& tweak : kTweaks) {
        if (!(this->*tweak.Box)->Checked()) continue;
        WriteRegInteger(FPlatform.Registry, KeyPath(tweak.Key, NetworkGUID), tweak.ValueName,
                        tweak.RunValue);
    }
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
    Refresh(stIdle);
}

void TFrmTavrino::Refresh(TStatus Status)
{
    // The worker takes the services it uses and a weak way back to the window, which ends
    // when the window is destroyed; it touches the window only on the UI thread.
    INetwork& network = FPlatform.Network;
    IThreads& threads = FPlatform.Threads;
    std::weak_ptr<TFrmTavrino*> window = FLink;

    network.EnableNetwork(NetworkGUID, false);
    network.EnableNetwork(NetworkGUID, true);

    threads.StartWorker([&network, &threads, window, Status] {
        for (int attempt = 0; attempt < kProbeAttempts; ++attempt) {
            if (network.ProbePublicIP()) break;
            threads.Sleep(kProbeInterval);
        }
        threads.Synchronize([&window, Status] {
            if (const auto link = window.lock()) (*link)->SetStatus(Status);
        });
    });
}

void TFrmTavrino::SetStatus(TStatus Status, const std::u16string& Message)
{
    if (!Message.empty()) FPlatform.Shell.ShowMessageBox(Message, Caption(), kErrorBoxFlags);

    switch (Status) {
    case stIdle:
    case stRunning: {
        const bool running = Status == stRunning;
        FStatus = Status;
        Indicator->SetVisible(false);
        Indicator->SetAnimate(false);
        BtnStart->SetCaption(TranslateText(running ? u"실행중" : u"실행하기"));
        BtnStart->SetAccessibleName(std::u16string());  // its caption
        BtnStart->SetEnabled(true);
        BtnStart->SetDown(running);
        SaveConfigInt(u"status", running ? 1 : 0);
        break;
    }
    case stBusy:
        FStatus = Status;
        Indicator->SetVisible(true);
        Indicator->SetAnimate(true);
        BtnStart->SetCaption(std::u16string());
        // No caption while busy: screen readers name the button and the indicator for the
        // work going on.
        BtnStart->SetAccessibleName(TranslateText(kBusyName));
        Indicator->SetAccessibleName(TranslateText(kBusyName));
        BtnStart->SetEnabled(false);
        BtnStart->SetDown(false);
        break;
    default:
        // A restored status the program never stores changes nothing.
        break;
    }

    const bool idle = FStatus == stIdle;
    for (TCheckBox* box : {ChkTCPAckFrequency, ChkTcpDelAckTick, ChkTcpNoDelay,
                           ChkNetworkThrottlingIndex, ChkSystemResponsiveness})
        box->SetEnabled(idle);
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

void TFrmTavrino::ChkTCPAckFrequencyClick(TComponent*)
{
    SaveConfigBool(u"tcpackfrequency", ChkTCPAckFrequency->Checked());
}

void TFrmTavrino::ChkTcpDelAckTickClick(TComponent*)
{
    SaveConfigBool(u"tcpdelacktick", ChkTcpDelAckTick->Checked());
}

void TFrmTavrino::ChkTcpNoDelayClick(TComponent*)
{
    SaveConfigBool(u"tcpnodelay", ChkTcpNoDelay->Checked());
}

void TFrmTavrino::ChkNetworkThrottlingIndexClick(TComponent*)
{
    SaveConfigBool(u"networkthrottleindex", ChkNetworkThrottlingIndex->Checked());
}

void TFrmTavrino::ChkSystemResponsivenessClick(TComponent*)
{
    SaveConfigBool(u"systemresponsivess", ChkSystemResponsiveness->Checked());
}
