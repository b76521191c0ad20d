#include "toolkit/Markup.h"

#include "common/Text.h"

bool MarkupColor(std::u16string_view name, TColor& color)
{
    // The one colour the tag line uses.
    if (!SameTextAscii(name, u"clGray")) return false;
    color = clGray;
    return true;
}

std::vector<TMarkupRun> ParseMarkup(std::u16string_view text)
{
    std::vector<TMarkupRun> runs;
    int bold = 0, centred = 0;
    std::vector<TColor> colors;
    std::u16string pending;
    auto flush = [&] {
        if (pending.empty()) return;
        TMarkupRun run{pending, bold > 0, centred > 0, !colors.empty(),
                       colors.empty() ? clBlack : colors.back()};
        if (!runs.empty()) {
            TMarkupRun& last = runs.back();
            if (last.Bold == run.Bold && last.Centered == run.Centered &&
                last.HasColor == run.HasColor && last.Color == run.Color) {
                last.Text += run.Text;
                pending.clear();
                return;
            }
        }
        runs.push_back(std::move(run));
        pending.clear();
    };
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char16_t c = text[pos];
        const std::size_t close = c == u'<' ? text.find(u'>', pos) : std::u16string_view::npos;
        if (close == std::u16string_view::npos) {
            pending += c;
            ++pos;
            continue;
        }
        const std::u16string_view tag = text.substr(pos + 1, close - pos - 1);
        bool known = true;
        TColor color;
        if (SameTextAscii(tag, u"B")) { flush(); ++bold; }
        else if (SameTextAscii(tag, u"/B")) { flush(); if (bold) --bold; }
        else if (SameTextAscii(tag, u"C")) { flush(); ++centred; }
        else if (SameTextAscii(tag, u"/C")) { flush(); if (centred) --centred; }
        else if (SameTextAscii(tag, u"/FC")) { flush(); if (!colors.empty()) colors.pop_back(); }
        else if (tag.size() > 3 && SameTextAscii(tag.substr(0, 3), u"FC:") &&
                 MarkupColor(tag.substr(3), color)) { flush(); colors.push_back(color); }
        else known = false;
        if (known) {
            pos = close + 1;
        } else {
            pending += c;
            ++pos;
        }
    }
    flush();
    return runs;
}
