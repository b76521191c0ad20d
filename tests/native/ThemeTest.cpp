// The accent strip's rule: accent blue while the window is active, the system grey-text colour
// while it is not, two rows high.
#include <gtest/gtest.h>

#include "styling/MarveticButtonStyles.h"
#include "styling/Theme.h"

namespace {

TEST(ThemeTest, StripColourFollowsActivation)
{
    EXPECT_EQ(AccentStripColor(true), RGBColor(0x3D, 0x84, 0xDD));
    EXPECT_EQ(AccentStripColor(true), kAccentColor);
    EXPECT_EQ(AccentStripColor(false), clGrayText);
    EXPECT_EQ(kAccentStripHeight, 2);
}

}  // namespace
