#include "engine/FFmpegVCL.h"

#include <stdexcept>

#include "engine/ConvertThread.h"
#include "engine/FFmpegLoader.h"
#include "engine/FFmpegLogger.h"
#include "engine/TaskOptions.h"
#include "platform/MainThread.h"

namespace vexlo {

namespace {

// A handler's exception must not end the worker that raised the event.
template <class F>
void Guarded(const void* sender, F&& call) {
    try {
        call();
    } catch (const std::exception& e) {
        FFLogger().Log(sender, llError, e.what());
    } catch (...) {
        FFLogger().Log(sender, llError, "Unknown error in an event handler");
    }
}

}  // namespace

TCustomFFmpegVCL::TCustomFFmpegVCL() = default;

TCustomFFmpegVCL::~TCustomFFmpegVCL() { Shutdown(); }

void TCustomFFmpegVCL::Shutdown() {
    if (closing_.exchange(true)) return;
    StopTasks(true);
    deliveries_.WaitAll();
    tasks_.Extract().clear();
    // Nobody may still be inside a delivery when the records go away.
    { std::lock_guard<std::mutex> l(hookLock_); }
    { std::lock_guard<std::mutex> l(previewLock_); }
    { std::lock_guard<std::mutex> l(progressLock_); }
    { std::lock_guard<std::recursive_mutex> l(terminateLock_); }
}

// ---- properties ----

int TCustomFFmpegVCL::PreviewFlags() const {
    return (preview_ ? kPreviewWindow : 0) | (previewBitmap_ ? kPreviewBitmap : 0);
}

void TCustomFFmpegVCL::SetPreview(bool Value) {
    preview_ = Value;
    for (int i = 0; i < tasks_.Count(); ++i) tasks_.Get(i)->SetPreviewFlags(PreviewFlags());
}

void TCustomFFmpegVCL::SetPreviewBitmap(bool Value) {
    previewBitmap_ = Value;
    for (int i = 0; i < tasks_.Count(); ++i) tasks_.Get(i)->SetPreviewFlags(PreviewFlags());
}

void TCustomFFmpegVCL::SetOnCustomHook(TCustomHookEvent Handler) {
    std::lock_guard<std::mutex> lock(handlerLock_);
    onCustomHook_ = std::move(Handler);
}
void TCustomFFmpegVCL::SetOnPreviewBitmap(TPreviewBitmapEvent Handler) {
    std::lock_guard<std::mutex> lock(handlerLock_);
    onPreviewBitmap_ = std::move(Handler);
}
void TCustomFFmpegVCL::SetOnProgress(TProgressEvent Handler) {
    std::lock_guard<std::mutex> lock(handlerLock_);
    onProgress_ = std::move(Handler);
}
void TCustomFFmpegVCL::SetOnTerminate(TTerminateEvent Handler) {
    std::lock_guard<std::mutex> lock(handlerLock_);
    onTerminate_ = std::move(Handler);
}

std::string TCustomFFmpegVCL::LastError() const {
    std::lock_guard<std::mutex> lock(errorLock_);
    return lastError_;
}

void TCustomFFmpegVCL::SetLastError(const std::string& text) {
    std::lock_guard<std::mutex> lock(errorLock_);
    lastError_ = text;
}

// ---- task list ----

bool TCustomFFmpegVCL::LoadLibraries(const std::string& LibraryFolder) {
    auto& loader = TFFmpegLoader::Instance();
    loader.SetLibraryFolder(LibraryFolder);
    if (loader.Load(kConverterLibraries)) return true;
    SetLastError(loader.LastError());
    return false;
}

void TCustomFFmpegVCL::CheckIdle(const char* operation) const {
    std::lock_guard<std::recursive_mutex> lock(terminateLock_);
    if (working_) throw std::runtime_error(std::string("Cannot ") + operation + " while working.");
}

void TCustomFFmpegVCL::ClearTasks() {
    std::vector<std::unique_ptr<TFFmpeg>> old;
    {
        std::lock_guard<std::recursive_mutex> lock(terminateLock_);
        // A run without tasks never ends on its own; it must not lock the component for good.
        if (working_ && !allDone_ && tasks_.Count() > 0)
            throw std::runtime_error("Cannot ClearTasks while working.");
        old = tasks_.Extract();
        finished_ = 0;
        nextTask_ = -1;
        remaining_ = 0;
        allDone_ = threaded_ = working_ = paused_ = stopping_ = false;
    }
    SetLastError("");
    // The last workers may still be on their way out; freeing a task waits for its thread.
    old.clear();
    deliveries_.WaitAll();
}

int TCustomFFmpegVCL::AddTask(const std::string& FileName, const TInputOptions* InputOptions) {
    CheckIdle("AddTask");
    if (!TFFmpegLoader::Instance().Loaded(kConverterLibraries)) {
        SetLastError("libav not loaded.");
        return -1;
    }
    try {
        auto task = std::make_unique<TFFmpeg>();
        task->Reset();
        task->SetVerbosity(kVerbosity);
        task->SetPreviewFlags(PreviewFlags());
        task->SetOnPreviewBitmap([this](TCustomFFmpeg& t, const TPreviewInfo& info) {
            DoPreviewBitmap(static_cast<TFFmpeg&>(t), info);
        });
        if (InputOptions) {
            auto copy = std::make_unique<TInputOptions>(*InputOptions);
            if (copy->FileName.empty()) copy->FileName = FileName;
            ApplyInputOptions(*task, *copy);
            task->InputOptions[task->InputFileCount()] = std::move(copy);
        }
        if (!task->OpenInputFile(FileName)) {
            SetLastError(task->LastError());
            return -1;
        }
        task->InputProbe(task->InputFileCount() - 1);
        task->SetOnProgress([this](TCustomFFmpeg& t, const TProgressInfo& info) {
            DoProgress(static_cast<TFFmpeg&>(t), info);
        });
        task->SetOnTerminate([this](TCustomFFmpeg& t) { DoTerminate(static_cast<TFFmpeg&>(t)); });
        return tasks_.Add(std::move(task));
    } catch (const std::exception& e) {
        SetLastError(e.what());
        return -1;
    }
}

bool TCustomFFmpegVCL::SetOutputFile(int TaskIndex, const std::string& FileName,
                                     const TOutputOptions* OutputOptions) {
    CheckIdle("SetOutputFile");
    if (!tasks_.Valid(TaskIndex)) {
        SetLastError("Invalid task index " + std::to_string(TaskIndex));
        return false;
    }
    TFFmpeg* task = tasks_.Get(TaskIndex);
    const int slot = task->OutputFileCount();
    if (slot >= kMaxFiles) {
        SetLastError("max output files " + std::to_string(kMaxFiles) + " reached");
        FFLogger().Log(this, llError, LastError());
        return false;
    }
    try {
        std::unique_ptr<TOutputDefaults> defaults;
        task->OutputOptions[slot].reset();
        if (OutputOptions) {
            auto copy = std::make_unique<TOutputOptions>(*OutputOptions);
            if (copy->FileName.empty()) copy->FileName = FileName;
            defaults = std::make_unique<TOutputDefaults>(*copy);
            task->OutputOptions[slot] = std::move(copy);
            ApplyOutputOptions(*task, *task->OutputOptions[slot], *defaults);
            if (OutputOptions->CustomHook)
                task->SetOnHook([this](TCustomFFmpeg& t, THookInfo& info) { DoCustomHook(static_cast<TFFmpeg&>(t), info); });
        }
        if (task->OpenOutputFile(FileName) < 0) {
            SetLastError(task->LastError());
            task->OutputOptions[slot].reset();
            return false;
        }
        if (defaults) AddExtraStreams(*task, *task->OutputOptions[slot], *defaults);
        return true;
    } catch (const std::exception& e) {
        SetLastError(e.what());
        task->OutputOptions[slot].reset();
        return false;
    }
}

void TCustomFFmpegVCL::RemoveTask(int TaskIndex) {
    CheckIdle("RemoveTask");
    if (!tasks_.Valid(TaskIndex)) throw std::out_of_range("Invalid task index " + std::to_string(TaskIndex));
    tasks_.Delete(TaskIndex);
}

TAVProbe* TCustomFFmpegVCL::InputProbe(int TaskIndex, int FileIndex) {
    if (!tasks_.Valid(TaskIndex)) throw std::out_of_range("Invalid task index " + std::to_string(TaskIndex));
    return tasks_.Get(TaskIndex)->InputProbe(FileIndex);
}

// ---- run ----

void TCustomFFmpegVCL::StartTask(int MaxThreads) {
    {
        std::lock_guard<std::recursive_mutex> lock(terminateLock_);
        if (working_) throw std::runtime_error("Cannot StartTask while working.");
        finished_ = 0;
        nextTask_ = 0;
        remaining_ = tasks_.Count();
        allDone_ = paused_ = stopping_ = false;
        threaded_ = MaxThreads > 0;
        working_ = true;
    }
    const bool threaded = MaxThreads > 0;
    for (;;) {
        {
            std::lock_guard<std::recursive_mutex> lock(terminateLock_);
            if (remaining_ <= 0) break;
        }
        StartNext();
        if (threaded && --MaxThreads == 0) break;
    }
}

void TCustomFFmpegVCL::StartNext() {
    TFFmpeg* task = nullptr;
    bool threaded = false;
    {
        // Taking the task is one step with the counters, so that every task starts exactly
        // once while workers start their successors.
        std::lock_guard<std::recursive_mutex> lock(terminateLock_);
        if (remaining_ <= 0) return;
        --remaining_;
        task = tasks_.Get(nextTask_++);
        threaded = threaded_;
        task->SetProgressInterval(static_cast<int64_t>(progressInterval_) * 1000);
        // In the caller's thread the task counts as launched at once: StopTasks can only be
        // called from its own events then.
        task->Launch = threaded ? TTaskLaunch::tlTaken : TTaskLaunch::tlLaunched;
    }
    // Started outside the lock: a task that cannot start ends right here, through
    // DoTerminate, and the log may wait for the main thread.
    task->Start(threaded, threadPriority_);
    if (!threaded) return;
    std::lock_guard<std::recursive_mutex> lock(terminateLock_);
    task->Launch = TTaskLaunch::tlLaunched;
    if (paused_) task->Pause();
    if (stopping_) task->Stop(false);
}

void TCustomFFmpegVCL::PauseTasks() {
    std::lock_guard<std::recursive_mutex> lock(terminateLock_);
    if (!working_ || !threaded_) return;
    paused_ = true;
    for (int i = 0; i < tasks_.Count(); ++i) {
        TFFmpeg* task = tasks_.Get(i);
        if (task->Launch == TTaskLaunch::tlLaunched) task->Pause();
    }
}

void TCustomFFmpegVCL::ResumeTasks() {
    std::lock_guard<std::recursive_mutex> lock(terminateLock_);
    paused_ = false;
    for (int i = 0; i < tasks_.Count(); ++i) tasks_.Get(i)->Resume();
}

void TCustomFFmpegVCL::StopTasks(bool WaitForStop) {
    {
        std::lock_guard<std::recursive_mutex> lock(terminateLock_);
        if (!working_) return;
        remaining_ = 0;
        stopping_ = true;
        paused_ = false;
    }
    // No task is taken from here on; one being launched right now gets its stop request
    // from StartNext, or is waited for here.
    for (int i = 0; i < tasks_.Count(); ++i) {
        TFFmpeg* task = tasks_.Get(i);
        if (task->Launch == TTaskLaunch::tlTaken) {
            if (!WaitForStop) continue;
            WaitServingMainThread([task] { return task->Launch != TTaskLaunch::tlTaken; });
        }
        task->Stop(WaitForStop);
    }
}

// ---- events ----

void TCustomFFmpegVCL::Raise(const std::function<void()>& call) {
    Guarded(this, [&] {
        if (inMainThread_) MainThread::Instance().Call(call);
        else call();
    });
}

void TCustomFFmpegVCL::DoCustomHook(TFFmpeg& ATask, THookInfo& AHookInfo) {
    TCustomHookEvent handler;
    {
        std::lock_guard<std::mutex> lock(handlerLock_);
        handler = onCustomHook_;
    }
    if (!handler || closing_) return;
    std::lock_guard<std::mutex> lock(hookLock_);
    hookInfo_ = AHookInfo;
    hookInfo_.TaskIndex = tasks_.IndexOf(&ATask);
    hookInfo_.Update = true;
    hookInfo_.StopHook = false;
    {
        std::unique_lock<std::recursive_mutex> canvas;
        if (AHookInfo.Bitmap) canvas = std::unique_lock<std::recursive_mutex>(AHookInfo.Bitmap->CanvasLock());
        handler(this, &hookInfo_);
    }
    AHookInfo.Update = hookInfo_.Update;
    AHookInfo.StopHook = hookInfo_.StopHook;
}

void TCustomFFmpegVCL::DoPreviewBitmap(TFFmpeg& ATask, const TPreviewInfo& APreviewInfo) {
    TPreviewBitmapEvent handler;
    {
        std::lock_guard<std::mutex> lock(handlerLock_);
        handler = onPreviewBitmap_;
    }
    if (!handler || closing_) return;
    std::lock_guard<std::mutex> lock(previewLock_);
    previewInfo_ = APreviewInfo;
    previewInfo_.TaskIndex = tasks_.IndexOf(&ATask);
    // A task paused or a component closing while the call waited for the main thread
    // raises nothing.
    Raise([&] {
        if (!closing_ && !ATask.Paused()) handler(this, previewInfo_);
    });
}

void TCustomFFmpegVCL::DoProgress(TFFmpeg& ATask, const TProgressInfo& AProgressInfo) {
    TProgressEvent handler;
    {
        std::lock_guard<std::mutex> lock(handlerLock_);
        handler = onProgress_;
    }
    if (!handler || closing_) return;
    std::lock_guard<std::mutex> lock(progressLock_);
    progressInfo_ = AProgressInfo;
    progressInfo_.TaskIndex = tasks_.IndexOf(&ATask);
    Raise([&] {
        if (!closing_ && !ATask.Paused()) handler(this, &progressInfo_);
    });
}

void TCustomFFmpegVCL::DeliverTerminate(const TTerminateEvent& handler, const TTerminateInfo& info) {
    if (!threaded_) {
        Guarded(this, [&] { handler(this, info); });
        return;
    }
    // The delivery thread owns its copy of the record, so the next DoTerminate may refill
    // the shared one at once.
    deliveries_.Deliver([this, handler, info] {
        if (!closing_) Guarded(this, [&] { handler(this, info); });
    });
}

void TCustomFFmpegVCL::DoTerminate(TFFmpeg& ATask) {
    TTerminateEvent handler;
    {
        std::lock_guard<std::mutex> lock(handlerLock_);
        handler = onTerminate_;
    }
    std::unique_lock<std::recursive_mutex> lock(terminateLock_);
    if (handler && !closing_) {
        terminateInfo_.TaskIndex = tasks_.IndexOf(&ATask);
        terminateInfo_.Finished = ATask.Finished();
        terminateInfo_.Failed = ATask.Failed();
        terminateInfo_.ErrorMessage = ATask.ErrorMessage();
        DeliverTerminate(handler, terminateInfo_);
    }
    ++finished_;
    if (remaining_ > 0) {
        if (threaded_) {
            lock.unlock();
            StartNext();
        }
        return;
    }
    if (finished_ < tasks_.Count() || allDone_) return;
    if (handler && !closing_) {
        terminateInfo_ = TTerminateInfo{};
        terminateInfo_.TaskIndex = -1;
        terminateInfo_.Finished = true;
        DeliverTerminate(handler, terminateInfo_);
    }
    allDone_ = true;
}

}  // namespace vexlo
