#include "common/Dpi.h"

#include <cmath>

int ScaleForDpi(int Pixels, int Dpi)
{
    const long factor = std::lround(Dpi * 100.0 / 96.0);  // hundredths
    return static_cast<int>(std::lround(Pixels * factor / 100.0));
}
