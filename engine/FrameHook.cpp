// Frame-processing plug-ins ("vhook") and the deinterlacer of the hook stage.
#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <map>

#include "engine/FFmpegLogger.h"
#include "engine/TranscoderState.h"
#include "platform/Text.h"

namespace vexlo {

namespace {

// Plug-in libraries stay loaded for the process: a path loaded twice is loaded once.
void* LoadPluginLibrary(const std::string& path, std::string& error) {
    static std::mutex m;
    static std::map<std::string, void*> loaded;
    std::lock_guard<std::mutex> lock(m);
    if (auto it = loaded.find(path); it != loaded.end()) return it->second;
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* e = dlerror();
        error = e ? e : "cannot load";
        return nullptr;
    }
    loaded[path] = h;
    return h;
}

}  // namespace

bool TCustomFFmpeg::AddVideoHook(const std::string& value) {
    std::vector<std::string> words;
    if (value.find('|') != std::string::npos) {
        for (auto& w : Split(value, '|'))
            if (!w.empty()) words.push_back(w);
    } else {
        for (auto& w : Split(value, ' '))
            if (!w.empty()) words.push_back(w);
    }
    if (words.size() > 255) words.resize(255);
    if (words.empty()) return false;
    std::string error;
    void* lib = LoadPluginLibrary(words[0], error);
    if (!lib) {
        ff::avutil.av_log(nullptr, AV_LOG_ERROR, "%s\n", error.c_str());
        return false;
    }
    TPluginHook hook;
    hook.configure = reinterpret_cast<TVhookConfigure>(dlsym(lib, "Configure"));
    hook.process = reinterpret_cast<TVhookProcess>(dlsym(lib, "Process"));
    hook.release = reinterpret_cast<TVhookRelease>(dlsym(lib, "Release"));
    if (!hook.process) {
        ff::avutil.av_log(nullptr, AV_LOG_ERROR, "Failed to find Process entrypoint in %s\n", words[0].c_str());
        return false;
    }
    if (!hook.configure && words.size() > 1) {
        ff::avutil.av_log(nullptr, AV_LOG_ERROR, "Failed to find Configure entrypoint in %s\n", words[0].c_str());
        return false;
    }
    if (hook.configure) {
        std::vector<char*> argv;
        for (auto& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        if (hook.configure(&hook.ctx, static_cast<int>(words.size()), argv.data()) != 0) {
            ff::avutil.av_log(nullptr, AV_LOG_ERROR, "Failed to Configure %s\n", words[0].c_str());
            return false;
        }
    }
    st_->plugins.push_back(hook);
    st_->pluginsActive = true;
    return true;
}

void ReleasePlugins(TCustomFFmpeg::State& s) {
    for (auto& p : s.plugins)
        if (p.release) p.release(p.ctx);
    s.plugins.clear();
    s.pluginsActive = false;
}

bool DeinterlaceFrame(AVFrame* frame) {
    const AVPixFmtDescriptor* d = ff::avutil.av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
    if (!d || !(d->flags & AV_PIX_FMT_FLAG_PLANAR) || d->comp[0].depth != 8 || (d->flags & AV_PIX_FMT_FLAG_RGB)) return false;
    if (ff::avutil.av_frame_make_writable(frame) < 0) return false;
    std::vector<uint8_t> prev2, prev1;
    for (int p = 0; p < 3 && frame->data[p]; ++p) {
        int w = p ? -((-frame->width) >> d->log2_chroma_w) : frame->width;
        int h = p ? -((-frame->height) >> d->log2_chroma_h) : frame->height;
        if (h < 5) continue;
        uint8_t* base = frame->data[p];
        int ls = frame->linesize[p];
        // (-1 4 2 4 -1)/8 over the lines around every odd line, from the original lines
        std::vector<uint8_t> orig(static_cast<size_t>(ls) * h);
        std::memcpy(orig.data(), base, orig.size());
        for (int y = 1; y < h - 1; y += 2) {
            const uint8_t* a = orig.data() + static_cast<size_t>(y >= 2 ? y - 2 : y) * ls;
            const uint8_t* b = orig.data() + static_cast<size_t>(y - 1) * ls;
            const uint8_t* c = orig.data() + static_cast<size_t>(y) * ls;
            const uint8_t* e = orig.data() + static_cast<size_t>(y + 1) * ls;
            const uint8_t* f = orig.data() + static_cast<size_t>(y + 2 < h ? y + 2 : y) * ls;
            uint8_t* out = base + static_cast<size_t>(y) * ls;
            for (int x = 0; x < w; ++x) {
                int v = (-a[x] + 4 * b[x] + 2 * c[x] + 4 * e[x] - f[x] + 4) >> 3;
                out[x] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    }
    return true;
}

}  // namespace vexlo
