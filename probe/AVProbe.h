#pragma once
// The media probe: container and stream facts of one media file and their text form.
// A probe either opens a file itself (Open) or reads a format context someone else
// opened (AttachContext, used by the converter for its task inputs). Not thread-safe: one
// thread uses a probe at a time.
#include <cstdint>
#include <string>

#include "engine/FFmpegLogger.h"
#include "engine/FFmpegPtr.h"
#include "probe/StreamInfo.h"

namespace vexlo {

class TCustomAVProbe {
public:
    TCustomAVProbe();
    virtual ~TCustomAVProbe();
    TCustomAVProbe(const TCustomAVProbe&) = delete;
    TCustomAVProbe& operator=(const TCustomAVProbe&) = delete;

    // Throws FFmpegException naming the first of avcodec, avformat, avutil, swscale that
    // is not loaded; true otherwise.
    static bool CheckLibraries();

    // Opens a file (UTF-8 name) with the detected format, or with FormatName when given,
    // and reads its stream information. False with LastError set on failure.
    bool Open(const std::string& FileName, const std::string& FormatName = "");
    // Reads a context opened elsewhere; the probe never closes it.
    virtual void AttachContext(AVFormatContext* AContext);
    // Closes an owned file, forgets an attached one, resets every fact.
    virtual void Close();

    TFileStreamInfo GetFileStreamInfo();
    // A negative index means the first stream of that kind.
    TAudioStreamInfo GetAudioStreamInfo(int StreamIndex = -1);
    TVideoStreamInfo GetVideoStreamInfo(int StreamIndex = -1);
    bool IsAudioStream(int StreamIndex);
    bool IsVideoStream(int StreamIndex);
    std::string GetFileName();
    std::string GetFormatName();
    // Lines ending in CR LF: file, format, size, times, metadata, programs, streams.
    std::string GetInfoText();

    bool Opened() const { return context_ != nullptr; }
    AVFormatContext* Context() const { return context_; }
    bool OwnsContext() const { return owned_ != nullptr; }
    const std::string& LastError() const { return lastError_; }
    const std::string& ForcedFormat() const { return forcedFormat_; }
    // Container duration in microseconds; -1 when unknown or no file is open.
    int64_t Duration() const;

    // -1 when no file is open; first-stream indexes -1 when there is none of that kind.
    int64_t FileSize() const { return fileSize_; }
    int32_t StreamCount() const { return streamCount_; }
    int32_t ProgramCount() const { return programCount_; }
    int32_t AudioStreamCount() const { return audioStreamCount_; }
    int32_t VideoStreamCount() const { return videoStreamCount_; }
    int32_t SubtitleStreamCount() const { return subtitleStreamCount_; }
    int32_t FirstAudioStream() const { return firstAudioStream_; }
    int32_t FirstVideoStream() const { return firstVideoStream_; }
    int32_t FirstSubtitleStream() const { return firstSubtitleStream_; }

protected:
    virtual void ReadInfo();
    // Sets LastError and logs it.
    void Fail(TLogLevel level, const std::string& text);
    // False (with "file not loaded.") when no file is open.
    bool NeedFile();

private:
    // Resolves a negative index to the first stream of the kind and checks the stream;
    // -1 with LastError set when it cannot be used.
    int CheckStream(int index, AVMediaType kind, int first, const char* noneText,
                    const char* kindText);
    bool IsStreamOfKind(int StreamIndex, AVMediaType kind);

    AVFormatContext* context_ = nullptr;
    ff::InputFormatPtr owned_;
    std::string fileName_;
    std::string lastError_;
    std::string forcedFormat_;
    int64_t fileSize_ = -1;
    int32_t streamCount_ = -1;
    int32_t programCount_ = -1;
    int32_t audioStreamCount_ = -1;
    int32_t videoStreamCount_ = -1;
    int32_t subtitleStreamCount_ = -1;
    int32_t firstAudioStream_ = -1;
    int32_t firstVideoStream_ = -1;
    int32_t firstSubtitleStream_ = -1;
};

// The probe the converter and the player own. It remembers the stream a decoding reader
// would start with: the first video stream, else the first audio stream, else -1.
class TAVProbe : public TCustomAVProbe {
public:
    int32_t DefaultStream() const { return defaultStream_; }

protected:
    void ReadInfo() override;

private:
    int32_t defaultStream_ = -1;
};

}  // namespace vexlo
