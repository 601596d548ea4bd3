#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "app/Settings.h"
#include "batch/JpegFile.h"
#include "batch/Snapshot.h"
#include "platform/Paths.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

using namespace vexlo;
using vexlo::test::TempDir;

namespace {

// A picture with a gradient, so that JPEG quality makes a difference in size.
TBitmap Picture(int w, int h) {
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.ScanLine(y) + x * 3;
            p[0] = static_cast<uint8_t>(x * 7 + y);
            p[1] = static_cast<uint8_t>(y * 5);
            p[2] = static_cast<uint8_t>((x ^ y) * 3);
        }
    return b;
}

const char* const kAll[] = {"Snapshot_full.bmp", "Snapshot_small.bmp", "Snapshot_full.jpg", "Snapshot_small.jpg"};

class SnapshotTest : public ::testing::Test {
protected:
    void SetUp() override { test::UseSettingsIn(settingsDir); }
    std::vector<std::string> Present() const {
        std::vector<std::string> names;
        for (const char* n : kAll)
            if (FileExists(out.file(n))) names.push_back(n);
        return names;
    }
    TempDir settingsDir, out;
    TBitmap full = Picture(64, 48), small = Picture(39, 21);
};

}  // namespace

TEST_F(SnapshotTest, WritesExactlyTheFilesWhoseTwoSwitchesAreOn) {
    struct Case {
        bool fullSize, smallSize, bmp, jpg;
        std::vector<std::string> files;
    } cases[] = {
        {true, true, true, true, {kAll[0], kAll[1], kAll[2], kAll[3]}},
        {true, true, false, true, {kAll[2], kAll[3]}},
        {true, false, true, true, {kAll[0], kAll[2]}},
        {false, true, true, false, {kAll[1]}},
        {false, false, true, true, {}},
    };
    for (const auto& c : cases) {
        TempDir folder;
        const TSnapshotChoices choices{c.fullSize, c.smallSize, c.bmp, c.jpg, 30};
        std::vector<std::string> expected;
        for (const auto& f : c.files) expected.push_back(folder.file(f));
        EXPECT_EQ(WriteSnapshotFiles(full, small, folder.path(), choices), expected);
        int present = 0;
        for (const char* n : kAll) present += FileExists(folder.file(n));
        EXPECT_EQ(present, static_cast<int>(c.files.size()));
    }
}

TEST_F(SnapshotTest, FilesAreReadableAtTheirPicturesSizes) {
    WriteSnapshotFiles(full, small, out.path(), TSnapshotChoices{});
    struct Case {
        const char* name;
        const char* codec;
        const char* size;
    } cases[] = {{kAll[0], "bmp", "64x48"}, {kAll[1], "bmp", "39x21"}, {kAll[2], "mjpeg", "64x48"},
                 {kAll[3], "mjpeg", "39x21"}};
    for (const auto& c : cases) {
        const std::string f = out.file(c.name);
        EXPECT_EQ(test::FfprobeValue(f, "stream=codec_name"), c.codec) << c.name;
        EXPECT_EQ(test::FfprobeValue(f, "stream=width") + "x" + test::FfprobeValue(f, "stream=height"), c.size)
            << c.name;
    }
}

TEST_F(SnapshotTest, SecondSnapshotReplacesTheFirst) {
    WriteSnapshotFiles(full, small, out.path(), TSnapshotChoices{});
    const TBitmap bigger = Picture(128, 96);
    WriteSnapshotFiles(bigger, small, out.path(), TSnapshotChoices{});
    EXPECT_EQ(test::FfprobeValue(out.file(kAll[0]), "stream=width"), "128");
    EXPECT_EQ(test::FfprobeValue(out.file(kAll[2]), "stream=width"), "128");
    EXPECT_EQ(FileSize(out.file(kAll[0])), 54 + 128 * 96 * 3);
}

TEST_F(SnapshotTest, EmptyPictureWritesNoneOfItsFiles) {
    EXPECT_EQ(WriteSnapshotFiles(TBitmap(), small, out.path(), TSnapshotChoices{}).size(), 2u);
    EXPECT_EQ(Present(), (std::vector<std::string>{kAll[1], kAll[3]}));
}

TEST_F(SnapshotTest, StoredSwitchesAndQualityAreUsed) {
    settings::WriteString("SnapOutPutDir", out.path() + "snaps");
    settings::WriteInteger("snapBmp", 0);
    settings::WriteInteger("snapSmallSize", 2);  // only exactly 1 means on
    settings::WriteInteger("jpgCmp", 95);
    const auto written = SaveSnapshot(full, small);
    ASSERT_EQ(written, std::vector<std::string>{out.path() + "snaps/Snapshot_full.jpg"});
    EXPECT_GT(FileSize(written[0]), static_cast<long long>(EncodeJpeg(full, 10).size()));
    EXPECT_EQ(static_cast<long long>(EncodeJpeg(full, 95).size()), FileSize(written[0]));
}

TEST_F(SnapshotTest, UnwritableFolderThrowsAndKeepsWhatWasWritten) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes everywhere";
    WriteSnapshotFiles(full, small, out.path(), TSnapshotChoices{});
    ::chmod(out.path().c_str(), 0500);
    EXPECT_THROW(WriteSnapshotFiles(full, small, out.path(), TSnapshotChoices{}), std::exception);
    ::chmod(out.path().c_str(), 0700);
    EXPECT_EQ(Present().size(), 4u);
}

TEST_F(SnapshotTest, ColoursKeepTheirChannels) {
    TBitmap red(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) red.ScanLine(y)[x * 3 + 2] = 255;  // B, G, R order
    WriteSnapshotFiles(red, red, out.path(), TSnapshotChoices{true, false, true, true, 90});
    for (const char* name : {kAll[0], kAll[2]}) {
        const std::string rgb = test::RunProgram({"ffmpeg", "-v", "error", "-i", out.file(name), "-f", "rawvideo",
                                                  "-pix_fmt", "rgb24", "-"});
        ASSERT_EQ(rgb.size(), 16u * 16u * 3u) << name;
        const auto px = reinterpret_cast<const unsigned char*>(rgb.data()) + (8 * 16 + 8) * 3;
        EXPECT_GT(px[0], 230) << name;
        EXPECT_LT(px[1], 30) << name;
        EXPECT_LT(px[2], 30) << name;
    }
}
