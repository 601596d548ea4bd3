#include "cli/ConvertCommand.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <memory>

#include "batch/BatchStart.h"
#include "cli/Arguments.h"
#include "cli/JobArguments.h"
#include "cli/ProgressDisplay.h"
#include "engine/FFmpegVCL.h"
#include "platform/MainThread.h"
#include "platform/Paths.h"

namespace vexlo::cli {

const char* const kConvertUsage =
    "usage: vexlo-cli convert [--profile N] [--set KEY=VALUE]... [--out DIR]\n"
    "         [--trim START[,LENGTH]] [--crop T,L,B,R] [--zoom full|lbox|pan]\n"
    "         [--brightness N] [--contrast N] [--saturation N] [--exposure N]\n"
    "         [--text TEXT --text-pos X%,Y% --font NAME --font-size N --font-color #RRGGBB]\n"
    "         [--image BMP --image-pos X%,Y% --image-alpha N --image-blend 1|2] FILE...\n";

namespace {

std::atomic<bool> gInterrupted{false};

void OnInterrupt(int) { gInterrupted = true; }

// Ctrl-C asks the run to stop as Cancel does, once; the outputs are then completed.
class TInterruptGuard {
public:
    TInterruptGuard() {
        gInterrupted = false;
        struct sigaction sa {};
        sa.sa_handler = OnInterrupt;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGINT, &sa, &previous_);
    }
    ~TInterruptGuard() { sigaction(SIGINT, &previous_, nullptr); }

private:
    struct sigaction previous_ {};
};

}  // namespace

int RunConvertCommand(const std::vector<std::string>& words) {
    TJobCommand job;
    if (int status = StartJobCommand("convert", kConvertUsage, words, job)) return status;
    std::vector<TlvFilesRecord>& records = job.Records;
    std::vector<TBatchJob> jobs;
    for (size_t i = 0; i < records.size(); ++i) jobs.push_back({static_cast<int>(i), &records[i]});

    // Read by the hook on the worker thread; complete before the run starts.
    TBatchStart batch;
    TFFmpegVCL converter;
    // No picture to show on a terminal.
    converter.SetPreviewBitmap(false);
    std::unique_ptr<TProgressDisplay> display;
    bool runEnded = false, anyFailed = false, anyStopped = false;
    converter.SetOnCustomHook([&](TCustomFFmpegVCL*, PHookInfo hook) { DrawBatchHook(batch, *hook); });
    converter.SetOnProgress([&](TCustomFFmpegVCL*, PProgressInfo info) {
        if (display) display->Progress(*info);
    });
    // Termination arrives on a thread of its own; its work is done on the main thread.
    converter.SetOnTerminate([&](TCustomFFmpegVCL*, const TTerminateInfo& info) {
        MainThread::Instance().Post([&, info] {
            if (info.TaskIndex < 0) {
                runEnded = true;
                return;
            }
            anyFailed |= info.Failed;
            anyStopped |= !info.Finished && !info.Failed;
            if (display) display->Terminate(info);
        });
    });

    TInterruptGuard interrupts;
    std::vector<std::string> names;
    StartBatch(converter, jobs, batch);
    for (const TBatchRefusal& r : batch.Refused) std::fprintf(stderr, "%s: %s\n", r.SourceFile.c_str(), r.Message.c_str());
    for (size_t i = 0; i < batch.Destinations.size(); ++i) {
        std::printf("%s -> %s\n", batch.TaskRecords[i]->SourceFile.c_str(), batch.Destinations[i].c_str());
        names.push_back(ExtractFileName(batch.TaskRecords[i]->SourceFile));
    }
    std::fflush(stdout);
    display = std::make_unique<TProgressDisplay>(stderr, isatty(STDERR_FILENO), names);
    bool stopRequested = false;
    while (batch.Started && !runEnded) {
        MainThread::Instance().PumpUntil([&] { return runEnded || (gInterrupted && !stopRequested); });
        if (gInterrupted && !stopRequested) {
            stopRequested = true;
            std::fprintf(stderr, "\nStopping...\n");
            converter.StopTasks(true);
        }
    }
    MainThread::Instance().Pump();
    if (stopRequested || anyStopped) return 130;
    return anyFailed || !batch.Refused.empty() ? 1 : 0;
}

}  // namespace vexlo::cli
