#pragma once
// Progress of a batch on a terminal: one line per job with percentage, elapsed time,
// estimated time left and speed, redrawn in place on a terminal and as plain lines otherwise.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/FFmpegEvents.h"

namespace vexlo::cli {

// "[2/3] clip.mp4  42%  elapsed 00:00:03.100  left 00:00:04.200  2.50x". Percent and time
// left need a known total; speed is converted media time per wall-clock time.
std::string FormatProgressLine(int jobNumber, int jobCount, const std::string& name, const TProgressInfo& info,
                               int64_t elapsedUs);

class TProgressDisplay {
public:
    // names: the file name shown for each task.
    TProgressDisplay(std::FILE* out, bool redraw, std::vector<std::string> names);
    void Progress(const TProgressInfo& info);
    // A task's end: its last line stays, followed by the outcome.
    void Terminate(const TTerminateInfo& info);

private:
    using Clock = std::chrono::steady_clock;
    int64_t ElapsedUs(int task) const;
    void EndLine();

    std::FILE* out_;
    bool redraw_;
    bool lineOpen_ = false;
    std::vector<std::string> names_;
    std::vector<Clock::time_point> started_;
    std::vector<bool> seen_;
    Clock::time_point lastEnd_ = Clock::now();
};

}  // namespace vexlo::cli
