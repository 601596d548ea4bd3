#pragma once
// The engine's picture: 24-bit BGR rows, top row first, each row padded to 4 bytes.
// The hook hands decoded frames to effects in this form; windows wrap the same memory.
#include <cstdint>
#include <mutex>
#include <vector>

namespace vexlo {

class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height) { SetSize(width, height); }

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Stride() const { return stride_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }

    // Reallocates when the size changes; new pixels are black.
    void SetSize(int width, int height) {
        if (width < 0) width = 0;
        if (height < 0) height = 0;
        if (width == width_ && height == height_) return;
        width_ = width;
        height_ = height;
        stride_ = (width * 3 + 3) & ~3;
        pixels_.assign(static_cast<size_t>(stride_) * static_cast<size_t>(height), 0);
    }

    uint8_t* ScanLine(int y) { return pixels_.data() + static_cast<size_t>(y) * stride_; }
    const uint8_t* ScanLine(int y) const { return pixels_.data() + static_cast<size_t>(y) * stride_; }
    uint8_t* Bits() { return pixels_.data(); }
    const uint8_t* Bits() const { return pixels_.data(); }
    size_t ByteSize() const { return pixels_.size(); }

    // The canvas lock: held while one thread draws into or copies the picture.
    void Lock() const { lock_.lock(); }
    void Unlock() const { lock_.unlock(); }
    std::recursive_mutex& CanvasLock() const { return lock_; }

    TBitmap(const TBitmap& o) : width_(o.width_), height_(o.height_), stride_(o.stride_), pixels_(o.pixels_) {}
    TBitmap& operator=(const TBitmap& o) {
        if (this != &o) {
            width_ = o.width_;
            height_ = o.height_;
            stride_ = o.stride_;
            pixels_ = o.pixels_;
        }
        return *this;
    }

private:
    int width_ = 0, height_ = 0, stride_ = 0;
    std::vector<uint8_t> pixels_;
    mutable std::recursive_mutex lock_;
};

}  // namespace vexlo
