#include "probe/AVProbe.h"

#include "engine/FFmpegException.h"
#include "engine/FFmpegLoader.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "probe/InfoText.h"
#include "probe/StreamFacts.h"

namespace vexlo {
namespace {

constexpr AVRational kMicroseconds{1, 1000000};

// The time base some streams arrive with is unusable (x/0); it is mended on the stream
// itself so that every later reader rescales with the same value.
void RepairTimeBase(AVStream* st) {
    if (st->time_base.den != 0) return;
    st->time_base.den = st->time_base.num;
    if (st->time_base.den == 0) st->time_base.den = 1;
}

void FillCommon(TCommonStreamInfo& info, AVStream* st) {
    RepairTimeBase(st);
    info.Language = MetadataValue(st->metadata, "language");
    info.CodecName = CodecNameOf(st->codecpar);
    info.StartTime = st->start_time;
    if (st->start_time != AV_NOPTS_VALUE)
        info.StartTimeUs = ff::avutil.av_rescale_q(st->start_time, st->time_base, kMicroseconds);
    info.Duration = st->duration;
    if (st->duration != AV_NOPTS_VALUE)
        info.DurationUs = ff::avutil.av_rescale_q(st->duration, st->time_base, kMicroseconds);
    int64_t bitRate = st->codecpar->bit_rate;
    info.BitRate = bitRate > INT32_MAX ? INT32_MAX : static_cast<int32_t>(bitRate);
}

}  // namespace

TCustomAVProbe::TCustomAVProbe() = default;

TCustomAVProbe::~TCustomAVProbe() { TCustomAVProbe::Close(); }

bool TCustomAVProbe::CheckLibraries() {
    struct Required {
        int index;
        const char* text;
    };
    static const Required kRequired[] = {
        {LIB_AVCODEC, "LibAVCodec not loaded."},
        {LIB_AVFORMAT, "LibAVFormat not loaded."},
        {LIB_AVUTIL, "LibAVUtil not loaded."},
        {LIB_SWSCALE, "LibSwScale not loaded."},
    };
    auto& loader = TFFmpegLoader::Instance();
    for (const auto& r : kRequired)
        if (!loader.IsLoaded(r.index)) throw FFmpegException(r.text);
    return true;
}

void TCustomAVProbe::Fail(TLogLevel level, const std::string& text) {
    lastError_ = text;
    FFLogger().Log(this, level, text);
}

bool TCustomAVProbe::NeedFile() {
    if (context_) return true;
    Fail(llWarning, "file not loaded.");
    return false;
}

bool TCustomAVProbe::Open(const std::string& FileName, const std::string& FormatName) {
    CheckLibraries();
    Close();
    const AVInputFormat* format = nullptr;
    if (!FormatName.empty()) {
        format = ff::avformat.av_find_input_format(FormatName.c_str());
        if (!format) {
            Fail(llError, Format("Unknown input format: %s", FormatName.c_str()));
            return false;
        }
    }
    // File names are UTF-8 and reach the library unchanged.
    int openResult = 0;
    int infoResult = 0;
    {
        CodecLock lock;
        AVFormatContext* raw = nullptr;
        openResult = ff::avformat.avformat_open_input(&raw, FileName.c_str(), format, nullptr);
        if (openResult >= 0) {
            owned_.reset(raw);
            context_ = raw;
            infoResult = ff::avformat.avformat_find_stream_info(raw, nullptr);
        }
    }
    fileName_ = FileName;
    if (openResult < 0) {
        Fail(llError, PrintError(FileName, openResult));
        Close();
        return false;
    }
    if (infoResult < 0) {
        Fail(llError, Format("%s: could not find codec parameters", FileName.c_str()));
        Close();
        return false;
    }
    ReadInfo();
    forcedFormat_ = FormatName;
    return true;
}

void TCustomAVProbe::AttachContext(AVFormatContext* AContext) {
    CheckLibraries();
    Close();
    context_ = AContext;
    fileName_ = AContext && AContext->url ? AContext->url : "";
    ReadInfo();
}

void TCustomAVProbe::Close() {
    forcedFormat_.clear();
    if (owned_) {
        // Closing frees the decoders the stream analysis opened.
        CodecLock lock;
        owned_.reset();
    }
    context_ = nullptr;
    fileName_.clear();
    ReadInfo();
}

void TCustomAVProbe::ReadInfo() {
    fileSize_ = -1;
    streamCount_ = programCount_ = -1;
    audioStreamCount_ = videoStreamCount_ = subtitleStreamCount_ = -1;
    firstAudioStream_ = firstVideoStream_ = firstSubtitleStream_ = -1;
    if (!context_) return;

    int64_t size = context_->pb ? ff::avformat.avio_size(context_->pb) : -1;
    if (size <= 0 && context_->url && FileExists(context_->url) && !DirectoryExists(context_->url))
        size = ::vexlo::FileSize(context_->url);
    fileSize_ = size;

    streamCount_ = static_cast<int32_t>(context_->nb_streams);
    programCount_ = static_cast<int32_t>(context_->nb_programs);
    audioStreamCount_ = videoStreamCount_ = subtitleStreamCount_ = 0;
    for (int i = 0; i < streamCount_; ++i) {
        switch (context_->streams[i]->codecpar->codec_type) {
            case AVMEDIA_TYPE_VIDEO:
                ++videoStreamCount_;
                if (firstVideoStream_ < 0) firstVideoStream_ = i;
                break;
            case AVMEDIA_TYPE_AUDIO:
                ++audioStreamCount_;
                if (firstAudioStream_ < 0) firstAudioStream_ = i;
                break;
            case AVMEDIA_TYPE_SUBTITLE:
                ++subtitleStreamCount_;
                if (firstSubtitleStream_ < 0) firstSubtitleStream_ = i;
                break;
            default:
                break;
        }
    }
}

int64_t TCustomAVProbe::Duration() const {
    if (!context_ || context_->duration == AV_NOPTS_VALUE || context_->duration < 0) return -1;
    return context_->duration;
}

TFileStreamInfo TCustomAVProbe::GetFileStreamInfo() {
    if (!NeedFile()) return {};
    return ReadFileStreamInfo(context_);
}

int TCustomAVProbe::CheckStream(int index, AVMediaType kind, int first, const char* noneText,
                                const char* kindText) {
    if (index < 0) {
        if (first < 0) {
            Fail(llError, noneText);
            return -1;
        }
        index = first;
    }
    if (index >= streamCount_) {
        Fail(llError, Format("stream index #%d is invalid.", index));
        return -1;
    }
    if (context_->streams[index]->codecpar->codec_type != kind) {
        Fail(llError, Format("stream #%d is not %s stream.", index, kindText));
        return -1;
    }
    return index;
}

TAudioStreamInfo TCustomAVProbe::GetAudioStreamInfo(int StreamIndex) {
    TAudioStreamInfo info;
    if (!NeedFile()) return info;
    int index = CheckStream(StreamIndex, AVMEDIA_TYPE_AUDIO, firstAudioStream_, "no audio stream.", "audio");
    if (index < 0) return info;
    AVStream* st = context_->streams[index];
    FillCommon(info, st);
    info.Channels = st->codecpar->ch_layout.nb_channels;
    info.SampleRate = st->codecpar->sample_rate;
    info.SampleFormat = st->codecpar->format;
    return info;
}

TVideoStreamInfo TCustomAVProbe::GetVideoStreamInfo(int StreamIndex) {
    TVideoStreamInfo info;
    if (!NeedFile()) return info;
    int index = CheckStream(StreamIndex, AVMEDIA_TYPE_VIDEO, firstVideoStream_, "no video stream.", "video");
    if (index < 0) return info;
    AVStream* st = context_->streams[index];
    const AVCodecParameters* par = st->codecpar;
    FillCommon(info, st);
    info.Height = par->height;
    info.Width = par->width;
    if (par->width > 0 && par->height > 0) {
        // An unknown sample aspect (0:1) means square pixels.
        AVRational sar = st->sample_aspect_ratio.num ? st->sample_aspect_ratio : par->sample_aspect_ratio;
        double sampleAspect = sar.num > 0 && sar.den > 0 ? av_q2d(sar) : 1.0;
        info.AspectRatio = static_cast<float>(sampleAspect * par->width / par->height);
    }
    info.PixelFormat = par->format;
    info.FrameRateNum = st->r_frame_rate.num;
    info.FrameRateDen = st->r_frame_rate.den;
    return info;
}

bool TCustomAVProbe::IsStreamOfKind(int StreamIndex, AVMediaType kind) {
    if (!NeedFile()) return false;
    if (StreamIndex < 0 || StreamIndex >= streamCount_) {
        Fail(llError, Format("stream index #%d is invalid.", StreamIndex));
        return false;
    }
    return context_->streams[StreamIndex]->codecpar->codec_type == kind;
}

bool TCustomAVProbe::IsAudioStream(int StreamIndex) { return IsStreamOfKind(StreamIndex, AVMEDIA_TYPE_AUDIO); }

bool TCustomAVProbe::IsVideoStream(int StreamIndex) { return IsStreamOfKind(StreamIndex, AVMEDIA_TYPE_VIDEO); }

std::string TCustomAVProbe::GetFileName() {
    if (!NeedFile()) return {};
    return fileName_;
}

std::string TCustomAVProbe::GetFormatName() {
    if (!NeedFile()) return {};
    return context_->iformat && context_->iformat->name ? context_->iformat->name : "";
}

std::string TCustomAVProbe::GetInfoText() {
    if (!NeedFile()) return {};
    return InfoText(context_, fileName_, fileSize_, ReadFileStreamInfo(context_));
}

void TAVProbe::ReadInfo() {
    TCustomAVProbe::ReadInfo();
    defaultStream_ = FirstVideoStream() >= 0 ? FirstVideoStream() : FirstAudioStream();
}

}  // namespace vexlo
