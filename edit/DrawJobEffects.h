#pragma once
#include "edit/JobEffects.h"
#include "edit/WatermarkImageCache.h"
#include "engine/Bitmap.h"

namespace vexlo {

// Draws one job's adjustments, text and image on a 24-bit frame, in the order its
// ProcessText / ProcessImage flags ask for. The image comes from ImageCache when given,
// else straight from its file. Errors (unreadable image, unusable font) are thrown.
void DrawJobEffects(TBitmap& Bitmap, const TJobEffects& Effects, TWatermarkImageCache* ImageCache = nullptr);

}  // namespace vexlo
