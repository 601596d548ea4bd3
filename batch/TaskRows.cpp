#include "batch/TaskRows.h"

#include <algorithm>

namespace vexlo {

TTaskRows MakeTaskRows(const std::vector<bool>& checked) {
    TTaskRows rows;
    rows.reserve(static_cast<size_t>(CountChecked(checked)));
    for (size_t i = 0; i < checked.size(); ++i)
        if (checked[i]) rows.push_back(static_cast<int32_t>(i));
    return rows;
}

int CountChecked(const std::vector<bool>& checked) {
    return static_cast<int>(std::count(checked.begin(), checked.end(), true));
}

}  // namespace vexlo
