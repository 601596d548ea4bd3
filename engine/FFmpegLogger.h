#pragma once
// The one logger of the process: engine messages and the media libraries' own output,
// delivered line by line, with a level, to one OnLog handler.
#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vexlo {

enum TLogLevel { llQuiet, llPanic, llFatal, llError, llWarning, llInfo, llVerbose, llDebug };

// Sender is the reporting object (the logger itself for library output).
using TLogEvent = std::function<void(const void* Sender, uint32_t AThreadID, TLogLevel ALogLevel,
                                     const std::string& ALogMsg)>;

int LibraryLevelOf(TLogLevel level);  // (ordinal - 1) * 8
TLogLevel LogLevelOfLibrary(int libraryLevel);
uint32_t CurrentThreadId();

class TFFLogger {
public:
    TFFLogger();
    ~TFFLogger();
    TFFLogger(const TFFLogger&) = delete;
    TFFLogger& operator=(const TFFLogger&) = delete;

    TLogLevel LogLevel() const { return level_.load(); }
    void SetLogLevel(TLogLevel level);
    bool TriggerEventInMainThread() const { return inMainThread_.load(); }
    void SetTriggerEventInMainThread(bool v) { inMainThread_ = v; }
    void SetOnLog(TLogEvent handler);

    // "quiet" ... "debug" in any case, or a library level number; throws
    // std::invalid_argument for other text.
    void SetLevelByName(const std::string& name);

    void Log(const void* sender, TLogLevel level, const std::string& text);
    void LogF(const void* sender, TLogLevel level, const char* fmt, ...)
        __attribute__((format(printf, 4, 5)));

    // Routes the libraries' output here and applies the level; called by the loader once
    // avutil is ready.
    void Install();
    // The library's message callback: assembles lines per producing thread.
    void LibraryMessage(void* context, int libraryLevel, const char* fmt, va_list args);

private:
    bool Wanted(TLogLevel level) const;
    void Deliver(const void* sender, uint32_t threadId, TLogLevel level, const std::string& line);

    std::atomic<TLogLevel> level_;
    std::atomic<bool> inMainThread_{true};
    mutable std::mutex handlerMutex_;
    TLogEvent onLog_;
    std::mutex pendingMutex_;
    std::unordered_map<uint32_t, std::string> pending_;  // partial library lines per thread
};

// The process's logger, created on first use.
TFFLogger& FFLogger();

}  // namespace vexlo
