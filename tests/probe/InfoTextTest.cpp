#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <cstdlib>
#include <regex>

#include "engine/TimeFormat.h"
#include "platform/Text.h"
#include "probe/AVProbe.h"
#include "probe/InfoText.h"
#include "probe/StreamFacts.h"
#include "ProbeFixtures.h"
#include "support/TempDir.h"

using namespace vexlo;
using namespace vexlo::test;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// The text's lines; fails the test when a line does not end in CR LF.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "unterminated line: " << text.substr(start);
            break;
        }
        std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find('\n'), std::string::npos) << line;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

// Index of the first line starting with prefix, or -1.
int LineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
}

// Lines that start a program or a stream, shortened to "Program N" / "Stream #N".
std::vector<std::string> Outline(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    std::regex head(R"(^(Program \d+|Stream #\d+))");
    for (const auto& l : lines) {
        std::smatch m;
        if (std::regex_search(l, m, head)) out.push_back(m[1]);
    }
    return out;
}

// A PCM WAV file of exactly `size` bytes (8-bit mono, 8 kHz).
std::string WavOfSize(const TempDir& dir, uint32_t size) {
    auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto le16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    uint32_t data = size - 44;
    std::string wav = "RIFF" + le32(size - 8) + "WAVEfmt " + le32(16) + le16(1) + le16(1) +
                      le32(8000) + le32(8000) + le16(1) + le16(8) + "data" + le32(data) +
                      std::string(data, char(0x80));
    std::string path = dir.file("size" + std::to_string(size) + ".wav");
    WriteFile(path, wav);
    return path;
}

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ")) old_ = old, hadOld_ = true;
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~ScopedTimeZone() {
        if (hadOld_) ::setenv("TZ", old_.c_str(), 1);
        else ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::string old_;
    bool hadOld_ = false;
};

// ------------------------------------------------------------------------------------
// Number and name forms.

TEST(InfoTextForms, FileSizeSwitchesUnitsAfterEachPowerOf1024) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0 Byte"},           {1024, "1024 Byte"},        {1025, "1.00 KB"},
        {1536, "1.50 KB"},       {1048576, "1024.00 KB"},    {1048577, "1.00 MB"},
        {1073741824, "1024.00 MB"}, {1073741825, "1.00 GB"}, {5368709120LL, "5.00 GB"},
    };
    for (const auto& [size, text] : cases) EXPECT_EQ(FileSizeText(size), text) << size;
}

TEST(InfoTextForms, RatesUseDecimalsOnlyWhenNeededAndKForThousands) {
    const struct {
        double value;
        const char* label;
        const char* text;
    } cases[] = {
        {25, "fps", ", 25 fps"},
        {30000.0 / 1001, "fps", ", 29.97 fps"},
        {24000.0 / 1001, "tbr", ", 23.98 tbr"},
        {12.5, "fps", ", 12.50 fps"},
        {90000, "tbn", ", 90k tbn"},
        {1000, "tbn", ", 1k tbn"},
        {12800, "tbn", ", 12800 tbn"},
        {50, "tbc", ", 50 tbc"},
        {0.5, "fps", ", 0.50 fps"},
    };
    for (const auto& c : cases) EXPECT_EQ(RateText(c.value, c.label), c.text) << c.value;
}

TEST(InfoTextForms, SecondsKeepSixDigitsAndOneSign) {
    EXPECT_EQ(SecondsText(0), "0.000000");
    EXPECT_EQ(SecondsText(1429089), "1.429089");
    EXPECT_EQ(SecondsText(3725500000LL), "3725.500000");
    EXPECT_EQ(SecondsText(-21333), "-0.021333");
}

TEST(InfoTextForms, Id3FrameKeysGetPlainNamesOthersStay) {
    const std::pair<const char*, const char*> cases[] = {
        {"TALB", "album"},  {"TAL", "album"},    {"TIT2", "title"},      {"TT2", "title"},
        {"TPE1", "artist"}, {"TP1", "artist"},   {"TSOP", "authorsort"}, {"TYER", "year"},
        {"TRK", "track"},   {"TDRL", "date"},    {"TLAN", "language"},   {"TPUB", "publisher"},
        {"talb", "talb"},   {"ALBUM", "ALBUM"},  {"title", "title"},     {"", ""},
    };
    for (const auto& [key, name] : cases) EXPECT_EQ(MetadataKeyName(key), name) << key;
}

