#include "cli/RunSettings.h"

#include <stdlib.h>

#include <filesystem>

#include "app/GlobalUnit.h"
#include "app/Settings.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "profiles/FormatCatalogue.h"
#include "profiles/ParameterBoxes.h"
#include "profiles/ParameterMaps.h"

namespace vexlo::cli {

namespace fs = std::filesystem;

TRunSettings::TRunSettings() : original_(GlobalObject().SettingsFile()) {
    std::string pattern = (fs::temp_directory_path() / "vexlo-cli-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("Cannot create a temporary folder: " + pattern);
    folder_ = pattern;
    const std::string copy = folder_ + "/" + ExtractFileName(original_);
    std::error_code ec;
    if (FileExists(original_)) fs::copy_file(original_, copy, ec);
    GlobalObject().SetSettingsFile(copy);
}

TRunSettings::~TRunSettings() {
    GlobalObject().SetSettingsFile(original_);
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

bool TRunSettings::Apply(const TArguments& args, const std::string& zoom, std::string& error) {
    if (args.Has("profile") && !SetFormatCode(args.Value("profile"), error)) return false;
    if (args.Has("out") && !SetOutputFolder(args.Value("out"), error)) return false;
    if (!zoom.empty() && !SetChoice("Zoom=" + zoom, error)) return false;
    auto set = args.Options.find("set");
    if (set != args.Options.end())
        for (const std::string& assignment : set->second)
            if (!SetChoice(assignment, error)) return false;
    return true;
}

int TRunSettings::FormatCode() const { return settings::ReadInteger("FormatCode"); }

bool TRunSettings::SetFormatCode(const std::string& text, std::string& error) {
    int code;
    if (!ParseIniInteger(text, code) || FormatNameOf(code).empty()) {
        error = "no profile has the code " + text + " (see vexlo-cli profiles)";
        return false;
    }
    settings::WriteInteger("FormatCode", code);
    return true;
}

bool TRunSettings::SetOutputFolder(const std::string& folder, std::string& error) {
    if (folder.empty() || !ForceDirectories(folder)) {
        error = "cannot create the output folder " + folder;
        return false;
    }
    settings::WriteString("OutPutDir", fs::absolute(folder).string());
    return true;
}

bool TRunSettings::SetChoice(const std::string& assignment, std::string& error) {
    const size_t eq = assignment.find('=');
    std::string key = eq == std::string::npos ? assignment : assignment.substr(0, eq);
    if (StartsWithNoCase(key, "para")) key = key.substr(4);
    const std::string value = eq == std::string::npos ? "" : assignment.substr(eq + 1);

    TParameterBoxes boxes;
    boxes.CurrentFormatCode = std::to_string(FormatCode());
    const struct {
        const char* key;
        TComboModel* box;
    } known[] = {{"VideoSize", &boxes.cmbVideoSize},       {"VideoEncoder", &boxes.cmbVideoEncoder},
                 {"VideoBitRate", &boxes.cmbVideoBitRate}, {"FrameRate", &boxes.cmbFrameRate},
                 {"Zoom", &boxes.cmbZoom},                 {"SampleRate", &boxes.cmbSamplerate},
                 {"AudioEncoder", &boxes.cmbAudioEncoder}, {"Channel", &boxes.cmbChannel},
                 {"AudioBitRate", &boxes.cmbAudioBitRate}, {"Volume", &boxes.cmbVolume}};
    for (const auto& k : known) {
        if (!EqualsNoCase(key, k.key)) continue;
        if (eq == std::string::npos || value.empty()) {
            error = "--set " + assignment + ": give a value (key=value)";
            return false;
        }
        boxes.edt1Change();
        TComboModel& box = *k.box;
        const std::string storedKey = std::string("para") + k.key;
        const std::string section = FormatSection(boxes.CurrentFormatCode);
        for (size_t i = 0; i < box.Items.size(); ++i)
            if (EqualsNoCase(box.Items[i], value)) {
                boxes.PickItem(box, static_cast<int>(i));
                return true;
            }
        if (!box.Editable) {
            // An item another format offers is stored as the box would store it.
            std::optional<std::string> mapped;
            if (&box == &boxes.cmbVideoEncoder) mapped = MapVideoEncoder(value);
            else if (&box == &boxes.cmbAudioEncoder) mapped = MapAudioEncoder(value);
            else if (&box == &boxes.cmbChannel) mapped = MapChannel(value);
            else if (&box == &boxes.cmbVolume) mapped = MapVolume(value);
            SettingsIni().WriteString(section, storedKey, mapped.value_or(value));
            return true;
        }
        box.SetText(value);
        if (&box == &boxes.cmbVideoSize) boxes.cmbVideoSizeExit();
        else if (&box == &boxes.cmbVideoBitRate) boxes.cmbVideoBitRateChange();
        else if (&box == &boxes.cmbSamplerate) boxes.cmbSamplerateChange();
        else boxes.cmbAudioBitRateChange();
        if (SettingsIni().ReadString(section, storedKey, "") != value) {
            error = "--set " + assignment + ": the " + k.key + " box does not take this value";
            return false;
        }
        return true;
    }
    error = "--set " + assignment + ": unknown key (VideoSize, VideoEncoder, VideoBitRate, FrameRate, Zoom, "
            "SampleRate, AudioEncoder, Channel, AudioBitRate or Volume)";
    return false;
}

}  // namespace vexlo::cli
