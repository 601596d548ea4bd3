#pragma once
// What the job list and the progress window show for one progress report.
#include <cstdint>
#include <string>

#include "engine/FFmpegEvents.h"

namespace vexlo {

// Current x 100 / total, not clamped; 0 when the total length is unknown.
int64_t ProgressPercent(int64_t currentDuration, int64_t totalDuration);

// The row caption in the one-line "File:" value: up to 50 characters as it is, longer
// ones as their first 44 characters, "..", and the extension (from the last dot on).
std::string ShortOutputCaption(const std::string& caption);

struct TProgressTexts {
    int64_t Percent = 0;
    std::string RowProgress;  // the list's Progress column: "37%"
    std::string Time;         // "12 Second"
    std::string Length;       // "30 Second"
    std::string Size;         // "518 kb"
    std::string Progress;     // "[2/3]"
    std::string Output;       // ShortOutputCaption of the row caption
};

TProgressTexts MakeProgressTexts(const TProgressInfo& info, int taskCount, const std::string& rowCaption);

}  // namespace vexlo
