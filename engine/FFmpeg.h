#pragma once
// TCustomFFmpeg: one conversion task. It is configured with options of the classic
// command-line converter (name=value, without the dash), opens its input and output files
// on the caller's thread and runs the transcoding loop on that thread or a worker thread.
// Every engine error is an FFmpegException with the converter's own message.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "engine/Bitmap.h"
#include "engine/FFmpegEvents.h"
#include "engine/FFmpegException.h"
#include "engine/FFmpegOptions.h"

struct AVFormatContext;

namespace vexlo {

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Bits of the preview flags.
constexpr int kPreviewWindow = 1;  // Preview: the engine's own preview window
constexpr int kPreviewBitmap = 2;  // PreviewBitmap: OnPreviewBitmap

class TCustomFFmpeg;

// Callbacks, each set by the converter component. Hook and preview run on the worker
// thread; progress runs there too (the component marshals it); terminate runs on the
// thread that ended the task.
// Hook: AHookInfo.Bitmap, FrameNumber and PTS are filled; Update and StopHook are in/out.
using TTaskHookEvent = std::function<void(TCustomFFmpeg& ATask, THookInfo& AHookInfo)>;
using TTaskPreviewEvent = std::function<void(TCustomFFmpeg& ATask, const TPreviewInfo& APreviewInfo)>;
using TTaskProgressEvent = std::function<void(TCustomFFmpeg& ATask, const TProgressInfo& AProgressInfo)>;
using TTaskTerminateEvent = std::function<void(TCustomFFmpeg& ATask)>;

class TCustomFFmpeg {
public:
    TCustomFFmpeg();
    // Aborts a running task, waiting for its thread, and releases everything.
    virtual ~TCustomFFmpeg();
    TCustomFFmpeg(const TCustomFFmpeg&) = delete;
    TCustomFFmpeg& operator=(const TCustomFFmpeg&) = delete;

    // Releases every file and stream and restores the option defaults (only with the
    // converter libraries loaded).
    void Reset();

    // ---- options ----
    // One option; throws FFmpegException (or std::invalid_argument for a malformed number).
    void SetOption(const std::string& name, const std::string& value);
    // name=value lines separated by line breaks or the literal "<CRLF>"; a line without "="
    // is the name with an empty value; empty lines are skipped. Stops at the first error.
    void SetOptions(const std::string& lines);
    // Kind "apre", "vpre", "spre" or "fpre"; nothing for an empty name.
    void LoadPreset(const std::string& kind, const std::string& name);
    // Target "vcd", "svcd", "dvd", "dv", "dv50"; norm "pal", "ntsc", "film" or else automatic.
    void SetTarget(const std::string& target, const std::string& norm, const std::string& fallbackNorm);
    // Sets a library parameter by name; false when unknown or refused.
    bool SetGenericOption(const std::string& name, const std::string& value);
    const TTranscoderOptions& Options() const { return opt_; }

    // ---- files ----
    bool OpenInputFile(const std::string& fileName);
    // Number of output files after success, -1 on failure (LastError set).
    int OpenOutputFile(const std::string& fileName);
    const std::string& LastError() const { return lastError_; }
    int InputFileCount() const;
    int OutputFileCount() const;
    // The opened input container (for probing the input before a run); nullptr when absent.
    AVFormatContext* InputContext(int fileIndex) const;
    AVFormatContext* OutputContext(int fileIndex) const;

    // ---- run ----
    // Refused (false) while running or ended. Threaded: the run goes on a worker thread of
    // the given priority and Start returns at once; otherwise the run happens here. A task
    // without input or output ends at once through the terminate callback with Failed set.
    bool Start(bool threaded, TThreadPriority priority = TThreadPriority::tpNormal);
    // Requests the stop; with wait, waits for the run to end (serving main-thread calls
    // when called on the main thread). Never started: ends the task through its terminate
    // callback on a short-lived thread.
    void Stop(bool wait);
    void Abort(bool wait);
    void Pause();
    void Resume();

    bool Running() const { return running_.load(); }
    bool Ended() const { return ended_.load(); }
    bool Finished() const { return finished_.load(); }
    bool Failed() const { return failed_.load(); }
    bool Paused() const { return paused_.load(); }
    bool StopRequested() const { return stopRequested_.load(); }
    std::string ErrorMessage() const;

    // Expected output duration, microseconds; -1 when unknown.
    int64_t TotalDuration() const { return totalDuration_; }
    // Video frames that reached the hook stage.
    int FrameNumber() const { return frameNumber_.load(); }

    int Verbosity() const { return opt_.verbose; }
    void SetVerbosity(int v) { opt_.verbose = v; }
    int64_t ProgressInterval() const { return progressInterval_; }
    void SetProgressInterval(int64_t microseconds) { progressInterval_ = microseconds; }

    // kPreviewWindow | kPreviewBitmap; changed under the engine-wide preview lock.
    int PreviewFlags() const;
    void SetPreviewFlags(int flags);

    void SetOnHook(TTaskHookEvent handler) { onHook_ = std::move(handler); }
    bool HasHook() const { return static_cast<bool>(onHook_); }
    void SetOnPreviewBitmap(TTaskPreviewEvent handler) { onPreview_ = std::move(handler); }
    void SetOnProgress(TTaskProgressEvent handler) { onProgress_ = std::move(handler); }
    void SetOnTerminate(TTaskTerminateEvent handler) { onTerminate_ = std::move(handler); }

    // The run body (worker thread or caller); never throws.
    void Run();

    struct State;  // files, streams and run state of the transcoder

protected:
    // Clears running, sets ended and calls the terminate callback.
    virtual void DoTerminate();

private:
    friend struct TranscoderAccess;
    void ReleaseAll();
    void Transcode();
    bool AddVideoHook(const std::string& value);
    void AddOutputStream(int fileIndex, int mediaKind);

    TTranscoderOptions opt_;
    std::unique_ptr<State> st_;
    std::string lastError_;
    std::string errorMessage_;
    mutable std::mutex messageMutex_;
    int64_t totalDuration_ = -1;
    int64_t progressInterval_ = 500000;
    std::atomic<int> frameNumber_{0};
    std::atomic<bool> running_{false}, ended_{false}, finished_{false}, failed_{false};
    std::atomic<bool> stopRequested_{false}, paused_{false};
    TTaskHookEvent onHook_;
    TTaskPreviewEvent onPreview_;
    TTaskProgressEvent onProgress_;
    TTaskTerminateEvent onTerminate_;
};

}  // namespace vexlo
