#pragma once
// Where the program and its files live on this system.
#include <string>

namespace vexlo {

// Folder of the running executable, with a trailing '/'.
std::string ProgramFolder();
// Folder of the settings file: $VEXLO_SETTINGS_DIR, else the program folder when it is
// writable, else $XDG_CONFIG_HOME/vexlo/ (default ~/.config/vexlo/); trailing '/'.
std::string SettingsFolder();
// The shipped data file `name`: program folder first, then the installed data folder.
std::string DataFilePath(const std::string& name);
// The folder used when a chosen output folder cannot be made: $HOME/videoconverter.
std::string DefaultOutputFolder();
std::string HomeFolder();

std::string IncludeTrailingSlash(const std::string& folder);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the folder and all missing parents; true when it exists afterwards.
bool ForceDirectories(const std::string& path);
// The part after the last '/', and the part up to and including it.
std::string ExtractFileName(const std::string& path);
std::string ExtractFilePath(const std::string& path);
// File name without its extension ("a/b.c.mp4" -> "b.c").
std::string ExtractBaseName(const std::string& path);
// Extension with its dot, or empty.
std::string ExtractFileExt(const std::string& path);
// Whether the path lies on an optical disc (ISO 9660 or UDF file system), where no output
// can be written.
bool IsOnOpticalDisc(const std::string& path);
// Size in bytes, or -1.
long long FileSize(const std::string& path);

}  // namespace vexlo
