#pragma once
// Text watermarks drawn with FreeType; the font name is matched by fontconfig, so any name
// (the default "MS Sans Serif" too) resolves to an installed face. Sizes are points at 96 dpi.
#include <stdexcept>
#include <string>

#include "edit/JobEffects.h"
#include "engine/Bitmap.h"

namespace vexlo {

class EFontError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The em height in pixels of a font size in points, rounded as the desktop does.
int FontPixelSize(int points);

// Draws one line of UTF-8 text, without a background, with the top-left corner of its line
// box at (Left, Top); whatever runs past the frame is cut off.
void DrawWatermarkText(TBitmap& bitmap, const std::string& text, const TWatermarkFont& font, int Left, int Top);

struct TTextExtent {
    int Width = 0;   // sum of the advances
    int Height = 0;  // ascent + descent of the line box
    int Ascent = 0;  // from the top of the line box to the baseline
};
TTextExtent MeasureWatermarkText(const std::string& text, const TWatermarkFont& font);

// The font file fontconfig picked for the font's name, weight and slant.
std::string WatermarkFontFile(const TWatermarkFont& font);

}  // namespace vexlo
