#pragma once
// The record each row of the job list owns: the source and every per-file edit.
#include <cstdint>
#include <string>

#include "edit/JobEffects.h"

namespace vexlo {

struct TlvFilesRecord {
    std::string SourceFile;
    int64_t TrimStart = 0;   // microseconds from the start of the source
    int64_t TrimLength = 0;  // microseconds; 0 = to the end
    std::string ZoomMode;    // "full", "lbox", "pan" or "center"
    int32_t CropTop = 0, CropLeft = 0, CropBottom = 0, CropRight = 0;  // source pixels
    // The crop window's own margins, kept to restore that window.
    int32_t CropUpView = 0, CropLeftView = 0, CropDownView = 0, CropRightView = 0;
    std::string WatermarkText;
    TWatermarkFont WatermarkFont;
    int32_t TextLeft = 0, TextTop = 0;
    int32_t TextLeftPercent = 0, TextTopPercent = 0;
    std::string WatermarkImage;
    int32_t ImageLeft = 0, ImageTop = 0;
    int32_t ImageLeftPercent = 0, ImageTopPercent = 0;
    int32_t ImageAlpha = 168;  // 0..255, weight in blend style 1
    int32_t ImageBlend = 1;    // 1 = weighted mix, 2 = multiply
    int32_t Brightness = 255;  // 0..512, 255 = neutral
    int32_t Contrast = 0;      // -100..100
    int32_t Saturation = 255;  // 0..512, 255 = neutral
    int32_t Exposure = 0;      // -255..512, 0 = off
    bool ProcessText = false;   // draw the text before the adjustments
    bool ProcessImage = false;  // likewise for the image
};

// The record of a row just added: neutral edits and the profile's zoom mode.
inline TlvFilesRecord NewJobRecord(const std::string& sourceFile, const std::string& zoomMode) {
    TlvFilesRecord r;
    r.SourceFile = sourceFile;
    r.ZoomMode = zoomMode;
    return r;
}

// The record's effect fields, as the renderer takes them.
inline TJobEffects JobEffectsOf(const TlvFilesRecord& r) {
    TJobEffects e;
    e.Brightness = r.Brightness;
    e.Contrast = r.Contrast;
    e.Saturation = r.Saturation;
    e.Exposure = r.Exposure;
    e.WatermarkText = r.WatermarkText;
    e.WatermarkFont = r.WatermarkFont;
    e.TextLeft = r.TextLeft;
    e.TextTop = r.TextTop;
    e.WatermarkImage = r.WatermarkImage;
    e.ImageLeft = r.ImageLeft;
    e.ImageTop = r.ImageTop;
    e.ImageAlpha = r.ImageAlpha;
    e.ImageBlend = r.ImageBlend;
    e.ProcessText = r.ProcessText;
    e.ProcessImage = r.ProcessImage;
    return e;
}

inline TCropMargins CropMarginsOf(const TlvFilesRecord& r) {
    return {r.CropTop, r.CropLeft, r.CropBottom, r.CropRight};
}

}  // namespace vexlo
