#pragma once
// The effect settings of one job: picture adjustments, a text watermark and an image
// watermark. Field names are those of the job record, which can hold or fill one of these.
#include <cstdint>
#include <string>

namespace vexlo {

// Colour as the desktop stores it: 0x00BBGGRR.
using TColor = uint32_t;
constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
constexpr uint8_t ColorRed(TColor c) { return static_cast<uint8_t>(c); }
constexpr uint8_t ColorGreen(TColor c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t ColorBlue(TColor c) { return static_cast<uint8_t>(c >> 16); }

struct TWatermarkFont {
    std::string Name = "MS Sans Serif";
    int Size = 8;  // points
    TColor Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    bool operator==(const TWatermarkFont&) const = default;
};

struct TJobEffects {
    int Brightness = 255;  // 0..512, 255 = neutral
    int Contrast = 0;      // -100..100
    int Saturation = 255;  // 0..512, 255 = neutral
    int Exposure = 0;      // -255..512, 0 = off

    std::string WatermarkText;
    TWatermarkFont WatermarkFont;
    int TextLeft = 0;
    int TextTop = 0;

    std::string WatermarkImage;  // path of a BMP file
    int ImageLeft = 0;
    int ImageTop = 0;
    int ImageAlpha = 168;
    int ImageBlend = 1;  // 1 = weighted mix, otherwise multiply

    bool ProcessText = false;   // draw the text before the adjustments
    bool ProcessImage = false;  // likewise for the image

    bool operator==(const TJobEffects&) const = default;
};

// Rows and columns removed from the source picture on each side.
struct TCropMargins {
    int CropTop = 0;
    int CropLeft = 0;
    int CropBottom = 0;
    int CropRight = 0;
};

// Only these exact values skip the colour adjustment (256 would also leave pixels alone,
// but is a real, if idle, adjustment).
inline bool ColorAdjustNeutral(const TJobEffects& e) {
    return e.Brightness == 255 && e.Contrast == 0 && e.Saturation == 255;
}

// Nothing to draw at all: no adjustment, no text, no image.
inline bool EffectsNeutral(const TJobEffects& e) {
    return ColorAdjustNeutral(e) && e.Exposure == 0 && e.WatermarkText.empty() && e.WatermarkImage.empty();
}

}  // namespace vexlo
