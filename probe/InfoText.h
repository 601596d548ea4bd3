#pragma once
// The probe's description text: one line per fact, each ending in CR LF.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/FFmpegApi.h"
#include "probe/StreamInfo.h"

namespace vexlo {

// "%d Byte" up to 1024 bytes, then "%.2f KB", "%.2f MB", "%.2f GB" (units of 1024).
std::string FileSizeText(int64_t size);
// ", 25 fps", ", 29.97 fps", ", 90k tbn": two decimals only when needed, thousands as k.
std::string RateText(double value, const char* label);
// The plain name of an ID3v2 frame key ("TALB" -> "album"); other keys unchanged.
std::string MetadataKeyName(const std::string& key);
// Seconds since 1970 UTC as "yyyy-mm-dd hh:nn:ss" in local standard time (no daylight
// saving shift).
std::string TimeStampText(int64_t seconds);
// "%d.%.6d": whole seconds and the microsecond remainder; a negative time keeps one sign.
std::string SecondsText(int64_t us);
// Header and entry lines of a metadata block; none for an empty block or one holding
// only "language".
void AppendMetadataLines(std::vector<std::string>& lines, const AVDictionary* metadata,
                         const std::string& prefix);
// "Stream #0[0x100](eng), 1/90000: Video: ..., 25 fps, 25 tbr, 90k tbn, ..."
std::string StreamLine(const AVFormatContext* context, int index);

// The whole text for an opened context.
std::string InfoText(const AVFormatContext* context, const std::string& fileName,
                     int64_t fileSize, const TFileStreamInfo& info);

}  // namespace vexlo
