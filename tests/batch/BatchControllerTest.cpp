#include <gtest/gtest.h>

#include <chrono>

#include "app/Settings.h"
#include "batch/BatchController.h"
#include "batch/JobRecord.h"
#include "engine/FFmpegLoader.h"
#include "platform/MainThread.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

using namespace vexlo;
using vexlo::test::TempDir;

namespace {

// The windows as a log of what the run did to them.
class FakeView : public TBatchView {
public:
    std::vector<TlvFilesRecord> records;
    std::vector<bool> checked;
    std::vector<std::string> rowProgress;
    std::vector<std::string> events;  // "row 2 100%", "open", "ended", ...
    std::vector<TProgressTexts> shown;
    bool openAfter = true, shutDownAfter = false;
    bool ended = false;
    std::function<void(const TProgressTexts&)> onProgress;

    void AddRow(const std::string& source, bool check) {
        records.push_back(NewJobRecord(source, "lbox"));
        checked.push_back(check);
        rowProgress.push_back("");
    }
    std::vector<TBatchJob> CheckedJobs() override {
        std::vector<TBatchJob> jobs;
        for (size_t i = 0; i < records.size(); ++i)
            if (checked[i]) jobs.push_back({static_cast<int>(i), &records[i]});
        return jobs;
    }
    std::string RowCaption(int row) const override { return records[row].SourceFile; }
    void SetRowProgress(int row, const std::string& text) override {
        rowProgress[row] = text;
        if (text == "100%") events.push_back("row " + std::to_string(row) + " 100%");
    }
    void ShowProgress(const TProgressTexts& texts) override {
        shown.push_back(texts);
        if (onProgress) onProgress(texts);
    }
    void SetProgressBar(int percent) override { events.push_back("bar " + std::to_string(percent)); }
    bool OpenFolderAfterBatch() const override { return openAfter; }
    bool ShutDownAfterBatch() const override { return shutDownAfter; }
    void OpenOutputFolder() override { events.push_back("open"); }
    void RunEnded() override {
        events.push_back("ended");
        ended = true;
    }
    TBitmap* PreviewTarget() override { return &preview; }
    TBitmap preview;
    void JobRefused(const TBatchRefusal& r) override { events.push_back("refused " + std::to_string(r.Row)); }
};

class BatchControllerTest : public ::testing::Test {
protected:
    BatchControllerTest() : usePrompts(prompts) { previousShell = SetShell(&shell); }
    ~BatchControllerTest() override { SetShell(previousShell); }
    void SetUp() override {
        MainThread::Instance().BindToCurrentThread();
        ASSERT_TRUE(TFFmpegLoader::Instance().Load(kConverterLibraries)) << TFFmpegLoader::Instance().LastError();
        test::UseSettingsIn(settingsDir);
        settings::WriteString("OutPutDir", out.path());
    }
    static std::string Clip(int i, int seconds = 1) {
        const std::string d = std::to_string(seconds);
        return test::MediaFixture("batch_clip" + std::to_string(i) + "_" + d + "s.mp4",
                                  {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=" + d, "-f", "lavfi",
                                   "-i", "sine=frequency=440:sample_rate=44100:duration=" + d, "-c:v", "mpeg4", "-c:a",
                                   "aac", "-shortest"});
    }
    bool RunToEnd() {
        return MainThread::Instance().PumpUntil([&] { return view.ended; }, std::chrono::seconds(120));
    }

    TempDir settingsDir, out;
    ScriptedPrompts prompts;
    ScopedPrompts usePrompts;
    RecordingShell shell;
    Shell* previousShell = nullptr;
    FakeView view;
    TFFmpegVCL converter;
    TBatchController batch{converter, view};
};

}  // namespace

TEST_F(BatchControllerTest, NothingCheckedWarnsAndMakesNoTask) {
    view.AddRow(Clip(0), false);
    view.AddRow(Clip(1), false);
    EXPECT_FALSE(batch.Start());
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].title, "Warning");
    EXPECT_EQ(prompts.shown()[0].text, "Please select a file by clicking the check box!");
    EXPECT_EQ(converter.TaskCount(), 0);
    EXPECT_TRUE(batch.TaskRows().empty());
}

