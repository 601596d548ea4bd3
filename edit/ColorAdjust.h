#pragma once
// Picture adjustments on a 24-bit frame, in place. Tables are rebuilt on every call, and
// every table index is clamped, so any setting value is safe.
#include "engine/Bitmap.h"

namespace vexlo {

// Brightness and Saturation are gains in 1/256 steps (256 leaves the picture alone);
// Contrast spreads the tones around 170 (-100 flattens everything to 170).
void ApplyColorAdjust(TBitmap& bitmap, int Brightness, int Contrast, int Saturation);

// Exponential lightening (positive) or darkening (negative); 0 and 255 never move.
void ApplyExposure(TBitmap& bitmap, float Exposure);

// Both of the above in one pass over the frame, with the same result as calling them in turn.
void ApplyColorAdjustAndExposure(TBitmap& bitmap, int Brightness, int Contrast, int Saturation, float Exposure);

}  // namespace vexlo
