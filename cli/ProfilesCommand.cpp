#include "cli/ProfilesCommand.h"

#include <cstdio>

#include "app/Settings.h"
#include "cli/Arguments.h"
#include "cli/RunSettings.h"
#include "profiles/FormatCatalogue.h"
#include "profiles/FormatFile.h"
#include "profiles/ParameterBoxes.h"

namespace vexlo::cli {
namespace {

const char* const kProfilesUsage = "usage: vexlo-cli profiles [--code N]\n";

void PrintCatalogue() {
    const int current = settings::ReadInteger("FormatCode");
    const auto& categories = Catalogue();
    for (size_t c = 0; c < categories.size(); ++c) {
        std::printf("%s\n", categories[c].Name.c_str());
        for (size_t p = 0; p < categories[c].Formats.size(); ++p) {
            const int code = MakeFormatCode(static_cast<int>(c), static_cast<int>(p));
            if (FormatNameOf(code).empty()) continue;
            std::printf("%c %5d  %s\n", code == current ? '*' : ' ', code, categories[c].Formats[p].c_str());
        }
    }
}

void PrintBox(const char* name, const TComboModel& box) {
    std::printf("%-13s %s", name, box.Enabled ? "" : "(off) ");
    for (size_t i = 0; i < box.Items.size(); ++i)
        std::printf("%s%s", i ? ", " : "", static_cast<int>(i) == box.ItemIndex ? ("[" + box.Items[i] + "]").c_str()
                                                                              : box.Items[i].c_str());
    if (box.ItemIndex < 0) std::printf("%scurrent: %s", box.Items.empty() ? "" : "; ", box.Text.c_str());
    std::printf("\n");
}

void PrintProfile(int code) {
    // Loading a profile stores its defaults when it has none yet: into the run's copy only.
    TRunSettings run;
    TParameterBoxes boxes;
    boxes.CurrentFormatCode = std::to_string(code);
    boxes.edt1Change();
    std::printf("Code %d: %s\n", code, FormatNameOf(code).c_str());
    std::printf("%-13s %s\n", "Format", ReadFormatKeyword(boxes.CurrentFormatCode).c_str());
    std::printf("%-13s %s\n", "FileExt", ReadFileExt(boxes.CurrentFormatCode).c_str());
    PrintBox("VideoSize", boxes.cmbVideoSize);
    PrintBox("VideoEncoder", boxes.cmbVideoEncoder);
    PrintBox("VideoBitRate", boxes.cmbVideoBitRate);
    PrintBox("FrameRate", boxes.cmbFrameRate);
    PrintBox("Zoom", boxes.cmbZoom);
    PrintBox("SampleRate", boxes.cmbSamplerate);
    PrintBox("AudioEncoder", boxes.cmbAudioEncoder);
    PrintBox("Channel", boxes.cmbChannel);
    PrintBox("AudioBitRate", boxes.cmbAudioBitRate);
    PrintBox("Volume", boxes.cmbVolume);
}

}  // namespace

int RunProfilesCommand(const std::vector<std::string>& words) {
    TArguments args = ParseArguments(words, {"code"});
    if (!args.Error.empty()) return UsageError("profiles", args.Error, kProfilesUsage);
    if (!args.Files.empty()) return UsageError("profiles", "unexpected " + args.Files[0], kProfilesUsage);
    if (!args.Has("code")) {
        PrintCatalogue();
        return 0;
    }
    int code;
    if (!ParseIniInteger(args.Value("code"), code) || FormatNameOf(code).empty())
        return UsageError("profiles", "no profile has the code " + args.Value("code"), kProfilesUsage);
    PrintProfile(code);
    return 0;
}

}  // namespace vexlo::cli
