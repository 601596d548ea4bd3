// vexlo-cli: the conversion engine from a terminal.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/GlobalUnit.h"
#include "cli/ConvertCommand.h"
#include "cli/Libraries.h"
#include "cli/OptionsCommand.h"
#include "cli/ProbeCommand.h"
#include "cli/ProfilesCommand.h"
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
        "  profiles [--code N]       list the output profiles, or one profile's choices\n"
        "  probe FILE...             describe the container and streams of each file\n"
        "  options [...] FILE...     show the engine options a conversion would use\n"
        "  convert [...] FILE...     convert the files as the desktop program's Start does\n"
        "\n"
        "The profile is the settings file's current one unless --profile N names another;\n"
        "--set KEY=VALUE changes one of its choices for this run only.\n"
        "\n"
        "%s",
        GlobalObject().Title().c_str(), cli::kConvertUsage);
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
    try {
        if (cmd == "profiles") return cli::RunProfilesCommand(args);
        if (cmd == "probe") return cli::RunProbeCommand(args);
        if (cmd == "options") return cli::RunOptionsCommand(args);
        if (cmd == "convert") return cli::RunConvertCommand(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vexlo-cli %s: %s\n", cmd.c_str(), e.what());
        return 1;
    }
    std::fprintf(stderr, "vexlo-cli: unknown command '%s' (see --help)\n", argv[1]);
    return 2;
}
