// vexlo-cli: the conversion engine from a terminal.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/GlobalUnit.h"
#include "cli/Libraries.h"
#include "cli/ProbeCommand.h"
#include "engine/FFmpegLoader.h"
#include "platform/MainThread.h"

using namespace vexlo;

namespace {

void PrintHelp() {
    std::printf(
        "Usage: vexlo-cli [--version] [--help] COMMAND ...\n"
        "\n"
        "Converts videos into files that phones and devices play, with the engine of\n"
        "%s.\n"
        "\n"
        "  --version   print the title, the version and the media libraries in use\n"
        "  --help      print this help\n"
        "\n"
        "Commands:\n"
        "  probe FILE...   describe the container and streams of each file\n",
        GlobalObject().Title().c_str());
}

int PrintVersion() {
    auto& g = GlobalObject();
    std::printf("%s%s\n", g.Title().c_str(), g.VersionText().c_str());
    if (!cli::LoadConverterLibraries()) return 1;
    std::printf("%s", TFFmpegLoader::Instance().VersionsText().c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    MainThread::Instance().BindToCurrentThread();
    if (argc < 2) {
        PrintHelp();
        return 0;
    }
    std::string cmd = argv[1];
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        PrintHelp();
        return 0;
    }
    if (cmd == "--version") return PrintVersion();
    std::vector<std::string> args(argv + 2, argv + argc);
    if (cmd == "probe") return cli::RunProbeCommand(args);
    std::fprintf(stderr, "vexlo-cli: unknown command '%s' (see --help)\n", argv[1]);
    return 2;
}
