#include "probe/FileInfoTexts.h"

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

}  // namespace vexlo
