// The update notice, its portable side: the per-language texts, the options that the answer's
// "info" object gives (extra control, its caption, topmost flag, link address), the layout of
// the message dialog and the notice's growth, the click handler of the link and the "hold"
// request. The Win32 window is in UpdateDialog_win.cpp.
#pragma once

#include <string>

#include "common/Update.h"
#include "common/Dpi.h"
#include "system/Shell.h"

// Kind 0: the message, 1: the Yes caption, 2: the No caption, in the language code's row
// (English for a code not in the table); any other kind gives an empty text.
std::u16string GetUpdateText(int Kind, const std::u16string& Language);

struct TNoticeOptions {
    std::u16string Info;   // the text of the "info" object, escapes kept
    std::u16string Style;  // "hold": check box, "note": link, other non-empty: separator only
    std::u16string Text;   // caption of the check box or the link
    std::u16string Flag;   // holds "stayontop" for a topmost notice
    std::u16string URL;    // address opened by the link
};

// Raises EAppError for a malformed "\u" escape in one of the four options.
TNoticeOptions ReadNoticeOptions(const std::u16string& Answer);
bool IsTopmostNotice(const TNoticeOptions& Options);

struct TRectI {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
};

enum class TNoticeExtra { None, Separator, Hold, Note };

// Where the notice's additions go, in client coordinates of the grown notice. Height is the
// outer height after growing (the outer width does not change).
struct TNoticeGeometry {
    TNoticeExtra Extra = TNoticeExtra::None;
    int Height = 0;
    TRectI Separator;  // meaningful unless Extra is None
    int ExtraLeft = 0, ExtraTop = 0, ExtraWidth = 0;  // the check box or link
};

TNoticeGeometry NoticeGeometry(const TNoticeOptions& Options, int OuterWidth, int OuterHeight,
                               int Dpi, int LayoutOffset);

// The message dialog's own layout, in client pixels at the given DPI: warning icon at the top
// left, the message to its right, the buttons centred below.
struct TMessageMetrics {
    int Dpi = 96;
    int TextWidth = 0, TextHeight = 0;  // the message as measured, wrapped
    int ButtonCount = 2;
    int ButtonTextWidth = 0;            // the widest button caption
};

struct TMessageLayout {
    int ClientWidth = 0, ClientHeight = 0;
    TRectI Icon, Text;
    TRectI Buttons[2];
};

TMessageLayout LayoutMessageDialog(const TMessageMetrics& Metrics);
// The widest the message may be before it wraps, for a work area of that width.
int MessageWrapWidth(int WorkAreaWidth, int Dpi);

struct TFormHelper {
    // The link's click handler: opens the address that the control holds as its hint text,
    // when it is a web address.
    static void OpenURL(IShell& Shell, const std::u16string& Hint);
};

// The "hold" request: one GET of the unit's URL with "User-Version" and "User-Command: hold";
// the answer and any failure are ignored. It runs on a worker of its own.
void StartHoldRequest(const TUpdate& Unit);
