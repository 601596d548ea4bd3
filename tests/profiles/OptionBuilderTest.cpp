#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "batch/JobRecord.h"
#include "platform/Prompts.h"
#include "profiles/OptionBuilder.h"
#include "ProfileFixture.h"

using namespace vexlo;

namespace {

// The fields the builder may set, as text.
std::map<std::string, std::string> Fields(const TOutputOptions& o, const TInputOptions& in) {
    auto s = [](auto v) { return std::to_string(v); };
    return {{"TargetType", s(o.TargetType)},       {"TargetNorm", s(o.TargetNorm)},
            {"AspectRatio", o.AspectRatio},        {"VideoCodec", o.VideoCodec},
            {"VideoPreset", o.VideoPreset},        {"DisableVideo", s(o.DisableVideo)},
            {"VideoBitrate", s(o.VideoBitrate)},   {"FrameRate", o.FrameRate},
            {"FileFormat", o.FileFormat},          {"FrameSize", o.FrameSize},
            {"Crop", s(o.CropTop) + "," + s(o.CropLeft) + "," + s(o.CropBottom) + "," + s(o.CropRight)},
            {"VideoFilters", o.VideoFilters},      {"AudioCodec", o.AudioCodec},
            {"DisableAudio", s(o.DisableAudio)},   {"AudioChannels", s(o.AudioChannels)},
            {"Volume", s(o.Volume)},               {"AudioSampleRate", s(o.AudioSampleRate)},
            {"AudioBitrate", s(o.AudioBitrate)},   {"DisableSubtitle", s(o.DisableSubtitle)},
            {"ExtOptions", in.ExtOptions}};
}

using KeyValues = std::vector<std::pair<std::string, std::string>>;

class BuilderTest : public vexlo::test::ProfileFixture {
protected:
    // Builds code 1 with the given format keyword and stored values.
    std::map<std::string, std::string> Build(const std::string& format, const KeyValues& stored,
                                             const TSourceVideoFacts& source, const TlvFilesRecord& record,
                                             const std::string& presetFilters = "") {
        WriteFormatFile("[formatInfo1]\nFormat=" + format + "\nVideoEncoder=MPEG-4\n");
        Settings().EraseSection("formatInfo1");
        Store("1", "Description", "test profile");
        for (const auto& [k, v] : stored) Store("1", k, v);
        TOutputOptions out;
        out.VideoFilters = presetFilters;
        TInputOptions in;
        BuildOutputOptions(record, 1, out, source, in);
        return Fields(out, in);
    }
    static TlvFilesRecord Job(const std::string& zoom, int top = 0, int left = 0, int bottom = 0, int right = 0) {
        TlvFilesRecord r = NewJobRecord("/src/a.avi", zoom);
        r.CropTop = top, r.CropLeft = left, r.CropBottom = bottom, r.CropRight = right;
        return r;
    }
    ScriptedPrompts prompts;
    ScopedPrompts scoped{prompts};
};

const KeyValues kMpeg4{{"paraVideoEncoder", "mpeg4"}, {"paraAudioEncoder", "libfaac"}};
KeyValues With(KeyValues base, const KeyValues& more) {
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

}  // namespace

TEST(PadForBox, MarginsAreEvenAndKeepTheShape) {
    struct Case {
        int sW, sH, tW, tH, L, T;
    } cases[] = {
        {1280, 720, 320, 240, 0, 30}, {720, 480, 720, 480, 0, 0},   {480, 640, 320, 240, 70, 0},
        {640, 480, 320, 240, 0, 0},   {1920, 800, 352, 288, 0, 70}, {720, 576, 176, 144, 0, 2},
        {10000, 2, 320, 240, 0, 118}, {2, 10000, 320, 240, 158, 0}, {0, 480, 320, 240, 0, 0},
        {640, 480, 0, 240, 0, 0},
    };
    for (const auto& c : cases) {
        TBoxMargins m = PadForBox(c.sW, c.sH, c.tW, c.tH);
        EXPECT_EQ(m.Left, c.L) << c.sW << "x" << c.sH << " -> " << c.tW << "x" << c.tH;
        EXPECT_EQ(m.Top, c.T) << c.sW << "x" << c.sH << " -> " << c.tW << "x" << c.tH;
    }
}

TEST(PanScan, CutsOneAxisEvenlyTowardFourToThree) {
    struct Case {
        const char* name;
        int sW, sH, top, left, bottom, right;
        TPanScanCrop expected;
    } cases[] = {
        {"16:9", 1280, 720, 0, 0, 0, 0, {160, 160, 0, 0}},
        {"3:4", 480, 640, 0, 0, 0, 0, {0, 0, 140, 140}},
        {"4:3", 640, 480, 0, 0, 0, 0, {}},
        {"16:9 cropped more on the left than needed", 1280, 720, 0, 200, 0, 0, {200, 200, 0, 0}},
        {"16:9 with an odd margin", 1280, 720, 0, 181, 0, 0, {182, 182, 0, 0}},
        {"16:9 cropped less than needed", 1280, 720, 0, 40, 0, 40, {160, 160, 0, 0}},
        {"4:3 cropped at the top turns wide", 960, 720, 60, 0, 60, 0, {}},
        {"4:3 cropped at the sides turns tall", 640, 480, 0, 100, 0, 100, {0, 0, 0, 0}},
        {"3:4 with its own top margin", 480, 640, 150, 0, 0, 0, {0, 0, 150, 150}},
        {"sliver", 4000, 2, 0, 0, 0, 0, {1998, 1998, 0, 0}},
        {"unknown size", 0, 0, 0, 0, 0, 0, {}},
    };
    for (const auto& c : cases) {
        TPanScanCrop got = PanScanCrop(c.sW, c.sH, c.top, c.left, c.bottom, c.right);
        EXPECT_EQ(got.Left, c.expected.Left) << c.name;
        EXPECT_EQ(got.Right, c.expected.Right) << c.name;
        EXPECT_EQ(got.Top, c.expected.Top) << c.name;
        EXPECT_EQ(got.Bottom, c.expected.Bottom) << c.name;
        EXPECT_EQ(got.Left % 2 + got.Top % 2, 0) << c.name;
    }
}

TEST_F(BuilderTest, PictureCases) {
    struct Case {
        const char* name;
        const char* format;
        KeyValues stored;
        TSourceVideoFacts source;
        TlvFilesRecord record;
        std::map<std::string, std::string> expected;
    } cases[] = {
        {"letterbox without crop", "null", With(kMpeg4, {{"paraVideoSize", "320x240"}}), {1, 1280, 720, 0}, Job("lbox"),
         {{"FrameSize", "320x180"}, {"AspectRatio", "320:180"}, {"VideoFilters", "pad=320:240:0:30"},
          {"Crop", "0,0,0,0"}}},
        {"letterbox with crop", "null", With(kMpeg4, {{"paraVideoSize", "320x240"}}), {1, 640, 480, 0},
         Job("lbox", 10, 10, 10, 10),
         {{"FrameSize", ""}, {"AspectRatio", "320:240"},
          {"VideoFilters", "crop=10:10:620:460,scale=320:240,pad=320:240:0:0"}, {"Crop", "0,0,0,0"}}},
        {"letterbox crop keeps the uncropped margins", "null", With(kMpeg4, {{"paraVideoSize", "320x240"}}),
         {1, 1280, 720, 0}, Job("lbox", 0, 100, 0, 60),
         {{"VideoFilters", "crop=100:0:1120:720,scale=320:180,pad=320:240:0:30"}, {"AspectRatio", "320:180"}}},
        {"letterbox of the same shape", "null", With(kMpeg4, {{"paraVideoSize", "720x480"}}), {1, 720, 480, 0},
         Job("lbox"), {{"FrameSize", "720x480"}, {"AspectRatio", "720:480"}, {"VideoFilters", "pad=720:480:0:0"}}},
        {"full screen", "null", With(kMpeg4, {{"paraVideoSize", "640x480"}}), {1, 1280, 720, 0}, Job("full"),
         {{"FrameSize", "640x480"}, {"AspectRatio", "640:480"}, {"Crop", "0,0,0,0"}, {"VideoFilters", ""}}},
        {"full screen with crop", "null", With(kMpeg4, {{"paraVideoSize", "640x480"}}), {1, 1280, 720, 0},
         Job("full", 4, 8, 12, 16), {{"Crop", "4,8,12,16"}, {"FrameSize", "640x480"}}},
        {"h263 snaps 400x300", "3gp", {{"paraVideoEncoder", "h263"}, {"paraVideoSize", "400x300"}}, {1, 640, 480, 0},
         Job("full"), {{"FrameSize", "704x576"}, {"VideoCodec", "h263"}, {"FileFormat", "3gp"}}},
        {"h263 keeps 176x144", "3gp", {{"paraVideoEncoder", "h263"}, {"paraVideoSize", "176x144"}}, {1, 640, 480, 0},
         Job("full"), {{"FrameSize", "176x144"}}},
        {"h263 snaps 200x150", "3gp", {{"paraVideoEncoder", "h263"}, {"paraVideoSize", "200x150"}}, {1, 640, 480, 0},
         Job("full"), {{"FrameSize", "352x288"}}},
        {"h263 keeps a small 100x80", "3gp", {{"paraVideoEncoder", "h263"}, {"paraVideoSize", "100x80"}},
         {1, 640, 480, 0}, Job("full"), {{"FrameSize", "100x80"}}},
        {"h263p is not snapped", "3gp", {{"paraVideoEncoder", "h263p"}, {"paraVideoSize", "400x300"}},
         {1, 640, 480, 0}, Job("full"), {{"FrameSize", "400x300"}}},
        {"ntsc dvd wide, zoom keeps target aspect", "ntsc-dvd",
         {{"paraVideoEncoder", "mpeg2video"}, {"paraVideoSize", "720x480"}}, {1, 720, 480, 0}, Job("none"),
         {{"TargetType", "3"}, {"TargetNorm", "2"}, {"AspectRatio", "16:9"}, {"FrameSize", ""}}},
        {"ntsc dvd letterbox overwrites the aspect", "NTSC-DVD",
         {{"paraVideoEncoder", "mpeg2video"}, {"paraVideoSize", "720x480"}}, {1, 720, 480, 0}, Job("lbox"),
         {{"TargetType", "3"}, {"AspectRatio", "720:480"}}},
        {"pal dvd wide", "pal-dvd", {{"paraVideoEncoder", "mpeg2video"}, {"paraVideoSize", "720x576"}},
         {1, 720, 576, 0}, Job("none"), {{"TargetType", "3"}, {"TargetNorm", "1"}, {"AspectRatio", "16:9"}}},
        {"pal dvd other size", "pal-dvd", {{"paraVideoEncoder", "mpeg2video"}, {"paraVideoSize", "352x576"}},
         {1, 720, 576, 0}, Job("none"), {{"AspectRatio", "4:3"}}},
        {"pal svcd", "pal-svcd", {{"paraVideoEncoder", "mpeg2video"}, {"paraVideoSize", "480x576"}},
         {1, 720, 576, 0}, Job("none"), {{"TargetType", "3"}, {"TargetNorm", "1"}, {"AspectRatio", "4:3"}}},
        {"ntsc vcd", "ntsc-vcd", {{"paraVideoEncoder", "mpeg1video"}, {"paraVideoSize", "352x240"}},
         {1, 720, 480, 0}, Job("none"), {{"TargetType", "1"}, {"TargetNorm", "2"}, {"VideoCodec", "mpeg1video"}}},
        {"mpeg2video without a disc", "null", {{"paraVideoEncoder", "mpeg2video"}, {"paraVideoSize", "720x576"}},
         {1, 720, 576, 0}, Job("none"), {{"TargetType", "3"}, {"TargetNorm", "0"}}},
        {"pan and scan of 16:9", "null", With(kMpeg4, {{"paraVideoSize", "320x240"}}), {1, 1280, 720, 0}, Job("pan"),
         {{"Crop", "0,160,0,160"}, {"FrameSize", "320x240"}, {"AspectRatio", "320:240"}, {"VideoFilters", ""}}},
        {"pan and scan of 3:4", "null", With(kMpeg4, {{"paraVideoSize", "320x240"}}), {1, 480, 640, 0}, Job("pan"),
         {{"Crop", "140,0,140,0"}, {"FrameSize", "320x240"}}},
        {"center of a small source", "null", With(kMpeg4, {{"paraVideoSize", "640x480"}}), {1, 320, 240, 0},
         Job("center"),
         {{"VideoFilters", "pad=640:480:160:120:black"}, {"FrameSize", "640x480"}, {"AspectRatio", "640:480"}}},
        {"center of a large source", "null", With(kMpeg4, {{"paraVideoSize", "320x240"}}), {1, 1280, 720, 0},
         Job("center"), {{"VideoFilters", "scale=320:180,pad=320:240:0:30:black"}, {"FrameSize", "320x240"}}},
        {"as source", "null", With(kMpeg4, {{"paraVideoSize", "as source"}}), {1, 640, 360, 0}, Job("full"),
         {{"FrameSize", "640x360"}}},
        {"odd source as source", "null", With(kMpeg4, {{"paraVideoSize", "as source"}}), {1, 641, 361, 0}, Job("full"),
         {{"FrameSize", "640x360"}}},
        {"unknown zoom sets no picture fields", "null", With(kMpeg4, {{"paraVideoSize", "320x240"}}), {1, 640, 480, 0},
         Job("zoom"), {{"FrameSize", ""}, {"AspectRatio", ""}, {"VideoFilters", ""}, {"Crop", "0,0,0,0"}}},
        {"container forced", "AVI", With(kMpeg4, {{"paraVideoSize", "320x240"}}), {1, 640, 480, 0}, Job("full"),
         {{"FileFormat", "AVI"}}},
        {"no container for mp4", "null", With(kMpeg4, {{"paraVideoSize", "320x240"}}), {1, 640, 480, 0}, Job("full"),
         {{"FileFormat", ""}, {"VideoCodec", "mpeg4"}}},
        {"container word as encoder", "null", {{"paraVideoEncoder", "wmv3"}, {"paraVideoSize", "320x240"}},
         {1, 640, 480, 0}, Job("full"), {{"VideoCodec", ""}, {"DisableVideo", "0"}, {"FrameSize", "320x240"}}},
    };
    for (const auto& c : cases) {
        auto got = Build(c.format, c.stored, c.source, c.record);
        for (const auto& [field, value] : c.expected) EXPECT_EQ(got[field], value) << c.name << ": " << field;
    }
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(BuilderTest, RatesCodecsAndAudio) {
    const TSourceVideoFacts source{1, 640, 480, 900000};
    struct Case {
        const char* name;
        const char* format;
        KeyValues stored;
        std::map<std::string, std::string> expected;
    } cases[] = {
        {"defaults of missing keys", "null", {{"paraVideoEncoder", "mpeg4"}},
         {{"VideoBitrate", "512000"}, {"FrameRate", "29.97"}, {"AudioCodec", ""}, {"DisableAudio", "1"},
          {"AudioChannels", "2"}, {"AudioSampleRate", "44100"}, {"AudioBitrate", "128000"}, {"Volume", "-1"}}},
        {"video bit rate as source", "null", With(kMpeg4, {{"paraVideoBitRate", "as source"}}),
         {{"VideoBitrate", "900000"}}},
        {"video bit rate not a number", "null", With(kMpeg4, {{"paraVideoBitRate", "fast"}}),
         {{"VideoBitrate", "900000"}}},
        {"video bit rate too large for the field", "null", With(kMpeg4, {{"paraVideoBitRate", "9999999"}}),
         {{"VideoBitrate", "900000"}}},
        {"video bit rate zero", "null", With(kMpeg4, {{"paraVideoBitRate", "0"}}), {{"VideoBitrate", "-1"}}},
        {"video bit rate", "null", With(kMpeg4, {{"paraVideoBitRate", "1500"}}), {{"VideoBitrate", "1500000"}}},
        {"frame rate as source", "null", With(kMpeg4, {{"paraFrameRate", "as source"}}), {{"FrameRate", ""}}},
        {"frame rate zero", "null", With(kMpeg4, {{"paraFrameRate", "0"}}), {{"FrameRate", ""}}},
        {"frame rate", "null", With(kMpeg4, {{"paraFrameRate", "23.976"}}), {{"FrameRate", "23.976"}}},
        {"x264 for psp", "psp", {{"paraVideoEncoder", "libx264"}},
         {{"VideoCodec", "libx264"}, {"VideoPreset", "libx264-psp"}, {"FileFormat", "psp"}}},
        {"x264 for ipod", "iPod", {{"paraVideoEncoder", "libx264"}}, {{"VideoPreset", "libx264-ipod"}}},
        {"x264 for ps3", "ps3", {{"paraVideoEncoder", "libx264"}}, {{"VideoPreset", "libx264-ps3"}, {"FileFormat", ""}}},
        {"x264 elsewhere", "null", {{"paraVideoEncoder", "libx264"}}, {{"VideoPreset", "libx264-mp4"}}},
        {"encoder names are case-sensitive", "null", {{"paraVideoEncoder", "MPEG4"}}, {{"VideoCodec", ""}}},
        {"volume unchanged", "null", With(kMpeg4, {{"paraVolume", "256"}}), {{"Volume", "-1"}}},
        {"volume doubled", "null", With(kMpeg4, {{"paraVolume", "512"}}), {{"Volume", "512"}}},
        {"volume not a number", "null", With(kMpeg4, {{"paraVolume", "loud"}}), {{"Volume", "-1"}}},
        {"channels as source", "null", With(kMpeg4, {{"paraChannel", "as source"}}), {{"AudioChannels", "-1"}}},
        {"mono", "null", With(kMpeg4, {{"paraChannel", "1"}}), {{"AudioChannels", "1"}}},
        {"sample rate", "null", With(kMpeg4, {{"paraSampleRate", "22050"}}), {{"AudioSampleRate", "22050"}}},
        {"sample rate as source", "null", With(kMpeg4, {{"paraSampleRate", "as source"}}), {{"AudioSampleRate", "-1"}}},
        {"audio bit rate fraction", "null", With(kMpeg4, {{"paraAudioBitRate", "12.2"}}), {{"AudioBitrate", "12200"}}},
        {"audio bit rate truncated", "null", With(kMpeg4, {{"paraAudioBitRate", "12.3456"}}),
         {{"AudioBitrate", "12345"}}},
        {"audio bit rate as source", "null", With(kMpeg4, {{"paraAudioBitRate", "as source"}}),
         {{"AudioBitrate", "-1"}}},
        {"audio bit rate huge", "null", With(kMpeg4, {{"paraAudioBitRate", "99999999"}}), {{"AudioBitrate", "-1"}}},
        {"amr name of old settings", "null", {{"paraVideoEncoder", "h263"}, {"paraAudioEncoder", "libamr_nb"}},
         {{"AudioCodec", "libopencore_amrnb"}, {"DisableAudio", "0"}}},
        {"blank audio encoder", "null", {{"paraVideoEncoder", "h263"}, {"paraAudioEncoder", "  "}},
         {{"DisableAudio", "1"}}},
        {"audio only", "null",
         {{"paraVideoEncoder", " "}, {"paraChannel", "1"}, {"paraSampleRate", "8000"}, {"paraAudioBitRate", "12.2"},
          {"paraVolume", "128"}, {"paraVideoSize", "640x480"}},
         {{"AudioCodec", "libfaac"}, {"AudioChannels", "1"}, {"AudioSampleRate", "8000"}, {"AudioBitrate", "12200"},
          {"Volume", "128"}, {"ExtOptions", "vn=1"}, {"DisableVideo", "1"}, {"DisableSubtitle", "1"},
          {"FrameSize", ""}, {"VideoBitrate", "-1"}, {"Crop", "-1,-1,-1,-1"}}},
        {"audio only keeps its encoder and skips unusable values", "pal-dvd",
         {{"paraAudioEncoder", "libmp3lame"}, {"paraChannel", "0"}, {"paraSampleRate", "as source"}},
         {{"AudioCodec", "libmp3lame"}, {"AudioChannels", "-1"}, {"AudioSampleRate", "-1"},
          {"AudioBitrate", "128000"}, {"TargetType", "3"}, {"TargetNorm", "1"}, {"AspectRatio", "4:3"}}},
    };
    for (const auto& c : cases) {
        auto got = Build(c.format, c.stored, source, Job("full"));
        for (const auto& [field, value] : c.expected) EXPECT_EQ(got[field], value) << c.name << ": " << field;
    }
}

TEST_F(BuilderTest, SourceWithoutVideoSkipsThePictureSteps) {
    auto got = Build("avi", With(kMpeg4, {{"paraVideoSize", "320x240"}, {"paraVideoBitRate", "800"}}),
                     {0, 0, 0, 0}, Job("lbox", 5, 5, 5, 5));
    std::map<std::string, std::string> expected{
        {"DisableVideo", "1"}, {"VideoCodec", "mpeg4"},  {"VideoBitrate", "-1"}, {"FrameRate", ""},
        {"FileFormat", ""},    {"FrameSize", ""},        {"Crop", "-1,-1,-1,-1"}, {"VideoFilters", ""},
        {"AudioCodec", "libfaac"}, {"AudioChannels", "2"}, {"ExtOptions", ""}};
    for (const auto& [field, value] : expected) EXPECT_EQ(got[field], value) << field;
}

TEST_F(BuilderTest, FiltersAreAppendedToTheCallersChain) {
    auto stored = With(kMpeg4, {{"paraVideoSize", "320x240"}});
    EXPECT_EQ(Build("null", stored, {1, 1280, 720, 0}, Job("lbox"), "hflip")["VideoFilters"], "hflip,pad=320:240:0:30");
    EXPECT_EQ(Build("null", stored, {1, 1280, 720, 0}, Job("full"), "hflip")["VideoFilters"], "hflip");
}

TEST_F(BuilderTest, UnreadableFrameSizeAsksOncePerRow) {
    struct Case {
        const char* size;
        PromptResult answer;
        const char* frameSize;
    } cases[] = {{"640480", PromptResult::Yes, "320x240"}, {"x480", PromptResult::No, "1280x720"},
                 {"640x", PromptResult::Yes, "320x240"},   {nullptr, PromptResult::No, "1280x720"}};
    for (const auto& c : cases) {
        ScriptedPrompts p({c.answer});
        ScopedPrompts s(p);
        KeyValues stored = kMpeg4;
        if (c.size) stored.push_back({"paraVideoSize", c.size});
        auto got = Build("null", stored, {1, 1280, 720, 0}, Job("full"));
        ASSERT_EQ(p.shown().size(), 1u) << (c.size ? c.size : "missing");
        EXPECT_EQ(p.shown()[0].text, "Error output Video Size.Use the default size 320x240?");
        EXPECT_EQ(p.shown()[0].title, "Warning");
        EXPECT_EQ(p.shown()[0].buttons, PromptButtons::YesNo);
        EXPECT_EQ(p.shown()[0].icon, PromptIcon::Question);
        EXPECT_EQ(got["FrameSize"], c.frameSize);
    }
}

TEST_F(BuilderTest, HandEditedNonsenseNeverGivesANegativeOrOddSize) {
    const char* sizes[] = {"-320x240", "321x241", "99999x99999", "0x0", "1x1", "3x-7", "axb", "2147483647x3",
                           "as source", "x", "-x-"};
    const char* zooms[] = {"full", "lbox", "pan", "center"};
    struct Source {
        int w, h;
    } sources[] = {{1280, 720}, {641, 359}, {0, 0}, {3, 5000}};
    const std::regex size(R"((\d+)x(\d+))"), number(R"(-?\d+)");
    for (const char* sz : sizes) {
        // one profile per size; every zoom mode and source is built from it
        Build("null", With(kMpeg4, {{"paraVideoSize", sz},
                                    {"paraVideoBitRate", "-5"},
                                    {"paraFrameRate", "-1"},
                                    {"paraAudioBitRate", "-2"},
                                    {"paraSampleRate", "abc"},
                                    {"paraChannel", "-1"},
                                    {"paraVolume", "-9"}}),
              {1, 640, 480, 0}, Job("full"));
        for (const char* zoom : zooms)
            for (const auto& src : sources) {
                ScriptedPrompts p({PromptResult::No});
                ScopedPrompts s(p);
                TOutputOptions out;
                TInputOptions in;
                BuildOutputOptions(Job(zoom, -3, 9999, 2, -1), 1, out, TSourceVideoFacts{1, src.w, src.h, -4}, in);
                auto got = Fields(out, in);
                std::string where = std::string(sz) + " " + zoom + " " + std::to_string(src.w) + "x" +
                                    std::to_string(src.h);
                std::smatch m;
                if (!got["FrameSize"].empty()) {
                    ASSERT_TRUE(std::regex_match(got["FrameSize"], m, size)) << where << ": " << got["FrameSize"];
                    int w = std::stoi(m[1]), h = std::stoi(m[2]);
                    EXPECT_TRUE(w > 0 && h > 0 && w % 2 == 0 && h % 2 == 0) << where << ": " << got["FrameSize"];
                }
                std::string filters = got["VideoFilters"] + " " + got["AspectRatio"] + " " + got["Crop"];
                for (auto it = std::sregex_iterator(filters.begin(), filters.end(), number);
                     it != std::sregex_iterator(); ++it)
                    EXPECT_GE(std::stol(it->str()), 0) << where << ": " << filters;
                EXPECT_EQ(got["VideoBitrate"], "-1") << where;
                EXPECT_EQ(got["FrameRate"], "") << where;
                EXPECT_EQ(got["AudioBitrate"], "-1") << where;
                EXPECT_EQ(got["Volume"], "-1") << where;
            }
    }
}

TEST_F(BuilderTest, AFreshInstallConvertsWithTheProfilesDefaults) {
    UseShippedFormatFile();
    TOutputOptions out;
    TInputOptions in;
    BuildOutputOptions(Job("lbox"), 0, out, TSourceVideoFacts{1, 1280, 720, 0}, in);
    EXPECT_EQ(out.VideoCodec, "mpeg4");
    EXPECT_EQ(out.AudioCodec, "libfaac");
    EXPECT_FALSE(out.DisableVideo);
    EXPECT_FALSE(out.DisableAudio);
    EXPECT_EQ(out.FileFormat, "ipod");
    EXPECT_EQ(out.VideoFilters, "pad=480:320:0:24");
    EXPECT_EQ(Stored("0", "paraVideoEncoder"), "mpeg4");
    EXPECT_TRUE(prompts.shown().empty());
}
