// The shipped format file: every profile of the mobile catalogue is complete, consistent
// and made of choices Debian's FFmpeg can encode.
#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <map>
#include <set>

#include "app/GlobalUnit.h"
#include "engine/LegacyNames.h"
#include "platform/IniFile.h"
#include "platform/Text.h"
#include "profiles/FormatCatalogue.h"
#include "profiles/ParameterMaps.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

using namespace vexlo;

namespace {

IniFile Shipped() { return IniFile(GlobalObject().FormatFile()); }

// The shipped file checked here is the mobile edition's.
#define SKIP_UNLESS_MOBILE() \
    if (RunningEdition() != TEdition::Mobile) GTEST_SKIP() << "the general edition has no format file yet"

std::string ExtensionOfName(const std::string& name) {
    auto b = name.rfind("(*."), e = name.rfind(')');
    return b == std::string::npos || e == std::string::npos || e < b ? "" : name.substr(b + 3, e - b - 3);
}

// The encoder the engine opens for a stored name.
std::string EngineEncoder(const std::string& stored) { return ModernCodecName(stored, true); }

std::set<std::string> InstalledEncoders() {
    std::set<std::string> names;
    int status = -1;
    std::string text = test::RunProgram({"ffmpeg", "-hide_banner", "-encoders"}, &status);
    for (const auto& line : Split(text, '\n')) {
        auto parts = Split(Trim(line), ' ');
        if (parts.size() > 1 && parts[0].size() == 6) names.insert(parts[1]);
    }
    return names;
}

struct Profile {
    int code;
    std::string name;
    std::string section;
    std::vector<std::pair<std::string, std::string>> values;  // the section, read once
    std::string Get(const std::string& key) const {
        for (const auto& [k, v] : values)
            if (EqualsNoCase(k, key)) return v;
        return "<missing>";
    }
    std::vector<std::string> List(const std::string& key) const { return ParseChoiceList(Get(key)); }
    std::string Default(const std::string& list) const {
        auto items = List(list);
        int i = 0;
        if (!TryParseInteger(Get("i" + list), i)) i = 0;
        return i >= 0 && i < static_cast<int>(items.size()) ? items[static_cast<size_t>(i)] : "";
    }
};

std::vector<Profile> Profiles() {
    std::vector<Profile> all;
    for (int code : CatalogueCodes(TEdition::Mobile))
        all.push_back({code, FormatNameOf(code, TEdition::Mobile), FormatSection(code),
                       Shipped().ReadSectionValues(FormatSection(code))});
    return all;
}

TEST(ShippedFormatFile, HoldsOneSectionPerCodeOfTheCatalogue) {
    SKIP_UNLESS_MOBILE();
    ASSERT_TRUE(Shipped().SectionExists("formatInfo0")) << GlobalObject().FormatFile();
    std::set<std::string> sections;
    for (const auto& line : Split(test::ReadFile(GlobalObject().FormatFile()), '\n'))
        if (!line.empty() && line[0] == '[') sections.insert(line);
    EXPECT_EQ(sections.size(), 39u);
    for (const auto& p : Profiles()) EXPECT_TRUE(sections.count("[" + p.section + "]")) << p.name;
}

TEST(ShippedFormatFile, EveryProfileFollowsTheRules) {
    SKIP_UNLESS_MOBILE();
    static const std::set<std::string> keywords{"null", "ntsc-dvd", "pal-dvd", "ntsc-vcd", "pal-vcd", "ntsc-svcd",
                                                "pal-svcd", "ipod", "3gp", "3g2", "avi", "psp", "mov", "vcd",
                                                "flv", "mpegts", "vob", "ps3"};
    static const std::set<std::string> videoCodecs{"mpeg4", "libxvid", "mpeg1video", "mpeg2video", "msmpeg4",
                                                   "msmpeg4v2", "dvvideo", "h263", "h263p", "libx264", "wmv1",
                                                   "wmv2", "mjpeg", "huffyuv"};
    static const std::set<std::string> channels{"as source", "mono 1 channel", "stereo 2 channels"};
    // Sample rates each encoder accepts.
    static const std::map<std::string, std::set<int>> rates{
        {"libfaac", {96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000}},
        {"libmp3lame", {48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000}},
        {"mp2", {48000, 44100, 32000, 24000, 22050, 16000}},
        {"ac3", {48000, 44100, 32000}},
        {"pcm_s16le", {}}, {"pcm_alaw", {}}, {"adpcm_ms", {}}, {"adpcm_ima_wav", {}}, {"vorbis", {}},
        {"wmav1", {48000, 44100, 32000, 22050, 16000, 11025, 8000}},
        {"wmav2", {48000, 44100, 32000, 22050, 16000, 11025, 8000}}};
    static const std::set<std::string> h263Sizes{"128x96", "176x144", "352x288", "704x576"};
    const std::set<std::string> installed = InstalledEncoders();
    ASSERT_TRUE(installed.count("mpeg4"));

    for (const auto& p : Profiles()) {
        SCOPED_TRACE(p.name);
        EXPECT_TRUE(keywords.count(ToLowerAscii(p.Get("Format")))) << p.Get("Format");
        EXPECT_EQ(p.Get("FileExt"), ExtensionOfName(p.name));

        const bool audioOnly = p.code / 100 == 7;
        std::vector<std::string> videoLists{"VideoSize", "VideoBitRate", "FrameRate", "VideoEncoder"};
        std::vector<std::string> audioLists{"SampleRate", "AudioEncoder", "Channel"};
        for (const auto& list : videoLists) {
            if (audioOnly) {
                EXPECT_EQ(p.Get(list), "null") << list;
                continue;
            }
            EXPECT_FALSE(p.List(list).empty()) << list;
            EXPECT_NE(p.Default(list), "") << "default of " << list << " outside its list";
        }
        for (const auto& list : audioLists) EXPECT_NE(p.Default(list), "") << "default of " << list;
        EXPECT_EQ(p.Default("Volume"), "100%");
        if (p.Get("AudioBitRate") != "null") {
            EXPECT_NE(p.Default("AudioBitRate"), "");
        }

        std::set<std::string> codecs;
        for (const auto& item : p.List("VideoEncoder")) {
            auto stored = MapVideoEncoder(item);
            ASSERT_TRUE(stored) << item;
            EXPECT_TRUE(videoCodecs.count(*stored)) << *stored << " would leave the codec to the container";
            EXPECT_TRUE(installed.count(EngineEncoder(*stored))) << *stored;
            codecs.insert(*stored);
        }
        for (const auto& item : p.List("VideoSize")) {
            if (item == kAsSource) continue;
            auto x = item.find('x');
            int w = 0, h = 0;
            ASSERT_NE(x, std::string::npos) << item;
            EXPECT_TRUE(TryParseInteger(item.substr(0, x), w) && TryParseInteger(item.substr(x + 1), h)) << item;
            EXPECT_TRUE(w > 0 && h > 0 && w % 2 == 0 && h % 2 == 0) << item;
            if (codecs.count("h263")) {
                EXPECT_TRUE(h263Sizes.count(item)) << item << " is no H.263 picture size";
            }
        }
        for (const auto& item : p.List("VideoBitRate")) {
            int v;
            EXPECT_TRUE(item == kAsSource || (TryParseInteger(item, v) && v > 0)) << item;
        }
        for (const auto& item : p.List("FrameRate")) {
            double v;
            EXPECT_TRUE(item == kAsSource || (TryParseNumber(item, v) && v > 0)) << item;
            if (codecs.count("mpeg1video") || codecs.count("mpeg2video")) {
                EXPECT_TRUE(std::set<std::string>({"23.976", "24", "25", "29.97", "30", "50", "59.94", "60"})
                                .count(item))
                    << item << " is no MPEG frame rate";
            }
        }
        for (const auto& item : p.List("AudioBitRate")) {
            double v;
            EXPECT_TRUE(item == kAsSource || (TryParseNumber(item, v) && v > 0)) << item;
        }
        for (const auto& item : p.List("AudioEncoder")) {
            auto stored = MapAudioEncoder(item);
            ASSERT_TRUE(stored) << item;
            EXPECT_TRUE(installed.count(EngineEncoder(*stored))) << *stored;
            ASSERT_TRUE(rates.count(*stored)) << *stored;
            const auto& accepted = rates.at(*stored);
            for (const auto& rate : p.List("SampleRate")) {
                int v;
                ASSERT_TRUE(rate == kAsSource || TryParseInteger(rate, v)) << rate;
                if (rate != kAsSource && !accepted.empty()) {
                    EXPECT_TRUE(accepted.count(v)) << *stored << " cannot encode at " << rate;
                }
            }
            if (*stored == "libmp3lame" || *stored == "mp2" || stored->rfind("wmav", 0) == 0) {
                EXPECT_FALSE(p.List("Channel").empty() || p.List("Channel")[0] == kAsSource)
                    << *stored << " takes at most two channels";
            }
        }
        for (const auto& item : p.List("Channel")) EXPECT_TRUE(channels.count(item)) << item;
        for (const auto& item : p.List("Volume")) EXPECT_TRUE(MapVolume(item)) << item;
        for (const char* key : kH264Keys) {
            std::string v = p.Get(key) == "<missing>" ? "" : p.Get(key);
            int n;
            if (!v.empty() && std::string(key) != "paraBitExact") {
                EXPECT_TRUE(TryParseInteger(v, n)) << key;
            }
        }
    }
}

TEST(ShippedFormatFile, DevicesGetTheSizesTheyPlay) {
    SKIP_UNLESS_MOBILE();
    struct Case {
        int code;
        const char* size;
    } cases[] = {{0, "480x320"}, {0, "320x240"}, {2, "320x240"}, {2, "480x320"}, {200, "176x144"},
                 {202, "176x144"}, {500, "320x240"}, {507, "320x240"}, {608, "720x480"}, {609, "720x576"}};
    for (const auto& c : cases) {
        auto sizes = ParseChoiceList(Shipped().ReadString(FormatSection(c.code), "VideoSize", "null"));
        EXPECT_NE(std::find(sizes.begin(), sizes.end(), c.size), sizes.end()) << c.code << " " << c.size;
    }
    EXPECT_EQ(ParseChoiceList(Shipped().ReadString("formatInfo200", "AudioEncoder", "")),
              std::vector<std::string>{"AAC"});
    EXPECT_EQ(Shipped().ReadString("formatInfo507", "VideoEncoder", "").rfind("WMV", 0), 0u);
}

// The ffmpeg arguments of one output with a profile's default choices.
struct DefaultOutput {
    std::vector<std::string> args;
    std::string file, vcodec, acodec;
};

DefaultOutput DefaultsOf(const Profile& p, const std::string& folder) {
    DefaultOutput o;
    auto add = [&](std::initializer_list<std::string> a) { o.args.insert(o.args.end(), a); };
    o.acodec = EngineEncoder(*MapAudioEncoder(p.Default("AudioEncoder")));
    if (p.Get("VideoEncoder") == "null") {
        add({"-vn"});
    } else {
        o.vcodec = EngineEncoder(*MapVideoEncoder(p.Default("VideoEncoder")));
        add({"-c:v", o.vcodec});
        if (p.Default("VideoSize") != kAsSource) add({"-s", p.Default("VideoSize")});
        if (p.Default("FrameRate") != kAsSource) add({"-r", p.Default("FrameRate")});
        if (p.Default("VideoBitRate") != kAsSource) add({"-b:v", p.Default("VideoBitRate") + "k"});
        // DV's NTSC profile exists only in 4:1:1; the engine picks it from the encoder's list.
        if (o.vcodec == "dvvideo" && p.Default("VideoSize") == "720x480") add({"-pix_fmt", "yuv411p"});
    }
    add({"-c:a", o.acodec});
    if (p.Default("SampleRate") != kAsSource) add({"-ar", p.Default("SampleRate")});
    std::string ch = *MapChannel(p.Default("Channel"));
    if (ch != kAsSource) add({"-ac", ch});
    if (p.Get("AudioBitRate") != "null" && p.Default("AudioBitRate") != kAsSource)
        add({"-b:a", p.Default("AudioBitRate") + "k"});
    std::string format = ToLowerAscii(p.Get("Format"));
    if (format != "null") add({"-f", format});
    add({"-t", "0.12"});
    o.file = folder + std::to_string(p.code) + "." + p.Get("FileExt");
    o.args.push_back(o.file);
    return o;
}

std::string ProbedName(const std::string& encoder) {
    static const std::map<std::string, std::string> names{
        {"libmp3lame", "mp3"}, {"libvorbis", "vorbis"}, {"libx264", "h264"}, {"libxvid", "mpeg4"},
        {"msmpeg4", "msmpeg4v3"}};
    auto it = names.find(encoder);
    return it == names.end() ? encoder : it->second;
}

}  // namespace

