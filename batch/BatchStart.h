#pragma once
// What the Start command does with the checked jobs of the list: one converter task per job,
// its options built from the current profile and the job's edits, then the run with one
// task at a time. Shared by the desktop program and vexlo-cli; no window involved.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "batch/JobRecord.h"
#include "edit/JobEffects.h"
#include "edit/WatermarkImageCache.h"
#include "engine/ConvertOptions.h"
#include "engine/FFmpegEvents.h"
#include "profiles/OptionBuilder.h"

namespace vexlo {

class TFFmpegVCL;
class TCustomAVProbe;

// One checked row: its index in the list and its record. Start refreshes the record's
// ZoomMode from the profile.
struct TBatchJob {
    int Row = 0;
    TlvFilesRecord* Record = nullptr;
};

// The options of one job's task, as Start hands them to the converter.
struct TJobTaskOptions {
    TInputOptions Input;
    TOutputOptions Output;
    std::string Destination;
};

// A job that got no task, with the engine's text.
struct TBatchRefusal {
    int Row = 0;
    std::string SourceFile;
    std::string Message;
};

struct TBatchStart {
    std::vector<int> TaskRows;                  // list row of each task
    std::vector<std::string> Destinations;      // output file of each task
    std::vector<const TlvFilesRecord*> TaskRecords;  // record of each task
    std::vector<TJobEffects> TaskEffects;            // what the hook draws for each task
    // Each task's watermark image, read once per run.
    std::vector<std::unique_ptr<TWatermarkImageCache>> TaskImages;
    std::vector<TBatchRefusal> Refused;         // jobs left out, in list order
    bool Started = false;                       // StartTask was called
};

// The probe's video facts for the option builder.
class TProbeVideoInfo final : public ISourceVideoInfo {
public:
    explicit TProbeVideoInfo(TCustomAVProbe& probe);
    int VideoStreamCount() const override { return streams_; }
    int VideoWidth() const override { return width_; }
    int VideoHeight() const override { return height_; }
    int64_t VideoBitRate() const override { return bitRate_; }

private:
    int streams_ = 0, width_ = 0, height_ = 0;
    int64_t bitRate_ = 0;
};

// The options Start builds for one job whose source the probe has open: input file and
// start, the record's zoom mode from the profile, the destination (a name neither on disk
// nor in handedOut), the builder's profile options, the per-frame hook and the trimmed length.
TJobTaskOptions PrepareJobTask(TlvFilesRecord& record, TCustomAVProbe& probe,
                               const std::set<std::string>& handedOut);

// The Start command: thread priority from the settings, a warning and nothing else when
// there is no job, then ClearTasks, a task per job in order (a job whose source cannot be
// opened, or whose task or output the converter refuses, is left out with the reason),
// and StartTask(1) when any task was made. `run` is complete before the run starts, so
// the handlers may read it. The caller sets the converter's handlers first; its
// OnCustomHook draws each task's record (DrawBatchHook).
void StartBatch(TFFmpegVCL& converter, const std::vector<TBatchJob>& jobs, TBatchStart& run);

// The conversion hook of a batch: draws the edits of the task's record on its frame; a
// task with nothing to draw lets go of the hook.
void DrawBatchHook(const TBatchStart& run, THookInfo& AHookInfo);

}  // namespace vexlo
