#pragma once
// What one task reads and writes: the records the GUI fills and the converter turns into
// transcoder options. Strings apply when not empty, numbers when above 0 unless noted.
#include <cstdint>
#include <string>

#include "engine/TimeFormat.h"

namespace vexlo {

// Output metadata.
struct TStreamInfo {
    // Local time as a floating day count since 1899-12-30: -1 = do not set, 0 = the moment
    // the output is set, above 0 = that moment.
    double Timestamp = -1;
    int Year = -1;   // written when above 0
    int Track = -1;  // written when above 0
    std::string Title, Author, Copyright, Comment, Album, Genre;
};

struct TInputOptions {
    std::string FileName;     // UTF-8 path; AddTask fills it from its argument when empty
    std::string FileFormat;   // "f"
    int64_t StartTime = kNoPTS;  // "ss", microseconds
    int ProgramID = -1;       // "programid", applied when 0 or more
    std::string ExtOptions;   // name=value lines, separated by line breaks or "<CRLF>"
    int Reserved1 = 0;
    int Reserved2 = 0;
};

// Values of TargetType and TargetNorm.
enum : int { kTargetNone = 0, kTargetVCD = 1, kTargetSVCD = 2, kTargetDVD = 3 };
enum : int { kNormAuto = 0, kNormPAL = 1, kNormNTSC = 2 };

struct TOutputOptions {
    std::string FileName;  // SetOutputFile fills it from its argument when empty
    std::string Reserved;
    std::string FileFormat;          // "f"
    int PacketSize = -1;             // "packetsize"
    int MuxRate = -1;                // "muxrate"
    float MuxDelay = -1.0f;          // "muxdelay", seconds
    float MuxPreload = -1.0f;        // "muxpreload", seconds
    std::string AudioCodec;          // "acodec"
    std::string AudioPreset;         // "apre"
    bool DisableAudio = false;       // "an"
    int Volume = -1;                 // "vol" (256 = unchanged), applied when 0 or more
    int AudioChannels = -1;          // "ac"
    int AudioSampleRate = -1;        // "ar"
    int AudioBitrate = -1;           // "ab", bit/s
    int AudioBitrateTolerance = -1;  // "abt"
    std::string AudioLanguage;       // "alang"
    int AudioSyncMethod = 0;         // "async", always applied
    std::string AudioTag;            // "atag", exactly 4 characters
    std::string VideoCodec;          // "vcodec"
    std::string VideoPreset;         // "vpre"
    bool DisableVideo = false;       // "vn"
    std::string FrameRate;           // "r"
    std::string FrameSize;           // "s"
    std::string AspectRatio;         // "aspect"
    int CropTop = -1, CropBottom = -1, CropLeft = -1, CropRight = -1;
    int GOPSize = -1;                // "g"
    int VideoBitrate = -1;           // "vb", bit/s
    int MaxRate = -1, MinRate = -1, BitrateTolerance = -1, BufferSize = -1;
    int VideoSyncMethod = -1;        // "vsync", always applied
    std::string VideoTag;            // "vtag", exactly 4 characters
    std::string VideoFilters;        // "vf"
    std::string VideoLanguage;       // "vlang"
    std::string SubtitleCodec;       // "scodec"
    std::string SubtitlePreset;      // "spre"
    bool DisableSubtitle = false;    // "sn"
    std::string SubtitleLanguage;    // "slang"
    bool InputSync = false;          // "isync", always applied
    bool CopyTimestamps = false;     // "copyts"
    int64_t StartTime = kNoPTS;      // "ss"
    int64_t RecordingTime = kNoPTS;  // "t"
    TStreamInfo Metadata;
    int TargetType = kTargetNone;
    int TargetNorm = kNormAuto;
    int TargetFallbackNorm = kNormPAL;  // 1 = pal, anything else = ntsc
    bool CustomHook = false;
    bool Join = false;               // no effect: a task has one input
    std::string ExtOptions;
    int Reserved1 = 0;
    int Reserved2 = 0;
};

}  // namespace vexlo
