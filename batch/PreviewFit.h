#pragma once
// Where the live conversion picture is drawn in its area: scaled to fit, aspect kept,
// centred, margins rounded to the nearest integer with halves to even.
namespace vexlo {

struct TFitRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TFitRect&) const = default;
};

// The rectangle inside area that a w x h picture covers; area itself for an empty picture.
TFitRect FitPicture(int w, int h, const TFitRect& area);

}  // namespace vexlo
