#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "engine/FFmpegException.h"
#include "engine/FFmpegLoader.h"
#include "engine/FFmpegLogger.h"
#include "platform/Text.h"
#include "probe/AVProbe.h"
#include "ProbeFixtures.h"
#include "support/TempDir.h"

using namespace vexlo;
using namespace vexlo::test;

namespace {

using Fields = std::map<std::string, std::string>;

// ffprobe's "key=value" lines, split into sections at each `first` key ("" for one section).
std::vector<Fields> Sections(const std::string& text, const std::string& first) {
    std::vector<Fields> out;
    for (const auto& line : Split(text, '\n')) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        if (key == first || out.empty()) out.emplace_back();
        out.back().emplace(key, line.substr(eq + 1));
    }
    return out;
}

// ffprobe's seconds ("2.000000") as microseconds; -1 for N/A.
int64_t Micros(const std::string& seconds) {
    if (seconds.empty() || seconds == "N/A") return -1;
    return std::llround(std::stod(seconds) * 1e6);
}

std::string Truncated(const TempDir& dir) {
    std::string whole = ReadFile(StandardClip("mp4"));
    std::string path = dir.file("truncated.mp4");
    WriteFile(path, whole.substr(0, whole.size() / 2));  // the index (moov) is at the end
    return path;
}

void ExpectClosedFields(const TCustomAVProbe& p) {
    EXPECT_FALSE(p.Opened());
    EXPECT_EQ(p.FileSize(), -1);
    EXPECT_EQ(p.StreamCount(), -1);
    EXPECT_EQ(p.ProgramCount(), -1);
    EXPECT_EQ(p.AudioStreamCount(), -1);
    EXPECT_EQ(p.VideoStreamCount(), -1);
    EXPECT_EQ(p.SubtitleStreamCount(), -1);
    EXPECT_EQ(p.FirstAudioStream(), -1);
    EXPECT_EQ(p.FirstVideoStream(), -1);
    EXPECT_EQ(p.FirstSubtitleStream(), -1);
    EXPECT_EQ(p.Duration(), -1);
    EXPECT_EQ(p.ForcedFormat(), "");
}

void ExpectPresetVideo(const TVideoStreamInfo& v) {
    EXPECT_EQ(v.CodecName, "");
    EXPECT_EQ(v.Width, -1);
    EXPECT_EQ(v.Height, -1);
    EXPECT_EQ(v.AspectRatio, -1.0f);
    EXPECT_EQ(v.DurationUs, -1);
    EXPECT_EQ(v.FrameRateNum, -1);
}

// ------------------------------------------------------------------------------------
// Every fixture against ffprobe.

struct FixtureCase {
    const char* name;
    std::function<std::string()> make;
};

void PrintTo(const FixtureCase& c, std::ostream* os) { *os << c.name; }

class ProbeAgreesWithFfprobe : public ProbeTest, public ::testing::WithParamInterface<FixtureCase> {};

