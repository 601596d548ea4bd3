#include <gtest/gtest.h>

#include <sys/stat.h>

#include "app/Settings.h"
#include "batch/DestinationName.h"
#include "batch/JobRecord.h"
#include "support/TempDir.h"

using namespace vexlo;
using vexlo::test::TempDir;

TEST(JobRecord, NewRecordHasNeutralEdits) {
    TlvFilesRecord r = NewJobRecord("/videos/a.avi", "pan");
    EXPECT_EQ(r.SourceFile, "/videos/a.avi");
    EXPECT_EQ(r.ZoomMode, "pan");
    EXPECT_EQ(r.TrimStart, 0);
    EXPECT_EQ(r.TrimLength, 0);
    for (int v : {r.CropTop, r.CropLeft, r.CropBottom, r.CropRight, r.CropUpView, r.CropLeftView, r.CropDownView,
                  r.CropRightView, r.TextLeft, r.TextTop, r.TextLeftPercent, r.TextTopPercent, r.ImageLeft,
                  r.ImageTop, r.ImageLeftPercent, r.ImageTopPercent, r.Contrast, r.Exposure})
        EXPECT_EQ(v, 0);
    EXPECT_EQ(r.ImageAlpha, 168);
    EXPECT_EQ(r.ImageBlend, 1);
    EXPECT_EQ(r.Brightness, 255);
    EXPECT_EQ(r.Saturation, 255);
    EXPECT_EQ(r.WatermarkText, "");
    EXPECT_EQ(r.WatermarkImage, "");
    EXPECT_EQ(r.WatermarkFont.Name, "MS Sans Serif");
    EXPECT_EQ(r.WatermarkFont.Size, 8);
    EXPECT_EQ(r.WatermarkFont.Color, 0u);
    EXPECT_FALSE(r.ProcessText);
    EXPECT_FALSE(r.ProcessImage);
}

TEST(JobRecord, ANewRecordDrawsNothing) {
    TlvFilesRecord r = NewJobRecord("/videos/a.avi", "lbox");
    EXPECT_TRUE(EffectsNeutral(JobEffectsOf(r)));
    EXPECT_EQ(JobEffectsOf(r), TJobEffects{});
    r.CropLeft = 4;
    r.Exposure = 9;
    r.WatermarkFont.Bold = true;
    TJobEffects e = JobEffectsOf(r);
    EXPECT_EQ(e.Exposure, 9);
    EXPECT_TRUE(e.WatermarkFont.Bold);
    EXPECT_EQ(CropMarginsOf(r).CropLeft, 4);
}

class DestinationNameTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::UseSettingsIn(settingsDir);
        settings::WriteString("OutPutDir", out.path());
    }
    void Touch(const std::string& name) { test::WriteFile(out.file(name), "x"); }
    TempDir settingsDir, out;
};

TEST_F(DestinationNameTest, NumbersPastExistingFiles) {
    EXPECT_EQ(MakeDestinationName("/videos/a.avi", ".mp4"), out.file("a_(new).mp4"));
    Touch("a_(new).mp4");
    Touch("a_(new_1).mp4");
    EXPECT_EQ(MakeDestinationName("/videos/a.avi", ".mp4"), out.file("a_(new_2).mp4"));
    EXPECT_EQ(MakeDestinationName("/videos/a.avi", "_ipod.mp4"), out.file("a_(new)_ipod.mp4"));
    EXPECT_EQ(MakeDestinationName("/videos/b.c.avi", ".3gp"), out.file("b.c_(new).3gp"));
    EXPECT_EQ(MakeDestinationName("/videos/clip", ".mp4"), out.file("clip_(new).mp4"));
}

TEST_F(DestinationNameTest, AFolderOfThatNameIsTaken) {
    ASSERT_EQ(::mkdir(out.file("a_(new).mp4").c_str(), 0755), 0);
    EXPECT_EQ(MakeDestinationName("/videos/a.avi", ".mp4"), out.file("a_(new_1).mp4"));
}

TEST_F(DestinationNameTest, RowsOfOneBatchSharingABaseNameGetDifferentNames) {
    std::set<std::string> handedOut;
    for (const char* source : {"/one/clip.avi", "/two/clip.mkv", "/three/clip.mp4"})
        handedOut.insert(MakeDestinationName(source, ".mp4", handedOut));
    EXPECT_EQ(handedOut, (std::set<std::string>{out.file("clip_(new).mp4"), out.file("clip_(new_1).mp4"),
                                                 out.file("clip_(new_2).mp4")}));
}

TEST_F(DestinationNameTest, NonAsciiNamesStayAsTheyAre) {
    EXPECT_EQ(MakeDestinationName("/videos/Überfahrt 東京.avi", ".mp4"), out.file("Überfahrt 東京_(new).mp4"));
}
