#include "batch/DestinationName.h"

#include <sys/stat.h>

#include "app/OutputFolder.h"
#include "platform/Paths.h"

namespace vexlo {

std::string MakeDestinationName(const std::string& sourcePath, const std::string& suffix,
                                const std::set<std::string>& handedOut) {
    const std::string base = EnsureOutputFolder("OutPutDir") + ExtractBaseName(sourcePath);
    // Anything of that name, a folder included, makes the name taken.
    auto free = [&](const std::string& name) {
        struct stat st;
        return ::lstat(name.c_str(), &st) != 0 && !handedOut.count(name);
    };
    std::string candidate = base + "_(new)" + suffix;
    for (unsigned n = 1; !free(candidate); ++n) candidate = base + "_(new_" + std::to_string(n) + ")" + suffix;
    return candidate;
}

}  // namespace vexlo
