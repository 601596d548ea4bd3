#pragma once
// The renderer's view of a job record: its adjustments and watermarks.
#include "batch/JobRecord.h"
#include "edit/JobEffects.h"

namespace vexlo {

inline TJobEffects JobEffectsOf(const TlvFilesRecord& r) {
    TJobEffects e;
    e.Brightness = r.Brightness;
    e.Contrast = r.Contrast;
    e.Saturation = r.Saturation;
    e.Exposure = r.Exposure;
    e.WatermarkText = r.WatermarkText;
    e.WatermarkFont = {r.WatermarkFont.Name,   r.WatermarkFont.Size,      r.WatermarkFont.Color, r.WatermarkFont.Bold,
                       r.WatermarkFont.Italic, r.WatermarkFont.Underline, r.WatermarkFont.StrikeOut};
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

}  // namespace vexlo
