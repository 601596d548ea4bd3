#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "PictureHelpers.h"
#include "edit/ColorAdjust.h"
#include "edit/DrawJobEffects.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

// Expected bytes of an adjusted pixel from the original bytes {b, g, r}, per channel index.
using Expect = std::function<int(const uint8_t* orig, int channel)>;

void CheckEveryByte(const TBitmap& before, const TBitmap& after, const Expect& expect, const char* what) {
    for (int y = 0; y < before.Height(); ++y)
        for (int x = 0; x < before.Width(); ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(Pixel(after, x, y)[c], expect(Pixel(before, x, y), c))
                    << what << " at " << x << "," << y << " channel " << c;
}

}  // namespace

TEST(ApplyColorAdjust, EdgeSettingsGiveExactBytes) {
    const TBitmap source = NoisePicture();
    struct Case {
        const char* what;
        int brightness, contrast, saturation;
        Expect expect;
    } cases[] = {
        {"unit gains change nothing", 256, 0, 256, [](const uint8_t* p, int c) { return p[c]; }},
        {"contrast -100 is flat 170", 256, -100, 256, [](const uint8_t*, int) { return 170; }},
        {"contrast -100 is flat 170 after any brightness", 100, -100, 300, [](const uint8_t*, int) { return 170; }},
        {"saturation 0 gives the channel average", 256, 0, 0,
         [](const uint8_t* p, int) { return (p[0] + p[1] + p[2]) / 3; }},
        // Contrast -50: C[i] = round((i - 170) * cos(-50 * 0.015708) + 170); C[1] = 50.
        {"brightness 0 gives C[1], contrast 0", 0, 0, 255, [](const uint8_t*, int) { return 1; }},
        {"brightness 0 gives C[1], contrast -50", 0, -50, 255, [](const uint8_t*, int) { return 50; }},
        {"brightness 0 gives C[1], contrast 50", 0, 50, 255, [](const uint8_t*, int) { return 0; }},
        // Only brightness: d = (256 - 128 + 128 * j) div 256.
        {"brightness halves around 1", 128, 0, 256, [](const uint8_t* p, int c) { return (128 + 128 * p[c]) / 256; }},
        {"neutral saturation leaves each channel to itself", 300, 0, 255,
         [](const uint8_t* p, int c) { return std::min((256 - 300 + 300 * p[c]) / 256, 255); }},
    };
    for (const auto& k : cases) {
        TBitmap b = source;
        ApplyColorAdjust(b, k.brightness, k.contrast, k.saturation);
        CheckEveryByte(source, b, k.expect, k.what);
    }
}

TEST(ApplyColorAdjust, ContrastTableAroundPivot) {
    // One pixel per tone on the grey axis, so only the tone table shows.
    const TBitmap grey = MakePicture(256, 1, [](int x, int, uint8_t* p) { p[0] = p[1] = p[2] = uint8_t(x); });
    TBitmap b = grey;
    ApplyColorAdjust(b, 256, -50, 256);
    EXPECT_EQ(Pixel(b, 0, 0)[0], 50);
    EXPECT_EQ(Pixel(b, 170, 0)[0], 170);  // the pivot stays
    EXPECT_EQ(Pixel(b, 200, 0)[0], 191);
    EXPECT_EQ(Pixel(b, 255, 0)[0], 230);
    b = grey;
    ApplyColorAdjust(b, 256, 50, 256);
    EXPECT_EQ(Pixel(b, 128, 0)[0], 111);
    EXPECT_EQ(Pixel(b, 170, 0)[0], 170);
    EXPECT_EQ(Pixel(b, 200, 0)[0], 212);
}

TEST(ApplyColorAdjust, Contrast100EqualsContrast99) {
    TBitmap a = NoisePicture(), b = NoisePicture();
    ApplyColorAdjust(a, 300, 100, 200);
    ApplyColorAdjust(b, 300, 99, 200);
    EXPECT_TRUE(SamePixels(a, b));
}

TEST(ApplyColorAdjust, OutOfRangeSettingsStayInsideTheTables) {
    // Wild values must only be clamped: no crash, no sanitizer report, every byte defined.
    const int values[] = {-1000000, -513, -101, 101, 513, 1000000, INT32_MAX, INT32_MIN};
    for (int v : values) {
        TBitmap b = NoisePicture(9, 3);
        ApplyColorAdjust(b, v, 0, 256);
        ApplyColorAdjust(b, 256, v, 256);
        ApplyColorAdjust(b, 256, 0, v);
        ApplyExposure(b, static_cast<float>(v));
    }
}

