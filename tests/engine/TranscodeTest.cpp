#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

class Transcode : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(TFFmpegLoader::Instance().Load(kConverterLibraries)) << TFFmpegLoader::Instance().LastError(); }
    TempDir dir;
};

double Num(const std::string& s) { return s.empty() ? -1 : std::atof(s.c_str()); }

// Converts input to output with the given output options; returns the task's error text.
std::string Convert(const std::string& input, const std::string& output, const std::string& outOptions,
                    const std::string& inOptions = "") {
    TCustomFFmpeg task;
    task.SetVerbosity(0);
    task.SetOptions(inOptions);
    if (!task.OpenInputFile(input)) return "input: " + task.LastError();
    task.SetOptions(outOptions);
    if (task.OpenOutputFile(output) < 0) return "output: " + task.LastError();
    task.Start(false);
    if (!task.Finished()) return "run: " + task.ErrorMessage();
    return "";
}

struct FormatCase {
    const char* file;
    const char* options;
    const char* vcodec;  // "" = no video expected
    const char* acodec;
    int width, height;
    const char* sampleRate;
};

}  // namespace

const FormatCase kFormatCases[] = {
    {"out.mp4", "vcodec=libx264\nacodec=libfaac\ns=176x144\nb=300000\nab=64000", "h264", "aac", 176, 144, "44100"},
    {"out.avi", "vcodec=mpeg4\nacodec=libmp3lame\nab=64000", "mpeg4", "mp3", 320, 240, "44100"},
    {"out.3gp", "vcodec=h263\nacodec=libfaac\ns=176x144\nar=8000\nac=1", "h263", "aac", 176, 144, "8000"},
    {"out.wmv", "vcodec=wmv2\nacodec=wmav2", "wmv2", "wmav2", 320, 240, "44100"},
    {"out.mpg", "vcodec=mpeg1video\nacodec=mp2", "mpeg1video", "mp2", 320, 240, "44100"},
    {"out2.mpg", "f=vob\nvcodec=mpeg2video\nacodec=ac3\nar=48000", "mpeg2video", "ac3", 320, 240, "48000"},
    {"out.flv", "vcodec=flv\nacodec=libmp3lame\nar=22050", "flv1", "mp3", 320, 240, "22050"},
    {"out.mp3", "vn\nacodec=libmp3lame", "", "mp3", 0, 0, "44100"},
    {"out.wav", "", "", "pcm_s16le", 0, 0, "44100"},
    {"out.ogg", "vn\nacodec=vorbis", "", "vorbis", 0, 0, "44100"},
    {"out.ac3", "acodec=ac3", "", "ac3", 0, 0, "44100"},
};

class TranscodeFormat : public Transcode, public ::testing::WithParamInterface<FormatCase> {};

// Every target: the expected codecs, size, rate and sample rate; the duration of the input;
// audio and video starting together.
TEST_P(TranscodeFormat, ConvertsTheStandardClip) {
    std::string input = StandardClip("mp4");
    {
        const FormatCase& c = GetParam();
        std::string out = dir.file(c.file);
        ASSERT_EQ(Convert(input, out, c.options), "");
        if (*c.vcodec) {
            EXPECT_EQ(FfprobeValue(out, "stream=codec_name", "v:0"), c.vcodec);
            EXPECT_EQ(FfprobeValue(out, "stream=width", "v:0"), std::to_string(c.width));
            EXPECT_EQ(FfprobeValue(out, "stream=height", "v:0"), std::to_string(c.height));
            EXPECT_EQ(FfprobeValue(out, "stream=avg_frame_rate", "v:0"), "25/1");
        } else {
            EXPECT_EQ(FfprobeValue(out, "stream=codec_name", "v:0"), "");
        }
        EXPECT_EQ(FfprobeValue(out, "stream=codec_name", "a:0"), c.acodec);
        EXPECT_EQ(FfprobeValue(out, "stream=sample_rate", "a:0"), c.sampleRate);
        double dur = Num(FfprobeValue(out, "format=duration"));
        EXPECT_NEAR(dur, 2.0, 0.15);
        if (*c.vcodec) {
            double vs = Num(FfprobeValue(out, "stream=start_time", "v:0"));
            double as = Num(FfprobeValue(out, "stream=start_time", "a:0"));
            EXPECT_NEAR(vs, as, 0.1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, TranscodeFormat, ::testing::ValuesIn(kFormatCases),
                         [](const ::testing::TestParamInfo<FormatCase>& info) {
                             std::string n = info.param.file;
                             for (char& ch : n)
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });
