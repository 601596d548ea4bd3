#pragma once
#include <set>
#include <string>

namespace vexlo {

// Output folder + the source's base name + "_(new)" + suffix, or "_(new_" n ")" with the
// first n from 1 up whose name is neither an existing file nor in `handedOut`, the names
// already given to earlier rows of the same batch.
std::string MakeDestinationName(const std::string& sourcePath, const std::string& suffix,
                                const std::set<std::string>& handedOut = {});

}  // namespace vexlo
