#include "toolkit/Accessibility.h"

#include "toolkit/Markup.h"

std::u16string PlainMarkupText(const std::u16string& markup)
{
    std::u16string text;
    for (const TMarkupRun& run : ParseMarkup(markup)) text += run.Text;
    return text;
}

TAccessibleInfo DescribeControl(const TNode& node, const TControlState& state)
{
    TAccessibleInfo info;
    info.Name = state.Text;
    switch (node.Kind) {
    case TKind::Button:
    case TKind::ToolButton:
        info.Role = TAccessibleRole::PushButton;
        if (state.Down) info.State |= asPressed;
        break;
    case TKind::CheckBox:
        info.Role = TAccessibleRole::CheckButton;
        if (state.Checked) info.State |= asChecked;
        break;
    case TKind::Label:
        info.Role = TAccessibleRole::StaticText;
        break;
    case TKind::MarkupLabel:
        info.Role = TAccessibleRole::StaticText;
        info.Name = PlainMarkupText(state.Text);
        break;
    case TKind::SvgImage:
        info.Role = node.OnClick.empty() ? TAccessibleRole::Graphic : TAccessibleRole::Link;
        if (!node.OnClick.empty()) info.State |= asLinked;
        break;
    case TKind::Indicator:
        info.Role = TAccessibleRole::Animation;
        if (state.Animating) info.State |= asAnimated;
        break;
    case TKind::GroupBox:
        info.Role = TAccessibleRole::Grouping;
        break;
    default:
        info.Name.clear();
        break;
    }
    if (!node.AccessibleName.empty()) info.Name = node.AccessibleName;
    if (!state.AccessibleName.empty()) info.Name = state.AccessibleName;
    if (!state.Enabled) info.State |= asUnavailable;
    if (!state.Showing) info.State |= asInvisible;
    if (node.TabStop && info.Role != TAccessibleRole::Client && info.Role != TAccessibleRole::Grouping)
        info.State |= asFocusable;
    return info;
}