TEST_P(ProbeAgreesWithFfprobe, CountsIndexesTimesAndPictureFacts) {
    std::string file = GetParam().make();
    ASSERT_FALSE(file.empty());
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(file)) << probe.LastError();

    Fields format = Sections(Ffprobe(file, "format=format_name,duration,start_time,nb_streams,"
                                           "nb_programs,size,bit_rate"),
                             "")
                        .at(0);
    EXPECT_EQ(probe.GetFormatName(), format["format_name"]);
    EXPECT_EQ(probe.Duration(), Micros(format["duration"]));
    TFileStreamInfo info = probe.GetFileStreamInfo();
    EXPECT_EQ(info.Duration, Micros(format["duration"]));
    EXPECT_EQ(info.StartTime, Micros(format["start_time"]));
    EXPECT_EQ(std::to_string(info.BitRate), format["bit_rate"]);
    EXPECT_EQ(std::to_string(probe.FileSize()), format["size"]);
    EXPECT_EQ(std::to_string(probe.StreamCount()), format["nb_streams"]);
    EXPECT_EQ(std::to_string(probe.ProgramCount()), format["nb_programs"]);

    // ffprobe lists a program's streams once more inside the program.
    std::map<int, Fields> byIndex;
    for (auto& s : Sections(Ffprobe(file, "stream=index,codec_type,width,height,r_frame_rate,"
                                          "sample_rate,channels"),
                            "index"))
        byIndex.emplace(std::stoi(s["index"]), s);
    std::vector<Fields> streams;
    for (auto& [index, s] : byIndex) streams.push_back(s);
    ASSERT_EQ(static_cast<int>(streams.size()), probe.StreamCount());
    int counts[3] = {0, 0, 0}, firsts[3] = {-1, -1, -1};
    const char* kinds[3] = {"audio", "video", "subtitle"};
    for (int i = 0; i < static_cast<int>(streams.size()); ++i) {
        auto& s = streams[i];
        ASSERT_EQ(s["index"], std::to_string(i));
        for (int k = 0; k < 3; ++k)
            if (s["codec_type"] == kinds[k]) {
                ++counts[k];
                if (firsts[k] < 0) firsts[k] = i;
            }
        EXPECT_EQ(probe.IsAudioStream(i), s["codec_type"] == "audio") << i;
        EXPECT_EQ(probe.IsVideoStream(i), s["codec_type"] == "video") << i;
        if (s["codec_type"] == "video") {
            TVideoStreamInfo v = probe.GetVideoStreamInfo(i);
            EXPECT_EQ(std::to_string(v.Width), s["width"]);
            EXPECT_EQ(std::to_string(v.Height), s["height"]);
            EXPECT_EQ(std::to_string(v.FrameRateNum) + "/" + std::to_string(v.FrameRateDen),
                      s["r_frame_rate"]);
        } else if (s["codec_type"] == "audio") {
            TAudioStreamInfo a = probe.GetAudioStreamInfo(i);
            EXPECT_EQ(std::to_string(a.SampleRate), s["sample_rate"]);
            EXPECT_EQ(std::to_string(a.Channels), s["channels"]);
        }
    }
    EXPECT_EQ(probe.AudioStreamCount(), counts[0]);
    EXPECT_EQ(probe.VideoStreamCount(), counts[1]);
    EXPECT_EQ(probe.SubtitleStreamCount(), counts[2]);
    EXPECT_EQ(probe.FirstAudioStream(), firsts[0]);
    EXPECT_EQ(probe.FirstVideoStream(), firsts[1]);
    EXPECT_EQ(probe.FirstSubtitleStream(), firsts[2]);
    EXPECT_EQ(probe.DefaultStream(), firsts[1] >= 0 ? firsts[1] : firsts[0]);
    EXPECT_EQ(probe.GetFileName(), file);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ProbeAgreesWithFfprobe,
    ::testing::Values(FixtureCase{"mp4", [] { return StandardClip("mp4"); }},
                      FixtureCase{"avi", [] { return StandardClip("avi"); }},
                      FixtureCase{"mkv", [] { return StandardClip("mkv"); }},
                      FixtureCase{"ts", [] { return StandardClip("ts"); }},
                      FixtureCase{"ts_two_programs", TwoProgramTs},
                      FixtureCase{"mp3", TaggedMp3}, FixtureCase{"wav", MonoWav},
                      FixtureCase{"mkv_metadata", MetadataMkv}, FixtureCase{"mkv_long", LongMkv},
                      FixtureCase{"non_ascii_name", NonAsciiMp4}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------------------------
// Opening and closing.

using Probe = ProbeTest;

TEST_F(Probe, FilesThatCannotBeOpenedFailWithTheLibraryTextAndLeaveItClosed) {
    TempDir dir;
    std::string textFile = dir.file("notes.avi");
    WriteFile(textFile, "This is a shopping list, not a video.\nmilk\nbread\n");
    const struct {
        std::string file;
        std::string text;
    } cases[] = {
        {Truncated(dir), "Invalid data found when processing input"},
        {textFile, "Invalid data found when processing input"},
        {dir.file("missing.mp4"), "No such file or directory"},
    };
    TAVProbe probe;
    for (const auto& c : cases) {
        ASSERT_TRUE(probe.Open(StandardClip("mkv"))) << probe.LastError();
        EXPECT_FALSE(probe.Open(c.file));
        EXPECT_EQ(probe.LastError(), c.file + ": " + c.text);
        ExpectClosedFields(probe);
        EXPECT_EQ(probe.GetFileName(), "");
        EXPECT_EQ(probe.LastError(), "file not loaded.");
    }
    // The same probe still opens good files afterwards.
    EXPECT_TRUE(probe.Open(StandardClip("mp4"))) << probe.LastError();
}

TEST_F(Probe, UnknownForcedFormatFailsBeforeTheFileIsOpened) {
    TempDir dir;
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(StandardClip("mp4")));
    // A missing file would give "No such file or directory" if it were opened.
    EXPECT_FALSE(probe.Open(dir.file("absent.wav"), "nosuchformat"));
    EXPECT_EQ(probe.LastError(), "Unknown input format: nosuchformat");
    ExpectClosedFields(probe);
}

