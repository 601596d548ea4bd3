#include "cli/OptionsCommand.h"

#include <cstdio>
#include <functional>
#include <set>

#include "batch/BatchStart.h"
#include "cli/Arguments.h"
#include "cli/JobArguments.h"
#include "engine/TimeFormat.h"
#include "platform/Text.h"
#include "probe/AVProbe.h"

namespace vexlo::cli {
namespace {

const char* const kOptionsUsage =
    "usage: vexlo-cli options [--profile N] [--set KEY=VALUE]... [--out DIR] [the edits of convert] FILE...\n";

std::string Text(const std::string& v) { return "\"" + v + "\""; }
std::string Text(int v) { return std::to_string(v); }
std::string Text(bool v) { return v ? "true" : "false"; }
std::string Text(float v) { return Format("%g", v); }
std::string Text(double v) { return Format("%g", v); }
std::string Text(int64_t v) {
    return v == kNoPTS ? "no value" : std::to_string(v) + " us (" + FormatPTS(v) + ")";
}

template <class Record>
class TFieldLister {
public:
    TFieldLister(const Record& r, const char* type) : r_(r), type_(type) {}
    template <class T>
    TFieldLister& operator()(const char* name, T Record::*field, bool always = false) {
        if (always || !(r_.*field == initial_.*field)) text_ += std::string(type_) + "." + name + " = " + Text(r_.*field) + "\n";
        return *this;
    }
    template <class T>
    TFieldLister& Meta(const char* name, T TStreamInfo::*field) {
        if (!(r_.Metadata.*field == initial_.Metadata.*field))
            text_ += std::string(type_) + ".Metadata." + name + " = " + Text(r_.Metadata.*field) + "\n";
        return *this;
    }
    std::string text() const { return text_; }

private:
    const Record& r_;
    const Record initial_{};
    const char* type_;
    std::string text_;
};

}  // namespace

std::string DescribeOptions(const TInputOptions& in) {
    using R = TInputOptions;
    return TFieldLister<R>(in, "TInputOptions")("FileName", &R::FileName, true)("FileFormat", &R::FileFormat)(
               "StartTime", &R::StartTime)("ProgramID", &R::ProgramID)("ExtOptions", &R::ExtOptions)
        .text();
}

std::string DescribeOptions(const TOutputOptions& out) {
    using R = TOutputOptions;
    TFieldLister<R> l(out, "TOutputOptions");
    l("FileName", &R::FileName, true)("FileFormat", &R::FileFormat)("PacketSize", &R::PacketSize)(
        "MuxRate", &R::MuxRate)("MuxDelay", &R::MuxDelay)("MuxPreload", &R::MuxPreload)("AudioCodec", &R::AudioCodec)(
        "AudioPreset", &R::AudioPreset)("DisableAudio", &R::DisableAudio)("Volume", &R::Volume)(
        "AudioChannels", &R::AudioChannels)("AudioSampleRate", &R::AudioSampleRate)("AudioBitrate", &R::AudioBitrate)(
        "AudioBitrateTolerance", &R::AudioBitrateTolerance)("AudioLanguage", &R::AudioLanguage)(
        "AudioSyncMethod", &R::AudioSyncMethod)("AudioTag", &R::AudioTag)("VideoCodec", &R::VideoCodec)(
        "VideoPreset", &R::VideoPreset)("DisableVideo", &R::DisableVideo)("FrameRate", &R::FrameRate)(
        "FrameSize", &R::FrameSize)("AspectRatio", &R::AspectRatio)("CropTop", &R::CropTop)(
        "CropBottom", &R::CropBottom)("CropLeft", &R::CropLeft)("CropRight", &R::CropRight)("GOPSize", &R::GOPSize)(
        "VideoBitrate", &R::VideoBitrate)("MaxRate", &R::MaxRate)("MinRate", &R::MinRate)(
        "BitrateTolerance", &R::BitrateTolerance)("BufferSize", &R::BufferSize)(
        "VideoSyncMethod", &R::VideoSyncMethod)("VideoTag", &R::VideoTag)("VideoFilters", &R::VideoFilters)(
        "VideoLanguage", &R::VideoLanguage)("SubtitleCodec", &R::SubtitleCodec)(
        "SubtitlePreset", &R::SubtitlePreset)("DisableSubtitle", &R::DisableSubtitle)(
        "SubtitleLanguage", &R::SubtitleLanguage)("InputSync", &R::InputSync)("CopyTimestamps", &R::CopyTimestamps)(
        "StartTime", &R::StartTime)("RecordingTime", &R::RecordingTime)("TargetType", &R::TargetType)(
        "TargetNorm", &R::TargetNorm)("TargetFallbackNorm", &R::TargetFallbackNorm)("CustomHook", &R::CustomHook)(
        "Join", &R::Join)("ExtOptions", &R::ExtOptions);
    l.Meta("Timestamp", &TStreamInfo::Timestamp)
        .Meta("Year", &TStreamInfo::Year)
        .Meta("Track", &TStreamInfo::Track)
        .Meta("Title", &TStreamInfo::Title)
        .Meta("Author", &TStreamInfo::Author)
        .Meta("Copyright", &TStreamInfo::Copyright)
        .Meta("Comment", &TStreamInfo::Comment)
        .Meta("Album", &TStreamInfo::Album)
        .Meta("Genre", &TStreamInfo::Genre);
    return l.text();
}

int RunOptionsCommand(const std::vector<std::string>& words) {
    TJobCommand job;
    if (int status = StartJobCommand("options", kOptionsUsage, words, job)) return status;

    int status = 0;
    std::set<std::string> handedOut;
    TAVProbe probe;
    for (size_t i = 0; i < job.Records.size(); ++i) {
        TlvFilesRecord& record = job.Records[i];
        const std::string& file = record.SourceFile;
        if (i > 0) std::printf("\n");
        if (!probe.Open(file)) {
            std::fflush(stdout);
            std::fprintf(stderr, "%s: %s\n", file.c_str(), probe.LastError().c_str());
            status = 1;
            continue;
        }
        TJobTaskOptions t = PrepareJobTask(record, probe, handedOut);
        probe.Close();
        handedOut.insert(t.Destination);
        std::printf("%s%s", DescribeOptions(t.Input).c_str(), DescribeOptions(t.Output).c_str());
    }
    return status;
}

}  // namespace vexlo::cli
