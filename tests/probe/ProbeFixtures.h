#pragma once
// Media files and set-up shared by the probe suites.
#include <gtest/gtest.h>

#include <string>

#include "engine/FFmpegLoader.h"
#include "platform/MainThread.h"
#include "support/MediaFixtures.h"

namespace vexlo::test {

// Two programs (7: streams 0 and 1, 3: stream 2) and a fourth stream in none; the audio
// stream of program 7 carries only a language.
inline std::string TwoProgramTs() {
    return MediaFixture("probe-two-programs.ts",
                        {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1", "-f",
                         "lavfi", "-i", "sine=duration=1", "-map", "0:v", "-map", "1:a", "-map",
                         "0:v", "-map", "1:a", "-c:v", "mpeg2video", "-c:a", "mp2",
                         "-metadata:s:a:1", "language=eng", "-program",
                         "program_num=7:title=Seven:st=2:st=3", "-program",
                         "program_num=3:title=Three:st=0"});
}

// Container metadata with a raw ID3 frame key (TALB) beside plain ones.
inline std::string MetadataMkv() {
    return MediaFixture("probe-metadata.mkv",
                        {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1", "-c:v",
                         "mpeg4", "-metadata", "title=Clip Title", "-metadata", "TALB=Raw Album",
                         "-metadata", "creation_time=2021-07-01T12:00:00Z"});
}

// ID3-tagged audio only: title, album (TALB), artist, date, track.
inline std::string TaggedMp3() {
    return MediaFixture("probe-tagged.mp3",
                        {"-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-ac", "2",
                         "-metadata", "title=Song", "-metadata", "album=Disc", "-metadata",
                         "artist=Someone", "-metadata", "date=2009", "-metadata", "track=3/12"});
}

inline std::string MonoWav() {
    return MediaFixture("probe-mono.wav",
                        {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=22050:duration=1"});
}

// 3,725.5 s of video in two frames.
inline std::string LongMkv() {
    return MediaFixture("probe-long.mkv", {"-f", "lavfi", "-i", "color=c=black:s=16x16:r=2/3725.5",
                                           "-frames:v", "2", "-c:v", "mpeg4"});
}

inline std::string NonAsciiMp4() {
    return MediaFixture("vidéo ü 東京.mp4",
                        {"-f", "lavfi", "-i", "testsrc=size=176x144:rate=30000/1001:duration=1",
                         "-f", "lavfi", "-i", "sine=sample_rate=48000:duration=1", "-c:v",
                         "libx264", "-c:a", "aac", "-shortest"});
}

// Every probe test runs with the converter's libraries and this thread as main thread.
class ProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        MainThread::Instance().BindToCurrentThread();
        auto& loader = TFFmpegLoader::Instance();
        loader.SetLibraryFolder("");
        ASSERT_TRUE(loader.Load(kConverterLibraries)) << loader.LastError();
    }
};

}  // namespace vexlo::test
