// The component's threads: worker priorities and ordered terminate deliveries.
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/ConvertThread.h"
#include "engine/DoTerminateThread.h"
#include "engine/FFmpegLogger.h"
#include "platform/MainThread.h"

using namespace vexlo;

namespace {

struct ThreadPriorityState {
    int policy = -1;
    int nice = 0;
};

ThreadPriorityState CurrentPriority() {
    ThreadPriorityState s;
    sched_param sp{};
    pthread_getschedparam(pthread_self(), &s.policy, &sp);
    errno = 0;
    s.nice = getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
    return s;
}

// Runs body on a TConvertThread of the given priority and waits for it.
ThreadPriorityState RunAt(TThreadPriority priority, const std::function<void()>& before = {}) {
    ThreadPriorityState seen;
    TConvertThread t(
        [&] {
            if (before) before();
            seen = CurrentPriority();
        },
        priority);
    EXPECT_FALSE(t.Started());
    EXPECT_TRUE(t.Done());
    t.Resume();
    t.WaitFor();
    EXPECT_TRUE(t.Done());
    return seen;
}

// Takes CAP_SYS_NICE out of the calling thread's effective set (capabilities are per thread).
void DropNiceCapability() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    ASSERT_EQ(syscall(SYS_capget, &header, data), 0);
    data[CAP_TO_INDEX(CAP_SYS_NICE)].effective &= ~CAP_TO_MASK(CAP_SYS_NICE);
    ASSERT_EQ(syscall(SYS_capset, &header, data), 0);
}

}  // namespace

TEST(ConvertThread, PrioritiesMapOntoPolicyAndNiceValues) {
    MainThread::Instance().BindToCurrentThread();
    struct Case {
        TThreadPriority priority;
        int policy;
        int nice;
    };
    const Case cases[] = {
        {TThreadPriority::tpIdle, SCHED_IDLE, 0},
        {TThreadPriority::tpLowest, SCHED_OTHER, 19},
        {TThreadPriority::tpLower, SCHED_OTHER, 10},
        {TThreadPriority::tpNormal, SCHED_OTHER, 0},
    };
    for (const Case& c : cases) {
        ThreadPriorityState s = RunAt(c.priority);
        EXPECT_EQ(s.policy, c.policy) << static_cast<int>(c.priority);
        if (c.policy == SCHED_OTHER) {
            EXPECT_EQ(s.nice, c.nice) << static_cast<int>(c.priority);
        }
    }
}

TEST(ConvertThread, AThreadStartedFromALowWorkerStillGetsItsOwnPriority) {
    MainThread::Instance().BindToCurrentThread();
    ThreadPriorityState inner;
    RunAt(TThreadPriority::tpIdle, [&] {
        // A worker starting its successor, as a task's end does; nothing may be inherited.
        TConvertThread t([&] { inner = CurrentPriority(); }, TThreadPriority::tpLower);
        t.Resume();
        t.WaitFor();
    });
    EXPECT_EQ(inner.policy, SCHED_OTHER);
    EXPECT_EQ(inner.nice, 10);
}

TEST(ConvertThread, ARefusedPriorityIsLoggedAndTheBodyStillRuns) {
    MainThread::Instance().BindToCurrentThread();
    std::mutex m;
    std::vector<std::string> warnings;
    FFLogger().SetTriggerEventInMainThread(false);
    FFLogger().SetLogLevel(llInfo);
    FFLogger().SetOnLog([&](const void*, uint32_t, TLogLevel level, const std::string& msg) {
        std::lock_guard<std::mutex> lock(m);
        if (level == llWarning) warnings.push_back(msg);
    });
    bool ran = false;
    bool applied = true;
    std::thread unprivileged([&] {
        DropNiceCapability();
        // Raising the priority needs the capability just dropped (or root's rlimit).
        applied = ApplyThreadPriority(TThreadPriority::tpHighest);
        ran = true;
    });
    unprivileged.join();
    FFLogger().SetOnLog(nullptr);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(applied);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("Cannot set thread priority highest"), std::string::npos) << warnings[0];
}

TEST(ConvertThread, WaitForServesTheMainThreadMeanwhile) {
    MainThread::Instance().BindToCurrentThread();
    int ranOnMain = 0;
    TConvertThread t([&] { MainThread::Instance().Call([&] { ++ranOnMain; }); }, TThreadPriority::tpNormal);
    t.Resume();
    t.WaitFor();
    EXPECT_EQ(ranOnMain, 1);
}

TEST(TerminateDeliveries, LaterDeliveriesNeverOvertakeASlowOne) {
    MainThread::Instance().BindToCurrentThread();
    std::mutex m;
    std::vector<int> order;
    std::set<std::thread::id> threads;
    {
        TTerminateDeliveries deliveries;
        for (int i = 0; i < 12; ++i) {
            deliveries.Deliver([&, i] {
                // The earlier a delivery, the longer it takes.
                std::this_thread::sleep_for(std::chrono::milliseconds(12 - i));
                std::lock_guard<std::mutex> lock(m);
                order.push_back(i);
                threads.insert(std::this_thread::get_id());
            });
        }
        deliveries.WaitAll();
        EXPECT_EQ(order.size(), 12u);
    }
    std::vector<int> expected(12);
    for (int i = 0; i < 12; ++i) expected[i] = i;
    EXPECT_EQ(order, expected);
    EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u);
}
