#pragma once
// Converts library pictures to the engine's 24-bit BGR bitmap and back, with cached
// scalers; used by the frame hook and the preview pictures.
#include "engine/Bitmap.h"
#include "engine/FFmpegPtr.h"

namespace vexlo {

class TFrameBitmap {
public:
    // Fills Bitmap() from the picture; false when no scaler could be made.
    bool Convert(const uint8_t* const data[4], const int linesize[4], int pixFmt, int width, int height);
    // Copies the bitmap back into the picture (same size and format as converted last).
    bool WriteBack(uint8_t* const data[4], const int linesize[4], int pixFmt, int width, int height);
    TBitmap& Bitmap() { return bitmap_; }
    void Reset();

private:
    TBitmap bitmap_;
    ff::SwsPtr toRgb_, fromRgb_;
    int toKey_[3] = {-1, -1, -1}, fromKey_[3] = {-1, -1, -1};
};

}  // namespace vexlo
