#include <gtest/gtest.h>

#include "batch/JpegFile.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

using namespace vexlo;
using vexlo::test::TempDir;

TEST(JpegFile, QualityIsClampedAndEmptyPicturesRefused) {
    TBitmap b(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 96; ++x) b.ScanLine(y)[x] = static_cast<uint8_t>(x * 5 + y * 3);
    EXPECT_EQ(EncodeJpeg(b, 0), EncodeJpeg(b, 1));
    EXPECT_EQ(EncodeJpeg(b, 250), EncodeJpeg(b, 100));
    EXPECT_LT(EncodeJpeg(b, 1).size(), EncodeJpeg(b, 100).size());
    EXPECT_THROW(EncodeJpeg(TBitmap(), 30), std::runtime_error);
}

TEST(JpegFile, ColoursKeepTheirChannelsAndTheFileIsReplaced) {
    TempDir dir;
    const std::string f = dir.file("red.jpg");
    test::WriteFile(f, "old content");
    TBitmap red(17, 9);  // odd sizes: rows padded in memory
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 17; ++x) red.ScanLine(y)[x * 3 + 2] = 255;  // B, G, R order
    SaveJpegFile(red, f, 90);
    EXPECT_EQ(test::FfprobeValue(f, "stream=width"), "17");
    const std::string rgb =
        test::RunProgram({"ffmpeg", "-v", "error", "-i", f, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    ASSERT_EQ(rgb.size(), 17u * 9u * 3u);
    const auto px = reinterpret_cast<const unsigned char*>(rgb.data()) + (4 * 17 + 8) * 3;
    EXPECT_GT(px[0], 230);
    EXPECT_LT(px[1], 30);
    EXPECT_LT(px[2], 30);
    EXPECT_THROW(SaveJpegFile(red, dir.file("missing/red.jpg"), 90), std::runtime_error);
}
