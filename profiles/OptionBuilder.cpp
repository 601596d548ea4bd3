#include "profiles/OptionBuilder.h"

#include <algorithm>
#include <climits>

#include "app/Settings.h"
#include "batch/JobRecord.h"
#include "platform/Prompts.h"
#include "platform/Text.h"
#include "profiles/FormatCatalogue.h"
#include "profiles/FormatFile.h"
#include "profiles/ParameterBoxes.h"
#include "profiles/ParameterMaps.h"

namespace vexlo {
namespace {

// Frame sizes beyond this are not pictures any encoder here accepts.
constexpr int kMaxFrameSide = 8192;

int EvenFloor(int v) { return v - (v % 2); }

// text x 1000, truncated toward zero, from an integer or decimal text; false when the text
// is not a number or the result does not fit a bit rate.
bool ThousandsOf(const std::string& text, int& out) {
    double check;
    if (!TryParseNumber(text, check)) return false;
    bool negative = text[0] == '-';
    size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    long long whole = 0;
    for (; i < text.size() && text[i] != '.'; ++i) {
        whole = whole * 10 + (text[i] - '0');
        if (whole > INT_MAX) return false;
    }
    long long fraction = 0;
    int digits = 0;
    if (i < text.size())
        for (++i; i < text.size() && digits < 3; ++i, ++digits) fraction = fraction * 10 + (text[i] - '0');
    for (; digits < 3; ++digits) fraction *= 10;
    long long v = whole * 1000 + fraction;
    if (v > INT_MAX) return false;
    out = static_cast<int>(negative ? -v : v);
    return true;
}

int ClampBitRate(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, 0, INT_MAX)); }

struct TProfileReader {
    IniFile ini;
    std::string section;
    std::string operator()(const char* key, const char* fallback) const {
        return ini.ReadString(section, key, fallback);
    }
};

void ApplyDiscTarget(const std::string& format, const std::string& videoSize, TOutputOptions& out) {
    static const struct {
        const char* format;
        int type, norm;
        const char* wideSize;  // the size that makes a DVD 16:9
    } targets[] = {{"ntsc-dvd", kTargetDVD, kNormNTSC, "720x480"}, {"pal-dvd", kTargetDVD, kNormPAL, "720x576"},
                   {"ntsc-vcd", kTargetVCD, kNormNTSC, nullptr},   {"pal-vcd", kTargetVCD, kNormPAL, nullptr},
                   {"ntsc-svcd", kTargetSVCD, kNormNTSC, nullptr}, {"pal-svcd", kTargetSVCD, kNormPAL, nullptr}};
    for (const auto& t : targets)
        if (format == t.format) {
            out.TargetType = t.type;
            out.TargetNorm = t.norm;
            out.AspectRatio = (t.wideSize && videoSize == t.wideSize) ? "16:9" : "4:3";
        }
}

// The stored bit rate in kbit/s as bit/s; the audio rule.
void ApplyAudioBitRate(const TProfileReader& profile, TOutputOptions& out) {
    std::string rate = profile("paraAudioBitRate", "128");
    int bps;
    if (rate != kAsSource && ThousandsOf(rate, bps) && bps > 0) out.AudioBitrate = bps;
}

void ApplyVolume(const TProfileReader& profile, TOutputOptions& out) {
    std::string volume = profile("paraVolume", "");
    int v;
    // A hand-edited value that is no volume (not a whole number, negative) is ignored.
    if (!volume.empty() && volume != "256" && TryParseInteger(volume, v) && v >= 0) out.Volume = v;
}

bool PositiveInteger(const std::string& text, int& v) { return text != kAsSource && TryParseInteger(text, v) && v > 0; }

