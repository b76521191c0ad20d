// The one rule that scales lengths at 96 DPI to a window's DPI, for the main window and the
// update notice alike.
#include <gtest/gtest.h>

#include "common/Dpi.h"

namespace {

TEST(DpiTest, FactorRoundedToHundredthsThenPixels)
{
    const struct {
        int Pixels, Dpi, Scaled;
    } cases[] = {{10, 96, 10}, {30, 144, 45}, {66, 144, 99}, {66, 120, 83},
                 {10, 110, 12},  // 1.1458 is taken as 1.15: 11.5 rounds up
                 {498, 144, 747}, {426, 168, 746},  // the window's client area at 150 % and 175 %
                 {-2, 144, -3},  // halves away from zero, as the window's offsets need
                 {1, 192, 2},   {0, 144, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ScaleForDpi(c.Pixels, c.Dpi), c.Scaled) << c.Pixels << " at " << c.Dpi;
}

}  // namespace
