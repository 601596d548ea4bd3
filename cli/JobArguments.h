#pragma once
// The per-file edits of `convert` and `options`: what the trim, crop and effects windows
// would store in each job's record.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "batch/JobRecord.h"
#include "cli/Arguments.h"
#include "cli/RunSettings.h"

namespace vexlo::cli {

// Option names (without dashes) that take a value: the edits, the profile and the run.
extern const std::set<std::string> kJobOptionNames;

struct TJobEdits {
    TlvFilesRecord Edits;  // every field but SourceFile and ZoomMode
    std::string Zoom;      // --zoom, empty when not given
    bool TextPosition = false, ImagePosition = false;
};

// Reads the edit options; false with error for a value out of its range.
bool ParseJobEdits(const TArguments& args, TJobEdits& out, std::string& error);

// The record of a file just added to the list, carrying the edits. Watermark positions are
// percents of the source picture, turned into its pixels as the effects window does.
TlvFilesRecord MakeJobRecord(const std::string& file, const TJobEdits& edits, const std::string& zoomMode);

// What `options` and `convert` start from: their words, the run's settings (profile, output
// folder, --set) and one new record per file, carrying the edits.
struct TJobCommand {
    TArguments Args;
    std::unique_ptr<TRunSettings> Settings;
    std::vector<TlvFilesRecord> Records;
};

// Reads the words, loads the converter's libraries and makes the run's settings and the
// records. 0 when the command may go on; otherwise its exit status (2 with the usage).
int StartJobCommand(const char* command, const char* usage, const std::vector<std::string>& words, TJobCommand& job);

// "[[hh:]mm:]ss[.fraction]" as microseconds; false when the text is not a time.
bool ParseTimeText(const std::string& text, int64_t& us);

}  // namespace vexlo::cli
