#include "platform/MainThread.h"

#include <exception>

namespace vexlo {

struct MainThread::Job {
    std::function<void()> fn;
    bool done = false;
    std::exception_ptr error;
    std::mutex m;
    std::condition_variable cv;
};

MainThread::MainThread() : main_(std::this_thread::get_id()) {}

MainThread& MainThread::Instance() {
    static MainThread instance;
    return instance;
}

void MainThread::BindToCurrentThread() {
    std::lock_guard<std::mutex> lock(mutex_);
    main_ = std::this_thread::get_id();
}

bool MainThread::IsMainThread() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return main_ == std::this_thread::get_id();
}

void MainThread::SetWaker(std::function<void()> waker) {
    std::lock_guard<std::mutex> lock(mutex_);
    waker_ = std::move(waker);
}

void MainThread::Enqueue(std::shared_ptr<Job> job) {
    std::function<void()> waker;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(job));
        ++notifications_;
        waker = waker_;
    }
    wake_.notify_all();
    if (waker) waker();
}

void MainThread::Call(std::function<void()> fn) {
    if (IsMainThread()) {
        fn();
        return;
    }
    auto job = std::make_shared<Job>();
    job->fn = std::move(fn);
    Enqueue(job);
    std::unique_lock<std::mutex> lock(job->m);
    job->cv.wait(lock, [&] { return job->done; });
    if (job->error) std::rethrow_exception(job->error);
}

void MainThread::Post(std::function<void()> fn) {
    auto job = std::make_shared<Job>();
    job->fn = std::move(fn);
    Enqueue(std::move(job));
}

int MainThread::Pump() {
    int ran = 0;
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (queue_.empty()) break;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        try {
            job->fn();
        } catch (...) {
            job->error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(job->m);
            job->done = true;
        }
        job->cv.notify_all();
        ++ran;
    }
    return ran;
}

void MainThread::Notify() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++notifications_;
    }
    wake_.notify_all();
}

bool MainThread::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    using clock = std::chrono::steady_clock;
    const bool forever = timeout == std::chrono::milliseconds::max();
    const auto deadline = forever ? clock::time_point::max() : clock::now() + timeout;
    for (;;) {
        Pump();
        if (done()) return true;
        std::unique_lock<std::mutex> lock(mutex_);
        if (!queue_.empty()) continue;
        if (!forever && clock::now() >= deadline) return false;
        unsigned long seen = notifications_;
        // A short slice as well, because done() may change without a Notify().
        auto until = std::min(deadline, clock::now() + std::chrono::milliseconds(20));
        wake_.wait_until(lock, until, [&] { return notifications_ != seen; });
    }
}

}  // namespace vexlo
