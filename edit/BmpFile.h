#pragma once
// Our own BMP reading and writing. Reading accepts the common forms (1/4/8-bit palettes,
// 16-bit, 24-bit, 32-bit with or without bit masks, bottom-up or top-down) and always yields a
// 24-bit picture; anything malformed is an EBitmapError, never a read outside the data.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "engine/Bitmap.h"

namespace vexlo {

class EBitmapError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Largest picture accepted, in pixels (a watermark or snapshot is far smaller).
constexpr int64_t kMaxBmpPixels = int64_t{1} << 26;

TBitmap DecodeBmp(const uint8_t* data, size_t size);
TBitmap LoadBmpFile(const std::string& path);

// 24-bit bottom-up file, the form every reader knows.
std::string EncodeBmp(const TBitmap& bitmap);
void SaveBmpFile(const TBitmap& bitmap, const std::string& path);

}  // namespace vexlo
