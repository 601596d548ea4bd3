// libFuzzer target for the BMP reader: any input must either decode or throw EBitmapError,
// never crash or read outside the buffer. Built and run by fuzz/run.sh.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "edit/BmpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so reading one byte past the end is caught.
    std::vector<uint8_t> bytes(data, data + size);
    try {
        const vexlo::TBitmap b = vexlo::DecodeBmp(bytes.data(), bytes.size());
        volatile uint8_t sink = 0;
        for (int y = 0; y < b.Height(); ++y) sink = sink + b.ScanLine(y)[0];
        // What was read must also write and read back.
        const std::string again = vexlo::EncodeBmp(b);
        vexlo::DecodeBmp(reinterpret_cast<const uint8_t*>(again.data()), again.size());
    } catch (const vexlo::EBitmapError&) {
    }
    return 0;
}
