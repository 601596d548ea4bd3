// Opening inputs, creating outputs and their streams.
#include <cmath>
#include <cstring>

#include "engine/FFmpegLoader.h"
#include "engine/FFmpegLogger.h"
#include "engine/LegacyNames.h"
#include "engine/TranscoderState.h"
#include "platform/Text.h"

namespace vexlo {

namespace {

// A crafted header must not make the decoders allocate gigabytes.
constexpr int64_t kMaxPixels = 16384LL * 8640;

// A name with an explicit protocol ("http:", "pipe:") keeps it; a plain path may only use
// local files, so a playlist posing as a video cannot reach the network or other schemes.
bool HasProtocolScheme(const std::string& name) {
    size_t colon = name.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    for (size_t i = 0; i < colon; ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])) && name[i] != '+' && name[i] != '-' && name[i] != '.') return false;
    return true;
}

std::string ToString(int64_t v) { return std::to_string(v); }

}  // namespace

void ApplyCodecParams(AVCodecContext* ctx, const TParamList& params) {
    std::string x264;
    for (const auto& [n, v] : params) {
        if (n == "x264-params") {
            x264 += (x264.empty() ? "" : ":") + v;
            continue;
        }
        ff::avutil.av_opt_set(ctx, n.c_str(), v.c_str(), AV_OPT_SEARCH_CHILDREN);
    }
    if (!x264.empty()) ff::avutil.av_opt_set(ctx, "x264-params", x264.c_str(), AV_OPT_SEARCH_CHILDREN);
}

