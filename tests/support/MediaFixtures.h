#pragma once
// Media files for tests, made with Debian's ffmpeg program on first use and cached in
// $VEXLO_FIXTURE_DIR (the build's fixtures/ folder) so that every test process reuses them.
#include <string>
#include <vector>

namespace vexlo::test {

// Path of fixture `name` (a file name with extension), made by running
// `ffmpeg -y -hide_banner -loglevel error <args> <path>` when it does not exist yet.
// Fails the calling test (returns "") when ffmpeg fails.
std::string MediaFixture(const std::string& name, const std::vector<std::string>& args);

// Runs a program (no shell) and returns its standard output; exit status in *status, its
// standard error in *errors when asked for (otherwise it goes to this process's).
std::string RunProgram(const std::vector<std::string>& argv, int* status = nullptr, std::string* errors = nullptr);

// ffprobe -v error -show_entries <entries> -of default=nw=1 <file>, e.g.
// Ffprobe(file, "stream=codec_name,width") -> "codec_name=h264\nwidth=320\n...".
std::string Ffprobe(const std::string& file, const std::string& entries,
                    const std::string& selectStreams = "");
// One value of Ffprobe's output ("" when absent).
std::string FfprobeValue(const std::string& file, const std::string& entry,
                         const std::string& selectStreams = "");

// Ready-made inputs used by several suites: 2 s of 320x240 25 fps test picture with a
// 44.1 kHz stereo tone, in the container of the extension (mp4, avi, mkv, ts, ...).
std::string StandardClip(const std::string& ext);

}  // namespace vexlo::test
