#include "probe/StreamFacts.h"

#include <climits>
#include <cstdlib>

#include "platform/Text.h"

namespace vexlo {
namespace {

int32_t ClampToInt32(int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// Leading decimal number of a text ("2009-05-01" -> 2009, "3/12" -> 3), 0 when none.
int32_t LeadingNumber(const std::string& text) {
    return ClampToInt32(std::strtoll(text.c_str(), nullptr, 10));
}

}  // namespace

std::string MetadataValue(const AVDictionary* dict, const char* key) {
    if (!dict) return {};
    const AVDictionaryEntry* e = ff::avutil.av_dict_get(dict, key, nullptr, 0);
    return e && e->value ? e->value : "";
}

TFileStreamInfo ReadFileStreamInfo(const AVFormatContext* context) {
    TFileStreamInfo info;
    info.StartTime = context->start_time == AV_NOPTS_VALUE ? -1 : context->start_time;
    info.Duration = context->duration == AV_NOPTS_VALUE ? -1 : context->duration;
    info.BitRate = ClampToInt32(context->bit_rate);
    const AVDictionary* m = context->metadata;
    std::string created = MetadataValue(m, "creation_time");
    int64_t us = 0;
    if (!created.empty() && ff::avutil.av_parse_time(&us, created.c_str(), 0) == 0 && us > 0)
        info.Timestamp = us / 1000000;
    std::string year = MetadataValue(m, "year");
    info.Year = LeadingNumber(year.empty() ? MetadataValue(m, "date") : year);
    info.Track = LeadingNumber(MetadataValue(m, "track"));
    info.Title = MetadataValue(m, "title");
    // Today's libraries name the author "artist".
    info.Author = MetadataValue(m, "author");
    if (info.Author.empty()) info.Author = MetadataValue(m, "artist");
    info.Copyright = MetadataValue(m, "copyright");
    info.Comment = MetadataValue(m, "comment");
    info.Album = MetadataValue(m, "album");
    info.Genre = MetadataValue(m, "genre");
    return info;
}

std::string CodecTagText(uint32_t tag) {
    unsigned char c[4];
    bool printable = true;
    for (int i = 0; i < 4; ++i) {
        c[i] = static_cast<unsigned char>((tag >> (8 * i)) & 0xFF);
        if (c[i] < 32 || c[i] > 126) printable = false;
    }
    if (printable) return Format("%c%c%c%c / 0x%04X", c[0], c[1], c[2], c[3], tag);
    return Format("0x%04x", tag);
}

std::string CodecNameOf(const AVCodecParameters* par) {
    if (const AVCodec* decoder = ff::avcodec.avcodec_find_decoder(par->codec_id)) {
        std::string name = decoder->name ? decoder->name : "";
        if (decoder->long_name && !Trim(decoder->long_name).empty())
            name += std::string(" (") + decoder->long_name + ")";
        return name;
    }
    if (par->codec_id == AV_CODEC_ID_MPEG2TS) return "mpeg2ts";
    if (par->codec_id != AV_CODEC_ID_NONE)
        if (const AVCodecDescriptor* d = ff::avcodec.avcodec_descriptor_get(par->codec_id))
            if (d->name && *d->name) return d->name;
    return CodecTagText(par->codec_tag);
}

}  // namespace vexlo
