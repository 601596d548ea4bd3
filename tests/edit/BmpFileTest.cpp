#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "PictureHelpers.h"
#include "edit/BmpFile.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

TBitmap Decode(const std::string& bytes) {
    return DecodeBmp(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// A BMP assembled field by field, so tests can write both well-formed and lying files.
struct BmpBuilder {
    uint32_t headerSize = 40;
    int32_t width = 2, height = 2;
    uint16_t bpp = 24;
    uint32_t compression = 0, colorsUsed = 0;
    std::vector<uint32_t> masks;    // written right after the header
    std::vector<uint8_t> palette;   // written after the masks
    std::string pixels;
    int64_t pixelOffset = -1;       // -1: right after the palette

    std::string Bytes() const {
        std::string out;
        auto put = [&](uint64_t v, int n) { for (int i = 0; i < n; ++i) out.push_back(char((v >> (8 * i)) & 0xFF)); };
        const uint64_t offset = pixelOffset >= 0 ? uint64_t(pixelOffset)
                                                 : 14 + headerSize + masks.size() * 4 + palette.size();
        out += "BM";
        put(0, 4), put(0, 4), put(offset, 4);
        put(headerSize, 4);
        if (headerSize == 12) {
            put(uint16_t(width), 2), put(uint16_t(height), 2), put(1, 2), put(bpp, 2);
        } else {
            put(uint32_t(width), 4), put(uint32_t(height), 4), put(1, 2), put(bpp, 2);
            put(compression, 4), put(pixels.size(), 4), put(0, 4), put(0, 4), put(colorsUsed, 4), put(0, 4);
            while (out.size() < 14 + headerSize) out.push_back(0);
        }
        for (uint32_t m : masks) put(m, 4);
        out.append(palette.begin(), palette.end());
        if (pixelOffset >= 0) out.resize(std::max<size_t>(out.size(), size_t(pixelOffset)), '\0');
        return out + pixels;
    }
};

std::string Row(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s.push_back(char(b));
    return s;
}

}  // namespace

// Files written by ffmpeg's own BMP encoder must read as ffmpeg itself decodes them.
TEST(BmpReader, ReadsWhatFfmpegWrites) {
    struct Case {
        const char* pixFmt;
        int tolerance;  // 16-bit channels widen to 8 bits by slightly different rules
    } cases[] = {{"bgr24", 0}, {"bgra", 0}, {"pal8", 0}, {"gray", 0}, {"monob", 0},
                 {"rgb555le", 2}, {"rgb565le", 2}, {"rgb444le", 15}};
    for (const auto& k : cases) {
        const std::string name = std::string("bmp_") + k.pixFmt;
        const std::string bmp = MediaFixture(name + ".bmp", {"-f", "lavfi", "-i", "testsrc=size=19x7:rate=1",
                                                             "-frames:v", "1", "-pix_fmt", k.pixFmt});
        const std::string raw = MediaFixture(name + ".raw", {"-i", bmp, "-f", "rawvideo", "-pix_fmt", "bgr24"});
        ASSERT_FALSE(bmp.empty() || raw.empty());
        const TBitmap b = LoadBmpFile(bmp);
        ASSERT_EQ(b.Width(), 19);
        ASSERT_EQ(b.Height(), 7);
        const std::string expected = ReadFile(raw);
        ASSERT_EQ(expected.size(), 19u * 7 * 3);
        for (int y = 0; y < 7; ++y)
            for (int i = 0; i < 19 * 3; ++i)
                ASSERT_NEAR(b.ScanLine(y)[i], uint8_t(expected[y * 57 + i]), k.tolerance)
                    << k.pixFmt << " row " << y << " byte " << i;
    }
}

TEST(BmpReader, LayoutsItWritesItself) {
    // 2x2 picture, top row blue/green, bottom row red/white.
    const TBitmap expected = MakePicture(2, 2, [](int x, int y, uint8_t* p) {
        const uint8_t colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        std::memcpy(p, colours[y * 2 + x], 3);
    });
    const std::vector<uint8_t> pal4 = {255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0};
    struct Case {
        const char* what;
        BmpBuilder file;
    } cases[] = {
        {"24-bit top-down", [] {
             BmpBuilder f;
             f.height = -2;
             f.pixels = Row({255, 0, 0, 0, 255, 0, 0, 0}) + Row({0, 0, 255, 255, 255, 255, 0, 0});
             return f;
         }()},
        {"32-bit bit masks in a long header", [] {
             BmpBuilder f;
             f.headerSize = 124, f.bpp = 32, f.compression = 3;
             // Red in the top byte, then green, then blue (masks patched in below); bottom row first.
             f.pixels = Row({0, 0, 0, 0xFF, 0, 0xFF, 0xFF, 0xFF}) + Row({0, 0xFF, 0, 0, 0, 0, 0xFF, 0});
             return f;
         }()},
        {"4-bit palette, colours used 4", [&] {
             BmpBuilder f;
             f.bpp = 4, f.colorsUsed = 4, f.palette = pal4;
             f.pixels = Row({0x23, 0, 0, 0}) + Row({0x01, 0, 0, 0});
             return f;
         }()},
        {"old 12-byte header with 3-byte palette", [] {
             BmpBuilder f;
             f.headerSize = 12, f.bpp = 8;
             f.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
             f.palette.resize(256 * 3);
             f.pixels = Row({2, 3, 0, 0}) + Row({0, 1, 0, 0});
             return f;
         }()},
    };
    for (auto& k : cases) {
        std::string bytes = k.file.Bytes();
        if (k.file.headerSize == 124) {  // masks at offsets 54 (red), 58 (green), 62 (blue)
            const uint32_t masks[3] = {0xFF000000u, 0x00FF0000u, 0x0000FF00u};
            std::memcpy(&bytes[54], masks, sizeof masks);
        }
        const TBitmap b = Decode(bytes);
        EXPECT_TRUE(SamePixels(b, expected)) << k.what;
    }
}

TEST(BmpReader, PaletteIndexBeyondTheColoursUsedIsBlack) {
    BmpBuilder f;
    f.bpp = 8, f.width = 2, f.height = 1, f.colorsUsed = 1;
    f.palette = {10, 20, 30, 0};
    f.pixels = Row({0, 200, 0, 0});
    const TBitmap b = Decode(f.Bytes());
    EXPECT_EQ(Pixel(b, 0, 0)[2], 30);
    EXPECT_EQ(Pixel(b, 1, 0)[0], 0);
    EXPECT_EQ(Pixel(b, 1, 0)[2], 0);
}

TEST(BmpReader, MalformedFilesAreErrors) {
    BmpBuilder good;
    good.pixels = Row({1, 2, 3, 4, 5, 6, 0, 0}) + Row({7, 8, 9, 10, 11, 12, 0, 0});
    ASSERT_NO_THROW(Decode(good.Bytes()));
    auto with = [&](auto change) { BmpBuilder f = good; change(f); return f.Bytes(); };
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"not BM", "PK" + good.Bytes().substr(2)},
        {"only the signature", "BM"},
        {"header size 0", with([](BmpBuilder& f) { f.headerSize = 0; })},
        {"header size 39", with([](BmpBuilder& f) { f.headerSize = 39; })},
        {"header size past the end", good.Bytes().replace(14, 4, std::string("\xF0\xFF\xFF\xFF", 4))},
        {"width 0", with([](BmpBuilder& f) { f.width = 0; })},
        {"negative width", with([](BmpBuilder& f) { f.width = -2; })},
        {"height 0", with([](BmpBuilder& f) { f.height = 0; })},
        {"smallest height", with([](BmpBuilder& f) { f.height = INT32_MIN; })},
        {"width that overflows a row", with([](BmpBuilder& f) { f.width = INT32_MAX; })},
        {"height that overflows the size", with([](BmpBuilder& f) { f.height = 0x7FFFFFFF; })},
        {"too many pixels", with([](BmpBuilder& f) { f.width = 60000, f.height = 60000; })},
        {"bit depth 7", with([](BmpBuilder& f) { f.bpp = 7; })},
        {"bit depth 0", with([](BmpBuilder& f) { f.bpp = 0; })},
        {"run-length compression", with([](BmpBuilder& f) { f.bpp = 8, f.compression = 1; })},
        {"bit masks on 24-bit", with([](BmpBuilder& f) { f.compression = 3; })},
        {"pixel offset past the end", with([](BmpBuilder& f) { f.pixelOffset = 1000; f.pixels.clear(); })},
        {"pixel offset near 4 GiB", good.Bytes().replace(10, 4, std::string("\xF0\xFF\xFF\xFF", 4))},
        {"pixel data one byte short", with([](BmpBuilder& f) { f.pixels.pop_back(); })},
        {"palette past the end", with([](BmpBuilder& f) { f.bpp = 8, f.colorsUsed = 0xFFFFFFFFu, f.pixels = "\1\1\0\0\1\1\0\0"; })},
        {"masks past the end", with([](BmpBuilder& f) { f.bpp = 32, f.compression = 3, f.pixels.clear(); })},
    };
    for (const auto& k : cases) {
        try {
            Decode(k.bytes);
            ADD_FAILURE() << k.what << ": accepted";
        } catch (const EBitmapError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Bitmap image is not valid: ", 0), 0u) << k.what << ": " << e.what();
        }
    }
}

