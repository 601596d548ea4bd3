#include "edit/ColorAdjust.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

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

struct TColorTable {
    uint8_t at[256][256];
};

// The colour adjustment's result depends only on a pixel's channel average a = sum div 3
// and the channel's own value c: out = tone[clamp(a - sat[a] + sat[c])]. Tabulating that
// once per frame (64 KiB) leaves three lookups per pixel. `after` is a byte table applied
// to the result (exposure), folded in so both run in one pass.
void ColorTable(TColorTable& out, int Brightness, int Contrast, int Saturation, const uint8_t* after) {
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
        if (after) tone[j] = after[tone[j]];
    }

    // 32-bit product, logical shift, kept in 16 bits: the table's own width.
    uint16_t sat[256];
    for (int v = 0; v < 256; ++v) {
        const uint32_t product = static_cast<uint32_t>(static_cast<int64_t>(v + 1) * Saturation);
        sat[v] = static_cast<uint16_t>(product >> 8);
    }

    for (int a = 0; a < 256; ++a) {
        const int grey = a - sat[a];
        for (int c = 0; c < 256; ++c) out.at[a][c] = tone[std::clamp(grey + sat[c], 0, 255)];
    }
}

// The same byte table for every channel byte. Two bytes per lookup: a 65536-entry table of
// byte pairs halves the memory traffic.
[[gnu::always_inline]] inline void ApplyByteTable(TBitmap& bitmap, const uint8_t (&level)[256]) {
    const auto pairs = std::make_unique<uint16_t[]>(65536);
    for (unsigned hi = 0; hi < 256; ++hi)
        for (unsigned lo = 0; lo < 256; ++lo) pairs[hi << 8 | lo] = static_cast<uint16_t>(level[hi] << 8 | level[lo]);
    // Byte stores may alias anything: a plain pointer held by value is not reloaded per pixel.
    const uint16_t* const pairTable = pairs.get();
    ForEachRow(bitmap, [pairTable, &level](uint8_t* p, size_t n) {
        size_t i = 0;
        for (; i + 2 <= n; i += 2) {
            uint16_t v;
            std::memcpy(&v, p + i, 2);
            v = pairTable[v];
            std::memcpy(p + i, &v, 2);
        }
        if (i < n) p[i] = level[p[i]];
    });
}

void ApplyColorTable(TBitmap& bitmap, const TColorTable& table) {
    // Without a saturation change no row depends on the channel average (the usual case of
    // a brightness or contrast edit): one byte table then does, at a third of the cost.
    bool averageFree = true;
    for (int a = 1; a < 256 && averageFree; ++a) averageFree = std::memcmp(table.at[a], table.at[0], 256) == 0;
    if (averageFree) {
        ApplyByteTable(bitmap, table.at[0]);
        return;
    }
    ForEachRow(bitmap, [&](uint8_t* p, size_t n) {
        for (uint8_t* end = p + n; p != end; p += 3) {
            const unsigned b = p[0], g = p[1], r = p[2];
            const uint8_t* t = table.at[(b + g + r) / 3];
            p[0] = t[b];
            p[1] = t[g];
            p[2] = t[r];
        }
    });
}

void ExposureTable(uint8_t (&level)[256], float Exposure) {
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
}

}  // namespace

void ApplyColorAdjust(TBitmap& bitmap, int Brightness, int Contrast, int Saturation) {
    const auto table = std::make_unique<TColorTable>();
    ColorTable(*table, Brightness, Contrast, Saturation, nullptr);
    ApplyColorTable(bitmap, *table);
}

void ApplyExposure(TBitmap& bitmap, float Exposure) {
    uint8_t level[256];
    ExposureTable(level, Exposure);
    ApplyByteTable(bitmap, level);
}

void ApplyColorAdjustAndExposure(TBitmap& bitmap, int Brightness, int Contrast, int Saturation, float Exposure) {
    uint8_t level[256];
    ExposureTable(level, Exposure);
    const auto table = std::make_unique<TColorTable>();
    ColorTable(*table, Brightness, Contrast, Saturation, level);
    ApplyColorTable(bitmap, *table);
}

}  // namespace vexlo
