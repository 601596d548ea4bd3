#include "cli/JobArguments.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "cli/Libraries.h"
#include "edit/BmpFile.h"
#include "edit/EffectHooks.h"
#include "platform/Text.h"
#include "probe/AVProbe.h"
#include "profiles/FormatFile.h"

namespace vexlo::cli {

const std::set<std::string> kJobOptionNames = {
    "profile",    "out",        "set",        "trim",        "crop",       "zoom",        "brightness",
    "contrast",   "saturation", "exposure",   "text",        "text-pos",   "font",        "font-size",
    "font-color", "image",      "image-pos",  "image-alpha", "image-blend"};

bool ParseTimeText(const std::string& text, int64_t& us) {
    std::vector<std::string> parts = Split(text, ':');
    if (parts.empty() || parts.size() > 3) return false;
    double total = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& p = parts[i];
        if (p.empty() || p.find_first_not_of("0123456789.") != std::string::npos) return false;
        char* end = nullptr;
        double v = std::strtod(p.c_str(), &end);
        if (*end || (i + 1 < parts.size() && p.find('.') != std::string::npos)) return false;
        total = total * 60 + v;
    }
    if (total > 9e12) return false;
    us = std::llround(total * 1e6);
    return true;
}

namespace {

bool ParsePercentPair(const std::string& text, int& x, int& y) {
    std::vector<std::string> p = Split(text, ',');
    if (p.size() != 2) return false;
    for (auto& s : p)
        if (!s.empty() && s.back() == '%') s.pop_back();
    return ParseIntegerIn(p[0], 0, 100, x) && ParseIntegerIn(p[1], 0, 100, y);
}

// "#RRGGBB" as the record's 0x00BBGGRR.
bool ParseColor(const std::string& text, uint32_t& color) {
    if (text.size() != 7 || text[0] != '#' || text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
        return false;
    unsigned long rgb = std::strtoul(text.c_str() + 1, nullptr, 16);
    color = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    return true;
}

}  // namespace

bool ParseJobEdits(const TArguments& args, TJobEdits& out, std::string& error) {
    TlvFilesRecord& r = out.Edits;
    auto fail = [&](const std::string& option, const char* expected) {
        error = "--" + option + " " + args.Value(option) + ": expected " + expected;
        return false;
    };
    if (args.Has("trim")) {
        std::vector<std::string> p = Split(args.Value("trim"), ',');
        if (p.empty() || p.size() > 2 || !ParseTimeText(p[0], r.TrimStart) ||
            (p.size() == 2 && (!ParseTimeText(p[1], r.TrimLength) || r.TrimLength <= 0)))
            return fail("trim", "START[,LENGTH] in seconds or [hh:]mm:ss, with a LENGTH above 0");
    }
    if (args.Has("crop")) {
        std::vector<std::string> p = Split(args.Value("crop"), ',');
        if (p.size() != 4 || !ParseIntegerIn(p[0], 0, 1 << 20, r.CropTop) ||
            !ParseIntegerIn(p[1], 0, 1 << 20, r.CropLeft) || !ParseIntegerIn(p[2], 0, 1 << 20, r.CropBottom) ||
            !ParseIntegerIn(p[3], 0, 1 << 20, r.CropRight))
            return fail("crop", "TOP,LEFT,BOTTOM,RIGHT in source pixels");
    }
    if (args.Has("zoom")) {
        out.Zoom = args.Value("zoom");
        if (out.Zoom != "full" && out.Zoom != "lbox" && out.Zoom != "pan") return fail("zoom", "full, lbox or pan");
    }
    const struct {
        const char* name;
        int lo, hi;
        int32_t* field;
    } numbers[] = {{"brightness", 0, 512, &r.Brightness},   {"contrast", -100, 100, &r.Contrast},
                   {"saturation", 0, 512, &r.Saturation},   {"exposure", -255, 512, &r.Exposure},
                   {"font-size", 1, 500, &r.WatermarkFont.Size}, {"image-alpha", 0, 255, &r.ImageAlpha},
                   {"image-blend", 1, 2, &r.ImageBlend}};
    for (const auto& n : numbers)
        if (args.Has(n.name) && !ParseIntegerIn(args.Value(n.name), n.lo, n.hi, *n.field))
            return fail(n.name, ("a whole number from " + std::to_string(n.lo) + " to " + std::to_string(n.hi)).c_str());
    r.WatermarkText = args.Value("text");
    r.WatermarkImage = args.Value("image");
    if (!r.WatermarkImage.empty()) {
        // Found out now, not after a whole conversion without the watermark asked for.
        try {
            LoadBmpFile(r.WatermarkImage);
        } catch (const std::exception&) {
            return fail("image", "a readable BMP file");
        }
    }
    if (args.Has("font")) r.WatermarkFont.Name = args.Value("font");
    if (args.Has("font-color") && !ParseColor(args.Value("font-color"), r.WatermarkFont.Color))
        return fail("font-color", "#RRGGBB");
    if (args.Has("text-pos")) {
        if (!ParsePercentPair(args.Value("text-pos"), r.TextLeftPercent, r.TextTopPercent))
            return fail("text-pos", "X%,Y% from 0 to 100");
        out.TextPosition = true;
    }
    if (args.Has("image-pos")) {
        if (!ParsePercentPair(args.Value("image-pos"), r.ImageLeftPercent, r.ImageTopPercent))
            return fail("image-pos", "X%,Y% from 0 to 100");
        out.ImagePosition = true;
    }
    return true;
}

TlvFilesRecord MakeJobRecord(const std::string& file, const TJobEdits& edits, const std::string& zoomMode) {
    TlvFilesRecord r = edits.Edits;
    r.SourceFile = file;
    r.ZoomMode = zoomMode;
    if (edits.TextPosition || edits.ImagePosition) {
        TAVProbe probe;
        if (probe.Open(file) && probe.VideoStreamCount() > 0) {
            TVideoStreamInfo v = probe.GetVideoStreamInfo();
            r.TextLeft = PercentPosition(v.Width, r.TextLeftPercent);
            r.TextTop = PercentPosition(v.Height, r.TextTopPercent);
            r.ImageLeft = PercentPosition(v.Width, r.ImageLeftPercent);
            r.ImageTop = PercentPosition(v.Height, r.ImageTopPercent);
        }
    }
    return r;
}

int StartJobCommand(const char* command, const char* usage, const std::vector<std::string>& words, TJobCommand& job) {
    job.Args = ParseArguments(words, kJobOptionNames);
    if (!job.Args.Error.empty()) return UsageError(command, job.Args.Error, usage);
    if (job.Args.Files.empty()) return UsageError(command, "no file given", usage);
    TJobEdits edits;
    std::string error;
    if (!ParseJobEdits(job.Args, edits, error)) return UsageError(command, error, usage);
    if (!LoadConverterLibraries()) return 1;
    job.Settings = std::make_unique<TRunSettings>();
    if (!job.Settings->Apply(job.Args, edits.Zoom, error)) return UsageError(command, error, usage);
    const std::string zoom = ReadZoomMode(std::to_string(job.Settings->FormatCode()));
    for (const std::string& file : job.Args.Files) job.Records.push_back(MakeJobRecord(file, edits, zoom));
    return 0;
}

}  // namespace vexlo::cli
