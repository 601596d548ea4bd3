// vexlo-cli profiles and options, and what --set and --profile change.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliSupport.h"
#include "cli/Arguments.h"
#include "cli/JobArguments.h"
#include "platform/Text.h"
#include "profiles/FormatCatalogue.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ProfilesCommand, ListsEveryProfileOfTheEditionWithTheCurrentOneMarked) {
    TempDir dir;
    WriteFile(dir.file("vexlomobilevideoconverter.ini"), "[settings]\nFormatCode=603\n");
    TCliRun run = RunCli(dir, {"profiles"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (int code : CatalogueCodes()) {
        std::string line = Format("%5d  %s\n", code, FormatNameOf(code).c_str());
        EXPECT_TRUE(Contains(run.out, (code == 603 ? "* " : "  ") + line)) << line << "\n" << run.out;
    }
    for (const auto& category : Catalogue()) EXPECT_TRUE(Contains(run.out, category.Name + "\n")) << category.Name;
}

TEST(ProfilesCommand, OneProfileShowsItsListsAndCurrentChoices) {
    TempDir dir;
    WriteFile(dir.file("vexlomobilevideoconverter.ini"), "[formatInfo1]\nparaVideoBitRate=1500\n");
    const std::string before = ReadFile(dir.file("vexlomobilevideoconverter.ini"));
    TCliRun run = RunCli(dir, {"profiles", "--code", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "Code 1: " + FormatNameOf(1) + "\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "FileExt       mp4\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "VideoBitRate  768, 1024, [1500], 2000\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "AudioEncoder  [AAC]\n")) << run.out;
    EXPECT_EQ(ReadFile(dir.file("vexlomobilevideoconverter.ini")), before) << "showing a profile writes nothing";

    EXPECT_EQ(RunCli(dir, {"profiles", "--code", "98"}).status, 2);
}

TEST(OptionsCommand, ShowsWhatStartBuildsAndSetChangesOnlyThisRun) {
    TempDir dir;
    const std::string clip = ProfileClip();
    TCliRun plain = RunCli(dir, {"options", "--profile", "603", "--out", dir.path(), clip});
    ASSERT_EQ(plain.status, 0) << plain.err;
    for (const std::string& line :
         {"TInputOptions.FileName = \"" + clip + "\"", std::string("TInputOptions.StartTime = 0 us (00:00:00.000)"),
          "TOutputOptions.FileName = \"" + dir.file("cli-640x360-5s_(new).mp4") + "\"",
          std::string("TOutputOptions.VideoCodec = \"libx264\""), std::string("TOutputOptions.CustomHook = true"),
          std::string("TOutputOptions.AudioCodec = \"libfaac\"")})
        EXPECT_TRUE(Contains(plain.out, line + "\n")) << line << "\n" << plain.out;
    EXPECT_FALSE(Contains(plain.out, "RecordingTime")) << plain.out;

    TCliRun changed = RunCli(dir, {"options", "--profile", "603", "--set", "VideoEncoder=MPEG-4", "--set",
                                   "paraVideoBitRate=300", "--trim", "1.5,2", "--out", dir.path(), clip});
    ASSERT_EQ(changed.status, 0) << changed.err;
    for (std::string line :
         {"TOutputOptions.VideoCodec = \"mpeg4\"", "TOutputOptions.VideoBitrate = 300000",
          "TInputOptions.StartTime = 1500000 us (00:00:01.500)", "TOutputOptions.RecordingTime = 2000000 us (00:00:02.000)"})
        EXPECT_TRUE(Contains(changed.out, line + "\n")) << line << "\n" << changed.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("vexlomobilevideoconverter.ini"))) << "--set writes nothing";

    TCliRun refused = RunCli(dir, {"options", "--set", "VideoBitRate=fast", clip});
    EXPECT_EQ(refused.status, 2) << refused.out;
}

TEST(JobArguments, EditsBecomeTheRecordFields) {
    cli::TArguments args = cli::ParseArguments(
        {"--trim", "1:02.5,3", "--crop=1,2,3,4", "--brightness", "300", "--contrast", "-20", "--text", "Hi",
         "--text-pos", "50%,25%", "--font-color", "#102030", "--image-blend", "2", "x.mp4"},
        cli::kJobOptionNames);
    ASSERT_EQ(args.Error, "");
    cli::TJobEdits edits;
    std::string error;
    ASSERT_TRUE(cli::ParseJobEdits(args, edits, error)) << error;
    const TlvFilesRecord& r = edits.Edits;
    EXPECT_EQ(r.TrimStart, 62500000);
    EXPECT_EQ(r.TrimLength, 3000000);
    EXPECT_EQ((std::vector<int>{r.CropTop, r.CropLeft, r.CropBottom, r.CropRight}), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(r.Brightness, 300);
    EXPECT_EQ(r.Contrast, -20);
    EXPECT_EQ(r.WatermarkText, "Hi");
    EXPECT_EQ(r.TextLeftPercent, 50);
    EXPECT_EQ(r.TextTopPercent, 25);
    EXPECT_EQ(r.WatermarkFont.Color, 0x302010u) << "stored as 0x00BBGGRR";
    EXPECT_EQ(r.ImageBlend, 2);
    EXPECT_EQ(args.Files, std::vector<std::string>{"x.mp4"});

    for (const auto& bad : std::vector<std::vector<std::string>>{{"--trim", "5,0"},
                                                                 {"--trim", "-1"},
                                                                 {"--contrast", "101"},
                                                                 {"--text-pos", "50,101"},
                                                                 {"--font-color", "red"},
                                                                 {"--image-blend", "3"},
                                                                 {"--image", "/no/such/picture.bmp"},
                                                                 {"--image", "/proc/self/status"}}) {
        cli::TArguments a = cli::ParseArguments(bad, cli::kJobOptionNames);
        cli::TJobEdits e;
        EXPECT_FALSE(cli::ParseJobEdits(a, e, error)) << bad[0] << " " << bad[1];
    }
    EXPECT_NE(cli::ParseArguments({"--trim"}, cli::kJobOptionNames).Error, "");
}

}  // namespace
