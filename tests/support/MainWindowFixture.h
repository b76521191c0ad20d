// The program's rules for its window (TFrmTavrino) over test doubles, for the native tests of
// its controller and start-up: a window that records what is done to it, the in-memory
// registry, inline threads, a fake network, update check, shell and update system, and the
// catalogue read from the source tree.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Main.h"
#include "common/ErrorGuard.h"
#include "common/Text.h"
#include "common/Translate.h"
#include "support/FakeLocale.h"
#include "support/FakeMainWindow.h"
#include "support/FakeNetwork.h"
#include "support/FakeShell.h"
#include "support/FakeUpdate.h"
#include "support/InlineThreads.h"
#include "support/MemoryRegistry.h"
#include "support/ResourceFiles.h"
#include "support/UpdateDoubles.h"

class MainWindowTest : public ::testing::Test {
protected:
    static inline const std::u16string kSettingsKey = u"Software\\Tavrino";
    static inline const std::u16string kInterfaceKey =
        u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\"
        u"{0A1B2C3D-0000-4000-8000-00000000ABCD}";

    MainWindowTest()
    {
        UseResourceFiles();
        SetLanguage(u"en");
        SetErrorHandler([this](const std::exception& e) { Errors.push_back(e.what()); });
    }
    ~MainWindowTest() override
    {
        Form.reset();
        SetErrorHandler(nullptr);
        TranslateShutdown();
    }

    static void SetLanguage(const std::u16string& language)
    {
        LoadCatalogue(ReadSourceFile("resources/Translate.txt"), language);
    }

    // Builds the window and runs its creation handler, as the program does: an error raised
    // there is reported and the window opens all the same.
    TFrmTavrino& Create()
    {
        Form.reset();
        Window = std::make_unique<TFakeMainWindow>();
        Form = std::make_unique<TFrmTavrino>(Platform, *Window);
        RunHandler([this] { Window->Events->Handle(u"FormCreate", u"FrmTavrino"); });
        return *Form;
    }
    // A click on the Run button, as the window passes it on.
    void ClickRun() { Window->Events->Handle(u"BtnStartClick", u"BtnStart"); }
    // Clicks a check box when its state is not the one asked for.
    void Check(const std::u16string& box, bool checked)
    {
        if (Window->Checked(box) != checked) Window->ClickBox(box, box + u"Click");
    }

    std::optional<std::uint32_t> Setting(const std::u16string& name) const
    {
        return Reg.GetDword(reg::kCurrentUser, kSettingsKey, name);
    }
    void PutSetting(const std::u16string& name, std::uint32_t value)
    {
        Reg.PutDword(reg::kCurrentUser, kSettingsKey, name, value);
    }
    // Every value under HKEY_LOCAL_MACHINE, as the in-memory registry dumps it.
    std::vector<std::string> MachineValues() const
    {
        std::vector<std::string> rows;
        for (const auto& row : Reg.Dump())
            if (row.rfind("HKLM\\", 0) == 0) rows.push_back(row);
        return rows;
    }
    // The keys opened under HKEY_LOCAL_MACHINE, in order.
    std::vector<std::u16string> MachineOpens() const
    {
        std::vector<std::u16string> paths;
        for (const auto& open : Reg.Opens())
            if (open.Root == reg::kLocalMachine) paths.push_back(open.Path);
        return paths;
    }
    std::size_t SettingsOpens() const
    {
        std::size_t count = 0;
        for (const auto& open : Reg.Opens())
            if (open.Root == reg::kCurrentUser && open.Path == u"software\\tavrino") ++count;
        return count;
    }
    static std::vector<std::u16string> Boxes()
    {
        return {u"ChkTCPAckFrequency", u"ChkTcpDelAckTick", u"ChkTcpNoDelay", u"ChkNetworkThrottlingIndex",
                u"ChkSystemResponsiveness"};
    }
    bool Enabled(const std::u16string& box) const { return Window->Boxes.at(box).Enabled; }

    TMemoryRegistry Reg;
    TInlineThreads Threads;
    TFakeNetwork Network;
    TFakeUpdate Update;
    TFakeShell Shell;
    TUpdateTestSystem System;
    TPlatform Platform{Reg, Threads, Network, Update, Shell, System};
    std::unique_ptr<TFakeMainWindow> Window;
    std::unique_ptr<TFrmTavrino> Form;
    std::vector<std::string> Errors;
};
