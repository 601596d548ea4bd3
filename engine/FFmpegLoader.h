#pragma once
// Loads the media libraries at run time: from the library folder (by default the LibAV
// folder beside the program) first, else through the system's search; resolves the
// function tables of FFmpegApi.h; installs the logger once avutil is ready.
#include <cstdint>
#include <mutex>
#include <string>

namespace vexlo {

enum TLibraryIndex {
    LIB_AVCODEC, LIB_AVDEVICE, LIB_AVFILTER, LIB_AVFORMAT, LIB_AVUTIL, LIB_SWSCALE,
    LIB_SWRESAMPLE, LIB_SDL, LIB_COUNT
};

constexpr uint32_t kConverterLibraries = 0x7D;  // avcodec avfilter avformat avutil swscale swresample
constexpr uint32_t kPlayerLibraries = 0xFD;     // the same and SDL

class TFFmpegLoader {
public:
    static TFFmpegLoader& Instance();

    // Folder searched first; empty means the system search only.
    void SetLibraryFolder(const std::string& folder);
    const std::string& LibraryFolder() const { return folder_; }
    void SetInstallLogger(bool v) { installLogger_ = v; }

    // Loads every library of the set not loaded yet; on a failure unloads what this call
    // loaded and returns false with LastError set.
    bool Load(uint32_t set);
    bool Loaded(uint32_t set) const;
    bool IsLoaded(int index) const;
    void Unload(int index);
    const std::string& LastError() const { return lastError_; }

    // File name of a library ("libavcodec.so.59").
    static const char* FileName(int index);

    // One line per loaded library: "libavcodec 59.37.100".
    std::string VersionsText() const;

private:
    TFFmpegLoader() = default;
    bool LoadOne(int index);
    struct Status {
        void* handle = nullptr;
        bool initialised = false;
    };
    Status status_[LIB_COUNT];
    std::string folder_;
    std::string lastError_;
    bool installLogger_ = true;
    mutable std::recursive_mutex mutex_;
};

// The process-wide lock around every codec open and close and every input stream
// analysis. The libraries run callbacks into the main thread while it is held (the
// logger), so a main thread waiting for it keeps serving those calls.
std::mutex& CodecMutex();
class CodecLock {
public:
    CodecLock();
    ~CodecLock();
    CodecLock(const CodecLock&) = delete;
    CodecLock& operator=(const CodecLock&) = delete;
};

// "name: text" for a library error code.
std::string ErrorText(int code);
std::string PrintError(const std::string& name, int code);
// "Video", "Audio", "Data", "Subtitle", "Attachment", else "Unknown".
const char* MediaKindName(int kind);

}  // namespace vexlo
