#pragma once
// The batch run as the main window drives it: Start turns the checked rows into converter
// tasks, progress reaches the row and the progress window, and each termination is carried
// out on the GUI thread, where the last finished job may open the output folder and power
// the computer off. Windows are reached through TBatchView, so the run works without them.
#include <memory>
#include <string>
#include <vector>

#include "batch/BatchStart.h"
#include "batch/ProgressTexts.h"
#include "batch/TaskRows.h"
#include "engine/FFmpegVCL.h"

namespace vexlo {

// What the run touches in the windows.
class TBatchView {
public:
    virtual ~TBatchView() = default;
    // The checked rows in list order, each with its record.
    virtual std::vector<TBatchJob> CheckedJobs() = 0;
    virtual std::string RowCaption(int row) const = 0;
    // The row's Progress column.
    virtual void SetRowProgress(int row, const std::string& text) = 0;
    // Labels and bar of the progress window.
    virtual void ShowProgress(const TProgressTexts& texts) = 0;
    virtual void SetProgressBar(int percent) = 0;
    // The progress window's after-batch boxes.
    virtual bool OpenFolderAfterBatch() const = 0;
    virtual bool ShutDownAfterBatch() const = 0;
    // As the main window's Open command.
    virtual void OpenOutputFolder() = 0;
    // The run has ended: buttons back on, progress window closed.
    virtual void RunEnded() = 0;
    // The main window's picture of the encoder's output, or null.
    virtual TBitmap* PreviewTarget() = 0;
    // A checked row that got no task, with the engine's reason.
    virtual void JobRefused(const TBatchRefusal& refusal) = 0;
};

class TBatchController {
public:
    // Binds the converter's progress, terminate, hook and preview handlers.
    TBatchController(TFFmpegVCL& converter, TBatchView& view);
    // Unbinds the handlers; terminations still on their way are dropped.
    ~TBatchController();
    TBatchController(const TBatchController&) = delete;
    TBatchController& operator=(const TBatchController&) = delete;

    // Builds a task for every checked row and starts the run. True when a run is under way
    // (the caller then shows the progress window); false when nothing was checked (the
    // warning was shown) or no row could be made a task.
    bool Start();
    // Stops the run and waits for it (Cancel, closing the progress window). The run-end
    // work that arrives meanwhile is done once the stop has returned.
    void Stop();
    void Pause() { converter_.PauseTasks(); }
    void Resume() { converter_.ResumeTasks(); }

    const TTaskRows& TaskRows() const { return run_.TaskRows; }
    void ClearTaskRows() { run_ = TBatchStart{}; }
    bool Running() const { return running_; }

    // The handlers, public so that tests can feed records directly.
    void Progress(const TProgressInfo& AProgressInfo);
    // On the GUI thread.
    void Terminate(const TTerminateInfo& ATerminateInfo);
    // On a worker thread: the job's effects on its frame.
    void CustomHook(THookInfo& AHookInfo);

private:
    void EndRun();
    TFFmpegVCL& converter_;
    TBatchView& view_;
    TBatchStart run_;
    bool running_ = false;
    bool stopping_ = false;   // inside Stop(): the component is still unwinding
    bool endPending_ = false;  // the run ended while stopping
    // Posted terminations hold a weak reference, so they are dropped once we are gone.
    std::shared_ptr<TBatchController*> self_;
};

}  // namespace vexlo
