#include "cli/Arguments.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace vexlo::cli {

std::string TArguments::Value(const std::string& name, const std::string& def) const {
    auto it = Options.find(name);
    return it == Options.end() || it->second.empty() ? def : it->second.back();
}

TArguments ParseArguments(const std::vector<std::string>& words, const std::set<std::string>& valueOptions) {
    TArguments a;
    bool filesOnly = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (filesOnly || w.size() < 3 || w.compare(0, 2, "--") != 0) {
            if (w == "--") filesOnly = true;
            else a.Files.push_back(w);
            continue;
        }
        std::string name = w.substr(2), value;
        size_t eq = name.find('=');
        bool inlineValue = eq != std::string::npos;
        if (inlineValue) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (!valueOptions.count(name)) {
            a.Error = "unknown option --" + name;
            return a;
        }
        if (!inlineValue) {
            if (i + 1 >= words.size()) {
                a.Error = "--" + name + " needs a value";
                return a;
            }
            value = words[++i];
        }
        a.Options[name].push_back(value);
    }
    return a;
}

int UsageError(const char* command, const std::string& message, const char* usage) {
    std::fprintf(stderr, "vexlo-cli %s: %s\n%s", command, message.c_str(), usage);
    return 2;
}

bool ParseIntegerIn(const std::string& text, int lo, int hi, int& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno || *end || end == text.c_str() || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

}  // namespace vexlo::cli
