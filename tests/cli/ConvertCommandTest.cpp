// vexlo-cli convert: failures, trimming, cropping into a letterbox, names, stopping.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "CliSupport.h"

using namespace vexlo;
using namespace vexlo::test;

extern char** environ;

namespace {

double Duration(const std::string& file) { return std::atof(FfprobeValue(file, "format=duration").c_str()); }

// Mean luma of a rectangle of the first frame.
double RegionLuma(const std::string& file, int x, int y, int w, int h) {
    std::string out = RunProgram({"ffprobe", "-v", "error", "-f", "lavfi", "-i",
                                  "movie=" + file + ",crop=" + std::to_string(w) + ":" + std::to_string(h) + ":" +
                                      std::to_string(x) + ":" + std::to_string(y) + ",signalstats",
                                  "-show_entries", "frame_tags=lavfi.signalstats.YAVG", "-of", "default=nw=1:nk=1",
                                  "-read_intervals", "%+#1"});
    return out.empty() ? -1 : std::atof(out.c_str());
}

// 30 s whose picture brightness tells the time: luma = 16 + 6 x seconds.
std::string RampClip() {
    return MediaFixture("cli-ramp-30s.mp4", {"-f", "lavfi", "-i", "color=c=black:s=160x120:r=10:d=30,geq=lum='16+6*T':cb=128:cr=128",
                                             "-f", "lavfi", "-i", "sine=sample_rate=22050:duration=30", "-c:v", "libx264",
                                             "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest"});
}

TEST(ConvertCommand, BadFilesAreReportedByNameAndTheOthersStillConvert) {
    TempDir dir;
    const std::string text = dir.file("notes.avi"), missing = dir.file("missing.mp4"), folder = dir.file("folder.mp4");
    WriteFile(text, "this is not a video\n");
    std::filesystem::create_directory(folder);
    const std::string clip = StandardClip("mp4");
    TCliRun run = RunCli(dir, {"convert", "--out", dir.path() + "out", text, clip, missing, folder, StandardClip("avi")});
    EXPECT_EQ(run.status, 1);
    for (const std::string& bad : {text, missing, folder}) {
        size_t at = run.err.find(bad + ": ");
        ASSERT_NE(at, std::string::npos) << bad << " not reported in:\n" << run.err;
        std::string message = run.err.substr(at + bad.size() + 2, run.err.find('\n', at) - at - bad.size() - 2);
        EXPECT_FALSE(message.empty()) << bad;
    }
    std::vector<std::string> out = Destinations(run.out);
    ASSERT_EQ(out.size(), 2u) << run.out;
    for (const auto& file : out) EXPECT_NEAR(Duration(file), 2.0, 0.3) << file;
}

TEST(ConvertCommand, TrimKeepsTheChosenPart) {
    TempDir dir;
    const std::string clip = RampClip();
    // Letterbox into 320x240 keeps the picture whole, so its brightness is the source's.
    TCliRun run = RunCli(dir, {"convert", "--profile", "2", "--out", dir.path(), "--trim",
                               "10,5", clip});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> out = Destinations(run.out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NEAR(Duration(out[0]), 5.0, 0.3);
    const double first = RegionLuma(out[0], 100, 100, 120, 40);
    EXPECT_NEAR(first, 16 + 6 * 10, 8) << "the first frame shows second 10";
}

TEST(ConvertCommand, ATrimStartPastTheEndIsRefusedByName) {
    TempDir dir;
    const std::string clip = RampClip();
    TCliRun run = RunCli(dir, {"convert", "--out", dir.path(), "--trim", "31", clip});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(clip + ": The trim start 00:00:31.000 is past the end of the file (00:00:30."),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(Destinations(run.out).empty()) << run.out;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "no empty file is left";
}

TEST(ConvertCommand, AnUntrimmedRunConvertsTheWholeSource) {
    TempDir dir;
    TCliRun run = RunCli(dir, {"convert", "--out", dir.path(), RampClip()});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> out = Destinations(run.out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NEAR(Duration(out[0]), 30.0, 0.5);
}

TEST(ConvertCommand, CropIntoALetterboxCropsScalesAndPads) {
    TempDir dir;
    const std::string clip = ProfileClip();
    const std::vector<std::string> job = {"--profile", "2", "--out", dir.path(), "--crop", "0,80,0,80", "--zoom", "lbox", clip};
    std::vector<std::string> options = {"options"};
    options.insert(options.end(), job.begin(), job.end());
    TCliRun dry = RunCli(dir, options);
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find("TOutputOptions.VideoFilters = \"crop=80:0:480:360,scale=320:180,pad=320:240:0:30\""),
              std::string::npos)
        << dry.out;

    std::vector<std::string> convert = {"convert"};
    convert.insert(convert.end(), job.begin(), job.end());
    TCliRun run = RunCli(dir, convert);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> out = Destinations(run.out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(FfprobeValue(out[0], "stream=width", "v:0"), "320");
    EXPECT_EQ(FfprobeValue(out[0], "stream=height", "v:0"), "240");
    EXPECT_LT(RegionLuma(out[0], 0, 0, 320, 28), 24) << "top band is padding";
    EXPECT_LT(RegionLuma(out[0], 0, 212, 320, 28), 24) << "bottom band is padding";
    EXPECT_GT(RegionLuma(out[0], 0, 40, 320, 160), 40) << "the picture is between the bands";
}

TEST(ConvertCommand, SourcesWithOneNameGetDistinctDestinations) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("a"));
    std::filesystem::create_directories(dir.file("b"));
    std::filesystem::copy_file(StandardClip("mp4"), dir.file("a/clip.mp4"));
    std::filesystem::copy_file(StandardClip("mp4"), dir.file("b/clip.mp4"));
    TCliRun run = RunCli(dir, {"convert", "--out", dir.path(), dir.file("a/clip.mp4"), dir.file("b/clip.mp4")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Destinations(run.out),
              (std::vector<std::string>{dir.file("clip_(new).mp4"), dir.file("clip_(new_1).mp4")}));
}

TEST(ConvertCommand, WrongUsageGivesStatusTwoAndTheUsage) {
    TempDir dir;
    const std::vector<std::vector<std::string>> cases = {
        {"convert"},
        {"convert", "--profile", "99", StandardClip("mp4")},
        {"convert", "--brightness", "600", StandardClip("mp4")},
        {"convert", "--trim", "ten", StandardClip("mp4")},
        {"convert", "--crop", "1,2,3", StandardClip("mp4")},
        {"convert", "--zoom", "wide", StandardClip("mp4")},
        {"convert", "--set", "Colour=red", StandardClip("mp4")},
        {"convert", "--frobnicate", "1", StandardClip("mp4")},
        {"nonsense"},
    };
    for (const auto& args : cases) {
        TCliRun run = RunCli(dir, args);
        EXPECT_EQ(run.status, 2) << args.back();
        if (args[0] == "convert") {
            EXPECT_NE(run.err.find("usage: vexlo-cli convert"), std::string::npos) << run.err;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("vexlomobilevideoconverter.ini"))) << "nothing is written";
}

// Ctrl-C stops the run as Cancel does: the output written so far is complete.
TEST(ConvertCommand, InterruptStopsTheRunWithCompleteOutputs) {
    TempDir dir;
    const std::string clip = MediaFixture("cli-long-120s.mp4", {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=10:duration=120",
                                                                "-f", "lavfi", "-i", "sine=sample_rate=22050:duration=120",
                                                                "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt",
                                                                "yuv420p", "-c:a", "aac", "-shortest"});
    ::setenv("VEXLO_SETTINGS_DIR", dir.path().c_str(), 1);
    int errPipe[2];
    ASSERT_EQ(::pipe(errPipe), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {Cli(), "convert", "--profile", "3", "--out", dir.path(), clip, StandardClip("mp4")};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(errPipe[1]);
    // Interrupt at the first progress line; read the rest so the program never blocks.
    std::string err;
    char buf[512];
    bool sent = false;
    for (ssize_t n; (n = ::read(errPipe[0], buf, sizeof buf)) > 0;) {
        err.append(buf, static_cast<size_t>(n));
        if (!sent && err.find("elapsed") != std::string::npos) {
            ::kill(pid, SIGINT);
            sent = true;
        }
    }
    ::close(errPipe[0]);
    int st = 0;
    ::waitpid(pid, &st, 0);
    ASSERT_TRUE(sent) << err;
    ASSERT_TRUE(WIFEXITED(st)) << "the first Ctrl-C must not kill the program";
    EXPECT_EQ(WEXITSTATUS(st), 130) << err;
    EXPECT_NE(err.find("[1/2] cli-long-120s.mp4  stopped"), std::string::npos) << err;
    EXPECT_NE(err.find("[2/2] standard.mp4  stopped"), std::string::npos) << err;
    const std::string first = dir.file("cli-long-120s_(new).mp4");
    const double kept = Duration(first);
    EXPECT_GT(kept, 0.0) << "the stopped output is a readable file";
    EXPECT_LT(kept, 100.0);
    int status = -1;
    RunProgram({"ffmpeg", "-v", "error", "-i", first, "-f", "null", "-"}, &status);
    EXPECT_EQ(status, 0) << "the stopped output decodes to its end";
}

}  // namespace
