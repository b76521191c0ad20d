// The update notice as a Win32 window with the look of the standard message dialog: warning
// icon, the message, Yes (the default) and No, on white; below them, when the answer asks for
// it, a light-grey separator and a "hold" check box or a link. Modal to the program's window;
// a ticked check box sends the hold request after it closes.
#pragma once

#include "common/UpdateDialog.h"

// Control identifiers of the notice (IDYES and IDNO are the buttons).
inline constexpr int kNoticeMessageId = 1001;
inline constexpr int kNoticeSeparatorId = 1002;
inline constexpr int kNoticeHoldId = 1003;
inline constexpr int kNoticeLinkId = 1004;

class TWinUpdateNotice final : public IUpdateNotice {
public:
    explicit TWinUpdateNotice(IShell& Shell) : FShell(Shell) {}
    // Raises EAppError before anything is shown when an option holds a malformed escape.
    bool UpdateDialog(const TUpdate& Unit, const std::u16string& Answer) override;

private:
    IShell& FShell;
};