TEST_F(Probe, ForcedFormatIsRememberedUntilClose) {
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(MonoWav(), "wav")) << probe.LastError();
    EXPECT_EQ(probe.ForcedFormat(), "wav");
    EXPECT_EQ(probe.GetFormatName(), "wav");
    EXPECT_TRUE(probe.OwnsContext());
    probe.Close();
    ExpectClosedFields(probe);
    ASSERT_TRUE(probe.Open(MonoWav()));
    EXPECT_EQ(probe.ForcedFormat(), "");
}

TEST_F(Probe, ForcingTheWrongFormatFailsWithTheLibraryText) {
    TAVProbe probe;
    std::string file = MonoWav();
    EXPECT_FALSE(probe.Open(file, "mpegts"));
    EXPECT_EQ(probe.LastError().rfind(file + ": ", 0), 0u) << probe.LastError();
    ExpectClosedFields(probe);
}

TEST_F(Probe, EveryQueryWithoutAFileSaysFileNotLoadedAndLogsAWarning) {
    std::vector<std::pair<TLogLevel, std::string>> logged;
    FFLogger().SetTriggerEventInMainThread(false);
    FFLogger().SetOnLog([&](const void*, uint32_t, TLogLevel level, const std::string& text) {
        logged.emplace_back(level, text);
    });
    TAVProbe probe;
    const std::vector<std::pair<const char*, std::function<bool()>>> queries = {
        {"GetFileStreamInfo", [&] { return probe.GetFileStreamInfo().Duration == -1 && probe.GetFileStreamInfo().Title.empty(); }},
        {"GetAudioStreamInfo", [&] { return probe.GetAudioStreamInfo().SampleRate == -1; }},
        {"GetVideoStreamInfo", [&] { return probe.GetVideoStreamInfo(0).Width == -1; }},
        {"IsAudioStream", [&] { return !probe.IsAudioStream(0); }},
        {"IsVideoStream", [&] { return !probe.IsVideoStream(0); }},
        {"GetFileName", [&] { return probe.GetFileName().empty(); }},
        {"GetFormatName", [&] { return probe.GetFormatName().empty(); }},
        {"GetInfoText", [&] { return probe.GetInfoText().empty(); }},
    };
    for (const auto& [name, query] : queries) {
        logged.clear();
        EXPECT_TRUE(query()) << name;
        EXPECT_EQ(probe.LastError(), "file not loaded.") << name;
        ASSERT_FALSE(logged.empty()) << name;
        EXPECT_EQ(logged.back(), std::make_pair(llWarning, std::string("file not loaded."))) << name;
    }
    FFLogger().SetOnLog(nullptr);
    FFLogger().SetTriggerEventInMainThread(true);
}

TEST_F(Probe, OpenFailureIsLoggedAtErrorLevel) {
    std::vector<std::pair<TLogLevel, std::string>> logged;
    FFLogger().SetTriggerEventInMainThread(false);
    FFLogger().SetOnLog([&](const void* sender, uint32_t, TLogLevel level, const std::string& text) {
        if (sender != &FFLogger()) logged.emplace_back(level, text);  // not the library's own lines
    });
    TempDir dir;
    TAVProbe probe;
    EXPECT_FALSE(probe.Open(dir.file("missing.mkv")));
    FFLogger().SetOnLog(nullptr);
    FFLogger().SetTriggerEventInMainThread(true);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0], std::make_pair(llError, probe.LastError()));
}

TEST_F(Probe, AttachedContextIsReadButNeverClosedByTheProbe) {
    std::string file = StandardClip("mp4");
    AVFormatContext* raw = nullptr;
    ASSERT_GE(ff::avformat.avformat_open_input(&raw, file.c_str(), nullptr, nullptr), 0);
    ff::InputFormatPtr owner(raw);
    ASSERT_GE(ff::avformat.avformat_find_stream_info(raw, nullptr), 0);
    {
        TAVProbe probe;
        probe.AttachContext(raw);
        EXPECT_TRUE(probe.Opened());
        EXPECT_FALSE(probe.OwnsContext());
        EXPECT_EQ(probe.Context(), raw);
        EXPECT_EQ(probe.StreamCount(), 2);
        EXPECT_EQ(probe.FirstVideoStream(), 0);
        EXPECT_EQ(probe.FirstAudioStream(), 1);
        EXPECT_EQ(probe.GetFileName(), file);
        EXPECT_EQ(std::to_string(probe.FileSize()), FfprobeValue(file, "format=size"));
        probe.Close();
        ExpectClosedFields(probe);
        probe.AttachContext(raw);  // destroyed while attached: forgets, does not close
    }
    // Still usable: the probe released nothing (AddressSanitizer would see a double close).
    EXPECT_EQ(raw->nb_streams, 2u);
    EXPECT_NE(raw->pb, nullptr);
}

