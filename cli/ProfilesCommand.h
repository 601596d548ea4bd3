#pragma once
#include <string>
#include <vector>

namespace vexlo::cli {

// `vexlo-cli profiles [--code N]`: the catalogue of the running edition (code, category,
// display name; the current profile marked "*"), or one profile's choice lists from the
// format file with the current choices of the settings file.
int RunProfilesCommand(const std::vector<std::string>& words);

}  // namespace vexlo::cli