void AudioOnly(const TProfileReader& profile, TOutputOptions& out, TInputOptions& in) {
    out.AudioCodec = profile("paraAudioEncoder", "libfaac");
    int v;
    if (PositiveInteger(profile("paraChannel", "2"), v)) out.AudioChannels = v;
    if (PositiveInteger(profile("paraSampleRate", "44100"), v)) out.AudioSampleRate = v;
    ApplyAudioBitRate(profile, out);
    ApplyVolume(profile, out);
    in.ExtOptions = "vn=1";
    out.DisableVideo = true;
    out.DisableSubtitle = true;
}

void ApplyVideoCodec(const std::string& encoder, const std::string& format, TOutputOptions& out) {
    static const char* const direct[] = {"mpeg4",   "libxvid", "mpeg1video", "msmpeg4", "msmpeg4v1", "msmpeg4v2",
                                         "huffyuv", "dvvideo", "rawvideo",   "h263p",   "h263",      "rv10",
                                         "rv20",    "ljpeg",   "mjpeg",      "svq1",    "zlib",      "wmv1",
                                         "wmv2"};
    for (const char* name : direct)
        if (encoder == name) out.VideoCodec = encoder;
    if (encoder == "mpeg2video") {
        out.VideoCodec = encoder;
        out.TargetType = kTargetDVD;
    } else if (encoder == "libx264") {
        out.VideoCodec = encoder;
        if (format == "psp") out.VideoPreset = "libx264-psp";
        else if (format == "ipod") out.VideoPreset = "libx264-ipod";
        else if (format == "ps3") out.VideoPreset = "libx264-ps3";
        else out.VideoPreset = "libx264-mp4";
    }
}

// tW x tH from paraVideoSize; false when the frame size cannot be known at all.
bool TargetSize(const std::string& size, const TOutputOptions& out, int sW, int sH, int& tW, int& tH) {
    tW = sW;
    tH = sH;
    if (size != kAsSource) {
        size_t p = size.find('x');
        if (p != std::string::npos && p >= 1 && p + 1 < size.size()) {
            if (!TryParseInteger(size.substr(0, p), tW)) tW = sW;
            if (!TryParseInteger(size.substr(p + 1), tH)) tH = sH;
            if (ToLowerAscii(out.VideoCodec) == "h263" &&
                std::string("704x576,352x288,176x144,160x120,128x96").find(size) == std::string::npos) {
                if (tW > 352) tW = 704, tH = 576;
                else if (tW > 176) tW = 352, tH = 288;
            }
        } else if (CurrentPrompts().Show("Warning", "Error output Video Size.Use the default size 320x240?",
                                         PromptButtons::YesNo, PromptIcon::Question) == PromptResult::Yes) {
            tW = 320;
            tH = 240;
        }
    }
    // A hand-edited size may be negative, odd or huge: the source's side stands in for a
    // side that is no size, and every side becomes an even number the encoders take.
    if (tW <= 0) tW = sW;
    if (tH <= 0) tH = sH;
    if (tW <= 0 || tH <= 0) return false;
    tW = std::max(2, EvenFloor(std::min(tW, kMaxFrameSide)));
    tH = std::max(2, EvenFloor(std::min(tH, kMaxFrameSide)));
    return true;
}

std::string Size(int w, int h, char sep) { return std::to_string(w) + sep + std::to_string(h); }

struct TRecordCrop {
    int top = 0, left = 0, bottom = 0, right = 0;
    bool any() const { return top > 0 || left > 0 || bottom > 0 || right > 0; }
};

// The record's margins, without negatives, and none on an axis they would use up.
TRecordCrop UsableCrop(const TlvFilesRecord& r, int sW, int sH) {
    TRecordCrop c{std::max(0, r.CropTop), std::max(0, r.CropLeft), std::max(0, r.CropBottom), std::max(0, r.CropRight)};
    if (static_cast<int64_t>(c.left) + c.right > sW - 2) c.left = c.right = 0;
    if (static_cast<int64_t>(c.top) + c.bottom > sH - 2) c.top = c.bottom = 0;
    return c;
}

