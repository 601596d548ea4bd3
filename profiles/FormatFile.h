#pragma once
// Per-format values in the two files: the read-only format file (choice lists, defaults,
// container keyword, extension) and the settings file's section of the same code (the
// user's current values).
#include <string>

#include "platform/IniFile.h"

namespace vexlo {

// The format file of the global object.
IniFile FormatIni();

// `Format` of the format file (fallback "null").
std::string ReadFormatKeyword(const std::string& code);
// `FileExt` of the format file (fallback "mp4"), without the dot.
std::string ReadFileExt(const std::string& code);
// `paraZoom` of the settings file (fallback "lbox"), the zoom mode a job gets.
std::string ReadZoomMode(const std::string& code);

}  // namespace vexlo
