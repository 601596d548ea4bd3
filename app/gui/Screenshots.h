#pragma once
#include <QString>
#include <QStringList>

namespace vexlo::gui {

// Writes a PNG of every window into folder: the splash, the main window with the given
// files in its list (plain, with the format picker open, in each of the seven skins) and
// the settings window (plain and with its picker open). The windows use `skin`.
// Returns 0 on success.
int WriteScreenshots(const QString& folder, int skin, const QStringList& files);

}  // namespace vexlo::gui