bool TCustomFFmpeg::OpenInputFile(const std::string& fileName) {
    TTranscoderOptions& o = opt_;
    lastError_.clear();
    if (static_cast<int>(st_->inputs.size()) >= kMaxFiles) {
        lastError_ = Format("max input files %d reached", kMaxFiles);
        return false;
    }
    const AVInputFormat* forced = nullptr;
    if (!o.fileFormat.empty()) {
        forced = ff::avformat.av_find_input_format(o.fileFormat.c_str());
        if (!forced) {
            lastError_ = Format("Unknown input format: \"%s\"", o.fileFormat.c_str());
            o.fileFormat.clear();
            return false;
        }
        o.fileFormat.clear();
    }
    auto failWith = [&](const std::string& msg) {
        lastError_ = msg;
        o.videoCodec.clear();
        o.audioCodec.clear();
        o.subtitleCodec.clear();
        return false;
    };
    AVFormatContext* raw = ff::avformat.avformat_alloc_context();
    if (!raw) return failWith("avformat_alloc_context failed");
    ff::InputFormatPtr ctx(raw);  // freed by close_input even before opening

    ff::Dictionary opts;
    if (forced) {
        if (o.sampleRate > 0) opts.Set("sample_rate", ToString(o.sampleRate).c_str());
        if (o.channels > 0) opts.Set("channels", ToString(o.channels).c_str());
        if (o.rateDen) opts.Set("framerate", Format("%d/%d", o.rateNum, o.rateDen).c_str());
        if (o.frameWidth && o.frameHeight) opts.Set("video_size", Format("%dx%d", o.frameWidth, o.frameHeight).c_str());
        if (o.pixFmt >= 0) opts.Set("pixel_format", ff::avutil.av_get_pix_fmt_name(static_cast<AVPixelFormat>(o.pixFmt)));
        if (!o.videoChannel.empty()) opts.Set("channel", o.videoChannel.c_str());
        if (!o.tvStandard.empty()) opts.Set("standard", o.tvStandard.c_str());
    }
    if (o.loopInput) opts.Set("loop", "1");
    for (const auto& [n, v] : st_->formatParams) opts.Set(n.c_str(), v.c_str());
    if (!HasProtocolScheme(fileName)) opts.Set("protocol_whitelist", "file,crypto,data");

    TInputFile in;
    try {
        in.forcedDecoder[0] = LookupCodec(o.videoCodec, AVMEDIA_TYPE_VIDEO, false, 0, lastError_);
        in.forcedDecoder[1] = LookupCodec(o.audioCodec, AVMEDIA_TYPE_AUDIO, false, 0, lastError_);
        in.forcedDecoder[2] = LookupCodec(o.subtitleCodec, AVMEDIA_TYPE_SUBTITLE, false, 0, lastError_);
    } catch (const FFmpegException& e) {
        return failWith(e.what());
    }
    if (o.pgmyuv) {
        in.forcedDecoder[0] = ff::avcodec.avcodec_find_decoder(AV_CODEC_ID_PGMYUV);
        o.pgmyuv = false;
    }
    if (in.forcedDecoder[0]) raw->video_codec_id = in.forcedDecoder[0]->id;
    if (in.forcedDecoder[1]) raw->audio_codec_id = in.forcedDecoder[1]->id;
    if (in.forcedDecoder[2]) raw->subtitle_codec_id = in.forcedDecoder[2]->id;

    ctx.release();
    int err = ff::avformat.avformat_open_input(&raw, fileName.c_str(), forced, &opts);
    if (err < 0) return failWith(PrintError(fileName, err));  // raw was freed by the call
    ctx.reset(raw);

    if (o.programId) {
        bool found = false;
        for (unsigned i = 0; i < raw->nb_streams; ++i) raw->streams[i]->discard = AVDISCARD_ALL;
        for (unsigned p = 0; p < raw->nb_programs; ++p) {
            AVProgram* prog = raw->programs[p];
            if (prog->id == o.programId) {
                found = true;
                for (unsigned j = 0; j < prog->nb_stream_indexes; ++j)
                    raw->streams[prog->stream_index[j]]->discard = AVDISCARD_DEFAULT;
            } else {
                prog->discard = AVDISCARD_ALL;
            }
        }
        o.programId = 0;
        if (!found) return failWith("Specified program id not found");
    }

    {
        std::vector<AVDictionary*> streamOpts(raw->nb_streams, nullptr);
        for (auto& d : streamOpts) ff::avutil.av_dict_set_int(&d, "max_pixels", kMaxPixels, 0);
        int r;
        {
            CodecLock lock;
            r = ff::avformat.avformat_find_stream_info(raw, streamOpts.empty() ? nullptr : streamOpts.data());
        }
        for (auto& d : streamOpts) ff::avutil.av_dict_free(&d);
        if (r < 0 && o.verbose >= 0) {
            std::string msg = Format("%s: could not find codec parameters", fileName.c_str());
            FFLogger().Log(this, llVerbose, msg);
            return failWith(msg);
        }
    }

    int64_t timestamp = o.startTime;
    if (raw->start_time != AV_NOPTS_VALUE) timestamp += raw->start_time;
    if (o.startTime != 0) {
        if (ff::avformat.av_seek_frame(raw, -1, timestamp, AVSEEK_FLAG_BACKWARD) < 0 && o.verbose > 0)
            FFLogger().LogF(this, llVerbose, "%s: could not seek to position %0.3f", fileName.c_str(), timestamp / 1000000.0);
    }
    int64_t usedStart = o.startTime;
    o.startTime = 0;

    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        AVStream* s = raw->streams[i];
        AVCodecParameters* par = s->codecpar;
        switch (par->codec_type) {
            case AVMEDIA_TYPE_VIDEO: {
                o.frameWidth = par->width;
                o.frameHeight = par->height;
                o.pixFmt = par->format < 0 ? 0 : par->format;
                AVRational r = s->avg_frame_rate.num ? s->avg_frame_rate : s->r_frame_rate;
                o.rateNum = r.num;
                o.rateDen = r.den;
                AVRational sar = s->sample_aspect_ratio.num ? s->sample_aspect_ratio : par->sample_aspect_ratio;
                if (par->height > 0)
                    o.aspectRatio = (sar.num && sar.den ? double(sar.num) / sar.den : 1.0) * par->width / par->height;
                else
                    o.aspectRatio = 4.0 / 3.0;
                if (o.videoDisable) s->discard = AVDISCARD_ALL;
                else if (o.videoDiscard) s->discard = static_cast<AVDiscard>(o.videoDiscard);
                break;
            }
            case AVMEDIA_TYPE_AUDIO:
                if (par->ch_layout.nb_channels > 0) o.channels = par->ch_layout.nb_channels;
                if (par->sample_rate > 0) o.sampleRate = par->sample_rate;
                o.sampleFmt = par->format;
                if (o.audioDisable) s->discard = AVDISCARD_ALL;
                break;
            case AVMEDIA_TYPE_SUBTITLE:
                if (o.subtitleDisable) s->discard = AVDISCARD_ALL;
                break;
            case AVMEDIA_TYPE_DATA:
            case AVMEDIA_TYPE_ATTACHMENT:
            case AVMEDIA_TYPE_UNKNOWN:
                break;
            default:
                return failWith("invalid codec_type");
        }
    }
    if (raw->duration != AV_NOPTS_VALUE && raw->duration > totalDuration_) totalDuration_ = raw->duration;
    in.tsOffset = o.copyTs ? o.inputTsOffset : o.inputTsOffset - timestamp;
    in.seekTarget = timestamp;
    in.seeked = usedStart != 0;
    in.tsScale = o.tsScale;
    o.tsScale = {};
    if (o.verbose >= 0) ff::avformat.av_dump_format(raw, static_cast<int>(st_->inputs.size()), fileName.c_str(), 0);
    in.ctx = std::move(ctx);
    in.nbStreams = static_cast<int>(raw->nb_streams);
    st_->inputs.push_back(std::move(in));
    o.videoChannel.clear();
    o.videoCodec.clear();
    o.audioCodec.clear();
    o.subtitleCodec.clear();
    return true;
}

