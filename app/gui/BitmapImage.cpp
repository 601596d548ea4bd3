#include "app/gui/BitmapImage.h"

#include <cstring>

namespace vexlo::gui {

QImage BitmapImage(const TBitmap& bitmap) {
    if (bitmap.Empty()) return {};
    return QImage(bitmap.Bits(), bitmap.Width(), bitmap.Height(), bitmap.Stride(), QImage::Format_BGR888);
}

TBitmap ImageBitmap(const QImage& image) {
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    TBitmap b(bgr.width(), bgr.height());
    const size_t row = static_cast<size_t>(bgr.width()) * 3;
    for (int y = 0; y < bgr.height(); ++y) std::memcpy(b.ScanLine(y), bgr.constScanLine(y), row);
    return b;
}

}  // namespace vexlo::gui
