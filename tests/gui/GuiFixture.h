#pragma once
// A fresh settings file, scripted prompts and a recording shell for every window test.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "app/GlobalUnit.h"
#include "app/Settings.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "support/TempDir.h"

namespace vexlo::test {

class GuiTest : public ::testing::Test {
protected:
    GuiTest() : usePrompts(prompts) {
        UseSettingsIn(dir);
        previousShell = SetShell(&shell);
    }
    ~GuiTest() override {
        SetShell(previousShell);
        QApplication::processEvents();
    }
    // Keeps destination names inside the test's folder.
    void UseOutputFolder() { settings::WriteString("OutPutDir", dir.path() + "out"); }
    std::string SettingsText() const { return ReadFile(GlobalObject().SettingsFile()); }
    std::string Stored(const std::string& section, const std::string& key) const {
        return SettingsIni().ReadString(section, key, "<missing>");
    }

    TempDir dir;
    ScriptedPrompts prompts;
    ScopedPrompts usePrompts;
    RecordingShell shell;
    Shell* previousShell = nullptr;
};

}  // namespace vexlo::test
