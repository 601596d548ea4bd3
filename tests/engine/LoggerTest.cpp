#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/FFmpegApi.h"
#include "engine/FFmpegLoader.h"
#include "engine/FFmpegLogger.h"
#include "platform/MainThread.h"

using namespace vexlo;

namespace {

struct Delivery {
    const void* sender;
    uint32_t thread;
    TLogLevel level;
    std::string text;
};

// Collects deliveries; resets the logger when done.
class LogCapture {
public:
    explicit LogCapture(bool inMainThread) {
        FFLogger().SetTriggerEventInMainThread(inMainThread);
        FFLogger().SetOnLog([this](const void* s, uint32_t t, TLogLevel l, const std::string& m) {
            std::lock_guard<std::mutex> lock(mutex);
            got.push_back({s, t, l, m});
            onMain.push_back(MainThread::Instance().IsMainThread());
        });
    }
    ~LogCapture() {
        FFLogger().SetOnLog(nullptr);
        FFLogger().SetLogLevel(llInfo);
        FFLogger().SetTriggerEventInMainThread(true);
    }
    std::mutex mutex;
    std::vector<Delivery> got;
    std::vector<bool> onMain;
};

void LibraryLog(void* ctx, int level, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    FFLogger().LibraryMessage(ctx, level, fmt, ap);
    va_end(ap);
}

}  // namespace

TEST(Logger, LevelConversions) {
    for (int n = 0; n < 8; ++n) EXPECT_EQ(LibraryLevelOf(static_cast<TLogLevel>(n)), (n - 1) * 8);
    struct Case {
        int lib;
        TLogLevel level;
    } cases[] = {{-8, llQuiet}, {-100, llQuiet}, {0, llPanic},  {7, llPanic},     {8, llFatal},
                 {16, llError}, {24, llWarning}, {32, llInfo},  {40, llVerbose}, {47, llVerbose},
                 {48, llDebug}, {56, llDebug}};
    for (const auto& c : cases) EXPECT_EQ(LogLevelOfLibrary(c.lib), c.level) << c.lib;
}

TEST(Logger, DeliveryRules) {
    LogCapture cap(false);
    struct Case {
        TLogLevel current, message;
        bool delivered;
    } cases[] = {
        {llWarning, llInfo, false}, {llWarning, llVerbose, true}, {llWarning, llWarning, true},
        {llWarning, llError, true}, {llQuiet, llQuiet, true},     {llQuiet, llVerbose, false},
        {llQuiet, llError, false},  {llInfo, llDebug, false},     {llDebug, llDebug, true},
    };
    for (const auto& c : cases) {
        cap.got.clear();
        FFLogger().SetLogLevel(c.current);
        FFLogger().Log(&cap, c.message, "m");
        EXPECT_EQ(cap.got.size(), c.delivered ? 1u : 0u) << c.current << " " << c.message;
    }
}

TEST(Logger, SetLevelByName) {
    struct Case {
        const char* name;
        TLogLevel level;
    } cases[] = {{"Debug", llDebug}, {"QUIET", llQuiet}, {"warning", llWarning}, {"24", llWarning},
                 {"40", llVerbose}, {"-8", llQuiet}};
    for (const auto& c : cases) {
        FFLogger().SetLevelByName(c.name);
        EXPECT_EQ(FFLogger().LogLevel(), c.level) << c.name;
    }
    EXPECT_THROW(FFLogger().SetLevelByName("loud"), std::invalid_argument);
    FFLogger().SetLogLevel(llInfo);
}

TEST(Logger, LibraryPartsJoinIntoOneLineWithPrefixOfFirstPart) {
    LogCapture cap(false);
    AVClass cls{};
    cls.class_name = "demo";
    cls.item_name = [](void* ctx) { return (*static_cast<AVClass**>(ctx))->class_name; };
    struct {
        const AVClass* c;
    } ctx{&cls};
    LibraryLog(&ctx, AV_LOG_INFO, "abc");
    LibraryLog(nullptr, AV_LOG_INFO, "def\nsecond ");
    LibraryLog(nullptr, AV_LOG_INFO, "line\n");
    LibraryLog(nullptr, AV_LOG_DEBUG, "dropped above the level\n");
    ASSERT_EQ(cap.got.size(), 2u);
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "[demo @ %p]", static_cast<void*>(&ctx));
    EXPECT_EQ(cap.got[0].text, std::string(prefix) + "abcdef");
    EXPECT_EQ(cap.got[0].sender, &FFLogger());
    EXPECT_EQ(cap.got[0].level, llInfo);
    EXPECT_EQ(cap.got[1].text, "second line");
}

TEST(Logger, TwoThreadsWritingPartialLinesGetTheirOwnLines) {
    LogCapture cap(false);
    constexpr int kLines = 200;
    auto writer = [](char tag) {
        for (int i = 0; i < kLines; ++i) {
            LibraryLog(nullptr, AV_LOG_INFO, "%c-", tag);
            LibraryLog(nullptr, AV_LOG_INFO, "%c-%d", tag, i);
            LibraryLog(nullptr, AV_LOG_INFO, "\n");
        }
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    ASSERT_EQ(cap.got.size(), 2u * kLines);
    std::map<uint32_t, int> next;
    std::map<uint32_t, char> tagOf;
    for (const auto& d : cap.got) {
        char tag = d.text[0];
        if (!tagOf.count(d.thread)) tagOf[d.thread] = tag;
        EXPECT_EQ(tagOf[d.thread], tag);
        EXPECT_EQ(d.text, (std::string{tag, '-', tag, '-'} + std::to_string(next[d.thread]++)));
    }
    EXPECT_EQ(tagOf.size(), 2u);
}

TEST(Logger, InMainThreadDeliveryRunsOnMainThreadWhileWorkersWait) {
    MainThread::Instance().BindToCurrentThread();
    LogCapture cap(true);
    std::atomic<int> done{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 3; ++t)
        workers.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i) FFLogger().LogF(&done, llError, "w%d-%d", t, i);
            ++done;
        });
    EXPECT_TRUE(MainThread::Instance().PumpUntil([&] { return done == 3; }, std::chrono::seconds(20)));
    for (auto& w : workers) w.join();
    ASSERT_EQ(cap.got.size(), 60u);
    for (bool main : cap.onMain) EXPECT_TRUE(main);
    for (const auto& d : cap.got) EXPECT_EQ(d.sender, &done);
}

TEST(Logger, LoaderInstallsCallbackSoLibraryOutputArrives) {
    auto& loader = TFFmpegLoader::Instance();
    ASSERT_TRUE(loader.Load(kConverterLibraries)) << loader.LastError();
    LogCapture cap(false);
    FFLogger().SetLogLevel(llWarning);
    EXPECT_EQ(ff::avutil.av_log_get_level(), AV_LOG_WARNING);
    ff::avutil.av_log(nullptr, AV_LOG_ERROR, "from the library %d\n", 7);
    ff::avutil.av_log(nullptr, AV_LOG_INFO, "not wanted\n");
    ASSERT_EQ(cap.got.size(), 1u);
    EXPECT_EQ(cap.got[0].text, "from the library 7");
    EXPECT_EQ(cap.got[0].level, llError);
}
