#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "PictureHelpers.h"
#include "edit/BmpFile.h"
#include "edit/TextWatermark.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

// Bounding box of the pixels that differ from a white background; empty when none do.
struct Box {
    int x0 = INT32_MAX, y0 = INT32_MAX, x1 = -1, y1 = -1;
    bool Empty() const { return x1 < 0; }
    int Count = 0;
};

Box Changed(const TBitmap& b) {
    Box box;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const uint8_t* p = Pixel(b, x, y);
            if (p[0] == 255 && p[1] == 255 && p[2] == 255) continue;
            box.x0 = std::min(box.x0, x), box.y0 = std::min(box.y0, y);
            box.x1 = std::max(box.x1, x), box.y1 = std::max(box.y1, y);
            ++box.Count;
        }
    return box;
}

TBitmap White(int w = 120, int h = 30) { return SolidPicture(w, h, 255, 255, 255); }

// Rows whose pixels are all (nearly) the text colour across the text's width: lines, not glyphs.
std::vector<int> SolidRows(const TBitmap& b, int x0, int x1) {
    std::vector<int> rows;
    for (int y = 0; y < b.Height(); ++y) {
        bool solid = true;
        for (int x = x0; x < x1 && solid; ++x) solid = Pixel(b, x, y)[1] < 40;
        if (solid) rows.push_back(y);
    }
    return rows;
}

}  // namespace

TEST(TextWatermark, PointsArePixelsAt96Dpi) {
    const int cases[][2] = {{8, 11}, {10, 13}, {12, 16}, {72, 96}, {0, 1}, {-8, 11}, {100000, 2048}};
    for (const auto& c : cases) EXPECT_EQ(FontPixelSize(c[0]), c[1]) << c[0];
}

TEST(TextWatermark, FontNamesResolveToInstalledFaces) {
    TWatermarkFont font;  // "MS Sans Serif" is not installed; fontconfig finds its best match
    const std::string regular = WatermarkFontFile(font);
    EXPECT_TRUE(std::filesystem::exists(regular)) << regular;
    font.Bold = true;
    const std::string bold = WatermarkFontFile(font);
    EXPECT_TRUE(std::filesystem::exists(bold));
    EXPECT_NE(bold, regular);
    font.Name = "DejaVu Sans Mono";
    font.Bold = false;
    EXPECT_NE(WatermarkFontFile(font).find("DejaVuSansMono"), std::string::npos);
}

TEST(TextWatermark, DrawsInsideItsLineBoxInItsColour) {
    TWatermarkFont font;
    font.Color = RGBColor(255, 0, 0);
    TBitmap b = White();
    DrawWatermarkText(b, "Vexlo", font, 10, 5);
    const TTextExtent extent = MeasureWatermarkText("Vexlo", font);
    const Box box = Changed(b);
    ASSERT_FALSE(box.Empty());
    EXPECT_GE(box.x0, 10);
    EXPECT_GE(box.y0, 5);
    EXPECT_LE(box.x1, 10 + extent.Width + 1);
    EXPECT_LT(box.y1, 5 + extent.Height);
    EXPECT_GT(extent.Width, 20);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const uint8_t* p = Pixel(b, x, y);
            ASSERT_EQ(p[2], 255) << "red stays full on white";
            ASSERT_EQ(p[0], p[1]) << "blue and green fall together";
        }
}

TEST(TextWatermark, StylesChangeTheDrawing) {
    TWatermarkFont plain;
    TBitmap regular = White();
    DrawWatermarkText(regular, "Watermark", plain, 2, 2);
    const TTextExtent extent = MeasureWatermarkText("Watermark", plain);

    auto drawn = [&](void (*set)(TWatermarkFont&)) {
        TWatermarkFont f = plain;
        set(f);
        TBitmap b = White();
        DrawWatermarkText(b, "Watermark", f, 2, 2);
        return b;
    };
    const TBitmap bold = drawn([](TWatermarkFont& f) { f.Bold = true; });
    EXPECT_GT(Changed(bold).Count, Changed(regular).Count);
    const TBitmap italic = drawn([](TWatermarkFont& f) { f.Italic = true; });
    EXPECT_FALSE(SamePixels(italic, regular));

    const TBitmap underline = drawn([](TWatermarkFont& f) { f.Underline = true; });
    const TBitmap strike = drawn([](TWatermarkFont& f) { f.StrikeOut = true; });
    EXPECT_TRUE(SolidRows(regular, 2, 2 + extent.Width).empty());
    const auto under = SolidRows(underline, 2, 2 + extent.Width);
    const auto through = SolidRows(strike, 2, 2 + extent.Width);
    ASSERT_FALSE(under.empty());
    ASSERT_FALSE(through.empty());
    const int baseline = 2 + extent.Ascent;
    EXPECT_GE(under.front(), baseline) << "underline below the baseline";
    EXPECT_LT(through.back(), baseline) << "strike-out above it";
    EXPECT_GT(through.front(), 2 + extent.Ascent / 3) << "strike-out through the lower part of the capitals";
}

