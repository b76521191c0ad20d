// Test doubles of the update unit's system facilities (file version, locale, clock, random)
// and of the update notice, which records the answers it was shown and answers with Accept.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/Update.h"

class TUpdateTestSystem final : public IUpdateSystem {
public:
    std::optional<TFileVersion> Version = TFileVersion{1, 5, 6, 0};
    std::optional<std::u16string> LocaleName = u"en";
    bool LocaleThrows = false;
    std::vector<TLocalTime> Times = {{2026, 12, 9, 22, 16, 5}};  // one per call, the last repeats
    std::vector<std::uint32_t> Randoms;                           // empty: bound - 1
    std::vector<std::uint32_t> Bounds;
    int TimeCalls = 0;

    std::optional<TFileVersion> FileVersion() override { return Version; }
    std::optional<std::u16string> LocaleLanguageName() override
    {
        if (LocaleThrows) throw std::runtime_error("locale");
        return LocaleName;
    }
    TLocalTime LocalTime() override
    {
        const std::size_t i = static_cast<std::size_t>(TimeCalls++);
        return Times[i < Times.size() ? i : Times.size() - 1];
    }
    std::uint32_t Random(std::uint32_t bound) override
    {
        const std::size_t i = Bounds.size();
        Bounds.push_back(bound);
        return i < Randoms.size() ? Randoms[i] : bound - 1;
    }
};

class TUpdateTestNotice final : public IUpdateNotice {
public:
    bool Accept = false;
    std::vector<std::u16string> Shown;

    bool UpdateDialog(const TUpdate&, const std::u16string& Answer) override
    {
        Shown.push_back(Answer);
        return Accept;
    }
};
