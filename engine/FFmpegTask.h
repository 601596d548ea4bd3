#pragma once
// A task of the converter component and the component's owning task list.
#include <array>
#include <atomic>
#include <memory>
#include <vector>

#include "engine/ConvertOptions.h"
#include "engine/FFmpeg.h"
#include "probe/AVProbe.h"

namespace vexlo {

// Where the component stands with one task of the current run.
enum class TTaskLaunch { tlWaiting, tlTaken, tlLaunched };

// The transcoder plus what the component keeps per task.
class TFFmpeg : public TCustomFFmpeg {
public:
    // Stops the run before the per-task storage goes away.
    ~TFFmpeg() override { Abort(true); }

    // Set by the component under its terminate lock; read by its StopTasks.
    std::atomic<TTaskLaunch> Launch{TTaskLaunch::tlWaiting};

    // The probe of each opened input, bound to the transcoder's own context; made on demand.
    TAVProbe* InputProbe(int fileIndex) {
        AVFormatContext* context = InputContext(fileIndex);
        if (!context) return nullptr;
        if (!probes_[fileIndex]) {
            probes_[fileIndex] = std::make_unique<TAVProbe>();
            probes_[fileIndex]->AttachContext(context);
        }
        return probes_[fileIndex].get();
    }

    // Copies of the records the inputs and outputs were made from, by file index.
    std::array<std::unique_ptr<TInputOptions>, kMaxFiles> InputOptions;
    std::array<std::unique_ptr<TOutputOptions>, kMaxFiles> OutputOptions;

private:
    std::array<std::unique_ptr<TAVProbe>, kMaxFiles> probes_;
};

class TFFmpegList {
public:
    int Add(std::unique_ptr<TFFmpeg> task) {
        items_.push_back(std::move(task));
        return Count() - 1;
    }
    void Delete(int index) { items_.erase(items_.begin() + index); }
    void Clear() { items_.clear(); }
    // Hands every task over to the caller, leaving the list empty.
    std::vector<std::unique_ptr<TFFmpeg>> Extract() { return std::exchange(items_, {}); }
    TFFmpeg* Get(int index) const { return items_[index].get(); }
    int IndexOf(const TCustomFFmpeg* task) const {
        for (int i = 0; i < Count(); ++i)
            if (items_[i].get() == task) return i;
        return -1;
    }
    int Count() const { return static_cast<int>(items_.size()); }
    bool Valid(int index) const { return index >= 0 && index < Count(); }

private:
    std::vector<std::unique_ptr<TFFmpeg>> items_;
};

}  // namespace vexlo