int TCustomFFmpeg::OpenOutputFile(const std::string& fileName) {
    TTranscoderOptions& o = opt_;
    lastError_.clear();
    if (static_cast<int>(st_->outputs.size()) >= kMaxFiles) {
        lastError_ = Format("max output files %d reached", kMaxFiles);
        return -1;
    }
    const AVOutputFormat* fmt = nullptr;
    if (!o.fileFormat.empty()) {
        fmt = ff::avformat.av_guess_format(o.fileFormat.c_str(), nullptr, nullptr);
        if (!fmt) {
            lastError_ = Format("Requested output format '%s' is not a suitable output format", o.fileFormat.c_str());
            o.fileFormat.clear();
            return -1;
        }
        o.fileFormat.clear();
    } else {
        fmt = ff::avformat.av_guess_format(nullptr, fileName.c_str(), nullptr);
        if (!fmt) {
            lastError_ = Format("Unable to find a suitable output format for '%s'", fileName.c_str());
            return -1;
        }
    }
    AVFormatContext* raw = nullptr;
    if (ff::avformat.avformat_alloc_output_context2(&raw, fmt, nullptr, fileName.c_str()) < 0 || !raw) {
        lastError_ = "avformat_alloc_context failed";
        return -1;
    }
    st_->outputs.emplace_back();
    TOutputFile& out = st_->outputs.back();
    out.ctx.reset(raw);
    out.fileName = fileName;
    int fileIndex = static_cast<int>(st_->outputs.size()) - 1;
    auto fail = [&](const std::string& msg) {
        lastError_ = msg;
        for (auto& os : st_->outputs.back().streams) std::erase(st_->ost, os.get());
        st_->outputs.pop_back();
        return -1;
    };

    bool useVideo = o.videoCopy || fmt->video_codec != AV_CODEC_ID_NONE || !o.videoCodec.empty();
    bool useAudio = o.audioCopy || fmt->audio_codec != AV_CODEC_ID_NONE || !o.audioCodec.empty();
    bool useSubtitle = o.subtitleCopy || fmt->subtitle_codec != AV_CODEC_ID_NONE || !o.subtitleCodec.empty();
    if (!st_->inputs.empty()) {
        bool has[3] = {false, false, false};
        for (auto& in : st_->inputs)
            for (unsigned i = 0; i < in.ctx->nb_streams; ++i) {
                int t = in.ctx->streams[i]->codecpar->codec_type;
                if (t == AVMEDIA_TYPE_VIDEO) has[0] = true;
                else if (t == AVMEDIA_TYPE_AUDIO) has[1] = true;
                else if (t == AVMEDIA_TYPE_SUBTITLE) has[2] = true;
            }
        useVideo &= has[0];
        useAudio &= has[1];
        useSubtitle &= has[2];
    }
    if (o.videoDisable) useVideo = false;
    if (o.audioDisable) useAudio = false;
    if (o.subtitleDisable) useSubtitle = false;
    // The kinds not used still consume their settings, as a created stream would.
    try {
        if (useVideo) AddOutputStream(fileIndex, AVMEDIA_TYPE_VIDEO);
    } catch (const std::exception& e) {
        return fail(Format("new_video_stream fail: %s", e.what()));
    }
    try {
        if (useAudio) AddOutputStream(fileIndex, AVMEDIA_TYPE_AUDIO);
    } catch (const std::exception& e) {
        return fail(Format("new_audio_stream fail: %s", e.what()));
    }
    try {
        if (useSubtitle) AddOutputStream(fileIndex, AVMEDIA_TYPE_SUBTITLE);
    } catch (const std::exception& e) {
        return fail(Format("new_subtitle_stream fail: %s", e.what()));
    }
    o.videoDisable = o.audioDisable = o.subtitleDisable = false;

    if (o.recTimestamp) {
        time_t t = static_cast<time_t>(o.recTimestamp);
        tm utc{};
        gmtime_r(&t, &utc);
        char buf[32];
        strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S.000000Z", &utc);
        ff::avutil.av_dict_set(&raw->metadata, "creation_time", buf, 0);
    }
    for (auto it = o.metadata.rbegin(); it != o.metadata.rend(); ++it)
        ff::avutil.av_dict_set(&raw->metadata, it->first.c_str(), it->second.c_str(), 0);
    o.metadata.clear();

    // image sequences no longer declare it, but still cannot write a second picture without one
    bool needNumber = (fmt->flags & AVFMT_NEEDNUMBER) || std::strcmp(fmt->name, "image2") == 0;
    if (needNumber && !ff::avformat.av_filename_number_test(fileName.c_str()))
        return fail(fileName + ": Number syntax expected in filename");
    if (!(fmt->flags & AVFMT_NOFILE)) {
        int err = ff::avformat.avio_open2(&raw->pb, fileName.c_str(), AVIO_FLAG_WRITE, nullptr, nullptr);
        if (err < 0) return fail(PrintError(fileName, err));
    }
    raw->max_delay = static_cast<int>(o.muxMaxDelay * 1000000);
    if (o.loopOutput >= 0) ff::avutil.av_opt_set_int(raw, "loop", o.loopOutput, AV_OPT_SEARCH_CHILDREN);
    o.streamIds = {};
    return static_cast<int>(st_->outputs.size());
}

