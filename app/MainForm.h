// TMainForm: the program's window as the toolkit makes it from the window description
// "TFRMTAVRINO", and what IMainWindow asks of it. Its handlers and messages go to the program's
// rules (TFrmTavrino) through IMainWindowEvents.
#pragma once

#include <string>
#include <string_view>

#include "app/MainWindow.h"
#include "toolkit/Forms.h"
#include "toolkit/StdControls.h"
#include "toolkit/StyledButtons.h"

class TMainForm final : public TForm, public IMainWindow {
public:
    // Reads the window description from the program's resources.
    TMainForm();
    // Reads the given window description.
    explicit TMainForm(std::string_view Description);

    // IMainWindow
    void Connect(IMainWindowEvents& events) override;
    void Dress() override;
    void ShowRunButton(TRunLook look, const std::u16string& text) override;
    bool Checked(const std::u16string& box) const override;
    void SetChecked(const std::u16string& box, bool checked) override;
    void SetEnabled(const std::u16string& box, bool enabled) override;
    void ShowPage(int page) override;
    void SetText(const std::u16string& control, const std::u16string& text) override;
    std::u16string Caption() const override { return TForm::Caption(); }
    void* Handle() const override;
    void Close() override { TForm::Close(); }

    // Controls, in the order of the window description.
    TCardPanel* PnlMain = nullptr;
    TCard* Card1 = nullptr;
    TLabel* LblTitle = nullptr;
    TMarkupLabel* LblContent = nullptr;
    TStyledButton* BtnStart = nullptr;
    TActivityIndicator* Indicator = nullptr;
    TCard* Card2 = nullptr;
    TLabel* LblVersion = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TLabel* LblAdapter = nullptr;
    TLabel* LblIPAddress = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TCheckBox* ChkTcpNoDelay = nullptr;
    TCheckBox* ChkTCPAckFrequency = nullptr;
    TCheckBox* ChkTcpDelAckTick = nullptr;
    TGroupBox* GroupBox3 = nullptr;
    TCheckBox* ChkNetworkThrottlingIndex = nullptr;
    TCheckBox* ChkSystemResponsiveness = nullptr;
    TPanel* PnlHead = nullptr;
    TStyledToolBar* BtnHead = nullptr;
    TStyledToolButton* BtnHome = nullptr;
    TStyledToolButton* BtnConfig = nullptr;
    TStyledToolButton* BtnDonate = nullptr;
    TPanel* PnlLogo = nullptr;
    TSvgImage* ImgLogo = nullptr;

private:
    TCheckBox* Box(const std::u16string& name) const;
    IMainWindowEvents* FEvents = nullptr;
};
