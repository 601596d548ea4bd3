#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <mutex>
#include <thread>

#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "platform/MainThread.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

class TranscodeRun : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(TFFmpegLoader::Instance().Load(kConverterLibraries)); }
    TempDir dir;

    // Opens the input and the output on a fresh task; the caller starts it.
    std::unique_ptr<TCustomFFmpeg> Prepare(const std::string& input, const std::string& output, const std::string& outOpts,
                                           const std::string& inOpts = "") {
        auto task = std::make_unique<TCustomFFmpeg>();
        task->SetVerbosity(0);
        task->SetOptions(inOpts);
        EXPECT_TRUE(task->OpenInputFile(input)) << task->LastError();
        task->SetOptions(outOpts);
        EXPECT_GT(task->OpenOutputFile(output), 0) << task->LastError();
        return task;
    }
};

double Num(const std::string& s) { return s.empty() ? -1 : std::atof(s.c_str()); }
int Frames(const std::string& file) {
    return std::atoi(RunProgram({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                                 "stream=nb_read_frames", "-of", "default=nw=1:nk=1", file})
                         .c_str());
}
std::string DecodedMd5(const std::string& file) {
    return RunProgram({"ffmpeg", "-v", "error", "-i", file, "-map", "0:v", "-f", "md5", "-"});
}

}  // namespace

TEST_F(TranscodeRun, StartAndLengthKeepExactlyThatPart) {
    std::string out = dir.file("cut.mp4");
    auto task = Prepare(StandardClip("mp4"), out, "t=1\nvcodec=libx264\nacodec=aac", "ss=0.5");
    EXPECT_EQ(task->TotalDuration(), 2000000);
    task->Start(false);
    ASSERT_TRUE(task->Finished()) << task->ErrorMessage();
    EXPECT_NEAR(Num(FfprobeValue(out, "format=duration")), 1.0, 0.1);
    EXPECT_EQ(Frames(out), 25);
}

TEST_F(TranscodeRun, FileSizeLimitEndsTheRunOnceExceeded) {
    std::string out = dir.file("small.avi");
    auto task = Prepare(StandardClip("mp4"), out, "vcodec=mpeg4\nb=2000000\nacodec=libmp3lame\nfs=20000");
    task->Start(false);
    ASSERT_TRUE(task->Finished()) << task->ErrorMessage();
    auto size = std::filesystem::file_size(out);
    EXPECT_GT(size, 20000u);
    EXPECT_LT(Num(FfprobeValue(out, "format=duration")), 1.9);
}

TEST_F(TranscodeRun, DisabledKindsAreDropped) {
    std::string noVideo = dir.file("an.mp4"), noAudio = dir.file("vn.mp4");
    auto a = Prepare(StandardClip("mp4"), noVideo, "vn\nacodec=aac");
    a->Start(false);
    ASSERT_TRUE(a->Finished()) << a->ErrorMessage();
    EXPECT_EQ(FfprobeValue(noVideo, "stream=codec_type"), "audio");
    auto v = Prepare(StandardClip("mp4"), noAudio, "an\nvcodec=libx264");
    v->Start(false);
    ASSERT_TRUE(v->Finished()) << v->ErrorMessage();
    EXPECT_EQ(FfprobeValue(noAudio, "stream=codec_type"), "video");
}

TEST_F(TranscodeRun, StreamCopyKeepsThePackets) {
    std::string out = dir.file("copy.mkv");
    auto task = Prepare(StandardClip("mp4"), out, "vcodec=copy\nacodec=copy");
    task->Start(false);
    ASSERT_TRUE(task->Finished()) << task->ErrorMessage();
    EXPECT_EQ(FfprobeValue(out, "stream=codec_name", "v:0"), "h264");
    EXPECT_EQ(FfprobeValue(out, "stream=codec_name", "a:0"), "aac");
    EXPECT_EQ(DecodedMd5(out), DecodedMd5(StandardClip("mp4")));
}

