// Stand-ins the program entry uses for a service whose Windows side is not built in yet: no
// adapter, no restart, an internet that answers at once, no update check, and no version.
#pragma once

#include "common/Update.h"
#include "common/UpdateService.h"
#include "system/NetworkService.h"

class TNullNetwork final : public INetwork {
public:
    TNetworkInfo GetActiveNetwork() override { return {}; }
    bool EnableNetwork(const std::u16string&, bool) override { return false; }
    bool ProbePublicIP() override { return true; }
};

class TNullUpdateCheck final : public IUpdateCheck {
public:
    void CheckUpdate(const std::u16string&, TUpdateProc, int) override {}
};

class TNullUpdateSystem final : public IUpdateSystem {
public:
    std::optional<TFileVersion> FileVersion() override { return std::nullopt; }
    std::optional<std::u16string> LocaleLanguageName() override { return std::nullopt; }
    TLocalTime LocalTime() override { return {}; }
    std::uint32_t Random(std::uint32_t) override { return 0; }
};
