#pragma once
// The program's pictures, drawn in code so that the program needs no image files.
#include <QIcon>
#include <QPixmap>

namespace vexlo::gui {

enum class TIcon {
    Add, Remove, Clear, Edit, Start, Settings, Exit,  // toolbar, 28 x 28
    Play, Pause, Stop, Snapshot, DropDown,            // small buttons, 16 x 16
};

QIcon MakeIcon(TIcon which);
// Category icon i of the running catalogue, 20 x 20.
QPixmap CategoryIcon(int index);
// Expand/collapse glyph: 0 collapsed (plus), 1 expanded (minus); 11 x 11.
QPixmap ExpandGlyph(int glyph);

}  // namespace vexlo::gui
