#pragma once
// Turns the input and output records of a task into transcoder options.
#include <map>
#include <string>

#include "engine/ConvertOptions.h"
#include "engine/FFmpeg.h"
#include "engine/OptionLines.h"

namespace vexlo {

// Before the input is opened: ExtOptions lines (without the stream and filter options that
// only outputs take), then format, start time and program.
void ApplyInputOptions(TCustomFFmpeg& task, const TInputOptions& options);

// The defaults list of one output: "def_" values from the record's codec, preset, size and
// filter fields, completed from ExtOptions, plus the plain ExtOptions entries of those names
// that extra streams take one after another.
class TOutputDefaults {
public:
    explicit TOutputDefaults(const TOutputOptions& options);
    // The "def_" value of name ("" when absent).
    std::string Default(const std::string& name) const;
    // The next entry of name not taken yet, which is removed; else the default.
    std::string Take(const std::string& name);

private:
    std::map<std::string, std::string> defaults_;
    TOptionLines entries_;
};

// Before the output is opened: target, codecs, presets, ExtOptions, the record's fields,
// frame size and filters.
void ApplyOutputOptions(TCustomFFmpeg& task, const TOutputOptions& options, const TOutputDefaults& defaults);

// After the output is opened: the extra streams its ExtOptions ask for ("newaudio",
// "newvideo", "newsubtitle"), each with the next codec, preset, size and filter entries.
void AddExtraStreams(TCustomFFmpeg& task, const TOutputOptions& options, TOutputDefaults& defaults);

}  // namespace vexlo
