#pragma once
// The settings of one vexlo-cli run: a private copy of the settings file that the global
// object reads while this object lives. Choices made for the run (profile, output folder,
// stored parameters) go into the copy, so the user's settings file is never written.
#include <string>

#include "cli/Arguments.h"

namespace vexlo::cli {

class TRunSettings {
public:
    TRunSettings();
    ~TRunSettings();
    TRunSettings(const TRunSettings&) = delete;
    TRunSettings& operator=(const TRunSettings&) = delete;

    // Each returns false with error set when the value cannot be used.
    // A format code of the running edition's catalogue.
    bool SetFormatCode(const std::string& text, std::string& error);
    // The output folder; created when missing.
    bool SetOutputFolder(const std::string& folder, std::string& error);
    // "key=value" for one stored choice of the current profile: key is one of the ten
    // parameter names, with or without "para" (VideoSize, VideoEncoder, VideoBitRate,
    // FrameRate, Zoom, SampleRate, AudioEncoder, Channel, AudioBitRate, Volume), any case.
    // A value that is an item of the box is picked as in the settings window, a typed value
    // goes through the box's checks, and others are stored as they are.
    bool SetChoice(const std::string& assignment, std::string& error);
    int FormatCode() const;

    // --profile, --out, the zoom mode and every --set of a command, in that order.
    bool Apply(const TArguments& args, const std::string& zoom, std::string& error);

private:
    std::string original_, folder_;
};

}  // namespace vexlo::cli
