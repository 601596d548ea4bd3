#pragma once
// The values the Preference window edits, as stored in section "settings".
#include <string>

namespace vexlo {

struct TPreferenceValues {
    std::string SnapFolder;
    bool FullSize = true, SmallSize = false, Bmp = true, Jpg = false;
    int Quality = 20;   // JPEG, 1..100
    int Priority = 1;   // index into kPriorityLabels
};

// What "&Default" puts into the window (it writes nothing).
TPreferenceValues DefaultPreferences();

// What "&Ok" writes: the default folder for an empty one; the quality only when above 0.
void StorePreferences(const TPreferenceValues& values);

}  // namespace vexlo
