#include "platform/Paths.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace vexlo {

namespace fs = std::filesystem;

std::string IncludeTrailingSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + "/";
}

std::string ProgramFolder() {
    std::error_code ec;
    auto exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return IncludeTrailingSlash(fs::current_path(ec).string());
    return IncludeTrailingSlash(exe.parent_path().string());
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

std::string SettingsFolder() {
    if (const char* dir = std::getenv("VEXLO_SETTINGS_DIR"); dir && *dir) {
        ForceDirectories(dir);
        return IncludeTrailingSlash(dir);
    }
    std::string program = ProgramFolder();
    if (::access(program.c_str(), W_OK) == 0) return program;
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else
        base = HomeFolder() + "/.config";
    std::string folder = IncludeTrailingSlash(base) + "vexlo/";
    ForceDirectories(folder);
    return folder;
}

std::string DataFilePath(const std::string& name) {
    std::string local = ProgramFolder() + name;
    if (FileExists(local)) return local;
#ifdef VEXLO_DATA_DIR
    std::string installed = IncludeTrailingSlash(VEXLO_DATA_DIR) + name;
    if (FileExists(installed)) return installed;
#endif
    return local;
}

std::string DefaultOutputFolder() { return HomeFolder() + "/videoconverter"; }

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    fs::create_directories(path, ec);
    return DirectoryExists(path);
}

std::string ExtractFileName(const std::string& path) {
    auto p = path.find_last_of('/');
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ExtractFilePath(const std::string& path) {
    auto p = path.find_last_of('/');
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileExt(const std::string& path) {
    std::string name = ExtractFileName(path);
    auto p = name.find_last_of('.');
    return p == std::string::npos ? std::string() : name.substr(p);
}

std::string ExtractBaseName(const std::string& path) {
    std::string name = ExtractFileName(path);
    auto p = name.find_last_of('.');
    return p == std::string::npos ? name : name.substr(0, p);
}

long long FileSize(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<long long>(st.st_size);
}

bool IsOnOpticalDisc(const std::string& path) {
    constexpr long kIso9660 = 0x9660, kUdf = 0x15013346;
    struct statfs fs {};
    if (::statfs(path.c_str(), &fs) != 0) return false;
    return fs.f_type == kIso9660 || fs.f_type == kUdf;
}

}  // namespace vexlo