// Every shorter prefix of a valid file is an error, and none is read past its end
// (the sanitizer build checks the reads).
TEST(BmpReader, EveryTruncationIsAnError) {
    for (const char* fmt : {"bgr24", "pal8", "monob", "rgb565le"}) {
        const std::string name = std::string("bmp_") + fmt + ".bmp";
        const std::string path = MediaFixture(name, {"-f", "lavfi", "-i", "testsrc=size=19x7:rate=1", "-frames:v", "1",
                                                     "-pix_fmt", fmt});
        const std::string bytes = ReadFile(path);
        ASSERT_NO_THROW(Decode(bytes)) << fmt;
        for (size_t n = 0; n < bytes.size(); ++n) {
            std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(n));  // exact-size heap block
            EXPECT_THROW(DecodeBmp(prefix.data(), prefix.size()), EBitmapError) << fmt << " cut to " << n;
        }
    }
}

TEST(BmpFile, MissingFileNamesThePath) {
    TempDir dir;
    try {
        LoadBmpFile(dir.file("none.bmp"));
        FAIL();
    } catch (const EBitmapError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + dir.file("none.bmp") + "\"", 0), 0u) << e.what();
    }
}

TEST(BmpWriter, RoundTripsAndFfmpegReadsIt) {
    TempDir dir;
    const TBitmap picture = NoisePicture(13, 5);  // odd width: padded rows
    const std::string path = dir.file("out.bmp");
    SaveBmpFile(picture, path);
    EXPECT_TRUE(SamePixels(LoadBmpFile(path), picture));

    EXPECT_EQ(Ffprobe(path, "stream=width,height,pix_fmt"), "width=13\nheight=5\npix_fmt=bgr24\n");
    int status = -1;
    const std::string raw = RunProgram({"ffmpeg", "-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "bgr24", "-"}, &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(raw.size(), 13u * 5 * 3);
    for (int y = 0; y < 5; ++y)
        ASSERT_EQ(std::memcmp(raw.data() + y * 39, picture.ScanLine(y), 39), 0) << "row " << y;
}
