// The main window over test doubles, for the native tests of its controller and start-up: the
// in-memory registry, inline threads, a fake network, update check, shell and update system,
// the window description and catalogue read from the source tree.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Main.h"
#include "common/Text.h"
#include "common/Translate.h"
#include "support/FakeLocale.h"
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

    // Builds the window and runs its creation handler, as the program does.
    TFrmTavrino& Create()
    {
        Form = std::make_unique<TFrmTavrino>(Platform);
        Form->DoCreate();
        return *Form;
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
    std::vector<TCheckBox*> Boxes() const
    {
        return {Form->ChkTCPAckFrequency, Form->ChkTcpDelAckTick, Form->ChkTcpNoDelay,
                Form->ChkNetworkThrottlingIndex, Form->ChkSystemResponsiveness};
    }

    TMemoryRegistry Reg;
    TInlineThreads Threads;
    TFakeNetwork Network;
    TFakeUpdate Update;
    TFakeShell Shell;
    TUpdateTestSystem System;
    TPlatform Platform{Reg, Threads, Network, Update, Shell, System};
    std::unique_ptr<TFrmTavrino> Form;
    std::vector<std::string> Errors;
};
