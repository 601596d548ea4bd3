#pragma once
// TCustomFFmpegVCL / TFFmpegVCL: the converter component. It keeps a list of transcoder
// tasks, runs them one after another or several at a time on worker threads, and reports
// through four events: OnCustomHook (every video frame, on the worker), OnPreviewBitmap and
// OnProgress (on the main thread when TriggerEventInMainThread), OnTerminate (one record per
// task, then one for the whole run).
//
// States: idle (tasks may be added and removed), running (from StartTask until the final
// OnTerminate), finished (after it); only ClearTasks returns to idle.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "engine/DoTerminateThread.h"
#include "engine/FFmpegEvents.h"
#include "engine/FFmpegTask.h"

namespace vexlo {

class TCustomFFmpegVCL;

using TCustomHookEvent = std::function<void(TCustomFFmpegVCL* Sender, PHookInfo AHookInfo)>;
using TPreviewBitmapEvent = std::function<void(TCustomFFmpegVCL* Sender, const TPreviewInfo& APreviewInfo)>;
using TProgressEvent = std::function<void(TCustomFFmpegVCL* Sender, PProgressInfo AProgressInfo)>;
using TTerminateEvent = std::function<void(TCustomFFmpegVCL* Sender, const TTerminateInfo& ATerminateInfo)>;

class TCustomFFmpegVCL {
public:
    TCustomFFmpegVCL();
    // Stops a run, waits for its threads and deliveries, and delivers nothing more.
    virtual ~TCustomFFmpegVCL();
    TCustomFFmpegVCL(const TCustomFFmpegVCL&) = delete;
    TCustomFFmpegVCL& operator=(const TCustomFFmpegVCL&) = delete;

    // Loads the converter's media libraries, from LibraryFolder first; false with LastError.
    bool LoadLibraries(const std::string& LibraryFolder);
    // Frees every task and returns to idle; refused while a run is under way.
    void ClearTasks();
    // Opens the input of a new task, applying InputOptions first when given; its index, or
    // -1 with LastError.
    int AddTask(const std::string& FileName, const TInputOptions* InputOptions = nullptr);
    // Adds an output file to a task, made as OutputOptions says when given (extra streams
    // included); false with LastError, the task staying usable for further outputs.
    bool SetOutputFile(int TaskIndex, const std::string& FileName, const TOutputOptions* OutputOptions = nullptr);
    void RemoveTask(int TaskIndex);
    // MaxThreads > 0: up to that many tasks at once on worker threads, returning at once;
    // otherwise every task in the calling thread, returning after the last OnTerminate.
    void StartTask(int MaxThreads);
    void PauseTasks();
    void ResumeTasks();
    // Ends the run early: running tasks stop after their current packet, tasks not started
    // end at once; with WaitForStop the call returns when all of them have ended.
    void StopTasks(bool WaitForStop);
    int TaskCount() const { return tasks_.Count(); }
    // The probe of a task's input, bound to the opened file, so stream facts are there
    // before any conversion; nullptr for an input the task does not have.
    TAVProbe* InputProbe(int TaskIndex, int FileIndex);
    // A spare probe for the caller's own file queries.
    TAVProbe& Probe() { return probe_; }
    std::string LastError() const;

protected:
    // Every task calls back into these.
    virtual void DoCustomHook(TFFmpeg& ATask, THookInfo& AHookInfo);
    virtual void DoPreviewBitmap(TFFmpeg& ATask, const TPreviewInfo& APreviewInfo);
    virtual void DoProgress(TFFmpeg& ATask, const TProgressInfo& AProgressInfo);
    virtual void DoTerminate(TFFmpeg& ATask);

    const TFFmpegList& Tasks() const { return tasks_; }

    // Stops a run, waits for its threads and deliveries and frees the tasks; nothing is
    // delivered afterwards. Workers call the virtual Do* operations, so a class that
    // overrides one calls this first thing in its destructor, before its part is gone.
    void Shutdown();

