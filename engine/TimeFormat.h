#pragma once
#include <cstdint>
#include <string>

namespace vexlo {

// The "no value" timestamp.
constexpr int64_t kNoPTS = INT64_MIN;

// t microseconds as "HH:MM:SS.mmm"; hours are not wrapped at 24.
std::string FormatPTS(int64_t t);
// As FormatPTS, but "N/A" for kNoPTS: the engine's own time text.
std::string FormatTime(int64_t t);

}  // namespace vexlo
