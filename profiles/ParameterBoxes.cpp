#include "profiles/ParameterBoxes.h"

#include <stdexcept>
#include <utility>

#include "app/ErrorReporter.h"
#include "app/GlobalUnit.h"
#include "app/Settings.h"
#include "platform/Prompts.h"
#include "platform/Text.h"
#include "profiles/FormatCatalogue.h"
#include "profiles/FormatFile.h"
#include "profiles/ParameterMaps.h"

namespace vexlo {

const char* const kZoomItemsInitial[3] = {"Full screen", "Letterbox", "Pan and Scan"};
const char* const kZoomItemsMain[3] = {"Full Screen", "Letter Box", "Pan and Scan"};

void TComboModel::SetItems(std::vector<std::string> items) {
    Items = std::move(items);
    ItemIndex = -1;
    Text.clear();
}

void TComboModel::Select(int i) {
    if (i >= 0 && i < static_cast<int>(Items.size())) {
        ItemIndex = i;
        Text = Items[static_cast<size_t>(i)];
    } else {
        ItemIndex = -1;
        Text.clear();
    }
}

void TComboModel::SetText(const std::string& text) {
    Text = text;
    ItemIndex = IndexOf(text);
}

int TComboModel::IndexOf(const std::string& text) const {
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i] == text) return static_cast<int>(i);
    return -1;
}

namespace {

std::vector<std::string> ZoomItems(const char* const (&items)[3]) { return {items[0], items[1], items[2]}; }

// Stored choice and index keys, as the Default button writes them.
const char* const kStoredChoiceKeys[] = {
    "paraVideoSize", "paraVideoBitRate", "paraFrameRate", "paraZoom",      "paraVideoEncoder",
    "paraAudioEncoder", "paraAudioBitRate", "paraSampleRate", "paraChannel", "paraVolume",
    "iVideoSize",    "iVideoBitRate",    "iFrameRate",    "iVideoEncoder", "iSampleRate",
    "iAudioBitRate", "iChannel",         "iVolume",       "iAudioEncoder",
};

}  // namespace

TParameterBoxes::TParameterBoxes() {
    for (TComboModel* box : {&cmbVideoSize, &cmbVideoBitRate, &cmbSamplerate, &cmbAudioBitRate})
        box->Editable = true;
    cmbZoom.SetItems(ZoomItems(kZoomItemsInitial));
}

std::string TParameterBoxes::Section() const { return FormatSection(CurrentFormatCode); }

IniFile TParameterBoxes::Store() const { return SettingsIni(); }

void TParameterBoxes::ShowWarning(const std::string& text) const {
    CurrentPrompts().Show("Warning", text, PromptButtons::OK, PromptIcon::Warning);
}

void TParameterBoxes::FillLists() {
    IniFile format = FormatIni();
    const std::string section = Section();
    auto fill = [&](TComboModel& box, const char* key, bool emptyIsNull) {
        std::string list = format.ReadString(section, key, kNull);
        if (emptyIsNull && list.empty()) list = kNull;
        box.SetItems(ParseChoiceList(list));
    };
    fill(cmbVideoSize, "VideoSize", false);
    fill(cmbVideoBitRate, "VideoBitRate", false);
    fill(cmbFrameRate, "FrameRate", false);
    fill(cmbVideoEncoder, "VideoEncoder", true);
    fill(cmbAudioBitRate, "AudioBitRate", true);
    fill(cmbSamplerate, "SampleRate", true);
    fill(cmbAudioEncoder, "AudioEncoder", true);
    fill(cmbChannel, "Channel", true);
    fill(cmbVolume, "Volume", true);
    ApplyGroupRule();
}

void TParameterBoxes::ApplyGroupRule() {
    bool video = !cmbVideoEncoder.Items.empty();
    for (TComboModel* box : {&cmbVideoSize, &cmbVideoBitRate, &cmbFrameRate, &cmbVideoEncoder, &cmbZoom})
        box->Enabled = video;
    bool audio = !cmbAudioEncoder.Items.empty();
    for (TComboModel* box : {&cmbSamplerate, &cmbChannel, &cmbVolume, &cmbAudioEncoder, &cmbAudioBitRate})
        box->Enabled = audio;
}

