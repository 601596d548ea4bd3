// Runs of the converter component: modes, overlaps, event threads and order, stopping,
// pausing and destruction while running.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>

#include "ComponentHelpers.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

// Waits on the calling worker for cond, at most 120 s so that a fault fails instead of
// hanging.
bool WaitOnWorker(const std::function<bool()>& cond) {
    for (int i = 0; i < 120000 && !cond(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return cond();
}

int64_t SizeOf(const std::string& path) {
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    return ec ? -1 : static_cast<int64_t>(size);
}

}  // namespace

TEST_F(ComponentTest, StartTaskZeroRunsEverythingInTheCallersThreadBeforeReturning) {
    RunLog log;
    TFFmpegVCL c;
    c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) { log.Terminate(info); });
    c.SetOnProgress([&](TCustomFFmpegVCL*, PProgressInfo p) {
        std::lock_guard<std::mutex> lock(log.m);
        log.progressTasks.push_back(p->TaskIndex);
        log.progressThreads.insert(std::this_thread::get_id());
    });
    ADD_TASKS(c, 2);
    c.StartTask(0);
    auto records = log.Terminates();
    ASSERT_EQ(records.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(records[i].TaskIndex, i);
        EXPECT_TRUE(records[i].Finished) << records[i].ErrorMessage;
        EXPECT_FALSE(records[i].Failed);
    }
    EXPECT_EQ(records[2].TaskIndex, -1);
    EXPECT_TRUE(records[2].Finished);
    for (auto id : log.terminateThreads) EXPECT_EQ(id, std::this_thread::get_id());
    EXPECT_EQ(log.progressThreads, std::set<std::thread::id>{std::this_thread::get_id()});
    // One after another: every progress of task 0 comes before any of task 1.
    EXPECT_TRUE(std::is_sorted(log.progressTasks.begin(), log.progressTasks.end()));
}

TEST_F(ComponentTest, StartTaskOneReturnsAtOnceAndDeliversOnTheRightThreads) {
    RunLog log;
    TFFmpegVCL c;
    c.SetPreviewBitmap(true);
    std::set<std::thread::id> previewThreads;
    int previews = 0;
    c.SetOnPreviewBitmap([&](TCustomFFmpegVCL*, const TPreviewInfo&) {
        previewThreads.insert(std::this_thread::get_id());
        ++previews;
    });
    c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) { log.Terminate(info); });
    c.SetOnProgress([&](TCustomFFmpegVCL*, PProgressInfo p) {
        std::lock_guard<std::mutex> lock(log.m);
        log.progressTasks.push_back(p->TaskIndex);
        log.progressThreads.insert(std::this_thread::get_id());
    });
    ADD_TASKS(c, 2);
    const auto started = std::chrono::steady_clock::now();
    c.StartTask(1);
    // Progress waits for this thread, so nothing can have ended yet.
    EXPECT_EQ(log.TerminateCount(), 0u);
    ASSERT_TRUE(PumpFor([&] { return log.FinalArrived(); }));
    // A live picture at the first frame of each task, then at most one per 100 ms of work.
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    EXPECT_GE(previews, 2);
    EXPECT_LE(previews, ms.count() / 100 + 2) << "in " << ms.count() << " ms";
    auto records = log.Terminates();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].TaskIndex, 0);
    EXPECT_EQ(records[1].TaskIndex, 1);
    EXPECT_EQ(log.progressThreads, std::set<std::thread::id>{std::this_thread::get_id()});
    EXPECT_TRUE(std::is_sorted(log.progressTasks.begin(), log.progressTasks.end()));
    for (auto id : previewThreads) EXPECT_EQ(id, std::this_thread::get_id());
    for (auto id : log.terminateThreads) EXPECT_NE(id, std::this_thread::get_id());
}

