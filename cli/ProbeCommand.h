#pragma once
#include <string>
#include <vector>

namespace vexlo::cli {

// `vexlo-cli probe FILE...`: the probe's description of each file on stdout, a blank line
// between files; a file that cannot be opened gets its error on stderr. Exit status 0
// when every file opened, 1 otherwise, 2 without files.
int RunProbeCommand(const std::vector<std::string>& files);

}  // namespace vexlo::cli
