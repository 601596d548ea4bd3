#include "batch/BatchController.h"

#include "edit/EffectHooks.h"
#include "platform/MainThread.h"
#include "platform/Shell.h"

namespace vexlo {

TBatchController::TBatchController(TFFmpegVCL& converter, TBatchView& view)
    : converter_(converter), view_(view), self_(std::make_shared<TBatchController*>(this)) {
    converter_.SetPreviewBitmap(true);
    converter_.SetOnProgress([this](TCustomFFmpegVCL*, PProgressInfo info) { Progress(*info); });
    converter_.SetOnPreviewBitmap([this](TCustomFFmpegVCL*, const TPreviewInfo& info) {
        CopyPreviewBitmap(info, view_.PreviewTarget());
    });
    converter_.SetOnCustomHook([this](TCustomFFmpegVCL*, PHookInfo info) { CustomHook(*info); });
    // Terminations come on a delivery thread of their own; everything they do touches the
    // windows, so the work is handed to the GUI thread and the delivery returns at once.
    std::weak_ptr<TBatchController*> weak = self_;
    converter_.SetOnTerminate([weak](TCustomFFmpegVCL*, const TTerminateInfo& info) {
        MainThread::Instance().Post([weak, info] {
            if (auto self = weak.lock()) (*self)->Terminate(info);
        });
    });
}

TBatchController::~TBatchController() {
    converter_.SetOnProgress(nullptr);
    converter_.SetOnPreviewBitmap(nullptr);
    converter_.SetOnCustomHook(nullptr);
    converter_.SetOnTerminate(nullptr);
    self_.reset();
}

bool TBatchController::Start() {
    if (running_) return false;
    endPending_ = false;
    StartBatch(converter_, view_.CheckedJobs(), run_);
    for (const TBatchRefusal& r : run_.Refused) view_.JobRefused(r);
    running_ = run_.Started;
    return running_;
}

void TBatchController::Stop() {
    if (stopping_) return;
    stopping_ = true;
    converter_.StopTasks(true);
    stopping_ = false;
    if (endPending_) EndRun();
}

void TBatchController::Progress(const TProgressInfo& AProgressInfo) {
    const int row = TaskRow(run_.TaskRows, AProgressInfo.TaskIndex);
    if (row < 0) return;
    const TProgressTexts texts = MakeProgressTexts(AProgressInfo, converter_.TaskCount(), view_.RowCaption(row));
    view_.SetRowProgress(row, texts.RowProgress);
    view_.ShowProgress(texts);
}

void TBatchController::Terminate(const TTerminateInfo& ATerminateInfo) {
    if (ATerminateInfo.TaskIndex < 0) {
        // The component is still inside StopTasks when the run ends by a stop; clearing its
        // tasks there would free the task it is stopping.
        if (stopping_) endPending_ = true;
        else EndRun();
        return;
    }
    const int row = TaskRow(run_.TaskRows, ATerminateInfo.TaskIndex);
    // A stopped or failed task leaves its row at the last percentage shown.
    if (row < 0 || !ATerminateInfo.Finished || ATerminateInfo.Failed) return;
    view_.SetRowProgress(row, "100%");
    view_.SetProgressBar(100);
    // The last task of the run: rows left out at Start never get a task, so the run's own
    // task count, not the checked rows, tells which one is last.
    if (ATerminateInfo.TaskIndex + 1 == static_cast<int>(run_.TaskRows.size())) {
        if (view_.OpenFolderAfterBatch()) view_.OpenOutputFolder();
        if (view_.ShutDownAfterBatch()) CurrentShell().PowerOff();
    }
}

void TBatchController::CustomHook(THookInfo& AHookInfo) { DrawBatchHook(run_, AHookInfo); }

void TBatchController::EndRun() {
    endPending_ = false;
    if (!running_) return;
    running_ = false;
    converter_.ClearTasks();
    view_.RunEnded();
}

}  // namespace vexlo
