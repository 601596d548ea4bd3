#include <gtest/gtest.h>

#include "batch/PreviewFit.h"
#include "batch/ProgressTexts.h"
#include "batch/TaskRows.h"

using namespace vexlo;

TEST(TaskRows, IndexesOutsideTheRunHaveNoRow) {
    const TTaskRows rows{1, 3};
    EXPECT_EQ(TaskRow(rows, 1), 3);
    EXPECT_EQ(TaskRow(rows, 2), -1);
    EXPECT_EQ(TaskRow(rows, -1), -1);
}

TEST(ProgressTexts, PercentIsIntegerDivisionUnclampedAndZeroForUnknownLength) {
    struct Case {
        int64_t current, total, percent;
    } cases[] = {
        {0, 10'000'000, 0},           {3'339'999, 10'000'000, 33}, {10'000'000, 10'000'000, 100},
        {10'400'000, 10'000'000, 104}, {5'000'000, 0, 0},          {5'000'000, -1, 0},
        // Long sources: current x 100 must not overflow 32 bits.
        {int64_t{40} * 3600 * 1000000, int64_t{80} * 3600 * 1000000, 50},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgressPercent(c.current, c.total), c.percent) << c.current << "/" << c.total;
}

TEST(ProgressTexts, SecondTaskOfTwoShowsItsFigures) {
    TProgressInfo info;
    info.TaskIndex = 1;
    info.CurrentDuration = 12'900'000;
    info.TotalDuration = 30'100'000;
    info.CurrentSize = 518'999;
    const TProgressTexts t = MakeProgressTexts(info, 2, "/v/clip.avi");
    EXPECT_EQ(t.Percent, 42);
    EXPECT_EQ(t.RowProgress, "42%");
    EXPECT_EQ(t.Time, "12 Second");
    EXPECT_EQ(t.Length, "30 Second");
    EXPECT_EQ(t.Size, "518 kb");
    EXPECT_EQ(t.Progress, "[2/2]");
    EXPECT_EQ(t.Output, "/v/clip.avi");
}

TEST(ProgressTexts, LongCaptionsKeep44CharactersAndTheExtension) {
    const std::string fifty(46, 'a');
    EXPECT_EQ(ShortOutputCaption(fifty + ".avi"), fifty + ".avi");  // 50: unchanged
    const std::string sixty = std::string(56, 'b') + ".mpeg";
    EXPECT_EQ(ShortOutputCaption(sixty), std::string(44, 'b') + "...mpeg");
    EXPECT_EQ(ShortOutputCaption(std::string(51, 'c')), std::string(44, 'c') + "..");  // no extension
    // Characters, not bytes: a name of 60 two-byte letters is cut after 44 letters, whole.
    std::string wide;
    for (int i = 0; i < 56; ++i) wide += "\xC3\xA9";  // é
    EXPECT_EQ(ShortOutputCaption(wide + ".mp4"), wide.substr(0, 88) + "...mp4");
}

TEST(PreviewFit, PictureFitsKeepingItsShapeWithMarginsRoundedHalfToEven) {
    const TFitRect area{0, 0, 389, 210};
    struct Case {
        int w, h;
        TFitRect area, expected;
    } cases[] = {
        {640, 360, area, {8, 0, 381, 210}},          // full height, 373 wide
        {800, 200, area, {0, 56, 389, 154}},         // full width: m = (210 - 97.25) / 2 = 56.4
        {389, 210, area, {0, 0, 389, 210}},          // exact
        {10, 5, {0, 0, 10, 10}, {0, 2, 10, 8}},      // m = 2.5 -> 2
        {10, 7, {0, 0, 10, 10}, {0, 2, 10, 8}},      // m = 1.5 -> 2
        {640, 360, {5, 7, 394, 217}, {13, 7, 386, 217}},  // offset area
        {0, 0, area, area},                          // nothing to draw
    };
    for (const auto& c : cases) EXPECT_EQ(FitPicture(c.w, c.h, c.area), c.expected) << c.w << "x" << c.h;
    EXPECT_EQ(FitPicture(640, 360, area).Width(), 373);
}
