// TFrmTavrino: the wiring of the window's handlers and events, and the navigation of the
// header (BtnHomeClick).
#include "app/Main.h"

#include <array>

#include "BuildConfig.h"
#include "common/Text.h"

namespace {
using TMethod = void (TFrmTavrino::*)(const std::u16string&);
const std::array<std::pair<const char16_t*, TMethod>, 8> kHandlers = {{
    {u"FormCreate", &TFrmTavrino::FormCreate},
    {u"BtnStartClick", &TFrmTavrino::BtnStartClick},
    {u"BtnHomeClick", &TFrmTavrino::BtnHomeClick},
    {u"ChkTCPAckFrequencyClick", &TFrmTavrino::ChkTCPAckFrequencyClick},
    {u"ChkTcpDelAckTickClick", &TFrmTavrino::ChkTcpDelAckTickClick},
    {u"ChkTcpNoDelayClick", &TFrmTavrino::ChkTcpNoDelayClick},
    {u"ChkNetworkThrottlingIndexClick", &TFrmTavrino::ChkNetworkThrottlingIndexClick},
    {u"ChkSystemResponsivenessClick", &TFrmTavrino::ChkSystemResponsivenessClick},
}};

TMethod FindHandler(const std::u16string& name)
{
    for (const auto& [handler, method] : kHandlers)
        if (name == handler) return method;
    return nullptr;
}
}  // namespace

TFrmTavrino::TFrmTavrino(TPlatform& APlatform, IMainWindow& AWindow) : FPlatform(APlatform), FWindow(AWindow)
{
    FWindow.Connect(*this);
}

TFrmTavrino::~TFrmTavrino() = default;

bool TFrmTavrino::HasHandler(const std::u16string& Name)
{
    return FindHandler(Name) != nullptr;
}

void TFrmTavrino::Handle(const std::u16string& Handler, const std::u16string& Sender)
{
    if (const TMethod method = FindHandler(Handler)) (this->*method)(Sender);
}

void TFrmTavrino::BtnHomeClick(const std::u16string& Sender)
{
    static const char16_t* const names[] = {u"BtnHome", u"BtnConfig", u"BtnDonate", u"ImgLogo"};
    int index = -1;
    for (int i = 0; i < 4 && index < 0; ++i)
        if (SameTextAscii(Sender, names[i])) index = i;
    switch (index) {
    case 0:
    case 1:
        FWindow.ShowPage(index);
        break;
    case 2:
        FPlatform.Shell.ShellOpen(std::u16string(kLinkBase) + u"/donate?tavrino");
        break;
    case 3:
        FPlatform.Shell.ShellOpen(std::u16string(kLinkBase) + u"/tavrino");
        break;
    default:
        break;
    }
}
