// The run of one task: stream mapping, codec set-up, the main loop, packet processing,
// encoding, writing, the end of the run and the progress report.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "engine/FFmpegLoader.h"
#include "engine/FFmpegLogger.h"
#include "engine/TranscoderState.h"
#include "platform/Text.h"

namespace vexlo {

// The two-pass statistics given to an encoder belong to us, not to the library.
void FreeEncoder(TOutputStream& os) {
    if (os.enc) ff::avutil.av_freep(&os.enc->stats_in);
    os.enc.reset();
}

// An audio frame of n samples in the encoder's format; null when memory runs out.
ff::FramePtr EncoderAudioFrame(const AVCodecContext* c, int n) {
    ff::FramePtr f(ff::avutil.av_frame_alloc());
    if (!f) return f;
    f->nb_samples = n;
    f->format = c->sample_fmt;
    f->sample_rate = c->sample_rate;
    ff::avutil.av_channel_layout_copy(&f->ch_layout, &c->ch_layout);
    if (ff::avutil.av_frame_get_buffer(f.get(), 0) < 0) f.reset();
    return f;
}

namespace {
[[noreturn]] void Fail(const std::string& m) { throw FFmpegException(m); }
int64_t Now() { return ff::avutil.av_gettime_relative(); }
const char* KindText(AVMediaType t) {
    const char* s = ff::avutil.av_get_media_type_string(t);
    return s ? s : "unknown";
}
}  // namespace

// The transcoder's run, with access to the task's private state.
struct TranscoderAccess {
    TCustomFFmpeg& t;
    TTranscoderOptions& o;
    TCustomFFmpeg::State& s;
    std::vector<uint8_t> subtitleBuffer;
    bool hookActive = false;
    bool multiWarned = false;

    explicit TranscoderAccess(TCustomFFmpeg& task) : t(task), o(task.opt_), s(*task.st_) {}

    void Log(TLogLevel l, const std::string& m) { FFLogger().Log(&t, l, m); }

    // ---------------------------------------------------------------- set-up
    void BuildInputStreams() {
        s.ist.clear();
        for (size_t f = 0; f < s.inputs.size(); ++f) {
            TInputFile& in = s.inputs[f];
            in.istIndex = static_cast<int>(s.ist.size());
            for (unsigned i = 0; i < in.ctx->nb_streams; ++i) {
                auto is = std::make_unique<TInputStream>();
                is->fileIndex = static_cast<int>(f);
                is->index = static_cast<int>(i);
                is->st = in.ctx->streams[i];
                AVMediaType k = is->st->codecpar->codec_type;
                int slot = k == AVMEDIA_TYPE_VIDEO ? 0 : k == AVMEDIA_TYPE_AUDIO ? 1 : k == AVMEDIA_TYPE_SUBTITLE ? 2 : -1;
                is->decoder = slot >= 0 ? in.forcedDecoder[slot] : nullptr;
                if (o.rateEmu) is->start = Now();
                s.ist.push_back(std::move(is));
            }
        }
    }

    TInputStream* FindInput(int file, int stream) {
        if (file < 0 || file >= static_cast<int>(s.inputs.size())) return nullptr;
        if (stream < 0 || stream >= s.inputs[file].nbStreams) return nullptr;
        return s.ist[s.inputs[file].istIndex + stream].get();
    }

    void MapStreams() {
        for (size_t f = 0; f < s.outputs.size(); ++f) {
            if (s.outputs[f].ctx->nb_streams == 0) {
                ff::avformat.av_dump_format(s.outputs[f].ctx.get(), static_cast<int>(f), s.outputs[f].fileName.c_str(), 1);
                Fail(Format("Output file #%d does not contain any stream", static_cast<int>(f)));
            }
        }
        if (!o.streamMaps.empty()) {
            if (o.streamMaps.size() != s.ost.size()) Fail("Number of stream maps must match number of output streams");
            for (auto& m : o.streamMaps) {
                if (!FindInput(m.file, m.stream)) Fail(Format("Could not find input stream #%d.%d", m.file, m.stream));
                if (!FindInput(m.syncFile, m.syncStream))
                    Fail(Format("Could not find sync stream #%d.%d", m.syncFile, m.syncStream));
            }
        }
        std::vector<bool> used(s.ist.size(), false);
        for (size_t n = 0; n < s.ost.size(); ++n) {
            TOutputStream* os = s.ost[n];
            int chosen = -1, sync = -1;
            if (!o.streamMaps.empty()) {
                auto& m = o.streamMaps[n];
                TInputStream* is = FindInput(m.file, m.stream);
                if (is->st->codecpar->codec_type != os->kind)
                    Fail(Format("Codec type mismatch for mapping #%d.%d (%s) -> #%d.%d (%s)", m.file, m.stream,
                                KindText(is->st->codecpar->codec_type), os->fileIndex, os->index, KindText(os->kind)));
                chosen = s.inputs[m.file].istIndex + m.stream;
                sync = s.inputs[m.syncFile].istIndex + m.syncStream;
            } else {
                for (size_t i = 0; i < s.ist.size() && chosen < 0; ++i)
                    if (!used[i] && s.ist[i]->st->discard != AVDISCARD_ALL && s.ist[i]->st->codecpar->codec_type == os->kind)
                        chosen = static_cast<int>(i);
                if (chosen < 0)
                    for (size_t i = 0; i < s.ist.size(); ++i)
                        if (s.ist[i]->st->discard != AVDISCARD_ALL && s.ist[i]->st->codecpar->codec_type == os->kind)
                            chosen = static_cast<int>(i);
                if (chosen < 0) {
                    ff::avformat.av_dump_format(s.outputs[os->fileIndex].ctx.get(), os->fileIndex,
                                                s.outputs[os->fileIndex].fileName.c_str(), 1);
                    Fail(Format("Could not find input stream matching output stream #%d.%d (%s)", os->fileIndex, os->index,
                                KindText(os->kind)));
                }
                sync = chosen;
            }
            used[chosen] = true;
            os->sourceIndex = chosen;
            os->syncIndex = sync;
            s.ist[chosen]->discard = false;
        }
    }

    void SetupCopy(TOutputStream* os, TInputStream* is) {
        AVCodecParameters* ipar = is->st->codecpar;
        if (ipar->extradata_size + 8LL > INT32_MAX) Fail("icodec.extradata_size is invalid (too large)");
        if (os->kind == AVMEDIA_TYPE_VIDEO) {
            if (hookActive) Fail("-vcodec copy and CustomHook are incompatible (frames are not decoded)");
            if (s.plugins.size()) Fail("-vcodec copy and -vhook are incompatible (frames are not decoded)");
            if (s.previewFlags) Fail("-vcodec copy and PostHooks are incompatible (frames are not decoded)");
        } else if (os->kind == AVMEDIA_TYPE_AUDIO) {
            if (o.volume != 256) Fail("-acodec copy and -vol are incompatible (frames are not decoded)");
        } else if (os->kind != AVMEDIA_TYPE_SUBTITLE) {
            Fail("invalid codec_type of output stream");
        }
        AVStream* st = os->st;
        uint32_t wantedTag = os->enc ? os->enc->codec_tag : 0;
        if (ff::avcodec.avcodec_parameters_copy(st->codecpar, ipar) < 0) Fail("av_mallocz fail");
        const AVOutputFormat* of = s.outputs[os->fileIndex].ctx->oformat;
        if (wantedTag) {
            st->codecpar->codec_tag = wantedTag;
        } else {
            unsigned tag = ipar->codec_tag;
            bool keep = !of->codec_tag ||
                        ff::avformat.av_codec_get_id(of->codec_tag, tag) == ipar->codec_id ||
                        !ff::avformat.av_codec_get_tag(of->codec_tag, ipar->codec_id);
            st->codecpar->codec_tag = keep ? tag : 0;
        }
        if (os->kind == AVMEDIA_TYPE_AUDIO && (ipar->codec_id == AV_CODEC_ID_AC3 ||
                                               (ipar->codec_id == AV_CODEC_ID_MP3 && ipar->block_align == 1)))
            st->codecpar->block_align = 0;
        if (os->kind == AVMEDIA_TYPE_VIDEO && os->enc && os->enc->sample_aspect_ratio.num)
            st->sample_aspect_ratio = st->codecpar->sample_aspect_ratio = os->enc->sample_aspect_ratio;
        else
            st->sample_aspect_ratio = is->st->sample_aspect_ratio;
        st->time_base = is->st->time_base;
        st->avg_frame_rate = is->st->avg_frame_rate;
        st->r_frame_rate = is->st->r_frame_rate;
        os->copy = true;
    }

