// Input and output records applied to a task by the converter component.
#include <gtest/gtest.h>

#include "ComponentHelpers.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

// Adds one task on clip; leaves the test when the transcoder opens nothing yet.
#define ADD_ONE_TASK(c, clip, options)                                               \
    do {                                                                             \
        int index_ = (c).AddTask(clip, options);                                     \
        if (index_ < 0 && (c).LastError().empty()) GTEST_SKIP() << "no transcoder";  \
        ASSERT_EQ(index_, 0) << (c).LastError();                                     \
    } while (0)

void RunToEnd(TFFmpegVCL& c) {
    std::vector<TTerminateInfo> records;
    c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) { records.push_back(info); });
    c.StartTask(0);
    ASSERT_FALSE(records.empty());
    EXPECT_TRUE(records[0].Finished) << records[0].ErrorMessage;
}

}  // namespace

TEST_F(ComponentTest, ExtraAudioStreamTakesTheCodecOfTheExtOptions) {
    TFFmpegVCL c;
    ADD_ONE_TASK(c, clip, nullptr);
    TOutputOptions o;
    o.VideoCodec = "mpeg4";
    o.ExtOptions = "acodec=mp2<CRLF>newaudio=";
    ASSERT_TRUE(c.SetOutputFile(0, Output(0, "mkv"), &o)) << c.LastError();
    RunToEnd(c);
    EXPECT_EQ(Ffprobe(Output(0, "mkv"), "stream=codec_name", "a"), "codec_name=mp2\ncodec_name=mp2\n");
}

TEST_F(ComponentTest, TheInputRecordKeepsItsOwnNameAndIsApplied) {
    struct Case {
        std::string recordName;
        std::string storedName;  // "" = the AddTask argument
    };
    for (const Case& k : {Case{"", ""}, Case{"elsewhere.mp4", "elsewhere.mp4"}}) {
        TestComponent c;
        TInputOptions in;
        in.FileName = k.recordName;
        in.StartTime = 500000;
        ADD_ONE_TASK(c, clip, &in);
        const TInputOptions* stored = c.Tasks().Get(0)->InputOptions[0].get();
        ASSERT_NE(stored, nullptr);
        EXPECT_EQ(stored->FileName, k.storedName.empty() ? clip : k.storedName);
        TOutputOptions o;
        o.VideoCodec = "mpeg4";
        o.AudioCodec = "mp2";
        ASSERT_TRUE(c.SetOutputFile(0, Output(0), &o)) << c.LastError();
        RunToEnd(c);
        // Reading started half-way into the one-second clip.
        EXPECT_NEAR(std::stod(FfprobeValue(Output(0), "format=duration")), 0.5, 0.15);
    }
}

TEST_F(ComponentTest, OutputRecordFieldsReachTheFile) {
    TestComponent c;
    ADD_ONE_TASK(c, clip, nullptr);
    TOutputOptions o;
    o.VideoCodec = "mpeg4";
    o.AudioCodec = "mp2";
    o.FrameSize = "96x64";
    o.AudioChannels = 1;
    o.AudioSampleRate = 22050;
    o.RecordingTime = 400000;
    o.Metadata.Title = "Vexlo title";
    o.Metadata.Year = 2009;
    ASSERT_TRUE(c.SetOutputFile(0, Output(0, "mkv"), &o)) << c.LastError();
    EXPECT_EQ(c.Tasks().Get(0)->OutputOptions[0]->FileName, Output(0, "mkv"));
    RunToEnd(c);
    const std::string out = Output(0, "mkv");
    EXPECT_EQ(FfprobeValue(out, "stream=width", "v:0"), "96");
    EXPECT_EQ(FfprobeValue(out, "stream=height", "v:0"), "64");
    EXPECT_EQ(FfprobeValue(out, "stream=channels", "a:0"), "1");
    EXPECT_EQ(FfprobeValue(out, "stream=sample_rate", "a:0"), "22050");
    EXPECT_NEAR(std::stod(FfprobeValue(out, "format=duration")), 0.4, 0.1);
    EXPECT_EQ(FfprobeValue(out, "format_tags=title"), "Vexlo title");
}

TEST_F(ComponentTest, AWrongOutputOptionFailsThatOutputOnly) {
    TestComponent c;
    ADD_ONE_TASK(c, clip, nullptr);
    TOutputOptions bad;
    bad.AudioTag = "abc";
    EXPECT_FALSE(c.SetOutputFile(0, Output(0), &bad));
    EXPECT_NE(c.LastError().find("audio tag parameter must be 4 chars"), std::string::npos) << c.LastError();
    EXPECT_EQ(c.Tasks().Get(0)->OutputOptions[0], nullptr);
    TOutputOptions good;
    good.VideoCodec = "mpeg4";
    good.AudioCodec = "mp2";
    ASSERT_TRUE(c.SetOutputFile(0, Output(1), &good)) << c.LastError();
    EXPECT_EQ(c.Tasks().Get(0)->OutputOptions[0]->FileName, Output(1));
    RunToEnd(c);
    EXPECT_EQ(FfprobeValue(Output(1), "stream=codec_name", "a:0"), "mp2");
}

TEST_F(ComponentTest, OnlyOutputsAskingForTheHookRaiseIt) {
    for (bool hook : {false, true}) {
        TestComponent c;
        std::atomic<int> frames{0};
        c.SetOnCustomHook([&](TCustomFFmpegVCL*, PHookInfo) { ++frames; });
        ADD_ONE_TASK(c, clip, nullptr);
        TOutputOptions o;
        o.VideoCodec = "mpeg4";
        o.DisableAudio = true;
        o.CustomHook = hook;
        ASSERT_TRUE(c.SetOutputFile(0, Output(hook), &o)) << c.LastError();
        RunToEnd(c);
        EXPECT_EQ(frames > 0, hook);
        EXPECT_EQ(FfprobeValue(Output(hook), "stream=codec_type", "a"), "");
    }
}
