#pragma once
// The converter's event records. Times are microseconds.
#include <cstdint>
#include <string>

#include "engine/Bitmap.h"

namespace vexlo {

struct THookInfo {
    int TaskIndex = -1;
    TBitmap* Bitmap = nullptr;  // the decoded frame, 24-bit BGR, owned by the task
    int FrameNumber = 0;        // first frame = 1
    int64_t PTS = 0;
    bool Update = true;         // in/out: True writes the bitmap back into the frame
    bool StopHook = false;      // in/out: True ends hooking for the rest of the task
};
using PHookInfo = THookInfo*;

struct TPreviewInfo {
    int TaskIndex = -1;
    const TBitmap* Bitmap = nullptr;  // copy of the picture given to the encoder
    int FrameNumber = 0;
    int64_t PTS = 0;
};

struct TProgressInfo {
    int TaskIndex = -1;
    int FileIndex = 0;         // -1 in the final report
    int FrameNumber = -1;      // -1 without video
    int FPS = -1;
    float Quality = -1.0f;
    float BitRate = 0.0f;      // kbit/s
    int64_t CurrentSize = 0;
    int64_t CurrentDuration = 0;
    int64_t TotalDuration = -1;
};
using PProgressInfo = TProgressInfo*;

struct TTerminateInfo {
    int TaskIndex = -1;
    bool Finished = false;
    bool Failed = false;
    std::string ErrorMessage;
};

}  // namespace vexlo