    std::string BuildFilterText(TOutputStream* os, int inW, int inH) {
        std::string chain;
        AVCodecContext* c = os->enc.get();
        if (os->cropTop || os->cropBottom || os->cropLeft || os->cropRight)
            chain += Format("crop=%d:%d:%d:%d,", inW - os->cropLeft - os->cropRight, inH - os->cropTop - os->cropBottom,
                            os->cropLeft, os->cropTop);
        int cw = inW - os->cropLeft - os->cropRight, ch = inH - os->cropTop - os->cropBottom;
        if (cw != c->width || ch != c->height) chain += Format("scale=%d:%d:flags=0x%X,", c->width, c->height, o.swsFlags);
        chain += os->filterText.empty() ? "null" : os->filterText;
        return chain;
    }

    void SetupFilters(TOutputStream* os, TInputStream* is) {
        AVCodecParameters* ip = is->st->codecpar;
        AVCodecContext* c = os->enc.get();
        os->graph.reset(ff::avfilter.avfilter_graph_alloc());
        if (!os->graph) Fail("Error opening filters!");
        AVFilterGraph* g = os->graph.get();
        std::string sws = Format("flags=0x%X", o.swsFlags);
        g->scale_sws_opts = ff::avutil.av_strdup(sws.c_str());
        AVRational sar = is->st->sample_aspect_ratio.num ? is->st->sample_aspect_ratio : ip->sample_aspect_ratio;
        if (!sar.num) sar = AVRational{0, 1};
        std::string args = Format("video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", ip->width, ip->height,
                                  ip->format, 1, AV_TIME_BASE, sar.num, sar.den);
        auto check = [&](int r) {
            if (r < 0) Fail("Error opening filters: " + ErrorText(r));
        };
        check(ff::avfilter.avfilter_graph_create_filter(&os->bufferSrc, ff::avfilter.avfilter_get_by_name("buffer"), "src",
                                                        args.c_str(), nullptr, g));
        check(ff::avfilter.avfilter_graph_create_filter(&os->bufferSink, ff::avfilter.avfilter_get_by_name("buffersink"),
                                                        "out", nullptr, nullptr, g));
        AVPixelFormat fmts[2] = {c->pix_fmt, AV_PIX_FMT_NONE};
        check(ff::avutil.av_opt_set_bin(os->bufferSink, "pix_fmts", reinterpret_cast<const uint8_t*>(fmts),
                                        sizeof(AVPixelFormat), AV_OPT_SEARCH_CHILDREN));
        AVFilterInOut* outputs = ff::avfilter.avfilter_inout_alloc();
        AVFilterInOut* inputs = ff::avfilter.avfilter_inout_alloc();
        outputs->name = ff::avutil.av_strdup("in");
        outputs->filter_ctx = os->bufferSrc;
        inputs->name = ff::avutil.av_strdup("out");
        inputs->filter_ctx = os->bufferSink;
        std::string text = BuildFilterText(os, ip->width, ip->height);
        int r = ff::avfilter.avfilter_graph_parse_ptr(g, text.c_str(), &inputs, &outputs, nullptr);
        ff::avfilter.avfilter_inout_free(&inputs);
        ff::avfilter.avfilter_inout_free(&outputs);
        check(r);
        check(ff::avfilter.avfilter_graph_config(g, nullptr));
        c->width = ff::avfilter.av_buffersink_get_w(os->bufferSink);
        c->height = ff::avfilter.av_buffersink_get_h(os->bufferSink);
        AVRational fsar = ff::avfilter.av_buffersink_get_sample_aspect_ratio(os->bufferSink);
        if (fsar.num && !c->sample_aspect_ratio.num) c->sample_aspect_ratio = fsar;
    }

    void SetupEncoded(TOutputStream* os, TInputStream* is) {
        AVCodecContext* c = os->enc.get();
        if (os->kind == AVMEDIA_TYPE_VIDEO) {
            if (c->pix_fmt == AV_PIX_FMT_NONE) Fail("Video pixel format is unknown, stream cannot be encoded");
            AVCodecParameters* ip = is->st->codecpar;
            if (c->width <= 0 || c->height <= 0) {
                c->width = ip->width - os->cropLeft - os->cropRight;
                c->height = ip->height - os->cropTop - os->cropBottom;
            }
            // The filter graph does the crop and scale; it adapts to size changes on its own.
            SetupFilters(os, is);
        } else if (os->kind == AVMEDIA_TYPE_AUDIO) {
            os->fifo.reset(ff::avutil.av_audio_fifo_alloc(c->sample_fmt, c->ch_layout.nb_channels, 1024));
            if (!os->fifo) Fail("av_fifo_alloc fail");
        }
        os->encodingNeeded = true;
        is->decodingNeeded = true;
    }

    void SetupPassLog(TOutputStream* os, int position) {
        AVCodecContext* c = os->enc.get();
        if (!(c->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2))) return;
        std::string prefix = o.passLogFile.empty() ? "ffmpeg2pass" : o.passLogFile;
        os->passLogName = Format("%s-%d.log", prefix.c_str(), position).substr(0, 1023);
        // libx264 keeps its own statistics file
        if (os->encoder && std::strcmp(os->encoder->name, "libx264") == 0) {
            ff::avutil.av_opt_set(c, "stats", os->passLogName.c_str(), AV_OPT_SEARCH_CHILDREN);
            return;
        }
        if (c->flags & AV_CODEC_FLAG_PASS1) {
            os->passLog = std::fopen(os->passLogName.c_str(), "wb");
            if (!os->passLog) Fail(Format("Cannot write log file %s for pass-1 encoding", os->passLogName.c_str()));
        } else {
            FILE* f = std::fopen(os->passLogName.c_str(), "rb");
            if (!f) Fail(Format("Cannot read file: Error reading log file \"%s\" for pass-2 encoding", os->passLogName.c_str()));
            std::string data;
            char buf[65536];
            size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
            std::fclose(f);
            c->stats_in = static_cast<char*>(ff::avutil.av_malloc(data.size() + 1));
            if (!c->stats_in)
                Fail(Format("Could not allocate file buffer: Error reading log file \"%s\" for pass-2 encoding",
                            os->passLogName.c_str()));
            std::memcpy(c->stats_in, data.c_str(), data.size() + 1);
        }
    }