TEST_F(ComponentTest, EventsLeftOnTheWorkerWhenNotTriggeredInTheMainThread) {
    RunLog log;
    TFFmpegVCL c;
    c.SetTriggerEventInMainThread(false);
    c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) { log.Terminate(info); });
    c.SetOnProgress([&](TCustomFFmpegVCL*, PProgressInfo) {
        std::lock_guard<std::mutex> lock(log.m);
        log.progressThreads.insert(std::this_thread::get_id());
    });
    ADD_TASKS(c, 1);
    c.StartTask(1);
    ASSERT_TRUE(PumpFor([&] { return log.FinalArrived(); }));
    ASSERT_FALSE(log.progressThreads.empty());
    EXPECT_EQ(log.progressThreads.count(std::this_thread::get_id()), 0u);
}

// Counts the tasks between their first progress report and their end. Each task holds its
// first report (before the component's own event lock) until three tasks are inside one, so
// three must overlap; a fourth running at the same time would show as a fourth active task.
class OverlapComponent : public TestComponent {
public:
    std::mutex m;
    std::set<int> active, everActive;
    size_t maxActive = 0;
    int startedBeforeAnyEnd = 0, ended = 0;
    ~OverlapComponent() override { Shutdown(); }

protected:
    void DoProgress(TFFmpeg& ATask, const TProgressInfo& AProgressInfo) override {
        const int index = Tasks().IndexOf(&ATask);
        {
            std::lock_guard<std::mutex> lock(m);
            if (everActive.insert(index).second) {
                active.insert(index);
                maxActive = std::max(maxActive, active.size());
                if (ended == 0) ++startedBeforeAnyEnd;
            }
        }
        WaitOnWorker([&] {
            std::lock_guard<std::mutex> lock(m);
            return everActive.size() >= 3;
        });
        TestComponent::DoProgress(ATask, AProgressInfo);
    }
    void DoTerminate(TFFmpeg& ATask) override {
        {
            std::lock_guard<std::mutex> lock(m);
            active.erase(Tasks().IndexOf(&ATask));
            ++ended;
        }
        TestComponent::DoTerminate(ATask);
    }
};

TEST_F(ComponentTest, ThreeThreadsRunThreeOfFiveTasksAtOnce) {
    RunLog log;
    OverlapComponent c;
    c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) { log.Terminate(info); });
    ADD_TASKS(c, 5);
    c.StartTask(3);
    ASSERT_TRUE(PumpFor([&] { return log.FinalArrived(); }));
    EXPECT_EQ(c.maxActive, 3u);
    EXPECT_EQ(c.startedBeforeAnyEnd, 3);
    EXPECT_EQ(c.everActive, (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(log.TerminateCount(), 6u);
}

// The test's view of which task ended when: recorded where the component learns it.
class EndOrderComponent : public TestComponent {
public:
    std::vector<int> endOrder;
    std::mutex m;
    ~EndOrderComponent() override { Shutdown(); }

protected:
    void DoTerminate(TFFmpeg& ATask) override {
        {
            std::lock_guard<std::mutex> lock(m);
            endOrder.push_back(Tasks().IndexOf(&ATask));
        }
        TestComponent::DoTerminate(ATask);
    }
};

TEST_F(ComponentTest, TerminateRecordsKeepTheEndOrderAndStayIntact) {
    RunLog log;
    EndOrderComponent c;
    c.SetTriggerEventInMainThread(false);
    std::atomic<bool> changed{false};
    c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) {
        const TTerminateInfo copy = info;
        // The first delivery lingers until every task has ended, so later records are
        // produced while it still holds its own.
        if (log.TerminateCount() == 0)
            WaitOnWorker([&] {
                std::lock_guard<std::mutex> lock(c.m);
                return c.endOrder.size() == 4;
            });
        if (info.TaskIndex != copy.TaskIndex || info.Finished != copy.Finished ||
            info.Failed != copy.Failed || info.ErrorMessage != copy.ErrorMessage)
            changed = true;
        log.Terminate(info);
    });
    ADD_TASKS(c, 3);
    // A task without output ends at once, failing, with the text the GUI shows.
    ASSERT_EQ(c.AddTask(clip), 3) << c.LastError();
    c.StartTask(4);
    ASSERT_TRUE(PumpFor([&] { return log.FinalArrived(); }));
    EXPECT_FALSE(changed);
    auto records = log.Terminates();
    ASSERT_EQ(records.size(), 5u);
    std::vector<int> delivered;
    for (size_t i = 0; i + 1 < records.size(); ++i) delivered.push_back(records[i].TaskIndex);
    EXPECT_EQ(delivered, c.endOrder);
    EXPECT_EQ(records.back().TaskIndex, -1);
    EXPECT_TRUE(records.back().Finished);
    EXPECT_FALSE(records.back().Failed);
    EXPECT_EQ(records.back().ErrorMessage, "");
    for (auto& r : records) {
        if (r.TaskIndex == 3) {
            EXPECT_FALSE(r.Finished);
            EXPECT_TRUE(r.Failed);
            EXPECT_EQ(r.ErrorMessage, "At least one output file must be specified");
        } else {
            EXPECT_TRUE(r.Finished) << r.TaskIndex << ": " << r.ErrorMessage;
        }
    }
}

