#include "edit/BlendImage.h"

#include <algorithm>
#include <cstdint>

namespace vexlo {

void BlendImage(TBitmap& Target, const TBitmap& Image, int Left, int Top, int Alpha, int BlendStyle) {
    // A position left of or above the frame would write before the picture's memory:
    // start with the first image row and column that lands inside.
    const int64_t firstRow = Top < 0 ? -static_cast<int64_t>(Top) : 0;
    const int64_t firstCol = Left < 0 ? -static_cast<int64_t>(Left) : 0;
    const int64_t endRow = std::min<int64_t>(Image.Height(), static_cast<int64_t>(Target.Height()) - Top);
    const int64_t endCol = std::min<int64_t>(Image.Width(), static_cast<int64_t>(Target.Width()) - Left);
    if (endRow <= firstRow || endCol <= firstCol) return;

    const int64_t a = Alpha;
    for (int64_t r = firstRow; r < endRow; ++r) {
        const uint8_t* s = Image.ScanLine(static_cast<int>(r)) + firstCol * 3;
        uint8_t* d = Target.ScanLine(static_cast<int>(Top + r)) + (Left + firstCol) * 3;
        const int64_t n = (endCol - firstCol) * 3;
        if (BlendStyle == 1) {
            for (int64_t i = 0; i < n; ++i)
                d[i] = static_cast<uint8_t>(std::clamp<int64_t>(((256 - a) * d[i] + a * s[i]) >> 8, 0, 255));
        } else {
            for (int64_t i = 0; i < n; ++i) d[i] = static_cast<uint8_t>((s[i] * d[i]) / 255);
        }
    }
}

}  // namespace vexlo
