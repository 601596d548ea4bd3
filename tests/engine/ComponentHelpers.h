#pragma once
// Shared pieces of the converter component suites.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/FFmpegLoader.h"
#include "engine/FFmpegVCL.h"
#include "platform/MainThread.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

namespace vexlo::test {

// Gives tests the task list, so that a handler can wait for a task's state.
class TestComponent : public TFFmpegVCL {
public:
    ~TestComponent() override { Shutdown(); }
    using TCustomFFmpegVCL::Tasks;
};

// A short clip: 1 s of 160x120 picture and tone.
inline std::string ShortClip() {
    return MediaFixture("component_short.mp4",
                        {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1", "-f", "lavfi", "-i",
                         "sine=frequency=440:sample_rate=44100:duration=1", "-c:v", "mpeg4", "-c:a", "aac",
                         "-shortest"});
}

// Everything a run delivered, with the threads it arrived on. Declared before the component,
// whose last deliveries may still be returning while it is destroyed.
struct RunLog {
    std::mutex m;
    std::condition_variable cv;
    std::vector<TTerminateInfo> terminates;
    std::vector<std::thread::id> terminateThreads;
    std::vector<int> progressTasks;
    std::set<std::thread::id> progressThreads;

    void Terminate(const TTerminateInfo& info) {
        {
            std::lock_guard<std::mutex> lock(m);
            terminates.push_back(info);
            terminateThreads.push_back(std::this_thread::get_id());
        }
        cv.notify_all();
        MainThread::Instance().Notify();
    }
    bool FinalArrived() {
        std::lock_guard<std::mutex> lock(m);
        return !terminates.empty() && terminates.back().TaskIndex == -1;
    }
    size_t TerminateCount() {
        std::lock_guard<std::mutex> lock(m);
        return terminates.size();
    }
    size_t ProgressCount() {
        std::lock_guard<std::mutex> lock(m);
        return progressTasks.size();
    }
    std::vector<TTerminateInfo> Terminates() {
        std::lock_guard<std::mutex> lock(m);
        return terminates;
    }
};

// Pumps the main thread until cond holds; false after a timeout long enough for the
// sanitizer builds.
inline bool PumpFor(const std::function<bool()>& cond, int seconds = 120) {
    return MainThread::Instance().PumpUntil(cond, std::chrono::seconds(seconds));
}

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override {
        MainThread::Instance().BindToCurrentThread();
        ASSERT_TRUE(TFFmpegLoader::Instance().Load(kConverterLibraries)) << TFFmpegLoader::Instance().LastError();
        clip = ShortClip();
        ASSERT_FALSE(clip.empty());
    }

    // Adds count tasks on the clip, each with one output in dir; skips the test while the
    // transcoder cannot open media at all.
    void AddTasks(TCustomFFmpegVCL& c, int count, const std::string& ext = "avi") {
        for (int i = 0; i < count; ++i) {
            int index = c.AddTask(clip);
            if (index < 0 && c.LastError().empty()) GTEST_SKIP() << "the transcoder opens no input yet";
            ASSERT_EQ(index, i) << c.LastError();
            ASSERT_TRUE(c.SetOutputFile(index, Output(i, ext))) << c.LastError();
        }
    }
    // Makes every task read its input at its own pace, so that a run takes as long as the
    // clip and reports progress while it goes.
    static void RealTime(TestComponent& c) {
        for (int i = 0; i < c.TaskCount(); ++i) c.Tasks().Get(i)->SetOption("re", "1");
    }
    std::string Output(int i, const std::string& ext = "avi") const {
        return dir.file("out" + std::to_string(i) + "." + ext);
    }

    TempDir dir;
    std::string clip;
};

}  // namespace vexlo::test

// Adds the tasks and leaves the test when that skipped or failed.
#define ADD_TASKS(component, ...)                              \
    do {                                                       \
        AddTasks(component, __VA_ARGS__);                      \
        if (IsSkipped() || HasFatalFailure()) return;          \
    } while (0)
