#include "app/WinCover.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

#include "app/GlobalUnit.h"
#include "app/gui/Icons.h"
#include "platform/Paths.h"

namespace vexlo::gui {

namespace {

// The cover drawn when the installation carries no cover picture.
QPixmap DrawnCover() {
    QPixmap pm(420, 240);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, pm.height());
    g.setColorAt(0, QColor(0x2A, 0x5C, 0xA8));
    g.setColorAt(1, QColor(0x0E, 0x24, 0x4E));
    p.fillRect(pm.rect(), g);
    p.setPen(QColor(255, 255, 255, 40));
    for (int i = 0; i < 6; ++i) p.drawEllipse(QPointF(340, 60), 40.0 + i * 26, 40.0 + i * 26);
    for (int i = 0; i < 6; ++i) p.drawPixmap(24 + i * 26, 30, CategoryIcon(i));
    p.setPen(Qt::white);
    QFont f = QApplication::font();
    f.setPixelSize(26);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(24, 80, 380, 70), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               QString::fromStdString(kProductTitle));
    f.setPixelSize(13);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(0xD0, 0xE0, 0xF8));
    p.drawText(QRect(24, 150, 380, 20), Qt::AlignLeft,
               QStringLiteral("Version") + QString::fromStdString(GlobalObject().VersionText()));
    p.drawText(QRect(24, 200, 380, 20), Qt::AlignLeft, QStringLiteral("Loading..."));
    p.setPen(QColor(0x7F, 0x9D, 0xB9));
    p.setBrush(Qt::NoBrush);
    p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
    return pm;
}

}  // namespace

TfrmCover::TfrmCover(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("frmCover");
    for (const char* name : {"skin/videocover.jpg", "skin/mobilecover.jpg"}) {
        std::string path = ProgramFolder() + name;
        QPixmap pm;
        if (FileExists(path) && pm.load(QString::fromStdString(path))) picture_ = pm;
    }
    if (picture_.isNull()) picture_ = DrawnCover();
    setFixedSize(picture_.size());
    tmr1.setInterval(1000);
    connect(&tmr1, &QTimer::timeout, this, &TfrmCover::tmr1Timer);
}

void TfrmCover::ShowNow() {
    if (QScreen* screen = QApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    show();
    repaint();
    tmr1.start();
}

void TfrmCover::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}

void TfrmCover::tmr1Timer() {
    if (mainForm_ && mainForm_->isVisible()) {
        tmr1.stop();
        close();
    }
}

}  // namespace vexlo::gui
