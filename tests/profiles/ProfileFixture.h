#pragma once
// A settings file and a format file of the test's own in a temporary folder; the global
// object's paths are restored afterwards.
#include <gtest/gtest.h>

#include <string>

#include "app/GlobalUnit.h"
#include "platform/IniFile.h"
#include "support/TempDir.h"

namespace vexlo::test {

class ProfileFixture : public ::testing::Test {
protected:
    void SetUp() override {
        savedSettings_ = GlobalObject().SettingsFile();
        savedFormat_ = GlobalObject().FormatFile();
        UseSettingsIn(dir_);
        GlobalObject().SetFormatFile(dir_.file("format.ini"));
    }
    void TearDown() override {
        GlobalObject().SetSettingsFile(savedSettings_);
        GlobalObject().SetFormatFile(savedFormat_);
    }
    // Replaces the format file with text.
    void WriteFormatFile(const std::string& text) { WriteFile(dir_.file("format.ini"), text); }
    void UseShippedFormatFile() { GlobalObject().SetFormatFile(savedFormat_); }
    IniFile Settings() const { return IniFile(GlobalObject().SettingsFile()); }
    std::string Stored(const std::string& code, const std::string& key, const std::string& def = "<none>") const {
        return Settings().ReadString("formatInfo" + code, key, def);
    }
    void Store(const std::string& code, const std::string& key, const std::string& value) {
        Settings().WriteString("formatInfo" + code, key, value);
    }

    TempDir dir_;

private:
    std::string savedSettings_, savedFormat_;
};

}  // namespace vexlo::test
