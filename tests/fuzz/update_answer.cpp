// The update service's answer as the check reads it: the download address between the
// "update" marker and the next unescaped quote, the notice options of the "info" object, and
// the test that only a web address reaches the shell. Any body is read without a crash; a
// malformed "\u" escape is the one error raised, and it is an EAppError.
#include "FuzzInput.h"
#include "common/Error.h"
#include "common/Strings.h"
#include "common/UpdateDialog.h"

namespace {
bool IsSubstring(std::u16string_view part, std::u16string_view whole)
{
    return whole.find(part) != std::u16string_view::npos;
}

void CheckWebAddress(const std::u16string& address)
{
    if (!IsWebAddress(address)) return;
    FUZZ_CHECK(SameTextAscii(address.substr(0, 7), u"http://") ||
               SameTextAscii(address.substr(0, 8), u"https://"));
    for (char16_t c : address) FUZZ_CHECK(c > u' ' && c != u'"' && c != u'\\' && c != 0x7F);
    FUZZ_CHECK(!IsSecureWebAddress(address) || SameTextAscii(address.substr(0, 8), u"https://"));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::u16string answer = Utf8ToUtf16(FuzzBytes(data, size));

    const std::u16string raw = ExtractBetween(answer, u"\"update\":\"", u"\"");
    FUZZ_CHECK(IsSubstring(raw, answer));
    FUZZ_CHECK(raw.find(u'"') == std::u16string::npos || raw.find(u"\\\"") != std::u16string::npos);
    try {
        const std::u16string item = UnescapeJSON(raw);
        FUZZ_CHECK(item.size() <= raw.size());
        CheckWebAddress(item);
    } catch (const EAppError&) {
        FUZZ_CHECK(raw.find(u"\\u") != std::u16string::npos);
    }

    try {
        const TNoticeOptions options = ReadNoticeOptions(answer);
        FUZZ_CHECK(IsSubstring(options.Info, answer));
        FUZZ_CHECK(options.Info.find(u'}') == std::u16string::npos);
        for (const std::u16string* option : {&options.Style, &options.Text, &options.Flag, &options.URL})
            FUZZ_CHECK(option->size() <= options.Info.size());
        (void)IsTopmostNotice(options);
        for (const int dpi : {96, 144, 192}) {
            const TNoticeGeometry geometry = NoticeGeometry(options, 400, 200, dpi, 10);
            FUZZ_CHECK(geometry.Height >= 200);
            FUZZ_CHECK((geometry.Extra == TNoticeExtra::None) == options.Style.empty());
        }
        CheckWebAddress(options.URL);
    } catch (const EAppError&) {
        // A malformed "\u" in one of the options: the check ends without a notice.
    }
    return 0;
}
