#include "engine/OptionLines.h"

#include <cctype>

namespace vexlo {

TOptionLines SplitOptionLines(const std::string& text, bool lowerNames) {
    std::string all = text;
    for (size_t p; (p = all.find("<CRLF>")) != std::string::npos;) all.replace(p, 6, "\n");
    TOptionLines lines;
    size_t pos = 0;
    while (pos <= all.size()) {
        size_t end = all.find('\n', pos);
        if (end == std::string::npos) end = all.size();
        std::string line = all.substr(pos, end - pos);
        pos = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        line.erase(0, first);
        size_t eq = line.find('=');
        std::string name = eq == std::string::npos ? line : line.substr(0, eq);
        std::string value = eq == std::string::npos ? "" : line.substr(eq + 1);
        if (lowerNames)
            for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        lines.emplace_back(std::move(name), std::move(value));
    }
    return lines;
}

}  // namespace vexlo
