// The start-up of TFrmTavrino: its creation handler and the restoring of the saved settings.
#include <memory>

#include "BuildConfig.h"
#include "app/Main.h"
#include "common/Config.h"
#include "common/Translate.h"
#include "common/Update.h"
#include "toolkit/StartupTrace.h"

namespace {
// The tag lines, one shown at random under the title.
const char16_t* const kTagLines[] = {
    u"<B>게임 반응 속도</B>를 손쉽게 향상 시킵니다.",
    u"최적화된 네트워크로 <B>지연 시간을 최소화</B>합니다.",
    u"간편한 설정으로 <B>게임 속도와 안정성</B>을 동시에 개선합니다.",
};
constexpr int kUpdateLayoutOffset = 10;
}  // namespace

void TFrmTavrino::FormCreate(const std::u16string&)
{
    // Work that ends later (the refresh worker, the update check) reaches the window only
    // through FLink, which is let go when the window is destroyed.
    std::weak_ptr<TFrmTavrino*> window = FLink;

    FWindow.Dress();

    const std::u16string tagLine = kTagLines[FPlatform.System.Random(3)];
    FWindow.SetText(u"LblContent", u"<C><FC:clGray>" + TranslateText(tagLine) + u"</FC></C>");
    const std::optional<TFileVersion> version = FPlatform.System.FileVersion();
    FWindow.SetText(u"LblVersion", TranslateText(u"버전") + u": " +
                                       FormatFileVersion(u"%d.%d.%d.%d", version.value_or(TFileVersion{})));

    StartupMark("captions, tag line and version");
    LoadConfig();
    StartupMark("settings and status");

    FPlatform.Update.CheckUpdate(
        std::u16string(kApiBase) + u"/api.init.php",
        [window](bool Accepted, const std::u16string&) {
            if (!Accepted) return;
            if (const auto link = window.lock()) (*link)->FWindow.Close();
        },
        kUpdateLayoutOffset);
    StartupMark("update check started");
}

void TFrmTavrino::LoadConfig()
{
    const TNetworkInfo network = FPlatform.Network.GetActiveNetwork();
    StartupMark("adapter discovery");
    if (!network.GUID.empty()) {
        NetworkName = network.Name;
        NetworkGUID = network.GUID;
        NetworkIP = network.IP;
    } else {
        NetworkName = TranslateText(u"알수없음");
        NetworkGUID.clear();
        NetworkIP.clear();
    }
    FWindow.SetText(u"LblAdapter", NetworkName);
    FWindow.SetText(u"LblIPAddress", u"IP: " + NetworkIP);

    std::int32_t status = 0;
    {
        // Each box that loads as checked runs its click handler, which stores true again.
        TConfig config(FPlatform.Registry, u"Tavrino");
        status = config.ReadInteger(u"status", 0);
        for (const TChoice& choice : kChoices) SetChoice(choice, config.ReadBoolean(choice.Key, true));
    }
    SetStatus(static_cast<TStatus>(status & 0xFF));
}

void TFrmTavrino::Activated()
{
    ShowPendingError();
}

void TFrmTavrino::Ending()
{
    ReconnectOnClose();
    FLink.reset();
}