    void OpenEncoder(TOutputStream* os) {
        AVCodecContext* c = os->enc.get();
        auto fail = [&](const std::string& msg) {
            ff::avutil.av_log(nullptr, AV_LOG_ERROR, "%s\n", msg.c_str());
            Fail(msg);
        };
        if (!os->encoder) os->encoder = ff::avcodec.avcodec_find_encoder(c->codec_id);
        if (!os->encoder)
            fail(Format("Encoder (codec id %d) not found for output stream #%d.%d (%s)", c->codec_id, os->fileIndex,
                        os->index, KindText(os->kind)));
        if (c->rc_buffer_size && !c->rc_initial_buffer_occupancy) c->rc_initial_buffer_occupancy = c->rc_buffer_size * 3 / 4;
        if (os->kind == AVMEDIA_TYPE_VIDEO && !(os->encoder->capabilities & AV_CODEC_CAP_EXPERIMENTAL)) c->thread_count = 0;
        int r;
        {
            CodecLock lock;
            r = ff::avcodec.avcodec_open2(c, os->encoder, nullptr);
        }
        if (r < 0)
            fail(Format("Error while opening encoder for output stream #%d.%d (%s) - maybe incorrect parameters such as "
                        "bit_rate, rate, width or height. Please check error log message to find out more detail "
                        "information.",
                        os->fileIndex, os->index, KindText(os->kind)));
        s.extraSize += c->extradata_size;
        ff::avcodec.avcodec_parameters_from_context(os->st->codecpar, c);
        os->st->time_base = c->time_base;
        if (os->kind == AVMEDIA_TYPE_VIDEO) {
            os->st->avg_frame_rate = c->framerate;
            os->st->sample_aspect_ratio = c->sample_aspect_ratio;
        }
        for (const std::string& bsfText : os->bsfNames) {
            std::string name = bsfText.substr(0, bsfText.find('='));
            const AVBitStreamFilter* f = ff::avcodec.av_bsf_get_by_name(name.c_str());
            AVBSFContext* b = nullptr;
            if (!f || ff::avcodec.av_bsf_alloc(f, &b) < 0) Fail(Format("Unknown bitstream filter %s", name.c_str()));
            ff::BsfPtr holder(b);
            ff::avcodec.avcodec_parameters_copy(b->par_in, os->st->codecpar);
            b->time_base_in = os->st->time_base;
            if (ff::avcodec.av_bsf_init(b) < 0) Fail(Format("Unknown bitstream filter %s", name.c_str()));
            os->bsfs.push_back(std::move(holder));
        }
    }

    void OpenDecoder(TInputStream* is) {
        AVCodecParameters* p = is->st->codecpar;
        const AVCodec* dec = is->decoder ? is->decoder : ff::avcodec.avcodec_find_decoder(p->codec_id);
        if (!dec)
            Fail(Format("Decoder (codec id %d) not found for input stream #%d.%d (%s)", p->codec_id, is->fileIndex, is->index,
                        KindText(p->codec_type)));
        is->dec.reset(ff::avcodec.avcodec_alloc_context3(dec));
        if (!is->dec || ff::avcodec.avcodec_parameters_to_context(is->dec.get(), p) < 0) Fail("av_mallocz fail");
        is->dec->pkt_timebase = is->st->time_base;
        is->dec->thread_count = 0;
        ff::Dictionary opts;
        opts.Set("max_pixels", std::to_string(16384LL * 8640).c_str());
        int r;
        {
            CodecLock lock;
            r = ff::avcodec.avcodec_open2(is->dec.get(), dec, &opts);
        }
        if (r < 0)
            Fail(Format("Error while opening decoder for input stream #%d.%d (%s)", is->fileIndex, is->index,
                        KindText(p->codec_type)));
        is->frame.reset(ff::avutil.av_frame_alloc());
    }

    void CopyChaptersAndMetadata() {
        for (auto& m : o.metaDataMaps) {
            if (m.outFile < 0 || m.outFile >= static_cast<int>(s.outputs.size()))
                Fail(Format("Invalid output file index %d map_meta_data(%d,%d)", m.outFile, m.outFile, m.inFile));
            if (m.inFile < 0 || m.inFile >= static_cast<int>(s.inputs.size()))
                Fail(Format("Invalid input file index %d map_meta_data(%d,%d)", m.inFile, m.outFile, m.inFile));
            ff::avutil.av_dict_copy(&s.outputs[m.outFile].ctx->metadata, s.inputs[m.inFile].ctx->metadata, AV_DICT_DONT_OVERWRITE);
        }
    }

    void Setup() {
        hookActive = static_cast<bool>(t.onHook_);
        BuildInputStreams();
        MapStreams();
        int position = 0;
        for (TOutputStream* os : s.ost) {
            TInputStream* is = s.ist[os->sourceIndex].get();
            ff::avutil.av_dict_copy(&os->st->metadata, is->st->metadata, AV_DICT_DONT_OVERWRITE);
            os->st->disposition = is->st->disposition;
            if (os->copy) SetupCopy(os, is);
            else SetupEncoded(os, is);
            if (!os->copy) SetupPassLog(os, position);
            ++position;
        }
        for (TOutputStream* os : s.ost)
            if (os->encodingNeeded) OpenEncoder(os);
        for (auto& is : s.ist)
            if (is->decodingNeeded) OpenDecoder(is.get());
        for (auto& is : s.ist) {
            is->pts = 0;
            is->nextPts = kNoPTS;
            is->isStart = true;
        }
        CopyChaptersAndMetadata();
        for (size_t f = 0; f < s.outputs.size(); ++f) {
            TOutputFile& out = s.outputs[f];
            ff::Dictionary opts;
            for (const auto& [n, v] : s.formatParams) opts.Set(n.c_str(), v.c_str());
            if (o.muxPreload > 0) opts.Set("preload", std::to_string(static_cast<int64_t>(o.muxPreload * 1000000)).c_str());
            int r = ff::avformat.avformat_write_header(out.ctx.get(), &opts);
            if (r < 0) {
                std::string msg = Format("Could not write header for output file #%d (incorrect codec parameters ?)", static_cast<int>(f));
                ff::avutil.av_log(nullptr, AV_LOG_ERROR, "%s\n", msg.c_str());
                Fail(msg);
            }
            out.headerWritten = true;
            if (o.verbose >= 0) ff::avformat.av_dump_format(out.ctx.get(), static_cast<int>(f), out.fileName.c_str(), 1);
        }
        if (o.verbose >= 0) {
            Log(llVerbose, "Stream mapping:");
            for (TOutputStream* os : s.ost) {
                TInputStream* is = s.ist[os->sourceIndex].get();
                TInputStream* sy = s.ist[os->syncIndex].get();
                Log(llVerbose, Format("  Stream #%d.%d -> #%d.%d (%s)", is->fileIndex, is->index, os->fileIndex, os->index,
                                      os->copy ? "copy" : os->encoder ? os->encoder->name : "?"));
                if (sy != is) Log(llVerbose, Format(" [sync #%d.%d (%s)]", sy->fileIndex, sy->index, KindText(os->kind)));
            }
        }
    }

    // ---------------------------------------------------------------- writing
    void WritePacket(TOutputStream* os, AVPacket* pkt) {
        AVFormatContext* oc = s.outputs[os->fileIndex].ctx.get();
        pkt->stream_index = os->index;
        for (auto& b : os->bsfs) {
            int r = ff::avcodec.av_bsf_send_packet(b.get(), pkt);
            if (r >= 0) r = ff::avcodec.av_bsf_receive_packet(b.get(), pkt);
            if (r < 0) {
                if (r == AVERROR(EAGAIN)) return;
                std::string msg = Format("%s failed for stream %d, codec %s: %s", b->filter->name, os->index,
                                         os->copy ? "copy" : os->encoder->name, ErrorText(r).c_str());
                if (o.exitOnError) Fail(msg);
                Log(llError, msg);
            }
        }
        os->lastMuxDts = pkt->dts != AV_NOPTS_VALUE ? pkt->dts : pkt->pts;
        if (pkt->duration > 0 && os->lastMuxDts != AV_NOPTS_VALUE) os->lastMuxDts += pkt->duration;
        int r = ff::avformat.av_interleaved_write_frame(oc, pkt);
        if (r < 0) Fail("av_interleaved_write_frame(): " + ErrorText(r));
        os->wroteAny = true;
    }

