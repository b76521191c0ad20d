// What a screen reader is told of a control: its name, role and state, from the component
// model alone. The Win32 realisation answers Microsoft Active Accessibility (and through it UI
// Automation) with these; the rules live here so that they are tested without windows.
#pragma once

#include <string>

#include "toolkit/Controls.h"

enum class TAccessibleRole { Client, StaticText, PushButton, CheckButton, Link, Graphic, Animation, Grouping };

enum TAccessibleState : unsigned {
    asUnavailable = 1,  // disabled
    asPressed = 2,      // a button that is down
    asChecked = 4,
    asInvisible = 8,    // it or a parent hidden
    asFocusable = 16,   // a tab stop
    asLinked = 32,      // opens a page
    asAnimated = 64,
};

struct TAccessibleInfo {
    std::u16string Name;
    TAccessibleRole Role = TAccessibleRole::Client;
    unsigned State = 0;  // TAccessibleState bits
    bool operator==(const TAccessibleInfo&) const = default;
};

// The name is the control's accessible name when it has one, else its caption (the plain text
// of a markup label, without its tags); panels and pages keep the role the system gives them.
TAccessibleInfo DescribeControl(const TControl& control);
// The text of markup without its tags.
std::u16string PlainMarkupText(const std::u16string& markup);
