// The renderer's conversion hook inside a real transcoding run.
#include <gtest/gtest.h>

#include "edit/EffectHooks.h"
#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

std::string DecodedMd5(const std::string& file) {
    return RunProgram({"ffmpeg", "-v", "error", "-i", file, "-map", "0:v", "-f", "md5", "-"});
}

// Converts the standard clip to raw 4:2:0 video (so any change of the pixels shows),
// with the given hook handler when there is one. Returns the number of hook calls.
int Convert(const std::string& out, const std::function<void(THookInfo&)>& hook) {
    TCustomFFmpeg task;
    task.SetVerbosity(0);
    EXPECT_TRUE(task.OpenInputFile(StandardClip("mp4"))) << task.LastError();
    task.SetOptions("vcodec=rawvideo\npix_fmt=yuv420p\nan");
    EXPECT_GT(task.OpenOutputFile(out), 0) << task.LastError();
    int calls = 0;
    if (hook) task.SetOnHook([&](TCustomFFmpeg&, THookInfo& h) { ++calls, hook(h); });
    task.Start(false);
    EXPECT_TRUE(task.Finished()) << task.ErrorMessage();
    return calls;
}

}  // namespace

TEST(ConversionHookRun, NeutralJobConvertsExactlyAsWithoutTheHook) {
    ASSERT_TRUE(TFFmpegLoader::Instance().Load(kConverterLibraries));
    TempDir dir;
    const std::string plain = dir.file("plain.avi"), neutral = dir.file("neutral.avi"), roundTrip = dir.file("rgb.avi");
    Convert(plain, nullptr);
    EXPECT_EQ(Convert(neutral, [](THookInfo& h) { ConversionCustomHook(h, TJobEffects{}); }), 1)
        << "the first frame stops the hook";
    EXPECT_EQ(DecodedMd5(neutral), DecodedMd5(plain));
    // What the neutral job used to cost: every frame through RGB and back changes the picture.
    EXPECT_EQ(Convert(roundTrip, [](THookInfo&) {}), 50);
    EXPECT_NE(DecodedMd5(roundTrip), DecodedMd5(plain));
}

TEST(ConversionHookRun, JobEffectsReachEveryFrame) {
    ASSERT_TRUE(TFFmpegLoader::Instance().Load(kConverterLibraries));
    TempDir dir;
    const std::string out = dir.file("dark.avi");
    TJobEffects job;
    job.Brightness = 0;  // every channel becomes C[1] = 1: black
    EXPECT_EQ(Convert(out, [&](THookInfo& h) { ConversionCustomHook(h, job); }), 50);
    const std::string yMax = RunProgram({"ffprobe", "-v", "error", "-f", "lavfi", "-i", "movie=" + out + ",signalstats",
                                         "-show_entries", "frame_tags=lavfi.signalstats.YMAX", "-of", "default=nw=1:nk=1"});
    int frames = 0;
    for (size_t at = 0, next; at < yMax.size(); at = next + 1) {
        next = yMax.find('\n', at);
        if (next == std::string::npos) next = yMax.size();
        if (next == at) continue;
        ++frames;
        EXPECT_LE(std::atoi(yMax.substr(at, next - at).c_str()), 20) << "frame " << frames;
    }
    EXPECT_EQ(frames, 50);
}