    // Sends a frame (or the flush) to the encoder and writes what comes out.
    void Encode(TOutputStream* os, AVFrame* frame) {
        AVCodecContext* c = os->enc.get();
        int r = ff::avcodec.avcodec_send_frame(c, frame);
        if (r < 0 && r != AVERROR_EOF) Fail(os->kind == AVMEDIA_TYPE_VIDEO ? "Video encoding failed" : "Audio encoding failed");
        ff::PacketPtr pkt(ff::avcodec.av_packet_alloc());
        for (;;) {
            r = ff::avcodec.avcodec_receive_packet(c, pkt.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) break;
            if (r < 0) Fail(os->kind == AVMEDIA_TYPE_VIDEO ? "Video encoding failed" : "Audio encoding failed");
            int size = pkt->size;
            if (os->kind == AVMEDIA_TYPE_VIDEO) {
                s.videoSize += size;
                size_t sdSize = 0;
                uint8_t* sd = ff::avcodec.av_packet_get_side_data(pkt.get(), AV_PKT_DATA_QUALITY_STATS, &sdSize);
                int pictType = 0;
                if (sd && sdSize >= 5) {
                    os->lastQuality = static_cast<int>(sd[0] | sd[1] << 8 | sd[2] << 16 | static_cast<uint32_t>(sd[3]) << 24);
                    pictType = sd[4];
                }
                os->lastCodedPts = pkt->pts;
                os->lastKey = pkt->flags & AV_PKT_FLAG_KEY;
                if (os->passLog && c->stats_out) std::fputs(c->stats_out, os->passLog);
                if (s.vstats || !o.vstatsFile.empty()) WriteVstats(os, size, pictType);
            } else {
                s.audioSize += size;
            }
            ff::avcodec.av_packet_rescale_ts(pkt.get(), c->time_base, os->st->time_base);
            WritePacket(os, pkt.get());
            ff::avcodec.av_packet_unref(pkt.get());
        }
    }

    void WriteVstats(TOutputStream* os, int frameSize, int pictType) {
        if (!s.vstats) {
            s.vstats = std::fopen(o.vstatsFile.c_str(), "w");
            if (!s.vstats) Fail("fopen fail: " + o.vstatsFile);
        }
        AVCodecContext* c = os->enc.get();
        double q = os->lastQuality / double(FF_QP2LAMBDA);
        std::fprintf(s.vstats, "frame= %5d q= %2.1f ", ++os->statsFrames, q);
        std::fprintf(s.vstats, "f_size= %6d ", frameSize);
        double ti = os->nextPts * av_q2d(c->time_base);
        if (ti < 0.01) ti = 0.01;
        double bitrate = ti > 0 ? frameSize * 8 / av_q2d(c->time_base) / 1000.0 : 0;
        double avg = s.videoSize * 8.0 / ti / 1000.0;
        std::fprintf(s.vstats, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ", s.videoSize / 1024.0,
                     ti, bitrate, avg);
        char type = pictType ? ff::avutil.av_get_picture_type_char(static_cast<AVPictureType>(pictType)) : '?';
        std::fprintf(s.vstats, "type= %c\n", type);
    }

    // ---------------------------------------------------------------- video
    double SyncSeconds(TOutputStream* os) {
        TInputStream* sy = s.ist[os->syncIndex].get();
        return (sy->pts - (o.startTime > 0 ? o.startTime : 0)) / 1000000.0;
    }

    void VideoOut(TOutputStream* os, AVFrame* picture, double frameSeconds) {
        AVCodecContext* c = os->enc.get();
        AVFormatContext* oc = s.outputs[os->fileIndex].ctx.get();
        double tsec = frameSeconds - (o.startTime > 0 ? o.startTime / 1000000.0 : 0);
        double tt = tsec / av_q2d(c->time_base);
        int frames = 1;
        int method = o.videoSyncMethod;
        if (method == -1) method = (oc->oformat->flags & AVFMT_VARIABLE_FPS) ? ((oc->oformat->flags & AVFMT_NOTIMESTAMPS) ? 0 : 2) : 1;
        if (method != 0) {
            double delta = tt - os->nextPts;
            if (delta < -1.1) frames = 0;
            else if (method == 2) {
                if (delta <= -0.6) frames = 0;
                else if (delta > 0.6) os->nextPts = std::llround(tt);
            } else if (delta > 1.1) {
                frames = static_cast<int>(std::llround(delta));
            }
            if (frames == 0) {
                ++s.dropFrames;
                s.reportChanged = true;
                if (o.verbose > 2) Log(llVerbose, "*** drop!");
            } else if (frames > 1) {
                s.dupFrames += frames - 1;
                s.reportChanged = true;
                if (o.verbose > 2) Log(llVerbose, Format("*** %d dup!", frames - 1));
            }
        } else {
            os->nextPts = std::llround(tt);
        }
        int left = o.maxVideoFrames - os->frameNumber;
        if (frames > left) frames = left;
        for (int i = 0; i < frames && !t.stopRequested_; ++i) {
            picture->pts = os->nextPts;
            picture->pict_type = AV_PICTURE_TYPE_NONE;
            if (o.topFieldFirst >= 0) picture->top_field_first = o.topFieldFirst;
            if (c->flags & AV_CODEC_FLAG_QSCALE) picture->quality = c->global_quality;
            Encode(os, picture);
            PreviewStep(os, picture);
            ++os->nextPts;
            ++os->frameNumber;
        }
    }

    void PushVideo(TOutputStream* os, TInputStream* is, AVFrame* decoded) {
        AVFrame* in = decoded;
        in->pts = is->pts;  // microseconds, the source's time base
        int r = ff::avfilter.av_buffersrc_add_frame_flags(os->bufferSrc, in, AV_BUFFERSRC_FLAG_KEEP_REF);
        if (r < 0) Fail("Error while feeding the filtergraph");
        DrainFilter(os);
    }

    void DrainFilter(TOutputStream* os) {
        ff::FramePtr filtered(ff::avutil.av_frame_alloc());
        for (;;) {
            int r = ff::avfilter.av_buffersink_get_frame(os->bufferSink, filtered.get());
            if (r < 0) break;
            double sec = filtered->pts == AV_NOPTS_VALUE ? SyncSeconds(os) : filtered->pts / 1000000.0;
            if (filtered->sample_aspect_ratio.num) os->enc->sample_aspect_ratio = filtered->sample_aspect_ratio;
            VideoOut(os, filtered.get(), sec);
            ff::avutil.av_frame_unref(filtered.get());
        }
    }

    // ---------------------------------------------------------------- audio
    void EnsureResampler(TOutputStream* os, const AVFrame* f) {
        AVCodecContext* c = os->enc.get();
        if (os->swr && os->swrInRate == f->sample_rate && os->swrInFmt == f->format &&
            ff::avutil.av_channel_layout_compare(&os->swrInLayout, &f->ch_layout) == 0)
            return;
        SwrContext* swr = nullptr;
        int r = ff::swresample.swr_alloc_set_opts2(&swr, &c->ch_layout, c->sample_fmt, c->sample_rate, const_cast<AVChannelLayout*>(&f->ch_layout),
                                                   static_cast<AVSampleFormat>(f->format), f->sample_rate, 0, nullptr);
        os->swr.reset(swr);
        if (r < 0 || ff::swresample.swr_init(swr) < 0)
            Fail(Format("Can not resample %d channels @ %d Hz to %d channels @ %d Hz", f->ch_layout.nb_channels, f->sample_rate,
                        c->ch_layout.nb_channels, c->sample_rate));
        os->swrInRate = f->sample_rate;
        os->swrInFmt = f->format;
        ff::avutil.av_channel_layout_uninit(&os->swrInLayout);
        ff::avutil.av_channel_layout_copy(&os->swrInLayout, &f->ch_layout);
    }

