#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/IniFile.h"
#include "support/TempDir.h"

using namespace vexlo;
using vexlo::test::TempDir;

TEST(IniFile, MissingFileReadsDefaults) {
    TempDir dir;
    IniFile ini(dir.file("none.ini"));
    EXPECT_EQ(ini.ReadString("settings", "OutPutDir", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("settings", "volume", 7), 7);
    EXPECT_TRUE(ini.ReadBool("settings", "snapBmp", true));
    EXPECT_FALSE(ini.SectionExists("settings"));
}

TEST(IniFile, NamesMatchWithoutRegardToCase) {
    TempDir dir;
    IniFile ini(dir.file("a.ini"));
    ini.WriteString("settings", "snapOutPutDir", "/x");
    ini.WriteInteger("Settings", "priority", 3);
    EXPECT_EQ(ini.ReadString("SETTINGS", "SnapOutPutDir", ""), "/x");
    EXPECT_EQ(ini.ReadInteger("settings", "Priority", 0), 3);
    // Rewriting under another spelling replaces the one key.
    ini.WriteString("settings", "SNAPOUTPUTDIR", "/y");
    EXPECT_EQ(ini.ReadSection("settings").size(), 2u);
    EXPECT_EQ(ini.ReadString("settings", "snapoutputdir", ""), "/y");
}

TEST(IniFile, ValueParsing) {
    TempDir dir;
    test::WriteFile(dir.file("p.ini"),
                    "garbage line without equals\n"
                    "[s]\r\n"
                    "  spaced  =  value with spaces  \n"
                    "=no key\n"
                    "; comment=1\n"
                    "quoted=\"a b\"\n"
                    "int=42\n"
                    "hex=0x1F\n"
                    "bad=12abc\n"
                    "two=2\n"
                    "one=1\n"
                    "[broken\n"
                    "after=still in s\n");
    IniFile ini(dir.file("p.ini"));
    struct Case {
        const char* key;
        const char* text;
    } texts[] = {{"spaced", "value with spaces"}, {"quoted", "a b"}, {"after", "still in s"},
                 {"comment", "<none>"}};
    for (const auto& c : texts) EXPECT_EQ(ini.ReadString("s", c.key, "<none>"), c.text) << c.key;
    struct IntCase {
        const char* key;
        int value;
    } ints[] = {{"int", 42}, {"hex", 31}, {"bad", -1}, {"missing", -1}};
    for (const auto& c : ints) EXPECT_EQ(ini.ReadInteger("s", c.key, -1), c.value) << c.key;
    EXPECT_TRUE(ini.ReadBool("s", "one", false));
    EXPECT_FALSE(ini.ReadBool("s", "two", true));  // only exactly 1 is true
}

TEST(IniFile, WritesKeepOtherContentAndReachDiskAtOnce) {
    TempDir dir;
    std::string path = dir.file("k.ini");
    test::WriteFile(path, "[a]\nx=1\n\n[b]\ny=2\n");
    IniFile writer(path), reader(path);
    writer.WriteString("a", "z", "3");
    writer.WriteBool("c", "flag", true);
    EXPECT_EQ(reader.ReadString("a", "z", ""), "3");
    EXPECT_EQ(reader.ReadString("b", "y", ""), "2");
    EXPECT_EQ(reader.ReadString("c", "flag", ""), "1");
    EXPECT_EQ(reader.ReadSection("a"), (std::vector<std::string>{"x", "z"}));
    writer.EraseSection("a");
    EXPECT_FALSE(reader.SectionExists("a"));
    EXPECT_EQ(reader.ReadString("b", "y", ""), "2");
}

TEST(IniFile, WriteToUnwritableFolderThrowsAndKeepsNothingBehind) {
    IniFile ini("/proc/no-such-folder/x.ini");
    EXPECT_THROW(ini.WriteString("a", "b", "c"), std::runtime_error);
}

// A writer killed at any moment leaves the old file or the new one, never a torn one.
TEST(IniFile, KilledWriterNeverLeavesATruncatedFile) {
    TempDir dir;
    std::string path = dir.file("s.ini");
    IniFile ini(path);
    std::string big(4000, 'v');
    ini.WriteString("settings", "pad", big);
    ini.WriteString("settings", "marker", "0");
    for (int round = 0; round < 20; ++round) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            IniFile w(path);
            for (int i = 1;; ++i) w.WriteString("settings", "marker", std::to_string(i));
        }
        ::usleep(2000 + round * 500);
        ::kill(child, SIGKILL);
        int status;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(ini.ReadString("settings", "pad", ""), big) << "round " << round;
        EXPECT_NE(ini.ReadInteger("settings", "marker", -1), -1) << "round " << round;
    }
}
