#include "toolkit/Accessibility.h"

#include "toolkit/Markup.h"
#include "toolkit/StdControls.h"
#include "toolkit/StyledButtons.h"

std::u16string PlainMarkupText(const std::u16string& markup)
{
    std::u16string text;
    for (const TMarkupRun& run : ParseMarkup(markup)) text += run.Text;
    return text;
}

TAccessibleInfo DescribeControl(const TControl& control)
{
    TAccessibleInfo info;
    info.Name = control.Caption();
    if (auto* button = dynamic_cast<const TStyledDownButton*>(&control)) {
        info.Role = TAccessibleRole::PushButton;
        if (button->Down()) info.State |= asPressed;
    } else if (auto* box = dynamic_cast<const TCheckBox*>(&control)) {
        info.Role = TAccessibleRole::CheckButton;
        if (box->Checked()) info.State |= asChecked;
    } else if (dynamic_cast<const TLabel*>(&control)) {
        info.Role = TAccessibleRole::StaticText;
    } else if (auto* markup = dynamic_cast<const TMarkupLabel*>(&control)) {
        info.Role = TAccessibleRole::StaticText;
        info.Name = PlainMarkupText(markup->Text());
    } else if (dynamic_cast<const TSvgImage*>(&control)) {
        info.Role = control.OnClick ? TAccessibleRole::Link : TAccessibleRole::Graphic;
        if (control.OnClick) info.State |= asLinked;
    } else if (auto* busy = dynamic_cast<const TActivityIndicator*>(&control)) {
        info.Role = TAccessibleRole::Animation;
        if (busy->Animate()) info.State |= asAnimated;
    } else if (dynamic_cast<const TGroupBox*>(&control)) {
        info.Role = TAccessibleRole::Grouping;
    } else {
        info.Name.clear();
    }
    if (!control.AccessibleName().empty()) info.Name = control.AccessibleName();
    if (!control.Enabled()) info.State |= asUnavailable;
    if (!control.Showing()) info.State |= asInvisible;
    if (control.TabStop() && info.Role != TAccessibleRole::Client && info.Role != TAccessibleRole::Grouping)
        info.State |= asFocusable;
    return info;
}