    void ApplyVolume(AVFrame* f) {
        if (o.volume == 256) return;
        AVSampleFormat fmt = static_cast<AVSampleFormat>(f->format);
        int planes = ff::avutil.av_sample_fmt_is_planar(fmt) ? f->ch_layout.nb_channels : 1;
        int per = ff::avutil.av_sample_fmt_is_planar(fmt) ? f->nb_samples : f->nb_samples * f->ch_layout.nb_channels;
        for (int p = 0; p < planes; ++p) {
            if (fmt == AV_SAMPLE_FMT_S16 || fmt == AV_SAMPLE_FMT_S16P) {
                int16_t* d = reinterpret_cast<int16_t*>(f->extended_data[p]);
                for (int i = 0; i < per; ++i) {
                    int v = (d[i] * o.volume + 128) >> 8;
                    d[i] = static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
                }
            } else if (fmt == AV_SAMPLE_FMT_FLT || fmt == AV_SAMPLE_FMT_FLTP) {
                float* d = reinterpret_cast<float*>(f->extended_data[p]);
                for (int i = 0; i < per; ++i) {
                    float v = d[i] * o.volume / 256.0f;
                    d[i] = v < -1.0f ? -1.0f : v > 1.0f ? 1.0f : v;
                }
            }
        }
    }

    void EncodeFifo(TOutputStream* os, bool flush) {
        AVCodecContext* c = os->enc.get();
        bool variable = c->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
        int frameSize = c->frame_size > 1 ? c->frame_size : 0;
        for (;;) {
            int avail = ff::avutil.av_audio_fifo_size(os->fifo.get());
            int n = frameSize ? frameSize : avail;
            if (avail <= 0 || (avail < n && !flush)) break;
            if (frameSize && avail < n && flush && variable) n = avail;
            ff::FramePtr fr = EncoderAudioFrame(c, n);
            if (!fr) Fail("Out of memory in do_audio_out");
            int got = std::min(avail, n);
            if (got < n)
                ff::avutil.av_samples_set_silence(fr->extended_data, got, n - got, c->ch_layout.nb_channels, c->sample_fmt);
            ff::avutil.av_audio_fifo_read(os->fifo.get(), reinterpret_cast<void**>(fr->extended_data), got);
            fr->pts = os->nextPts;
            os->nextPts += n;
            Encode(os, fr.get());
            if (++os->frameNumber >= o.maxAudioFrames) break;
        }
    }

    void AudioOut(TOutputStream* os, TInputStream* is, AVFrame* f) {
        AVCodecContext* c = os->enc.get();
        EnsureResampler(os, f);
        int fifoSamples = ff::avutil.av_audio_fifo_size(os->fifo.get());
        double syncTime = SyncSeconds(os);
        const uint8_t** in = const_cast<const uint8_t**>(f->extended_data);
        int inSamples = f->nb_samples;
        int64_t delay = ff::swresample.swr_get_delay(os->swr.get(), c->sample_rate);
        int64_t expected = std::llround(syncTime * c->sample_rate) - fifoSamples - delay;
        if (is->isStart) {
            // The first block anchors the audio clock to the input's own time.
            if (o.audioSyncMethod == 0 || expected >= 0) os->nextPts = std::max<int64_t>(0, expected);
        }
        std::vector<uint8_t*> silencePlanes;
        ff::FramePtr silence;
        bool seekedStart = is->isStart && s.inputs[is->fileIndex].seeked && expected < 0;
        if (o.audioSyncMethod || seekedStart) {
            int64_t delta = expected - os->nextPts;
            if (is->isStart) delta = expected;
            if (std::llabs(delta) > 50 || seekedStart) {
                if (is->isStart || std::llabs(delta) > o.audioDriftThreshold * c->sample_rate) {
                    if (delta < 0) {
                        int64_t drop = -delta * f->sample_rate / c->sample_rate;
                        if (drop >= inSamples) return;
                        if (seekedStart) os->nextPts = 0;
                        if (o.verbose > 2) Log(llVerbose, Format("discarding %d audio samples", static_cast<int>(-delta)));
                        int bps = ff::avutil.av_get_bytes_per_sample(static_cast<AVSampleFormat>(f->format));
                        bool planar = ff::avutil.av_sample_fmt_is_planar(static_cast<AVSampleFormat>(f->format));
                        int planes = planar ? f->ch_layout.nb_channels : 1;
                        silencePlanes.resize(planes);
                        for (int p = 0; p < planes; ++p)
                            silencePlanes[p] = f->extended_data[p] + drop * bps * (planar ? 1 : f->ch_layout.nb_channels);
                        in = const_cast<const uint8_t**>(silencePlanes.data());
                        inSamples -= static_cast<int>(drop);
                    } else {
                        if (o.verbose > 2) Log(llVerbose, Format("adding %d audio samples of silence", static_cast<int>(delta)));
                        int n = static_cast<int>(delta);
                        silence = EncoderAudioFrame(c, n);
                        if (silence) {
                            ff::avutil.av_samples_set_silence(silence->extended_data, 0, n, c->ch_layout.nb_channels, c->sample_fmt);
                            ff::avutil.av_audio_fifo_write(os->fifo.get(), reinterpret_cast<void**>(silence->extended_data), n);
                        }
                    }
                    is->isStart = false;
                } else if (o.audioSyncMethod > 1) {
                    int comp = static_cast<int>(std::max<int64_t>(-o.audioSyncMethod, std::min<int64_t>(o.audioSyncMethod, delta)));
                    if (o.verbose > 2)
                        Log(llVerbose, Format("compensating audio timestamp drift:%f compensation:%d in:%d", double(delta), comp,
                                              c->sample_rate));
                    ff::swresample.swr_set_compensation(os->swr.get(), comp, c->sample_rate);
                }
            }
        }
        is->isStart = false;
        int outMax = ff::swresample.swr_get_out_samples(os->swr.get(), inSamples);
        if (outMax <= 0) outMax = inSamples + 256;
        ff::FramePtr conv = EncoderAudioFrame(c, outMax);
        if (!conv) Fail("Out of memory in do_audio_out");
        int got = ff::swresample.swr_convert(os->swr.get(), conv->extended_data, outMax, in, inSamples);
        if (got < 0) {
            if (o.exitOnError) Fail("av_audio_convert() failed");
            Log(llError, "av_audio_convert() failed");
            return;
        }
        if (got > 0 && ff::avutil.av_audio_fifo_write(os->fifo.get(), reinterpret_cast<void**>(conv->extended_data), got) < got)
            Fail("av_fifo_realloc2() failed");
        EncodeFifo(os, false);
    }

    void FlushAudio(TOutputStream* os) {
        AVCodecContext* c = os->enc.get();
        if (os->swr) {
            int outMax = 4096;
            ff::FramePtr conv = EncoderAudioFrame(c, outMax);
            if (conv) {
                int got = ff::swresample.swr_convert(os->swr.get(), conv->extended_data, outMax, nullptr, 0);
                if (got > 0) ff::avutil.av_audio_fifo_write(os->fifo.get(), reinterpret_cast<void**>(conv->extended_data), got);
            }
        }
        EncodeFifo(os, true);
        Encode(os, nullptr);
    }

    // ---------------------------------------------------------------- subtitles
    void SubtitleOut(TOutputStream* os, AVSubtitle* sub, int64_t ptsUs) {
        if (ptsUs == kNoPTS) {
            if (o.exitOnError) Fail("Subtitle packets must have a pts");
            Log(llError, "Subtitle packets must have a pts");
            return;
        }
        AVCodecContext* c = os->enc.get();
        if (subtitleBuffer.empty()) subtitleBuffer.resize(1 << 20);
        int times = c->codec_id == AV_CODEC_ID_DVB_SUBTITLE ? 2 : 1;
        uint32_t start = sub->start_display_time, end = sub->end_display_time;
        for (int i = 0; i < times; ++i) {
            sub->pts = ptsUs + int64_t(start) * 1000;
            sub->end_display_time = end - start;
            sub->start_display_time = 0;
            if (i == 1) sub->num_rects = 0;
            int size = ff::avcodec.avcodec_encode_subtitle(c, subtitleBuffer.data(), static_cast<int>(subtitleBuffer.size()), sub);
            if (size < 0) Fail("Subtitle encoding failed");
            ff::PacketPtr pkt(ff::avcodec.av_packet_alloc());
            if (ff::avcodec.av_new_packet(pkt.get(), size) < 0) Fail("av_mallocz fail");
            std::memcpy(pkt->data, subtitleBuffer.data(), size);
            pkt->pts = ff::avutil.av_rescale_q(sub->pts, AVRational{1, AV_TIME_BASE}, os->st->time_base);
            pkt->duration = ff::avutil.av_rescale_q(sub->end_display_time, AVRational{1, 1000}, os->st->time_base);
            if (times == 2) pkt->pts += 90 * (i == 0 ? start : end);
            pkt->dts = pkt->pts;
            WritePacket(os, pkt.get());
        }
    }

