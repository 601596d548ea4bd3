#pragma once
// Internal state of TCustomFFmpeg: opened files, stream records, generic parameters,
// buffers and threads. Only the engine's transcoder sources include this.
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/ConvertThread.h"
#include "engine/FFmpeg.h"
#include "engine/FFmpegPtr.h"
#include "engine/FrameBitmap.h"
#include "engine/TimeFormat.h"

namespace vexlo {

// Parameters set through the generic setter, per media kind, in the order they were set.
using TParamList = std::vector<std::pair<std::string, std::string>>;

struct TInputStream {
    int fileIndex = 0;
    int index = 0;
    AVStream* st = nullptr;
    bool discard = true;  // not used by any output
    bool decodingNeeded = false;
    const AVCodec* decoder = nullptr;  // chosen by name at open time
    ff::CodecContextPtr dec;
    ff::FramePtr frame;
    int64_t start = 0;  // wall clock, rate emulation
    int64_t nextPts = kNoPTS;
    int64_t pts = 0;  // microseconds
    bool isStart = true;
    bool pastRecordingTime = false;
    bool sawFirstTs = false;
};

struct TOutputStream {
    int fileIndex = 0;
    int index = 0;
    AVStream* st = nullptr;
    int sourceIndex = -1;  // into State::ist
    int syncIndex = -1;
    AVMediaType kind = AVMEDIA_TYPE_UNKNOWN;
    bool copy = false;
    bool encodingNeeded = false;
    const AVCodec* encoder = nullptr;
    ff::CodecContextPtr enc;
    std::vector<ff::BsfPtr> bsfs;
    std::vector<std::string> bsfNames;
    int frameNumber = 0;
    int64_t nextPts = 0;  // frames or samples in the encoder's time base
    bool wroteAny = false;
    int64_t lastMuxDts = kNoPTS;
    // video
    int cropTop = 0, cropBottom = 0, cropLeft = 0, cropRight = 0;
    ff::SwsPtr sws;
    int swsW = 0, swsH = 0, swsFmt = -1;
    ff::FramePtr scaled;
    ff::FilterGraphPtr graph;
    AVFilterContext* bufferSrc = nullptr;
    AVFilterContext* bufferSink = nullptr;
    std::string filterText;
    bool forceFps = false;
    double quality = 0;
    // audio
    ff::SwrPtr swr;
    int swrInRate = 0, swrInFmt = -1;
    AVChannelLayout swrInLayout{};
    ff::AudioFifoPtr fifo;
    int64_t fifoPts = kNoPTS;
    // two-pass log
    FILE* passLog = nullptr;
    std::string passLogName;
    int64_t lastCodedPts = kNoPTS;
    int lastQuality = 0;
    int statsFrames = 0;
    bool lastKey = false;
};

struct TInputFile {
    ff::InputFormatPtr ctx;
    int64_t tsOffset = 0;
    std::array<double, kMaxStreams> tsScale{};
    bool eofReached = false;
    int istIndex = 0;
    int nbStreams = 0;
    bool noPacket = false;
    const AVCodec* forcedDecoder[3] = {nullptr, nullptr, nullptr};  // video, audio, subtitle
    int64_t seekTarget = 0;
    bool seeked = false;  // read from a start time ("ss")
};

struct TOutputFile {
    ff::OutputFormatPtr ctx;
    std::string fileName;
    std::vector<std::unique_ptr<TOutputStream>> streams;
    bool headerWritten = false;
};

// A frame-processing plug-in (option "vhook"): a shared library with Configure, Process
// and Release entry points, called with this picture description.
struct TVhookPicture {
    uint8_t* data[4];
    int linesize[4];
};
using TVhookConfigure = int (*)(void** ctx, int argc, char* argv[]);
using TVhookProcess = void (*)(void* ctx, TVhookPicture* pict, int pixFmt, int width, int height, int64_t pts);
using TVhookRelease = void (*)(void* ctx);
struct TPluginHook {
    void* ctx = nullptr;
    TVhookConfigure configure = nullptr;
    TVhookProcess process = nullptr;
    TVhookRelease release = nullptr;
};

struct TCustomFFmpeg::State {
    std::vector<TPluginHook> plugins;
    bool pluginsActive = false;

    std::vector<TInputFile> inputs;
    std::vector<TOutputFile> outputs;
    std::vector<std::unique_ptr<TInputStream>> ist;
    std::vector<TOutputStream*> ost;  // all output streams in file order

    // generic parameters: video, audio, data, subtitle, attachment, then container, scaler
    TParamList codecParams[5];
    TParamList formatParams;
    TParamList swsParams;
    std::vector<std::string> setNames;

    // counters
    int64_t videoSize = 0, audioSize = 0, extraSize = 0;
    int dupFrames = 0, dropFrames = 0;
    bool reportChanged = false;
    int64_t runStart = 0, lastProgress = 0;
    int64_t lastPreview = 0;
    int qpHistogram[52] = {};
    FILE* vstats = nullptr;

    // hook and preview
    TFrameBitmap hookConverter, previewConverter;
    int previewFlags = 0;

    // threads
    std::unique_ptr<TConvertThread> worker;
    std::thread terminator;
    std::mutex pauseMutex;
    std::condition_variable pauseCv;
    std::mutex runMutex;
    std::condition_variable runCv;
    bool runDone = true;
    bool terminateDone = true;
};

}  // namespace vexlo

namespace vexlo {

// Codec lookup by (possibly legacy) name; nullptr for an empty name. Throws
// FFmpegException with the lookup's message (also left in error).
const AVCodec* LookupCodec(const std::string& name, AVMediaType kind, bool encoder, int strictness, std::string& error);
// Applies generic parameters to a codec context (its private options included); names the
// codec does not know are left out.
void ApplyCodecParams(AVCodecContext* ctx, const TParamList& params);
std::mutex& EnginePreviewMutex();
void ReleasePlugins(TCustomFFmpeg::State& s);
// Deinterlaces a planar 8-bit picture in place; false for other formats.
bool DeinterlaceFrame(AVFrame* frame);

}  // namespace vexlo
