#include "edit/BmpFile.h"

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/Text.h"

namespace vexlo {
namespace {

constexpr const char* kInvalid = "Bitmap image is not valid";

[[noreturn]] void Invalid(const char* why) { throw EBitmapError(Format("%s: %s", kInvalid, why)); }

// Bounds-checked little-endian reads from the file's bytes.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Has(uint64_t offset, uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
    uint32_t U32(uint64_t offset) const {
        Need(offset, 4);
        const uint8_t* p = data_ + offset;
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    uint16_t U16(uint64_t offset) const {
        Need(offset, 2);
        return static_cast<uint16_t>(data_[offset] | (data_[offset + 1] << 8));
    }
    int32_t I32(uint64_t offset) const { return static_cast<int32_t>(U32(offset)); }
    const uint8_t* At(uint64_t offset, uint64_t count) const {
        Need(offset, count);
        return data_ + offset;
    }

private:
    void Need(uint64_t offset, uint64_t count) const {
        if (!Has(offset, count)) Invalid("the file is truncated");
    }
    const uint8_t* data_;
    size_t size_;
};

// One colour channel described by a bit mask, scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit Channel(uint32_t m = 0) : mask(m) {
        if (mask) {
            shift = std::countr_zero(mask);
            max = mask >> shift;
        }
    }
    uint8_t Of(uint32_t px) const {
        if (!max) return 0;
        return static_cast<uint8_t>((static_cast<uint64_t>((px & mask) >> shift) * 255 + max / 2) / max);
    }
};

enum : uint32_t { kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6 };

}  // namespace

TBitmap DecodeBmp(const uint8_t* data, size_t size) {
    Reader in(data, size);
    if (size < 2 || data[0] != 'B' || data[1] != 'M') Invalid("not a BMP file");
    const uint64_t pixelOffset = in.U32(10);
    const uint64_t headerSize = in.U32(14);
    const uint64_t headerEnd = 14 + headerSize;
    if (!in.Has(14, headerSize)) Invalid("the file is truncated");

    int64_t width, height;
    unsigned bpp;
    uint32_t compression = kBiRgb, colorsUsed = 0;
    uint64_t paletteOffset = headerEnd;
    unsigned paletteEntrySize = 4;
    Channel red, green, blue;
    if (headerSize == 12) {  // the old OS/2 form: 16-bit sizes, 3-byte palette entries
        width = in.U16(18);
        height = in.U16(20);
        bpp = in.U16(24);
        paletteEntrySize = 3;
    } else if (headerSize >= 40) {
        width = in.I32(18);
        height = in.I32(22);
        bpp = in.U16(28);
        compression = in.U32(30);
        colorsUsed = in.U32(46);
        if (compression == kBiBitfields || compression == kBiAlphaBitfields) {
            // Masks follow a 40-byte header, or sit inside the longer ones.
            uint64_t masks = 54;
            if (headerSize == 40) paletteOffset += compression == kBiAlphaBitfields ? 16 : 12;
            red = Channel(in.U32(masks));
            green = Channel(in.U32(masks + 4));
            blue = Channel(in.U32(masks + 8));
        }
    } else {
        Invalid("unknown header");
    }

    if (width <= 0 || height == 0) Invalid("empty or negative size");
    const bool topDown = height < 0;
    if (topDown) height = -height;  // int64: the smallest 32-bit value negates safely
    if (width > 65535 || height > 65535 || width * height > kMaxBmpPixels) Invalid("the picture is too large");

    switch (bpp) {
    case 1: case 4: case 8: case 24:
        if (compression != kBiRgb) Invalid("unsupported compression");
        break;
    case 16: case 32:
        if (compression == kBiRgb) {
            if (bpp == 16) red = Channel(0x7C00), green = Channel(0x03E0), blue = Channel(0x001F);
            else red = Channel(0xFF0000), green = Channel(0xFF00), blue = Channel(0xFF);
        } else if (compression != kBiBitfields && compression != kBiAlphaBitfields) {
            Invalid("unsupported compression");
        }
        break;
    default:
        Invalid("unsupported bit depth");
    }

    // Palette: missing entries are read as black rather than trusted.
    uint8_t palette[256][3] = {};
    if (bpp <= 8) {
        uint64_t count = colorsUsed ? colorsUsed : (1u << bpp);
        if (count > (1u << bpp)) count = 1u << bpp;
        const uint8_t* p = in.At(paletteOffset, count * paletteEntrySize);
        for (uint64_t i = 0; i < count; ++i, p += paletteEntrySize) std::memcpy(palette[i], p, 3);
    }

    const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
    const uint8_t* pixels = in.At(pixelOffset, stride * static_cast<uint64_t>(height));

    TBitmap bitmap(static_cast<int>(width), static_cast<int>(height));
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* src = pixels + stride * static_cast<uint64_t>(topDown ? y : height - 1 - y);
        uint8_t* dst = bitmap.ScanLine(static_cast<int>(y));
        for (int64_t x = 0; x < width; ++x, dst += 3) {
            switch (bpp) {
            case 1: case 4: case 8: {
                const uint64_t bit = static_cast<uint64_t>(x) * bpp;
                const unsigned index = (src[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                std::memcpy(dst, palette[index], 3);
                break;
            }
            case 24:
                std::memcpy(dst, src + x * 3, 3);
                break;
            case 16: case 32: {
                const uint8_t* p = src + x * (bpp / 8);
                uint32_t px = p[0] | (p[1] << 8);
                if (bpp == 32) px |= (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
                dst[0] = blue.Of(px);
                dst[1] = green.Of(px);
                dst[2] = red.Of(px);
                break;
            }
            }
        }
    }
    return bitmap;
}

TBitmap LoadBmpFile(const std::string& path) {
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f) throw EBitmapError(Format("Cannot open file \"%s\". %s", path.c_str(), std::strerror(errno)));
    std::vector<uint8_t> bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
        bytes.insert(bytes.end(), buf, buf + n);
        if (bytes.size() > static_cast<uint64_t>(kMaxBmpPixels) * 4 + 65536) Invalid("the picture is too large");
    }
    if (std::ferror(f.get())) throw EBitmapError(Format("Cannot read file \"%s\".", path.c_str()));
    return DecodeBmp(bytes.data(), bytes.size());
}

std::string EncodeBmp(const TBitmap& bitmap) {
    const uint32_t stride = static_cast<uint32_t>(bitmap.Stride());
    const uint32_t imageSize = stride * static_cast<uint32_t>(bitmap.Height());
    std::string out(54, '\0');
    auto put16 = [&](size_t at, uint32_t v) { out[at] = char(v & 0xFF), out[at + 1] = char((v >> 8) & 0xFF); };
    auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF), put16(at + 2, v >> 16); };
    out[0] = 'B', out[1] = 'M';
    put32(2, 54 + imageSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(bitmap.Width()));
    put32(22, static_cast<uint32_t>(bitmap.Height()));  // positive: bottom row first
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    out.reserve(54 + imageSize);
    // Our rows are padded to 4 bytes exactly as the file's are.
    for (int y = bitmap.Height() - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char*>(bitmap.ScanLine(y)), stride);
    return out;
}

void SaveBmpFile(const TBitmap& bitmap, const std::string& path) {
    const std::string bytes = EncodeBmp(bitmap);
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f) throw EBitmapError(Format("Cannot create file \"%s\". %s", path.c_str(), std::strerror(errno)));
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size() || std::fflush(f.get()) != 0)
        throw EBitmapError(Format("Cannot write file \"%s\". %s", path.c_str(), std::strerror(errno)));
}

}  // namespace vexlo
