#include "batch/SourceProbe.h"

#include "engine/FFmpegApi.h"
#include "engine/FFmpegLoader.h"
#include "engine/FFmpegPtr.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace vexlo {

bool ProbeSourceDuration(const std::string& path, int64_t& duration) {
    duration = 0;
    AVFormatContext* raw = nullptr;
    if (ff::avformat.avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return false;
    ff::InputFormatPtr ctx(raw);
    {
        CodecLock lock;
        if (ff::avformat.avformat_find_stream_info(ctx.get(), nullptr) < 0) return false;
    }
    if (ctx->nb_streams == 0) return false;
    if (ctx->duration != AV_NOPTS_VALUE && ctx->duration > 0) duration = ctx->duration;
    return true;
}

int64_t WholeSeconds(int64_t duration) { return duration > 0 ? duration / 1000000 : 0; }

}  // namespace vexlo
