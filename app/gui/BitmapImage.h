#pragma once
// The engine's 24-bit picture and Qt images.
#include <QImage>

#include "engine/Bitmap.h"

namespace vexlo::gui {

// An image over the bitmap's own memory: valid while the bitmap lives and keeps its size.
QImage BitmapImage(const TBitmap& bitmap);
// A copy of any image as the engine's picture.
TBitmap ImageBitmap(const QImage& image);

}  // namespace vexlo::gui
