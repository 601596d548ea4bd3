#pragma once
#include <string>

namespace vexlo {

// The folder named by key (OutPutDir or SnapOutPutDir) of section "settings", created when
// missing. When it cannot be made, warns once through the prompts, falls back to the
// default folder and stores that in the key. Returned with a trailing '/'.
std::string EnsureOutputFolder(const std::string& key);

}  // namespace vexlo
