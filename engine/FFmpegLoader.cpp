#include "engine/FFmpegLoader.h"

#include <dlfcn.h>

#include "engine/FFmpegApi.h"
#include "engine/FFmpegLogger.h"
#include "platform/MainThread.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace vexlo {

namespace ff {
AvUtilApi avutil;
AvCodecApi avcodec;
AvFormatApi avformat;
AvFilterApi avfilter;
SwScaleApi swscale;
SwResampleApi swresample;
AvDeviceApi avdevice;
SdlApi sdl;
}  // namespace ff

namespace {

struct LoadFailure {
    std::string message;
};

template <class T>
void ResolveOne(void* handle, const char* file, const char* name, T& slot) {
    dlerror();
    void* sym = dlsym(handle, name);
    if (!sym) {
        const char* err = dlerror();
        throw LoadFailure{Format("Load function %s@%s error: %s", name, file,
                                 err ? err : "symbol not found")};
    }
    slot = reinterpret_cast<T>(sym);
}

#define VEXLO_RESOLVE(name) ResolveOne(h, f, #name, api.name);
void FillAvUtil(void* h, const char* f, ff::AvUtilApi& api) { VEXLO_AVUTIL_FUNCTIONS(VEXLO_RESOLVE) }
void FillAvCodec(void* h, const char* f, ff::AvCodecApi& api) { VEXLO_AVCODEC_FUNCTIONS(VEXLO_RESOLVE) }
void FillAvFormat(void* h, const char* f, ff::AvFormatApi& api) { VEXLO_AVFORMAT_FUNCTIONS(VEXLO_RESOLVE) }
void FillAvFilter(void* h, const char* f, ff::AvFilterApi& api) { VEXLO_AVFILTER_FUNCTIONS(VEXLO_RESOLVE) }
void FillSwScale(void* h, const char* f, ff::SwScaleApi& api) { VEXLO_SWSCALE_FUNCTIONS(VEXLO_RESOLVE) }
void FillSwResample(void* h, const char* f, ff::SwResampleApi& api) { VEXLO_SWRESAMPLE_FUNCTIONS(VEXLO_RESOLVE) }
void FillAvDevice(void* h, const char* f, ff::AvDeviceApi& api) { VEXLO_AVDEVICE_FUNCTIONS(VEXLO_RESOLVE) }
void FillSdl(void* h, const char* f, ff::SdlApi& api) { VEXLO_SDL_FUNCTIONS(VEXLO_RESOLVE) }
#undef VEXLO_RESOLVE

// Resolves into a scratch table so that a failure leaves the live table empty.
template <class Api>
void ResolveInto(void* handle, const char* file, Api& live, void (*fill)(void*, const char*, Api&)) {
    Api scratch;
    fill(handle, file, scratch);
    live = scratch;
}

struct LibraryItem {
    const char* name;
    const char* file;
    void (*resolve)(void* handle, const char* file);
    void (*forget)();
};

const LibraryItem kLibraries[LIB_COUNT] = {
    {"avcodec", "libavcodec.so.59", [](void* h, const char* f) { ResolveInto(h, f, ff::avcodec, FillAvCodec); },
     [] { ff::avcodec = {}; }},
    {"avdevice", "libavdevice.so.59", [](void* h, const char* f) { ResolveInto(h, f, ff::avdevice, FillAvDevice); },
     [] { ff::avdevice = {}; }},
    {"avfilter", "libavfilter.so.8", [](void* h, const char* f) { ResolveInto(h, f, ff::avfilter, FillAvFilter); },
     [] { ff::avfilter = {}; }},
    {"avformat", "libavformat.so.59", [](void* h, const char* f) { ResolveInto(h, f, ff::avformat, FillAvFormat); },
     [] { ff::avformat = {}; }},
    {"avutil", "libavutil.so.57", [](void* h, const char* f) { ResolveInto(h, f, ff::avutil, FillAvUtil); },
     [] { ff::avutil = {}; }},
    {"swscale", "libswscale.so.6", [](void* h, const char* f) { ResolveInto(h, f, ff::swscale, FillSwScale); },
     [] { ff::swscale = {}; }},
    {"swresample", "libswresample.so.4", [](void* h, const char* f) { ResolveInto(h, f, ff::swresample, FillSwResample); },
     [] { ff::swresample = {}; }},
    {"SDL", "libSDL2-2.0.so.0", [](void* h, const char* f) { ResolveInto(h, f, ff::sdl, FillSdl); },
     [] { ff::sdl = {}; }},
};

// Libraries a library depends on come first, so that copies in the library folder are
// the ones its dependants bind to (the dynamic linker reuses an object already loaded
// under the same soname).
const int kLoadOrder[LIB_COUNT] = {LIB_AVUTIL, LIB_SWRESAMPLE, LIB_SWSCALE, LIB_AVCODEC,
                                   LIB_AVFORMAT, LIB_AVFILTER, LIB_AVDEVICE, LIB_SDL};

}  // namespace

TFFmpegLoader& TFFmpegLoader::Instance() {
    static TFFmpegLoader* loader = new TFFmpegLoader;  // outlives every static that logs
    return *loader;
}

const char* TFFmpegLoader::FileName(int index) { return kLibraries[index].file; }

void TFFmpegLoader::SetLibraryFolder(const std::string& folder) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    folder_ = folder;
}

bool TFFmpegLoader::IsLoaded(int index) const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return status_[index].handle && status_[index].initialised;
}

