#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "probe/AVProbe.h"
#include "ProbeFixtures.h"
#include "support/TempDir.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

// The program built beside this test program.
std::string Cli() { return ProgramFolder() + "vexlo-cli"; }

std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

using ProbeCli = ProbeTest;

TEST_F(ProbeCli, PrintsTheInfoTextOfEachFileWithPlainLineFeeds) {
    ASSERT_TRUE(FileExists(Cli())) << Cli();
    std::string first = NonAsciiMp4(), second = TaggedMp3();
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(first));
    std::string expected = WithoutCarriageReturns(probe.GetInfoText()) + "\n";
    ASSERT_TRUE(probe.Open(second));
    expected += WithoutCarriageReturns(probe.GetInfoText());
    int status = -1;
    EXPECT_EQ(RunProgram({Cli(), "probe", first, second}, &status), expected);
    EXPECT_EQ(status, 0);
}

TEST_F(ProbeCli, AFileThatCannotBeOpenedMakesTheStatusNonZero) {
    TempDir dir;
    std::string text = dir.file("readme.avi");
    WriteFile(text, "not a video\n");
    int status = -1;
    std::string out = RunProgram({Cli(), "probe", text, MonoWav()}, &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("File Name: " + MonoWav() + "\n"), std::string::npos) << out;  // the rest still shown
    EXPECT_EQ(out.find("readme.avi"), std::string::npos);                            // errors go to stderr

    RunProgram({Cli(), "probe"}, &status);
    EXPECT_EQ(status, 2);
}

}  // namespace
