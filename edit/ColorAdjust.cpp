#include "edit/ColorAdjust.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vexlo {
namespace {

inline int Clamp255(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, 0, 255)); }

// Round half to even, after limiting to the byte range so huge or infinite values convert safely.
inline int RoundClamp255(double v) {
    if (!(v > 0.0)) return 0;  // also NaN
    if (v >= 255.0) return 255;
    return static_cast<int>(std::nearbyint(v));
}

// Calls fn(pointer to first byte, byte count) for the pixel bytes of every row.
template <class Fn>
void ForEachRow(TBitmap& bitmap, Fn fn) {
    const size_t rowBytes = static_cast<size_t>(bitmap.Width()) * 3;
    for (int y = 0; y < bitmap.Height(); ++y) fn(bitmap.ScanLine(y), rowBytes);
}

}  // namespace

void ApplyColorAdjust(TBitmap& bitmap, int Brightness, int Contrast, int Saturation) {
    if (Contrast == 100) Contrast = 99;  // 1/cos(pi/2) would be infinite
    // The two constants differ on purpose: the darkening side uses the rounded one.
    const double k = Contrast > 0 ? 1.0 / std::cos(Contrast * 0.015707963267948967)
                                  : std::cos(Contrast * 0.015708);
    uint8_t contrast[256];
    for (int i = 0; i < 256; ++i) contrast[i] = static_cast<uint8_t>(RoundClamp255((i - 170) * k + 170));

    uint8_t tone[256];
    for (int j = 0; j < 256; ++j) {
        const int64_t d = (256 - static_cast<int64_t>(Brightness) + static_cast<int64_t>(Brightness) * j) / 256;
        tone[j] = contrast[Clamp255(d)];
    }

    // 32-bit product, logical shift, kept in 16 bits: the table's own width.
    uint16_t sat[256];
    for (int v = 0; v < 256; ++v) {
        const uint32_t product = static_cast<uint32_t>(static_cast<int64_t>(v + 1) * Saturation);
        sat[v] = static_cast<uint16_t>(product >> 8);
    }

    // grey[sum of the three channels] = average - sat[average]
    int32_t grey[768];
    for (int v = 0; v < 256; ++v) grey[3 * v] = grey[3 * v + 1] = grey[3 * v + 2] = v - sat[v];

    ForEachRow(bitmap, [&](uint8_t* p, size_t n) {
        for (uint8_t* end = p + n; p != end; p += 3) {
            const int b = p[0], g = p[1], r = p[2];
            const int m = grey[b + g + r];
            p[0] = tone[std::clamp(m + sat[b], 0, 255)];
            p[1] = tone[std::clamp(m + sat[g], 0, 255)];
            p[2] = tone[std::clamp(m + sat[r], 0, 255)];
        }
    });
}

void ApplyExposure(TBitmap& bitmap, float Exposure) {
    uint8_t level[256];
    const double e = std::isnan(Exposure) ? 0.0 : static_cast<double>(Exposure) / 128.0;
    for (int i = 0; i < 256; ++i) {
        double gain = 256.0 * (1.0 - std::exp(-(i / 128.0) * e));
        gain = std::clamp(gain, -1e12, 1e12);  // an enormous darkening overflows exp
        const int64_t r = std::llrint(gain);
        int64_t v;
        if (Exposure >= 0) v = i + ((r * (255 - i)) >> 8);
        else v = i - (((-r) * (255 - i)) >> 8);
        level[i] = static_cast<uint8_t>(Clamp255(v));
    }
    ForEachRow(bitmap, [&](uint8_t* p, size_t n) {
        for (uint8_t* end = p + n; p != end; ++p) *p = level[*p];
    });
}

}  // namespace vexlo
