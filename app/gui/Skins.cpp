#include "app/gui/Skins.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyleFactory>

namespace vexlo::gui {

namespace {

const TSkin kSkins[kSkinCount] = {
    {"Default", "Skin11", QColor(0xD6, 0xDF, 0xF2), QColor(0x3A, 0x6E, 0xB5), QColor(0x7F, 0x9D, 0xB9), QColor(0xE2, 0xE6, 0xF6)},
    {"Gray", "Skin21", QColor(0xDE, 0xDE, 0xDE), QColor(0x5E, 0x5E, 0x5E), QColor(0x9A, 0x9A, 0x9A), QColor(0xEC, 0xEC, 0xEC)},
    {"Orange", "Skin31", QColor(0xF8, 0xE2, 0xC0), QColor(0xD9, 0x6C, 0x00), QColor(0xC8, 0x9A, 0x60), QColor(0xF8, 0xF2, 0xE0)},
    {"Purple", "Skin41", QColor(0xEC, 0xD6, 0xEA), QColor(0x86, 0x3A, 0x8C), QColor(0xB0, 0x88, 0xB2), QColor(0xF6, 0xE6, 0xF1)},
    {"Red", "Skin51", QColor(0xF2, 0xD2, 0xD2), QColor(0xB0, 0x26, 0x26), QColor(0xC4, 0x86, 0x86), QColor(0xF7, 0xE1, 0xE1)},
    {"Green", "Skin61", QColor(0xD6, 0xED, 0xD4), QColor(0x2B, 0x86, 0x34), QColor(0x86, 0xB4, 0x84), QColor(0xE2, 0xF7, 0xE1)},
    {"Light blue", "Skin71", QColor(0xD2, 0xE9, 0xF5), QColor(0x1E, 0x88, 0xC0), QColor(0x7C, 0xB0, 0xCC), QColor(0xE1, 0xF0, 0xF7)},
};

int g_current = 0;

QPalette PaletteOf(const TSkin& s) {
    QPalette p;
    p.setColor(QPalette::Window, s.Face);
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, s.RowTint);
    p.setColor(QPalette::Button, s.Face.lighter(104));
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::Highlight, s.Accent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Light, Qt::white);
    p.setColor(QPalette::Midlight, s.Face.lighter(108));
    p.setColor(QPalette::Mid, s.Frame);
    p.setColor(QPalette::Dark, s.Frame.darker(130));
    p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
    p.setColor(QPalette::ToolTipText, Qt::black);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x8A, 0x8A, 0x8A));
    return p;
}

QString StyleSheetOf(const TSkin& s) {
    auto c = [](const QColor& col) { return col.name(); };
    QString face = c(s.Face), accent = c(s.Accent), frame = c(s.Frame);
    QString top = c(s.Face.lighter(112)), bottom = c(s.Face.darker(106));
    QString hot = c(s.Accent.lighter(185)), pressed = c(s.Accent.lighter(160));
    QString caption = c(s.Accent.darker(115));
    return QString(R"(
QMainWindow, QDialog { background: %1; }
QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %4, stop:1 %1);
           border-bottom: 1px solid %3; }
QMenuBar::item { padding: 3px 9px; background: transparent; }
QMenuBar::item:selected, QMenuBar::item:pressed { background: %2; color: white; }
QMenu { background: white; border: 1px solid %3; padding: 2px; }
QMenu::item { padding: 4px 22px 4px 26px; }
QMenu::item:selected { background: %6; color: black; }
QMenu::item:disabled { color: #9a9a9a; }
QMenu::separator { height: 1px; background: %3; margin: 3px 4px 3px 26px; }
QGroupBox { border: 1px solid %3; border-radius: 4px; margin-top: 9px; background: %4; }
QGroupBox::title { subcontrol-origin: margin; left: 9px; padding: 0 4px; color: %8;
                   font-weight: bold; }
QPushButton { border: 1px solid %3; border-radius: 3px; padding: 2px 10px;
              background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 %5); }
QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 %6); }
QPushButton:pressed { background: %7; }
QPushButton:disabled { color: #9a9a9a; background: %1; }
QToolButton { border: 1px solid transparent; border-radius: 3px; padding: 1px; }
QToolButton:hover { border: 1px solid %3;
                    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 %6); }
QToolButton:pressed { background: %7; }
QToolButton:disabled { color: #9a9a9a; }
QHeaderView::section { padding: 2px 2px; border: none; border-right: 1px solid %3;
    border-bottom: 1px solid %3;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 %5); }
QTreeView, QListView, QPlainTextEdit { border: 1px solid %3; background: white; }
QLineEdit { border: 1px solid %3; padding: 1px 3px; }
QComboBox { border: 1px solid %3; border-radius: 2px; padding: 1px 4px; background: white; }
QComboBox:disabled { background: %1; color: #8a8a8a; }
QComboBox QAbstractItemView { border: 1px solid %3; background: white; }
QSlider::groove:horizontal { height: 4px; background: white; border: 1px solid %3;
                             border-radius: 2px; }
QSlider::sub-page:horizontal { background: %2; border-radius: 2px; }
QSlider::handle:horizontal { width: 10px; margin: -6px 0; border: 1px solid %3;
    border-radius: 3px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 %5); }
QSlider::groove:horizontal:disabled { background: %1; }
QSlider::sub-page:horizontal:disabled { background: %3; }
)")
        .arg(face, accent, frame, top, bottom, hot, pressed, caption);
}

}  // namespace

const QColor kHighlightFill(0xB9, 0xCC, 0xEC);
const QColor kHighlightFrame(0x7A, 0xA0, 0xDA);

void DrawHighlight(QPainter& p, const QRect& item) {
    QRect inner = item.adjusted(2, 2, -2, -2);
    p.fillRect(inner, kHighlightFill);
    p.setPen(kHighlightFrame);
    p.drawRect(inner.adjusted(0, 0, -1, -1));
}

const TSkin& Skin(int index) { return kSkins[index]; }

bool ApplySkin(int index) {
    if (index < 0 || index >= kSkinCount) return false;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) return false;
    if (QStyle* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(fusion);
    QApplication::setPalette(PaletteOf(kSkins[index]));
    app->setStyleSheet(StyleSheetOf(kSkins[index]));
    g_current = index;
    return true;
}

int CurrentSkin() { return g_current; }
QColor CurrentRowTint() { return kSkins[g_current].RowTint; }

}  // namespace vexlo::gui
