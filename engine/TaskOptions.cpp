#include "engine/TaskOptions.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <initializer_list>

namespace vexlo {

namespace {

bool OneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

// Microseconds as seconds with six decimals, the form the duration parser reads exactly.
std::string Seconds(int64_t us) {
    const char* sign = us < 0 ? "-" : "";
    const uint64_t a = us < 0 ? 0 - static_cast<uint64_t>(us) : static_cast<uint64_t>(us);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%" PRIu64 ".%06" PRIu64, sign, a / 1000000, a % 1000000);
    return buf;
}

std::string Number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

// A local date-time as a day count from 1899-12-30, as the date parser's UTC text.
std::string UtcDate(double localDays) {
    const double localSeconds = std::floor((localDays - 25569.0) * 86400.0 + 0.5);
    std::time_t asIfUtc = static_cast<std::time_t>(localSeconds);
    std::tm fields{};
    gmtime_r(&asIfUtc, &fields);
    fields.tm_isdst = -1;
    std::time_t utc = std::mktime(&fields);  // reads the fields as local time
    std::tm out{};
    gmtime_r(&utc, &out);
    char buf[40];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%SZ", &out);
    return buf;
}

void SetIf(TCustomFFmpeg& task, const char* name, const std::string& value) {
    if (!value.empty()) task.SetOption(name, value);
}
void SetIfPositive(TCustomFFmpeg& task, const char* name, int value) {
    if (value > 0) task.SetOption(name, std::to_string(value));
}
void SetFlag(TCustomFFmpeg& task, const char* name, bool value) {
    if (value) task.SetOption(name, "1");
}

const char* NormName(int norm) {
    return norm == kNormPAL ? "pal" : norm == kNormNTSC ? "ntsc" : "auto";
}

}  // namespace

void ApplyInputOptions(TCustomFFmpeg& task, const TInputOptions& o) {
    for (const auto& [name, value] : SplitOptionLines(o.ExtOptions, true)) {
        if (OneOf(name, {"newvideo", "newaudio", "newsubtitle", "apre", "vpre", "spre", "vfilters", "vf"})) continue;
        task.SetOption(name, value);
    }
    SetIf(task, "f", o.FileFormat);
    if (o.StartTime != kNoPTS) task.SetOption("ss", Seconds(o.StartTime));
    if (o.ProgramID >= 0) task.SetOption("programid", std::to_string(o.ProgramID));
}

TOutputDefaults::TOutputDefaults(const TOutputOptions& o) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"acodec", &o.AudioCodec}, {"vcodec", &o.VideoCodec}, {"scodec", &o.SubtitleCodec},
        {"apre", &o.AudioPreset},  {"vpre", &o.VideoPreset},  {"spre", &o.SubtitlePreset},
        {"s", &o.FrameSize},       {"vf", &o.VideoFilters},
    };
    for (auto [name, value] : fields)
        if (!value->empty()) defaults_[name] = *value;
    for (auto [name, value] : SplitOptionLines(o.ExtOptions, true)) {
        if (name == "vfilters") name = "vf";
        if (value.empty() || !OneOf(name, {"acodec", "vcodec", "scodec", "apre", "vpre", "spre", "s", "vf"})) continue;
        defaults_.emplace(name, value);  // the record's field wins
        entries_.emplace_back(name, value);
    }
}

std::string TOutputDefaults::Default(const std::string& name) const {
    auto it = defaults_.find(name);
    return it == defaults_.end() ? std::string() : it->second;
}

std::string TOutputDefaults::Take(const std::string& name) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->first != name) continue;
        std::string value = it->second;
        entries_.erase(it);
        return value;
    }
    return Default(name);
}

