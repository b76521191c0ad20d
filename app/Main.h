// The unit Main: the rules of the program's one window, TFrmTavrino: the tweak controller
// (MainController.cpp), the start-up (MainStartup.cpp) and the navigation of the header
// (Main.cpp). It reaches the window only through IMainWindow (MainWindow.h) and runs the
// handlers that the window description names.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "app/MainWindow.h"
#include "app/Platform.h"

enum TStatus : std::uint8_t { stIdle = 0, stRunning = 1, stBusy = 2 };

struct TChoice;

class TFrmTavrino final : public IMainWindowEvents {
public:
    // Connects itself to the window's events.
    TFrmTavrino(TPlatform& APlatform, IMainWindow& AWindow);
    ~TFrmTavrino() override;

    // The handlers that the window description may name.
    static bool HasHandler(const std::u16string& Name);

    // The adapter triple; an empty NetworkGUID means no adapter.
    std::u16string NetworkName;
    std::u16string NetworkGUID;
    std::u16string NetworkIP;

    void Start();
    void Stop();
    void Refresh(TStatus Status);

    // Event handlers wired by the window description; Sender is the name of the control.
    void FormCreate(const std::u16string& Sender);
    void BtnStartClick(const std::u16string& Sender);
    void BtnHomeClick(const std::u16string& Sender);
    void ChkTCPAckFrequencyClick(const std::u16string& Sender);
    void ChkTcpDelAckTickClick(const std::u16string& Sender);
    void ChkTcpNoDelayClick(const std::u16string& Sender);
    void ChkNetworkThrottlingIndexClick(const std::u16string& Sender);
    void ChkSystemResponsivenessClick(const std::u16string& Sender);

    // IMainWindowEvents
    void Handle(const std::u16string& Handler, const std::u16string& Sender) override;
    void Activated() override;
    void Ending() override;

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
    void SaveChoice(const std::u16string& Box);
    // Sets a choice's check box; a change runs its click handler, as a click would.
    void SetChoice(const TChoice& Choice, bool Checked);
    void SaveConfigBool(const std::u16string& Name, bool Value);
    void SaveConfigInt(const std::u16string& Name, std::int32_t Value);
    void LoadConfig();
    // On close (or at the end of the session): a connection taken down and not known to be
    // up is asked once more to come up, for a bounded time, before the program ends.
    void ReconnectOnClose();

    TPlatform& FPlatform;
    IMainWindow& FWindow;
    TStatus FStatus = stIdle;
    std::shared_ptr<TTakenDown> FTakenDown;
    std::u16string FPendingError;
    // Held until the window is destroyed: the refresh worker and the update callback keep weak
    // references to it and reach the window only while it lasts.
    std::shared_ptr<TFrmTavrino*> FLink = std::make_shared<TFrmTavrino*>(this);
};

// The five choices of the Config page, in the order they are restored: each check box (its
// name in the window description), the settings key that remembers it and its click handler.
// Run writes the tweaks of the checked ones (the controller's table names the box of each
// tweak).
struct TChoice {
    const char16_t* Box;
    const char16_t* Key;
    void (TFrmTavrino::*Click)(const std::u16string& Sender);
};
extern const TChoice kChoices[5];