TEST_F(ComponentTest, StopTasksEndsTheRunningTaskWithACompleteFileAndTheWaitingOne) {
    RunLog log;
    TestComponent c;
    c.SetTriggerEventInMainThread(false);
    c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) { log.Terminate(info); });
    std::atomic<bool> inProgress{false}, stopSeen{false};
    // The first progress of task 0 returns only once the stop was requested, so the task is
    // certainly stopped in the middle.
    c.SetOnProgress([&](TCustomFFmpegVCL* sender, PProgressInfo p) {
        if (p->TaskIndex != 0 || p->FileIndex < 0 || inProgress.exchange(true)) return;
        MainThread::Instance().Notify();
        const TFFmpeg* task = static_cast<TestComponent*>(sender)->Tasks().Get(0);
        stopSeen = WaitOnWorker([&] { return task->StopRequested(); });
    });
    ADD_TASKS(c, 2);
    RealTime(c);
    c.StartTask(1);
    ASSERT_TRUE(PumpFor([&] { return inProgress.load(); }));
    c.StopTasks(true);
    EXPECT_TRUE(stopSeen);
    ASSERT_TRUE(PumpFor([&] { return log.FinalArrived(); }));
    auto records = log.Terminates();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].TaskIndex, 0);
    EXPECT_FALSE(records[0].Finished);
    EXPECT_FALSE(records[0].Failed) << records[0].ErrorMessage;
    EXPECT_EQ(records[1].TaskIndex, 1);
    EXPECT_FALSE(records[1].Finished);
    EXPECT_EQ(records[2].TaskIndex, -1);
    EXPECT_TRUE(records[2].Finished);
    // The stopped output was closed properly: a reader finds its streams and duration.
    EXPECT_NE(FfprobeValue(Output(0), "format=duration"), "");
    EXPECT_EQ(FfprobeValue(Output(0), "stream=codec_type", "v:0"), "video");
    EXPECT_FALSE(std::filesystem::exists(Output(1)) && SizeOf(Output(1)) > 0);
}

