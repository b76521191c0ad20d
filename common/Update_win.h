// The update unit's system facilities on Windows: the file version from the running program's
// version resource, the user locale's ISO 639 name, the local clock and the random generator
// (seeded once from the clock).
#pragma once

#include <windows.h>

#include <random>

#include "common/Update.h"

class TWinUpdateSystem final : public IUpdateSystem {
public:
    TWinUpdateSystem();

    std::optional<TFileVersion> FileVersion() override;
    std::optional<std::u16string> LocaleLanguageName() override;
    TLocalTime LocalTime() override;
    std::uint32_t Random(std::uint32_t bound) override;

private:
    SRWLOCK FRandomLock = SRWLOCK_INIT;  // ids may be made on more than one worker
    std::mt19937 FRandom;
};
