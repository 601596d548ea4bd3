#pragma once
#include "engine/Bitmap.h"

namespace vexlo {

// Blends Image into Target with Image's top-left corner at (Left, Top), never scaled; what
// falls outside Target is cut. BlendStyle 1 mixes with weight Alpha/256, any other style
// multiplies (white keeps the frame, black makes it black).
void BlendImage(TBitmap& Target, const TBitmap& Image, int Left, int Top, int Alpha, int BlendStyle);

}  // namespace vexlo
