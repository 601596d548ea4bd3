#include "edit/DrawJobEffects.h"

#include "edit/BlendImage.h"
#include "edit/BmpFile.h"
#include "edit/ColorAdjust.h"
#include "edit/TextWatermark.h"

namespace vexlo {
namespace {

void Adjust(TBitmap& bitmap, const TJobEffects& e) {
    const bool colour = !ColorAdjustNeutral(e), exposure = e.Exposure != 0;
    if (colour && exposure)
        ApplyColorAdjustAndExposure(bitmap, e.Brightness, e.Contrast, e.Saturation, static_cast<float>(e.Exposure));
    else if (colour)
        ApplyColorAdjust(bitmap, e.Brightness, e.Contrast, e.Saturation);
    else if (exposure)
        ApplyExposure(bitmap, static_cast<float>(e.Exposure));
}

void Text(TBitmap& bitmap, const TJobEffects& e) {
    if (!e.WatermarkText.empty()) DrawWatermarkText(bitmap, e.WatermarkText, e.WatermarkFont, e.TextLeft, e.TextTop);
}

void Image(TBitmap& bitmap, const TJobEffects& e, TWatermarkImageCache* cache) {
    if (e.WatermarkImage.empty()) return;
    if (cache) {
        const auto image = cache->Get(e.WatermarkImage);
        BlendImage(bitmap, *image, e.ImageLeft, e.ImageTop, e.ImageAlpha, e.ImageBlend);
    } else {
        const TBitmap image = LoadBmpFile(e.WatermarkImage);
        BlendImage(bitmap, image, e.ImageLeft, e.ImageTop, e.ImageAlpha, e.ImageBlend);
    }
}

}  // namespace

void DrawJobEffects(TBitmap& Bitmap, const TJobEffects& Effects, TWatermarkImageCache* ImageCache) {
    const TJobEffects& e = Effects;
    if (e.ProcessText && e.ProcessImage) {
        Text(Bitmap, e), Image(Bitmap, e, ImageCache), Adjust(Bitmap, e);
    } else if (e.ProcessText) {
        Text(Bitmap, e), Adjust(Bitmap, e), Image(Bitmap, e, ImageCache);
    } else if (e.ProcessImage) {
        Image(Bitmap, e, ImageCache), Adjust(Bitmap, e), Text(Bitmap, e);
    } else {
        Adjust(Bitmap, e), Text(Bitmap, e), Image(Bitmap, e, ImageCache);
    }
}

}  // namespace vexlo
