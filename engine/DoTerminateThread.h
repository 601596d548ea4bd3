#pragma once
// OnTerminate deliveries of threaded runs: each on a short-lived thread of its own, so the
// worker that ended can go on, yet strictly in the order they were queued.
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vexlo {

class TDoTerminateThread {
public:
    // Runs call after the previous delivery (when given) has completed.
    TDoTerminateThread(std::function<void()> call, std::shared_future<void> previous);
    ~TDoTerminateThread();
    TDoTerminateThread(const TDoTerminateThread&) = delete;
    TDoTerminateThread& operator=(const TDoTerminateThread&) = delete;

    std::shared_future<void> Completion() const { return completion_; }
    bool Done() const;
    bool IsCurrentThread() const { return thread_.get_id() == std::this_thread::get_id(); }
    void Join() { thread_.join(); }

private:
    std::promise<void> promise_;
    std::shared_future<void> completion_;
    std::thread thread_;
};

// The queue of deliveries of one component.
class TTerminateDeliveries {
public:
    ~TTerminateDeliveries() { WaitAll(); }
    // call owns everything it delivers (its own copy of the record).
    void Deliver(std::function<void()> call);
    // Waits for every delivery (serving the main thread when called there) and frees the
    // threads. Called from a delivery itself it frees only the finished ones, since the rest
    // wait for the caller.
    void WaitAll();

private:
    void Reap();  // frees finished threads; mutex_ held
    std::mutex mutex_;
    std::vector<std::unique_ptr<TDoTerminateThread>> threads_;
    std::shared_future<void> last_;
};

}  // namespace vexlo