    // ---- properties (published by TFFmpegVCL) ----
    bool Preview() const { return preview_; }
    void SetPreview(bool Value);
    bool PreviewBitmap() const { return previewBitmap_; }
    void SetPreviewBitmap(bool Value);
    // Milliseconds between two OnProgress events of one task; at least 100.
    int ProgressInterval() const { return progressInterval_; }
    void SetProgressInterval(int Value) { progressInterval_ = Value <= 100 ? 100 : Value; }
    TThreadPriority ThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(TThreadPriority Value) { threadPriority_ = Value; }
    bool TriggerEventInMainThread() const { return inMainThread_; }
    void SetTriggerEventInMainThread(bool Value) { inMainThread_ = Value; }
    void SetOnCustomHook(TCustomHookEvent Handler);
    void SetOnPreviewBitmap(TPreviewBitmapEvent Handler);
    void SetOnProgress(TProgressEvent Handler);
    void SetOnTerminate(TTerminateEvent Handler);
    static const char* Version() { return "3.3"; }

private:
    void CheckIdle(const char* operation) const;  // throws "Cannot %s while working."
    void StartNext();
    // Calls a handler of the progress kind in the thread TriggerEventInMainThread asks for.
    void Raise(const std::function<void()>& call);
    void DeliverTerminate(const TTerminateEvent& handler, const TTerminateInfo& info);
    void SetLastError(const std::string& text);
    int PreviewFlags() const;

    TFFmpegList tasks_;

    // Run state; guarded by terminateLock_.
    int finished_ = 0;
    int nextTask_ = -1;
    int remaining_ = 0;
    bool allDone_ = false;
    bool threaded_ = false;
    bool working_ = false;
    bool paused_ = false;
    bool stopping_ = false;  // StopTasks was called in this run
    std::atomic<bool> closing_{false};  // being destroyed: deliver nothing more

    std::atomic<bool> preview_{false}, previewBitmap_{false}, inMainThread_{true};
    std::atomic<int> progressInterval_{500};
    std::atomic<TThreadPriority> threadPriority_{TThreadPriority::tpNormal};
    static constexpr int kVerbosity = 1;

    // One lock per event kind, held from filling its record until the handler returned.
    std::mutex hookLock_, previewLock_, progressLock_;
    mutable std::recursive_mutex terminateLock_;
    THookInfo hookInfo_;
    TPreviewInfo previewInfo_;
    TProgressInfo progressInfo_;
    TTerminateInfo terminateInfo_;

    // Handlers are swapped under their own lock, so that setting one never waits for a
    // delivery that waits for the main thread.
    mutable std::mutex handlerLock_;
    TCustomHookEvent onCustomHook_;
    TPreviewBitmapEvent onPreviewBitmap_;
    TProgressEvent onProgress_;
    TTerminateEvent onTerminate_;

    mutable std::mutex errorLock_;
    std::string lastError_;

    TTerminateDeliveries deliveries_;
    TAVProbe probe_;
};

// The component as programs use it: every property published.
class TFFmpegVCL : public TCustomFFmpegVCL {
public:
    TFFmpegVCL() = default;
    ~TFFmpegVCL() override { Shutdown(); }

    using TCustomFFmpegVCL::Preview;
    using TCustomFFmpegVCL::SetPreview;
    using TCustomFFmpegVCL::PreviewBitmap;
    using TCustomFFmpegVCL::SetPreviewBitmap;
    using TCustomFFmpegVCL::ProgressInterval;
    using TCustomFFmpegVCL::SetProgressInterval;
    using TCustomFFmpegVCL::ThreadPriority;
    using TCustomFFmpegVCL::SetThreadPriority;
    using TCustomFFmpegVCL::TriggerEventInMainThread;
    using TCustomFFmpegVCL::SetTriggerEventInMainThread;
    using TCustomFFmpegVCL::SetOnCustomHook;
    using TCustomFFmpegVCL::SetOnPreviewBitmap;
    using TCustomFFmpegVCL::SetOnProgress;
    using TCustomFFmpegVCL::SetOnTerminate;
    using TCustomFFmpegVCL::Version;
};

}  // namespace vexlo
