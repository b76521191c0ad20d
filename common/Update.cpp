#include "common/Update.h"

#include <exception>

#include "common/Error.h"
#include "common/Strings.h"
#include "common/Text.h"

namespace {
std::u16string Hex(std::uint32_t value, int digits)
{
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string out(static_cast<std::size_t>(digits), u'0');
    for (int i = digits - 1; i >= 0 && value != 0; --i, value >>= 4)
        out[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return out;
}

std::u16string TwoDigits(int value)
{
    const int v = ((value % 100) + 100) % 100;
    return {static_cast<char16_t>(u'0' + v / 10), static_cast<char16_t>(u'0' + v % 10)};
}

bool IsUpperHex(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}
}  // namespace

std::u16string FormatFileVersion(const std::u16string& Format, const TFileVersion& Version)
{
    std::u16string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < Format.size(); ++i) {
        if (Format[i] == u'%' && i + 1 < Format.size()) {
            if (Format[i + 1] == u'd') {
                if (next < Version.size()) out += IntToText(Version[next++]);
                ++i;
                continue;
            }
            if (Format[i + 1] == u'%') {
                out.push_back(u'%');
                ++i;
                continue;
            }
        }
        out.push_back(Format[i]);
    }
    return out;
}

std::u16string UpdateLanguageOf(const std::optional<std::u16string>& LocaleName)
{
    if (!LocaleName || LocaleName->empty()) return u"en";
    return LocaleName->substr(0, 2);
}

bool IsUIDShape(std::u16string_view Id)
{
    if (Id.size() != 32) return false;
    for (std::size_t i = 0; i < Id.size(); ++i) {
        const bool digitOnly = (i >= 8 && i < 14) || (i >= 18 && i < 24);  // date and time
        if (digitOnly ? !(Id[i] >= u'0' && Id[i] <= u'9') : !IsUpperHex(Id[i])) return false;
    }
    return Id[0] <= u'7' && Id[24] <= u'7';
}

TUpdate::TUpdate(IHttp& Http, IRegistry& Registry, IThreads& Threads, IShell& Shell,
                 IUpdateSystem& System, IUpdateNotice& Notice)
    : FHttp(Http), FRegistry(Registry), FThreads(Threads), FShell(Shell), FSystem(System),
      FNotice(Notice), FStop(Threads.NewEvent())
{
    try {
        FUpdateLanguage = UpdateLanguageOf(FSystem.LocaleLanguageName());
    } catch (const std::exception&) {
        FUpdateLanguage = u"en";
    }
}

void TUpdate::CheckUpdate(const std::u16string& URL, TUpdateProc AProc, int LayoutOffset)
{
    FUpdateURL = URL;
    FLayoutOffset = LayoutOffset;
    FStop->Reset();
    FThreads.StartWorker([this, URL, AProc = std::move(AProc)] {
        try {
            Check(URL, AProc);
        } catch (const std::exception&) {
            // A failed check ends quietly; the program goes on without it.
        }
    });
}

void TUpdate::Check(const std::u16string& URL, const TUpdateProc& AProc)
{
    const std::vector<THttpHeader> headers = {
        {u"User-Version", GetFileVersion(u"%d.%d.%d.%d")},
        {u"User-Language", FUpdateLanguage},
        {u"User-Debug", u"false"},  // the leak report at exit is never turned on
        {u"User-Union", GetUID()},
    };
    std::u16string data;
    for (int attempt = 0; attempt < kUpdateAttempts; ++attempt) {
        if (HTTPGet(URL, headers, data)) break;
        if (FStop->Wait(kUpdatePauseMs)) return;
    }
    FThreads.Synchronize([&] {
        try {
            Finish(data, AProc);
        } catch (const EAppError&) {
            // A malformed answer ends the check without an answer to the caller.
        }
    });
}

void TUpdate::Finish(const std::u16string& Data, const TUpdateProc& AProc)
{
    const std::u16string item = UnescapeJSON(ExtractBetween(Data, u"\"update\":\"", u"\""));
    // Only an https address is handed to the shell: anything else counts as no offer. An offer
    // that the desktop's shell could not open counts as not accepted: the window stays.
    if (IsSecureWebAddress(item) && FNotice.UpdateDialog(*this, Data) && FShell.ShellOpen(item)) {
        AProc(true, Data);
        return;
    }
    AProc(false, Data);
}

std::u16string TUpdate::GetFileVersion(const std::u16string& Format) const
{
    const std::optional<TFileVersion> version = FSystem.FileVersion();
    return version ? FormatFileVersion(Format, *version) : u"0.0.0.0";
}

std::u16string TUpdate::GetUID() const
{
    TRegKey key(FRegistry);
    if (FRegistry.CreateKey(FRegistry.Root(reg::kCurrentUser), kUpdateUIDKey,
                            reg::kKeyRead | reg::kKeyWrite, key.Out()) != reg::kSuccess)
        return {};
    std::uint32_t type = 0, size = 0;
    long rc = FRegistry.QueryValue(key.Get(), kUpdateUIDValue, &type, nullptr, &size);
    if (rc == reg::kFileNotFound) {
        std::u16string id = GenerateUID();
        id.push_back(u'\0');
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(id.data());
        if (FRegistry.SetValue(key.Get(), kUpdateUIDValue, reg::kTypeSz, bytes,
                               static_cast<std::uint32_t>(id.size() * sizeof(char16_t))) !=
            reg::kSuccess)
            return {};
        rc = FRegistry.QueryValue(key.Get(), kUpdateUIDValue, &type, nullptr, &size);
    }
    if (rc != reg::kSuccess || (type != reg::kTypeSz && type != reg::kTypeExpandSz)) return {};
    std::u16string text((size + 1) / 2, u'\0');
    std::uint32_t got = static_cast<std::uint32_t>(text.size() * sizeof(char16_t));
    if (FRegistry.QueryValue(key.Get(), kUpdateUIDValue, &type,
                             reinterpret_cast<std::uint8_t*>(text.data()), &got) != reg::kSuccess)
        return {};
    text.resize(got / 2);
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return text;
}

std::u16string TUpdate::GenerateUID() const
{
    std::u16string id = Hex(FSystem.Random(0x7FFFFFFF), 8);
    const TLocalTime date = FSystem.LocalTime();
    id += TwoDigits(date.Year) + TwoDigits(date.Month) + TwoDigits(date.Day);
    id += Hex(FSystem.Random(0xFFFF), 4);
    const TLocalTime time = FSystem.LocalTime();
    id += TwoDigits(time.Hour) + TwoDigits(time.Minute) + TwoDigits(time.Second);
    id += Hex(FSystem.Random(0x7FFFFFFF), 8);
    return id;
}

bool TUpdate::HTTPGet(const std::u16string& URL, const std::vector<THttpHeader>& Headers,
                      std::u16string& Body) const
{
    try {
        std::optional<std::u16string> answer = FHttp.Get(URL, Headers, TBodyDecoding::Utf8);
        if (!answer) return false;
        Body = std::move(*answer);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
