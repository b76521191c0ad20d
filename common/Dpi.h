// Lengths given in pixels at 96 DPI, scaled to the DPI of the window that shows them: one rule
// for the main window and the update notice.
#pragma once

// A length in pixels at 96 DPI scaled to Dpi: the factor Dpi / 96 rounded to hundredths, the
// product rounded to the nearest pixel (halves away from zero).
int ScaleForDpi(int Pixels, int Dpi);
