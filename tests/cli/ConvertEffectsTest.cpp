// Picture adjustments and watermarks given to vexlo-cli convert reach the output's frames.
#include <gtest/gtest.h>

#include <cstdlib>

#include "CliSupport.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

// Mean luma of a rectangle of the middle frame.
double RegionLuma(const std::string& file, int x, int y, int w, int h) {
    std::string out = RunProgram({"ffprobe", "-v", "error", "-f", "lavfi", "-i",
                                  "movie=" + file + ",select=eq(n\\,10),crop=" + std::to_string(w) + ":" + std::to_string(h) +
                                      ":" + std::to_string(x) + ":" + std::to_string(y) + ",signalstats",
                                  "-show_entries", "frame_tags=lavfi.signalstats.YAVG", "-of", "default=nw=1:nk=1"});
    return out.empty() ? -1 : std::atof(out.c_str());
}

class ConvertEffects : public testing::Test {
protected:
    // 2 s of flat mid-grey 320x240, converted with the 320x240 profile, so source pixels
    // are output pixels.
    std::string Convert(std::vector<std::string> edits) {
        const std::string clip = MediaFixture("cli-grey-2s.mp4", {"-f", "lavfi", "-i", "color=c=0x808080:s=320x240:r=10:d=2",
                                                                  "-f", "lavfi", "-i", "sine=duration=2", "-c:v", "libx264",
                                                                  "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac",
                                                                  "-shortest"});
        std::vector<std::string> args = {"convert", "--profile", "2", "--out", dir.path()};
        args.insert(args.end(), edits.begin(), edits.end());
        args.push_back(clip);
        TCliRun run = RunCli(dir, args);
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<std::string> out = Destinations(run.out);
        return out.empty() ? "" : out.back();
    }
    TempDir dir;
};

TEST_F(ConvertEffects, NeutralJobKeepsThePicture) {
    EXPECT_NEAR(RegionLuma(Convert({}), 0, 0, 320, 240), 128, 12);
}

TEST_F(ConvertEffects, BrightnessDarkensEveryFrame) {
    EXPECT_LT(RegionLuma(Convert({"--brightness", "0"}), 0, 0, 320, 240), 30);
}

TEST_F(ConvertEffects, TextWatermarkIsDrawnAtItsPosition) {
    const std::string out = Convert({"--text", "MMMM", "--text-pos", "50%,50%", "--font-size", "28", "--font-color", "#FFFFFF"});
    EXPECT_GT(RegionLuma(out, 160, 120, 60, 30), 150) << "white text right of and below the centre";
    EXPECT_NEAR(RegionLuma(out, 0, 0, 150, 110), 128, 12) << "the rest stays grey";
}

TEST_F(ConvertEffects, ImageWatermarkIsBlendedAtItsPosition) {
    const std::string image = dir.file("white.bmp");
    int status = -1;
    RunProgram({"ffmpeg", "-v", "error", "-f", "lavfi", "-i", "color=c=white:s=40x40", "-frames:v", "1", "-pix_fmt", "bgr24",
                image},
               &status);
    ASSERT_EQ(status, 0);
    const std::string out =
        Convert({"--image", image, "--image-pos", "25%,25%", "--image-alpha", "255", "--image-blend", "1"});
    EXPECT_GT(RegionLuma(out, 84, 64, 32, 32), 200) << "the image covers (80,60)-(120,100)";
    EXPECT_NEAR(RegionLuma(out, 200, 150, 100, 80), 128, 12);
}

}  // namespace