    // ---------------------------------------------------------------- hook and preview
    void HookStage(TInputStream* is, AVFrame* frame);
    void PreviewStep(TOutputStream* os, AVFrame* picture);

    // ---------------------------------------------------------------- packets
    void CopyPacket(TOutputStream* os, TInputStream* is, AVPacket* in) {
        if (!os->wroteAny && !(in->flags & AV_PKT_FLAG_KEY) && !o.copyInitialNonKeyframes) return;
        ff::PacketPtr pkt(ff::avcodec.av_packet_clone(in));
        if (!pkt) Fail("av_mallocz fail");
        int64_t ostStart = o.startTime > 0 ? ff::avutil.av_rescale_q(o.startTime, AVRational{1, AV_TIME_BASE}, os->st->time_base) : 0;
        if (in->pts != AV_NOPTS_VALUE)
            pkt->pts = ff::avutil.av_rescale_q(in->pts, is->st->time_base, os->st->time_base) - ostStart;
        else
            pkt->pts = AV_NOPTS_VALUE;
        int64_t dts = in->dts != AV_NOPTS_VALUE ? in->dts
                                                : ff::avutil.av_rescale_q(is->pts, AVRational{1, AV_TIME_BASE}, is->st->time_base);
        pkt->dts = ff::avutil.av_rescale_q(dts, is->st->time_base, os->st->time_base) - ostStart;
        pkt->duration = ff::avutil.av_rescale_q(in->duration, is->st->time_base, os->st->time_base);
        if (os->kind == AVMEDIA_TYPE_VIDEO) {
            s.videoSize += in->size;
            ++os->nextPts;
        } else {
            s.audioSize += in->size;
        }
        os->lastCodedPts = pkt->pts;
        WritePacket(os, pkt.get());
        ++os->frameNumber;
    }

    bool StartReached(TInputStream* is) { return o.startTime <= 0 || is->pts >= o.startTime; }

    void HandleDecodedVideo(TInputStream* is, AVFrame* f) {
        int64_t ts = f->best_effort_timestamp;
        if (ts != AV_NOPTS_VALUE) is->pts = ff::avutil.av_rescale_q(ts, is->st->time_base, AVRational{1, AV_TIME_BASE});
        AVRational rate = is->st->avg_frame_rate.num ? is->st->avg_frame_rate : is->st->r_frame_rate;
        int64_t half = rate.num ? ff::avutil.av_rescale_q(1, AVRational{rate.den, 2 * rate.num}, AVRational{1, AV_TIME_BASE}) : 0;
        // a seek lands on the key frame before the start; the pictures before it are not kept
        if (s.inputs[is->fileIndex].seeked && is->pts < -(half / 2)) return;
        HookStage(is, f);
        if (!StartReached(is)) return;
        int isIndex = IndexOf(is);
        for (TOutputStream* os : s.ost)
            if (os->sourceIndex == isIndex && os->encodingNeeded) PushVideo(os, is, f);
        // the next frame's expected time, for streams without timestamps
        AVRational fr = is->st->avg_frame_rate.num ? is->st->avg_frame_rate : is->st->r_frame_rate;
        if (fr.num) is->pts += ff::avutil.av_rescale_q(1, AVRational{fr.den, fr.num}, AVRational{1, AV_TIME_BASE});
    }

    void HandleDecodedAudio(TInputStream* is, AVFrame* f) {
        int64_t ts = f->best_effort_timestamp;
        if (ts != AV_NOPTS_VALUE) is->pts = ff::avutil.av_rescale_q(ts, is->st->time_base, AVRational{1, AV_TIME_BASE});
        ApplyVolume(f);
        if (o.rateEmu) {
            int64_t ahead = is->pts - (Now() - is->start);
            if (ahead > 1000) std::this_thread::sleep_for(std::chrono::milliseconds(ahead / 1000));
        }
        if (StartReached(is)) {
            int isIndex = IndexOf(is);
            for (TOutputStream* os : s.ost)
                if (os->sourceIndex == isIndex && os->encodingNeeded) AudioOut(os, is, f);
        }
        if (f->sample_rate > 0)
            is->pts += int64_t(f->nb_samples) * AV_TIME_BASE / f->sample_rate;
    }

    int IndexOf(TInputStream* is) { return s.inputs[is->fileIndex].istIndex + is->index; }

