#include "common/UpdateDialog.h"

#include <algorithm>
#include <cmath>

#include "common/Strings.h"

namespace {
struct TUpdateTexts {
    const char16_t* Language;  // empty: every other code
    const char16_t* Message;
    const char16_t* Yes;
    const char16_t* No;
};

constexpr TUpdateTexts kTexts[] = {
    {u"ko", u"업데이트가 정보가 있습니다.\r\r안정적으로 사용하기 위해 업데이트를 하시길 권장합니다.\r\r다운로드 받으시겠습니까?", u"예", u"아니오"},
    {u"ja", u"このプログラムがアップデートされました。\r\r安定的に使用するために新しくダウンロード·実行することをお勧めします。\r\rダウンロードしますか。", u"はい", u"いいえ"},
    {u"zh", u"该程序已更新。\r\r建议下载并执行新程序以稳定使用。\r\r您要下载吗？", u"是", u"否"},
    {u"de", u"Dieses Programm ist aktualisiert worden.\r\rEs wird empfohlen, es herunterzuladen und neu auszuführen, um es stabil zu verwenden.\r\rMöchten Sie es herunterladen?", u"Ja", u"Nein"},
    {u"ru", u"Данная программа была обновлена.\r\rРекомендуется скачать и выполнить новое для стабильного использования.\r\rВы хотите загрузить ее?", u"Да", u"Нет"},
    {u"it", u"È disponibile una nuova versione del programma.\r\rTi suggeriamo di scaricare ed aggiornare il programma.\r\rVuoi scaricare la nuova versione del programma?", u"Sì", u"No"},
    {u"fr", u"Ce programme a été mis à jour.\r\rIl est recommandé de télécharger et d'exécuter la nouvelle version pour une utilisation stable.\r\rVoulez-vous le télécharger?", u"Oui", u"Non"},
    {u"", u"This program has been updated.\r\rIt is recommended to download and execute new for stable use.\r\rDo you want to download it?", u"Yes", u"No"},
};

// Sizes of the message dialog at 96 DPI.
constexpr int kMargin = 16;
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;
constexpr int kButtonsGap = 20;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonPadding = 24;
constexpr int kButtonSpacing = 8;
constexpr int kMinWrapWidth = 200;

// The notice's growth and the places of its additions at 96 DPI, before the layout offset.
constexpr int kGrowth = 40;
constexpr int kSeparatorFromBottom = 76;
constexpr int kExtraFromBottom = 66;
constexpr int kExtraLeft = 10;
}  // namespace

std::u16string GetUpdateText(int Kind, const std::u16string& Language)
{
    const TUpdateTexts* row = &kTexts[std::size(kTexts) - 1];
    for (const TUpdateTexts& texts : kTexts)
        if (Language == texts.Language) {
            row = &texts;
            break;
        }
    switch (Kind) {
    case 0: return row->Message;
    case 1: return row->Yes;
    case 2: return row->No;
    default: return {};
    }
}

TNoticeOptions ReadNoticeOptions(const std::u16string& Answer)
{
    TNoticeOptions options;
    options.Info = ExtractBetween(Answer, u"\"info\":{", u"}");
    options.Style = UnescapeJSON(ExtractBetween(options.Info, u"\"style\":\"", u"\""));
    options.Text = UnescapeJSON(ExtractBetween(options.Info, u"\"text\":\"", u"\""));
    options.Flag = UnescapeJSON(ExtractBetween(options.Info, u"\"flag\":\"", u"\""));
    options.URL = UnescapeJSON(ExtractBetween(options.Info, u"\"url\":\"", u"\""));
    return options;
}

bool IsTopmostNotice(const TNoticeOptions& Options)
{
    return Options.Flag.find(u"stayontop") != std::u16string::npos;
}

TNoticeGeometry NoticeGeometry(const TNoticeOptions& Options, int OuterWidth, int OuterHeight,
                               int Dpi, int LayoutOffset)
{
    TNoticeGeometry g;
    g.Height = OuterHeight;
    if (Options.Style.empty()) return g;
    const auto S = [Dpi](int pixels) { return ScaleForDpi(pixels, Dpi); };
    g.Height = OuterHeight + S(kGrowth - LayoutOffset);
    g.Separator = {S(0), g.Height - S(kSeparatorFromBottom - LayoutOffset), OuterWidth, 1};
    g.Extra = TNoticeExtra::Separator;
    if (Options.Style == u"hold") g.Extra = TNoticeExtra::Hold;
    else if (Options.Style == u"note") g.Extra = TNoticeExtra::Note;
    if (g.Extra != TNoticeExtra::Separator) {
        g.ExtraLeft = S(kExtraLeft);
        g.ExtraTop = g.Height - S(kExtraFromBottom - LayoutOffset);
        g.ExtraWidth = g.Extra == TNoticeExtra::Hold ? OuterWidth : 0;  // a link keeps its own
    }
    return g;
}

TMessageLayout LayoutMessageDialog(const TMessageMetrics& Metrics)
{
    const auto S = [&](int pixels) { return ScaleForDpi(pixels, Metrics.Dpi); };
    const int count = std::clamp(Metrics.ButtonCount, 1, 2);
    TMessageLayout l;
    l.Icon = {S(kMargin), S(kMargin), S(kIconSize), S(kIconSize)};
    l.Text = {l.Icon.Right() + S(kIconGap), S(kMargin), Metrics.TextWidth, Metrics.TextHeight};
    const int buttonWidth = std::max(S(kButtonWidth), Metrics.ButtonTextWidth + S(kButtonPadding));
    const int buttonsWidth = count * buttonWidth + (count - 1) * S(kButtonSpacing);
    l.ClientWidth = std::max(l.Text.Right() + S(kMargin), buttonsWidth + 2 * S(kMargin));
    const int buttonsTop = std::max(l.Icon.Bottom(), l.Text.Bottom()) + S(kButtonsGap);
    int left = (l.ClientWidth - buttonsWidth) / 2;
    for (int i = 0; i < count; ++i) {
        l.Buttons[i] = {left, buttonsTop, buttonWidth, S(kButtonHeight)};
        left += buttonWidth + S(kButtonSpacing);
    }
    l.ClientHeight = buttonsTop + S(kButtonHeight) + S(kMargin);
    return l;
}

int MessageWrapWidth(int WorkAreaWidth, int Dpi)
{
    const int besideText = ScaleForDpi(kMargin + kIconSize + kIconGap + kMargin, Dpi);
    return std::max(ScaleForDpi(kMinWrapWidth, Dpi), WorkAreaWidth / 2 - besideText);
}

void TFormHelper::OpenURL(IShell& Shell, const std::u16string& Hint)
{
    // The address comes from the service's answer: https only, never plain http (changeable
    // on the way), a file, a share or another scheme.
    if (IsSecureWebAddress(Hint)) Shell.ShellOpen(Hint);
}

void StartHoldRequest(const TUpdate& Unit)
{
    const std::u16string url = Unit.UpdateURL();
    const std::u16string version = Unit.GetFileVersion(u"%d.%d.%d.%d");
    Unit.Threads().StartWorker([&Unit, url, version] {
        std::u16string ignored;
        Unit.HTTPGet(url, {{u"User-Version", version}, {u"User-Command", u"hold"}}, ignored);
    });
}
