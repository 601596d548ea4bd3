#include "engine/FFmpeg.h"

#include <chrono>
#include <filesystem>

#include "engine/ConvertThread.h"
#include "engine/FFmpegLoader.h"
#include "engine/FFmpegLogger.h"
#include "engine/OptionLines.h"
#include "engine/TranscoderState.h"
#include "platform/MainThread.h"

namespace vexlo {

namespace {

// Serialises every task's preview step with the component's changes of the preview flags.
std::mutex& PreviewMutex() {
    static std::mutex m;
    return m;
}

}  // namespace

std::mutex& EnginePreviewMutex() { return PreviewMutex(); }

TCustomFFmpeg::TCustomFFmpeg() : st_(std::make_unique<State>()) { Reset(); }

TCustomFFmpeg::~TCustomFFmpeg() {
    Abort(true);
    st_->worker.reset();
    if (st_->terminator.joinable()) st_->terminator.join();
    ReleaseAll();
}

void TCustomFFmpeg::Reset() {
    if (!TFFmpegLoader::Instance().Loaded(kConverterLibraries)) return;
    if (running_) Abort(true);
    if (st_->worker && !st_->worker->IsCurrentThread()) st_->worker.reset();
    if (st_->terminator.joinable() && st_->terminator.get_id() != std::this_thread::get_id()) st_->terminator.join();
    ReleaseAll();
    int verbose = opt_.verbose;
    opt_ = TTranscoderOptions{};
    opt_.verbose = verbose;
    for (auto& p : st_->codecParams) p.clear();
    st_->formatParams.clear();
    st_->swsParams.clear();
    st_->setNames.clear();
    running_ = ended_ = finished_ = failed_ = stopRequested_ = paused_ = false;
    {
        std::lock_guard<std::mutex> lock(messageMutex_);
        errorMessage_.clear();
    }
    lastError_.clear();
    totalDuration_ = -1;
    frameNumber_ = 0;
}

std::string TCustomFFmpeg::ErrorMessage() const {
    std::lock_guard<std::mutex> lock(messageMutex_);
    return errorMessage_;
}

int TCustomFFmpeg::InputFileCount() const { return static_cast<int>(st_->inputs.size()); }
int TCustomFFmpeg::OutputFileCount() const { return static_cast<int>(st_->outputs.size()); }

AVFormatContext* TCustomFFmpeg::InputContext(int i) const {
    return i >= 0 && i < InputFileCount() ? st_->inputs[i].ctx.get() : nullptr;
}
AVFormatContext* TCustomFFmpeg::OutputContext(int i) const {
    return i >= 0 && i < OutputFileCount() ? st_->outputs[i].ctx.get() : nullptr;
}

int TCustomFFmpeg::PreviewFlags() const {
    std::lock_guard<std::mutex> lock(PreviewMutex());
    return st_->previewFlags;
}

void TCustomFFmpeg::SetPreviewFlags(int flags) {
    std::lock_guard<std::mutex> lock(PreviewMutex());
    st_->previewFlags = flags;
}

bool TCustomFFmpeg::Start(bool threaded, TThreadPriority priority) {
    if (running_ || ended_) return false;
    const char* missing = nullptr;
    if (st_->outputs.empty()) missing = "At least one output file must be specified";
    else if (st_->inputs.empty()) missing = "At least one input file must be specified";
    if (missing) {
        FFLogger().Log(this, llQuiet, missing);
        failed_ = true;
        {
            std::lock_guard<std::mutex> lock(messageMutex_);
            errorMessage_ = missing;
        }
        ReleaseAll();
        DoTerminate();
        return false;
    }
    // The flags are cleared before running_ is set: a stop requested as soon as the task
    // shows as running must not be undone.
    stopRequested_ = finished_ = ended_ = false;
    running_ = true;
    if (!threaded) {
        Run();
        return true;
    }
    st_->worker = std::make_unique<TConvertThread>([this] { Run(); }, priority);
    st_->worker->Resume();
    return true;
}

void TCustomFFmpeg::Abort(bool wait) {
    stopRequested_ = true;
    Resume();
    if (wait && st_->worker) st_->worker->WaitFor();
}

void TCustomFFmpeg::Stop(bool wait) {
    if (running_) {
        Abort(wait);
        return;
    }
    if (ended_) return;
    if (st_->terminator.joinable()) {
        if (wait && st_->terminator.get_id() != std::this_thread::get_id()) st_->terminator.join();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(st_->runMutex);
        st_->terminateDone = false;
    }
    st_->terminator = std::thread([this] {
        DoTerminate();
        {
            std::lock_guard<std::mutex> lock(st_->runMutex);
            st_->terminateDone = true;
        }
        MainThread::Instance().Notify();
    });
    if (wait) {
        WaitServingMainThread([this] {
            std::lock_guard<std::mutex> lock(st_->runMutex);
            return st_->terminateDone;
        });
        st_->terminator.join();
    }
}

void TCustomFFmpeg::Pause() {
    std::lock_guard<std::mutex> lock(st_->pauseMutex);
    if (running_) paused_ = true;
}

void TCustomFFmpeg::Resume() {
    {
        std::lock_guard<std::mutex> lock(st_->pauseMutex);
        paused_ = false;
    }
    st_->pauseCv.notify_all();
}

void TCustomFFmpeg::Run() {
    finished_ = false;
    try {
        Transcode();
    } catch (const std::exception& e) {
        FFLogger().Log(this, llQuiet, e.what());
        failed_ = true;
        std::lock_guard<std::mutex> lock(messageMutex_);
        errorMessage_ = e.what();
    } catch (...) {
        failed_ = true;
        std::lock_guard<std::mutex> lock(messageMutex_);
        errorMessage_ = "Unknown error";
    }
    try {
        ReleaseAll();
    } catch (const std::exception& e) {
        FFLogger().Log(this, llQuiet, e.what());
    }
    try {
        DoTerminate();
    } catch (const std::exception& e) {
        FFLogger().Log(this, llQuiet, e.what());
    }
}

void TCustomFFmpeg::DoTerminate() {
    running_ = false;
    ended_ = true;
    if (onTerminate_) onTerminate_(*this);
}

void TCustomFFmpeg::SetOptions(const std::string& lines) {
    for (const auto& [name, value] : SplitOptionLines(lines)) SetOption(name, value);
}

}  // namespace vexlo
