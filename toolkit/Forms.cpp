#include "toolkit/Forms.h"

#include "common/Translate.h"

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner, kKind)
{
    WindowProc = [this](TMessage& message) { WndProc(message); };
}

TForm::~TForm()
{
    // The realisation goes while the controls it shows are all still there.
    FFormPeer = nullptr;
    FRealizer.reset();
}

void TForm::SetClientSize(int width, int height)
{
    SetBounds(Left(), Top(), width, height);
}

void TForm::SetBorderStyle(TFormBorderStyle style)
{
    if (style == FBorderStyle) return;
    FBorderStyle = style;
    Changed(TChange::Style);
}

void TForm::SetDesktopFont(bool desktopFont)
{
    if (desktopFont == FDesktopFont) return;
    FDesktopFont = desktopFont;
    FontChanged();
}

void TForm::WndProc(TMessage& message)
{
    if (FFormPeer) FFormPeer->DefaultHandler(message);
}

std::intptr_t TForm::Perform(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    TMessage message{msg, wParam, lParam, 0};
    WindowProc(message);
    return message.Result;
}

void TForm::DoCreate()
{
    if (!OnCreate) return;
    RunHandler([this] { OnCreate(this); });
}

void TForm::RequestDarkTitleBar()
{
    FDarkTitleBar = true;
    if (FFormPeer) FFormPeer->RequestDarkTitleBar();
}

void TForm::Close()
{
    FCloseRequested = true;
    if (FFormPeer) FFormPeer->Close();
}

void TForm::Attach(IFormPeer* formPeer, std::unique_ptr<IRealizer> realizer)
{
    FFormPeer = formPeer;
    FRealizer = std::move(realizer);
}

TApplication& Application()
{
    static TApplication application;
    return application;
}

void TranslateComponent(TComponent* AComponent, const std::u16string& ALang)
{
    SetTranslationLanguage(ALang);
    if (!AComponent) return;
    if (TControl* control = AComponent->AsControl())
        control->SetCaption(TranslateCaption(control->Caption(), control->Kind() == TControlKind::Form));
    for (TComponent* component : AComponent->Components()) TranslateComponent(component);
}
