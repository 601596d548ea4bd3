#pragma once
#include <QString>

namespace vexlo::gui {

class TfrmMain;

// Writes PNGs of the progress window in the middle of a real batch of the main window's
// checked rows (which it then cancels), the preferences, about, folder picker and file
// information windows. True when every file was written.
bool WriteBatchScreenshots(TfrmMain& main, const QString& folder);

}  // namespace vexlo::gui
