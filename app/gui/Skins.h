#pragma once
// The seven built-in skins: a palette and a style sheet each, applied to the whole
// application so that every window takes the main window's skin, and the tint of the job
// list's odd rows.
#include <QColor>
#include <QRect>

class QPainter;

namespace vexlo::gui {

struct TSkin {
    const char* Caption;   // "Default", "Gray", ...
    const char* MenuName;  // Skin11 ... Skin71
    QColor Face;           // window background
    QColor Accent;         // selection, group captions, hot buttons
    QColor Frame;          // control borders
    QColor RowTint;        // odd rows of the job list
};

constexpr int kSkinCount = 7;
const TSkin& Skin(int index);

// Applies skin `index` (0..6) to the application; other values change nothing and
// return false.
bool ApplySkin(int index);
// The skin in effect (0 until another one is applied).
int CurrentSkin();
QColor CurrentRowTint();

// The light-blue highlight of the owner-drawn lists, the same in every skin.
extern const QColor kHighlightFill;   // #B9CCEC
extern const QColor kHighlightFrame;  // #7AA0DA
// Fills an item's rectangle inside a 2 px inset with the highlight and frames it.
void DrawHighlight(QPainter& p, const QRect& item);

}  // namespace vexlo::gui
