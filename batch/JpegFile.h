#pragma once
// JPEG snapshots through libjpeg-turbo.
#include <string>

#include "engine/Bitmap.h"

namespace vexlo {

// Baseline JPEG of the picture at quality 1..100 (values outside are clamped). Throws
// std::runtime_error for an empty picture or when the encoder fails.
std::string EncodeJpeg(const TBitmap& bitmap, int quality);
// Writes EncodeJpeg's result, replacing an existing file; throws when it cannot be written.
void SaveJpegFile(const TBitmap& bitmap, const std::string& path, int quality);

}  // namespace vexlo
