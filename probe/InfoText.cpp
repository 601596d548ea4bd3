#include "probe/InfoText.h"

#include <cmath>
#include <cstring>
#include <ctime>
#include <numeric>

#include "engine/FFmpegPtr.h"
#include "engine/TimeFormat.h"
#include "platform/Text.h"
#include "probe/StreamFacts.h"

namespace vexlo {
namespace {

struct KeyName {
    const char* frame;
    const char* name;
};

// ID3v2 frames (both the 4-letter and the older 3-letter forms) to plain names.
const KeyName kKeyNames[] = {
    {"TALB", "album"},    {"TAL", "album"},      {"TCOM", "composer"},  {"TCON", "genre"},
    {"TCO", "genre"},     {"TCOP", "copyright"}, {"TDRL", "date"},      {"TENC", "encoder"},
    {"TEN", "encoder"},   {"TIT2", "title"},     {"TT2", "title"},      {"TLAN", "language"},
    {"TPE1", "artist"},   {"TP1", "artist"},     {"TPOS", "disc"},      {"TPUB", "publisher"},
    {"TRCK", "track"},    {"TRK", "track"},      {"TSOA", "albumsort"}, {"TSOP", "authorsort"},
    {"TSOT", "titlesort"}, {"TYER", "year"},
};

constexpr AVRational kMicroseconds{1, 1000000};

bool Known(AVRational r) { return r.num != 0 && r.den != 0; }

// Metadata value, else the key today's libraries use for it, else "N/A".
std::string ProgramValue(const AVDictionary* m, const char* key, const char* modernKey) {
    std::string v = MetadataValue(m, key);
    if (v.empty()) v = MetadataValue(m, modernKey);
    return v.empty() ? "N/A" : v;
}

void AppendStream(std::vector<std::string>& lines, const AVFormatContext* context, int index) {
    lines.push_back(StreamLine(context, index));
    AppendMetadataLines(lines, context->streams[index]->metadata, "  ");
}

}  // namespace

std::string FileSizeText(int64_t size) {
    if (size <= 1024) return Format("%lld Byte", static_cast<long long>(size));
    double v = static_cast<double>(size);
    if (size <= 1048576) return Format("%.2f KB", v / 1024);
    if (size <= 1073741824) return Format("%.2f MB", v / 1048576);
    return Format("%.2f GB", v / 1073741824);
}

std::string RateText(double value, const char* label) {
    long long hundredths = std::llround(value * 100);
    if (hundredths % 100) return Format(", %3.2f %s", value, label);
    if (hundredths % 100000) return Format(", %1.0f %s", value, label);
    return Format(", %1.0fk %s", value / 1000, label);
}

std::string MetadataKeyName(const std::string& key) {
    for (const auto& k : kKeyNames)
        if (key == k.frame) return k.name;
    return key;
}

std::string TimeStampText(int64_t seconds) {
    ::tzset();
    // timezone: seconds west of UTC in standard time.
    time_t t = static_cast<time_t>(seconds - ::timezone);
    struct tm tm {};
    ::gmtime_r(&t, &tm);
    return Format("%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
}

std::string SecondsText(int64_t us) {
    unsigned long long magnitude = us < 0 ? 0ULL - static_cast<unsigned long long>(us)
                                          : static_cast<unsigned long long>(us);
    return Format("%s%llu.%.6llu", us < 0 ? "-" : "", magnitude / 1000000, magnitude % 1000000);
}

void AppendMetadataLines(std::vector<std::string>& lines, const AVDictionary* metadata,
                         const std::string& prefix) {
    if (!metadata) return;
    std::vector<std::string> entries;
    const AVDictionaryEntry* e = nullptr;
    while ((e = ff::avutil.av_dict_get(metadata, "", e, AV_DICT_IGNORE_SUFFIX))) {
        if (std::strcmp(e->key, "language") == 0) continue;
        entries.push_back(Format("%s  %-16s: %s", prefix.c_str(), MetadataKeyName(e->key).c_str(),
                                 e->value ? e->value : ""));
    }
    if (entries.empty()) return;
    lines.push_back(prefix + "Metadata:");
    lines.insert(lines.end(), entries.begin(), entries.end());
}

std::string StreamLine(const AVFormatContext* context, int index) {
    const AVStream* st = context->streams[index];
    const AVCodecParameters* par = st->codecpar;
    std::string line = Format("Stream #%d", index);
    if (context->iformat && (context->iformat->flags & AVFMT_SHOW_IDS)) line += Format("[0x%x]", st->id);
    std::string language = MetadataValue(st->metadata, "language");
    if (!language.empty()) line += "(" + language + ")";

    AVRational tb = st->time_base;
    int g = std::gcd(tb.num, tb.den);
    if (g == 0) g = 1;
    line += Format(", %d/%d", tb.num / g, tb.den / g);

    char description[256] = "";
    ff::CodecContextPtr codec(ff::avcodec.avcodec_alloc_context3(nullptr));
    if (codec && ff::avcodec.avcodec_parameters_to_context(codec.get(), par) >= 0) {
        // A decoder would take the usual layout for the channel count ("mono", not "1 channels").
        AVChannelLayout& layout = codec->ch_layout;
        if (layout.order == AV_CHANNEL_ORDER_UNSPEC && layout.nb_channels > 0) {
            int channels = layout.nb_channels;
            ff::avutil.av_channel_layout_uninit(&layout);
            ff::avutil.av_channel_layout_default(&layout, channels);
        }
        ff::avcodec.avcodec_string(description, sizeof description, codec.get(), 0);
    }
    line += ": ";
    line += description;

    AVRational sar = st->sample_aspect_ratio;
    if (sar.num != 0 && av_cmp_q(sar, par->sample_aspect_ratio) != 0) {
        int darNum = 0, darDen = 0;
        ff::avutil.av_reduce(&darNum, &darDen, static_cast<int64_t>(par->width) * sar.num,
                             static_cast<int64_t>(par->height) * sar.den, 1024 * 1024);
        line += Format(", PAR %d:%d DAR %d:%d", sar.num, sar.den, darNum, darDen);
    }

    if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
        if (Known(st->avg_frame_rate)) line += RateText(av_q2d(st->avg_frame_rate), "fps");
        if (Known(st->r_frame_rate)) line += RateText(av_q2d(st->r_frame_rate), "tbr");
        if (Known(tb)) line += RateText(1 / av_q2d(tb), "tbn");
        // Decoders no longer publish a time base of their own; shown when there is one.
        if (codec && Known(codec->time_base)) line += RateText(1 / av_q2d(codec->time_base), "tbc");
    }

    if (st->start_time != AV_NOPTS_VALUE)
        line += ", StartTime: " + SecondsText(ff::avutil.av_rescale_q(st->start_time, tb, kMicroseconds));
    if (st->duration == AV_NOPTS_VALUE) line += ", Duration: N/A";
    else line += ", Duration: " + FormatPTS(ff::avutil.av_rescale_q(st->duration, tb, kMicroseconds));
    return line;
}

std::string InfoText(const AVFormatContext* context, const std::string& fileName, int64_t fileSize,
                     const TFileStreamInfo& info) {
    std::vector<std::string> lines;
    const AVInputFormat* format = context->iformat;
    lines.push_back("File Name: " + fileName);
    lines.push_back(std::string("Format Name: ") + (format && format->name ? format->name : ""));
    lines.push_back(std::string("Format Long Name: ") +
                    (format && format->long_name ? format->long_name : ""));
    lines.push_back("File Size: " + FileSizeText(fileSize));
    lines.push_back(info.Duration < 0 ? "Duration: N/A" : "Duration: " + FormatPTS(info.Duration));
    if (info.StartTime >= 0) lines.push_back("StartTime: " + SecondsText(info.StartTime));
    if (context->bit_rate < 1) lines.push_back("Bit Rate: N/A");
    else lines.push_back(Format("Bit Rate: %lld kb/s", static_cast<long long>(context->bit_rate / 1000)));
    if (info.Timestamp > 0) lines.push_back("Time Stamp: " + TimeStampText(info.Timestamp));
    AppendMetadataLines(lines, context->metadata, "");

    const int streams = static_cast<int>(context->nb_streams);
    std::vector<bool> shown(streams, false);
    for (unsigned p = 0; p < context->nb_programs; ++p) {
        const AVProgram* program = context->programs[p];
        lines.push_back(Format("Program %d %s@%s", program->id,
                               ProgramValue(program->metadata, "provider_name", "service_provider").c_str(),
                               ProgramValue(program->metadata, "name", "service_name").c_str()));
        AppendMetadataLines(lines, program->metadata, "  ");
        for (unsigned k = 0; k < program->nb_stream_indexes; ++k) {
            int index = static_cast<int>(program->stream_index[k]);
            if (index < 0 || index >= streams) continue;
            AppendStream(lines, context, index);
            shown[index] = true;
        }
    }
    for (int i = 0; i < streams; ++i)
        if (!shown[i]) AppendStream(lines, context, i);

    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

}  // namespace vexlo
