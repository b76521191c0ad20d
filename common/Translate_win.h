// The Windows side of the translation catalogue: the user's locale (GetUserDefaultLCID,
// GetLocaleInfoW) and the raw-data resources of the running executable (FindResourceW).
#pragma once

#include "common/Translate.h"

class TWinLocale final : public ILocale {
public:
    std::uint32_t UserDefaultLCID() override;
    int LocaleInfo(std::uint32_t lcid, std::uint32_t type, char16_t* buffer, int size) override;
};

class TWinResources final : public IResources {
public:
    std::optional<std::string> ReadRCData(const std::u16string& name) override;
};

// The start-up step with the Windows locale and the executable's own "TRANSLATE" resource.
void TranslateStartupWin();
