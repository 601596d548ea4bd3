#pragma once
// The profile settings window without its widgets: it edits one format's ten parameters
// and stores nothing until Store, which writes the whole profile and makes that format
// the current one.
#include <string>

#include "profiles/ParameterBoxes.h"

namespace vexlo {

class TProfileSettings {
public:
    TProfileSettings();

    // The boxes' lists and selections; their own change handlers are not used here.
    TParameterBoxes Boxes;
    std::string CurrentFormatCode;
    std::string CurrentFormatName;

    // Every opening: the stored current profile, its lists and its stored choices.
    void Open();
    // A format picked in the window's picker: lists and stored indices of that format.
    void SwitchFormat(const std::string& code, const std::string& name);
    // The format file's default choices in every box and "Full screen"; nothing stored.
    void btnDefaultClick();

    // Checks on leaving an editable box; false when a message was shown. Nothing stored.
    bool cmbVideoSizeExit();
    bool cmbVideoBitRateExit();
    bool cmbAudioBitRateExit();
    bool cmbSamplerateExit();

    // Writes the profile of CurrentFormatCode and makes it the current profile (without
    // the picker's collapsed state, which the window saves).
    void Store();

private:
    void LoadLists();
    void SelectStored(bool indicesOnly);
};

}  // namespace vexlo
