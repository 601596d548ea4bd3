#include "cli/ProgressDisplay.h"

#include <algorithm>

#include "engine/TimeFormat.h"
#include "platform/Text.h"

namespace vexlo::cli {

std::string FormatProgressLine(int jobNumber, int jobCount, const std::string& name, const TProgressInfo& info,
                               int64_t elapsedUs) {
    std::string line = Format("[%d/%d] %s", jobNumber, jobCount, name.c_str());
    const bool known = info.TotalDuration > 0;
    line += known ? Format("  %3lld%%", static_cast<long long>(info.CurrentDuration * 100 / info.TotalDuration))
                  : std::string("    ?%");
    line += "  elapsed " + FormatPTS(elapsedUs);
    const double speed = elapsedUs > 0 ? static_cast<double>(info.CurrentDuration) / elapsedUs : 0.0;
    if (known && speed > 0) {
        int64_t left = static_cast<int64_t>(std::max<int64_t>(0, info.TotalDuration - info.CurrentDuration) / speed);
        line += "  left " + FormatPTS(left);
    } else {
        line += "  left --:--:--.---";
    }
    line += Format("  %.2fx", speed);
    return line;
}

TProgressDisplay::TProgressDisplay(std::FILE* out, bool redraw, std::vector<std::string> names)
    : out_(out), redraw_(redraw), names_(std::move(names)), started_(names_.size()), seen_(names_.size()) {}

int64_t TProgressDisplay::ElapsedUs(int task) const {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started_[task]).count();
}

void TProgressDisplay::EndLine() {
    if (lineOpen_) std::fputc('\n', out_);
    lineOpen_ = false;
}

void TProgressDisplay::Progress(const TProgressInfo& info) {
    const int task = info.TaskIndex;
    if (task < 0 || task >= static_cast<int>(names_.size())) return;
    if (!seen_[task]) {
        // One task at a time: a task starts when the one before it ended.
        seen_[task] = true;
        started_[task] = lastEnd_;
    }
    std::string line = FormatProgressLine(task + 1, static_cast<int>(names_.size()), names_[task], info, ElapsedUs(task));
    if (redraw_) {
        std::fprintf(out_, "\r\033[K%s", line.c_str());
        lineOpen_ = true;
    } else {
        std::fprintf(out_, "%s\n", line.c_str());
    }
    std::fflush(out_);
}

void TProgressDisplay::Terminate(const TTerminateInfo& info) {
    const int task = info.TaskIndex;
    if (task < 0 || task >= static_cast<int>(names_.size())) return;
    EndLine();
    const int64_t elapsed = seen_[task] ? ElapsedUs(task) : 0;
    const std::string head = Format("[%d/%d] %s", task + 1, static_cast<int>(names_.size()), names_[task].c_str());
    if (info.Finished)
        std::fprintf(out_, "%s  done in %s\n", head.c_str(), FormatPTS(elapsed).c_str());
    else if (info.Failed)
        std::fprintf(out_, "%s  failed: %s\n", head.c_str(), info.ErrorMessage.c_str());
    else
        std::fprintf(out_, "%s  stopped\n", head.c_str());
    std::fflush(out_);
    lastEnd_ = Clock::now();
}

}  // namespace vexlo::cli
