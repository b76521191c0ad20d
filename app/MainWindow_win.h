// TMainWindow: the program's window, made from the window description "TFRMTAVRINO" with the
// accent strip, and what the program's rules ask of it (IMainWindow).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/MainWindow.h"

class TMainWindow final : public IMainWindow {
public:
    // Reads the window description from the program's resources and makes the window, hidden;
    // its handlers must be the program's (TFrmTavrino).
    TMainWindow();
    // Destroys the window if it is still there.
    ~TMainWindow() override;
    TMainWindow(const TMainWindow&) = delete;
    TMainWindow& operator=(const TMainWindow&) = delete;

    HWND Wnd() const { return FWnd; }
    // The window of a control of the description, or null.
    HWND Control(std::u16string_view name) const;

    // IMainWindow
    void Connect(IMainWindowEvents& events) override { FEvents = &events; }
    void Dress() override;
    void ShowRunButton(TRunLook look, const std::u16string& text) override;
    bool Checked(const std::u16string& box) const override;
    void SetChecked(const std::u16string& box, bool checked) override;
    void SetEnabled(const std::u16string& box, bool enabled) override;
    void ShowPage(int page) override;
    void SetText(const std::u16string& control, const std::u16string& text) override;
    std::u16string Caption() const override;
    void* Handle() const override { return FWnd; }
    void Close() override;

private:
    // The control's window; raises EAppError when the description has no such control.
    HWND Require(std::u16string_view name) const;
    HWND FWnd = nullptr;
    IMainWindowEvents* FEvents = nullptr;
};
