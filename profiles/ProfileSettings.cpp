#include "profiles/ProfileSettings.h"

#include "app/Settings.h"
#include "profiles/FormatCatalogue.h"
#include "profiles/FormatFile.h"
#include "platform/Text.h"
#include "profiles/ParameterMaps.h"

namespace vexlo {

TProfileSettings::TProfileSettings() {
    Boxes.cmbZoom.SetItems({kZoomItemsInitial[0], kZoomItemsInitial[1], kZoomItemsInitial[2]});
}

void TProfileSettings::Open() {
    CurrentFormatCode = settings::ReadString("FormatCode");
    CurrentFormatName = settings::ReadString("FormatName");
    LoadLists();
    SelectStored(false);
    Boxes.ApplyGroupRule();
}

void TProfileSettings::SwitchFormat(const std::string& code, const std::string& name) {
    CurrentFormatCode = code;
    CurrentFormatName = name;
    LoadLists();
    SelectStored(true);
    Boxes.ApplyGroupRule();
}

void TProfileSettings::LoadLists() {
    Boxes.CurrentFormatCode = CurrentFormatCode;
    Boxes.FillLists();
}

void TProfileSettings::SelectStored(bool indicesOnly) {
    IniFile store = SettingsIni();
    const std::string section = FormatSection(CurrentFormatCode);
    struct Box {
        TComboModel& box;
        const char* indexKey;
        const char* textKey;  // nullptr: the index alone
        const char* fallback;
    } boxes[] = {{Boxes.cmbVideoSize, "iVideoSize", "paraVideoSize", "320x240"},
                 {Boxes.cmbVideoBitRate, "iVideoBitRate", "paraVideoBitRate", "800"},
                 {Boxes.cmbFrameRate, "iFrameRate", "paraFrameRate", "25"},
                 {Boxes.cmbSamplerate, "iSampleRate", "paraSampleRate", "44100"},
                 {Boxes.cmbAudioBitRate, "iAudioBitRate", "paraAudioBitRate", "96"},
                 {Boxes.cmbVideoEncoder, "iVideoEncoder", nullptr, nullptr},
                 {Boxes.cmbChannel, "iChannel", nullptr, nullptr},
                 {Boxes.cmbVolume, "iVolume", nullptr, nullptr},
                 {Boxes.cmbAudioEncoder, "iAudioEncoder", nullptr, nullptr}};
    for (auto& b : boxes) {
        int i = store.ReadInteger(section, b.indexKey, 0);
        if (i < 0 && b.textKey && !indicesOnly) b.box.SetText(store.ReadString(section, b.textKey, b.fallback));
        else b.box.Select(i);
    }
    Boxes.cmbZoom.Select(ZoomPositionOf(store.ReadString(section, "paraZoom", "full")));
}

void TProfileSettings::btnDefaultClick() {
    IniFile format = FormatIni();
    const std::string section = FormatSection(CurrentFormatCode);
    struct Box {
        TComboModel& box;
        const char* key;
    } boxes[] = {{Boxes.cmbVideoSize, "iVideoSize"},     {Boxes.cmbFrameRate, "iFrameRate"},
                 {Boxes.cmbVideoBitRate, "iVideoBitRate"}, {Boxes.cmbVideoEncoder, "iVideoEncoder"},
                 {Boxes.cmbAudioBitRate, "iAudioBitRate"}, {Boxes.cmbChannel, "iChannel"},
                 {Boxes.cmbVolume, "iVolume"},           {Boxes.cmbSamplerate, "iSampleRate"},
                 {Boxes.cmbAudioEncoder, "iAudioEncoder"}};
    for (auto& b : boxes) b.box.Select(format.ReadInteger(section, b.key, 0));
    Boxes.cmbZoom.Select(0);
}

bool TProfileSettings::cmbVideoSizeExit() {
    if (ToLowerAscii(Boxes.cmbVideoSize.Text).find(kAsSource) != std::string::npos) return true;
    std::string before = Boxes.cmbVideoSize.Text;
    bool ok = Boxes.CheckVideoSize();
    return ok && Boxes.cmbVideoSize.Text == before;
}

bool TProfileSettings::cmbVideoBitRateExit() {
    return Boxes.CheckNumberBox(Boxes.cmbVideoBitRate, false, "Video BitRate is not a valid value!");
}

bool TProfileSettings::cmbAudioBitRateExit() {
    return Boxes.CheckNumberBox(Boxes.cmbAudioBitRate, true, "Audio BitRate is not a valid value!");
}

bool TProfileSettings::cmbSamplerateExit() {
    return Boxes.CheckNumberBox(Boxes.cmbSamplerate, false, "Audio SampleRate is not a valid value!");
}

void TProfileSettings::Store() {
    IniFile store = SettingsIni();
    const std::string section = FormatSection(CurrentFormatCode);
    auto& b = Boxes;
    store.WriteString(section, "Description", CurrentFormatName);
    struct Index {
        const char* key;
        const TComboModel& box;
    } indices[] = {{"iVideoSize", b.cmbVideoSize},   {"iVideoBitRate", b.cmbVideoBitRate},
                   {"iVideoEncoder", b.cmbVideoEncoder}, {"iFrameRate", b.cmbFrameRate},
                   {"iSampleRate", b.cmbSamplerate}, {"iAudioBitRate", b.cmbAudioBitRate},
                   {"iChannel", b.cmbChannel},       {"iVolume", b.cmbVolume},
                   {"iAudioEncoder", b.cmbAudioEncoder}};
    for (const auto& i : indices) store.WriteInteger(section, i.key, i.box.ItemIndex);
    store.WriteString(section, "paraVideoSize", b.cmbVideoSize.Text);
    store.WriteString(section, "paraVideoBitRate", b.cmbVideoBitRate.Text);
    store.WriteString(section, "paraFrameRate", b.cmbFrameRate.Text);
    int zoom = b.cmbZoom.ItemIndex;
    if (zoom >= 0 && zoom < 4) store.WriteString(section, "paraZoom", kZoomValues[zoom]);
    // The encoder's own change handler maps it and copies the H.264 tuning keys.
    b.CurrentFormatCode = CurrentFormatCode;
    b.cmbVideoEncoderChange();
    store.WriteString(section, "paraSampleRate", b.cmbSamplerate.Text);
    store.WriteString(section, "paraAudioBitRate", b.cmbAudioBitRate.Text);
    auto item = [](const TComboModel& box) {
        return box.ItemIndex >= 0 ? box.Items[static_cast<size_t>(box.ItemIndex)] : std::string();
    };
    if (auto v = MapChannel(item(b.cmbChannel))) store.WriteString(section, "paraChannel", *v);
    if (auto v = MapVolume(item(b.cmbVolume))) store.WriteString(section, "paraVolume", *v);
    if (auto v = MapAudioEncoder(item(b.cmbAudioEncoder))) store.WriteString(section, "paraAudioEncoder", *v);
    settings::WriteString("FormatName", CurrentFormatName);
    settings::WriteString("FormatCode", CurrentFormatCode);
}

}  // namespace vexlo
