#pragma once
// How the texts of the parameter lists read as numbers, and how a chosen item becomes the
// value stored in the settings file.
#include <optional>
#include <string>
#include <vector>

namespace vexlo {

extern const char* const kAsSource;  // "as source"
extern const char* const kNull;      // "null": the parameter does not apply

// Splits a list at every ","; pieces are kept as written, empty ones included. "null"
// gives no items.
std::vector<std::string> ParseChoiceList(const std::string& text);

// The whole text as a signed decimal integer that fits in 32 bits.
bool TryParseInteger(const std::string& text, int& out);
bool IsIntegerText(const std::string& text);
// An integer or a decimal fraction such as "29.97" (optionally signed, no exponent).
bool TryParseNumber(const std::string& text, double& out);
bool IsNumberText(const std::string& text);

// Item of the video encoder box -> paraVideoEncoder ("MPEG-4" -> "mpeg4", "H264" -> "libx264").
std::optional<std::string> MapVideoEncoder(const std::string& item);
// Item of the audio encoder box -> paraAudioEncoder ("AAC" -> "libfaac").
std::optional<std::string> MapAudioEncoder(const std::string& item);
// "as source", "mono 1 channel", "stereo 2 channels" -> "as source", "1", "2".
std::optional<std::string> MapChannel(const std::string& item);
// "100%" -> "256": percentages on the engine's volume scale.
std::optional<std::string> MapVolume(const std::string& item);
// True when the lower-cased item is the H.264 encoder, whose tuning keys are copied.
bool IsH264EncoderItem(const std::string& item);

// Zoom modes by position in the zoom box: "full", "lbox", "pan", then "center", which no
// item produces.
extern const char* const kZoomValues[4];
// Position of a stored zoom mode, -1 when unknown.
int ZoomPositionOf(const std::string& stored);

// H.264 tuning keys in the order they are copied.
extern const char* const kH264Keys[7];

}  // namespace vexlo
