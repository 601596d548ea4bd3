#include "platform/Shell.h"

#include <atomic>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace vexlo {
namespace {
SystemShell g_system;
std::atomic<Shell*> g_current{nullptr};
}  // namespace

Shell& CurrentShell() {
    Shell* s = g_current.load();
    return s ? *s : g_system;
}

Shell* SetShell(Shell* s) { return g_current.exchange(s); }

bool SpawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    pid_t pid;
    int rc = posix_spawnp(&pid, args[0], nullptr, &attr, args.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) return false;
    // Some handlers stay in the foreground until closed; reap in the background so the
    // caller never waits and no zombie is left.
    std::thread([pid] {
        int status;
        ::waitpid(pid, &status, 0);
    }).detach();
    return true;
}

bool SystemShell::Open(const std::string& target) { return SpawnDetached({"xdg-open", target}); }

bool SystemShell::PowerOff() { return SpawnDetached({"systemctl", "poweroff"}); }

}  // namespace vexlo
