#include "support/MediaFixtures.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vexlo::test {
namespace {

std::string FixtureDir() {
    const char* env = std::getenv("VEXLO_FIXTURE_DIR");
    std::string dir = env && *env ? env : (std::filesystem::temp_directory_path() / "vexlo-fixtures").string();
    std::filesystem::create_directories(dir);
    return dir + "/";
}

}  // namespace

std::string RunProgram(const std::vector<std::string>& argv, int* status, std::string* errors) {
    int pipefd[2];
    if (::pipe(pipefd) != 0) return {};
    // Standard error goes to an unlinked file, so that neither stream can block the other.
    FILE* errorFile = errors ? std::tmpfile() : nullptr;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipefd[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipefd[0]);
    if (errorFile) posix_spawn_file_actions_adddup2(&actions, ::fileno(errorFile), 2);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipefd[1]);
    std::string out;
    if (rc == 0) {
        char buf[4096];
        ssize_t n;
        while ((n = ::read(pipefd[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
    }
    ::close(pipefd[0]);
    int st = -1;
    if (rc == 0) ::waitpid(pid, &st, 0);
    if (status) *status = (rc == 0 && WIFEXITED(st)) ? WEXITSTATUS(st) : -1;
    if (errorFile) {
        errors->clear();
        std::rewind(errorFile);
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, errorFile)) > 0) errors->append(buf, n);
        std::fclose(errorFile);
    }
    return out;
}

std::string MediaFixture(const std::string& name, const std::vector<std::string>& args) {
    std::string path = FixtureDir() + name;
    if (std::filesystem::exists(path)) return path;
    // Test processes run in parallel: one makes the file, the others wait for it.
    std::string lockPath = FixtureDir() + ".lock";
    int lockFd = ::open(lockPath.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    ::flock(lockFd, LOCK_EX);
    if (!std::filesystem::exists(path)) {
        std::string tmp = FixtureDir() + "tmp-" + std::to_string(::getpid()) + "-" + name;
        std::vector<std::string> argv = {"ffmpeg", "-y", "-hide_banner", "-loglevel", "error",
                                         "-nostdin"};
        argv.insert(argv.end(), args.begin(), args.end());
        argv.push_back(tmp);
        int status = -1;
        RunProgram(argv, &status);
        if (status == 0) std::filesystem::rename(tmp, path);
        else std::filesystem::remove(tmp);
    }
    ::flock(lockFd, LOCK_UN);
    ::close(lockFd);
    if (!std::filesystem::exists(path)) {
        ADD_FAILURE() << "could not make fixture " << name;
        return "";
    }
    return path;
}

std::string Ffprobe(const std::string& file, const std::string& entries,
                    const std::string& selectStreams) {
    std::vector<std::string> argv = {"ffprobe", "-v", "error"};
    if (!selectStreams.empty()) {
        argv.push_back("-select_streams");
        argv.push_back(selectStreams);
    }
    argv.insert(argv.end(), {"-show_entries", entries, "-of", "default=nw=1", file});
    return RunProgram(argv);
}

std::string FfprobeValue(const std::string& file, const std::string& entry,
                         const std::string& selectStreams) {
    std::string out = Ffprobe(file, entry, selectStreams);
    auto key = entry.substr(entry.find('=') + 1) + "=";
    auto pos = out.find(key);
    if (pos == std::string::npos) return "";
    auto end = out.find('\n', pos);
    return out.substr(pos + key.size(), end == std::string::npos ? std::string::npos : end - pos - key.size());
}

std::string StandardClip(const std::string& ext) {
    std::vector<std::string> args = {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=2",
                                     "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=2",
                                     "-ac", "2", "-shortest"};
    if (ext == "mp4" || ext == "mkv") args.insert(args.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac"});
    else if (ext == "avi") args.insert(args.end(), {"-c:v", "mpeg4", "-c:a", "libmp3lame"});
    else if (ext == "ts") args.insert(args.end(), {"-c:v", "mpeg2video", "-c:a", "mp2"});
    return MediaFixture("standard." + ext, args);
}

}  // namespace vexlo::test
