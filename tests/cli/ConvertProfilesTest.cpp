// Every profile of the mobile catalogue, with its stored defaults, converts a 640x360 clip
// with sound into what the profile promises.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "CliSupport.h"
#include "profiles/FormatCatalogue.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

struct TProfileCase {
    int code;
    const char* ext;
    const char* video;  // ffprobe codec name, "" for none
    int width, height;
    const char* audio;
    int sampleRate, channels;
};

// The format file's defaults; "as source" sizes keep the clip's 640x360.
const TProfileCase kProfiles[] = {
    {0, "mp4", "mpeg4", 480, 320, "aac", 44100, 2},       {1, "mp4", "mpeg4", 480, 272, "aac", 44100, 2},
    {2, "mp4", "mpeg4", 320, 240, "aac", 44100, 2},       {3, "mp4", "mpeg4", 640, 480, "aac", 44100, 2},
    {4, "mp4", "mpeg4", 720, 576, "aac", 44100, 2},       {100, "mp4", "mpeg4", 480, 320, "aac", 44100, 2},
    {200, "3gp", "h263", 176, 144, "aac", 22050, 1},      {201, "3gp", "mpeg4", 176, 144, "aac", 22050, 1},
    {202, "3gp", "h263", 176, 144, "aac", 22050, 1},      {203, "3gp", "mpeg4", 176, 144, "aac", 22050, 1},
    {204, "mp4", "mpeg4", 320, 240, "aac", 22050, 2},     {205, "mp4", "mpeg4", 320, 240, "aac", 44100, 2},
    {300, "mp4", "mpeg4", 480, 320, "aac", 44100, 2},     {400, "mp4", "mpeg4", 640, 360, "aac", 44100, 2},
    {500, "wmv", "wmv2", 320, 240, "wmav2", 44100, 2},    {501, "wmv", "wmv2", 640, 480, "wmav2", 44100, 2},
    {502, "wmv", "wmv2", 240, 240, "wmav2", 44100, 2},    {503, "wmv", "wmv2", 320, 240, "wmav2", 44100, 2},
    {504, "wmv", "wmv2", 640, 480, "wmav2", 44100, 2},    {505, "wmv", "wmv2", 240, 240, "wmav2", 44100, 2},
    {506, "wmv", "wmv2", 640, 480, "wmav2", 44100, 2},    {507, "wmv", "wmv2", 320, 240, "wmav2", 44100, 2},
    {600, "mpg", "mpeg1video", 352, 240, "mp2", 44100, 2}, {601, "mpg", "mpeg2video", 720, 480, "mp2", 48000, 2},
    {602, "mp4", "mpeg4", 640, 360, "aac", 44100, 2},     {603, "mp4", "h264", 640, 360, "aac", 44100, 2},
    {604, "avi", "mpeg4", 640, 360, "mp3", 44100, 2},     {605, "wmv", "wmv2", 640, 360, "wmav2", 44100, 2},
    {606, "avi", "mpeg4", 640, 360, "mp3", 44100, 2},     {607, "avi", "mpeg4", 640, 360, "mp3", 44100, 2},
    {608, "dv", "dvvideo", 720, 480, "pcm_s16le", 48000, 2}, {609, "dv", "dvvideo", 720, 576, "pcm_s16le", 48000, 2},
    {700, "mp3", "", 0, 0, "mp3", 44100, 2},              {701, "aac", "", 0, 0, "aac", 44100, 2},
    {702, "m4a", "", 0, 0, "aac", 44100, 2},              {703, "wma", "", 0, 0, "wmav2", 44100, 2},
    {704, "wav", "", 0, 0, "pcm_s16le", 44100, 2},        {705, "ogg", "", 0, 0, "vorbis", 44100, 2},
    {706, "ac3", "", 0, 0, "ac3", 48000, 2},
};

class ConvertProfile : public testing::TestWithParam<TProfileCase> {};

TEST_P(ConvertProfile, GivesTheCodecsSizeAndDurationItPromises) {
    const TProfileCase& p = GetParam();
    TempDir dir;
    const std::string clip = ProfileClip();
    ASSERT_FALSE(clip.empty());
    TCliRun run = RunCli(dir, {"convert", "--profile", std::to_string(p.code), "--out", dir.path(), clip});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> out = Destinations(run.out);
    ASSERT_EQ(out.size(), 1u) << run.out;
    EXPECT_EQ(out[0], dir.file("cli-640x360-5s_(new)." + std::string(p.ext)));

    // One ffprobe run for every fact: streams in order, then the container's duration.
    std::map<std::string, std::map<std::string, std::string>> streams;  // first stream of each codec_type
    std::map<std::string, std::string> section;
    std::string duration;
    std::istringstream facts(RunProgram({"ffprobe", "-v", "error", "-show_entries",
                                         "stream=codec_type,codec_name,width,height,sample_rate,channels:format=duration",
                                         "-of", "default", out[0]}));
    for (std::string line; std::getline(facts, line);) {
        if (line == "[STREAM]" || line == "[FORMAT]") {
            section.clear();
        } else if (line == "[/STREAM]") {
            if (!streams.count(section["codec_type"])) streams[section["codec_type"]] = section;
        } else if (size_t eq = line.find('='); eq != std::string::npos) {
            section[line.substr(0, eq)] = line.substr(eq + 1);
            if (line.compare(0, eq, "duration") == 0) duration = line.substr(eq + 1);
        }
    }
    if (*p.video) {
        EXPECT_EQ(streams["video"]["codec_name"], p.video);
        // The picture the player shows: the stored size, letterboxed inside it when the shapes differ.
        EXPECT_EQ(streams["video"]["width"], std::to_string(p.width));
        EXPECT_EQ(streams["video"]["height"], std::to_string(p.height));
    } else {
        EXPECT_FALSE(streams.count("video")) << "audio profiles carry no picture";
    }
    EXPECT_EQ(streams["audio"]["codec_name"], p.audio);
    EXPECT_EQ(streams["audio"]["sample_rate"], std::to_string(p.sampleRate));
    EXPECT_EQ(streams["audio"]["channels"], std::to_string(p.channels));
    EXPECT_NEAR(std::atof(duration.c_str()), 5.0, 0.5);
}

void PrintTo(const TProfileCase& p, std::ostream* os) { *os << "profile " << p.code; }

INSTANTIATE_TEST_SUITE_P(MobileCatalogue, ConvertProfile, testing::ValuesIn(kProfiles),
                         [](const testing::TestParamInfo<TProfileCase>& info) {
                             return "Code" + std::to_string(info.param.code);
                         });

TEST(ConvertProfiles, TheTableCoversTheWholeCatalogue) {
    std::vector<int> codes;
    for (const auto& p : kProfiles) codes.push_back(p.code);
    EXPECT_EQ(codes, CatalogueCodes(TEdition::Mobile));
}

}  // namespace
