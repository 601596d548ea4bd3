#pragma once
// Turns the current output profile and one job's picture edits into the options of an
// engine task: disc target, container, codecs, rates, frame size, crop and filters.
#include <cstdint>
#include <string>

#include "engine/ConvertOptions.h"

namespace vexlo {

struct TlvFilesRecord;

// What the builder needs to know about the source; the media probe provides it.
class ISourceVideoInfo {
public:
    virtual ~ISourceVideoInfo() = default;
    virtual int VideoStreamCount() const = 0;
    // Of the first video stream; 0 when unknown.
    virtual int VideoWidth() const = 0;
    virtual int VideoHeight() const = 0;
    virtual int64_t VideoBitRate() const = 0;  // bit/s
};

// Fixed facts, for sources described by hand.
struct TSourceVideoFacts final : ISourceVideoInfo {
    int Streams = 1, Width = 0, Height = 0;
    int64_t BitRate = 0;
    TSourceVideoFacts(int streams, int width, int height, int64_t bitRate)
        : Streams(streams), Width(width), Height(height), BitRate(bitRate) {}
    int VideoStreamCount() const override { return Streams; }
    int VideoWidth() const override { return Width; }
    int VideoHeight() const override { return Height; }
    int64_t VideoBitRate() const override { return BitRate; }
};

// Letterbox margins: L on the left and right, T at the top and bottom, each even.
struct TBoxMargins {
    int Left = 0;
    int Top = 0;
};
// Margins that fit an sW x sH picture into a tW x tH box keeping its shape. At least
// 2 px of picture always remain on each axis.
TBoxMargins PadForBox(int sW, int sH, int tW, int tH);

// Pan and scan: the even amount cut from both sides of one axis. The axis is the one on
// which the record's cropped picture is wider than 4:3; the amount brings the full picture
// to 4:3 on it, but is never less than the record's own margins on that axis, so that
// what the user cropped away stays away.
struct TPanScanCrop {
    int Left = 0, Right = 0, Top = 0, Bottom = 0;
};
TPanScanCrop PanScanCrop(int sW, int sH, int cropTop, int cropLeft, int cropBottom, int cropRight);

// Fills the profile's part of the task's options for one job. Reads the format file's and
// the settings file's sections for formatCode; may ask one Yes/No question when the
// stored frame size cannot be read.
void BuildOutputOptions(const TlvFilesRecord& record, int formatCode, TOutputOptions& outputOptions,
                        const ISourceVideoInfo& probe, TInputOptions& inputOptions);

}  // namespace vexlo
