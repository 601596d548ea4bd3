#pragma once
// Running the built vexlo-cli from the tests, with settings of the test's own.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Paths.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

namespace vexlo::test {

struct TCliRun {
    int status = -1;
    std::string out, err;
};

// The program built beside this test program.
inline std::string Cli() { return ProgramFolder() + "vexlo-cli"; }

// vexlo-cli with args, reading and writing its settings file in `settings`.
inline TCliRun RunCli(const TempDir& settings, std::vector<std::string> args) {
    ::setenv("VEXLO_SETTINGS_DIR", settings.path().c_str(), 1);
    args.insert(args.begin(), Cli());
    TCliRun run;
    run.out = RunProgram(args, &run.status, &run.err);
    return run;
}

// 5 s of 640x360 25 fps picture with a 44.1 kHz stereo tone.
inline std::string ProfileClip() {
    return MediaFixture("cli-640x360-5s.mp4",
                        {"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=25:duration=5", "-f", "lavfi", "-i",
                         "sine=frequency=440:sample_rate=44100:duration=5", "-ac", "2", "-c:v", "libx264", "-preset",
                         "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest"});
}

// The destinations of a convert run's "SOURCE -> DESTINATION" lines, in order.
inline std::vector<std::string> Destinations(const std::string& out) {
    std::vector<std::string> d;
    for (size_t at = 0; at < out.size();) {
        size_t end = out.find('\n', at);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(at, end - at);
        size_t arrow = line.find(" -> ");
        if (arrow != std::string::npos) d.push_back(line.substr(arrow + 4));
        at = end + 1;
    }
    return d;
}

}  // namespace vexlo::test