void TCustomFFmpeg::AddOutputStream(int fileIndex, int mediaKind) {
    TTranscoderOptions& o = opt_;
    TOutputFile& out = st_->outputs[fileIndex];
    AVFormatContext* oc = out.ctx.get();
    AVMediaType kind = static_cast<AVMediaType>(mediaKind);
    int index = static_cast<int>(oc->nb_streams);
    if (index >= kMaxStreams) throw FFmpegException("Could not alloc stream");

    auto os = std::make_unique<TOutputStream>();
    os->fileIndex = fileIndex;
    os->index = index;
    os->kind = kind;
    const char* kindName = kind == AVMEDIA_TYPE_VIDEO ? "video" : kind == AVMEDIA_TYPE_AUDIO ? "audio" : "subtitle";
    (void)kindName;
    bool copy = kind == AVMEDIA_TYPE_VIDEO ? o.videoCopy : kind == AVMEDIA_TYPE_AUDIO ? o.audioCopy : o.subtitleCopy;
    std::string& codecName = kind == AVMEDIA_TYPE_VIDEO ? o.videoCodec : kind == AVMEDIA_TYPE_AUDIO ? o.audioCodec : o.subtitleCodec;
    std::vector<std::string>& bsfs = kind == AVMEDIA_TYPE_VIDEO   ? o.videoBitstreamFilters
                                     : kind == AVMEDIA_TYPE_AUDIO ? o.audioBitstreamFilters
                                                                  : o.subtitleBitstreamFilters;
    uint32_t tag = kind == AVMEDIA_TYPE_VIDEO ? o.videoTag : kind == AVMEDIA_TYPE_AUDIO ? o.audioTag : o.subtitleTag;
    std::string& language = kind == AVMEDIA_TYPE_VIDEO ? o.videoLanguage : kind == AVMEDIA_TYPE_AUDIO ? o.audioLanguage : o.subtitleLanguage;

    // Resolve the encoder before touching the container, so a failure leaves it unchanged.
    const AVCodec* encoder = nullptr;
    if (!copy) {
        std::string err;
        encoder = LookupCodec(codecName, kind, true, 0, err);
        if (!encoder) {
            AVCodecID id = ff::avformat.av_guess_codec(oc->oformat, nullptr, out.fileName.c_str(), nullptr, kind);
            encoder = ff::avcodec.avcodec_find_encoder(id);
        }
    }

    AVStream* st = ff::avformat.avformat_new_stream(oc, nullptr);
    if (!st) throw FFmpegException("Could not alloc stream");
    if (o.streamIds[index]) st->id = o.streamIds[index];
    os->st = st;
    os->copy = copy;
    os->encoder = encoder;
    os->bsfNames = bsfs;
    bsfs.clear();
    if (!language.empty()) ff::avutil.av_dict_set(&st->metadata, "language", language.c_str(), 0);
    language.clear();

    os->enc.reset(ff::avcodec.avcodec_alloc_context3(encoder));
    if (!os->enc) throw FFmpegException("av_mallocz fail");
    AVCodecContext* c = os->enc.get();
    c->codec_type = kind;
    if (tag) c->codec_tag = tag;
    if (encoder) c->codec_id = encoder->id;
    st->codecpar->codec_type = kind;
    if (encoder) st->codecpar->codec_id = encoder->id;
    if (encoder && std::strcmp(encoder->name, "libx264") == 0) {
        // The classic converter left these x264 features off unless a preset asked for them.
        c->max_b_frames = 0;
        for (const char* off : {"8x8dct", "weightb", "mixed-refs"}) ff::avutil.av_opt_set(c->priv_data, off, "0", 0);
        ff::avutil.av_opt_set(c->priv_data, "b-pyramid", "none", 0);
        ff::avutil.av_opt_set(c->priv_data, "weightp", "0", 0);
    }

    auto aspectToSar = [&]() {
        double ar = o.aspectRatio;
        AVRational q{0, 1};
        if (ar > 0) {
            double v = (o.frameWidth && o.frameHeight) ? ar * o.frameHeight / o.frameWidth : ar * 3 / 4;
            q = ff::avutil.av_d2q(v, 255);
        }
        return q;
    };

    if (kind == AVMEDIA_TYPE_VIDEO) {
        if (o.videoGlobalHeader & 1 || (o.videoGlobalHeader == 0 && (oc->oformat->flags & AVFMT_GLOBALHEADER)))
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (o.videoGlobalHeader & 2) c->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
        c->sample_aspect_ratio = st->sample_aspect_ratio = aspectToSar();
        if (!copy) {
            AVRational rate = o.rateDen && o.rateNum ? AVRational{o.rateNum, o.rateDen} : AVRational{25, 1};
            ApplyCodecParams(c, st_->codecParams[0]);
            if (encoder && encoder->supported_framerates && !o.forceFps) {
                int idx = ff::avutil.av_find_nearest_q_idx(rate, encoder->supported_framerates);
                rate = encoder->supported_framerates[idx];
            }
            // MPEG-4 part 2 limits the time base denominator to 16 bits.
            if (rate.den > 65535 || rate.num > 65535) ff::avutil.av_reduce(&rate.num, &rate.den, rate.num, rate.den, 65535);
            c->framerate = rate;
            c->time_base = AVRational{rate.den, rate.num};
            c->width = o.frameWidth;
            c->height = o.frameHeight;
            int pf = o.pixFmt;
            if (encoder && encoder->pix_fmts) {
                bool listed = false;
                for (const AVPixelFormat* p = encoder->pix_fmts; *p != AV_PIX_FMT_NONE; ++p)
                    if (*p == pf) listed = true;
                bool mjpegKeeps = encoder->id == AV_CODEC_ID_MJPEG && c->strict_std_compliance < 0 &&
                                  (pf == AV_PIX_FMT_YUV420P || pf == AV_PIX_FMT_YUV422P);
                if (!listed && !mjpegKeeps) pf = encoder->pix_fmts[0];
                // 525-line (29.97 fps) DV has no 4:2:0 profile: its 4:1:1 is the one the encoder takes.
                if (encoder->id == AV_CODEC_ID_DVVIDEO && pf == AV_PIX_FMT_YUV420P &&
                    static_cast<int64_t>(rate.num) * 1001 == static_cast<int64_t>(rate.den) * 30000)
                    pf = AV_PIX_FMT_YUV411P;
            }
            if (pf < 0) pf = AV_PIX_FMT_YUV420P;
            c->pix_fmt = static_cast<AVPixelFormat>(pf);
            if (o.intraOnly) c->gop_size = 0;
            if (o.videoQscale > 0 || o.sameQuality) {
                c->flags |= AV_CODEC_FLAG_QSCALE;
                c->global_quality = static_cast<int>(FF_QP2LAMBDA * (o.videoQscale > 0 ? o.videoQscale : 1));
            }
            auto matrix = [&](const std::vector<uint16_t>& m, uint16_t*& dst) {
                if (m.size() != 64) return;
                dst = static_cast<uint16_t*>(ff::avutil.av_mallocz(sizeof(uint16_t) * 64));
                if (dst) std::memcpy(dst, m.data(), sizeof(uint16_t) * 64);
            };
            matrix(o.intraMatrix, c->intra_matrix);
            matrix(o.interMatrix, c->inter_matrix);
            if (!o.rcOverride.empty()) {
                std::vector<RcOverride> ro;
                for (const std::string& group : Split(o.rcOverride, '/')) {
                    int start = 0, end = 0, q = 0;
                    if (std::sscanf(group.c_str(), "%d,%d,%d", &start, &end, &q) != 3)
                        throw FFmpegException("error parsing rc_override");
                    RcOverride r{};
                    r.start_frame = start;
                    r.end_frame = end;
                    if (q > 0) r.qscale = q, r.quality_factor = 1.0f;
                    else r.qscale = 0, r.quality_factor = -q / 100.0f;
                    ro.push_back(r);
                }
                c->rc_override = static_cast<RcOverride*>(ff::avutil.av_mallocz(sizeof(RcOverride) * ro.size()));
                if (c->rc_override) {
                    std::memcpy(c->rc_override, ro.data(), sizeof(RcOverride) * ro.size());
                    c->rc_override_count = static_cast<int>(ro.size());
                }
            }
            c->intra_dc_precision = o.intraDcPrecision - 8;
            if (o.psnr) c->flags |= AV_CODEC_FLAG_PSNR;
            if (o.passNumber == 1) c->flags |= AV_CODEC_FLAG_PASS1;
            if (o.passNumber == 2) c->flags |= AV_CODEC_FLAG_PASS2;
            os->forceFps = o.forceFps;
            os->filterText = ModernFilterGraph(o.videoFilters);
            os->cropTop = o.cropTop;
            os->cropBottom = o.cropBottom;
            os->cropLeft = o.cropLeft;
            os->cropRight = o.cropRight;
        }
        o.pixFmt = -1;
    } else if (kind == AVMEDIA_TYPE_AUDIO) {
        if (oc->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        c->sample_rate = o.sampleRate;
        ff::avutil.av_channel_layout_default(&c->ch_layout, o.channels);
        if (!copy) {
            ApplyCodecParams(c, st_->codecParams[1]);
            if (o.audioQscale > -99999) {
                c->flags |= AV_CODEC_FLAG_QSCALE;
                c->global_quality = static_cast<int>(FF_QP2LAMBDA * o.audioQscale);
            }
            int sf = o.sampleFmt;
            if (encoder && encoder->sample_fmts) {
                bool listed = false;
                for (const AVSampleFormat* p = encoder->sample_fmts; *p != AV_SAMPLE_FMT_NONE; ++p)
                    if (*p == sf) listed = true;
                if (!listed) sf = encoder->sample_fmts[0];
            }
            if (sf < 0) sf = AV_SAMPLE_FMT_S16;
            c->sample_fmt = static_cast<AVSampleFormat>(sf);
            if (encoder && encoder->supported_samplerates) {
                int best = encoder->supported_samplerates[0];
                for (const int* p = encoder->supported_samplerates; *p; ++p)
                    if (std::abs(*p - o.sampleRate) < std::abs(best - o.sampleRate)) best = *p;
                if (best != o.sampleRate)
                    FFLogger().LogF(this, llWarning, "Requested sampling rate unsupported using closest supported (%d)", best);
                c->sample_rate = best;
            }
            if (encoder && encoder->ch_layouts) {
                bool listed = false;
                for (const AVChannelLayout* l = encoder->ch_layouts; l->nb_channels; ++l)
                    if (l->nb_channels == c->ch_layout.nb_channels) listed = true;
                if (!listed) ff::avutil.av_channel_layout_copy(&c->ch_layout, &encoder->ch_layouts[0]);
            }
            c->time_base = AVRational{1, c->sample_rate};
        }
    } else {
        if (!copy) {
            ApplyCodecParams(c, st_->codecParams[3]);
            if (!encoder) throw FFmpegException(Format("Unknown encoder '%s'", codecName.c_str()));
            c->time_base = AVRational{1, 1000};
        }
    }
    // the kind's settings are used up by this stream
    if (kind == AVMEDIA_TYPE_VIDEO) o.videoDisable = o.videoCopy = false;
    else if (kind == AVMEDIA_TYPE_AUDIO) o.audioDisable = o.audioCopy = false;
    else o.subtitleDisable = o.subtitleCopy = false;
    codecName.clear();
    st_->ost.push_back(os.get());
    out.streams.push_back(std::move(os));
}

}  // namespace vexlo