    // Returns -1 when decoding failed.
    int Process(TInputStream* is, AVPacket* pkt) {
        if (pkt && pkt->dts != AV_NOPTS_VALUE && !is->decodingNeeded)
            is->pts = ff::avutil.av_rescale_q(pkt->dts, is->st->time_base, AVRational{1, AV_TIME_BASE});
        int isIndex = IndexOf(is);
        AVMediaType kind = is->st->codecpar->codec_type;
        if (is->decodingNeeded && (kind == AVMEDIA_TYPE_VIDEO || kind == AVMEDIA_TYPE_AUDIO)) {
            AVCodecContext* d = is->dec.get();
            int r = ff::avcodec.avcodec_send_packet(d, pkt);
            if (r < 0 && r != AVERROR_EOF && r != AVERROR(EAGAIN)) return -1;
            int frames = 0;
            for (;;) {
                r = ff::avcodec.avcodec_receive_frame(d, is->frame.get());
                if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) break;
                if (r < 0) return -1;
                if (++frames == 2 && kind == AVMEDIA_TYPE_VIDEO && ((o.verbose > 0 && !multiWarned) || o.verbose > 1)) {
                    multiWarned = true;
                    Log(llError, Format("Multiple frames in a packet from stream %d", is->index));
                }
                if (kind == AVMEDIA_TYPE_VIDEO) HandleDecodedVideo(is, is->frame.get());
                else HandleDecodedAudio(is, is->frame.get());
                ff::avutil.av_frame_unref(is->frame.get());
                if (t.stopRequested_ && pkt) break;
            }
        } else if (is->decodingNeeded && kind == AVMEDIA_TYPE_SUBTITLE && pkt) {
            AVSubtitle sub{};
            int got = 0;
            if (ff::avcodec.avcodec_decode_subtitle2(is->dec.get(), &sub, &got, pkt) < 0) return -1;
            if (got) {
                int64_t ptsUs = pkt->pts != AV_NOPTS_VALUE
                                    ? ff::avutil.av_rescale_q(pkt->pts, is->st->time_base, AVRational{1, AV_TIME_BASE})
                                    : kNoPTS;
                if (ptsUs != kNoPTS && o.startTime > 0) ptsUs -= o.startTime;
                if (StartReached(is))
                    for (TOutputStream* os : s.ost)
                        if (os->sourceIndex == isIndex && os->encodingNeeded) SubtitleOut(os, &sub, ptsUs);
                ff::avcodec.avsubtitle_free(&sub);
            }
        }
        if (pkt && StartReached(is))
            for (TOutputStream* os : s.ost)
                if (os->sourceIndex == isIndex && os->copy) CopyPacket(os, is, pkt);
        if (!pkt) {
            // end of input: drain the filters and encoders fed by this stream
            for (TOutputStream* os : s.ost) {
                if (os->sourceIndex != isIndex || !os->encodingNeeded) continue;
                if (os->kind == AVMEDIA_TYPE_VIDEO) {
                    if (os->bufferSrc) {
                        if (ff::avfilter.av_buffersrc_add_frame_flags(os->bufferSrc, nullptr, 0) >= 0) DrainFilter(os);
                    }
                    Encode(os, nullptr);
                } else if (os->kind == AVMEDIA_TYPE_AUDIO) {
                    FlushAudio(os);
                }
            }
        }
        return 0;
    }

    // ---------------------------------------------------------------- main loop
    void MainLoop() {
        ff::PacketPtr pkt(ff::avcodec.av_packet_alloc());
        int64_t recordEnd = o.recordingTime == INT64_MAX ? INT64_MAX : o.recordingTime + (o.startTime > 0 ? o.startTime : 0);
        while (!t.stopRequested_) {
            {
                std::unique_lock<std::mutex> lock(s.pauseMutex);
                s.pauseCv.wait(lock, [&] { return !t.paused_ || t.stopRequested_; });
            }
            if (t.stopRequested_) break;
            int fileIndex = -1;
            double best = 1e300;
            bool limitReached = false;
            for (TOutputStream* os : s.ost) {
                TInputStream* is = s.ist[os->sourceIndex].get();
                TInputFile& in = s.inputs[is->fileIndex];
                if (is->pastRecordingTime || in.noPacket || in.eofReached) continue;
                int limit = os->kind == AVMEDIA_TYPE_VIDEO ? o.maxVideoFrames : os->kind == AVMEDIA_TYPE_AUDIO ? o.maxAudioFrames : o.maxDataFrames;
                if (os->frameNumber >= limit) {
                    limitReached = true;
                    break;
                }
                double v = o.inputSync ? is->pts / 1e6 : OutputTime(os);
                if (v < best) {
                    best = v;
                    fileIndex = is->fileIndex;
                }
            }
            if (limitReached) break;
            if (fileIndex < 0) {
                bool any = false;
                for (auto& in : s.inputs)
                    if (in.noPacket) any = true, in.noPacket = false;
                if (any) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    continue;
                }
                break;
            }
            if (o.limitFileSize && CurrentSize(0) > o.limitFileSize) break;
            TInputFile& in = s.inputs[fileIndex];
            int r = ff::avformat.av_read_frame(in.ctx.get(), pkt.get());
            if (r == AVERROR(EAGAIN)) {
                in.noPacket = true;
                continue;
            }
            if (r < 0) {
                in.eofReached = true;
                if (o.shortest) break;
                continue;
            }
            for (auto& f : s.inputs) f.noPacket = false;
            if (o.doPktDump) Log(llDebug, Format("packet stream=%d size=%d pts=%lld", pkt->stream_index, pkt->size,
                                                  static_cast<long long>(pkt->pts)));
            if (pkt->stream_index >= in.nbStreams) {
                ff::avcodec.av_packet_unref(pkt.get());
                continue;
            }
            TInputStream* is = s.ist[in.istIndex + pkt->stream_index].get();
            if (is->discard) {
                ff::avcodec.av_packet_unref(pkt.get());
                continue;
            }
            int64_t off = ff::avutil.av_rescale_q(in.tsOffset, AVRational{1, AV_TIME_BASE}, is->st->time_base);
            if (pkt->dts != AV_NOPTS_VALUE) pkt->dts += off;
            if (pkt->pts != AV_NOPTS_VALUE) pkt->pts += off;
            double scale = in.tsScale[pkt->stream_index < kMaxStreams ? pkt->stream_index : 0];
            if (scale > 0 && pkt->stream_index < kMaxStreams) {
                if (pkt->dts != AV_NOPTS_VALUE) pkt->dts = static_cast<int64_t>(pkt->dts * scale);
                if (pkt->pts != AV_NOPTS_VALUE) pkt->pts = static_cast<int64_t>(pkt->pts * scale);
            }
            if (pkt->dts != AV_NOPTS_VALUE && (in.ctx->iformat->flags & AVFMT_TS_DISCONT) && !o.copyTs && is->nextPts != kNoPTS) {
                int64_t dtsUs = ff::avutil.av_rescale_q(pkt->dts, is->st->time_base, AVRational{1, AV_TIME_BASE});
                int64_t delta = dtsUs - is->nextPts;
                if (std::llabs(delta) > o.dtsDeltaThreshold * AV_TIME_BASE || dtsUs + 1 < is->pts) {
                    in.tsOffset -= delta;
                    int64_t d = ff::avutil.av_rescale_q(delta, AVRational{1, AV_TIME_BASE}, is->st->time_base);
                    pkt->dts -= d;
                    if (pkt->pts != AV_NOPTS_VALUE) pkt->pts -= d;
                    if (o.verbose > 2)
                        Log(llVerbose, Format("timestamp discontinuity %d, new offset= %d", static_cast<int>(delta),
                                              static_cast<int>(in.tsOffset)));
                }
            }
            if (pkt->dts != AV_NOPTS_VALUE) {
                int64_t dtsUs = ff::avutil.av_rescale_q(pkt->dts, is->st->time_base, AVRational{1, AV_TIME_BASE});
                int64_t dur = pkt->duration > 0 ? ff::avutil.av_rescale_q(pkt->duration, is->st->time_base, AVRational{1, AV_TIME_BASE}) : 0;
                is->nextPts = dtsUs + dur;
            }
            if (recordEnd != INT64_MAX && pkt->pts != AV_NOPTS_VALUE &&
                ff::avutil.av_rescale_q(pkt->pts, is->st->time_base, AVRational{1, AV_TIME_BASE}) >= recordEnd) {
                is->pastRecordingTime = true;
                ff::avcodec.av_packet_unref(pkt.get());
                continue;
            }
            if (Process(is, pkt.get()) < 0) {
                std::string msg = Format("Error while decoding stream #%d.%d (%s)", is->fileIndex, is->index,
                                         KindText(is->st->codecpar->codec_type));
                if (o.exitOnError) Fail(msg);
                if (o.verbose >= 0) Log(llVerbose, msg);
                ff::avcodec.av_packet_unref(pkt.get());
                continue;
            }
            ff::avcodec.av_packet_unref(pkt.get());
            int64_t now = Now();
            if (now - s.lastProgress > t.progressInterval_) {
                s.lastProgress = now;
                Report(fileIndex, false);
            }
        }
    }

    double OutputTime(TOutputStream* os) {
        if (os->encodingNeeded) return os->nextPts * av_q2d(os->enc->time_base);
        if (os->lastMuxDts == kNoPTS || os->lastMuxDts == AV_NOPTS_VALUE) return 0;
        return os->lastMuxDts * av_q2d(os->st->time_base);
    }

    int64_t CurrentSize(int fileIndex) {
        if (fileIndex >= static_cast<int>(s.outputs.size())) return 0;
        AVIOContext* pb = s.outputs[fileIndex].ctx->pb;
        if (!pb) return 0;
        int64_t size = ff::avformat.avio_size(pb);
        return size <= 0 ? pb->pos + (pb->buf_ptr - pb->buffer) : size;
    }

    void Report(int fileIndex, bool last) {
        int64_t totalSize = CurrentSize(0);
        std::string line;
        int frameNumber = -1, fps = -1;
        float quality = -1.0f;
        bool firstVideo = true;
        double ti1 = 1e10;
        for (TOutputStream* os : s.ost) {
            double q = os->copy ? -1 : os->lastQuality / double(FF_QP2LAMBDA);
            if (os->kind == AVMEDIA_TYPE_VIDEO) {
                if (firstVideo) {
                    if (os->frameNumber == 0) return;  // nothing to report before the first picture
                    frameNumber = os->frameNumber;
                    double elapsed = (Now() - s.runStart) / 1e6;
                    fps = elapsed > 1 ? static_cast<int>(frameNumber / elapsed + 0.5) : 0;
                    quality = static_cast<float>(q);
                    line += Format("frame=%5d fps=%3d q=%3.1f ", frameNumber, fps, q);
                    if (last) line += "L";
                    if (o.qpHist) {
                        int qp = static_cast<int>(std::lround(q));
                        if (qp >= 0 && qp < 52) ++s.qpHistogram[qp];
                        for (int j = 0; j < 32; ++j)
                            line += Format("%X", static_cast<int>(std::lround(std::log2(s.qpHistogram[j] + 1))));
                    }
                    firstVideo = false;
                } else {
                    line += Format("q=%2.1f ", q);
                }
            }
            double tt = OutputTime(os);
            if (tt > 0 && tt < ti1) ti1 = tt;
        }
        if (ti1 < 0.01) ti1 = 0.01;
        double bitrate = totalSize * 8 / ti1 / 1000.0;
        line += Format("size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s", totalSize / 1024.0, ti1, bitrate);
        if (s.dupFrames || s.dropFrames) line += Format(" dup=%d drop=%d", s.dupFrames, s.dropFrames);
        if (line.size() > 1024) line.resize(1024);
        if (t.onProgress_) {
            TProgressInfo info;
            info.FileIndex = last ? -1 : fileIndex;
            info.TotalDuration = t.totalDuration_;
            info.CurrentDuration = static_cast<int64_t>(ti1 * 1000000);
            if (ti1 >= 1e10 - 1) info.CurrentDuration = 0;
            info.CurrentSize = totalSize;
            info.BitRate = static_cast<float>(bitrate);
            info.Quality = quality;
            info.FPS = fps;
            info.FrameNumber = frameNumber;
            if (s.reportChanged && o.verbose >= 0) {
                Log(llVerbose, line);
                s.reportChanged = false;
            }
            t.onProgress_(t, info);
        } else if (o.verbose >= 0) {
            Log(llVerbose, line);
        }
        if (last && o.verbose >= 0) {
            double sum = double(s.videoSize + s.audioSize + s.extraSize);
            double overhead = sum > 0 ? (totalSize - sum) * 100.0 / sum : 0;
            Log(llVerbose, Format("video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n",
                                  s.videoSize / 1024.0, s.audioSize / 1024.0, s.extraSize / 1024.0, overhead));
        }
    }

    void Run() {
        s.videoSize = s.audioSize = s.extraSize = 0;
        s.dupFrames = s.dropFrames = 0;
        Setup();
        s.runStart = s.lastProgress = Now();
        MainLoop();
        for (auto& is : s.ist)
            if (is->decodingNeeded) Process(is.get(), nullptr);
        for (auto& out : s.outputs)
            if (out.headerWritten) {
                ff::avformat.av_write_trailer(out.ctx.get());
                out.headerWritten = false;
            }
        Report(-1, true);
        CloseCodecs();
        t.finished_ = !t.stopRequested_;
    }

    void CloseCodecs() {
        CodecLock lock;
        for (TOutputStream* os : s.ost) FreeEncoder(*os);
        for (auto& is : s.ist) is->dec.reset();
    }
};

