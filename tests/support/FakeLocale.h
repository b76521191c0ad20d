// Test doubles of the translation unit's system side: a locale whose two calls answer as set
// (and record how they were asked), and raw-data resources held in a map.
#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/Error.h"
#include "common/Translate.h"

class TFakeLocale final : public ILocale {
public:
    static constexpr int kReal = -2;  // answer as Windows would for Name
    std::uint32_t Lcid = 0x412;
    std::u16string Name = u"ko";
    int SizeAnswer = kReal;
    int WrittenAnswer = kReal;
    std::vector<std::uint32_t> Lcids;
    std::vector<std::uint32_t> Types;
    std::vector<int> Sizes;

    std::uint32_t UserDefaultLCID() override { return Lcid; }
    int LocaleInfo(std::uint32_t lcid, std::uint32_t type, char16_t* buffer, int size) override
    {
        Lcids.push_back(lcid);
        Types.push_back(type);
        Sizes.push_back(size);
        const int needed = static_cast<int>(Name.size()) + 1;
        if (size == 0) return SizeAnswer == kReal ? needed : SizeAnswer;
        if (WrittenAnswer != kReal) return WrittenAnswer;
        if (size < needed) return 0;
        std::copy(Name.begin(), Name.end(), buffer);
        buffer[Name.size()] = u'\0';
        return needed;
    }
};

class TFakeResources final : public IResources {
public:
    std::map<std::u16string, std::string> Data;
    bool Fail = false;  // every read raises
    std::vector<std::u16string> Asked;

    std::optional<std::string> ReadRCData(const std::u16string& name) override
    {
        Asked.push_back(name);
        if (Fail) throw EAppError(u"The resource cannot be read.");
        const auto it = Data.find(name);
        if (it == Data.end()) return std::nullopt;
        return it->second;
    }
};

// The start-up step over a catalogue, in the given user language.
inline void LoadCatalogue(const std::string& catalogue, const std::u16string& language)
{
    TFakeResources resources;
    resources.Data[u"translate"] = catalogue;
    TFakeLocale locale;
    locale.Name = language;
    TranslateStartup(resources, locale);
}
