#include <gtest/gtest.h>

#include "app/ErrorReporter.h"
#include "app/GlobalUnit.h"
#include "app/OutputFolder.h"
#include "app/Settings.h"
#include "engine/FFmpegException.h"
#include "platform/Paths.h"
#include "support/TempDir.h"

using namespace vexlo;
using vexlo::test::TempDir;

TEST(Settings, EveryKeyReadsItsDefaultWithoutAFile) {
    TempDir dir;
    test::UseSettingsIn(dir);
    struct Case {
        const char* key;
        const char* value;
    } cases[] = {{"OutPutFormat", "0"}, {"FormatCode", "1"}, {"FormatName", "iPod Video MPEG-4"},
                 {"volume", "0"},       {"mute", "0"},       {"skinIndex", "0"},
                 {"priority", "1"},     {"snapFullSize", "1"}, {"snapSmallSize", "1"},
                 {"snapBmp", "1"},      {"snapJpg", "1"},    {"jpgCmp", "30"}};
    for (const auto& c : cases) EXPECT_EQ(settings::ReadString(c.key), c.value) << c.key;
    EXPECT_EQ(settings::ReadString("OutPutDir"), DefaultOutputFolder());
    EXPECT_EQ(settings::ReadString("SnapOutPutDir"), HomeFolder() + "/videoconverter");
    EXPECT_EQ(settings::ReadInteger("jpgCmp"), 30);
    EXPECT_TRUE(settings::ReadBool("snapJpg"));
    EXPECT_FALSE(FileExists(GlobalObject().SettingsFile()));  // reading creates nothing
}

TEST(Settings, VolumeOutsideRangeReadsAs64) {
    TempDir dir;
    test::UseSettingsIn(dir);
    struct Case {
        int stored, read;
    } cases[] = {{0, 0}, {128, 128}, {77, 77}, {200, 64}, {-5, 64}, {129, 64}};
    for (const auto& c : cases) {
        settings::WriteInteger("volume", c.stored);
        EXPECT_EQ(settings::ReadVolume(), c.read) << c.stored;
    }
}

TEST(Settings, KeysDifferingInCaseAreOneKey) {
    TempDir dir;
    test::UseSettingsIn(dir);
    settings::WriteString("snapOutPutDir", "/tmp/snaps");
    settings::WriteInteger("priority", 3);
    EXPECT_EQ(settings::ReadString("SnapOutPutDir"), "/tmp/snaps");
    EXPECT_EQ(settings::ReadInteger("Priority"), 3);
}

TEST(GlobalObject, SettersGuardTheirValues) {
    TGlobalObject g;
    g.SetSettingsFile("/a/settings.ini");
    g.SetSettingsFile("a.i");
    g.SetSettingsFile("");
    EXPECT_EQ(g.SettingsFile(), "/a/settings.ini");
    g.SetFormatFile("/b/f.ini");
    g.SetFormatFile("abc");
    EXPECT_EQ(g.FormatFile(), "/b/f.ini");
    g.SetTitle("T");
    g.SetTitle("");
    EXPECT_EQ(g.Title(), "T");
    g.SetHelpUrl("h");
    g.SetHelpUrl("");
    EXPECT_EQ(g.HelpUrl(), "h");
    EXPECT_EQ(MakeVersionText(3, 3, 0, 0), " 3.300 ");
}

TEST(EnsureOutputFolder, CreatesMissingFolderWithParents) {
    TempDir dir;
    test::UseSettingsIn(dir);
    ScriptedPrompts prompts;
    ScopedPrompts scope(prompts);
    std::string wanted = dir.file("out/deeper/here");
    settings::WriteString("OutPutDir", wanted);
    EXPECT_EQ(EnsureOutputFolder("OutPutDir"), wanted + "/");
    EXPECT_TRUE(DirectoryExists(wanted));
    EXPECT_TRUE(prompts.shown().empty());
}

TEST(EnsureOutputFolder, ImpossibleFolderWarnsOnceFallsBackAndRewritesKey) {
    TempDir dir;
    test::UseSettingsIn(dir);
    TempDir home;
    std::string oldHome = HomeFolder();
    ::setenv("HOME", home.path().c_str(), 1);
    ScriptedPrompts prompts;
    ScopedPrompts scope(prompts);
    settings::WriteString("SnapOutPutDir", "/proc/cannot/make/this");
    std::string fallback = home.path() + "/videoconverter";
    EXPECT_EQ(EnsureOutputFolder("SnapOutPutDir"), fallback + "/");
    EXPECT_EQ(EnsureOutputFolder("SnapOutPutDir"), fallback + "/");
    ::setenv("HOME", oldHome.c_str(), 1);

    auto all = prompts.shown();
    ASSERT_EQ(all.size(), 1u);
    const auto& shown = all[0];
    EXPECT_EQ(shown.title, "Warning");
    EXPECT_EQ(shown.text, "Cannot create output directory:/proc/cannot/make/this.It will create "
                          "default directory " + fallback + "!");
    EXPECT_EQ(shown.icon, PromptIcon::Warning);
    EXPECT_TRUE(DirectoryExists(fallback));
    EXPECT_EQ(settings::ReadString("SnapOutPutDir"), fallback);
}

TEST(ErrorReporter, MessageRuleAndIcons) {
    struct Case {
        const char* in;
        const char* out;
    } texts[] = {{"", ""}, {"Done.", "Done."}, {"Bad value", "Bad value."}, {"Why?", "Why?."},
                 {"list!", "list!"}, {"code 5", "code 5."}, {"(a)", "(a)"}, {"end-", "end-"}};
    // "!", ")", "-" and " " sort before "."; letters, digits and "?" after it.
    for (const auto& c : texts) EXPECT_EQ(ErrorReportText(c.in), c.out) << c.in;

    ScriptedPrompts prompts;
    ScopedPrompts scope(prompts);
    EXPECT_TRUE(ReportException(std::make_exception_ptr(FFmpegException("engine broke")), "App"));
    EXPECT_TRUE(ReportException(std::make_exception_ptr(std::runtime_error("other")), "App"));
    EXPECT_FALSE(ReportException(std::make_exception_ptr(AccessViolation("av")), "App"));
    auto shown = prompts.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "engine broke.");
    EXPECT_EQ(shown[0].icon, PromptIcon::Warning);
    EXPECT_EQ(shown[0].title, "App");
    EXPECT_EQ(shown[1].text, "other.");
    EXPECT_EQ(shown[1].icon, PromptIcon::Error);
}
