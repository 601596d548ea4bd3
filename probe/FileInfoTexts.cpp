#include "probe/FileInfoTexts.h"

#include <cmath>

#include "platform/Text.h"

namespace vexlo {

std::string ShortSourceName(const std::string& path) {
    if (Utf8Length(path) < 46) return path;
    const auto dot = path.rfind('.');
    return Utf8Left(path, 40) + ".." + (dot == std::string::npos ? "" : path.substr(dot)) + "  ";
}

std::string DurationText(int64_t microseconds) {
    return Format("%d.%.3d Second", static_cast<int>(microseconds / 1000000),
                  static_cast<int>(microseconds % 1000000 / 1000));
}

std::string AudioFormatFromInfoText(const std::string& infoText) {
    const std::string key = "Audio:";
    auto at = infoText.find(key);
    if (at == std::string::npos) return {};
    at += key.size();
    if (at < infoText.size() && infoText[at] == ' ') ++at;
    const auto end = infoText.find_first_of(",\r\n", at);
    return infoText.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

std::string FrameRateText(int num, int den) {
    if (num <= 0 || den <= 0) return {};
    if (num % den == 0) return std::to_string(num / den);
    std::string text = Format("%.3f", static_cast<double>(num) / den);
    while (text.back() == '0') text.pop_back();
    return text;
}

std::string TotalFramesText(int64_t microseconds, int num, int den) {
    if (microseconds <= 0 || num <= 0 || den <= 0) return {};
    return std::to_string(std::llround(static_cast<double>(microseconds) * num / den / 1e6));
}

}  // namespace vexlo
