// The markup of the intro label, which carries catalogue texts: any text is read into runs
// without a crash; no run is empty, neighbours differ in style, and the runs hold no more
// characters than the text.
#include "FuzzInput.h"
#include "toolkit/Markup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::u16string text = Utf8ToUtf16(FuzzBytes(data, size));
    const std::vector<TMarkupRun> runs = ParseMarkup(text);
    std::size_t total = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        FUZZ_CHECK(!runs[i].Text.empty());
        total += runs[i].Text.size();
        if (i > 0) {
            TMarkupRun previous = runs[i - 1];
            previous.Text = runs[i].Text;
            FUZZ_CHECK(!(previous == runs[i]));
        }
    }
    FUZZ_CHECK(total <= text.size());
    if (text.find(u'<') == std::u16string::npos) FUZZ_CHECK(total == text.size());
    return 0;
}
