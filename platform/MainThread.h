#pragma once
// The one way for worker threads to run code on the main thread.
//
// A worker's Call() queues a function and waits until the main thread has run it. The
// main thread runs queued calls from its event loop (the GUI installs a waker that
// schedules Pump()) and while it waits for workers (PumpUntil), so a main thread that
// waits for a worker which in turn waits for the main thread never deadlocks.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vexlo {

class MainThread {
public:
    static MainThread& Instance();

    // Makes the calling thread the main thread (the first user of Instance() is by default).
    void BindToCurrentThread();
    bool IsMainThread() const;

    // Runs fn on the main thread and waits for it; directly when already there. An exception
    // thrown by fn is rethrown in the caller.
    void Call(std::function<void()> fn);
    // Queues fn for the main thread without waiting.
    void Post(std::function<void()> fn);

    // Main thread only: runs every queued call; returns how many ran.
    int Pump();
    // Main thread only: pumps until done() is true or the timeout passes; true when done.
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::milliseconds::max());
    // Wakes a thread blocked in PumpUntil so that it re-checks its condition.
    void Notify();

    // Called (from any thread) whenever work is queued; the GUI uses it to schedule Pump().
    void SetWaker(std::function<void()> waker);

private:
    MainThread();
    struct Job;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::shared_ptr<Job>> queue_;
    std::thread::id main_;
    std::function<void()> waker_;
    unsigned long notifications_ = 0;
    void Enqueue(std::shared_ptr<Job> job);
};

}  // namespace vexlo
