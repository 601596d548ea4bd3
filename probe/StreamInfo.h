#pragma once
// Container and stream facts read by the media probe.
#include <cstdint>
#include <string>

namespace vexlo {

// Container facts. Times in microseconds; -1 when unknown.
struct TFileStreamInfo {
    int64_t StartTime = -1;
    int64_t Duration = -1;
    int32_t BitRate = -1;   // bit/s
    int64_t Timestamp = 0;  // creation time, seconds since 1970-01-01 UTC; 0 = none
    int32_t Year = 0;
    int32_t Track = 0;
    std::string Title;
    std::string Author;
    std::string Copyright;
    std::string Comment;
    std::string Album;
    std::string Genre;
    bool operator==(const TFileStreamInfo&) const = default;
};

// What audio and video records share. StartTime and Duration are in the stream's time
// base and hold the library's no-value marker when unknown; the ...Us copies are
// microseconds and stay -1 then.
struct TCommonStreamInfo {
    std::string Language;
    std::string CodecName;
    int64_t StartTime = -1;
    int64_t StartTimeUs = -1;
    int64_t Duration = -1;
    int64_t DurationUs = -1;
    int32_t BitRate = -1;  // bit/s
    bool operator==(const TCommonStreamInfo&) const = default;
};

struct TAudioStreamInfo : TCommonStreamInfo {
    int32_t Channels = -1;
    int32_t SampleRate = -1;    // Hz
    int32_t SampleFormat = -1;  // the library's sample-format number
    bool operator==(const TAudioStreamInfo&) const = default;
};

struct TVideoStreamInfo : TCommonStreamInfo {
    int32_t Height = -1;
    int32_t Width = -1;
    float AspectRatio = -1.0f;  // display aspect: sample aspect x width / height
    int32_t PixelFormat = -1;   // the library's pixel-format number
    int32_t FrameRateNum = -1;  // the stream's real base frame rate
    int32_t FrameRateDen = -1;
    bool operator==(const TVideoStreamInfo&) const = default;
};

}  // namespace vexlo