TEST_F(Probe, OpeningTakesTheProcessWideCodecLock) {
    std::string file = StandardClip("ts");
    TAVProbe probe;
    std::atomic<bool> started{false}, done{false};
    bool opened = false;
    std::thread worker;
    {
        std::lock_guard<std::mutex> hold(CodecMutex());
        worker = std::thread([&] {
            started = true;
            opened = probe.Open(file);
            done = true;
        });
        while (!started) std::this_thread::yield();
        // However long the worker runs, it cannot finish opening while the lock is held.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_FALSE(done.load());
    }
    worker.join();
    EXPECT_TRUE(opened) << probe.LastError();
}

TEST_F(Probe, MissingLibrariesRaiseTheirTextsInOrder) {
    auto& loader = TFFmpegLoader::Instance();
    TAVProbe probe;
    EXPECT_TRUE(TCustomAVProbe::CheckLibraries());
    const struct {
        int unload;
        const char* text;
    } cases[] = {
        {LIB_SWSCALE, "LibSwScale not loaded."},
        {LIB_AVUTIL, "LibAVUtil not loaded."},
        {LIB_AVFORMAT, "LibAVFormat not loaded."},
        {LIB_AVCODEC, "LibAVCodec not loaded."},
    };
    // Each unload adds a missing library earlier in the checking order.
    for (const auto& c : cases) {
        loader.Unload(c.unload);
        try {
            probe.Open(StandardClip("mp4"));
            ADD_FAILURE() << "no exception for " << c.text;
        } catch (const FFmpegException& e) {
            EXPECT_STREQ(e.what(), c.text);
        }
        EXPECT_THROW(probe.AttachContext(nullptr), FFmpegException);
    }
    ASSERT_TRUE(loader.Load(kConverterLibraries)) << loader.LastError();
    EXPECT_TRUE(probe.Open(StandardClip("mp4"))) << probe.LastError();
}

// ------------------------------------------------------------------------------------
// Stream and container records.

TEST_F(Probe, StreamRecordsOfTheStandardClip) {
    std::string file = StandardClip("mp4");
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(file));

    TVideoStreamInfo v = probe.GetVideoStreamInfo();
    auto vs = Sections(Ffprobe(file, "stream=start_pts,duration_ts,duration,bit_rate", "v:0"), "").at(0);
    EXPECT_EQ(v.CodecName, "h264 (H.264 / AVC / MPEG-4 AVC / MPEG-4 part 10)");
    EXPECT_EQ(v.Language, "und");
    EXPECT_EQ(v.Width, 320);
    EXPECT_EQ(v.Height, 240);
    EXPECT_FLOAT_EQ(v.AspectRatio, 320.0f / 240.0f);
    EXPECT_EQ(v.PixelFormat, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(v.FrameRateNum, 25);
    EXPECT_EQ(v.FrameRateDen, 1);
    EXPECT_EQ(std::to_string(v.StartTime), vs["start_pts"]);
    EXPECT_EQ(std::to_string(v.Duration), vs["duration_ts"]);
    EXPECT_EQ(v.DurationUs, Micros(vs["duration"]));
    EXPECT_EQ(v.StartTimeUs, 0);
    EXPECT_EQ(std::to_string(v.BitRate), vs["bit_rate"]);

    TAudioStreamInfo a = probe.GetAudioStreamInfo();
    auto as = Sections(Ffprobe(file, "stream=duration,bit_rate", "a:0"), "").at(0);
    EXPECT_EQ(a.CodecName, "aac (AAC (Advanced Audio Coding))");
    EXPECT_EQ(a.Channels, 2);
    EXPECT_EQ(a.SampleRate, 44100);
    EXPECT_EQ(a.SampleFormat, AV_SAMPLE_FMT_FLTP);
    EXPECT_EQ(a.DurationUs, Micros(as["duration"]));
    EXPECT_EQ(std::to_string(a.BitRate), as["bit_rate"]);
    EXPECT_EQ(a, probe.GetAudioStreamInfo(1));
}