TEST(InfoTextForms, TimeStampIsLocalStandardTimeWithoutDaylightSaving) {
    ScopedTimeZone tz("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(TimeStampText(1625140800), "2021-07-01 13:00:00");  // summer: still +1 h
    EXPECT_EQ(TimeStampText(1609459200), "2021-01-01 01:00:00");
}

TEST_F(ProbeTest, CodecNamesWithoutDecoderFallBackToCodecNameThenTag) {
    AVCodecParameters* par = ff::avcodec.avcodec_parameters_alloc();
    ASSERT_NE(par, nullptr);
    const struct {
        AVCodecID id;
        uint32_t tag;
        const char* name;
    } cases[] = {
        {AV_CODEC_ID_MPEG2TS, 0, "mpeg2ts"},
        {AV_CODEC_ID_NONE, MKTAG('X', 'Y', 'Z', '1'), "XYZ1 / 0x315A5958"},
        {AV_CODEC_ID_NONE, 0x0002, "0x0002"},
        {AV_CODEC_ID_NONE, MKTAG('a', 'b', '\n', 'd'), "0x640a6261"},
        {AV_CODEC_ID_MP3, 0, "mp3float (MP3 (MPEG audio layer 3))"},
        {AV_CODEC_ID_BIN_DATA, 0, "bin_data"},
    };
    for (const auto& c : cases) {
        par->codec_id = c.id;
        par->codec_tag = c.tag;
        EXPECT_EQ(CodecNameOf(par), c.name) << c.name;
    }
    ff::avcodec.avcodec_parameters_free(&par);
}

// ------------------------------------------------------------------------------------
// Whole texts of real files.

using InfoText = ProbeTest;

TEST_F(InfoText, HeaderLinesOfTheStandardClipMatchFfprobe) {
    std::string file = StandardClip("mp4");
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(file));
    auto lines = Lines(probe.GetInfoText());
    ASSERT_GE(lines.size(), 8u);
    int64_t bitRate = std::stoll(FfprobeValue(file, "format=bit_rate"));
    int64_t size = std::stoll(FfprobeValue(file, "format=size"));
    EXPECT_EQ(lines[0], "File Name: " + file);
    EXPECT_EQ(lines[1], "Format Name: mov,mp4,m4a,3gp,3g2,mj2");
    EXPECT_EQ(lines[2], "Format Long Name: QuickTime / MOV");
    EXPECT_EQ(lines[3], Format("File Size: %.2f KB", size / 1024.0));
    EXPECT_EQ(lines[4], "Duration: 00:00:02.000");
    EXPECT_EQ(lines[5], "StartTime: 0.000000");
    EXPECT_EQ(lines[6], Format("Bit Rate: %lld kb/s", static_cast<long long>(bitRate / 1000)));
    EXPECT_EQ(lines[7], "Metadata:");
    EXPECT_EQ(LineStarting(lines, "Time Stamp:"), -1);

    int video = LineStarting(lines, "Stream #0[0x1](und), 1/12800: Video: h264 ");
    ASSERT_GE(video, 0) << probe.GetInfoText();
    EXPECT_THAT(lines[video], HasSubstr("320x240"));
    EXPECT_THAT(lines[video], HasSubstr(", 25 fps, 25 tbr, 12800 tbn, StartTime: 0.000000, Duration: 00:00:02.000"));
    EXPECT_EQ(lines[video + 1], "  Metadata:");
    EXPECT_THAT(lines[video + 2], ::testing::StartsWith("    handler_name    : "));
    int audio = LineStarting(lines, "Stream #1[0x2](und), 1/44100: Audio: aac (LC)");
    ASSERT_GE(audio, 0);
    EXPECT_THAT(lines[audio], HasSubstr("44100 Hz, stereo"));
    EXPECT_THAT(lines[audio], Not(HasSubstr("fps")));
}

