#include "engine/FFmpegLogger.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <sys/syscall.h>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include "engine/FFmpegApi.h"
#include "platform/MainThread.h"
#include "platform/Text.h"

namespace vexlo {
namespace {

// The level the libraries run at; always the library level of the logger's LogLevel.
std::atomic<int> g_libraryLevel{32};

extern "C" void LibraryLogCallback(void* context, int level, const char* fmt, va_list args) {
    FFLogger().LibraryMessage(context, level, fmt, args);
}

}  // namespace

int LibraryLevelOf(TLogLevel level) { return (static_cast<int>(level) - 1) * 8; }

TLogLevel LogLevelOfLibrary(int l) {
    if (l < 0) {
        l += 7;
        if (l < -8) return llQuiet;
    }
    int n = static_cast<int>(std::floor(l / 8.0)) + 1;
    if (n <= 0) return llQuiet;
    if (n >= static_cast<int>(llDebug)) return llDebug;
    return static_cast<TLogLevel>(n);
}

uint32_t CurrentThreadId() { return static_cast<uint32_t>(::syscall(SYS_gettid)); }

TFFLogger::TFFLogger() : level_(LogLevelOfLibrary(g_libraryLevel.load())) {}
TFFLogger::~TFFLogger() = default;

TFFLogger& FFLogger() {
    // Never destroyed: library threads may still log while the process exits.
    static TFFLogger* logger = new TFFLogger;
    return *logger;
}

void TFFLogger::SetLogLevel(TLogLevel level) {
    if (level_.exchange(level) == level) return;
    if (ff::avutil.av_log_set_level) {
        g_libraryLevel = LibraryLevelOf(level);
        ff::avutil.av_log_set_level(g_libraryLevel);
    }
}

void TFFLogger::SetOnLog(TLogEvent handler) {
    std::lock_guard<std::mutex> lock(handlerMutex_);
    onLog_ = std::move(handler);
}

void TFFLogger::SetLevelByName(const std::string& name) {
    static const char* const names[] = {"quiet", "panic",   "fatal",  "error",
                                        "warning", "info", "verbose", "debug"};
    for (int i = 0; i < 8; ++i)
        if (EqualsNoCase(name, names[i])) {
            SetLogLevel(static_cast<TLogLevel>(i));
            return;
        }
    size_t used = 0;
    int number = std::stoi(name, &used);  // throws std::invalid_argument on non-numbers
    if (used != Trim(name).size()) throw std::invalid_argument("'" + name + "' is not a valid integer value");
    SetLogLevel(LogLevelOfLibrary(number));
}

bool TFFLogger::Wanted(TLogLevel level) const {
    TLogLevel current = level_.load();
    return current >= level || (level == llVerbose && current != llQuiet);
}

void TFFLogger::Log(const void* sender, TLogLevel level, const std::string& text) {
    if (!Wanted(level)) return;
    Deliver(sender, CurrentThreadId(), level, text);
}

void TFFLogger::LogF(const void* sender, TLogLevel level, const char* fmt, ...) {
    if (!Wanted(level)) return;
    char buffer[2048];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    Deliver(sender, CurrentThreadId(), level, buffer);
}

void TFFLogger::Deliver(const void* sender, uint32_t threadId, TLogLevel level,
                        const std::string& line) {
    TLogEvent handler;
    {
        std::lock_guard<std::mutex> lock(handlerMutex_);
        handler = onLog_;
    }
    if (!handler) return;
    // Each delivery carries its own values, so a handler never sees another thread's line.
    if (inMainThread_.load())
        MainThread::Instance().Call([&] { handler(sender, threadId, level, line); });
    else
        handler(sender, threadId, level, line);
}

void TFFLogger::Install() {
    g_libraryLevel = LibraryLevelOf(level_.load());
    ff::avutil.av_log_set_callback(&LibraryLogCallback);
    ff::avutil.av_log_set_level(g_libraryLevel);
}

void TFFLogger::LibraryMessage(void* context, int libraryLevel, const char* fmt, va_list args) {
    if (libraryLevel > g_libraryLevel.load()) return;
    std::string prefix;
    if (context) {
        const AVClass* cls = *static_cast<AVClass**>(context);
        if (cls && cls->item_name) prefix = Format("[%s @ %p]", cls->item_name(context), context);
    }
    char buffer[2048];
    std::vsnprintf(buffer, sizeof buffer, fmt, args);

    uint32_t tid = CurrentThreadId();
    TLogLevel level = LogLevelOfLibrary(libraryLevel);
    std::vector<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(pendingMutex_);
        std::string& text = pending_[tid];
        if (text.empty()) text = prefix;
        text += buffer;
        size_t nl;
        while ((nl = text.find('\n')) != std::string::npos) {
            lines.push_back(text.substr(0, nl));
            text.erase(0, nl + 1);
        }
        if (text.empty()) pending_.erase(tid);
    }
    for (const auto& line : lines) Deliver(this, tid, level, line);
}

}  // namespace vexlo
