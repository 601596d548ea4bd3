#pragma once
#include <string>
#include <vector>

#include "engine/ConvertOptions.h"

namespace vexlo::cli {

// `vexlo-cli options [--profile N] [edits] FILE...`: the TInputOptions and TOutputOptions
// that Start would build for each file, without converting. Exit status as convert's.
int RunOptionsCommand(const std::vector<std::string>& words);

// "Name = value" lines of every field that differs from the record's initial value (and
// FileName always).
std::string DescribeOptions(const TInputOptions& in);
std::string DescribeOptions(const TOutputOptions& out);

}  // namespace vexlo::cli