TEST_F(InfoText, ProgramsComeFirstWithTheirStreamsThenTheRest) {
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(TwoProgramTs()));
    auto lines = Lines(probe.GetInfoText());
    std::vector<std::string> expected = {"Program 7", "Stream #0", "Stream #1", "Program 3", "Stream #2", "Stream #3"};
    EXPECT_EQ(Outline(lines), expected);
    int program = LineStarting(lines, "Program 7 ");
    ASSERT_GE(program, 0);
    EXPECT_EQ(lines[program], "Program 7 FFmpeg@Seven");
    EXPECT_EQ(lines[program + 1], "  Metadata:");
    EXPECT_EQ(lines[program + 2], "    service_name    : Seven");

    // Streams carry their ids in MPEG-TS; a block holding only "language" is not shown.
    int audio = -1;
    for (size_t i = 0; i < lines.size(); ++i)
        if (std::regex_search(lines[i], std::regex(R"(^Stream #\d+\[0x[0-9a-f]+\]\(eng\), 1/90000: Audio: mp2)")))
            audio = static_cast<int>(i);
    ASSERT_GE(audio, 0) << probe.GetInfoText();
    EXPECT_EQ(lines.at(audio + 1), "Program 3 FFmpeg@Three");
    EXPECT_THAT(probe.GetInfoText(), Not(HasSubstr("language")));
    EXPECT_THAT(lines[LineStarting(lines, "Stream #0")], HasSubstr(", 25 fps, 25 tbr, 90k tbn"));

    // Program order, not stream order, decides where a stream is shown.
    AVFormatContext* c = probe.Context();
    std::swap(c->programs[0], c->programs[1]);
    expected = {"Program 3", "Stream #2", "Program 7", "Stream #0", "Stream #1", "Stream #3"};
    EXPECT_EQ(Outline(Lines(probe.GetInfoText())), expected);
}

TEST_F(InfoText, MetadataKeysAreTranslatedAndTheCreationTimeShown) {
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(MetadataMkv()));
    auto lines = Lines(probe.GetInfoText());
    int meta = LineStarting(lines, "Metadata:");
    ASSERT_GE(meta, 0);
    EXPECT_EQ(lines[meta + 1], "  title           : Clip Title");
    EXPECT_EQ(lines[meta + 2], "  album           : Raw Album");
    int stamp = LineStarting(lines, "Time Stamp: ");
    ASSERT_GE(stamp, 0);
    EXPECT_EQ(lines[stamp], "Time Stamp: " + TimeStampText(1625140800));
    EXPECT_LT(stamp, meta);
    // Matroska states no per-stream duration.
    EXPECT_THAT(lines[LineStarting(lines, "Stream #0")], HasSubstr(", 1k tbn, StartTime: 0.000000, Duration: N/A"));
}

TEST_F(InfoText, LongDurationKeepsCountingHours) {
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(LongMkv()));
    auto lines = Lines(probe.GetInfoText());
    EXPECT_EQ(lines.at(4), "Duration: 01:02:05.500");
}

TEST_F(InfoText, FileSizeOf1024And1025ByteFiles) {
    TempDir dir;
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(WavOfSize(dir, 1024))) << probe.LastError();
    EXPECT_EQ(probe.FileSize(), 1024);
    EXPECT_EQ(Lines(probe.GetInfoText()).at(3), "File Size: 1024 Byte");
    ASSERT_TRUE(probe.Open(WavOfSize(dir, 1025))) << probe.LastError();
    EXPECT_EQ(Lines(probe.GetInfoText()).at(3), "File Size: 1.00 KB");
}

TEST_F(InfoText, WavWithoutStartTimeShowsNoStartTimes) {
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(MonoWav()));
    auto lines = Lines(probe.GetInfoText());
    EXPECT_EQ(lines.at(4), "Duration: 00:00:01.000");
    EXPECT_EQ(lines.at(5), "Bit Rate: " + std::to_string(std::stoi(FfprobeValue(MonoWav(), "format=bit_rate")) / 1000) + " kb/s");
    EXPECT_EQ(LineStarting(lines, "StartTime"), -1);
    ASSERT_EQ(Outline(lines), std::vector<std::string>{"Stream #0"});
    EXPECT_EQ(lines[LineStarting(lines, "Stream #0")],
              "Stream #0, 1/22050: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 22050 Hz, mono, s16, "
              "352 kb/s, Duration: 00:00:01.000");
}

TEST_F(InfoText, SampleAspectDifferentFromTheCodecsIsShownWithItsDisplayAspect) {
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(StandardClip("mp4")));
    auto line = [&] { return Lines(probe.GetInfoText()).at(LineStarting(Lines(probe.GetInfoText()), "Stream #0")); };
    EXPECT_THAT(line(), Not(HasSubstr("PAR")));
    probe.Context()->streams[0]->sample_aspect_ratio = AVRational{2, 1};
    EXPECT_THAT(line(), HasSubstr(", PAR 2:1 DAR 8:3, 25 fps"));
    EXPECT_FLOAT_EQ(probe.GetVideoStreamInfo().AspectRatio, 8.0f / 3.0f);
}

}  // namespace
