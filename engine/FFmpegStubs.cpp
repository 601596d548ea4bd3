#include "engine/TranscoderState.h"
namespace vexlo {
void TCustomFFmpeg::ReleaseAll() {}
void TCustomFFmpeg::Transcode() { throw FFmpegException("TODO"); }
void TCustomFFmpeg::SetOption(const std::string&, const std::string&) {}
void TCustomFFmpeg::LoadPreset(const std::string&, const std::string&) {}
void TCustomFFmpeg::SetTarget(const std::string&, const std::string&, const std::string&) {}
bool TCustomFFmpeg::SetGenericOption(const std::string&, const std::string&) { return false; }
bool TCustomFFmpeg::OpenInputFile(const std::string&) { return false; }
int TCustomFFmpeg::OpenOutputFile(const std::string&) { return -1; }
}
