#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/GlobalUnit.h"

namespace vexlo::test {

TempDir::TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "vexlo-test-XXXXXX").string();
    if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    path_ = templ + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

void UseSettingsIn(const TempDir& dir) {
    GlobalObject().SetSettingsFile(dir.file("vexlomobilevideoconverter.ini"));
}

}  // namespace vexlo::test
