#pragma once
// Option texts as the engine takes them: name=value lines separated by line breaks or the
// literal "<CRLF>".
#include <string>
#include <utility>
#include <vector>

namespace vexlo {

using TOptionLines = std::vector<std::pair<std::string, std::string>>;

// Splits such a text into (name, value) pairs, in order. Each line is trimmed and split at
// its first "="; a line without one is the name with an empty value; blank lines are left
// out. With lowerNames the names are turned into lower case.
TOptionLines SplitOptionLines(const std::string& text, bool lowerNames = false);

}  // namespace vexlo
