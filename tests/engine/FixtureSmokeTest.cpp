#include <gtest/gtest.h>

#include "support/MediaFixtures.h"

using namespace vexlo::test;

// The fixture maker and ffprobe reader that every media suite stands on.
TEST(MediaFixtures, StandardClipIsWhatItSays) {
    std::string mp4 = StandardClip("mp4");
    ASSERT_FALSE(mp4.empty());
    EXPECT_EQ(FfprobeValue(mp4, "stream=codec_name", "v:0"), "h264");
    EXPECT_EQ(FfprobeValue(mp4, "stream=width", "v:0"), "320");
    EXPECT_EQ(FfprobeValue(mp4, "stream=sample_rate", "a:0"), "44100");
}
