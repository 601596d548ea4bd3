#include <gtest/gtest.h>

#include "PictureHelpers.h"
#include "edit/BlendImage.h"

using namespace vexlo;
using namespace vexlo::test;

TEST(BlendImage, StylesGiveExactBytes) {
    const TBitmap frame = NoisePicture(8, 6, 1), image = NoisePicture(8, 6, 2);
    struct Case {
        const char* what;
        int alpha, style;
        int (*expect)(int d, int s);
    } cases[] = {
        {"alpha 0 keeps the frame", 0, 1, [](int d, int) { return d; }},
        {"alpha 255 is not exactly the image", 255, 1, [](int d, int s) { return (d + 255 * s) >> 8; }},
        {"alpha 168", 168, 1, [](int d, int s) { return (88 * d + 168 * s) >> 8; }},
        {"style 2 multiplies", 0, 2, [](int d, int s) { return s * d / 255; }},
        {"any other style multiplies", 99, 7, [](int d, int s) { return s * d / 255; }},
    };
    for (const auto& k : cases) {
        TBitmap b = frame;
        BlendImage(b, image, 0, 0, k.alpha, k.style);
        for (int y = 0; y < 6; ++y)
            for (int i = 0; i < 24; ++i)
                ASSERT_EQ(b.ScanLine(y)[i], k.expect(frame.ScanLine(y)[i], image.ScanLine(y)[i])) << k.what;
    }
}

TEST(BlendImage, MultiplyWithWhiteKeepsAndBlackClears) {
    const TBitmap frame = NoisePicture(5, 5);
    TBitmap b = frame;
    BlendImage(b, SolidPicture(5, 5, 255, 255, 255), 0, 0, 0, 2);
    EXPECT_TRUE(SamePixels(b, frame));
    BlendImage(b, SolidPicture(5, 5, 0, 0, 0), 0, 0, 0, 2);
    EXPECT_TRUE(SamePixels(b, SolidPicture(5, 5, 0, 0, 0)));
}

// Black image multiplied in: the changed pixels show exactly where it landed.
TEST(BlendImage, PlacementIsCutAtEveryEdge) {
    struct Case {
        const char* what;
        int imageW, imageH, left, top;
        int x0, y0, x1, y1;  // expected black box, half-open; empty = nothing drawn
    } cases[] = {
        {"inside", 3, 2, 4, 5, 4, 5, 7, 7},
        {"left at the width draws nothing", 3, 2, 10, 0, 0, 0, 0, 0},
        {"left beyond the width", 3, 2, 50, 0, 0, 0, 0, 0},
        {"top at the height draws nothing", 3, 2, 0, 8, 0, 0, 0, 0},
        {"larger than the frame is cut right and bottom", 30, 20, 2, 3, 2, 3, 10, 8},
        {"exactly to the corner", 4, 3, 6, 5, 6, 5, 10, 8},
        // A position before the frame must not write before the picture's memory.
        {"negative left is cut", 4, 2, -2, 1, 0, 1, 2, 3},
        {"negative top is cut", 2, 4, 1, -3, 1, 0, 3, 1},
        {"entirely above", 2, 4, 1, -4, 0, 0, 0, 0},
        {"far negative", 2, 2, INT32_MIN, INT32_MIN, 0, 0, 0, 0},
        {"far positive", 2, 2, INT32_MAX, INT32_MAX, 0, 0, 0, 0},
    };
    for (const auto& k : cases) {
        TBitmap b = SolidPicture(10, 8, 255, 255, 255);
        BlendImage(b, SolidPicture(k.imageW, k.imageH, 0, 0, 0), k.left, k.top, 0, 2);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool inBox = x >= k.x0 && x < k.x1 && y >= k.y0 && y < k.y1;
                ASSERT_EQ(Pixel(b, x, y)[1], inBox ? 0 : 255) << k.what << " at " << x << "," << y;
            }
    }
}

TEST(BlendImage, EmptyPicturesDrawNothing) {
    TBitmap frame = SolidPicture(4, 4, 9, 9, 9);
    BlendImage(frame, TBitmap(), 0, 0, 255, 1);
    TBitmap empty;
    BlendImage(empty, SolidPicture(2, 2, 0, 0, 0), 0, 0, 255, 1);
    EXPECT_TRUE(SamePixels(frame, SolidPicture(4, 4, 9, 9, 9)));
}
