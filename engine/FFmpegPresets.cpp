// Built-in presets, LoadPreset and SetTarget.
#include <cmath>
#include <fstream>
#include <sstream>

#include "engine/FFmpegLogger.h"
#include "engine/TranscoderState.h"
#include "platform/Text.h"

namespace vexlo {

namespace {

struct TOptionsPreset {
    const char* name;
    const char* text;
};

#define X264_COMMON "me_range=16\ng=250\nkeyint_min=25\ni_qfactor=0.71\nqcomp=0.6\nqmin=10\nqmax=51\nqdiff=4\n"
#define X264_SPEED(preset, coder, loop, parts, me, subq, sc, bstrat, bf, refs, direct, trellis, flags2, extra) \
    "preset=" preset "\ncoder=" coder "\nflags=" loop "\ncmp=+chroma\npartitions=" parts "\nme_method=" me     \
    "\nsubq=" subq "\n" X264_COMMON "sc_threshold=" sc "\nb_strategy=" bstrat "\nbf=" bf "\nrefs=" refs        \
    "\ndirectpred=" direct "\ntrellis=" trellis "\nflags2=" flags2 "\nwpredp=2\n" extra
#define ALL_PARTS "+parti8x8+parti4x4+partp8x8+partb8x8"
#define FIRSTPASS "partitions=-parti8x8-parti4x4-partp8x8-partp4x4-partb8x8\nme_method=dia\nsubq=2\nrefs=1\ntrellis=0\nflags2=-dct8x8\n"
#define LOSSLESS(preset, coder, parts, me, subq, refs, extra) \
    "preset=" preset "\ncoder=" coder "\nflags=+loop\ncmp=+chroma\npartitions=" parts "\nme_method=" me   \
    "\nsubq=" subq "\nme_range=16\ng=250\nkeyint_min=25\nsc_threshold=40\ni_qfactor=0.71\nb_strategy=1\n" \
    "qcomp=0.6\nqmin=10\nqmax=51\nqdiff=4\nrefs=" refs "\ndirectpred=1\nflags2=+fastpskip\ncqp=0\n" extra

#define PSP_BODY                                                                                       \
    "coder=1\nflags=+loop\nlevel=30\ncmp=+chroma\npartitions=+parti4x4+parti8x8+partp8x8+partb8x8\n"   \
    "me_method=umh\nsubq=7\nme_range=16\ng=250\nkeyint_min=25\nsc_threshold=40\ni_qfactor=0.71\n"      \
    "b_strategy=1\nqcomp=0.6\nqmin=10\nqmax=51\nqdiff=4\nbf=3\nrefs=1\ndirectpred=1\ntrellis=2\n"

const TOptionsPreset kPresets[40] = {
    {"libx264-baseline", "coder=0\nbf=0\nflags2=-wpred-dct8x8\nwpredp=0"},
    {"libx264-default",
     "coder=1\nflags=+loop\ncmp=+chroma\npartitions=+parti8x8+parti4x4+partp8x8+partb8x8\nme_method=hex\nsubq=7\n"
     "me_range=16\ng=250\nkeyint_min=25\nsc_threshold=40\ni_qfactor=0.71\nb_strategy=1\nqcomp=0.6\nqmin=10\nqmax=51\n"
     "qdiff=4\nbf=3\nrefs=3\ndirectpred=1\ntrellis=1\nflags2=+mixed_refs+wpred+dct8x8+fastpskip\nwpredp=2"},
    {"libx264-fast", X264_SPEED("fast", "1", "+loop", ALL_PARTS, "hex", "6", "40", "1", "3", "2", "1", "1", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", "")},
    {"libx264-fast_firstpass", X264_SPEED("fast", "1", "+loop", ALL_PARTS, "hex", "6", "40", "1", "3", "2", "1", "1", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", FIRSTPASS)},
    {"libx264-faster", X264_SPEED("faster", "1", "+loop", ALL_PARTS, "hex", "4", "40", "1", "3", "1", "1", "1", "+bpyramid-mixed_refs+wpred+dct8x8+fastpskip", "")},
    {"libx264-faster_firstpass", X264_SPEED("faster", "1", "+loop", ALL_PARTS, "hex", "4", "40", "1", "3", "1", "1", "1", "+bpyramid-mixed_refs+wpred+dct8x8+fastpskip", FIRSTPASS)},
    {"libx264-fastfirstpass", X264_SPEED("medium", "1", "+loop", ALL_PARTS, "hex", "7", "40", "1", "3", "3", "1", "1", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", FIRSTPASS)},
    {"libx264-hq", X264_SPEED("slow", "1", "+loop", ALL_PARTS, "umh", "8", "40", "2", "16", "4", "3", "1", "+wpred+mixed_refs+dct8x8+fastpskip", "")},
    {"libx264-ipod320", "coder=0\nbf=0\nflags2=-wpred-dct8x8\nlevel=13\nmaxrate=768000\nbufsize=3000000\nwpredp=0"},
    {"libx264-ipod640", "coder=0\nbf=0\nrefs=1\nflags2=-wpred-dct8x8\nlevel=30\nmaxrate=10000000\nbufsize=10000000\nwpredp=0"},
    {"libx264-lossless_fast", LOSSLESS("fast", "0", "-parti8x8+parti4x4+partp8x8-partp4x4-partb8x8", "hex", "3", "2", "")},
    {"libx264-lossless_max", LOSSLESS("placebo", "1", "+parti8x8+parti4x4+partp8x8+partp4x4-partb8x8", "esa", "9", "16", "me_range=32\nflags2=+mixed_refs+dct8x8+fastpskip\n")},
    {"libx264-lossless_medium", LOSSLESS("medium", "1", "-parti8x8+parti4x4+partp8x8+partp4x4-partb8x8", "hex", "5", "2", "")},
    {"libx264-lossless_slow", LOSSLESS("slow", "1", "+parti8x8+parti4x4+partp8x8+partp4x4-partb8x8", "umh", "6", "2", "flags2=+dct8x8+fastpskip\n")},
    {"libx264-lossless_slower", LOSSLESS("slower", "1", "+parti8x8+parti4x4+partp8x8+partp4x4-partb8x8", "umh", "8", "4", "flags2=+mixed_refs+dct8x8+fastpskip\n")},
    {"libx264-lossless_ultrafast", LOSSLESS("ultrafast", "0", "-parti8x8-parti4x4-partp8x8-partp4x4-partb8x8", "dia", "0", "1", "flags=-loop\nsc_threshold=0\nb_strategy=0\n")},
    {"libx264-main", "flags2=-dct8x8"},
    {"libx264-max", X264_SPEED("placebo", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "tesa", "10", "40", "2", "16", "16", "3", "2", "+bpyramid+mixed_refs+wpred+dct8x8-fastpskip", "me_range=24\n")},
    {"libx264-medium", X264_SPEED("medium", "1", "+loop", ALL_PARTS, "hex", "7", "40", "1", "3", "3", "1", "1", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", "")},
    {"libx264-medium_firstpass", X264_SPEED("medium", "1", "+loop", ALL_PARTS, "hex", "7", "40", "1", "3", "3", "1", "1", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", FIRSTPASS)},
    {"libx264-normal", X264_SPEED("medium", "1", "+loop", ALL_PARTS, "hex", "6", "40", "1", "3", "2", "3", "0", "+wpred+dct8x8+fastpskip", "")},
    {"libx264-placebo", X264_SPEED("placebo", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "tesa", "10", "40", "2", "16", "16", "3", "2", "+bpyramid+mixed_refs+wpred+dct8x8-fastpskip", "me_range=24\n")},
    {"libx264-placebo_firstpass", X264_SPEED("placebo", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "tesa", "10", "40", "2", "16", "16", "3", "2", "+bpyramid+mixed_refs+wpred+dct8x8-fastpskip", "me_range=24\n" FIRSTPASS)},
    {"libx264-slow", X264_SPEED("slow", "1", "+loop", ALL_PARTS, "umh", "8", "40", "2", "3", "5", "3", "1", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", "")},
    {"libx264-slow_firstpass", X264_SPEED("slow", "1", "+loop", ALL_PARTS, "umh", "8", "40", "2", "3", "5", "3", "1", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", FIRSTPASS)},
    {"libx264-slower", X264_SPEED("slower", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "umh", "9", "40", "2", "3", "8", "3", "2", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", "")},
    {"libx264-slower_firstpass", X264_SPEED("slower", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "umh", "9", "40", "2", "3", "8", "3", "2", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", FIRSTPASS)},
    {"libx264-slowfirstpass", X264_SPEED("slow", "1", "+loop", ALL_PARTS, "umh", "8", "40", "2", "3", "5", "3", "1", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", FIRSTPASS)},
    {"libx264-superfast", X264_SPEED("superfast", "1", "+loop", "+parti8x8+parti4x4-partp8x8-partb8x8", "dia", "1", "40", "1", "3", "1", "1", "0", "+bpyramid-mixed_refs-wpred+dct8x8+fastpskip-mbtree", "")},
    {"libx264-superfast_firstpass", X264_SPEED("superfast", "1", "+loop", "+parti8x8+parti4x4-partp8x8-partb8x8", "dia", "1", "40", "1", "3", "1", "1", "0", "+bpyramid-mixed_refs-wpred+dct8x8+fastpskip-mbtree", FIRSTPASS)},
    {"libx264-ultrafast", X264_SPEED("ultrafast", "0", "-loop", "-parti8x8-parti4x4-partp8x8-partb8x8", "dia", "0", "0", "0", "0", "1", "1", "0", "-bpyramid-mixed_refs-wpred-dct8x8+fastpskip-mbtree", "wpredp=0\n")},
    {"libx264-ultrafast_firstpass", X264_SPEED("ultrafast", "0", "-loop", "-parti8x8-parti4x4-partp8x8-partb8x8", "dia", "0", "0", "0", "0", "1", "1", "0", "-bpyramid-mixed_refs-wpred-dct8x8+fastpskip-mbtree", "wpredp=0\n" FIRSTPASS)},
    {"libx264-veryfast", X264_SPEED("veryfast", "1", "+loop", ALL_PARTS, "hex", "2", "40", "1", "3", "1", "1", "0", "+bpyramid-mixed_refs+wpred+dct8x8+fastpskip", "")},
    {"libx264-veryfast_firstpass", X264_SPEED("veryfast", "1", "+loop", ALL_PARTS, "hex", "2", "40", "1", "3", "1", "1", "0", "+bpyramid-mixed_refs+wpred+dct8x8+fastpskip", FIRSTPASS)},
    {"libx264-veryslow", X264_SPEED("veryslow", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "umh", "10", "40", "2", "8", "16", "3", "2", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", "me_range=24\n")},
    {"libx264-veryslow_firstpass", X264_SPEED("veryslow", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "umh", "10", "40", "2", "8", "16", "3", "2", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", "me_range=24\n" FIRSTPASS)},
    {"libx264-psp", PSP_BODY "b=1250000\nmaxrate=1500000\nbufsize=4000000\nbt=256000\nsc_threshold=40"},
    {"libx264-ps3", PSP_BODY "maxrate=3500000\nbufsize=4000000\nbt=256000\nsc_threshold=40"},
    {"libx264-ipod",
     "coder=0\nflags=+loop\nlevel=30\ncmp=+chroma\npartitions=+parti4x4+parti8x8+partp8x8\nme_method=umh\nsubq=7\n"
     "me_range=16\ng=250\nkeyint_min=25\nsc_threshold=40\ni_qfactor=0.71\nb_strategy=1\nqcomp=0.6\nqmin=10\nqmax=51\n"
     "qdiff=4\nrefs=1\ndirectpred=1\ntrellis=2\nb=1000000\nmaxrate=1250000\nbufsize=4000000\nbt=256000\nsc_threshold=40"},
    {"libx264-mp4", PSP_BODY "b=1250000\nmaxrate=1500000\nbufsize=4000000\nbt=256000\nsc_threshold=40"},
};

const TOptionsPreset* FindPreset(const std::string& name) {
    for (const auto& p : kPresets)
        if (EqualsNoCase(p.name, name)) return &p;
    return nullptr;
}

}  // namespace

int BuiltInPresetCount() { return 40; }
const char* BuiltInPresetName(int i) { return i >= 0 && i < 40 ? kPresets[i].name : nullptr; }

void TCustomFFmpeg::LoadPreset(const std::string& kind, const std::string& name) {
    if (name.empty()) return;
    std::string text;
    bool found = false;
    if (kind == "apre" || kind == "vpre" || kind == "spre") {
        const TOptionsPreset* p = FindPreset(name);
        const std::string& own = kind == "vpre" ? opt_.videoCodec : kind == "apre" ? opt_.audioCodec : opt_.subtitleCodec;
        if (!p && kind != "spre" && !own.empty()) p = FindPreset(own + "-" + name);
        if (!p && (kind == "spre" || own.empty()) && !opt_.subtitleCodec.empty()) p = FindPreset(opt_.subtitleCodec + "-" + name);
        if (p) {
            text = p->text;
            found = true;
        }
    }
    if (!found) {
        std::ifstream in(name, std::ios::binary);
        if (!in) throw FFmpegException(Format("Preset \"%s\" not found", name.c_str()));
        std::ostringstream ss;
        ss << in.rdbuf();
        text = ss.str();
    }
    for (const std::string& raw : Split(text, '\n')) {
        std::string line = Trim(raw);
        if (line.empty()) continue;
        size_t eq = line.find('=');
        std::string key = eq == std::string::npos ? "" : Trim(line.substr(0, eq));
        std::string value = eq == std::string::npos ? "" : Trim(line.substr(eq + 1));
        if (key.empty() || value.empty())
            throw FFmpegException(Format("%s: Invalid syntax: \"%s\"", name.c_str(), line.c_str()));
        std::string lower = ToLowerAscii(key);
        if (lower == "acodec") opt_.audioCodec = value;
        else if (lower == "vcodec") opt_.videoCodec = value;
        else if (lower == "scodec") opt_.subtitleCodec = value;
        else if (!SetGenericOption(key, value))
            throw FFmpegException(Format("%s: Invalid option or argument: \"%s\", parsed as \"%s\" = \"%s\"", name.c_str(),
                                         line.c_str(), key.c_str(), value.c_str()));
    }
}

void TCustomFFmpeg::SetTarget(const std::string& target, const std::string& normText, const std::string& fallback) {
    enum { PAL, NTSC, FILM } norm;
    if (normText == "pal") norm = PAL;
    else if (normText == "ntsc") norm = NTSC;
    else if (normText == "film") norm = FILM;
    else {
        if (opt_.rateDen == 0) throw FFmpegException("frame_rate is invalid.");
        auto classify = [](long fr, int& out) {
            if (fr == 25000) out = PAL;
            else if (fr == 29970 || fr == 23976) out = NTSC;
            else return false;
            return true;
        };
        int found = -1;
        long fr = std::lround(opt_.rateNum * 1000.0 / opt_.rateDen);
        if (!classify(fr, found)) {
            for (auto& in : st_->inputs) {
                for (unsigned i = 0; i < in.ctx->nb_streams && found < 0; ++i) {
                    AVStream* s = in.ctx->streams[i];
                    if (s->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
                    AVRational r = s->avg_frame_rate.num ? s->avg_frame_rate : s->r_frame_rate;
                    if (r.den && r.num) classify(std::lround(r.num * 1000.0 / r.den), found);
                }
                if (found >= 0) break;
            }
        }
        if (found < 0) found = fallback == "film" ? FILM : fallback == "ntsc" ? NTSC : PAL;
        norm = static_cast<decltype(norm)>(found);
        if (opt_.verbose > 0) FFLogger().LogF(this, llVerbose, "Assuming %s for target.", norm == PAL ? "PAL" : "NTSC");
    }
    const char* rate = norm == PAL ? "25" : norm == NTSC ? "30000/1001" : "24000/1001";
    bool pal = norm == PAL;
    auto aspectDefault = [&](const char* text, double value) {
        if (opt_.aspectRatio == 0) {
            opt_.aspectRatio = value;
            FFLogger().Log(this, llInfo, text);
        }
    };
    if (target == "vcd") {
        SetOption("vcodec", "mpeg1video");
        SetOption("acodec", "mp2");
        SetOption("f", "vcd");
        SetOption("s", pal ? "352x288" : "352x240");
        SetOption("r", rate);
        SetGenericOption("g", pal ? "15" : "18");
        SetGenericOption("b", "1150000");
        SetGenericOption("maxrate", "1150000");
        SetGenericOption("minrate", "1150000");
        SetGenericOption("bufsize", "327680");
        SetGenericOption("ab", "224000");
        opt_.sampleRate = 44100;
        opt_.channels = 2;
        SetGenericOption("packetsize", "2324");
        SetGenericOption("muxrate", "1411200");
        opt_.muxPreload = 0.44;
        aspectDefault("Assuming 4:3 for aspect ratio", 4.0 / 3.0);
    } else if (target == "svcd") {
        SetOption("vcodec", "mpeg2video");
        SetOption("acodec", "mp2");
        SetOption("f", "svcd");
        SetOption("s", pal ? "480x576" : "480x480");
        SetOption("r", rate);
        SetGenericOption("g", pal ? "15" : "18");
        SetGenericOption("b", "2040000");
        SetGenericOption("maxrate", "2516000");
        SetGenericOption("minrate", "0");
        SetGenericOption("bufsize", "1835008");
        SetGenericOption("flags", "+scan_offset");
        SetGenericOption("ab", "224000");
        opt_.sampleRate = 44100;
        if (opt_.channels == 1) opt_.channels = 2;
        SetGenericOption("packetsize", "2324");
        aspectDefault("Assuming 4:3 for aspect ratio", 4.0 / 3.0);
    } else if (target == "dvd") {
        SetOption("vcodec", "mpeg2video");
        SetOption("acodec", "ac3");
        SetOption("f", "dvd");
        SetOption("s", pal ? "720x576" : "720x480");
        SetOption("r", rate);
        SetGenericOption("g", pal ? "15" : "18");
        SetGenericOption("b", "6000000");
        SetGenericOption("maxrate", "9000000");
        SetGenericOption("minrate", "0");
        SetGenericOption("bufsize", "1835008");
        SetGenericOption("ab", "448000");
        opt_.sampleRate = 48000;
        if (opt_.channels == 1) opt_.channels = 2;
        SetGenericOption("packetsize", "2048");
        SetGenericOption("muxrate", "10080000");
        aspectDefault("Assuming 16:9 for aspect ratio", 16.0 / 9.0);
    } else if (target == "dv" || target == "dv50") {
        SetOption("f", "dv");
        SetOption("s", pal ? "720x576" : "720x480");
        SetOption("r", rate);
        SetOption("pix_fmt", target == "dv50" ? "yuv422p" : pal ? "yuv420p" : "yuv411p");
        opt_.sampleRate = 48000;
        opt_.channels = 2;
    } else {
        throw FFmpegException("Unknown target type");
    }
}

}  // namespace vexlo
