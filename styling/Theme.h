// The window accent frame: a strip of the top two client rows of the main window, accent blue
// while the window is active and the system grey-text colour while it is not. The window draws
// it (and asks the window manager for the dark title bar); the rule lives here.
#pragma once

#include "toolkit/Drawing.h"

inline constexpr int kAccentStripHeight = 2;  // logical pixels
TColor AccentStripColor(bool active);