void ApplyOutputOptions(TCustomFFmpeg& task, const TOutputOptions& o, const TOutputDefaults& d) {
    static const char* const kTargets[] = {"vcd", "svcd", "dvd"};
    if (o.TargetType >= kTargetVCD && o.TargetType <= kTargetDVD)
        task.SetTarget(kTargets[o.TargetType - 1], NormName(o.TargetNorm), o.TargetFallbackNorm == kNormPAL ? "pal" : "ntsc");

    SetIf(task, "acodec", d.Default("acodec"));
    SetIf(task, "vcodec", d.Default("vcodec"));
    SetIf(task, "scodec", d.Default("scodec"));
    task.LoadPreset("apre", d.Default("apre"));
    task.LoadPreset("vpre", d.Default("vpre"));
    task.LoadPreset("spre", d.Default("spre"));

    for (const auto& [name, value] : SplitOptionLines(o.ExtOptions, true)) {
        if (OneOf(name, {"newvideo", "newaudio", "newsubtitle", "apre", "vpre", "spre", "vfilters", "vf", "acodec",
                         "vcodec", "scodec", "s"}))
            continue;
        task.SetOption(name, value);
    }

    SetIf(task, "f", o.FileFormat);
    SetIfPositive(task, "packetsize", o.PacketSize);
    SetIfPositive(task, "muxrate", o.MuxRate);
    if (o.MuxDelay > 0) task.SetOption("muxdelay", Number(o.MuxDelay));
    if (o.MuxPreload > 0) task.SetOption("muxpreload", Number(o.MuxPreload));
    // Audio.
    SetFlag(task, "an", o.DisableAudio);
    if (o.Volume >= 0) task.SetOption("vol", std::to_string(o.Volume));
    SetIfPositive(task, "ac", o.AudioChannels);
    SetIfPositive(task, "ar", o.AudioSampleRate);
    SetIfPositive(task, "ab", o.AudioBitrate);
    SetIfPositive(task, "abt", o.AudioBitrateTolerance);
    SetIf(task, "alang", o.AudioLanguage);
    task.SetOption("async", std::to_string(o.AudioSyncMethod));
    SetIf(task, "atag", o.AudioTag);
    // Video.
    SetFlag(task, "vn", o.DisableVideo);
    SetIf(task, "r", o.FrameRate);
    SetIf(task, "aspect", o.AspectRatio);
    SetIfPositive(task, "croptop", o.CropTop);
    SetIfPositive(task, "cropbottom", o.CropBottom);
    SetIfPositive(task, "cropleft", o.CropLeft);
    SetIfPositive(task, "cropright", o.CropRight);
    SetIfPositive(task, "g", o.GOPSize);
    SetIfPositive(task, "vb", o.VideoBitrate);
    SetIfPositive(task, "maxrate", o.MaxRate);
    SetIfPositive(task, "minrate", o.MinRate);
    SetIfPositive(task, "bt", o.BitrateTolerance);
    SetIfPositive(task, "bufsize", o.BufferSize);
    task.SetOption("vsync", std::to_string(o.VideoSyncMethod));
    SetIf(task, "vtag", o.VideoTag);
    SetIf(task, "vlang", o.VideoLanguage);
    // Subtitles.
    SetFlag(task, "sn", o.DisableSubtitle);
    SetIf(task, "slang", o.SubtitleLanguage);
    // Synchronisation and times.
    task.SetOption("isync", o.InputSync ? "1" : "0");
    SetFlag(task, "copyts", o.CopyTimestamps);
    if (o.StartTime != kNoPTS) task.SetOption("ss", Seconds(o.StartTime));
    if (o.RecordingTime != kNoPTS) task.SetOption("t", Seconds(o.RecordingTime));
    // Metadata.
    const TStreamInfo& m = o.Metadata;
    if (m.Timestamp == 0) task.SetOption("timestamp", "now");
    else if (m.Timestamp > 0) task.SetOption("timestamp", UtcDate(m.Timestamp));
    if (m.Year > 0) task.SetOption("metadata", "year=" + std::to_string(m.Year));
    if (m.Track > 0) task.SetOption("metadata", "track=" + std::to_string(m.Track));
    const std::pair<const char*, const std::string*> texts[] = {
        {"title", &m.Title},     {"author", &m.Author}, {"copyright", &m.Copyright},
        {"comment", &m.Comment}, {"album", &m.Album},   {"genre", &m.Genre},
    };
    for (auto [key, value] : texts)
        if (!value->empty()) task.SetOption("metadata", std::string(key) + "=" + *value);

    SetIf(task, "s", d.Default("s"));
    SetIf(task, "vf", d.Default("vf"));
}

void AddExtraStreams(TCustomFFmpeg& task, const TOutputOptions& o, TOutputDefaults& d) {
    for (const auto& [name, value] : SplitOptionLines(o.ExtOptions, true)) {
        if (name == "newaudio") {
            SetIf(task, "acodec", d.Take("acodec"));
            task.LoadPreset("apre", d.Take("apre"));
        } else if (name == "newvideo") {
            SetIf(task, "vcodec", d.Take("vcodec"));
            task.LoadPreset("vpre", d.Take("vpre"));
            SetIf(task, "s", d.Take("s"));
            SetIf(task, "vf", d.Take("vf"));
        } else if (name == "newsubtitle") {
            SetIf(task, "scodec", d.Take("scodec"));
            task.LoadPreset("spre", d.Take("spre"));
        } else {
            continue;
        }
        task.SetOption(name, value);
    }
}

}  // namespace vexlo
