#include "engine/FrameBitmap.h"
#include <cstring>

namespace vexlo {

namespace {
// The flags the filter graph converts with by default: they keep the fast SIMD paths, which
// accurate rounding and full-chroma interpolation would turn off (4 times slower at 720p).
constexpr int kHookScaleFlags = SWS_BICUBIC;

SwsContext* Cached(ff::SwsPtr& slot, int key[3], int w, int h, AVPixelFormat src, AVPixelFormat dst, int fmtKey) {
    if (!slot || key[0] != w || key[1] != h || key[2] != fmtKey) {
        slot.reset(ff::swscale.sws_getContext(w, h, src, w, h, dst, kHookScaleFlags, nullptr, nullptr, nullptr));
        key[0] = w;
        key[1] = h;
        key[2] = fmtKey;
    }
    return slot.get();
}
}  // namespace

bool TFrameBitmap::Convert(const uint8_t* const data[4], const int linesize[4], int pixFmt, int width, int height) {
    bitmap_.SetSize(width, height);
    if (pixFmt == AV_PIX_FMT_BGR24 && width % 2 == 0 && height % 2 == 0 && linesize[0] == bitmap_.Stride()) {
        for (int y = 0; y < height; ++y)
            std::memcpy(bitmap_.ScanLine(y), data[0] + static_cast<ptrdiff_t>(y) * linesize[0], bitmap_.Stride());
        return true;
    }
    SwsContext* sws = Cached(toRgb_, toKey_, width, height, static_cast<AVPixelFormat>(pixFmt), AV_PIX_FMT_BGR24, pixFmt);
    if (!sws) return false;
    uint8_t* dst[4] = {bitmap_.Bits(), nullptr, nullptr, nullptr};
    int dstStride[4] = {bitmap_.Stride(), 0, 0, 0};
    ff::swscale.sws_scale(sws, data, linesize, 0, height, dst, dstStride);
    return true;
}

bool TFrameBitmap::WriteBack(uint8_t* const data[4], const int linesize[4], int pixFmt, int width, int height) {
    if (bitmap_.Width() != width || bitmap_.Height() != height) return false;
    if (pixFmt == AV_PIX_FMT_BGR24) {
        for (int y = 0; y < height; ++y)
            std::memcpy(data[0] + static_cast<ptrdiff_t>(y) * linesize[0], bitmap_.ScanLine(y), static_cast<size_t>(width) * 3);
        return true;
    }
    SwsContext* sws = Cached(fromRgb_, fromKey_, width, height, AV_PIX_FMT_BGR24, static_cast<AVPixelFormat>(pixFmt), pixFmt);
    if (!sws) return false;
    const uint8_t* src[4] = {bitmap_.Bits(), nullptr, nullptr, nullptr};
    int srcStride[4] = {bitmap_.Stride(), 0, 0, 0};
    ff::swscale.sws_scale(sws, src, srcStride, 0, height, data, linesize);
    return true;
}

void TFrameBitmap::Reset() {
    bitmap_.SetSize(0, 0);
    toRgb_.reset();
    fromRgb_.reset();
    toKey_[0] = toKey_[1] = toKey_[2] = -1;
    fromKey_[0] = fromKey_[1] = fromKey_[2] = -1;
}

}  // namespace vexlo
