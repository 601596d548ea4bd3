#pragma once
#include <string>
#include <vector>

namespace vexlo::cli {

extern const char* const kConvertUsage;

// `vexlo-cli convert [options] FILE...`: what the desktop program's Start does with these
// files as checked rows, with progress on stderr. Exit status 0 when every job finished,
// 1 when any failed or got no task, 2 for wrong usage, 130 when stopped with Ctrl-C.
int RunConvertCommand(const std::vector<std::string>& words);

}  // namespace vexlo::cli
