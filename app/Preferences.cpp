#include "app/Preferences.h"

#include "app/Settings.h"
#include "platform/Paths.h"

namespace vexlo {

TPreferenceValues DefaultPreferences() {
    TPreferenceValues v;
    v.SnapFolder = DefaultOutputFolder();
    return v;
}

void StorePreferences(const TPreferenceValues& values) {
    settings::WriteString("snapOutPutDir", values.SnapFolder.empty() ? DefaultOutputFolder() : values.SnapFolder);
    settings::WriteBool("snapBmp", values.Bmp);
    settings::WriteBool("snapJpg", values.Jpg);
    settings::WriteBool("snapFullSize", values.FullSize);
    settings::WriteBool("snapSmallSize", values.SmallSize);
    if (values.Quality > 0) settings::WriteInteger("jpgCmp", values.Quality);
    settings::WriteInteger("priority", values.Priority);
}

}  // namespace vexlo