TEST_F(BatchControllerTest, CheckedRowsBecomeTasksAndProgressFindsTheirRows) {
    for (int i = 0; i < 5; ++i) view.AddRow(Clip(i % 2), i == 1 || i == 3);
    ASSERT_TRUE(batch.Start());
    EXPECT_EQ(batch.TaskRows(), (TTaskRows{1, 3}));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(view.rowProgress[1], "100%");
    EXPECT_EQ(view.rowProgress[3], "100%");
    for (int r : {0, 2, 4}) EXPECT_EQ(view.rowProgress[r], "") << r;
    bool sawSecond = false;
    for (const auto& t : view.shown)
        if (t.Progress == "[2/2]") sawSecond = true;
    EXPECT_TRUE(sawSecond);
    EXPECT_EQ(converter.TaskCount(), 0);  // the run's end clears the tasks
    // Same source twice: different destinations.
    EXPECT_TRUE(FileExists(out.file(ExtractBaseName(Clip(1)) + "_(new).mp4")));
    EXPECT_TRUE(FileExists(out.file(ExtractBaseName(Clip(1)) + "_(new_1).mp4")));
}

TEST_F(BatchControllerTest, ThreeJobsFinishAndTheFolderOpensOnceAfterTheLast) {
    for (int i = 0; i < 3; ++i) view.AddRow(Clip(i), true);
    view.shutDownAfter = false;
    ASSERT_TRUE(batch.Start());
    ASSERT_TRUE(RunToEnd());
    const std::vector<std::string> expected = {"row 0 100%", "bar 100", "row 1 100%", "bar 100",
                                               "row 2 100%", "bar 100", "open", "ended"};
    EXPECT_EQ(view.events, expected);
    EXPECT_EQ(shell.powerOffs, 0);
    EXPECT_FALSE(batch.Running());
}

TEST_F(BatchControllerTest, CancelDuringTheSecondJobEndsTheRunWithoutAfterActions) {
    for (int i = 0; i < 3; ++i) view.AddRow(Clip(i, i == 1 ? 20 : 1), true);
    view.shutDownAfter = true;
    bool cancel = false;
    view.onProgress = [&](const TProgressTexts& t) {
        if (t.Progress == "[2/3]") cancel = true;
    };
    converter.SetProgressInterval(100);
    ASSERT_TRUE(batch.Start());
    // Cancel comes from the window's own event, never from inside a progress report.
    ASSERT_TRUE(MainThread::Instance().PumpUntil([&] { return cancel || view.ended; }, std::chrono::seconds(120)));
    ASSERT_TRUE(cancel) << "the second job reported no progress";
    batch.Stop();
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(view.rowProgress[0], "100%");
    EXPECT_NE(view.rowProgress[2], "100%");
    for (const auto& e : view.events) EXPECT_NE(e, "open");
    EXPECT_EQ(shell.powerOffs, 0);
    EXPECT_FALSE(FileExists(out.file(ExtractBaseName(Clip(2)) + "_(new).mp4")));  // never started
}

TEST_F(BatchControllerTest, FailedOrStoppedLastJobTriggersNeitherAction) {
    for (int i = 0; i < 2; ++i) view.AddRow(Clip(i), true);
    view.shutDownAfter = true;
    ASSERT_TRUE(batch.Start());
    batch.Stop();
    ASSERT_TRUE(RunToEnd());
    view.events.clear();
    // The decisions, fed directly for a run of two: a failing last task and a stopped one.
    batch.Terminate({1, false, true, "Conversion failed"});
    batch.Terminate({1, false, false, ""});
    EXPECT_TRUE(view.events.empty());
    batch.Terminate({1, true, false, ""});
    EXPECT_EQ(view.events, (std::vector<std::string>{"row 1 100%", "bar 100", "open"}));
    EXPECT_EQ(shell.powerOffs, 1);
    batch.Terminate({0, true, false, ""});  // not the last: no actions
    EXPECT_EQ(shell.powerOffs, 1);
}

TEST_F(BatchControllerTest, PreviewPicturesReachTheMainWindowsBitmap) {
    view.AddRow(Clip(0), true);
    ASSERT_TRUE(batch.Start());
    ASSERT_TRUE(RunToEnd());
    EXPECT_FALSE(view.preview.Empty());
}
