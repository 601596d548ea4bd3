// The converter component's task list, states and refusals.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ComponentHelpers.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

// Runs fn and returns the message of the std::runtime_error it throws ("" when none).
template <class F>
std::string RefusalOf(F&& fn) {
    try {
        fn();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

void ExpectRefusedWhileWorking(TCustomFFmpegVCL& c, const std::string& clip, const std::string& out) {
    EXPECT_EQ(RefusalOf([&] { c.AddTask(clip); }), "Cannot AddTask while working.");
    EXPECT_EQ(RefusalOf([&] { c.SetOutputFile(0, out); }), "Cannot SetOutputFile while working.");
    EXPECT_EQ(RefusalOf([&] { c.RemoveTask(0); }), "Cannot RemoveTask while working.");
    EXPECT_EQ(RefusalOf([&] { c.StartTask(1); }), "Cannot StartTask while working.");
}

}  // namespace

TEST(ComponentProperties, DefaultsAndProgressIntervalFloor) {
    TFFmpegVCL c;
    EXPECT_FALSE(c.Preview());
    EXPECT_FALSE(c.PreviewBitmap());
    EXPECT_EQ(c.ProgressInterval(), 500);
    EXPECT_EQ(c.ThreadPriority(), TThreadPriority::tpNormal);
    EXPECT_TRUE(c.TriggerEventInMainThread());
    EXPECT_STREQ(c.Version(), "3.3");
    EXPECT_EQ(c.TaskCount(), 0);
    EXPECT_EQ(c.LastError(), "");
    const std::pair<int, int> cases[] = {{50, 100}, {100, 100}, {-5, 100}, {101, 101}, {2000, 2000}};
    for (auto [given, stored] : cases) {
        c.SetProgressInterval(given);
        EXPECT_EQ(c.ProgressInterval(), stored) << given;
    }
}

TEST_F(ComponentTest, AnInputThatCannotBeOpenedGivesMinusOneWithTheTranscodersText) {
    TFFmpegVCL c;
    const std::string missing = dir.file("missing.mp4");
    EXPECT_EQ(c.AddTask(missing), -1);
    EXPECT_EQ(c.TaskCount(), 0);
    TCustomFFmpeg bare;
    ASSERT_FALSE(bare.OpenInputFile(missing));
    EXPECT_EQ(c.LastError(), bare.LastError());
    if (bare.LastError().empty()) GTEST_SKIP() << "the transcoder opens no input yet";
}

TEST_F(ComponentTest, TheTwentyFirstOutputIsRefused) {
    TFFmpegVCL c;
    ADD_TASKS(c, 1);
    for (int i = 1; i < 20; ++i) ASSERT_TRUE(c.SetOutputFile(0, Output(i))) << i << ": " << c.LastError();
    EXPECT_FALSE(c.SetOutputFile(0, Output(20)));
    EXPECT_EQ(c.LastError(), "max output files 20 reached");
}

TEST_F(ComponentTest, TheInputProbeKnowsTheStreamsBeforeAnyRun) {
    TFFmpegVCL c;
    ADD_TASKS(c, 1);
    TAVProbe* probe = c.InputProbe(0, 0);
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(c.InputProbe(0, 0), probe);
    EXPECT_EQ(probe->VideoStreamCount(), 1);
    EXPECT_EQ(probe->AudioStreamCount(), 1);
    EXPECT_NEAR(static_cast<double>(probe->Duration()), 1e6, 1e5);
    EXPECT_EQ(c.InputProbe(0, 1), nullptr);
    EXPECT_THROW(c.InputProbe(1, 0), std::out_of_range);
    // The spare probe is the caller's own.
    EXPECT_TRUE(c.Probe().Open(clip)) << c.Probe().LastError();
    EXPECT_EQ(c.Probe().VideoStreamCount(), 1);
}

TEST_F(ComponentTest, RemoveTaskMovesLaterTasksDown) {
    TestComponent c;
    ADD_TASKS(c, 3);
    const TFFmpeg* third = c.Tasks().Get(2);
    c.RemoveTask(1);
    EXPECT_EQ(c.TaskCount(), 2);
    EXPECT_EQ(c.Tasks().Get(1), third);
    EXPECT_THROW(c.RemoveTask(2), std::out_of_range);
}

TEST_F(ComponentTest, AfterACompleteRunEverythingIsRefusedUntilClearTasks) {
    RunLog log;
    TFFmpegVCL c;
    c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) { log.Terminate(info); });
    ADD_TASKS(c, 1);
    c.StartTask(0);
    ASSERT_TRUE(log.FinalArrived());
    ExpectRefusedWhileWorking(c, clip, Output(5));
    // The finished state still answers the run's own controls.
    c.PauseTasks();
    c.ResumeTasks();
    c.StopTasks(true);
    EXPECT_EQ(log.TerminateCount(), 2u);

    c.ClearTasks();
    EXPECT_EQ(c.TaskCount(), 0);
    EXPECT_EQ(c.LastError(), "");
    EXPECT_EQ(c.AddTask(clip), 0) << c.LastError();
}

TEST_F(ComponentTest, ClearTasksIsRefusedDuringARunAndAllowedAfterTheFinalRecord) {
    RunLog log;
    TestComponent c;
    c.SetTriggerEventInMainThread(false);
    c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) { log.Terminate(info); });
    std::atomic<bool> release{false};
    // The task cannot end before the test lets its first progress event return.
    c.SetOnProgress([&](TCustomFFmpegVCL*, PProgressInfo) {
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    ADD_TASKS(c, 1);
    c.StartTask(1);
    EXPECT_EQ(RefusalOf([&] { c.ClearTasks(); }), "Cannot ClearTasks while working.");
    ExpectRefusedWhileWorking(c, clip, Output(5));
    release = true;
    ASSERT_TRUE(PumpFor([&] { return log.FinalArrived(); }));
    c.ClearTasks();
    EXPECT_EQ(c.AddTask(clip), 0) << c.LastError();
}

TEST(ComponentStates, AnEmptyRunDeliversNothingAndStaysRunningUntilClearTasks) {
    MainThread::Instance().BindToCurrentThread();
    for (int maxThreads : {1, 0}) {
        TFFmpegVCL c;
        int delivered = 0;
        c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo&) { ++delivered; });
        c.StartTask(maxThreads);
        MainThread::Instance().PumpUntil([] { return false; }, std::chrono::milliseconds(50));
        EXPECT_EQ(delivered, 0);
        EXPECT_EQ(RefusalOf([&] { c.AddTask("x.mp4"); }), "Cannot AddTask while working.");
        EXPECT_EQ(RefusalOf([&] { c.StartTask(1); }), "Cannot StartTask while working.");
        c.StopTasks(true);
        EXPECT_EQ(delivered, 0);
        c.ClearTasks();
        // No library was loaded in this test: refused, not crashed.
        EXPECT_EQ(c.AddTask("missing.mp4"), -1);
        EXPECT_EQ(c.LastError(), "libav not loaded.");
    }
}