bool TFFmpegLoader::Loaded(uint32_t set) const {
    for (int i = 0; i < LIB_COUNT; ++i)
        if ((set & (1u << i)) && !IsLoaded(i)) return false;
    return true;
}

bool TFFmpegLoader::LoadOne(int index) {
    Status& st = status_[index];
    const LibraryItem& item = kLibraries[index];
    if (!st.handle) {
        std::string folder = folder_.empty() ? std::string() : IncludeTrailingSlash(folder_);
        std::string full = folder + item.file;
        // Never unmapped: the libraries start threads and keep allocations that must not
        // lose their code under them; unloading only forgets them.
        const int flags = RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE;
        if (!folder.empty() && FileExists(full)) {
            st.handle = dlopen(full.c_str(), flags);
        } else {
            full = item.file;
            st.handle = dlopen(item.file, flags);
        }
        if (!st.handle) {
            const char* err = dlerror();
            lastError_ = Format("Load library %s error: %s", full.c_str(), err ? err : "unknown error");
            return false;
        }
    }
    if (!st.initialised) {
        try {
            item.resolve(st.handle, item.file);
        } catch (const LoadFailure& failure) {
            lastError_ = failure.message;
            return false;
        }
        st.initialised = true;
        if (index == LIB_AVUTIL && installLogger_) FFLogger().Install();
    }
    return true;
}

bool TFFmpegLoader::Load(uint32_t set) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    bool wasLoaded[LIB_COUNT];
    for (int i = 0; i < LIB_COUNT; ++i) wasLoaded[i] = status_[i].handle != nullptr;
    for (int index : kLoadOrder) {
        if (!(set & (1u << index))) continue;
        if (!LoadOne(index)) {
            // Libraries other components already use stay; the rest of the set goes.
            for (int j = LIB_COUNT - 1; j >= 0; --j)
                if ((set & (1u << j)) && !wasLoaded[j]) Unload(j);
            return false;
        }
    }
    return true;
}

void TFFmpegLoader::Unload(int index) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Status& st = status_[index];
    if (st.initialised) {
        if (index == LIB_AVUTIL && ff::avutil.av_log_set_callback)
            ff::avutil.av_log_set_callback(ff::avutil.av_log_default_callback);
        kLibraries[index].forget();
        st.initialised = false;
    }
    if (st.handle) {
        dlclose(st.handle);
        st.handle = nullptr;
    }
}

std::string TFFmpegLoader::VersionsText() const {
    auto version = [](unsigned v) {
        return Format("%u.%u.%u", v >> 16, (v >> 8) & 0xFF, v & 0xFF);
    };
    std::string out;
    auto line = [&](int index, unsigned (*fn)()) {
        if (IsLoaded(index) && fn)
            out += Format("lib%-11s %s\n", kLibraries[index].name, version(fn()).c_str());
    };
    line(LIB_AVUTIL, ff::avutil.avutil_version);
    line(LIB_AVCODEC, ff::avcodec.avcodec_version);
    line(LIB_AVFORMAT, ff::avformat.avformat_version);
    line(LIB_AVFILTER, ff::avfilter.avfilter_version);
    line(LIB_SWSCALE, ff::swscale.swscale_version);
    line(LIB_SWRESAMPLE, ff::swresample.swresample_version);
    if (IsLoaded(LIB_SDL) && ff::sdl.SDL_GetVersion) {
        SDL_version v;
        ff::sdl.SDL_GetVersion(&v);
        out += Format("libSDL2       %u.%u.%u\n", v.major, v.minor, v.patch);
    }
    return out;
}

std::mutex& CodecMutex() {
    static std::mutex* m = new std::mutex;
    return *m;
}

CodecLock::CodecLock() {
    auto& main = MainThread::Instance();
    if (!main.IsMainThread()) {
        CodecMutex().lock();
        return;
    }
    if (!CodecMutex().try_lock())
        main.PumpUntil([] { return CodecMutex().try_lock(); });
}

CodecLock::~CodecLock() { CodecMutex().unlock(); }

std::string ErrorText(int code) {
    switch (code) {
        case AVERROR_PATCHWELCOME: return "Not yet implemented in FFmpeg";
        case -10043:
        case AVERROR_PROTOCOL_NOT_FOUND: return "Unsupported network protocol";
        case -42:
        case AVERROR_DEMUXER_NOT_FOUND:
        case AVERROR_MUXER_NOT_FOUND: return "Unknown format";
        case -33: return "Number syntax expected in filename";
        case -32:
        case AVERROR_EOF: return "End of file";
        case -22:
        case AVERROR_INVALIDDATA: return "Invalid data found when processing input";
        case -12: return "Not enough memory";
        case -5: return "I/O error";
        case -2: return "No such file or directory";
        default: break;
    }
    if (ff::avutil.av_strerror) {
        char buf[256];
        if (ff::avutil.av_strerror(code, buf, sizeof buf) == 0) return buf;
    }
    return Format("Error number %d occurred", code);
}

std::string PrintError(const std::string& name, int code) { return name + ": " + ErrorText(code); }

const char* MediaKindName(int kind) {
    switch (kind) {
        case 0: return "Video";
        case 1: return "Audio";
        case 2: return "Data";
        case 3: return "Subtitle";
        case 4: return "Attachment";
        default: return "Unknown";
    }
}

}  // namespace vexlo
