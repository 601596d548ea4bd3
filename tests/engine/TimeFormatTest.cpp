#include <gtest/gtest.h>

#include "engine/FFmpegApi.h"
#include "engine/FFmpegLoader.h"
#include "engine/TimeFormat.h"

using namespace vexlo;

TEST(TimeFormat, FormatPTSAndEngineTime) {
    struct Case {
        int64_t t;
        const char* text;
    } cases[] = {
        {0, "00:00:00.000"},
        {3725500000LL, "01:02:05.500"},
        {999, "00:00:00.000"},
        {1000, "00:00:00.001"},
        {86400000000LL + 1000000, "24:00:01.000"},  // hours are not wrapped
        {360000000000LL, "100:00:00.000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatPTS(c.t), c.text) << c.t;
        EXPECT_EQ(FormatTime(c.t), c.text) << c.t;
    }
    EXPECT_EQ(FormatTime(kNoPTS), "N/A");
}

TEST(ErrorTexts, TableAndKindNames) {
    struct Case {
        int code;
        const char* text;
    } cases[] = {
        {AVERROR_PATCHWELCOME, "Not yet implemented in FFmpeg"},
        {-10043, "Unsupported network protocol"},
        {AVERROR_PROTOCOL_NOT_FOUND, "Unsupported network protocol"},
        {-42, "Unknown format"},
        {AVERROR_DEMUXER_NOT_FOUND, "Unknown format"},
        {-33, "Number syntax expected in filename"},
        {-32, "End of file"},
        {AVERROR_EOF, "End of file"},
        {-22, "Invalid data found when processing input"},
        {AVERROR_INVALIDDATA, "Invalid data found when processing input"},
        {-12, "Not enough memory"},
        {-5, "I/O error"},
        {-2, "No such file or directory"},
        {-123456, "Error number -123456 occurred"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorText(c.code), c.text) << c.code;
    EXPECT_EQ(PrintError("a.mp4", -2), "a.mp4: No such file or directory");
    const char* kinds[] = {"Video", "Audio", "Data", "Subtitle", "Attachment", "Unknown", "Unknown"};
    for (int i = 0; i < 7; ++i) EXPECT_STREQ(MediaKindName(i == 6 ? -1 : i), kinds[i]);
}
