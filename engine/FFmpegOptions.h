#pragma once
// The option state of one transcoder task: the current settings that the next opened
// input, created output or added stream takes. A plain struct; Reset restores it.
#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vexlo {

constexpr int kMaxFiles = 20;    // input files, output files
constexpr int kMaxStreams = 20;  // streams per file

struct TStreamMap {
    int file = 0, stream = 0, syncFile = 0, syncStream = 0;
};
struct TMetaDataMap {
    int outFile = 0, inFile = 0;
};

struct TTranscoderOptions {
    // files
    std::string fileFormat;                 // "f", consumed by the next open
    int64_t startTime = 0;                  // "ss"
    int64_t recordingTime = INT64_MAX;      // "t"
    int64_t inputTsOffset = 0;              // "itsoffset"
    int64_t recTimestamp = 0;               // "timestamp", seconds
    int64_t limitFileSize = 0;              // "fs"
    int programId = 0;
    bool loopInput = false;
    int loopOutput = -1;
    std::vector<TStreamMap> streamMaps;
    std::vector<TMetaDataMap> metaDataMaps;
    std::vector<std::pair<std::string, std::string>> metadata;
    std::array<double, kMaxStreams> tsScale{};  // 0 = unset (1.0)
    bool pgmyuv = false;

    // video
    int frameWidth = 0, frameHeight = 0;
    int rateNum = 0, rateDen = 0;           // 0/0 = keep
    double aspectRatio = 0;
    int pixFmt = -1;                        // AVPixelFormat, -1 = keep
    int cropTop = 0, cropBottom = 0, cropLeft = 0, cropRight = 0;
    std::string videoCodec;
    bool videoCopy = false, videoDisable = false;
    int videoDiscard = 0;
    uint32_t videoTag = 0;
    std::string videoLanguage;
    double videoQscale = 0;
    bool sameQuality = false, intraOnly = false;
    int topFieldFirst = -1, intraDcPrecision = 8, meThreshold = 0;
    std::string rcOverride;
    std::vector<uint16_t> intraMatrix, interMatrix;  // empty = none
    bool deinterlace = false;
    int passNumber = 0;
    std::string passLogFile;
    bool forceFps = false;
    std::string videoFilters;
    std::string videoChannel, tvStandard;
    int maxVideoFrames = INT_MAX;
    std::string vstatsFile;
    bool psnr = false, qpHist = false;
    int videoGlobalHeader = 0;              // "vglobal"

    // audio
    int sampleRate = 44100, channels = 2;
    int sampleFmt = -1;
    std::string audioCodec;
    bool audioCopy = false, audioDisable = false;
    double audioQscale = -99999;
    int volume = 256;
    uint32_t audioTag = 0;
    std::string audioLanguage;
    int maxAudioFrames = INT_MAX;

    // subtitles
    std::string subtitleCodec;
    bool subtitleCopy = false, subtitleDisable = false;
    std::string subtitleLanguage;
    uint32_t subtitleTag = 0;

    // sync and muxing
    int videoSyncMethod = -1, audioSyncMethod = 0;
    double audioDriftThreshold = 0.1;
    bool inputSync = false, copyTs = false, shortest = false;
    double dtsDeltaThreshold = 10;
    double muxMaxDelay = 0.7, muxPreload = 0.5;
    bool exitOnError = false;
    int copyInitialNonKeyframes = 0;
    int maxDataFrames = INT_MAX;
    bool rateEmu = false, doPktDump = false, doHexDump = false;

    // engine
    int verbose = 1;
    int threadCount = 1;
    int swsFlags = 4;  // bicubic
    std::vector<std::string> audioBitstreamFilters, videoBitstreamFilters, subtitleBitstreamFilters;
    std::array<int, kMaxStreams> streamIds{};  // "streamid", 0 = unset
};

}  // namespace vexlo
