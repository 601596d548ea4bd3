#pragma once
// The watermark image of one job (or one preview window), read from its BMP file once
// instead of for every frame. A different path, or a file changed on disk, is read again at
// the next request, so a changed setting takes effect on the next frame.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "engine/Bitmap.h"

namespace vexlo {

class TWatermarkImageCache {
public:
    // The image as a 24-bit picture; throws EBitmapError when the file cannot be read or is
    // not a valid BMP (nothing is kept then, so the next frame tries again).
    std::shared_ptr<const TBitmap> Get(const std::string& path);
    void Clear();

private:
    std::mutex mutex_;
    std::string path_;
    int64_t modified_ = 0, size_ = 0, inode_ = 0;
    std::shared_ptr<const TBitmap> image_;
};

}  // namespace vexlo
