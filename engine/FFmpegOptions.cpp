// The option language of the task: dispatch of the option table, value parsing, the
// generic setter over the libraries' named parameters and codec lookup.
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "engine/FFmpegLogger.h"
#include "engine/LegacyNames.h"
#include "engine/TranscoderState.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace vexlo {

namespace {

[[noreturn]] void Fail(const std::string& msg) { throw FFmpegException(msg); }

bool ParseBool(const std::string& v) { return v != "0"; }

int ParseInt(const std::string& v) {
    std::string t = Trim(v);
    try {
        size_t used = 0;
        long long x = std::stoll(t, &used, 10);
        if (used == t.size() && x >= INT32_MIN && x <= INT32_MAX) return static_cast<int>(x);
    } catch (const std::exception&) {
    }
    Fail(Format("'%s' is not a valid integer value", v.c_str()));
}

int64_t ParseInt64(const std::string& v) {
    std::string t = Trim(v);
    try {
        size_t used = 0;
        long long x = std::stoll(t, &used, 10);
        if (used == t.size()) return x;
    } catch (const std::exception&) {
    }
    Fail(Format("'%s' is not a valid integer value", v.c_str()));
}

double ParseFloat(const std::string& v) {
    std::string t = Trim(v);
    try {
        size_t used = 0;
        double x = std::stod(t, &used);
        if (used == t.size()) return x;
    } catch (const std::exception&) {
    }
    Fail(Format("'%s' is not a valid floating point value", v.c_str()));
}

int64_t ParseTimeOrFail(const std::string& opt, const std::string& value, bool duration) {
    int64_t us = 0;
    if (ff::avutil.av_parse_time(&us, value.c_str(), duration ? 1 : 0) < 0)
        Fail(Format("Invalid %s specification for %s: %s", duration ? "duration" : "date", opt.c_str(), value.c_str()));
    return us;
}

// strtol with base detection; one separator skipped after the number.
int ReadMapNumber(const char*& p) {
    char* end = nullptr;
    long v = std::strtol(p, &end, 0);
    p = end;
    if (*p) ++p;
    return static_cast<int>(v);
}

uint32_t Tag(const std::string& v, const char* what) {
    if (v.size() != 4) Fail(Format("Assertion failure: %s tag parameter must be 4 chars", what));
    return static_cast<uint32_t>(static_cast<uint8_t>(v[0])) | static_cast<uint32_t>(static_cast<uint8_t>(v[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(v[2])) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(v[3])) << 24;
}

std::vector<uint16_t> ParseMatrix(const std::string& v) {
    std::vector<uint16_t> m;
    const char* p = v.c_str();
    int i = 0;
    for (; i < 64; ++i) {
        char* end = nullptr;
        long x = std::strtol(p, &end, 10);
        if (end == p) break;
        m.push_back(static_cast<uint16_t>(x));
        p = end;
        if (*p == ',') ++p;
        else if (i < 63) {
            ++i;
            break;
        }
    }
    if (m.size() < 64) Fail(Format("Syntax error in matrix \"%s\" at coeff %d", v.c_str(), static_cast<int>(m.size()) - 1));
    return m;
}

const int kKindFlags[5] = {AV_OPT_FLAG_VIDEO_PARAM, AV_OPT_FLAG_AUDIO_PARAM, 0, AV_OPT_FLAG_SUBTITLE_PARAM, 0};

const AVOption* FindOption(const AVClass* cls, const std::string& name, int flags) {
    if (!cls) return nullptr;
    const AVClass* c = cls;
    return ff::avutil.av_opt_find(&c, name.c_str(), nullptr, flags, AV_OPT_SEARCH_CHILDREN | AV_OPT_SEARCH_FAKE_OBJ);
}

}  // namespace

// ---- generic setter ----

namespace {
// Validates a value on a scratch codec context; private encoder options cannot be checked
// before the encoder is known and are accepted.
bool CodecValueAccepted(const std::string& name, const std::string& value) {
    ff::CodecContextPtr scratch(ff::avcodec.avcodec_alloc_context3(nullptr));
    if (!scratch) return true;
    int r = ff::avutil.av_opt_set(scratch.get(), name.c_str(), value.c_str(), 0);
    return r >= 0 || r == AVERROR_OPTION_NOT_FOUND;
}
}  // namespace

// Sets one parameter under today's name; found and refused report what happened.
bool SetCoreParam(TCustomFFmpeg::State& st, const std::string& name, const std::string& value, bool& refused) {
    bool found = false;
    refused = false;
    const AVClass* codecClass = ff::avcodec.avcodec_get_class();
    for (int kind = 0; kind < 5 && !refused; ++kind) {
        if (name == "b" && kind != 0) continue;  // "b" is the video bit rate; audio has "ab"
        if (!FindOption(codecClass, name, kKindFlags[kind])) continue;
        found = true;
        if (!CodecValueAccepted(name, value)) {
            refused = true;
            break;
        }
        st.codecParams[kind].emplace_back(name, value);
    }
    if (!found) {
        if (FindOption(ff::avformat.avformat_get_class(), name, 0)) {
            found = true;
            st.formatParams.emplace_back(name, value);
        } else if (FindOption(ff::swscale.sws_get_class(), name, 0)) {
            found = true;
            st.swsParams.emplace_back(name, value);
        }
    }
    if (!found && name.size() > 1 && (name[0] == 'a' || name[0] == 'v' || name[0] == 's')) {
        int kind = name[0] == 'v' ? 0 : name[0] == 'a' ? 1 : 3;
        std::string rest = name.substr(1);
        if (FindOption(codecClass, rest, kKindFlags[kind])) {
            found = true;
            if (CodecValueAccepted(rest, value)) st.codecParams[kind].emplace_back(rest, value);
            else refused = true;
        }
    }
    return found && !refused;
}

bool TCustomFFmpeg::SetGenericOption(const std::string& rawName, const std::string& rawValue) {
    std::string name = Trim(rawName), value = Trim(rawValue);
    if (name.empty() || value.empty()) return false;

    std::vector<std::pair<std::string, std::string>> modern;
    std::string skipped;
    bool refused = false, ok = false;
    if (TranslateLegacyParameter(name, value, modern, &skipped)) {
        if (!skipped.empty())
            FFLogger().LogF(this, llWarning, "Legacy parameter without a modern meaning skipped: %s", skipped.c_str());
        ok = true;
        for (auto& [n, v] : modern) {
            // x264-params pieces are joined when the encoder is opened.
            if (n == "x264-params") st_->codecParams[0].emplace_back(n, v);
            else if (!SetCoreParam(*st_, n, v, refused)) ok = false;
            if (refused) break;
        }
    } else {
        ok = SetCoreParam(*st_, name, value, refused);
    }
    if (refused) {
        ff::avutil.av_log(nullptr, AV_LOG_ERROR, "Invalid value \"%s\" for option \"%s\"\n", value.c_str(), name.c_str());
        return false;
    }
    if (!ok) return false;
    st_->setNames.push_back(name);
    if (name == "debug" && value != "0") FFLogger().SetLogLevel(llDebug);
    return true;
}

int64_t TCustomFFmpeg_BitRateOf(const TParamList& list) {
    int64_t rate = -1;
    for (auto& [n, v] : list)
        if (n == "b" || n == "ab") {
            ff::CodecContextPtr scratch(ff::avcodec.avcodec_alloc_context3(nullptr));
            if (scratch && ff::avutil.av_opt_set(scratch.get(), "b", v.c_str(), 0) >= 0) rate = scratch->bit_rate;
        }
    return rate;
}

// ---- codec lookup ----

const AVCodec* LookupCodec(const std::string& rawName, AVMediaType kind, bool encoder, int strictness, std::string& error) {
    if (rawName.empty()) return nullptr;
    std::string name = ModernCodecName(rawName, encoder);
    const AVCodec* c = encoder ? ff::avcodec.avcodec_find_encoder_by_name(name.c_str())
                               : ff::avcodec.avcodec_find_decoder_by_name(name.c_str());
    const char* what = encoder ? "encoder" : "decoder";
    if (!c) {
        error = Format("Unknown %s '%s'", what, rawName.c_str());
        throw FFmpegException(error);
    }
    if (c->type != kind) {
        error = Format("Invalid %s type '%s'", what, rawName.c_str());
        throw FFmpegException(error);
    }
    if ((c->capabilities & AV_CODEC_CAP_EXPERIMENTAL) && strictness > FF_COMPLIANCE_EXPERIMENTAL) {
        error = Format("%s '%s' is experimental and might produce bad results.\r\nAdd '-strict experimental' if you want to use it.",
                       what, rawName.c_str());
        const AVCodec* alt = encoder ? ff::avcodec.avcodec_find_encoder(c->id) : ff::avcodec.avcodec_find_decoder(c->id);
        if (alt && !(alt->capabilities & AV_CODEC_CAP_EXPERIMENTAL))
            error += "\r\n" + Format("Or use the non experimental %s '%s'.", what, alt->name);
        throw FFmpegException(error);
    }
    return c;
}

// ---- the option table ----

void TCustomFFmpeg::SetOption(const std::string& name, const std::string& value) {
    TTranscoderOptions& o = opt_;
    auto is = [&](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (name == n) return true;
        return false;
    };
    auto lowBitrateCheck = [&](int kind) {
        int64_t rate = TCustomFFmpeg_BitRateOf(st_->codecParams[kind]);
        if (rate >= 0 && rate < 1000)
            FFLogger().Log(this, llWarning,
                           "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s");
    };

    if (is({"L", "h", "version", "formats", "codecs", "bsfs", "protocols", "filters", "i", "y", "benchmark"})) {
        FFLogger().Log(this, llInfo, "Do nothing: option - " + name);
    } else if (name == "threads") {
        Fail("TODO: option - " + name);
    } else if (name == "timelimit") {
        FFLogger().Log(this, llWarning, "Warning: -timelimit not implemented on Windows");
    } else if (name == "loglevel") {
        try {
            FFLogger().SetLevelByName(value);
        } catch (const std::invalid_argument&) {
            Fail(Format("Invalid loglevel \"%s\"", value.c_str()));
        }
    } else if (name == "f") {
        if (value == "pgmyuv") {
            o.fileFormat = "image2";
            o.pgmyuv = true;
            FFLogger().Log(this, llInfo, "pgmyuv format is deprecated, use image2");
        } else {
            o.fileFormat = value;
        }
    } else if (name == "map") {
        TStreamMap m;
        const char* p = value.c_str();
        m.file = ReadMapNumber(p);
        m.stream = ReadMapNumber(p);
        if (*p) {
            m.syncFile = ReadMapNumber(p);
            m.syncStream = ReadMapNumber(p);
        } else {
            m.syncFile = m.file;
            m.syncStream = m.stream;
        }
        o.streamMaps.push_back(m);
    } else if (name == "map_meta_data") {
        TMetaDataMap m;
        const char* p = value.c_str();
        m.outFile = ReadMapNumber(p);
        m.inFile = ReadMapNumber(p);
        o.metaDataMaps.push_back(m);
    } else if (name == "t") {
        o.recordingTime = ParseTimeOrFail(name, value, true);
    } else if (name == "fs") {
        o.limitFileSize = ParseInt64(value);
    } else if (name == "ss") {
        o.startTime = ParseTimeOrFail(name, value, true);
    } else if (name == "itsoffset") {
        o.inputTsOffset = ParseTimeOrFail(name, value, true);
    } else if (name == "itsscale") {
        const char* p = value.c_str();
        char* end = nullptr;
        long idx = std::strtol(p, &end, 10);
        if (idx < 0 || idx >= kMaxStreams) Fail(Format("stream index over MAX_STREAMS(%d)", kMaxStreams));
        p = end;
        if (*p) ++p;
        o.tsScale[idx] = std::strtod(p, nullptr);
    } else if (name == "timestamp") {
        o.recTimestamp = static_cast<int64_t>(std::llround(ParseTimeOrFail(name, value, false) / 1000000.0));
    } else if (name == "metadata") {
        size_t eq = value.find('=');
        if (eq == std::string::npos) Fail("Missing =");
        o.metadata.emplace_back(value.substr(0, eq), value.substr(eq + 1));
    } else if (name == "dframes") { o.maxDataFrames = ParseInt(value);
    } else if (name == "dump") { o.doPktDump = ParseBool(value);
    } else if (name == "hex") { o.doHexDump = ParseBool(value);
    } else if (name == "re") { o.rateEmu = ParseBool(value);
    } else if (name == "loop_input") { o.loopInput = ParseBool(value);
    } else if (name == "loop_output") { o.loopOutput = ParseInt(value);
    } else if (name == "v") { o.verbose = ParseInt(value);
    } else if (name == "target") {
        std::string norm = "auto", t = value;
        for (const char* pre : {"pal-", "ntsc-", "film-"})
            if (t.rfind(pre, 0) == 0) {
                norm = std::string(pre, std::strlen(pre) - 1);
                t = t.substr(std::strlen(pre));
                break;
            }
        SetTarget(t, norm, "ntsc");
    } else if (name == "vsync") { o.videoSyncMethod = ParseInt(value);
    } else if (name == "async") { o.audioSyncMethod = ParseInt(value);
    } else if (name == "adrift_threshold") { o.audioDriftThreshold = ParseFloat(value);
    } else if (name == "vglobal") { o.videoGlobalHeader = ParseInt(value);
    } else if (name == "copyts") { o.copyTs = true;
    } else if (name == "shortest") { o.shortest = ParseBool(value);
    } else if (name == "dts_delta_threshold") { o.dtsDeltaThreshold = ParseFloat(value);
    } else if (name == "programid") { o.programId = ParseInt(value);
    } else if (name == "xerror") { o.exitOnError = true;
    } else if (name == "copyinkf") { o.copyInitialNonKeyframes = ParseInt(value);
    } else if (name == "b" || name == "vb") {
        SetGenericOption(name == "vb" ? "b" : name, value);
        lowBitrateCheck(0);
    } else if (name == "vframes") { o.maxVideoFrames = ParseInt(value);
    } else if (name == "r") {
        AVRational r{0, 0};
        if (ff::avutil.av_parse_video_rate(&r, value.c_str()) < 0) Fail("Incorrect frame rate");
        // A typed "29.97" (or 23.976, 59.94) parses as 2997/100; what is meant, and the only
        // rate DV and MPEG-2 take, is the exact NTSC one.
        for (int ntsc : {24000, 30000, 60000})
            if (r.den > 0 && std::fabs(static_cast<double>(r.num) / r.den - ntsc / 1001.0) < 0.005) r = {ntsc, 1001};
        o.rateNum = r.num;
        o.rateDen = r.den;
    } else if (name == "s") {
        int w = 0, h = 0;
        if (ff::avutil.av_parse_video_size(&w, &h, value.c_str()) < 0) Fail("Incorrect frame size");
        o.frameWidth = w;
        o.frameHeight = h;
    } else if (name == "aspect") {
        double ar = 0;
        size_t colon = value.find(':');
        if (colon != std::string::npos) {
            double x = std::strtod(value.c_str(), nullptr), y = std::strtod(value.c_str() + colon + 1, nullptr);
            if (y > 0) ar = x / y;
        } else {
            char* end = nullptr;
            ar = std::strtod(value.c_str(), &end);
            if (end == value.c_str() || *end) ar = 0;
        }
        if (ar == 0) Fail("Incorrect aspect ratio specification.");
        o.aspectRatio = ar;
    } else if (name == "pix_fmt") {
        if (value == "list") {
            for (const AVPixFmtDescriptor* d = nullptr; (d = ff::avutil.av_pix_fmt_desc_next(d));)
                FFLogger().Log(this, llInfo, d->name);
        } else {
            int f = ff::avutil.av_get_pix_fmt(value.c_str());
            if (f < 0) Fail(Format("Unknown pixel format requested: %s", value.c_str()));
            o.pixFmt = f;
        }
    } else if (is({"croptop", "cropbottom", "cropleft", "cropright"})) {
        int v = ParseInt(value);
        if (v <= 0) return;
        bool vertical = name == "croptop" || name == "cropbottom";
        if ((vertical && v >= o.frameHeight) || (!vertical && v >= o.frameWidth))
            Fail(vertical ? "Vertical crop dimensions are outside the range of the original image.\nRemember to crop first and scale second."
                          : "Horizontal crop dimensions are outside the range of the original image.\nRemember to crop first and scale second.");
        std::string which = name.substr(4);
        which[0] = static_cast<char>(std::toupper(which[0]));
        FFLogger().Log(this, llWarning, "Crop" + which + " is deprecated in favor of the crop avfilter");
        if (name == "croptop") o.cropTop = v;
        else if (name == "cropbottom") o.cropBottom = v;
        else if (name == "cropleft") o.cropLeft = v;
        else o.cropRight = v;
        if (vertical) o.frameHeight -= v;
        else o.frameWidth -= v;
    } else if (is({"padtop", "padbottom", "padleft", "padright", "padcolor"})) {
        Fail("Please use vfilters=pad");
    } else if (name == "intra") { o.intraOnly = ParseBool(value);
    } else if (name == "vn") { o.videoDisable = ParseBool(value);
    } else if (name == "vdt") { o.videoDiscard = ParseInt(value);
    } else if (name == "qscale") {
        double q = ParseFloat(value);
        if (q <= 0 || q > 255) Fail("qscale must be > 0.0 and <= 255");
        o.videoQscale = q;
    } else if (name == "rc_override") { o.rcOverride = value;
    } else if (name == "vcodec" || name == "acodec" || name == "scodec") {
        bool copy = value == "copy";
        char k = name[0];
        (k == 'v' ? o.videoCopy : k == 'a' ? o.audioCopy : o.subtitleCopy) = copy;
        if (!copy) (k == 'v' ? o.videoCodec : k == 'a' ? o.audioCodec : o.subtitleCodec) = value;
    } else if (name == "me_threshold") { o.meThreshold = ParseInt(value);
    } else if (name == "sameq") { o.sameQuality = ParseBool(value);
    } else if (name == "pass") {
        int p = ParseInt(value);
        if (p != 1 && p != 2) Fail("pass number can be only 1 or 2");
        o.passNumber = p;
    } else if (name == "passlogfile") { o.passLogFile = value;
    } else if (name == "deinterlace") { o.deinterlace = ParseBool(value);
    } else if (name == "psnr") { o.psnr = ParseBool(value);
    } else if (name == "vstats") {
        char buf[16];
        time_t now = time(nullptr);
        tm lt{};
        localtime_r(&now, &lt);
        strftime(buf, sizeof buf, "%H%M%S", &lt);
        std::string dir = ProgramFolder();
        if (!dir.empty() && dir.back() != '/') dir += '/';
        o.vstatsFile = Format("%svstats_%s.log", dir.c_str(), buf);
    } else if (name == "vstats_file") { o.vstatsFile = value;
    } else if (name == "vhook") {
        if (!AddVideoHook(value)) Fail("Failed to add video hook function: " + value);
    } else if (name == "vfilters" || name == "vf") { o.videoFilters = value;
    } else if (name == "intra_matrix") { o.intraMatrix = ParseMatrix(value);
    } else if (name == "inter_matrix") { o.interMatrix = ParseMatrix(value);
    } else if (name == "top") { o.topFieldFirst = ParseInt(value);
    } else if (name == "dc") { o.intraDcPrecision = ParseInt(value);
    } else if (name == "vtag") { o.videoTag = Tag(value, "video");
    } else if (name == "atag") { o.audioTag = Tag(value, "audio");
    } else if (name == "stag") { o.subtitleTag = Tag(value, "subtitle");
    } else if (name == "newvideo" || name == "newaudio" || name == "newsubtitle") {
        if (st_->outputs.empty()) Fail("At least one output file must be specified");
        AddOutputStream(static_cast<int>(st_->outputs.size()) - 1,
                        name == "newvideo" ? AVMEDIA_TYPE_VIDEO : name == "newaudio" ? AVMEDIA_TYPE_AUDIO : AVMEDIA_TYPE_SUBTITLE);
    } else if (name == "vlang") { o.videoLanguage = value;
    } else if (name == "qphist") { o.qpHist = ParseBool(value);
    } else if (name == "force_fps") { o.forceFps = ParseBool(value);
    } else if (name == "streamid") {
        size_t colon = value.find(':');
        char* end = nullptr;
        long idx = colon == std::string::npos ? -1 : std::strtol(value.c_str(), &end, 10);
        if (colon == std::string::npos || colon + 1 >= value.size() || idx < 0 || idx >= kMaxStreams)
            Fail(Format("Invalid value \"%s\" for option \"%s\", required syntax is \"index:value\"", value.c_str(), name.c_str()));
        o.streamIds[idx] = static_cast<int>(std::strtol(value.c_str() + colon + 1, nullptr, 0));
    } else if (name == "ab") {
        SetGenericOption("ab", value);
        lowBitrateCheck(1);
    } else if (name == "aframes") { o.maxAudioFrames = ParseInt(value);
    } else if (name == "aq") { o.audioQscale = ParseFloat(value);
    } else if (name == "ar") {
        int v = ParseInt(value);
        if (v > 0) o.sampleRate = v;
    } else if (name == "ac") {
        int v = ParseInt(value);
        if (v > 0) o.channels = v;
    } else if (name == "an") { o.audioDisable = ParseBool(value);
    } else if (name == "vol") { o.volume = ParseInt(value);
    } else if (name == "alang") { o.audioLanguage = value;
    } else if (name == "sample_fmt") {
        if (value == "list") {
            for (int f = 0; f < AV_SAMPLE_FMT_NB; ++f) {
                const char* n = ff::avutil.av_get_sample_fmt_name(static_cast<AVSampleFormat>(f));
                if (n) FFLogger().Log(this, llInfo, n);
            }
        } else {
            o.sampleFmt = ff::avutil.av_get_sample_fmt(value.c_str());
        }
    } else if (name == "sn") { o.subtitleDisable = ParseBool(value);
    } else if (name == "slang") { o.subtitleLanguage = value;
    } else if (name == "vc") { o.videoChannel = value;
    } else if (name == "tvstd") { o.tvStandard = value;
    } else if (name == "isync") { o.inputSync = ParseBool(value);
    } else if (name == "muxdelay") { o.muxMaxDelay = ParseFloat(value);
    } else if (name == "muxpreload") { o.muxPreload = ParseFloat(value);
    } else if (name == "absf" || name == "vbsf" || name == "sbsf") {
        if (value.empty() || value[0] == '=') return;
        std::string filter = value.substr(0, value.find('='));
        if (!ff::avcodec.av_bsf_get_by_name(filter.c_str())) Fail(Format("Unknown bitstream filter %s", filter.c_str()));
        (name[0] == 'a' ? o.audioBitstreamFilters : name[0] == 'v' ? o.videoBitstreamFilters : o.subtitleBitstreamFilters)
            .push_back(value);
    } else if (is({"apre", "vpre", "spre", "fpre"})) {
        LoadPreset(name, value);
    } else {
        SetGenericOption(name, value);
    }
}

}  // namespace vexlo
