#pragma once
// Translation of the classic converter's codec and parameter names onto today's libraries.
#include <string>
#include <utility>
#include <vector>

namespace vexlo {

// The codec name today's libraries use for a legacy name ("libfaac" -> "aac"); other names
// unchanged.
std::string ModernCodecName(const std::string& name, bool encoder);

// Modern parameters for one legacy codec parameter. Returns false when the name is not a
// legacy one (use it as it is). Parts without a modern meaning are named in *skipped.
bool TranslateLegacyParameter(const std::string& name, const std::string& value,
                              std::vector<std::pair<std::string, std::string>>& out,
                              std::string* skipped);

// A filter graph text of the classic converter in today's filter syntax: its "crop" took
// x:y:width:height, today's takes width:height:x:y. Other filters are unchanged.
std::string ModernFilterGraph(const std::string& graph);

}  // namespace vexlo
