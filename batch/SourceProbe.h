#pragma once
// What adding a file to the job list needs to know about it.
#include <cstdint>
#include <string>

namespace vexlo {

// Opens path as media and reads its container duration in microseconds (0 when the
// container knows none). False when the file cannot be opened as media. The converter
// libraries must be loaded.
bool ProbeSourceDuration(const std::string& path, int64_t& duration);

// Whole seconds of a duration for the list's columns: truncated, 0 when unknown.
int64_t WholeSeconds(int64_t duration);

}  // namespace vexlo