// Every profile's default choices, encoded by Debian's ffmpeg program into the profile's
// container, give a file with the expected codecs. One ffmpeg run writes all outputs.
TEST(ShippedFormatFile, DefaultsEncodeWithDebiansFFmpeg) {
    SKIP_UNLESS_MOBILE();
    test::TempDir dir;
    const std::vector<std::string> inputs{"ffmpeg", "-nostdin", "-y", "-hide_banner", "-loglevel", "error",
                                          "-f", "lavfi", "-i", "testsrc=size=160x120:rate=25",
                                          "-f", "lavfi", "-i", "sine=r=44100"};
    std::vector<DefaultOutput> outputs;
    std::vector<std::string> all = inputs;
    const auto profiles = Profiles();
    for (const auto& p : profiles) {
        outputs.push_back(DefaultsOf(p, dir.path()));
        all.insert(all.end(), outputs.back().args.begin(), outputs.back().args.end());
    }
    int status = -1;
    test::RunProgram(all, &status);
    if (status != 0) {
        // Find the profiles that fail on their own.
        for (size_t i = 0; i < outputs.size(); ++i) {
            std::vector<std::string> one = inputs;
            one.insert(one.end(), outputs[i].args.begin(), outputs[i].args.end());
            test::RunProgram(one, &status);
            EXPECT_EQ(status, 0) << "ffmpeg cannot encode the defaults of " << profiles[i].name;
        }
        return;
    }
    // ffprobe starts slowly: probe several files at once.
    std::vector<std::future<std::string>> probes;
    for (const auto& o : outputs)
        probes.push_back(std::async(std::launch::async, [&o] { return test::Ffprobe(o.file, "stream=codec_name"); }));
    for (size_t i = 0; i < outputs.size(); ++i) {
        std::string got = probes[i].get();
        SCOPED_TRACE(profiles[i].name + ": " + got);
        if (!outputs[i].vcodec.empty()) {
            EXPECT_NE(got.find("codec_name=" + ProbedName(outputs[i].vcodec) + "\n"), std::string::npos);
        } else {
            EXPECT_EQ(std::count(got.begin(), got.end(), '\n'), 1);
        }
        EXPECT_NE(got.find("codec_name=" + ProbedName(outputs[i].acodec) + "\n"), std::string::npos);
    }
}