void TParameterBoxes::edt1Change() {
    EnsureProfileDefaults(CurrentFormatCode);
    FillLists();
    IniFile store = Store();
    const std::string section = Section();

    std::string zoom = store.ReadString(section, "paraZoom", "full");
    if (zoom != kNull && !zoom.empty()) {
        cmbZoom.SetItems(ZoomItems(kZoomItemsMain));
        cmbZoom.Select(ZoomPositionOf(zoom));
    }

    struct Editable {
        TComboModel& box;
        const char* key;
        const char* fallback;
    } editables[] = {{cmbVideoSize, "paraVideoSize", "320x240"},
                     {cmbVideoBitRate, "paraVideoBitRate", "768"},
                     {cmbSamplerate, "paraSampleRate", "44100"},
                     {cmbAudioBitRate, "paraAudioBitRate", "96"}};
    for (auto& e : editables) e.box.SetText(store.ReadString(section, e.key, e.fallback));

    struct Indexed {
        TComboModel& box;
        const char* key;
    } indexed[] = {{cmbFrameRate, "iFrameRate"},
                   {cmbVideoEncoder, "iVideoEncoder"},
                   {cmbChannel, "iChannel"},
                   {cmbVolume, "iVolume"},
                   {cmbAudioEncoder, "iAudioEncoder"}};
    for (auto& e : indexed) e.box.Select(store.ReadInteger(section, e.key, 0));

    ApplyGroupRule();
}

void TParameterBoxes::StoreIndexAndText(const TComboModel& box, const char* indexKey, const char* valueKey) {
    IniFile store = Store();
    store.WriteInteger(Section(), indexKey, box.ItemIndex);
    store.WriteString(Section(), valueKey, box.Text);
}

void TParameterBoxes::StoreIndexAndMapped(const TComboModel& box, const char* indexKey, const char* valueKey,
                                          std::optional<std::string> (*map)(const std::string&)) {
    IniFile store = Store();
    store.WriteInteger(Section(), indexKey, box.ItemIndex);
    if (box.ItemIndex < 0) return;
    if (auto mapped = map(box.Items[static_cast<size_t>(box.ItemIndex)]))
        store.WriteString(Section(), valueKey, *mapped);
}

void TParameterBoxes::cmbVideoEncoderChange() {
    StoreIndexAndMapped(cmbVideoEncoder, "iVideoEncoder", "paraVideoEncoder", MapVideoEncoder);
    if (cmbVideoEncoder.ItemIndex >= 0 &&
        IsH264EncoderItem(cmbVideoEncoder.Items[static_cast<size_t>(cmbVideoEncoder.ItemIndex)]))
        CopyH264Keys();
}

void TParameterBoxes::CopyH264Keys() {
    IniFile format = FormatIni();
    IniFile store = Store();
    const std::string section = Section();
    try {
        for (const char* key : kH264Keys) {
            std::string value = format.ReadString(section, key, "");
            bool take;
            if (EqualsNoCase(key, "paraBitExact")) {
                take = ToLowerAscii(value) == "true";
            } else {
                if (value.empty()) continue;
                int n;
                if (!TryParseInteger(value, n))
                    throw std::invalid_argument("'" + value + "' is not a valid integer value");
                take = EqualsNoCase(key, "paraCoder") ? n >= 0 : n > 0;
            }
            if (take) store.WriteString(section, key, value);
        }
    } catch (...) {
        // A hand-edited format file: shown like any conversion error, the copy ends here.
        ReportException(std::current_exception(), GlobalObject().Title());
    }
}

bool TParameterBoxes::CheckNumberBox(TComboModel& box, bool allowDecimal, const char* message) {
    const std::string& t = box.Text;
    if (t == kAsSource || IsIntegerText(t) || (allowDecimal && IsNumberText(t))) return true;
    ShowWarning(message);
    if (box.Items.size() > 1) box.Select(1);
    return false;
}

void TParameterBoxes::cmbVideoBitRateChange() {
    if (!CheckNumberBox(cmbVideoBitRate, false, "Video BitRate is not a valid value!")) return;
    StoreIndexAndText(cmbVideoBitRate, "iVideoBitRate", "paraVideoBitRate");
}

