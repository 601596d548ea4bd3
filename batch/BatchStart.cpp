#include "batch/BatchStart.h"

#include <algorithm>

#include "app/Settings.h"
#include "batch/DestinationName.h"
#include "batch/JobRecord.h"
#include "edit/EffectHooks.h"
#include "engine/FFmpegVCL.h"
#include "engine/TimeFormat.h"
#include "platform/Prompts.h"
#include "probe/AVProbe.h"
#include "profiles/FormatFile.h"

namespace vexlo {
namespace {

// The `priority` key of the settings; anything else leaves the converter's priority alone.
void ApplyPriority(TFFmpegVCL& converter) {
    static const TThreadPriority map[] = {TThreadPriority::tpIdle, TThreadPriority::tpNormal,
                                          TThreadPriority::tpLower, TThreadPriority::tpLowest};
    int p = settings::ReadInteger("priority");
    if (p >= 0 && p < 4) converter.SetThreadPriority(map[p]);
}

}  // namespace

TProbeVideoInfo::TProbeVideoInfo(TCustomAVProbe& probe) {
    streams_ = std::max(0, probe.VideoStreamCount());
    if (streams_ == 0) return;
    TVideoStreamInfo v = probe.GetVideoStreamInfo();
    width_ = std::max(0, v.Width);
    height_ = std::max(0, v.Height);
    bitRate_ = std::max<int64_t>(0, v.BitRate);
}

TJobTaskOptions PrepareJobTask(TlvFilesRecord& record, TCustomAVProbe& probe, const std::set<std::string>& handedOut) {
    TJobTaskOptions t;
    t.Input.FileName = record.SourceFile;
    t.Input.FileFormat = probe.ForcedFormat();
    if (record.TrimStart >= 0) t.Input.StartTime = record.TrimStart;
    const int formatCode = settings::ReadInteger("FormatCode");
    const std::string code = std::to_string(formatCode);
    t.Destination = MakeDestinationName(probe.GetFileName(), "." + ReadFileExt(code), handedOut);
    record.ZoomMode = ReadZoomMode(code);
    t.Output.FileName = t.Destination;
    BuildOutputOptions(record, formatCode, t.Output, TProbeVideoInfo(probe), t.Input);
    // Every task passes its frames to the hook, edited or not; the hook lets go of a job
    // with nothing to draw.
    t.Output.CustomHook = true;
    if (record.TrimLength > 0) t.Output.RecordingTime = record.TrimLength;
    return t;
}

void StartBatch(TFFmpegVCL& converter, const std::vector<TBatchJob>& jobs, TBatchStart& run) {
    run = TBatchStart{};
    ApplyPriority(converter);
    if (jobs.empty()) {
        CurrentPrompts().Show("Warning", "Please select a file by clicking the check box!", PromptButtons::OK,
                              PromptIcon::Warning);
        return;
    }
    converter.ClearTasks();
    std::set<std::string> handedOut;
    TAVProbe& probe = converter.Probe();
    for (const TBatchJob& job : jobs) {
        TlvFilesRecord& record = *job.Record;
        auto refuse = [&](const std::string& message) { run.Refused.push_back({job.Row, record.SourceFile, message}); };
        if (!probe.Open(record.SourceFile)) {
            refuse(probe.LastError());
            continue;
        }
        // Reading from past the end would "finish" with a file holding nothing.
        const int64_t length = probe.Duration();
        if (record.TrimStart > 0 && length > 0 && record.TrimStart >= length) {
            refuse("The trim start " + FormatPTS(record.TrimStart) + " is past the end of the file (" +
                   FormatPTS(length) + ").");
            probe.Close();
            continue;
        }
        TJobTaskOptions t = PrepareJobTask(record, probe, handedOut);
        probe.Close();
        handedOut.insert(t.Destination);
        const int task = converter.AddTask(t.Input.FileName, &t.Input);
        if (task < 0) {
            refuse(converter.LastError());
            continue;
        }
        if (!converter.SetOutputFile(task, t.Destination, &t.Output)) {
            refuse(converter.LastError());
            converter.RemoveTask(task);
            continue;
        }
        run.TaskRows.push_back(job.Row);
        run.Destinations.push_back(t.Destination);
        run.TaskRecords.push_back(&record);
        run.TaskEffects.push_back(JobEffectsOf(record));
        run.TaskImages.push_back(std::make_unique<TWatermarkImageCache>());
    }
    if (converter.TaskCount() > 0) {
        converter.StartTask(1);
        run.Started = true;
    }
}

void DrawBatchHook(const TBatchStart& run, THookInfo& AHookInfo) {
    const int task = AHookInfo.TaskIndex;
    if (task < 0 || task >= static_cast<int>(run.TaskEffects.size())) {
        AHookInfo.Update = false;
        AHookInfo.StopHook = true;
        return;
    }
    ConversionCustomHook(AHookInfo, run.TaskEffects[task], run.TaskImages[task].get());
}

}  // namespace vexlo