// Step of the zoom mode; returns the filter text F.
std::string ApplyZoom(const std::string& zoom, const TRecordCrop& crop, int sW, int sH, int tW, int tH,
                      TOutputOptions& out) {
    std::string f;
    if (zoom == "full") {
        if (crop.any()) {
            out.CropTop = crop.top;
            out.CropBottom = crop.bottom;
            out.CropLeft = crop.left;
            out.CropRight = crop.right;
        }
        out.FrameSize = Size(tW, tH, 'x');
        out.AspectRatio = Size(tW, tH, ':');
    } else if (zoom == "lbox") {
        TBoxMargins m = PadForBox(sW, sH, tW, tH);
        int iW = tW - 2 * m.Left, iH = tH - 2 * m.Top;
        out.AspectRatio = Size(iW, iH, ':');
        std::string pad = "pad=" + Size(tW, tH, ':') + ":" + Size(m.Left, m.Top, ':');
        if (crop.any()) {
            f = "crop=" + Size(crop.left, crop.top, ':') + ":" +
                Size(sW - crop.left - crop.right, sH - crop.top - crop.bottom, ':') + ",scale=" + Size(iW, iH, ':') +
                "," + pad;
        } else {
            out.FrameSize = Size(iW, iH, 'x');
            f = pad;
        }
    } else if (zoom == "pan") {
        TPanScanCrop c = PanScanCrop(sW, sH, crop.top, crop.left, crop.bottom, crop.right);
        if (c.Left > 0) out.CropLeft = out.CropRight = c.Left;
        if (c.Top > 0) out.CropTop = out.CropBottom = c.Top;
        out.FrameSize = Size(tW, tH, 'x');
        out.AspectRatio = Size(tW, tH, ':');
    } else if (zoom == "center") {
        // The source keeps its own scale when it fits the box and is centred in black;
        // a larger source is fitted first, as in letterbox.
        if (sW <= tW && sH <= tH) {
            f = Format("pad=%d:%d:%d:%d:black", tW, tH, EvenFloor((tW - sW) / 2), EvenFloor((tH - sH) / 2));
        } else {
            TBoxMargins m = PadForBox(sW, sH, tW, tH);
            f = Format("scale=%d:%d,pad=%d:%d:%d:%d:black", tW - 2 * m.Left, tH - 2 * m.Top, tW, tH, m.Left, m.Top);
        }
        out.FrameSize = Size(tW, tH, 'x');
        out.AspectRatio = Size(tW, tH, ':');
    }
    return f;
}

}  // namespace

TBoxMargins PadForBox(int sW, int sH, int tW, int tH) {
    TBoxMargins m;
    if (sW <= 0 || sH <= 0 || tW <= 0 || tH <= 0) return m;
    double rW = static_cast<double>(sW) / tW, rH = static_cast<double>(sH) / tH;
    if (rW > rH) {
        int h = static_cast<int>(sH / rW);
        m.Top = ((tH - 2 * (h / 2)) / 4) * 2;
        if (tH - 2 * m.Top < 2) m.Top = std::max(0, ((tH - 2) / 4) * 2);
    } else if (rW < rH) {
        int w = static_cast<int>(sW / rH);
        m.Left = ((tW - 2 * (w / 2)) / 4) * 2;
        if (tW - 2 * m.Left < 2) m.Left = std::max(0, ((tW - 2) / 4) * 2);
    }
    return m;
}

