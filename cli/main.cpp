// vexlo-cli: the conversion engine from a terminal.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/GlobalUnit.h"
#include "engine/FFmpegLoader.h"
#include "platform/MainThread.h"
#include "platform/Paths.h"

using namespace vexlo;

namespace {

void PrintHelp() {
    std::printf(
        "Usage: vexlo-cli [--version] [--help]\n"
        "\n"
        "Converts videos into files that phones and devices play, with the engine of\n"
        "%s.\n"
        "\n"
        "  --version   print the title, the version and the media libraries in use\n"
        "  --help      print this help\n",
        GlobalObject().Title().c_str());
}

int PrintVersion() {
    auto& g = GlobalObject();
    std::printf("%s%s\n", g.Title().c_str(), g.VersionText().c_str());
    auto& loader = TFFmpegLoader::Instance();
    loader.SetLibraryFolder(ProgramFolder() + "LibAV");
    if (!loader.Load(kConverterLibraries)) {
        std::fprintf(stderr, "%s\n", loader.LastError().c_str());
        return 1;
    }
    std::printf("%s", loader.VersionsText().c_str());
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
    std::fprintf(stderr, "vexlo-cli: unknown command '%s' (see --help)\n", argv[1]);
    return 2;
}
