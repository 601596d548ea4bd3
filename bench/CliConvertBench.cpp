// vexlo-cli convert against the ffmpeg program at equal settings, on a generated 720p 30 s
// clip with sound, for the "MPEG-4 Video (*.mp4)" and "H.264/MPEG-4 AVC Video (*.mp4)"
// profiles, with and without a brightness change. Each case converts the clip once per
// round; the ratios vexlo / ffmpeg are printed.
// Run: build/bin/bench_CliConvertBench [rounds, default 3]
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Paths.h"

extern char** environ;

using namespace vexlo;
namespace fs = std::filesystem;

namespace {

// Runs a program with its output silenced; true when it exits with 0.
bool Run(const std::vector<std::string>& args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct TBenchFiles {
    std::string folder, clip, out;
    TBenchFiles() {
        folder = (fs::temp_directory_path() / "vexlo-bench").string();
        out = folder + "/out";
        fs::create_directories(out);
        clip = folder + "/clip-720p-30s.mp4";
        if (!fs::exists(clip))
            Run({"ffmpeg", "-y", "-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=25:duration=30", "-f", "lavfi", "-i",
                 "sine=frequency=440:sample_rate=44100:duration=30", "-ac", "2", "-c:v", "libx264", "-preset",
                 "veryfast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest", clip});
        // The run's own settings: the shipped defaults of every profile.
        setenv("VEXLO_SETTINGS_DIR", folder.c_str(), 1);
    }
};

TBenchFiles& Files() {
    static TBenchFiles files;
    return files;
}

struct TCase {
    const char* name;
    int profile;
    bool effects;
};

// What the two profiles store by default, as ffmpeg options: the same codecs, rates,
// bit rates and (for H.264) the x264 settings of the profile's preset. The brightness
// change is done as vexlo does it, on 24-bit RGB pictures.
std::vector<std::string> FfmpegArgs(const TCase& c, const std::string& out) {
    std::vector<std::string> a = {"ffmpeg", "-y", "-nostdin", "-threads", "0", "-i", Files().clip};
    if (c.effects) a.insert(a.end(), {"-vf", "format=bgr24,lutrgb=r=val*300/255:g=val*300/255:b=val*300/255,format=yuv420p"});
    if (c.profile == 603)
        // The profile's 1500 kbit/s over its preset "libx264-mp4".
        a.insert(a.end(), {"-c:v", "libx264", "-b:v", "1500k", "-maxrate", "1500k", "-bufsize", "4000k", "-bt", "256k",
                           "-coder", "1", "-level", "30", "-partitions", "+parti4x4+parti8x8+partp8x8+partb8x8",
                           "-me_method", "umh", "-subq", "7", "-me_range", "16", "-g", "250", "-keyint_min", "25",
                           "-sc_threshold", "40", "-i_qfactor", "0.71", "-b_strategy", "1", "-qcomp", "0.6", "-qmin",
                           "10", "-qmax", "51", "-qdiff", "4", "-bf", "3", "-refs", "1", "-trellis", "2",
                           "-x264-params", "direct=spatial"});
    else
        a.insert(a.end(), {"-c:v", "mpeg4", "-b:v", "1024k"});
    a.insert(a.end(), {"-c:a", "aac", "-b:a", "128k", "-ar", "44100", "-ac", "2", out});
    return a;
}

std::vector<std::string> VexloArgs(const TCase& c) {
    std::vector<std::string> a = {ProgramFolder() + "vexlo-cli", "convert", "--profile", std::to_string(c.profile),
                                  "--out", Files().out};
    if (c.effects) a.insert(a.end(), {"--brightness", "300"});
    a.push_back(Files().clip);
    return a;
}

// Seconds one conversion takes; negative when it failed.
double TimeOne(const TCase& c, bool vexlo) {
    fs::remove_all(Files().out);
    fs::create_directories(Files().out);
    auto start = std::chrono::steady_clock::now();
    bool ok = vexlo ? Run(VexloArgs(c)) : Run(FfmpegArgs(c, Files().out + "/ffmpeg.mp4"));
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return ok ? s : -1;
}

const TCase kCases[] = {{"MPEG-4", 602, false}, {"MPEG-4+brightness", 602, true},
                        {"H.264", 603, false},  {"H.264+brightness", 603, true}};

}  // namespace

int main(int argc, char** argv) {
    // Rounds alternate the two programs and each keeps its fastest time, so that a busy spell
    // of a shared machine weighs on neither side alone.
    int rounds = 3;
    if (argc > 1) rounds = std::max(1, std::atoi(argv[1]));
    Files();
    std::printf("vexlo-cli / ffmpeg, fastest of %d alternating rounds (targets: 1.10 without effects, 1.35 with them)\n",
                rounds);
    bool failed = false;
    for (const TCase& c : kCases) {
        double best[2] = {1e9, 1e9};
        for (int r = 0; r < rounds; ++r)
            for (bool vexlo : {false, true}) {
                const double s = TimeOne(c, vexlo);
                if (s < 0) {
                    std::printf("  %-20s %s failed\n", c.name, vexlo ? "vexlo-cli" : "ffmpeg");
                    failed = true;
                    continue;
                }
                best[vexlo] = std::min(best[vexlo], s);
            }
        std::printf("  %-20s %.2f  (%.2f s vs %.2f s)\n", c.name, best[1] / best[0], best[1], best[0]);
        std::fflush(stdout);
    }
    return failed ? 1 : 0;
}
