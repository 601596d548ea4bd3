#include "cli/Libraries.h"

#include <cstdio>

#include "engine/FFmpegLoader.h"
#include "platform/Paths.h"

namespace vexlo::cli {

bool LoadConverterLibraries() {
    auto& loader = TFFmpegLoader::Instance();
    loader.SetLibraryFolder(ProgramFolder() + "LibAV");
    if (loader.Load(kConverterLibraries)) return true;
    std::fprintf(stderr, "%s\n", loader.LastError().c_str());
    return false;
}

}  // namespace vexlo::cli
