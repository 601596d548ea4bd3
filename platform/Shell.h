#pragma once
// Actions handed to the desktop: opening a folder or web address, powering off. One
// interface, so that tests replace it and never open a file manager or stop a machine.
#include <string>
#include <vector>

namespace vexlo {

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a folder, file or web address with the desktop's handler (xdg-open).
    virtual bool Open(const std::string& target) = 0;
    // Powers the computer off (systemctl poweroff).
    virtual bool PowerOff() = 0;
};

// The shell in use; by default the system one.
Shell& CurrentShell();
// Installs s (not owned); nullptr restores the system shell. Returns the previous one.
Shell* SetShell(Shell* s);

// Runs programs without a shell in between, so paths are passed as they are.
class SystemShell : public Shell {
public:
    bool Open(const std::string& target) override;
    bool PowerOff() override;
};

// Records requests and does nothing; for tests.
class RecordingShell : public Shell {
public:
    bool Open(const std::string& target) override {
        opened.push_back(target);
        return true;
    }
    bool PowerOff() override {
        ++powerOffs;
        return true;
    }
    std::vector<std::string> opened;
    int powerOffs = 0;
};

// Starts argv[0] with the given arguments without waiting; false when it cannot start.
bool SpawnDetached(const std::vector<std::string>& argv);

}  // namespace vexlo
