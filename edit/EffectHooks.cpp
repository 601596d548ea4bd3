#include "edit/EffectHooks.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "edit/DrawJobEffects.h"

namespace vexlo {

void ConversionCustomHook(TBitmap& Bitmap, const TJobEffects& Job, bool& StopHook, bool& Update,
                          TWatermarkImageCache* ImageCache) {
    if (EffectsNeutral(Job)) {
        StopHook = true;
        Update = false;
        return;
    }
    std::lock_guard lock(Bitmap.CanvasLock());
    DrawJobEffects(Bitmap, Job, ImageCache);
}

void ConversionCustomHook(THookInfo& AHookInfo, const TJobEffects& Job, TWatermarkImageCache* ImageCache) {
    if (AHookInfo.Bitmap) ConversionCustomHook(*AHookInfo.Bitmap, Job, AHookInfo.StopHook, AHookInfo.Update, ImageCache);
}

void CopyPreviewBitmap(const TPreviewInfo& APreviewInfo, TBitmap* PreviewBitmap) {
    if (APreviewInfo.Bitmap) CopyPreviewBitmap(*APreviewInfo.Bitmap, PreviewBitmap);
}

void CopyPreviewBitmap(const TBitmap& Source, TBitmap* PreviewBitmap) {
    if (!PreviewBitmap || Source.Width() <= 0 || Source.Height() <= 0 || PreviewBitmap == &Source) return;
    std::lock_guard source(Source.CanvasLock());
    std::lock_guard target(PreviewBitmap->CanvasLock());
    *PreviewBitmap = Source;
}

void DrawCropFrame(TBitmap& Bitmap, int X1, int Y1, int X2, int Y2) {
    const int64_t w = Bitmap.Width(), h = Bitmap.Height();
    auto fill = [&](int64_t x0, int64_t y0, int64_t x1, int64_t y1) {  // half-open box
        x0 = std::max<int64_t>(x0, 0), y0 = std::max<int64_t>(y0, 0);
        x1 = std::min(x1, w), y1 = std::min(y1, h);
        for (int64_t y = y0; y < y1; ++y) {
            uint8_t* p = Bitmap.ScanLine(static_cast<int>(y));
            for (int64_t x = x0; x < x1; ++x) p[x * 3] = 0, p[x * 3 + 1] = 128, p[x * 3 + 2] = 0;
        }
    };
    const int64_t left = X1, top = Y1, right = static_cast<int64_t>(X2) - 1, bottom = static_cast<int64_t>(Y2) - 1;
    fill(left - 1, top - 1, right + 1, top + 1);        // top edge
    fill(left - 1, bottom - 1, right + 1, bottom + 1);  // bottom edge
    fill(left - 1, top - 1, left + 1, bottom + 1);      // left edge
    fill(right - 1, top - 1, right + 1, bottom + 1);    // right edge
}

void DrawPreviewHook(TBitmap& Bitmap, const TJobEffects& Job, const TCropMargins& Crop, bool Inset,
                     TWatermarkImageCache* ImageCache) {
    std::lock_guard lock(Bitmap.CanvasLock());
    DrawJobEffects(Bitmap, Job, ImageCache);
    const int64_t in = Inset ? 1 : 0, out = Inset ? 2 : 0;
    auto fit = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2)); };
    DrawCropFrame(Bitmap, fit(Crop.CropLeft + in), fit(Crop.CropTop + in),
                  fit(Bitmap.Width() - int64_t{Crop.CropRight} - out), fit(Bitmap.Height() - int64_t{Crop.CropBottom} - out));
}

int PercentPosition(int Extent, int Percent) {
    return static_cast<int>(static_cast<int64_t>(Extent) * Percent / 100);
}

}  // namespace vexlo
