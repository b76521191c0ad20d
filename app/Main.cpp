// TFrmTavrino: the window built from its description, the wiring of its handlers, and the
// navigation of the header (BtnHomeClick).
#include "app/Main.h"

#include <array>

#include "BuildConfig.h"
#include "common/Text.h"
#include "toolkit/FormReader.h"
#include "toolkit/Resources.h"

TFrmTavrino::TFrmTavrino(TPlatform& APlatform)
    : TFrmTavrino(APlatform, ReadResource(u"TFRMTAVRINO"))
{
}

TFrmTavrino::TFrmTavrino(TPlatform& APlatform, std::string_view Description)
    : TForm(nullptr), FPlatform(APlatform)
{
    ReadForm(*this, Description, [this](const std::u16string& name) { return Handler(name); });
    PnlMain = FindAs<TCardPanel>(*this, u"PnlMain");
    Card1 = FindAs<TCard>(*this, u"Card1");
    LblTitle = FindAs<TLabel>(*this, u"LblTitle");
    LblContent = FindAs<TMarkupLabel>(*this, u"LblContent");
    BtnStart = FindAs<TStyledButton>(*this, u"BtnStart");
    Indicator = FindAs<TActivityIndicator>(*this, u"Indicator");
    Card2 = FindAs<TCard>(*this, u"Card2");
    LblVersion = FindAs<TLabel>(*this, u"LblVersion");
    GroupBox1 = FindAs<TGroupBox>(*this, u"GroupBox1");
    LblAdapter = FindAs<TLabel>(*this, u"LblAdapter");
    LblIPAddress = FindAs<TLabel>(*this, u"LblIPAddress");
    GroupBox2 = FindAs<TGroupBox>(*this, u"GroupBox2");
    ChkTcpNoDelay = FindAs<TCheckBox>(*this, u"ChkTcpNoDelay");
    ChkTCPAckFrequency = FindAs<TCheckBox>(*this, u"ChkTCPAckFrequency");
    ChkTcpDelAckTick = FindAs<TCheckBox>(*this, u"ChkTcpDelAckTick");
    GroupBox3 = FindAs<TGroupBox>(*this, u"GroupBox3");
    ChkNetworkThrottlingIndex = FindAs<TCheckBox>(*this, u"ChkNetworkThrottlingIndex");
    ChkSystemResponsiveness = FindAs<TCheckBox>(*this, u"ChkSystemResponsiveness");
    PnlHead = FindAs<TPanel>(*this, u"PnlHead");
    BtnHead = FindAs<TStyledToolBar>(*this, u"BtnHead");
    BtnHome = FindAs<TStyledToolButton>(*this, u"BtnHome");
    BtnConfig = FindAs<TStyledToolButton>(*this, u"BtnConfig");
    BtnDonate = FindAs<TStyledToolButton>(*this, u"BtnDonate");
    PnlLogo = FindAs<TPanel>(*this, u"PnlLogo");
    ImgLogo = FindAs<TSvgImage>(*this, u"ImgLogo");
}

TNotifyEvent TFrmTavrino::Handler(const std::u16string& Name)
{
    using TMethod = void (TFrmTavrino::*)(TComponent*);
    static const std::array<std::pair<const char16_t*, TMethod>, 8> handlers = {{
        {u"FormCreate", &TFrmTavrino::FormCreate},
        {u"BtnStartClick", &TFrmTavrino::BtnStartClick},
        {u"BtnHomeClick", &TFrmTavrino::BtnHomeClick},
        {u"ChkTCPAckFrequencyClick", &TFrmTavrino::ChkTCPAckFrequencyClick},
        {u"ChkTcpDelAckTickClick", &TFrmTavrino::ChkTcpDelAckTickClick},
        {u"ChkTcpNoDelayClick", &TFrmTavrino::ChkTcpNoDelayClick},
        {u"ChkNetworkThrottlingIndexClick", &TFrmTavrino::ChkNetworkThrottlingIndexClick},
        {u"ChkSystemResponsivenessClick", &TFrmTavrino::ChkSystemResponsivenessClick},
    }};
    for (const auto& [name, method] : handlers)
        if (Name == name) return [this, method](TComponent* Sender) { (this->*method)(Sender); };
    return nullptr;
}

void TFrmTavrino::BtnHomeClick(TComponent* Sender)
{
    if (!Sender) return;
    static const char16_t* const names[] = {u"BtnHome", u"BtnConfig", u"BtnDonate", u"ImgLogo"};
    int index = -1;
    for (int i = 0; i < 4 && index < 0; ++i)
        if (SameTextAscii(Sender->Name(), names[i])) index = i;
    auto* button = KindCast<TStyledToolButton>(Sender->AsControl());
    switch (index) {
    case 0:
    case 1:
        if (button) button->SetDown(true);
        PnlMain->SetActiveCardIndex(index);
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
