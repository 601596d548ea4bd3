#pragma once
// The user's preferences in section "settings" of the settings file. Nothing is cached:
// every read opens the file, every write reaches it at once.
#include <string>

#include "platform/IniFile.h"

namespace vexlo {

// The settings file of the global object.
IniFile SettingsIni();

namespace settings {

extern const char* const kSection;  // "settings"

// The default of a key of section "settings" (empty for unknown keys).
std::string DefaultOf(const std::string& key);

std::string ReadString(const std::string& key);
int ReadInteger(const std::string& key);
bool ReadBool(const std::string& key);
void WriteString(const std::string& key, const std::string& value);
void WriteInteger(const std::string& key, int value);
void WriteBool(const std::string& key, bool value);

// Preview volume 0..128; anything outside reads as 64.
int ReadVolume();

}  // namespace settings
}  // namespace vexlo
