#include <gtest/gtest.h>

#include "probe/FileInfoTexts.h"

using namespace vexlo;

TEST(FileInfoTexts, LongSourceNamesKeep40CharactersAndTheExtension) {
    const std::string sixty = "/" + std::string(55, 'v') + ".avi";
    ASSERT_EQ(sixty.size(), 60u);
    EXPECT_EQ(ShortSourceName(sixty), sixty.substr(0, 40) + "...avi  ");
    const std::string fortyFive(45, 'a');
    EXPECT_EQ(ShortSourceName(fortyFive), fortyFive);
    EXPECT_EQ(ShortSourceName(std::string(46, 'b')), std::string(40, 'b') + "..  ");
}

TEST(FileInfoTexts, DurationShowsSecondsAndMilliseconds) {
    struct Case {
        int64_t us;
        const char* text;
    } cases[] = {{65'432'100, "65.432 Second"}, {2'000'000, "2.000 Second"}, {1'005'999, "1.005 Second"},
                 {0, "0.000 Second"}};
    for (const auto& c : cases) EXPECT_EQ(DurationText(c.us), c.text);
}

TEST(FileInfoTexts, AudioFormatIsTheCodecBeforeTheFirstComma) {
    struct Case {
        const char* text;
        const char* format;
    } cases[] = {
        {"Audio: mp3, 44100 Hz, stereo, s16, 128 kb/s", "mp3"},
        {"Stream #0, 1/90000: Video: h264\r\nStream #1, 1/44100: Audio: aac (LC), 44100 Hz\r\n", "aac (LC)"},
        {"Audio: pcm_s16le\r\nnext", "pcm_s16le"},
        {"Video: mpeg4, 320x240", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(AudioFormatFromInfoText(c.text), c.format) << c.text;
}

TEST(FileInfoTexts, FrameRateAndFrameCount) {
    struct Case {
        int num, den;
        int64_t us;
        const char* rate;
        const char* frames;
    } cases[] = {{25, 1, 2'000'000, "25", "50"},          {30000, 1001, 10'010'000, "29.97", "300"},
                 {24000, 1001, 1'000'000, "23.976", "24"}, {-1, -1, 2'000'000, "", ""},
                 {25, 1, -1, "25", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(FrameRateText(c.num, c.den), c.rate) << c.num << "/" << c.den;
        EXPECT_EQ(TotalFramesText(c.us, c.num, c.den), c.frames) << c.num << "/" << c.den;
    }
}