void TParameterBoxes::cmbSamplerateChange() {
    if (!CheckNumberBox(cmbSamplerate, false, "Audio SampleRate is not a valid value!")) return;
    StoreIndexAndText(cmbSamplerate, "iSampleRate", "paraSampleRate");
}

void TParameterBoxes::cmbAudioBitRateChange() {
    if (!CheckNumberBox(cmbAudioBitRate, true, "Audio BitRate is not a valid value!")) return;
    StoreIndexAndText(cmbAudioBitRate, "iAudioBitRate", "paraAudioBitRate");
}

void TParameterBoxes::cmbFrameRateChange() {
    StoreIndexAndText(cmbFrameRate, "iFrameRate", "paraFrameRate");
}

void TParameterBoxes::cmbZoomChange() {
    int i = cmbZoom.ItemIndex;
    if (i >= 0 && i < 3) Store().WriteString(Section(), "paraZoom", kZoomValues[i]);
}

void TParameterBoxes::cmbVideoSizeSelect() {
    StoreIndexAndText(cmbVideoSize, "iVideoSize", "paraVideoSize");
}

bool TParameterBoxes::CheckVideoSize() {
    const std::string s = cmbVideoSize.Text;
    auto fail = [&] {
        ShowWarning("Frame Size is not a valid value!");
        if (cmbVideoSize.Items.size() > 1) cmbVideoSize.Select(1);
        return false;
    };
    size_t x = s.rfind('x');
    int w, h;
    if (x == std::string::npos || !TryParseInteger(s.substr(0, x), w) || !TryParseInteger(s.substr(x + 1), h))
        return fail();
    if (w % 2 != 0 || h % 2 != 0 || w == 0 || h == 0) {
        int w2 = (w / 2) * 2, h2 = (h / 2) * 2;
        if (w2 == 0) w2 = 2;
        if (h2 == 0) h2 = 2;
        std::string corrected = std::to_string(w2) + "x" + std::to_string(h2);
        CurrentPrompts().Show("Input Error!",
                              "Frame Size must be a multiple of 2.\nThe correct value:" + corrected,
                              PromptButtons::OK, PromptIcon::Warning);
        cmbVideoSize.SetText(corrected);
    }
    return true;
}

void TParameterBoxes::cmbVideoSizeExit() {
    int i = cmbVideoSize.IndexOf(cmbVideoSize.Text);
    if (i < 0) i = 0;
    if (ToLowerAscii(cmbVideoSize.Text).find(kAsSource) != std::string::npos) return;
    if (!CheckVideoSize()) return;
    IniFile store = Store();
    store.WriteInteger(Section(), "iVideoSize", i);
    store.WriteString(Section(), "paraVideoSize", cmbVideoSize.Text);
}

void TParameterBoxes::cmbAudioEncoderChange() {
    StoreIndexAndMapped(cmbAudioEncoder, "iAudioEncoder", "paraAudioEncoder", MapAudioEncoder);
}

void TParameterBoxes::cmbChannelChange() { StoreIndexAndMapped(cmbChannel, "iChannel", "paraChannel", MapChannel); }

void TParameterBoxes::cmbVolumeChange() { StoreIndexAndMapped(cmbVolume, "iVolume", "paraVolume", MapVolume); }

bool TParameterBoxes::cmbVideoSizeKeyPress(char key) {
    if (key == '\b' || (key >= '0' && key <= '9')) return true;
    if (key == 'x' && cmbVideoSize.Text.find('x') == std::string::npos) return true;
    if (OnBeep) OnBeep();
    return false;
}

bool TParameterBoxes::NumericKeyPress(char key) {
    if (key == '\b' || (key >= '0' && key <= '9')) return true;
    ShowWarning("Please enter numerical.");
    if (OnBeep) OnBeep();
    return false;
}

void TParameterBoxes::TypeKey(TComboModel& box, char key) {
    bool size = &box == &cmbVideoSize;
    if (!(size ? cmbVideoSizeKeyPress(key) : NumericKeyPress(key))) return;
    std::string text = box.Text;
    if (key == '\b') {
        if (!text.empty()) text.pop_back();
    } else {
        text += key;
    }
    box.SetText(text);
    if (&box == &cmbVideoBitRate) cmbVideoBitRateChange();
    else if (&box == &cmbSamplerate) cmbSamplerateChange();
    else if (&box == &cmbAudioBitRate) cmbAudioBitRateChange();
    // The size box is checked when it is left.
}

