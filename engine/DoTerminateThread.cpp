#include "engine/DoTerminateThread.h"

#include <chrono>

#include "engine/ConvertThread.h"
#include "platform/MainThread.h"

namespace vexlo {

TDoTerminateThread::TDoTerminateThread(std::function<void()> call, std::shared_future<void> previous)
    : completion_(promise_.get_future().share()) {
    thread_ = std::thread([this, call = std::move(call), previous = std::move(previous)] {
        if (previous.valid()) previous.wait();
        call();
        promise_.set_value();
        MainThread::Instance().Notify();
    });
}

TDoTerminateThread::~TDoTerminateThread() {
    if (thread_.joinable()) thread_.join();
}

bool TDoTerminateThread::Done() const {
    return completion_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

void TTerminateDeliveries::Deliver(std::function<void()> call) {
    std::lock_guard<std::mutex> lock(mutex_);
    Reap();
    threads_.push_back(std::make_unique<TDoTerminateThread>(std::move(call), last_));
    last_ = threads_.back()->Completion();
}

void TTerminateDeliveries::Reap() {
    for (auto it = threads_.begin(); it != threads_.end();) {
        if ((*it)->Done() && !(*it)->IsCurrentThread()) {
            (*it)->Join();
            it = threads_.erase(it);
        } else {
            ++it;
        }
    }
}

void TTerminateDeliveries::WaitAll() {
    bool insideDelivery = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto& t : threads_) insideDelivery = insideDelivery || t->IsCurrentThread();
    }
    if (!insideDelivery) {
        WaitServingMainThread([this] {
            std::lock_guard<std::mutex> lock(mutex_);
            for (auto& t : threads_)
                if (!t->Done()) return false;
            return true;
        });
    }
    std::lock_guard<std::mutex> lock(mutex_);
    Reap();
}

}  // namespace vexlo
