#include "app/Settings.h"

#include "app/GlobalUnit.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace vexlo {

IniFile SettingsIni() { return IniFile(GlobalObject().SettingsFile()); }

namespace settings {

const char* const kSection = "settings";

std::string DefaultOf(const std::string& key) {
    struct Entry {
        const char* key;
        const char* value;  // nullptr: the default output folder
    };
    static const Entry table[] = {
        {"OutPutDir", nullptr},      {"OutPutFormat", "0"},  {"FormatCode", "1"},
        {"FormatName", "iPod Video MPEG-4"},                 {"volume", "0"},
        {"mute", "0"},               {"skinIndex", "0"},     {"priority", "1"},
        {"SnapOutPutDir", nullptr},  {"snapFullSize", "1"},  {"snapSmallSize", "1"},
        {"snapBmp", "1"},            {"snapJpg", "1"},       {"jpgCmp", "30"},
    };
    for (const auto& e : table)
        if (EqualsNoCase(e.key, key)) return e.value ? e.value : DefaultOutputFolder();
    return {};
}

std::string ReadString(const std::string& key) {
    return SettingsIni().ReadString(kSection, key, DefaultOf(key));
}

int ReadInteger(const std::string& key) {
    int def = 0;
    ParseIniInteger(DefaultOf(key), def);
    return SettingsIni().ReadInteger(kSection, key, def);
}

bool ReadBool(const std::string& key) { return ReadInteger(key) == 1; }

void WriteString(const std::string& key, const std::string& value) {
    SettingsIni().WriteString(kSection, key, value);
}

void WriteInteger(const std::string& key, int value) {
    SettingsIni().WriteInteger(kSection, key, value);
}

void WriteBool(const std::string& key, bool value) { SettingsIni().WriteBool(kSection, key, value); }

int ReadVolume() {
    int v = ReadInteger("volume");
    return (v < 0 || v > 128) ? 64 : v;
}

}  // namespace settings
}  // namespace vexlo
