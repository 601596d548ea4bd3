#include "batch/ProgressTexts.h"

#include "platform/Text.h"

namespace vexlo {

int64_t ProgressPercent(int64_t currentDuration, int64_t totalDuration) {
    if (totalDuration <= 0) return 0;
    return currentDuration * 100 / totalDuration;
}

std::string ShortOutputCaption(const std::string& caption) {
    if (Utf8Length(caption) <= 50) return caption;
    auto dot = caption.rfind('.');
    return Utf8Left(caption, 44) + ".." + (dot == std::string::npos ? "" : caption.substr(dot));
}

TProgressTexts MakeProgressTexts(const TProgressInfo& info, int taskCount, const std::string& rowCaption) {
    TProgressTexts t;
    t.Percent = ProgressPercent(info.CurrentDuration, info.TotalDuration);
    t.RowProgress = std::to_string(t.Percent) + "%";
    t.Time = std::to_string(info.CurrentDuration / 1000000) + " Second";
    t.Length = std::to_string(info.TotalDuration / 1000000) + " Second";
    t.Size = std::to_string(info.CurrentSize / 1000) + " kb";
    t.Progress = "[" + std::to_string(info.TaskIndex + 1) + "/" + std::to_string(taskCount) + "]";
    t.Output = ShortOutputCaption(rowCaption);
    return t;
}

}  // namespace vexlo