TPanScanCrop PanScanCrop(int sW, int sH, int cropTop, int cropLeft, int cropBottom, int cropRight) {
    TPanScanCrop c;
    int64_t cw = static_cast<int64_t>(sW) - cropLeft - cropRight;
    int64_t ch = static_cast<int64_t>(sH) - cropTop - cropBottom;
    if (sW <= 0 || sH <= 0 || cw <= 0 || ch <= 0) return c;
    // Evenly cut from both sides of an extent so that `keep` remains, but at least `atLeast`
    // from each side, and never all of it.
    auto share = [](int extent, int64_t keep, int atLeast) {
        int64_t a = (extent - keep) / 2;
        a = std::max<int64_t>(a, atLeast + atLeast % 2);
        a = std::min<int64_t>(a, (extent - 2) / 2);
        return EvenFloor(static_cast<int>(std::max<int64_t>(a, 0)));
    };
    if (cw * 3 > ch * 4) {
        c.Left = c.Right = share(sW, (static_cast<int64_t>(sH) * 4 + 1) / 3, std::max(cropLeft, cropRight));
    } else if (cw * 3 < ch * 4) {
        c.Top = c.Bottom = share(sH, (static_cast<int64_t>(sW) * 3 + 2) / 4, std::max(cropTop, cropBottom));
    }
    return c;
}

void BuildOutputOptions(const TlvFilesRecord& record, int formatCode, TOutputOptions& out,
                        const ISourceVideoInfo& probe, TInputOptions& in) {
    const std::string code = std::to_string(formatCode);
    EnsureProfileDefaults(code);
    const TProfileReader profile{SettingsIni(), FormatSection(code)};
    const std::string format = ToLowerAscii(ReadFormatKeyword(code));
    const std::string videoSize = profile("paraVideoSize", "null");

    ApplyDiscTarget(format, videoSize, out);

    const std::string encoder = profile("paraVideoEncoder", "");
    if (Trim(encoder).empty()) {
        AudioOnly(profile, out, in);
        return;
    }
    ApplyVideoCodec(encoder, format, out);

    std::string f;
    if (probe.VideoStreamCount() <= 0) {
        out.DisableVideo = true;
    } else {
        int v;
        std::string bitRate = profile("paraVideoBitRate", "512");
        if (bitRate != kAsSource && TryParseInteger(bitRate, v) && static_cast<int64_t>(v) * 1000 <= INT_MAX) {
            if (v > 0) out.VideoBitrate = v * 1000;
        } else {
            out.VideoBitrate = ClampBitRate(probe.VideoBitRate());
        }

        std::string frameRate = profile("paraFrameRate", "29.97");
        double fps;
        if (frameRate != kAsSource && TryParseNumber(frameRate, fps) && fps > 0) out.FrameRate = frameRate;

        static const char* const containers[] = {"ipod", "3gp", "3g2", "avi", "psp", "mov", "vcd", "flv", "mpegts", "vob"};
        for (const char* c : containers)
            if (format == c) out.FileFormat = ReadFormatKeyword(code);

        const int sW = std::max(0, probe.VideoWidth()), sH = std::max(0, probe.VideoHeight());
        int tW, tH;
        bool sized = TargetSize(videoSize, out, sW, sH, tW, tH);

        for (int* field : {&out.CropTop, &out.CropBottom, &out.CropLeft, &out.CropRight})
            if (*field == -1) *field = 0;

        if (sized) f = ApplyZoom(record.ZoomMode, UsableCrop(record, sW, sH), sW, sH, tW, tH, out);
    }

    // An empty F adds nothing: a trailing "," would break the caller's filter graph.
    if (!f.empty()) out.VideoFilters = out.VideoFilters.empty() ? f : out.VideoFilters + "," + f;

    std::string audio = profile("paraAudioEncoder", "");
    out.AudioCodec = audio == "libamr_nb" ? "libopencore_amrnb" : audio;
    if (Trim(audio).empty()) out.DisableAudio = true;
    int v;
    std::string channels = profile("paraChannel", "2");
    if (channels != kAsSource && TryParseInteger(channels, v)) out.AudioChannels = v;
    ApplyVolume(profile, out);
    if (PositiveInteger(profile("paraSampleRate", "44100"), v)) out.AudioSampleRate = v;
    ApplyAudioBitRate(profile, out);
}

}  // namespace vexlo
