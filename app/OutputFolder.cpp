#include "app/OutputFolder.h"

#include "app/Settings.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"

namespace vexlo {

std::string EnsureOutputFolder(const std::string& key) {
    std::string folder = settings::ReadString(key);
    if (!DirectoryExists(folder) && !ForceDirectories(folder)) {
        std::string fallback = DefaultOutputFolder();
        CurrentPrompts().Show("Warning",
                              "Cannot create output directory:" + folder +
                                  ".It will create default directory " + fallback + "!",
                              PromptButtons::OK, PromptIcon::Warning);
        ForceDirectories(fallback);
        settings::WriteString(key, fallback);
        folder = fallback;
    }
    return IncludeTrailingSlash(folder);
}

}  // namespace vexlo
