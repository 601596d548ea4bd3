#include "engine/ConvertThread.h"

#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "engine/FFmpegLogger.h"
#include "platform/MainThread.h"

namespace vexlo {

namespace {

const char* PriorityName(TThreadPriority p) {
    switch (p) {
        case TThreadPriority::tpIdle: return "idle";
        case TThreadPriority::tpLowest: return "lowest";
        case TThreadPriority::tpLower: return "lower";
        case TThreadPriority::tpNormal: return "normal";
        case TThreadPriority::tpHigher: return "higher";
        case TThreadPriority::tpHighest: return "highest";
        case TThreadPriority::tpTimeCritical: return "time-critical";
    }
    return "unknown";
}

int NiceOf(TThreadPriority p) {
    switch (p) {
        case TThreadPriority::tpLowest: return 19;
        case TThreadPriority::tpLower: return 10;
        case TThreadPriority::tpHigher: return -5;
        case TThreadPriority::tpHighest: return -10;
        case TThreadPriority::tpTimeCritical: return -20;
        default: return 0;
    }
}

}  // namespace

bool ApplyThreadPriority(TThreadPriority priority) {
    // A new thread inherits its creator's policy and nice value, and a task may be started
    // from another task's worker, so every priority is set explicitly.
    sched_param sp{};
    const int policy = priority == TThreadPriority::tpIdle ? SCHED_IDLE : SCHED_OTHER;
    int rc = pthread_setschedparam(pthread_self(), policy, &sp);
    if (rc == 0 && policy == SCHED_OTHER) {
        // The nice value of one thread is addressed by its kernel thread id.
        const auto tid = static_cast<id_t>(syscall(SYS_gettid));
        if (setpriority(PRIO_PROCESS, tid, NiceOf(priority)) != 0) rc = errno;
    }
    if (rc == 0) return true;
    FFLogger().LogF(nullptr, llWarning, "Cannot set thread priority %s: %s", PriorityName(priority),
                    std::strerror(rc));
    return false;
}

void WaitServingMainThread(const std::function<bool()>& done) {
    auto& mt = MainThread::Instance();
    if (mt.IsMainThread()) {
        while (!mt.PumpUntil(done, std::chrono::milliseconds(20))) {
        }
    } else {
        while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TConvertThread::TConvertThread(std::function<void()> body, TThreadPriority priority)
    : body_(std::move(body)), priority_(priority) {}

TConvertThread::~TConvertThread() {
    WaitFor();
}

void TConvertThread::Resume() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (started_) return;
    started_ = true;
    thread_ = std::thread([this] {
        ApplyThreadPriority(priority_);
        body_();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        MainThread::Instance().Notify();
    });
}

bool TConvertThread::Started() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return started_;
}

bool TConvertThread::Done() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return done_ || !started_;
}

bool TConvertThread::IsCurrentThread() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return thread_.get_id() == std::this_thread::get_id();
}

void TConvertThread::WaitFor() {
    if (!Started() || IsCurrentThread()) return;
    WaitServingMainThread([this] { return Done(); });
    std::lock_guard<std::mutex> lock(mutex_);
    if (thread_.joinable()) thread_.join();
}

}  // namespace vexlo
