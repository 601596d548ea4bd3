#pragma once
// Command-line words of one command: "--name value" or "--name=value" options, the rest
// files; "--" ends the options.
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vexlo::cli {

struct TArguments {
    std::map<std::string, std::vector<std::string>> Options;  // by name without dashes
    std::vector<std::string> Files;
    std::string Error;  // set when the words are not usable

    bool Has(const std::string& name) const { return Options.count(name) > 0; }
    // The last value given for name, or def.
    std::string Value(const std::string& name, const std::string& def = "") const;
};

// valueOptions: names that take a value; anything else starting with "--" is an error.
TArguments ParseArguments(const std::vector<std::string>& words, const std::set<std::string>& valueOptions);

// Prints "vexlo-cli COMMAND: message" and the usage text to stderr; returns 2.
int UsageError(const char* command, const std::string& message, const char* usage);

// Whole-text decimal integer within [lo, hi].
bool ParseIntegerIn(const std::string& text, int lo, int hi, int& out);

}  // namespace vexlo::cli
