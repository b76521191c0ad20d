// The two readers of the update answer with markers of any kind: ExtractBetween gives a part
// of the source that holds no end marker outside an escape, and UnescapeJSON never grows the
// text. Input: source, start marker and end marker, separated by bytes 0x01.
#include "FuzzInput.h"
#include "common/Error.h"
#include "common/Strings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::u16string> fields = FuzzFields(FuzzBytes(data, size), 3);
    const std::u16string& source = fields[0];
    const std::u16string& start = fields[1];
    const std::u16string& end = fields[2];

    const std::u16string value = ExtractBetween(source, start, end);
    FUZZ_CHECK(value.size() <= source.size());
    FUZZ_CHECK(source.find(value) != std::u16string::npos);
    if (!end.empty() && end != u"\"" && end != u"'" && end != u"\"'")
        FUZZ_CHECK(AsciiLower(value).find(AsciiLower(end)) == std::u16string::npos);
    if (start.empty() && end.empty()) FUZZ_CHECK(value == source);

    try {
        const std::u16string text = UnescapeJSON(source);
        FUZZ_CHECK(text.size() <= source.size());
        if (source.find(u'\\') == std::u16string::npos) FUZZ_CHECK(text == source);
    } catch (const EAppError&) {
        FUZZ_CHECK(source.find(u"\\u") != std::u16string::npos);
    }
    return 0;
}
