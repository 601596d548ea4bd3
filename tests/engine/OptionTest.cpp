#include <gtest/gtest.h>

#include <filesystem>

#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "engine/FFmpegLogger.h"
#include "engine/LegacyNames.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

extern "C" {
#include <libavformat/avformat.h>
}

using namespace vexlo;
using namespace vexlo::test;

namespace {

class Options : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(TFFmpegLoader::Instance().Load(kConverterLibraries)); }
    TempDir dir;
};

std::string ErrorOf(TCustomFFmpeg& t, const std::string& name, const std::string& value) {
    try {
        t.SetOption(name, value);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST_F(Options, FailuresCarryTheirMessages) {
    struct Case {
        const char* name;
        const char* value;
        const char* message;
    } cases[] = {
        {"threads", "2", "TODO: option - threads"},
        {"padleft", "4", "Please use vfilters=pad"},
        {"padcolor", "x", "Please use vfilters=pad"},
        {"qscale", "0", "qscale must be > 0.0 and <= 255"},
        {"qscale", "256", "qscale must be > 0.0 and <= 255"},
        {"aspect", "16:0", "Incorrect aspect ratio specification."},
        {"aspect", "wide", "Incorrect aspect ratio specification."},
        {"r", "fast", "Incorrect frame rate"},
        {"s", "big", "Incorrect frame size"},
        {"pix_fmt", "nonesuch", "Unknown pixel format requested: nonesuch"},
        {"pass", "3", "pass number can be only 1 or 2"},
        {"metadata", "title", "Missing ="},
        {"itsscale", "20:2", "stream index over MAX_STREAMS(20)"},
        {"streamid", "3", "Invalid value \"3\" for option \"streamid\", required syntax is \"index:value\""},
        {"streamid", "20:1", "Invalid value \"20:1\" for option \"streamid\", required syntax is \"index:value\""},
        {"vbsf", "nonesuch", "Unknown bitstream filter nonesuch"},
        {"newaudio", "", "At least one output file must be specified"},
        {"target", "pal-laserdisc", "Unknown target type"}, {"target", "laserdisc", "frame_rate is invalid."},
        {"t", "soon", "Invalid duration specification for t: soon"},
        {"timestamp", "never", "Invalid date specification for timestamp: never"},
        {"vpre", "nonesuch", "Preset \"nonesuch\" not found"},
        {"croptop", "0", ""},
        {"nonesuch_option", "1", ""},
    };
    for (const auto& c : cases) {
        TCustomFFmpeg t;
        EXPECT_EQ(ErrorOf(t, c.name, c.value), c.message) << c.name << "=" << c.value;
    }
}

TEST_F(Options, ValuesReachTheirSettings) {
    TCustomFFmpeg t;
    t.SetOption("vn", "");
    EXPECT_TRUE(t.Options().videoDisable);
    t.SetOption("vn", "0");
    EXPECT_FALSE(t.Options().videoDisable);
    t.SetOption("ar", "0");
    t.SetOption("ac", "-1");
    EXPECT_EQ(t.Options().sampleRate, 44100);
    EXPECT_EQ(t.Options().channels, 2);
    t.SetOption("qscale", "255");
    EXPECT_EQ(t.Options().videoQscale, 255);
    t.SetOption("vtag", "XVID");
    EXPECT_EQ(t.Options().videoTag, 0x44495658u);
    EXPECT_NE(ErrorOf(t, "vtag", "XVI"), "");
    t.SetOption("aspect", "16:9");
    EXPECT_NEAR(t.Options().aspectRatio, 16.0 / 9.0, 1e-9);
    t.SetOption("metadata", "title=abc");
    ASSERT_EQ(t.Options().metadata.size(), 1u);
    EXPECT_EQ(t.Options().metadata[0].second, "abc");
    t.SetOption("itsscale", "0:2");
    EXPECT_EQ(t.Options().tsScale[0], 2.0);
    t.SetOption("map", "0x1.1:0.0");
    ASSERT_EQ(t.Options().streamMaps.size(), 1u);
    EXPECT_EQ(t.Options().streamMaps[0].file, 1);
    t.SetOption("ss", "00:01:02.5");
    EXPECT_EQ(t.Options().startTime, 62500000);
    t.SetOption("vcodec", "copy");
    EXPECT_TRUE(t.Options().videoCopy);
    std::string m;
    for (int i = 0; i < 64; ++i) m += (i ? "," : "") + std::to_string(i + 1);
    t.SetOption("intra_matrix", m);
    EXPECT_EQ(t.Options().intraMatrix.size(), 64u);
    EXPECT_EQ(ErrorOf(t, "inter_matrix", m.substr(0, m.rfind(','))),
              "Syntax error in matrix \"" + m.substr(0, m.rfind(',')) + "\" at coeff 62");
    t.SetOption("s", "320x240");
    EXPECT_EQ(ErrorOf(t, "croptop", "240"),
              "Vertical crop dimensions are outside the range of the original image.\nRemember to crop first and scale second.");
    t.SetOption("croptop", "10");
    EXPECT_EQ(t.Options().frameHeight, 230);
    t.SetOptions("ab=64000<CRLF>ar=22050\r\nac=1");
    EXPECT_EQ(t.Options().sampleRate, 22050);
    EXPECT_EQ(t.Options().channels, 1);
}

TEST_F(Options, LogLevelByNameOrNumber) {
    TCustomFFmpeg t;
    TLogLevel before = FFLogger().LogLevel();
    t.SetOption("loglevel", "debug");
    EXPECT_EQ(FFLogger().LogLevel(), llDebug);
    t.SetOption("loglevel", "quiet");
    t.SetOption("loglevel", "48");
    EXPECT_EQ(FFLogger().LogLevel(), llDebug);
    FFLogger().SetLogLevel(before);
}

TEST_F(Options, GenericSetterAndLowBitrateWarning) {
    TCustomFFmpeg t;
    std::vector<std::string> lines;
    FFLogger().SetTriggerEventInMainThread(false);
    FFLogger().SetOnLog([&](const void*, uint32_t, TLogLevel, const std::string& m) { lines.push_back(m); });
    t.SetOption("b", "64");
    t.SetOption("b", "64000");
    FFLogger().SetOnLog(nullptr);
    int warnings = 0;
    for (auto& l : lines)
        if (l.find("The bitrate parameter is set too low") != std::string::npos) ++warnings;
    EXPECT_EQ(warnings, 1);
    EXPECT_TRUE(t.SetGenericOption("g", "12"));
    EXPECT_TRUE(t.SetGenericOption("preset", "ultrafast"));
    EXPECT_FALSE(t.SetGenericOption("nonesuch_param", "1"));
    EXPECT_FALSE(t.SetGenericOption("g", "lots"));
    EXPECT_FALSE(t.SetGenericOption("", "1"));
}

TEST_F(Options, EveryBuiltInPresetLoadsOntoLibx264) {
    const char* names[] = {"baseline", "default", "fast", "fast_firstpass", "faster", "faster_firstpass",
                           "fastfirstpass", "hq", "ipod320", "ipod640", "lossless_fast", "lossless_max",
                           "lossless_medium", "lossless_slow", "lossless_slower", "lossless_ultrafast", "main", "max",
                           "medium", "medium_firstpass", "normal", "placebo", "placebo_firstpass", "slow",
                           "slow_firstpass", "slower", "slower_firstpass", "slowfirstpass", "superfast",
                           "superfast_firstpass", "ultrafast", "ultrafast_firstpass", "veryfast", "veryfast_firstpass",
                           "veryslow", "veryslow_firstpass", "psp", "ps3", "ipod", "mp4"};
    for (const char* n : names) {
        TCustomFFmpeg t;
        t.SetOption("vcodec", "libx264");
        EXPECT_NO_THROW(t.LoadPreset("vpre", n)) << n;
    }
    TCustomFFmpeg t;
    t.SetOption("vcodec", "libx264");
    EXPECT_NO_THROW(t.LoadPreset("vpre", "DEFAULT"));
    EXPECT_NO_THROW(t.LoadPreset("vpre", ""));
}

TEST_F(Options, PresetFilesAreCheckedLineByLine) {
    TCustomFFmpeg t;
    std::string bad = dir.file("bad.ffpreset"), unknown = dir.file("unknown.ffpreset"), good = dir.file("good.ffpreset");
    WriteFile(bad, "g=12\nnoequals\n");
    WriteFile(unknown, "nonesuch_param=3\n");
    WriteFile(good, "vcodec=mpeg4\n\n  g = 12 \n");
    try {
        t.LoadPreset("fpre", bad);
        FAIL();
    } catch (const FFmpegException& e) {
        EXPECT_EQ(std::string(e.what()), bad + ": Invalid syntax: \"noequals\"");
    }
    try {
        t.LoadPreset("fpre", unknown);
        FAIL();
    } catch (const FFmpegException& e) {
        EXPECT_EQ(std::string(e.what()),
                  unknown + ": Invalid option or argument: \"nonesuch_param=3\", parsed as \"nonesuch_param\" = \"3\"");
    }
    EXPECT_NO_THROW(t.LoadPreset("fpre", good));
    EXPECT_EQ(t.Options().videoCodec, "mpeg4");
}

TEST_F(Options, IpodPresetGivesABaselineStream) {
    TCustomFFmpeg t;
    t.SetVerbosity(0);
    ASSERT_TRUE(t.OpenInputFile(StandardClip("mp4")));
    t.SetOptions("vcodec=libx264\nvpre=ipod\nacodec=aac");
    std::string out = dir.file("ipod.mp4");
    ASSERT_GT(t.OpenOutputFile(out), 0) << t.LastError();
    t.Start(false);
    ASSERT_TRUE(t.Finished()) << t.ErrorMessage();
    EXPECT_EQ(FfprobeValue(out, "stream=codec_name", "v:0"), "h264");
    EXPECT_EQ(FfprobeValue(out, "stream=has_b_frames", "v:0"), "0");
    EXPECT_EQ(FfprobeValue(out, "stream=level", "v:0"), "30");
    EXPECT_EQ(FfprobeValue(out, "stream=profile", "v:0"), "Constrained Baseline");
}

TEST_F(Options, TargetPicksTheNormFromTheInput) {
    std::string ntscClip = MediaFixture("ntsc.mp4", {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=30000/1001:duration=1",
                                                     "-c:v", "libx264", "-preset", "ultrafast"});
    TCustomFFmpeg t;
    t.SetVerbosity(0);
    ASSERT_TRUE(t.OpenInputFile(ntscClip));
    t.SetOption("target", "dvd");
    EXPECT_EQ(t.Options().frameWidth, 720);
    EXPECT_EQ(t.Options().frameHeight, 480);
    EXPECT_EQ(t.Options().rateNum, 30000);
    EXPECT_EQ(t.Options().videoCodec, "mpeg2video");
    EXPECT_EQ(t.Options().audioCodec, "ac3");
    EXPECT_EQ(t.Options().sampleRate, 48000);
    EXPECT_EQ(t.Options().fileFormat, "dvd");

    TCustomFFmpeg p;
    p.SetVerbosity(0);
    ASSERT_TRUE(p.OpenInputFile(StandardClip("mp4")));
    p.SetOption("target", "pal-dvd");
    EXPECT_EQ(p.Options().frameWidth, 720);
    EXPECT_EQ(p.Options().frameHeight, 576);
    EXPECT_EQ(p.Options().rateNum, 25);
    std::string out = dir.file("dvd.mpg");
    ASSERT_GT(p.OpenOutputFile(out), 0) << p.LastError();
    p.Start(false);
    ASSERT_TRUE(p.Finished()) << p.ErrorMessage();
    EXPECT_EQ(FfprobeValue(out, "stream=codec_name", "v:0"), "mpeg2video");
    EXPECT_EQ(FfprobeValue(out, "stream=width", "v:0"), "720");
    EXPECT_EQ(FfprobeValue(out, "stream=codec_name", "a:0"), "ac3");
    EXPECT_EQ(FfprobeValue(out, "stream=sample_rate", "a:0"), "48000");
}

TEST_F(Options, OpeningFilesReportsTheirFailures) {
    TCustomFFmpeg t;
    t.SetVerbosity(0);
    t.SetOption("f", "nonesuch");
    EXPECT_FALSE(t.OpenInputFile(StandardClip("mp4")));
    EXPECT_EQ(t.LastError(), "Unknown input format: \"nonesuch\"");
    std::string junk = dir.file("junk.mp4");
    WriteFile(junk, "this is not a media file at all");
    EXPECT_FALSE(t.OpenInputFile(junk));
    EXPECT_EQ(t.LastError().rfind(junk + ": ", 0), 0u);
    t.SetOption("programid", "7");
    EXPECT_FALSE(t.OpenInputFile(StandardClip("mp4")));
    EXPECT_EQ(t.LastError(), "Specified program id not found");

    ASSERT_TRUE(t.OpenInputFile(StandardClip("mp4")));
    t.SetOption("f", "nonesuch");
    EXPECT_EQ(t.OpenOutputFile(dir.file("a.mp4")), -1);
    EXPECT_EQ(t.LastError(), "Requested output format 'nonesuch' is not a suitable output format");
    EXPECT_EQ(t.OpenOutputFile(dir.file("a.nonesuch")), -1);
    EXPECT_EQ(t.LastError(), "Unable to find a suitable output format for '" + dir.file("a.nonesuch") + "'");
    t.SetOption("f", "image2");
    EXPECT_EQ(t.OpenOutputFile(dir.file("frames.png")), -1);
    EXPECT_EQ(t.LastError(), dir.file("frames.png") + ": Number syntax expected in filename");
    std::string existing = dir.file("existing.mp4");
    WriteFile(existing, "old contents");
    EXPECT_EQ(t.OpenOutputFile(existing), 1);
    EXPECT_EQ(std::filesystem::file_size(existing), 0u);
}

TEST_F(Options, OutputStreamsTakeTheEncodersNearestSettings) {
    TCustomFFmpeg t;
    t.SetVerbosity(0);
    ASSERT_TRUE(t.OpenInputFile(StandardClip("mp4")));
    std::vector<std::string> lines;
    FFLogger().SetTriggerEventInMainThread(false);
    FFLogger().SetOnLog([&](const void*, uint32_t, TLogLevel, const std::string& m) { lines.push_back(m); });
    t.SetOptions("acodec=mp2\nar=44000\nvcodec=mjpeg\npix_fmt=yuv420p");
    ASSERT_GT(t.OpenOutputFile(dir.file("x.avi")), 0) << t.LastError();
    FFLogger().SetOnLog(nullptr);
    bool warned = false;
    for (auto& l : lines)
        if (l == "Requested sampling rate unsupported using closest supported (44100)") warned = true;
    EXPECT_TRUE(warned);
    AVFormatContext* oc = t.OutputContext(0);
    ASSERT_EQ(oc->nb_streams, 2u);
    EXPECT_EQ(oc->streams[0]->codecpar->codec_type, AVMEDIA_TYPE_VIDEO);
    EXPECT_EQ(oc->streams[1]->codecpar->codec_type, AVMEDIA_TYPE_AUDIO);
}

TEST_F(Options, PlaylistsCannotReachOtherProtocols) {
    // a playlist posing as a video may not pull in other schemes
    std::string list = dir.file("evil.m3u8");
    WriteFile(list, "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\nhttp://127.0.0.1:9/x.ts\n#EXT-X-ENDLIST\n");
    TCustomFFmpeg t;
    t.SetVerbosity(0);
    EXPECT_FALSE(t.OpenInputFile(list));
}

TEST(LegacyFilters, CropTakesTodaysArgumentOrder) {
    EXPECT_EQ(ModernFilterGraph("crop=80:0:480:360,scale=320:180,pad=320:240:0:30"),
              "crop=480:360:80:0,scale=320:180,pad=320:240:0:30");
    EXPECT_EQ(ModernFilterGraph("crop=w=10:h=20,hflip"), "crop=w=10:h=20,hflip");
    EXPECT_EQ(ModernFilterGraph(""), "");
}
