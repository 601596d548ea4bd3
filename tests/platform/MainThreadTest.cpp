#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/MainThread.h"

using namespace vexlo;

TEST(MainThread, WorkerCallRunsOnMainThreadAndWaits) {
    auto& mt = MainThread::Instance();
    mt.BindToCurrentThread();
    std::thread::id ranOn;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        mt.Call([&] { ranOn = std::this_thread::get_id(); });
        returned = true;
    });
    EXPECT_TRUE(mt.PumpUntil([&] { return returned.load(); }, std::chrono::seconds(10)));
    worker.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(MainThread, CallOnMainThreadRunsDirectlyAndExceptionsReachTheCaller) {
    auto& mt = MainThread::Instance();
    mt.BindToCurrentThread();
    int ran = 0;
    mt.Call([&] { ++ran; });
    EXPECT_EQ(ran, 1);
    std::atomic<bool> caught{false};
    std::thread worker([&] {
        try {
            mt.Call([] { throw std::runtime_error("boom"); });
        } catch (const std::runtime_error&) {
            caught = true;
        }
    });
    EXPECT_TRUE(mt.PumpUntil([&] { return caught.load(); }, std::chrono::seconds(10)));
    worker.join();
}

TEST(MainThread, PumpUntilTimesOutAndWakerIsCalled) {
    auto& mt = MainThread::Instance();
    mt.BindToCurrentThread();
    EXPECT_FALSE(mt.PumpUntil([] { return false; }, std::chrono::milliseconds(30)));
    std::atomic<int> wakes{0};
    mt.SetWaker([&] { ++wakes; });
    int posted = 0;
    mt.Post([&] { ++posted; });
    EXPECT_EQ(wakes.load(), 1);
    EXPECT_EQ(mt.Pump(), 1);
    EXPECT_EQ(posted, 1);
    mt.SetWaker(nullptr);
}
