#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <thread>

#include "PictureHelpers.h"
#include "edit/BmpFile.h"
#include "edit/DrawJobEffects.h"
#include "edit/EffectHooks.h"
#include "support/TempDir.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

bool IsGrey170(const uint8_t* p) { return p[0] == 170 && p[1] == 170 && p[2] == 170; }

// Counts pixels of a box that are clearly red (the text colour).
int RedPixels(const TBitmap& b, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += Pixel(b, x, y)[2] > Pixel(b, x, y)[1] + 60;
    return n;
}

bool CanLockFromAnotherThread(const TBitmap& b) {
    return std::async(std::launch::async, [&] {
               if (!b.CanvasLock().try_lock()) return false;
               b.CanvasLock().unlock();
               return true;
           }).get();
}

}  // namespace

// Contrast -100 flattens to 170, a red text sits left, a black multiplied image right:
// which of them ends up grey shows the order of the three steps.
TEST(DrawJobEffects, ProcessFlagsOrderTheSteps) {
    TempDir dir;
    const std::string imagePath = dir.file("black.bmp");
    SaveBmpFile(SolidPicture(10, 10, 0, 0, 0), imagePath);
    struct Case {
        bool processText, processImage;
        bool textRed, imageBlack;
    } cases[] = {
        {false, false, true, true},   // adjust, text, image
        {true, false, false, true},   // text, adjust, image
        {false, true, true, false},   // image, adjust, text
        {true, true, false, false},   // text, image, adjust
    };
    for (const auto& k : cases) {
        TBitmap b = NoisePicture(80, 20);
        TJobEffects e;
        e.Contrast = -100;
        e.WatermarkText = "WWW";
        e.WatermarkFont.Size = 12;
        e.WatermarkFont.Color = RGBColor(255, 0, 0);
        e.TextLeft = 2, e.TextTop = 2;
        e.WatermarkImage = imagePath;
        e.ImageLeft = 60, e.ImageTop = 5, e.ImageBlend = 2;
        e.ProcessText = k.processText, e.ProcessImage = k.processImage;
        DrawJobEffects(b, e);
        const std::string what = std::string("ProcessText ") + (k.processText ? "1" : "0") + " ProcessImage " +
                                 (k.processImage ? "1" : "0");
        EXPECT_EQ(RedPixels(b, 0, 0, 50, 20) > 10, k.textRed) << what;
        const uint8_t* img = Pixel(b, 65, 10);
        EXPECT_EQ(img[0] == 0 && img[1] == 0 && img[2] == 0, k.imageBlack) << what;
        if (!k.imageBlack) {
            EXPECT_TRUE(IsGrey170(img)) << what;
        }
        EXPECT_TRUE(IsGrey170(Pixel(b, 55, 2))) << what << ": the rest is flat grey";
    }
}

TEST(ConversionCustomHook, NeutralJobStopsTheHookAndKeepsTheFrame) {
    TBitmap b = NoisePicture();
    const TBitmap before = b;
    bool stop = false, update = true;
    ConversionCustomHook(b, TJobEffects{}, stop, update);
    EXPECT_TRUE(stop);
    EXPECT_FALSE(update);
    EXPECT_TRUE(SamePixels(b, before));
}

TEST(ConversionCustomHook, EffectsDrawAndLeaveTheFlags) {
    TJobEffects changes[4];
    changes[0].Exposure = 100;
    changes[1].WatermarkText = "x";
    changes[2].Brightness = 256;  // idle but not neutral: the hook still runs
    changes[3].Saturation = 0;
    for (const auto& e : changes) {
        TBitmap b = NoisePicture();
        bool stop = false, update = true;
        ConversionCustomHook(b, e, stop, update);
        EXPECT_FALSE(stop);
        EXPECT_TRUE(update);
    }
    TBitmap b = NoisePicture();
    bool stop = false, update = true;
    ConversionCustomHook(b, changes[3], stop, update);
    EXPECT_FALSE(SamePixels(b, NoisePicture()));
}

TEST(ConversionCustomHook, MissingImageThrowsAndReleasesTheCanvas) {
    TempDir dir;
    TJobEffects e;
    e.WatermarkImage = dir.file("gone.bmp");
    TBitmap b = NoisePicture();
    bool stop = false, update = true;
    EXPECT_THROW(ConversionCustomHook(b, e, stop, update), EBitmapError);
    EXPECT_TRUE(CanLockFromAnotherThread(b));
    EXPECT_FALSE(stop);
}

