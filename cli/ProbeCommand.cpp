#include "cli/ProbeCommand.h"

#include <cstdio>

#include "cli/Libraries.h"
#include "probe/AVProbe.h"

namespace vexlo::cli {
namespace {

// The terminal wants plain line feeds.
std::string WithLineFeeds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

}  // namespace

int RunProbeCommand(const std::vector<std::string>& files) {
    if (files.empty()) {
        std::fprintf(stderr, "vexlo-cli probe: no file given (usage: vexlo-cli probe FILE...)\n");
        return 2;
    }
    if (!LoadConverterLibraries()) return 1;
    int status = 0;
    bool first = true;
    TAVProbe probe;
    for (const auto& file : files) {
        if (!first) std::printf("\n");
        first = false;
        if (probe.Open(file)) {
            std::printf("%s", WithLineFeeds(probe.GetInfoText()).c_str());
        } else {
            std::fflush(stdout);
            std::fprintf(stderr, "%s\n", probe.LastError().c_str());
            status = 1;
        }
    }
    probe.Close();
    return status;
}

}  // namespace vexlo::cli
