#pragma once
// Owners of FFmpeg objects. Every object the engine allocates lives in one of these.
#include <memory>

#include "engine/FFmpegApi.h"

namespace vexlo::ff {

struct FormatInputDeleter {
    void operator()(AVFormatContext* c) const { if (c) avformat.avformat_close_input(&c); }
};
struct FormatOutputDeleter {
    void operator()(AVFormatContext* c) const {
        if (!c) return;
        if (c->pb && c->oformat && !(c->oformat->flags & AVFMT_NOFILE)) avformat.avio_closep(&c->pb);
        avformat.avformat_free_context(c);
    }
};
struct CodecContextDeleter {
    void operator()(AVCodecContext* c) const { if (c) avcodec.avcodec_free_context(&c); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { if (f) avutil.av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { if (p) avcodec.av_packet_free(&p); }
};
struct SwsDeleter {
    void operator()(SwsContext* c) const { if (c) swscale.sws_freeContext(c); }
};
struct SwrDeleter {
    void operator()(SwrContext* c) const { if (c) swresample.swr_free(&c); }
};
struct FilterGraphDeleter {
    void operator()(AVFilterGraph* g) const { if (g) avfilter.avfilter_graph_free(&g); }
};
struct BsfDeleter {
    void operator()(AVBSFContext* b) const { if (b) avcodec.av_bsf_free(&b); }
};
struct AudioFifoDeleter {
    void operator()(AVAudioFifo* f) const { if (f) avutil.av_audio_fifo_free(f); }
};
struct AvFreeDeleter {
    void operator()(void* p) const { if (p) avutil.av_free(p); }
};

using InputFormatPtr = std::unique_ptr<AVFormatContext, FormatInputDeleter>;
using OutputFormatPtr = std::unique_ptr<AVFormatContext, FormatOutputDeleter>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using SwsPtr = std::unique_ptr<SwsContext, SwsDeleter>;
using SwrPtr = std::unique_ptr<SwrContext, SwrDeleter>;
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphDeleter>;
using BsfPtr = std::unique_ptr<AVBSFContext, BsfDeleter>;
using AudioFifoPtr = std::unique_ptr<AVAudioFifo, AudioFifoDeleter>;
template <class T>
using AvMemPtr = std::unique_ptr<T, AvFreeDeleter>;

// An AVDictionary that frees itself.
class Dictionary {
public:
    Dictionary() = default;
    ~Dictionary() { if (d_) avutil.av_dict_free(&d_); }
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;
    AVDictionary** operator&() { return &d_; }
    AVDictionary* get() const { return d_; }
    void Set(const char* key, const char* value) { avutil.av_dict_set(&d_, key, value, 0); }

private:
    AVDictionary* d_ = nullptr;
};

}  // namespace vexlo::ff