TEST_F(ComponentTest, PauseHaltsEverythingUntilResumeAndAPausedRunCanBeStopped) {
    for (bool stopWhilePaused : {false, true}) {
        SCOPED_TRACE(stopWhilePaused ? "stopped while paused" : "resumed");
        RunLog log;
        TestComponent c;
        c.SetTriggerEventInMainThread(false);
        c.SetProgressInterval(100);
        c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) { log.Terminate(info); });
        std::atomic<bool> pausedSeen{false};
        c.SetOnProgress([&](TCustomFFmpegVCL* sender, PProgressInfo p) {
            {
                std::lock_guard<std::mutex> lock(log.m);
                log.progressTasks.push_back(p->FileIndex);
            }
            if (pausedSeen || p->FileIndex < 0) return;
            const TFFmpeg* task = static_cast<TestComponent*>(sender)->Tasks().Get(0);
            pausedSeen = WaitOnWorker([&] { return task->Paused(); });
        });
        ADD_TASKS(c, 1);
        RealTime(c);
        c.StartTask(1);
        ASSERT_TRUE(PumpFor([&] { return log.ProgressCount() > 0; }));
        ASSERT_EQ(log.TerminateCount(), 0u) << "the task ended before it could be paused";
        c.PauseTasks();
        ASSERT_TRUE(PumpFor([&] { return pausedSeen.load(); }));
        // Let the packet in hand settle, then nothing may move while paused.
        MainThread::Instance().PumpUntil([] { return false; }, std::chrono::milliseconds(200));
        const size_t events = log.ProgressCount();
        const int64_t size = SizeOf(Output(0));
        MainThread::Instance().PumpUntil([] { return false; }, std::chrono::milliseconds(400));
        EXPECT_EQ(log.ProgressCount(), events);
        EXPECT_EQ(SizeOf(Output(0)), size);
        EXPECT_EQ(log.TerminateCount(), 0u);
        if (stopWhilePaused) {
            c.StopTasks(true);
        } else {
            c.ResumeTasks();
        }
        ASSERT_TRUE(PumpFor([&] { return log.FinalArrived(); }));
        auto records = log.Terminates();
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].Finished, !stopWhilePaused) << records[0].ErrorMessage;
        EXPECT_FALSE(records[0].Failed) << records[0].ErrorMessage;
        if (!stopWhilePaused) {
            EXPECT_GT(log.ProgressCount(), events);
        }
    }
}

TEST_F(ComponentTest, StopTasksFromTheMainThreadNeverDeadlocksWithMainThreadEvents) {
    RunLog log;
    TFFmpegVCL c;
    c.SetPreviewBitmap(true);
    c.SetOnPreviewBitmap([&](TCustomFFmpegVCL*, const TPreviewInfo&) {});
    c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) { log.Terminate(info); });
    c.SetOnProgress([&](TCustomFFmpegVCL*, PProgressInfo) {
        std::lock_guard<std::mutex> lock(log.m);
        log.progressTasks.push_back(0);
    });
    ADD_TASKS(c, 3);
    c.StartTask(2);
    // Workers are blocked in main-thread calls by now; the wait must serve them.
    c.StopTasks(true);
    ASSERT_TRUE(PumpFor([&] { return log.FinalArrived(); }));
    EXPECT_EQ(log.TerminateCount(), 4u);
}

TEST_F(ComponentTest, DestroyingTheComponentWhileRunningStopsAndDeliversNothingMore) {
    RunLog log;
    std::atomic<bool> destroying{false};
    std::atomic<int> lateEvents{0};
    {
        TFFmpegVCL c;
        c.SetPreviewBitmap(true);
        auto late = [&] {
            if (destroying) ++lateEvents;
        };
        c.SetOnPreviewBitmap([&](TCustomFFmpegVCL*, const TPreviewInfo&) { late(); });
        c.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) {
            late();
            log.Terminate(info);
        });
        c.SetOnProgress([&](TCustomFFmpegVCL*, PProgressInfo) {
            late();
            std::lock_guard<std::mutex> lock(log.m);
            log.progressTasks.push_back(0);
        });
        ADD_TASKS(c, 3);
        c.StartTask(2);
        ASSERT_TRUE(PumpFor([&] { return log.ProgressCount() > 0; }));
        destroying = true;
    }
    MainThread::Instance().PumpUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(lateEvents, 0);
    EXPECT_FALSE(log.FinalArrived());
}
