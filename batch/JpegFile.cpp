#include "batch/JpegFile.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <stdexcept>

#include <jpeglib.h>

#include "platform/IniFile.h"

namespace vexlo {

namespace {

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Plain C-style body: between setjmp and longjmp nothing here owns a C++ object, so the
// jump skips no destructor. The buffer is malloc'ed by libjpeg and freed by the caller.
bool EncodeBgr(const TBitmap& bitmap, int quality, unsigned char** out, unsigned long* outSize, char* message) {
    jpeg_compress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    err.message[0] = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(bitmap.Width());
    cinfo.image_height = static_cast<JDIMENSION>(bitmap.Height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;  // the engine's pixel order, no conversion pass
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(bitmap.ScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

std::string EncodeJpeg(const TBitmap& bitmap, int quality) {
    if (bitmap.Empty()) throw std::runtime_error("Cannot write an empty picture as JPEG");
    quality = quality < 1 ? 1 : quality > 100 ? 100 : quality;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    std::lock_guard<std::recursive_mutex> lock(bitmap.CanvasLock());
    const bool ok = EncodeBgr(bitmap, quality, &buffer, &size, message);
    std::string data;
    if (ok && buffer) data.assign(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    if (!ok) throw std::runtime_error(std::string("JPEG error: ") + message);
    return data;
}

void SaveJpegFile(const TBitmap& bitmap, const std::string& path, int quality) {
    WriteFileAtomically(path, EncodeJpeg(bitmap, quality));
}

}  // namespace vexlo
