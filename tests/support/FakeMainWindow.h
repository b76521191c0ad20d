// A test double of the program's window: it keeps what the program's rules set (the Run
// button's look and text, the five check boxes, the page, the labels' texts), starts as the
// window description leaves the window, refuses a control it does not have, and passes clicks
// and the window's events to the rules as the window does.
#pragma once

#include <map>
#include <stdexcept>
#include <string>

#include "app/MainWindow.h"
#include "common/Translate.h"

class TFakeMainWindow final : public IMainWindow {
public:
    struct TBox {
        bool Checked = false;
        bool Enabled = true;
        bool operator==(const TBox&) const = default;
    };

    IMainWindowEvents* Events = nullptr;
    int Dressings = 0;
    TRunLook RunLook = TRunLook::Run;
    std::u16string RunText = u"실행하기";
    std::map<std::u16string, TBox> Boxes = {
        {u"ChkTcpNoDelay", {}}, {u"ChkTCPAckFrequency", {}}, {u"ChkTcpDelAckTick", {}},
        {u"ChkNetworkThrottlingIndex", {}}, {u"ChkSystemResponsiveness", {}},
    };
    std::map<std::u16string, std::u16string> Texts = {
        {u"LblContent", u""}, {u"LblVersion", u"Loadiing..."}, {u"LblAdapter", u"..."},
        {u"LblIPAddress", u"..."},
    };
    int Page = 0;
    int PagesShown = 0;
    int Closes = 0;
    std::u16string Title = u"Tavrino";

    void Connect(IMainWindowEvents& events) override { Events = &events; }
    // Dressing translates the captions, the Run button's among them.
    void Dress() override
    {
        ++Dressings;
        RunText = TranslateText(RunText);
    }
    void ShowRunButton(TRunLook look, const std::u16string& text) override
    {
        RunLook = look;
        RunText = text;
    }
    bool Checked(const std::u16string& box) const override { return Box(box).Checked; }
    void SetChecked(const std::u16string& box, bool checked) override { Box(box).Checked = checked; }
    void SetEnabled(const std::u16string& box, bool enabled) override { Box(box).Enabled = enabled; }
    void ShowPage(int page) override
    {
        Page = page;
        ++PagesShown;
    }
    void SetText(const std::u16string& control, const std::u16string& text) override
    {
        const auto it = Texts.find(control);
        if (it == Texts.end()) throw std::logic_error("the window has no label of that name");
        it->second = text;
    }
    std::u16string Caption() const override { return Title; }
    void* Handle() const override { return const_cast<TFakeMainWindow*>(this); }
    void Close() override { ++Closes; }

    // A click of the user on a check box: it toggles, then its handler runs.
    void ClickBox(const std::u16string& box, const std::u16string& handler)
    {
        Box(box).Checked = !Box(box).Checked;
        Events->Handle(handler, box);
    }

private:
    TBox& Box(const std::u16string& name)
    {
        const auto it = Boxes.find(name);
        if (it == Boxes.end()) throw std::logic_error("the window has no check box of that name");
        return it->second;
    }
    const TBox& Box(const std::u16string& name) const { return const_cast<TFakeMainWindow*>(this)->Box(name); }
};
