#include "styling/Theme.h"

#include "styling/MarveticButtonStyles.h"

TColor AccentStripColor(bool active)
{
    return active ? kAccentColor : clGrayText;
}
