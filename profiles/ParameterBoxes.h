#pragma once
// The ten parameter boxes of a profile as a model: what each box offers and shows, the
// checks of typed text and what every change stores in the settings file's section of
// the current format. A window binds its controls to the boxes and calls the handlers.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/IniFile.h"

namespace vexlo {

// One drop-down box: its items, the selected item and the text it shows.
struct TComboModel {
    std::vector<std::string> Items;
    int ItemIndex = -1;
    std::string Text;
    bool Enabled = true;
    bool Editable = false;  // accepts typed text

    void SetItems(std::vector<std::string> items);
    // Selects position i; anything outside the list selects nothing and clears the text.
    void Select(int i);
    // Shows text; the selection follows the item of that text, if any.
    void SetText(const std::string& text);
    int IndexOf(const std::string& text) const;
};

extern const char* const kZoomItemsInitial[3];  // "Full screen", "Letterbox", "Pan and Scan"
extern const char* const kZoomItemsMain[3];     // "Full Screen", "Letter Box", "Pan and Scan"

class TParameterBoxes {
public:
    TParameterBoxes();

    // video group
    TComboModel cmbVideoSize, cmbVideoEncoder, cmbVideoBitRate, cmbFrameRate, cmbZoom;
    // audio group
    TComboModel cmbSamplerate, cmbAudioEncoder, cmbChannel, cmbAudioBitRate, cmbVolume;

    // Code of the format whose parameters the boxes show (decimal text).
    std::string CurrentFormatCode = "1";
    // Sounds the system beep; the window installs it.
    std::function<void()> OnBeep;

    // Loads the boxes for CurrentFormatCode (the format box's change event). A format whose
    // settings section holds no stored choice first gets the Default button's values.
    void edt1Change();

    // Change handlers: each stores into the settings file at once.
    void cmbVideoEncoderChange();
    void cmbVideoBitRateChange();
    void cmbFrameRateChange();
    void cmbZoomChange();
    void cmbVideoSizeSelect();
    void cmbVideoSizeExit();
    void cmbSamplerateChange();
    void cmbAudioEncoderChange();
    void cmbAudioBitRateChange();
    void cmbChannelChange();
    void cmbVolumeChange();

    // Key filters of the editable boxes: true when the key may reach the box. Key '\b' is
    // backspace.
    bool cmbVideoSizeKeyPress(char key);
    bool NumericKeyPress(char key);  // cmbVideoBitRate, cmbSamplerate, cmbAudioBitRate

    // Typing one key into an editable box as the user would: the key filter, the new
    // text, then the box's change handler.
    void TypeKey(TComboModel& box, char key);
    // Picking item i of a box from its list, with the box's change handler.
    void PickItem(TComboModel& box, int i);

    // Selects every format-file default and stores them all.
    void btnDefaultClick();

    // Fills the nine list boxes from the format file and applies the group rule.
    void FillLists();
    // Video boxes follow the video encoder box having items, audio boxes the audio one.
    void ApplyGroupRule();

    // The checks of typed text, storing nothing: true when the box's text may be stored.
    // A failed check shows its message and selects item 1 when the box has more than one;
    // the size check may correct the text to even numbers (and then passes).
    bool CheckVideoSize();
    bool CheckNumberBox(TComboModel& box, bool allowDecimal, const char* message);

private:
    std::string Section() const;
    IniFile Store() const;
    void ShowWarning(const std::string& text) const;
    void CopyH264Keys();
    void StoreIndexAndText(const TComboModel& box, const char* indexKey, const char* valueKey);
    // Stores the index and, when the item maps to one, the engine's value.
    void StoreIndexAndMapped(const TComboModel& box, const char* indexKey, const char* valueKey,
                             std::optional<std::string> (*map)(const std::string&));
    void SelectFormatDefaults(const IniFile& format);
};

// Writes the Default button's values for the format when its settings section holds none
// of the keys that button stores and the format file has a section for it. Returns true
// when it wrote.
bool EnsureProfileDefaults(const std::string& code);

}  // namespace vexlo