void TParameterBoxes::PickItem(TComboModel& box, int i) {
    box.Select(i);
    if (&box == &cmbVideoSize) cmbVideoSizeSelect();
    else if (&box == &cmbVideoEncoder) cmbVideoEncoderChange();
    else if (&box == &cmbVideoBitRate) cmbVideoBitRateChange();
    else if (&box == &cmbFrameRate) cmbFrameRateChange();
    else if (&box == &cmbZoom) cmbZoomChange();
    else if (&box == &cmbSamplerate) cmbSamplerateChange();
    else if (&box == &cmbAudioEncoder) cmbAudioEncoderChange();
    else if (&box == &cmbChannel) cmbChannelChange();
    else if (&box == &cmbAudioBitRate) cmbAudioBitRateChange();
    else if (&box == &cmbVolume) cmbVolumeChange();
}

void TParameterBoxes::SelectFormatDefaults(const IniFile& format) {
    const std::string section = Section();
    struct Default {
        TComboModel& box;
        const char* key;
    } defaults[] = {{cmbVideoSize, "iVideoSize"},     {cmbVideoBitRate, "iVideoBitRate"},
                    {cmbFrameRate, "iFrameRate"},     {cmbVideoEncoder, "iVideoEncoder"},
                    {cmbAudioBitRate, "iAudioBitRate"}, {cmbSamplerate, "iSampleRate"},
                    {cmbChannel, "iChannel"},         {cmbVolume, "iVolume"},
                    {cmbAudioEncoder, "iAudioEncoder"}};
    for (auto& d : defaults) d.box.Select(format.ReadInteger(section, d.key, 0));
    cmbZoom.Select(0);
}

void TParameterBoxes::btnDefaultClick() {
    IniFile format = FormatIni();
    const std::string section = Section();
    struct Reloaded {
        TComboModel& box;
        const char* key;
        bool emptyIsNull;
    } reloaded[] = {{cmbVideoSize, "VideoSize", false},
                    {cmbVideoBitRate, "VideoBitRate", false},
                    {cmbAudioBitRate, "AudioBitRate", true},
                    {cmbSamplerate, "SampleRate", true}};
    for (auto& r : reloaded) {
        std::string list = format.ReadString(section, r.key, kNull);
        r.box.SetItems(ParseChoiceList(list));
        r.box.Enabled = list != kNull && !(r.emptyIsNull && list.empty());
    }
    SelectFormatDefaults(format);

    // A box the format does not offer (disabled) has nothing to check: checking its empty
    // text would only complain about a box the user cannot edit.
    cmbVideoEncoderChange();
    if (cmbVideoSize.Enabled) cmbVideoSizeExit();
    cmbFrameRateChange();
    if (cmbVideoBitRate.Enabled) cmbVideoBitRateChange();
    cmbZoomChange();
    cmbAudioEncoderChange();
    if (cmbAudioBitRate.Enabled) cmbAudioBitRateChange();
    if (cmbSamplerate.Enabled) cmbSamplerateChange();
    cmbChannelChange();
    cmbVolumeChange();
    // The checks let "as source" pass without storing it. As a format's default it must be
    // stored, or the builder would use its fallback instead: a question about a broken
    // frame size, or 512 kbit/s.
    IniFile store = Store();
    for (auto [box, key] : {std::pair{&cmbVideoSize, "paraVideoSize"}, std::pair{&cmbVideoBitRate, "paraVideoBitRate"}})
        if (box->Enabled && box->Text == kAsSource) store.WriteString(section, key, kAsSource);
}

bool EnsureProfileDefaults(const std::string& code) {
    const std::string section = FormatSection(code);
    if (!FormatIni().SectionExists(section)) return false;
    for (const std::string& key : SettingsIni().ReadSection(section)) {
        for (const char* k : kStoredChoiceKeys)
            if (EqualsNoCase(key, k)) return false;
        for (const char* k : kH264Keys)
            if (EqualsNoCase(key, k)) return false;
    }
    TParameterBoxes boxes;
    boxes.CurrentFormatCode = code;
    boxes.FillLists();
    boxes.btnDefaultClick();
    return true;
}

}  // namespace vexlo