void TranscoderAccess::HookStage(TInputStream* is, AVFrame* frame) {
    int n = ++t.frameNumber_;
    bool plugins = s.pluginsActive && !s.plugins.empty();
    if (!o.deinterlace && !hookActive && !plugins) return;
    if (ff::avutil.av_frame_make_writable(frame) < 0) {
        Log(llError, "hook buf malloc error.");
        return;
    }
    if (o.deinterlace && !DeinterlaceFrame(frame)) Log(llError, "Deinterlacing failed.");
    if (hookActive) {
        TFrameBitmap& conv = s.hookConverter;
        if (!conv.Convert(frame->data, frame->linesize, frame->format, frame->width, frame->height)) {
            Log(llError, "Cannot initialize the toRGB conversion context");
            hookActive = false;
            s.pluginsActive = false;
            return;
        }
        THookInfo info;
        info.Bitmap = &conv.Bitmap();
        info.FrameNumber = n;
        info.PTS = is->pts;
        info.Update = true;
        info.StopHook = false;
        try {
            t.onHook_(t, info);
        } catch (const std::exception& e) {
            Log(llError, std::string("Error occurs OnCustomHook: ") + e.what());
            info.Update = false;
        } catch (...) {
            Log(llError, "Error occurs OnCustomHook: unknown exception");
            info.Update = false;
        }
        if (info.Update && !conv.WriteBack(frame->data, frame->linesize, frame->format, frame->width, frame->height)) {
            Log(llError, "Cannot initialize the fromRGB conversion context");
            info.StopHook = true;
        }
        if (info.StopHook) {
            hookActive = false;
            s.pluginsActive = false;
        }
    } else if (plugins) {
        TVhookPicture pict{};
        for (int i = 0; i < 4; ++i) {
            pict.data[i] = frame->data[i];
            pict.linesize[i] = frame->linesize[i];
        }
        for (auto& p : s.plugins) p.process(p.ctx, &pict, frame->format, frame->width, frame->height, is->pts);
    }
}

void TranscoderAccess::PreviewStep(TOutputStream* os, AVFrame* picture) {
    std::lock_guard<std::mutex> lock(EnginePreviewMutex());
    int flags = s.previewFlags;
    if (!flags) return;
    int64_t now = Now();
    if (now - s.lastPreview <= 100000) return;
    s.lastPreview = now;
    AVCodecContext* c = os->enc.get();
    if ((flags & kPreviewBitmap) && t.onPreview_) {
        TFrameBitmap& conv = s.previewConverter;
        if (!conv.Convert(picture->data, picture->linesize, picture->format, picture->width, picture->height)) {
            Log(llError, "Cannot initialize the toRGB conversion context");
            s.previewFlags &= ~kPreviewBitmap;
            return;
        }
        TPreviewInfo info;
        info.Bitmap = &conv.Bitmap();
        info.FrameNumber = t.frameNumber_;
        int64_t pts = os->lastCodedPts != kNoPTS && os->lastCodedPts != AV_NOPTS_VALUE ? os->lastCodedPts : picture->pts;
        info.PTS = ff::avutil.av_rescale_q(pts, c->time_base, AVRational{1, AV_TIME_BASE});
        t.onPreview_(t, info);
    } else if (flags & kPreviewWindow) {
        // The engine's own preview window belongs to the GUI; without one the flag is dropped.
        s.previewFlags &= ~kPreviewWindow;
    }
}

void TCustomFFmpeg::Transcode() {
    TranscoderAccess run(*this);
    try {
        run.Run();
    } catch (...) {
        try {
            run.CloseCodecs();
        } catch (...) {
        }
        throw;
    }
}

void TCustomFFmpeg::ReleaseAll() {
    State& s = *st_;
    for (auto& out : s.outputs) {
        AVFormatContext* oc = out.ctx.get();
        bool hasFile = oc && oc->oformat && !(oc->oformat->flags & AVFMT_NOFILE);
        {
            CodecLock lock;
            for (auto& os : out.streams) FreeEncoder(*os);
        }
        for (auto& os : out.streams)
            if (os->passLog) std::fclose(os->passLog), os->passLog = nullptr;
        out.ctx.reset();
        struct stat sb {};
        if (hasFile && ::stat(out.fileName.c_str(), &sb) == 0 && S_ISREG(sb.st_mode) && sb.st_size == 0)
            ::unlink(out.fileName.c_str());
    }
    {
        CodecLock lock;
        for (auto& is : s.ist) is->dec.reset();
    }
    s.outputs.clear();
    s.ost.clear();
    s.ist.clear();
    s.inputs.clear();
    if (s.vstats) std::fclose(s.vstats), s.vstats = nullptr;
    ReleasePlugins(s);
    s.hookConverter.Reset();
    s.previewConverter.Reset();
}

}  // namespace vexlo