TEST_F(TranscodeRun, CopyRefusesWhatNeedsDecodedFrames) {
    struct Case {
        const char* opts;
        bool hook;
        int preview;
        const char* message;
    } cases[] = {
        {"vcodec=copy\nacodec=copy", true, 0, "-vcodec copy and CustomHook are incompatible (frames are not decoded)"},
        {"vcodec=copy\nacodec=copy", false, kPreviewBitmap, "-vcodec copy and PostHooks are incompatible (frames are not decoded)"},
        {"vcodec=copy\nacodec=copy\nvol=512", false, 0, "-acodec copy and -vol are incompatible (frames are not decoded)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::string out = dir.file("refused.mkv");
        auto task = Prepare(StandardClip("mp4"), out, c.opts);
        if (c.hook) task->SetOnHook([](TCustomFFmpeg&, THookInfo&) {});
        task->SetPreviewFlags(c.preview);
        task->Start(false);
        EXPECT_FALSE(task->Finished());
        EXPECT_TRUE(task->Failed());
        EXPECT_EQ(task->ErrorMessage(), c.message);
        EXPECT_FALSE(std::filesystem::exists(out)) << "a zero-byte output must be deleted";
    }
}

TEST_F(TranscodeRun, OutputWithoutStreamFails) {
    std::string videoOnly = MediaFixture("videoonly.mp4", {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1",
                                                           "-c:v", "libx264", "-preset", "ultrafast"});
    std::string out = dir.file("empty.mp4");
    auto task = Prepare(videoOnly, out, "vn");
    task->Start(false);
    EXPECT_TRUE(task->Failed());
    EXPECT_EQ(task->ErrorMessage(), "Output file #0 does not contain any stream");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(TranscodeRun, HookThatKeepsNothingLeavesTheOutputUnchanged) {
    std::string plain = dir.file("plain.avi"), hooked = dir.file("hooked.avi");
    auto a = Prepare(StandardClip("mp4"), plain, "vcodec=rawvideo\npix_fmt=bgr24\nan");
    a->Start(false);
    ASSERT_TRUE(a->Finished()) << a->ErrorMessage();
    auto b = Prepare(StandardClip("mp4"), hooked, "vcodec=rawvideo\npix_fmt=bgr24\nan");
    int calls = 0;
    b->SetOnHook([&](TCustomFFmpeg&, THookInfo& h) {
        ++calls;
        std::fill(h.Bitmap->Bits(), h.Bitmap->Bits() + h.Bitmap->ByteSize(), 0xFF);
        h.Update = false;
    });
    b->Start(false);
    ASSERT_TRUE(b->Finished()) << b->ErrorMessage();
    EXPECT_EQ(calls, 50);
    EXPECT_EQ(DecodedMd5(plain), DecodedMd5(hooked));
}

TEST_F(TranscodeRun, HookDrawsIntoTheOutputAndStopsWhenAsked) {
    std::string out = dir.file("drawn.avi");
    auto task = Prepare(StandardClip("mp4"), out, "vcodec=rawvideo\npix_fmt=bgr24\nan");
    std::vector<int> frames;
    std::vector<int64_t> pts;
    task->SetOnHook([&](TCustomFFmpeg&, THookInfo& h) {
        frames.push_back(h.FrameNumber);
        pts.push_back(h.PTS);
        EXPECT_EQ(h.Bitmap->Width(), 320);
        std::fill(h.Bitmap->Bits(), h.Bitmap->Bits() + h.Bitmap->ByteSize(), 0);  // black
        if (h.FrameNumber == 3) throw std::runtime_error("boom");  // this frame stays as decoded
        if (h.FrameNumber == 10) h.StopHook = true;
    });
    task->Start(false);
    ASSERT_TRUE(task->Finished()) << task->ErrorMessage();
    ASSERT_EQ(frames.size(), 10u);
    EXPECT_EQ(frames.front(), 1);
    EXPECT_EQ(pts[1] - pts[0], 40000);
    EXPECT_EQ(task->FrameNumber(), 50);
    // frame 1 black, frame 3 untouched, frame 11 untouched
    auto frameMean = [&](int n) {
        std::string v = RunProgram({"ffprobe", "-v", "error", "-f", "lavfi", "-i",
                                    "movie=" + out + ",select=eq(n\\," + std::to_string(n) + "),signalstats", "-show_entries",
                                    "frame_tags=lavfi.signalstats.YAVG", "-of", "default=nw=1:nk=1"});
        return Num(v);
    };
    EXPECT_LT(frameMean(0), 20);
    EXPECT_GT(frameMean(2), 40);
    EXPECT_GT(frameMean(10), 40);
}

TEST_F(TranscodeRun, ProgressStartsWithTheFirstPictureAndReachesTheEnd) {
    std::string out = dir.file("progress.mp4");
    auto task = Prepare(StandardClip("mp4"), out, "vcodec=libx264\nacodec=aac");
    task->SetProgressInterval(0);
    std::vector<TProgressInfo> reports;
    task->SetOnProgress([&](TCustomFFmpeg&, const TProgressInfo& p) { reports.push_back(p); });
    task->Start(false);
    ASSERT_TRUE(task->Finished()) << task->ErrorMessage();
    ASSERT_GE(reports.size(), 2u);
    for (const auto& r : reports) {
        EXPECT_GE(r.FrameNumber, 1);
        EXPECT_EQ(r.TotalDuration, 2000000);
    }
    EXPECT_EQ(reports.back().FileIndex, -1);
    EXPECT_NEAR(reports.back().CurrentDuration, 2000000, 100000);
    EXPECT_GT(reports.back().CurrentSize, 0);
}

TEST_F(TranscodeRun, StopOnAWorkerThreadLeavesACompleteFile) {
    std::string input = MediaFixture("long.mp4", {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=20", "-c:v",
                                                  "libx264", "-preset", "ultrafast"});
    std::string out = dir.file("stopped.mp4");
    auto task = Prepare(input, out, "vcodec=mpeg4");
    std::atomic<int> terminated{0};
    std::atomic<int> progressed{0};
    task->SetProgressInterval(0);
    task->SetOnProgress([&](TCustomFFmpeg&, const TProgressInfo&) { ++progressed; });
    task->SetOnTerminate([&](TCustomFFmpeg&) { ++terminated; });
    ASSERT_TRUE(task->Start(true));
    while (progressed < 3 && !task->Ended()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    task->Pause();
    task->Resume();
    task->Stop(true);
    EXPECT_TRUE(task->Ended());
    EXPECT_FALSE(task->Finished());
    EXPECT_FALSE(task->Failed());
    EXPECT_EQ(terminated, 1);
    double dur = Num(FfprobeValue(out, "format=duration"));
    EXPECT_GT(dur, 0);
    EXPECT_LT(dur, 20);
}

TEST_F(TranscodeRun, TaskWithoutOutputEndsAtOnce) {
    TCustomFFmpeg task;
    int terminated = 0;
    task.SetOnTerminate([&](TCustomFFmpeg&) { ++terminated; });
    ASSERT_TRUE(task.OpenInputFile(StandardClip("mp4")));
    EXPECT_FALSE(task.Start(true));
    EXPECT_EQ(terminated, 1);
    EXPECT_TRUE(task.Failed());
    EXPECT_EQ(task.ErrorMessage(), "At least one output file must be specified");
}

TEST_F(TranscodeRun, NeverStartedTaskStopsThroughItsTerminateCallback) {
    TCustomFFmpeg task;
    std::atomic<int> terminated{0};
    task.SetOnTerminate([&](TCustomFFmpeg&) { ++terminated; });
    task.Stop(true);
    EXPECT_EQ(terminated, 1);
    EXPECT_TRUE(task.Ended());
    EXPECT_FALSE(task.Finished());
    task.Stop(true);
    EXPECT_EQ(terminated, 1);
}

TEST_F(TranscodeRun, VideoFrameLimitAndVolume) {
    std::string out = dir.file("frames.avi");
    auto task = Prepare(StandardClip("mp4"), out, "vcodec=mpeg4\nvframes=10\nan");
    task->Start(false);
    ASSERT_TRUE(task->Finished()) << task->ErrorMessage();
    EXPECT_EQ(Frames(out), 10);
}

TEST_F(TranscodeRun, TwoPassAndStatisticsFile) {
    std::string out1 = dir.file("pass1.avi"), out2 = dir.file("pass2.avi"), stats = dir.file("vstats.log");
    std::string log = dir.file("passlog");
    auto p1 = Prepare(StandardClip("mp4"), out1, "vcodec=mpeg4\nb=200000\nan\npass=1\npasslogfile=" + log + "\nvstats_file=" + stats);
    p1->Start(false);
    ASSERT_TRUE(p1->Finished()) << p1->ErrorMessage();
    EXPECT_TRUE(std::filesystem::exists(log + "-0.log"));
    auto p2 = Prepare(StandardClip("mp4"), out2, "vcodec=mpeg4\nb=200000\nan\npass=2\npasslogfile=" + log);
    p2->Start(false);
    ASSERT_TRUE(p2->Finished()) << p2->ErrorMessage();
    EXPECT_EQ(FfprobeValue(out2, "stream=codec_name", "v:0"), "mpeg4");
    std::string text = ReadFile(stats);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 50);
    EXPECT_EQ(text.rfind("frame=     1 q= ", 0), 0u) << text.substr(0, 80);
    EXPECT_NE(text.find("type= I\n"), std::string::npos);
}

TEST_F(TranscodeRun, CorruptInputConvertsWhatCanBeDecoded) {
    std::string good = StandardClip("avi");
    std::string bad = dir.file("corrupt.avi");
    std::string data = ReadFile(good);
    for (size_t i = data.size() / 3; i < data.size() / 3 + 4000 && i < data.size(); i += 7) data[i] = static_cast<char>(data[i] ^ 0x5A);
    WriteFile(bad, data);
    std::string out = dir.file("fromcorrupt.mp4");
    auto task = Prepare(bad, out, "vcodec=libx264\nacodec=aac");
    task->Start(false);
    EXPECT_TRUE(task->Finished()) << task->ErrorMessage();
    EXPECT_GT(Num(FfprobeValue(out, "format=duration")), 1.0);
}
