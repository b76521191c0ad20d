// TMainForm: the window built from its description, its handlers and messages passed to the
// program's rules, and what the rules do to it.
#include "app/MainForm.h"

#include "app/Main.h"
#include "common/Error.h"
#include "common/Translate.h"
#include "styling/MarveticButtonStyles.h"
#include "styling/Theme.h"
#include "toolkit/FormReader.h"
#include "toolkit/Resources.h"

namespace {
constexpr std::uint32_t kWmDestroy = 0x0002;
constexpr std::uint32_t kWmEndSession = 0x0016;
constexpr std::uint32_t kWmActivate = 0x0006;  // WA_INACTIVE (0) in the low word of wParam
}  // namespace

TMainForm::TMainForm() : TMainForm(ReadResource(u"TFRMTAVRINO")) {}

TMainForm::TMainForm(std::string_view Description) : TForm(nullptr)
{
    ReadForm(*this, Description, [this](const std::u16string& handler) -> TNotifyEvent {
        // The program's rules hear the handler's name and the sender's.
        if (!TFrmTavrino::HasHandler(handler)) return nullptr;
        return [this, handler](TComponent* sender) {
            if (FEvents) FEvents->Handle(handler, sender ? sender->Name() : std::u16string());
        };
    });
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

void TMainForm::Connect(IMainWindowEvents& events)
{
    FEvents = &events;
    // The first hook of the window: it passes every message on to the default handling.
    WindowProc = [this](TMessage& message) {
        if (message.Msg == kWmDestroy || (message.Msg == kWmEndSession && message.WParam != 0)) {
            // The session may end without destroying the window.
            if (FEvents) FEvents->Ending();
        } else if (message.Msg == kWmActivate && (message.WParam & 0xFFFF) != 0) {
            WndProc(message);  // activated (and focused) first, then the program hears of it
            if (FEvents) FEvents->Activated();
            return;
        }
        WndProc(message);
    };
}

void TMainForm::Dress()
{
    CreateThemeHelper(this);
    TranslateComponent(this);
    FitLabelFont(LblTitle);
    SetDesktopFont(true);
    Indicator->SetVisible(false);
    BtnDonate->SetVisible(false);
    ShowPage(0);
    Application().Title = Caption();
}

void TMainForm::ShowRunButton(TRunLook look, const std::u16string& text)
{
    const bool busy = look == TRunLook::Busy;
    Indicator->SetVisible(busy);
    Indicator->SetAnimate(busy);
    BtnStart->SetCaption(busy ? std::u16string() : text);
    // While busy, screen readers name the button and the indicator for the work going on.
    BtnStart->SetAccessibleName(busy ? text : std::u16string());
    if (busy) Indicator->SetAccessibleName(text);
    BtnStart->SetEnabled(!busy);
    BtnStart->SetDown(look == TRunLook::Running);
}

TCheckBox* TMainForm::Box(const std::u16string& name) const
{
    TComponent* component = FindComponent(name);
    TCheckBox* box = component ? KindCast<TCheckBox>(component->AsControl()) : nullptr;
    if (!box) RaiseMissingComponent(name);
    return box;
}

bool TMainForm::Checked(const std::u16string& box) const
{
    return Box(box)->Checked();
}

void TMainForm::SetChecked(const std::u16string& box, bool checked)
{
    // The state alone, without the box's click handler.
    TCheckBox* control = Box(box);
    const TNotifyEvent click = std::move(control->OnClick);
    control->OnClick = nullptr;
    control->SetChecked(checked);
    control->OnClick = click;
}

void TMainForm::SetEnabled(const std::u16string& box, bool enabled)
{
    Box(box)->SetEnabled(enabled);
}

void TMainForm::ShowPage(int page)
{
    TStyledToolButton* const buttons[] = {BtnHome, BtnConfig};
    if (page < 0 || page > 1) return;
    buttons[page]->SetDown(true);
    PnlMain->SetActiveCardIndex(page);
}

void TMainForm::SetText(const std::u16string& control, const std::u16string& text)
{
    TComponent* component = FindComponent(control);
    TControl* c = component ? component->AsControl() : nullptr;
    if (!c) RaiseMissingComponent(control);
    c->SetCaption(text);
}

void* TMainForm::Handle() const
{
    return FormPeer() ? FormPeer()->Handle() : nullptr;
}
