// The update check: at start-up a background worker asks the maker's update service whether a
// newer version exists, sending the file version, the user's language and the per-user id
// ("MUID" under HKEY_CURRENT_USER\Software\Marvetic) as request headers. An answer naming a
// download address opens the update notice on the UI thread; Yes opens the address and tells
// the caller. Every failure is silent.
#pragma once

#include <array>
#include <memory>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/UpdateService.h"
#include "system/Http.h"
#include "system/RegistryFacility.h"
#include "system/Shell.h"
#include "system/Threads.h"

// Major, minor, release, build of a file version.
using TFileVersion = std::array<std::uint16_t, 4>;

struct TLocalTime {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

// What the update unit asks of the system besides the registry, HTTP, threads and the shell.
// The Windows implementation is in Update_win.cpp.
class IUpdateSystem {
public:
    virtual ~IUpdateSystem() = default;
    // The running program's file version; nothing when it has no version information.
    virtual std::optional<TFileVersion> FileVersion() = 0;
    // The user default locale's ISO 639 language name; nothing when the query fails.
    virtual std::optional<std::u16string> LocaleLanguageName() = 0;
    virtual TLocalTime LocalTime() = 0;
    // A uniformly random integer 0 <= r < bound (bound > 0), from a generator seeded once per
    // process from the clock.
    virtual std::uint32_t Random(std::uint32_t bound) = 0;
};

class TUpdate;

// The update notice, shown on the UI thread: true when the user closed it with Yes.
class IUpdateNotice {
public:
    virtual ~IUpdateNotice() = default;
    virtual bool UpdateDialog(const TUpdate& Unit, const std::u16string& Answer) = 0;
};

inline constexpr int kUpdateAttempts = 60;
inline constexpr unsigned kUpdatePauseMs = 1000;
inline constexpr char16_t kUpdateUIDKey[] = u"Software\\Marvetic";
inline constexpr char16_t kUpdateUIDValue[] = u"MUID";

// The four-part version filled into Format, whose "%d" placeholders take major, minor,
// release and build in this order ("%%" is a percent sign).
std::u16string FormatFileVersion(const std::u16string& Format, const TFileVersion& Version);

// The language code of a locale's ISO 639 name: its first two characters, "en" for none.
std::u16string UpdateLanguageOf(const std::optional<std::u16string>& LocaleName);

// True for a 32-character id of the shape GenerateUID makes.
bool IsUIDShape(std::u16string_view Id);

class TUpdate final : public IUpdateCheck {
public:
    // The start-up step: fixes UpdateLanguage from the user locale.
    TUpdate(IHttp& Http, IRegistry& Registry, IThreads& Threads, IShell& Shell,
            IUpdateSystem& System, IUpdateNotice& Notice);

    // Stores URL and offset and starts the worker; returns at once. AProc runs at most once,
    // on the UI thread.
    void CheckUpdate(const std::u16string& URL, TUpdateProc AProc, int LayoutOffset) override;
    // Asks a running check to end, without calling AProc: a pause ends at once, a request
    // under way is the last.
    void Terminate() { FStop->Set(); }

    const std::u16string& UpdateURL() const { return FUpdateURL; }
    const std::u16string& UpdateLanguage() const { return FUpdateLanguage; }
    int LayoutOffset() const { return FLayoutOffset; }

    std::u16string GetFileVersion(const std::u16string& Format) const;
    // The stored user id, created first when missing; empty on any registry error.
    std::u16string GetUID() const;
    std::u16string GenerateUID() const;
    // One GET of URL with the headers in order, the body decoded as UTF-8; false on failure
    // (Body is then unchanged).
    bool HTTPGet(const std::u16string& URL, const std::vector<THttpHeader>& Headers,
                 std::u16string& Body) const;
    IThreads& Threads() const { return FThreads; }

private:
    void Check(const std::u16string& URL, const TUpdateProc& AProc);
    void Finish(const std::u16string& Data, const TUpdateProc& AProc);

    IHttp& FHttp;
    IRegistry& FRegistry;
    IThreads& FThreads;
    IShell& FShell;
    IUpdateSystem& FSystem;
    IUpdateNotice& FNotice;
    std::u16string FUpdateURL;
    std::u16string FUpdateLanguage = u"en";
    int FLayoutOffset = 0;
    // Set by Terminate; the pause between attempts waits on it.
    std::unique_ptr<IWaitEvent> FStop;
};