TEST_F(Probe, StreamQueriesRejectMissingInvalidAndWrongKindStreams) {
    TAVProbe mp4, mp3, video;
    ASSERT_TRUE(mp4.Open(StandardClip("mp4")));
    ASSERT_TRUE(mp3.Open(TaggedMp3()));
    ASSERT_TRUE(video.Open(LongMkv()));
    EXPECT_EQ(mp3.VideoStreamCount(), 0);
    EXPECT_EQ(mp3.FirstVideoStream(), -1);
    EXPECT_EQ(video.AudioStreamCount(), 0);

    const struct {
        const char* what;
        std::function<bool()> query;  // true when the preset record came back
        TCustomAVProbe& probe;
        const char* text;
    } cases[] = {
        {"audio-only first video", [&] { ExpectPresetVideo(mp3.GetVideoStreamInfo(-1)); return true; }, mp3, "no video stream."},
        {"video-only first audio", [&] { return video.GetAudioStreamInfo().SampleRate == -1; }, video, "no audio stream."},
        {"index past the end", [&] { ExpectPresetVideo(mp4.GetVideoStreamInfo(2)); return true; }, mp4, "stream index #2 is invalid."},
        {"audio index past the end", [&] { return mp4.GetAudioStreamInfo(99).Channels == -1; }, mp4, "stream index #99 is invalid."},
        {"audio stream as video", [&] { ExpectPresetVideo(mp4.GetVideoStreamInfo(1)); return true; }, mp4, "stream #1 is not video stream."},
        {"video stream as audio", [&] { return mp4.GetAudioStreamInfo(0).CodecName.empty(); }, mp4, "stream #0 is not audio stream."},
        {"kind test below 0", [&] { return !mp4.IsAudioStream(-1); }, mp4, "stream index #-1 is invalid."},
        {"kind test past the end", [&] { return !mp4.IsVideoStream(2); }, mp4, "stream index #2 is invalid."},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.query()) << c.what;
        EXPECT_EQ(c.probe.LastError(), c.text) << c.what;
    }
}

TEST_F(Probe, UnknownStreamTimesStayAtTheirMarkers) {
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(MetadataMkv()));  // Matroska states no per-stream duration
    TVideoStreamInfo v = probe.GetVideoStreamInfo();
    EXPECT_EQ(v.Duration, AV_NOPTS_VALUE);
    EXPECT_EQ(v.DurationUs, -1);
    EXPECT_EQ(v.StartTimeUs, 0);
}

TEST_F(Probe, ZeroOverZeroTimeBaseIsMendedToZeroOverOne) {
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(StandardClip("mp4")));
    AVStream* st = probe.Context()->streams[0];
    st->time_base = AVRational{0, 0};
    TVideoStreamInfo v = probe.GetVideoStreamInfo(0);
    EXPECT_EQ(st->time_base.num, 0);
    EXPECT_EQ(st->time_base.den, 1);
    EXPECT_EQ(v.DurationUs, 0);
    st->time_base = AVRational{5, 0};
    probe.GetVideoStreamInfo(0);
    EXPECT_EQ(st->time_base.num, 5);
    EXPECT_EQ(st->time_base.den, 5);
}

TEST_F(Probe, ContainerRecordsCarryTagsYearTrackAndCreationTime) {
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(TaggedMp3()));
    TFileStreamInfo mp3 = probe.GetFileStreamInfo();
    EXPECT_EQ(mp3.Title, "Song");
    EXPECT_EQ(mp3.Album, "Disc");
    EXPECT_EQ(mp3.Author, "Someone");
    EXPECT_EQ(mp3.Year, 2009);
    EXPECT_EQ(mp3.Track, 3);
    EXPECT_EQ(mp3.Timestamp, 0);
    EXPECT_EQ(mp3.Genre, "");

    ASSERT_TRUE(probe.Open(MetadataMkv()));
    TFileStreamInfo mkv = probe.GetFileStreamInfo();
    EXPECT_EQ(mkv.Title, "Clip Title");
    EXPECT_EQ(mkv.Timestamp, 1625140800);  // 2021-07-01 12:00:00 UTC
    EXPECT_EQ(mkv.Year, 0);
}

TEST_F(Probe, NonAsciiFileNameOpens) {
    std::string file = NonAsciiMp4();
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(file)) << probe.LastError();
    EXPECT_EQ(probe.GetFileName(), file);
    EXPECT_EQ(probe.GetVideoStreamInfo().FrameRateNum, 30000);
    EXPECT_EQ(probe.GetVideoStreamInfo().FrameRateDen, 1001);
    EXPECT_EQ(std::filesystem::file_size(file),
              static_cast<uintmax_t>(probe.FileSize()));
}

}  // namespace

