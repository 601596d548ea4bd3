#pragma once
// Small pictures for the renderer's tests.
#include <cstdint>
#include <functional>
#include <random>

#include "engine/Bitmap.h"

namespace vexlo::test {

// Fills every pixel with fn(x, y) -> {b, g, r}.
inline TBitmap MakePicture(int w, int h, const std::function<void(int, int, uint8_t*)>& fn) {
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) fn(x, y, b.ScanLine(y) + x * 3);
    return b;
}

inline TBitmap SolidPicture(int w, int h, uint8_t b, uint8_t g, uint8_t r) {
    return MakePicture(w, h, [&](int, int, uint8_t* p) { p[0] = b, p[1] = g, p[2] = r; });
}

// Odd width (row padding present) and pseudo-random bytes, plus the extremes 0 and 255.
inline TBitmap NoisePicture(int w = 67, int h = 23, unsigned seed = 7) {
    std::mt19937 rng(seed);
    return MakePicture(w, h, [&](int x, int y, uint8_t* p) {
        for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(rng());
        if (x == 0 && y == 0) p[0] = p[1] = p[2] = 0;
        if (x == 1 && y == 0) p[0] = p[1] = p[2] = 255;
    });
}

inline bool SamePixels(const TBitmap& a, const TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int i = 0; i < a.Width() * 3; ++i)
            if (a.ScanLine(y)[i] != b.ScanLine(y)[i]) return false;
    return true;
}

inline const uint8_t* Pixel(const TBitmap& b, int x, int y) { return b.ScanLine(y) + x * 3; }

}  // namespace vexlo::test
