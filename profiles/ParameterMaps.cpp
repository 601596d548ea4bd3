#include "profiles/ParameterMaps.h"

#include <climits>
#include <cstdlib>

#include "platform/Text.h"

namespace vexlo {

const char* const kAsSource = "as source";
const char* const kNull = "null";
const char* const kZoomValues[4] = {"full", "lbox", "pan", "center"};
const char* const kH264Keys[7] = {"paraBitExact", "paraMaxBitrate", "paraBufferSize", "paraLevel",
                                  "paraQscale",   "paraGop",        "paraCoder"};

std::vector<std::string> ParseChoiceList(const std::string& text) {
    if (text == kNull) return {};
    return Split(text, ',');
}

namespace {

// Length of an optionally signed run of digits at the start of s (0 when there is none).
size_t SignedDigitsLength(const std::string& s) {
    size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
    size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i == start ? 0 : i;
}

struct MapEntry {
    const char* item;
    const char* stored;
};

std::optional<std::string> Lookup(const MapEntry* begin, const MapEntry* end, const std::string& key) {
    for (auto* e = begin; e != end; ++e)
        if (key == e->item) return std::string(e->stored);
    return std::nullopt;
}

}  // namespace

bool TryParseInteger(const std::string& text, int& out) {
    if (text.empty() || SignedDigitsLength(text) != text.size() || text.size() > 12) return false;
    long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

bool IsIntegerText(const std::string& text) {
    int v;
    return TryParseInteger(text, v);
}

bool TryParseNumber(const std::string& text, double& out) {
    int i;
    if (TryParseInteger(text, i)) {
        out = i;
        return true;
    }
    // digits "." digits, with at least one digit on either side of the point
    size_t n = SignedDigitsLength(text);
    size_t signLen = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    size_t pos = n ? n : signLen;
    if (pos >= text.size() || text[pos] != '.') return false;
    size_t frac = pos + 1;
    while (frac < text.size() && text[frac] >= '0' && text[frac] <= '9') ++frac;
    if (frac != text.size() || (n == 0 && frac == pos + 1) || text.size() > 40) return false;
    out = std::strtod(text.c_str(), nullptr);
    return true;
}

bool IsNumberText(const std::string& text) {
    double v;
    return TryParseNumber(text, v);
}

std::optional<std::string> MapVideoEncoder(const std::string& item) {
    static const MapEntry map[] = {
        {"mpeg-4", "mpeg4"},         {"3gp", "3gp"},           {"3g2", "3g2"},
        {"xvid", "libxvid"},         {"mov", "mov"},           {"wmv1", "wmv1"},
        {"wmv2", "wmv2"},            {"wmv3", "wmv3"},         {"flv", "flv"},
        {"swf", "swf"},              {"msmpeg4", "msmpeg4"},   {"msmpeg4v1", "msmpeg4v1"},
        {"msmpeg4v2", "msmpeg4v2"},  {"mpeg1video", "mpeg1video"}, {"mpeg2video", "mpeg2video"},
        {"h263", "h263"},            {"h263p", "h263p"},       {"rawvideo", "rawvideo"},
        {"rv10", "rv10"},            {"rv20", "rv20"},         {"dvvideo", "dvvideo"},
        {"huffyuv", "huffyuv"},      {"ljpeg", "ljpeg"},       {"mjpeg", "mjpeg"},
        {"svq1", "svq1"},            {"zlib", "zlib"},         {"h264", "libx264"},
    };
    return Lookup(std::begin(map), std::end(map), ToLowerAscii(item));
}

std::optional<std::string> MapAudioEncoder(const std::string& item) {
    static const MapEntry map[] = {
        {"mp3", "libmp3lame"},     {"ogg", "vorbis"},         {"mp2", "mp2"},
        {"aac", "libfaac"},        {"ac-3", "ac3"},           {"flac", "libflac"},
        {"amr_nb", "libopencore_amrnb"}, {"pcm_s16", "pcm_s16le"}, {"pcm_u16", "pcm_u16le"},
        {"pcm_alaw", "pcm_alaw"},  {"pcm_mulaw ", "pcm_mulaw"}, {"adpcm_ms", "adpcm_ms"},
        {"adpcm_ima_wav", "adpcm_ima_wav"}, {"wma1", "wmav1"}, {"wma2", "wmav2"},
    };
    return Lookup(std::begin(map), std::end(map), ToLowerAscii(item));
}

std::optional<std::string> MapChannel(const std::string& item) {
    static const MapEntry map[] = {
        {"as source", "as source"}, {"mono 1 channel", "1"}, {"stereo 2 channels", "2"}};
    return Lookup(std::begin(map), std::end(map), item);
}

std::optional<std::string> MapVolume(const std::string& item) {
    static const struct {
        int percent, stored;
    } map[] = {{25, 64},   {50, 128},  {75, 192},  {100, 256}, {125, 320}, {150, 384},
               {175, 448}, {200, 512}, {250, 640}, {300, 768}, {350, 896}, {400, 1024}};
    if (item.empty()) return std::nullopt;
    int percent;
    if (!TryParseInteger(item.substr(0, item.size() - 1), percent)) return std::nullopt;
    for (const auto& e : map)
        if (e.percent == percent) return std::to_string(e.stored);
    return std::nullopt;
}

bool IsH264EncoderItem(const std::string& item) { return ToLowerAscii(item) == "h264"; }

int ZoomPositionOf(const std::string& stored) {
    for (int i = 0; i < 4; ++i)
        if (stored == kZoomValues[i]) return i;
    return -1;
}

}  // namespace vexlo
