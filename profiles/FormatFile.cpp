#include "profiles/FormatFile.h"

#include "app/GlobalUnit.h"
#include "app/Settings.h"
#include "profiles/FormatCatalogue.h"

namespace vexlo {

IniFile FormatIni() { return IniFile(GlobalObject().FormatFile()); }

std::string ReadFormatKeyword(const std::string& code) {
    return FormatIni().ReadString(FormatSection(code), "Format", "null");
}

std::string ReadFileExt(const std::string& code) {
    return FormatIni().ReadString(FormatSection(code), "FileExt", "mp4");
}

std::string ReadZoomMode(const std::string& code) {
    return SettingsIni().ReadString(FormatSection(code), "paraZoom", "lbox");
}

}  // namespace vexlo