TEST(TextWatermark, TextPastTheFrameIsCut) {
    TWatermarkFont font;
    font.Size = 20;
    const TTextExtent extent = MeasureWatermarkText("Cut Text", font);
    struct Case {
        const char* what;
        int left, top;
        bool visible;
    } cases[] = {
        {"corner on the right edge", 60, 0, false},
        {"corner on the bottom edge", 0, 20, false},
        {"far outside", INT32_MAX, INT32_MAX, false},
        {"far before", INT32_MIN, INT32_MIN, false},
        {"running off the right", 50, 0, true},
        {"running off the bottom", 0, 12, true},
        {"starting left of the frame", -extent.Width / 2, 0, true},
        {"starting above the frame", 0, -extent.Height / 2, true},
    };
    for (const auto& k : cases) {
        TBitmap b = White(60, 20);
        DrawWatermarkText(b, "Cut Text", font, k.left, k.top);
        EXPECT_EQ(!Changed(b).Empty(), k.visible) << k.what;
    }
}

TEST(TextWatermark, OddTextIsSafe) {
    TBitmap b = White();
    const std::string texts[] = {"", "\xff\xfe broken UTF-8 \xe2\x82", "tab\tand\nnewline", "Grüße €", std::string(2000, 'W')};
    for (const auto& t : texts) EXPECT_NO_THROW(DrawWatermarkText(b, t, TWatermarkFont{}, 0, 0));
    TBitmap empty;
    EXPECT_NO_THROW(DrawWatermarkText(empty, "x", TWatermarkFont{}, 0, 0));
}

// A rendered block of lines against a stored picture. Set VEXLO_UPDATE_GOLDEN=1 to rewrite it
// after a deliberate change, and look at the new picture before committing it.
TEST(TextWatermark, MatchesGoldenPicture) {
    TBitmap b = SolidPicture(220, 64, 200, 230, 240);
    TWatermarkFont f;
    DrawWatermarkText(b, "Vexlo Mobile 0123 (MS Sans Serif)", f, 3, 1);
    f.Bold = true, f.Underline = true, f.Color = RGBColor(200, 20, 20);
    DrawWatermarkText(b, "Bold underline", f, 3, 16);
    f.Bold = false, f.Underline = false, f.StrikeOut = true, f.Size = 12, f.Color = RGBColor(0, 0, 160);
    DrawWatermarkText(b, "Struck 12 pt", f, 100, 30);
    f.StrikeOut = false, f.Size = 10, f.Color = RGBColor(0, 120, 0);
    DrawWatermarkText(b, "cut at the edge", f, 150, 48);

    const std::string golden = (std::filesystem::path(__FILE__).parent_path() / "golden" / "TextLines.bmp").string();
    if (const char* update = std::getenv("VEXLO_UPDATE_GOLDEN"); update && *update == '1') SaveBmpFile(b, golden);
    const TBitmap expected = LoadBmpFile(golden);
    ASSERT_EQ(expected.Width(), b.Width());
    ASSERT_EQ(expected.Height(), b.Height());
    // Small tolerance for anti-aliasing differences between FreeType builds.
    int worst = 0, off = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int i = 0; i < b.Width() * 3; ++i) {
            const int d = std::abs(b.ScanLine(y)[i] - expected.ScanLine(y)[i]);
            worst = std::max(worst, d);
            off += d > 16;
        }
    EXPECT_LE(off, b.Width() * b.Height() * 3 / 200) << "bytes differing by more than 16 (worst " << worst << ")";
}
