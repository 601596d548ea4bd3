// The Start command's core: task per checked job, options, names, refusals, the run.
#include <gtest/gtest.h>

#include <atomic>

#include "app/Settings.h"
#include "batch/BatchStart.h"
#include "batch/JobRecord.h"
#include "engine/FFmpegLoader.h"
#include "engine/FFmpegVCL.h"
#include "platform/MainThread.h"
#include "platform/Prompts.h"
#include "probe/AVProbe.h"
#include "profiles/ParameterBoxes.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

class BatchStartTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TFFmpegLoader::Instance().Load(kConverterLibraries));
        MainThread::Instance().BindToCurrentThread();
        UseSettingsIn(settingsDir);
        settings::WriteString("OutPutDir", out.path());
    }
    TempDir settingsDir, out;
};

TEST_F(BatchStartTest, TrimmedJobReadsFromItsStartForItsLength) {
    settings::WriteInteger("FormatCode", 603);
    EnsureProfileDefaults("603");
    SettingsIni().WriteString("formatInfo603", "paraZoom", "pan");
    TlvFilesRecord record = NewJobRecord(StandardClip("mp4"), "full");
    record.TrimStart = 10'000'000;
    record.TrimLength = 5'000'000;
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(record.SourceFile));
    const std::set<std::string> handedOut = {out.file("standard_(new).mp4")};
    TJobTaskOptions t = PrepareJobTask(record, probe, handedOut);
    EXPECT_EQ(t.Input.FileName, record.SourceFile);
    EXPECT_EQ(t.Input.StartTime, 10'000'000);
    EXPECT_EQ(t.Output.RecordingTime, 5'000'000);
    EXPECT_TRUE(t.Output.CustomHook);
    EXPECT_EQ(t.Destination, out.file("standard_(new_1).mp4")) << "a name this batch gave out is not reused";
    EXPECT_EQ(t.Output.FileName, t.Destination);
    EXPECT_EQ(record.ZoomMode, "pan") << "Start takes the zoom mode from the profile";
    EXPECT_EQ(t.Output.VideoCodec, "libx264");

    TlvFilesRecord whole = NewJobRecord(StandardClip("mp4"), "lbox");
    TJobTaskOptions w = PrepareJobTask(whole, probe, {});
    EXPECT_EQ(w.Input.StartTime, 0) << "an untrimmed job starts at 0";
    EXPECT_EQ(w.Output.RecordingTime, kNoPTS);
}

TEST_F(BatchStartTest, CheckedRowsBecomeTasksAndUnopenableSourcesAreLeftOut) {
    TFFmpegVCL converter;
    std::atomic<bool> ended{false};
    std::vector<TTerminateInfo> ends;
    converter.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) {
        MainThread::Instance().Post([&, info] {
            ends.push_back(info);
            if (info.TaskIndex < 0) ended = true;
        });
    });
    std::vector<TlvFilesRecord> records = {NewJobRecord(StandardClip("mp4"), "lbox"),
                                           NewJobRecord(out.file("missing.avi"), "lbox"),
                                           NewJobRecord(StandardClip("avi"), "lbox")};
    TBatchStart run;
    StartBatch(converter, {{1, &records[0]}, {2, &records[1]}, {3, &records[2]}}, run);
    ASSERT_TRUE(run.Started);
    EXPECT_EQ(run.TaskRows, (std::vector<int>{1, 3}));
    EXPECT_EQ(run.Destinations, (std::vector<std::string>{out.file("standard_(new).mp4"), out.file("standard_(new_1).mp4")}));
    EXPECT_EQ(run.TaskRecords, (std::vector<const TlvFilesRecord*>{&records[0], &records[2]}));
    ASSERT_EQ(run.Refused.size(), 1u);
    EXPECT_EQ(run.Refused[0].Row, 2);
    EXPECT_EQ(run.Refused[0].SourceFile, out.file("missing.avi"));
    EXPECT_FALSE(run.Refused[0].Message.empty());
    EXPECT_EQ(converter.TaskCount(), 2);

    ASSERT_TRUE(MainThread::Instance().PumpUntil([&] { return ended.load(); }, std::chrono::seconds(60)));
    ASSERT_EQ(ends.size(), 3u);
    EXPECT_TRUE(ends[0].Finished) << ends[0].ErrorMessage;
    EXPECT_TRUE(ends[1].Finished) << ends[1].ErrorMessage;
    for (const auto& file : run.Destinations) EXPECT_EQ(FfprobeValue(file, "stream=codec_name", "v:0"), "mpeg4") << file;
}

TEST_F(BatchStartTest, NoJobWarnsAndMakesNoTaskButThePriorityIsSet) {
    ScriptedPrompts prompts;
    ScopedPrompts scope(prompts);
    TFFmpegVCL converter;
    TBatchStart run;
    settings::WriteInteger("priority", 7);
    StartBatch(converter, {}, run);
    EXPECT_EQ(converter.ThreadPriority(), TThreadPriority::tpNormal) << "an unknown value changes nothing";
    settings::WriteInteger("priority", 3);
    StartBatch(converter, {}, run);
    EXPECT_EQ(converter.ThreadPriority(), TThreadPriority::tpLowest);
    EXPECT_FALSE(run.Started);
    EXPECT_EQ(converter.TaskCount(), 0);
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].title, "Warning");
    EXPECT_EQ(prompts.shown()[0].text, "Please select a file by clicking the check box!");
}

}  // namespace

namespace {

TEST(BatchHook, DrawsTheTasksRecordAndLetsGoOfOthers) {
    TlvFilesRecord dark = NewJobRecord("a.mp4", "lbox");
    dark.Brightness = 0;
    dark.WatermarkFont.Color = 0x0000FF;
    dark.ProcessImage = true;
    TBatchStart run;
    run.TaskEffects = {JobEffectsOf(NewJobRecord("b.mp4", "lbox")), JobEffectsOf(dark)};
    EXPECT_EQ(run.TaskEffects[1].WatermarkFont.Color, 0x0000FFu);
    EXPECT_TRUE(run.TaskEffects[1].ProcessImage);
    run.TaskImages.push_back(std::make_unique<TWatermarkImageCache>());
    run.TaskImages.push_back(std::make_unique<TWatermarkImageCache>());

    TBitmap frame(4, 2);
    std::fill(frame.Bits(), frame.Bits() + frame.ByteSize(), uint8_t{200});
    for (int task : {0, 5}) {
        THookInfo hook;
        hook.TaskIndex = task;
        hook.Bitmap = &frame;
        DrawBatchHook(run, hook);
        EXPECT_TRUE(hook.StopHook) << "task " << task << " has nothing to draw";
        EXPECT_FALSE(hook.Update);
    }
    THookInfo hook;
    hook.TaskIndex = 1;
    hook.Bitmap = &frame;
    DrawBatchHook(run, hook);
    EXPECT_FALSE(hook.StopHook);
    EXPECT_TRUE(hook.Update);
    EXPECT_LT(frame.Bits()[0], 10) << "brightness 0 darkens the frame";
}

}  // namespace
