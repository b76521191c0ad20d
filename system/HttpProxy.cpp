#include "system/HttpProxy.h"

#include <mutex>
#include <thread>
#include <vector>

#include "common/Text.h"

namespace {
bool IsSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string Trim(const std::u16string& text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsSpace(text[begin])) ++begin;
    while (end > begin && IsSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}
}  // namespace

std::u16string UsableProxyList(const std::u16string& proxy)
{
    // Internet Options separates entries with ";" (older versions also with white space).
    std::u16string result;
    std::size_t start = 0;
    while (start <= proxy.size()) {
        std::size_t end = start;
        while (end < proxy.size() && proxy[end] != u';' && !IsSpace(proxy[end])) ++end;
        const std::u16string entry = proxy.substr(start, end - start);
        const std::size_t equals = entry.find(u'=');
        const std::u16string scheme = equals == std::u16string::npos ? u"" : entry.substr(0, equals);
        const bool usable = equals == std::u16string::npos ? !entry.empty()
                            : equals + 1 < entry.size() &&
                                  (SameTextAscii(scheme, u"http") || SameTextAscii(scheme, u"https"));
        if (usable) {
            if (!result.empty()) result += u';';
            result += entry;
        }
        start = end + 1;
    }
    return result;
}

TProxyRoute ChooseProxyRoute(const std::optional<TUserProxySettings>& user, const TAutoProxy& autoProxy)
{
    if (!user) return {};
    const std::u16string script = Trim(user->ScriptUrl);
    if (user->AutoDetect || !script.empty()) {
        if (std::optional<TProxyRoute> found = autoProxy(user->AutoDetect, script)) {
            if (found->Kind == TProxyRoute::TKind::Named && Trim(found->Proxy).empty())
                return {TProxyRoute::TKind::Direct, u"", u""};
            return *found;
        }
    }
    const std::u16string proxy = UsableProxyList(user->Proxy);
    if (!proxy.empty()) return {TProxyRoute::TKind::Named, proxy, Trim(user->Bypass)};
    return {};
}

void TAutoProxyMemo::TSpinLock::lock() noexcept
{
    while (FHeld.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
}

std::optional<TProxyRoute> TAutoProxyMemo::Get(const std::u16string& url, bool detect,
                                               const std::u16string& scriptUrl,
                                               std::uint64_t now, const TAutoProxy& lookup)
{
    auto same = [&](const TEntry& e) { return e.Url == url && e.Detect == detect && e.ScriptUrl == scriptUrl; };
    {
        const std::lock_guard<TSpinLock> guard(FLock);
        for (const TEntry& e : FEntries)
            if (same(e) && now - e.At < kKeptMs) return e.Route;
    }
    // Looked up outside the lock: it may take as long as the request's time-outs.
    std::optional<TProxyRoute> route = lookup(detect, scriptUrl);
    const std::lock_guard<TSpinLock> guard(FLock);
    std::erase_if(FEntries, same);
    if (route) FEntries.push_back({url, detect, scriptUrl, *route, now});
    return route;
}
