// What a screen reader is told of a control: its name, role and state, from its node in the
// window description and the state its window holds. The Win32 windows answer Microsoft Active
// Accessibility (and through it UI Automation) with these; the rules live here so that they
// are tested without windows.
#pragma once

#include <string>

#include "toolkit/Description.h"

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

// What a control's window holds now, and what is kept beside it.
struct TControlState {
    std::u16string Text;            // the window's text
    std::u16string AccessibleName;  // set by the program; empty: none
    bool Showing = true;            // it and every parent visible
    bool Enabled = true;
    bool Checked = false;
    bool Down = false;
    bool Animating = false;
};

// The name is the control's accessible name when it has one (set by the program, else the
// description's), else its text (the plain text of a markup label, without its tags); panels
// and pages keep the role the system gives them.
TAccessibleInfo DescribeControl(const TNode& node, const TControlState& state);
// The text of markup without its tags.
std::u16string PlainMarkupText(const std::u16string& markup);