TEST(WatermarkImageCache, ReadsOncePerPathAndFollowsChanges) {
    TempDir dir;
    const std::string a = dir.file("a.bmp"), b = dir.file("b.bmp");
    SaveBmpFile(SolidPicture(3, 3, 1, 1, 1), a);
    SaveBmpFile(SolidPicture(4, 4, 2, 2, 2), b);
    TWatermarkImageCache cache;
    const auto first = cache.Get(a);
    EXPECT_EQ(cache.Get(a), first) << "the same file is not read again";
    EXPECT_EQ(cache.Get(b)->Width(), 4) << "a changed path takes effect at once";
    EXPECT_EQ(cache.Get(a)->Width(), 3);

    SaveBmpFile(SolidPicture(5, 2, 9, 9, 9), a);  // rewritten on disk
    EXPECT_EQ(cache.Get(a)->Width(), 5);

    std::filesystem::remove(a);
    EXPECT_THROW(cache.Get(a), EBitmapError);
    SaveBmpFile(SolidPicture(3, 3, 1, 1, 1), a);
    EXPECT_EQ(cache.Get(a)->Width(), 3) << "the next frame tries again";
}

TEST(ConversionCustomHook, CachedImageBlendsLikeAFreshRead) {
    TempDir dir;
    TJobEffects e;
    e.WatermarkImage = dir.file("w.bmp");
    e.ImageLeft = 3, e.ImageTop = 4;
    SaveBmpFile(NoisePicture(9, 7, 3), e.WatermarkImage);
    TWatermarkImageCache cache;
    for (int frame = 0; frame < 2; ++frame) {
        TBitmap cached = NoisePicture(), fresh = NoisePicture();
        bool stop = false, update = true;
        ConversionCustomHook(cached, e, stop, update, &cache);
        DrawJobEffects(fresh, e);
        EXPECT_TRUE(SamePixels(cached, fresh));
        EXPECT_FALSE(SamePixels(cached, NoisePicture()));
    }
}

TEST(CopyPreviewBitmap, CopiesOnlyPicturesWithASize) {
    const TBitmap source = NoisePicture(7, 5);
    TBitmap preview;
    CopyPreviewBitmap(source, &preview);
    EXPECT_TRUE(SamePixels(preview, source));

    TBitmap changed = source;
    changed.ScanLine(0)[0] ^= 0xFF;
    CopyPreviewBitmap(changed, &preview);
    EXPECT_TRUE(SamePixels(preview, changed)) << "a full copy each time";
    changed.ScanLine(0)[0] ^= 0xFF;
    EXPECT_FALSE(SamePixels(preview, changed)) << "not a reference";

    CopyPreviewBitmap(TBitmap(), &preview);
    CopyPreviewBitmap(TBitmap(0, 5), &preview);
    EXPECT_EQ(preview.Width(), 7) << "empty pictures leave the last one";
    CopyPreviewBitmap(source, nullptr);
}

TEST(DrawCropFrame, OutlinesTheKeptRectangle) {
    // 12x10 frame; green where the 2-pixel pen lies, everything else white.
    struct Case {
        const char* what;
        TCropMargins crop;
        bool inset;
        int left, top, right, bottom;  // outline path, right and bottom inclusive
    } cases[] = {
        {"no crop outlines the whole picture", {0, 0, 0, 0}, false, 0, 0, 11, 9},
        {"margins", {2, 3, 1, 4}, false, 3, 2, 7, 8},
        {"effects window insets", {0, 0, 0, 0}, true, 1, 1, 9, 7},
        {"margins past the frame", {50, 60, 70, 80}, false, 60, 50, -69, -61},
        {"negative margins", {-5, -5, -5, -5}, false, -5, -5, 16, 14},
    };
    for (const auto& k : cases) {
        TBitmap b = SolidPicture(12, 10, 255, 255, 255);
        DrawPreviewHook(b, TJobEffects{}, k.crop, k.inset);
        auto onPen = [&](int x, int y) {
            const int lo_x = std::min(k.left, k.right) - 1, hi_x = std::max(k.left, k.right);
            const int lo_y = std::min(k.top, k.bottom) - 1, hi_y = std::max(k.top, k.bottom);
            const bool vertical = (x == k.left - 1 || x == k.left || x == k.right - 1 || x == k.right) && y >= lo_y && y <= hi_y;
            const bool horizontal = (y == k.top - 1 || y == k.top || y == k.bottom - 1 || y == k.bottom) && x >= lo_x && x <= hi_x;
            return vertical || horizontal;
        };
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x) {
                const uint8_t* p = Pixel(b, x, y);
                const bool green = p[0] == 0 && p[1] == 128 && p[2] == 0;
                ASSERT_EQ(green, onPen(x, y)) << k.what << " at " << x << "," << y;
                if (!green) {
                    ASSERT_EQ(p[1], 255) << k.what;
                }
            }
    }
}

TEST(PercentPosition, TruncatesAndReachesTheEdge) {
    const int cases[][3] = {{641, 50, 320}, {641, 100, 641}, {641, 0, 0}, {99, 33, 32}, {1920, 99, 1900}};
    for (const auto& c : cases) EXPECT_EQ(PercentPosition(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}