TEST(ApplyColorAdjust, LeavesRowPaddingAlone) {
    TBitmap b(5, 2);  // 15 bytes per row, stride 16
    b.ScanLine(0)[15] = 0xAB;
    ApplyColorAdjust(b, 0, -100, 0);
    ApplyExposure(b, 300);
    EXPECT_EQ(b.ScanLine(0)[15], 0xAB);
    EXPECT_NE(b.ScanLine(1)[14], 0);  // while the pixels did change
}

TEST(ApplyExposure, FixedPointsAndKnownValues) {
    const TBitmap grey = MakePicture(256, 1, [](int x, int, uint8_t* p) { p[0] = p[1] = p[2] = uint8_t(x); });
    struct Case {
        float exposure;
        int in, out;
    } cases[] = {
        {512, 0, 0}, {512, 255, 255}, {512, 128, 252},
        {-255, 0, 0}, {-255, 255, 255}, {-255, 128, 0},
        {0, 128, 128}, {0, 77, 77},
    };
    for (const auto& k : cases) {
        TBitmap b = grey;
        ApplyExposure(b, k.exposure);
        for (int c = 0; c < 3; ++c) EXPECT_EQ(Pixel(b, k.in, 0)[c], k.out) << k.exposure << " at " << k.in;
    }
}

TEST(ApplyExposure, LightensOrDarkensMonotonically) {
    const TBitmap grey = MakePicture(256, 1, [](int x, int, uint8_t* p) { p[0] = p[1] = p[2] = uint8_t(x); });
    for (float e : {-255.f, -100.f, -1.f, 1.f, 64.f, 300.f, 512.f}) {
        TBitmap b = grey;
        ApplyExposure(b, e);
        for (int i = 0; i < 256; ++i) {
            const int v = Pixel(b, i, 0)[0];
            if (e > 0) EXPECT_GE(v, i) << e;
            else EXPECT_LE(v, i) << e;
            if (i > 0) {
                EXPECT_GE(v, Pixel(b, i - 1, 0)[0]) << "tones keep their order, exposure " << e;
            }
        }
    }
}

TEST(DrawJobEffects, OnlyAllThreeNeutralValuesSkipTheColourAdjustment) {
    // ApplyColorAdjust(255, 0, 255) itself is not neutral (white becomes 254), so the skip shows.
    const TBitmap white = SolidPicture(4, 2, 255, 255, 255);
    TBitmap direct = white;
    ApplyColorAdjust(direct, 255, 0, 255);
    EXPECT_EQ(Pixel(direct, 0, 0)[0], 254);

    TBitmap b = NoisePicture();
    const TBitmap before = b;
    DrawJobEffects(b, TJobEffects{});
    EXPECT_TRUE(SamePixels(b, before)) << "neutral settings change nothing";

    // Saturation 254 alone runs the adjustment: (200, 100, 50) -> (198, 99, 49).
    TBitmap one = SolidPicture(1, 1, 200, 100, 50);
    TJobEffects e;
    e.Saturation = 254;
    DrawJobEffects(one, e);
    EXPECT_EQ(Pixel(one, 0, 0)[0], 198);
    EXPECT_EQ(Pixel(one, 0, 0)[1], 99);
    EXPECT_EQ(Pixel(one, 0, 0)[2], 49);
}

TEST(ApplyExposure, EveryByteOfOddRowsUsesTheSameTable) {
    // 85 pixels: 255 bytes per row, so rows end in a single byte.
    TBitmap odd = MakePicture(85, 2, [](int x, int y, uint8_t* p) {
        for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(3 * x + c + y);
    });
    const TBitmap before = odd;
    TBitmap ramp = MakePicture(256, 1, [](int x, int, uint8_t* p) { p[0] = p[1] = p[2] = uint8_t(x); });
    ApplyExposure(odd, 200);
    ApplyExposure(ramp, 200);
    for (int y = 0; y < 2; ++y)
        for (int i = 0; i < 255; ++i)
            ASSERT_EQ(odd.ScanLine(y)[i], Pixel(ramp, before.ScanLine(y)[i], 0)[0]) << y << " " << i;
}

TEST(DrawJobEffects, OnePassAdjustmentEqualsTheTwoSteps) {
    const int cases[][4] = {{300, 30, 320, 100}, {0, -100, 0, -255}, {512, 100, 512, 512}, {128, -40, 200, -30},
                            {256, 0, 256, 1}};
    for (const auto& c : cases) {
        TBitmap steps = NoisePicture(), pass = NoisePicture();
        ApplyColorAdjust(steps, c[0], c[1], c[2]);
        ApplyExposure(steps, static_cast<float>(c[3]));
        TJobEffects e;
        e.Brightness = c[0], e.Contrast = c[1], e.Saturation = c[2], e.Exposure = c[3];
        DrawJobEffects(pass, e);
        EXPECT_TRUE(SamePixels(steps, pass)) << c[0] << " " << c[1] << " " << c[2] << " " << c[3];
    }
}
