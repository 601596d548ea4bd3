#pragma once
// Which job-list row each task of a run belongs to (Start builds the list: task k is the
// k-th checked row that got a task).
#include <cstdint>
#include <vector>

namespace vexlo {

using TTaskRows = std::vector<int32_t>;

// The row of a task, or -1 for an index outside the run (a late event of an older run).
inline int32_t TaskRow(const TTaskRows& rows, int taskIndex) {
    return taskIndex >= 0 && taskIndex < static_cast<int>(rows.size()) ? rows[taskIndex] : -1;
}

}  // namespace vexlo
