#pragma once
// The texts the file information window shows.
#include <cstdint>
#include <string>

namespace vexlo {

// Paths of fewer than 46 characters as they are; longer ones as their first 40
// characters, "..", the extension (from the last dot on) and two blanks.
std::string ShortSourceName(const std::string& path);

// Container duration as "seconds.milliseconds Second" ("65.432 Second").
std::string DurationText(int64_t microseconds);

// The audio codec as the probe's info text writes it: what follows the first "Audio: "
// up to the next ',' (or the line's end).
std::string AudioFormatFromInfoText(const std::string& infoText);

// A frame rate as people write it: "25", "29.97"; "" when unknown.
std::string FrameRateText(int num, int den);

// The number of frames of a video of that length at that rate, rounded; "" when either is
// unknown.
std::string TotalFramesText(int64_t microseconds, int num, int den);

}  // namespace vexlo
