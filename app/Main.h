// The unit Main: the program's one window, TFrmTavrino. Its controls come from the window
// description "TFRMTAVRINO"; the tweak controller (MainController.cpp), the start-up
// (MainStartup.cpp) and the navigation of the header (Main.cpp) are its members.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "app/Platform.h"
#include "toolkit/Forms.h"
#include "toolkit/StdControls.h"
#include "toolkit/StyledButtons.h"

enum TStatus : std::uint8_t { stIdle = 0, stRunning = 1, stBusy = 2 };

class TFrmTavrino : public TForm {
public:
    // Reads the window description from the program's resources.
    explicit TFrmTavrino(TPlatform& APlatform);
    // Reads the given window description.
    TFrmTavrino(TPlatform& APlatform, std::string_view Description);

    // The adapter triple; an empty NetworkGUID means no adapter.
    std::u16string NetworkName;
    std::u16string NetworkGUID;
    std::u16string NetworkIP;

    void Start();
    void Stop();
    void Refresh(TStatus Status);

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

    // Event handlers wired by the window description.
    void FormCreate(TComponent* Sender);
    void BtnStartClick(TComponent* Sender);
    void BtnHomeClick(TComponent* Sender);
    void ChkTCPAckFrequencyClick(TComponent* Sender);
    void ChkTcpDelAckTickClick(TComponent* Sender);
    void ChkTcpNoDelayClick(TComponent* Sender);
    void ChkNetworkThrottlingIndexClick(TComponent* Sender);
    void ChkSystemResponsivenessClick(TComponent* Sender);

    TStatus Status() const { return FStatus; }

    // The connection that the last Refresh took down, shared with its worker: Down while it
    // is not known to be up again.
    struct TTakenDown {
        std::u16string GUID;
        std::atomic<bool> Down{false};
    };

private:
    void SetStatus(TStatus Status);
    // The error box: the text, titled with the window's caption, modal, topmost.
    void ShowError(const std::u16string& Message);
    // The end of a refresh, on the UI thread: the status, then the box when the internet
    // did not answer (saying whether an adapter was restarted) at once when the window is in
    // the foreground, else once it is activated.
    void Settle(TStatus Status, bool Answered, bool Restarted);
    // The box that waited for the window to be activated, if any.
    void ShowPendingError();
    // Stores the state of one of the five check boxes under its settings key.
    void SaveChoice(const TCheckBox* Box);
    void SaveConfigBool(const std::u16string& Name, bool Value);
    void SaveConfigInt(const std::u16string& Name, std::int32_t Value);
    void LoadConfig();
    // On close (or at the end of the session): a connection taken down and not known to be
    // up is asked once more to come up, for a bounded time, before the program ends.
    void ReconnectOnClose();
    TNotifyEvent Handler(const std::u16string& Name);

    TPlatform& FPlatform;
    TStatus FStatus = stIdle;
    std::shared_ptr<TTakenDown> FTakenDown;
    std::u16string FPendingError;
    // Held until the window is destroyed: the refresh worker and the update callback keep weak
    // references to it and reach the window only while it lasts.
    std::shared_ptr<TFrmTavrino*> FLink = std::make_shared<TFrmTavrino*>(this);
};

// The five choices of the Config page, in the order they are restored: each check box and the
// settings key that remembers it. Run writes the tweaks of the checked ones (the controller's
// table names the box of each tweak).
struct TChoice {
    TCheckBox* TFrmTavrino::*Box;
    const char16_t* Key;
};
extern const TChoice kChoices[5];
