// A test double of the update check: records each CheckUpdate call and keeps its callback, so
// that a test can answer as the finished check would.
#pragma once

#include <string>
#include <vector>

#include "common/UpdateService.h"

class TFakeUpdate final : public IUpdateCheck {
public:
    struct Call {
        std::u16string URL;
        TUpdateProc AProc;
        int LayoutOffset;
    };
    std::vector<Call> Calls;

    void CheckUpdate(const std::u16string& URL, TUpdateProc AProc, int LayoutOffset) override
    {
        Calls.push_back({URL, std::move(AProc), LayoutOffset});
    }
};
