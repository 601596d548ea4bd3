#pragma once
// Worker threads of the conversion engine: their priorities and the way a thread waits for
// one of them without starving the main thread's queue.
#include <functional>
#include <mutex>
#include <thread>

#include "engine/FFmpeg.h"

namespace vexlo {

// Gives the calling thread a priority: idle runs under SCHED_IDLE, lowest and lower at nice
// 19 and 10, normal at 0, higher, highest and time-critical at nice -5, -10 and -20. Raising
// a priority needs privileges; a refusal is logged and the thread keeps what it had (false).
bool ApplyThreadPriority(TThreadPriority priority);

// Waits until done() holds. On the main thread it keeps running queued main-thread calls
// meanwhile, so a worker blocked in such a call cannot deadlock the wait.
void WaitServingMainThread(const std::function<bool()>& done);

// A task's worker thread: created suspended, it takes its priority and runs its body once
// when resumed. Destroying it waits for the body, so it must not be freed by its own body.
class TConvertThread {
public:
    TConvertThread(std::function<void()> body, TThreadPriority priority);
    ~TConvertThread();
    TConvertThread(const TConvertThread&) = delete;
    TConvertThread& operator=(const TConvertThread&) = delete;

    void Resume();
    bool Started() const;
    // The body has returned (or the thread was never resumed).
    bool Done() const;
    bool IsCurrentThread() const;
    // Waits for the body and joins; does nothing on the thread itself.
    void WaitFor();

private:
    std::function<void()> body_;
    TThreadPriority priority_;
    std::thread thread_;
    mutable std::mutex mutex_;
    bool started_ = false;
    bool done_ = false;
};

}  // namespace vexlo
