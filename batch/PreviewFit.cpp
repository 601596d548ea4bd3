#include "batch/PreviewFit.h"

#include <cmath>

namespace vexlo {

TFitRect FitPicture(int w, int h, const TFitRect& area) {
    const int W = area.Width(), H = area.Height();
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0) return area;
    const double a = static_cast<double>(w) / W, b = static_cast<double>(h) / H;
    TFitRect r = area;
    if (a >= b) {
        // nearbyint rounds halves to even in the default rounding mode.
        const int m = static_cast<int>(std::nearbyint((H - h / a) / 2));
        r.Top += m;
        r.Bottom -= m;
    } else {
        const int m = static_cast<int>(std::nearbyint((W - w / b) / 2));
        r.Left += m;
        r.Right -= m;
    }
    return r;
}

}  // namespace vexlo
