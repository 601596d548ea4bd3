#pragma once
// Facts read straight from an opened format context, shared by the probe's records and
// its description text.
#include <string>

#include "engine/FFmpegApi.h"
#include "probe/StreamInfo.h"

namespace vexlo {

// Value of key in dict (matched without regard to case), or "".
std::string MetadataValue(const AVDictionary* dict, const char* key);

// Container facts; unknown start time and duration become -1.
TFileStreamInfo ReadFileStreamInfo(const AVFormatContext* context);

// Decoder short name with its long name in parentheses; without a decoder, the codec's
// own name, else the codec tag as text.
std::string CodecNameOf(const AVCodecParameters* par);

// The tag's four characters and " / 0x" + hex when all are printable, else "0x" + hex.
std::string CodecTagText(uint32_t tag);

}  // namespace vexlo
