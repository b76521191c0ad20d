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
    switch (control.Kind()) {
    case TControlKind::StyledButton:
    case TControlKind::StyledToolButton:
        info.Role = TAccessibleRole::PushButton;
        if (TStyledDownButton::Of(&control)->Down()) info.State |= asPressed;
        break;
    case TControlKind::CheckBox:
        info.Role = TAccessibleRole::CheckButton;
        if (static_cast<const TCheckBox&>(control).Checked()) info.State |= asChecked;
        break;
    case TControlKind::Label:
        info.Role = TAccessibleRole::StaticText;
        break;
    case TControlKind::MarkupLabel:
        info.Role = TAccessibleRole::StaticText;
        info.Name = PlainMarkupText(static_cast<const TMarkupLabel&>(control).Text());
        break;
    case TControlKind::SvgImage:
        info.Role = control.OnClick ? TAccessibleRole::Link : TAccessibleRole::Graphic;
        if (control.OnClick) info.State |= asLinked;
        break;
    case TControlKind::ActivityIndicator:
        info.Role = TAccessibleRole::Animation;
        if (static_cast<const TActivityIndicator&>(control).Animate()) info.State |= asAnimated;
        break;
    case TControlKind::GroupBox:
        info.Role = TAccessibleRole::Grouping;
        break;
    default:
        info.Name.clear();
        break;
    }
    if (!control.AccessibleName().empty()) info.Name = control.AccessibleName();
    if (!control.Enabled()) info.State |= asUnavailable;
    if (!control.Showing()) info.State |= asInvisible;
    if (control.TabStop() && info.Role != TAccessibleRole::Client && info.Role != TAccessibleRole::Grouping)
        info.State |= asFocusable;
    return info;
}
