#include "app/gui/Icons.h"

#include <QPainter>
#include <QPainterPath>

namespace vexlo::gui {

namespace {

QPixmap Canvas(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

void Disc(QPainter& p, QRectF r, QColor c) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, c.lighter(140));
    g.setColorAt(1, c.darker(115));
    p.setPen(QPen(c.darker(150), 1));
    p.setBrush(g);
    p.drawEllipse(r);
}

void Film(QPainter& p, QRectF r) {
    p.setPen(QPen(QColor(0x30, 0x30, 0x38), 1));
    p.setBrush(QColor(0x48, 0x4C, 0x58));
    p.drawRoundedRect(r, 2, 2);
    p.setBrush(QColor(0xF0, 0xF0, 0xF0));
    p.setPen(Qt::NoPen);
    for (qreal x = r.left() + 2; x < r.right() - 2; x += 4) {
        p.drawRect(QRectF(x, r.top() + 1.5, 2, 2));
        p.drawRect(QRectF(x, r.bottom() - 3.5, 2, 2));
    }
    p.setBrush(QColor(0x8C, 0xC8, 0xF0));
    p.drawRect(QRectF(r.left() + 2, r.top() + 5, r.width() - 4, r.height() - 10));
}

void Triangle(QPainter& p, QRectF r, QColor c) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right(), r.center().y());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
}

QPixmap Toolbar(TIcon which) {
    QPixmap pm = Canvas(28);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPen thick(Qt::white, 3, Qt::SolidLine, Qt::RoundCap);
    switch (which) {
        case TIcon::Add:
        case TIcon::Remove:
        case TIcon::Clear: {
            Film(p, QRectF(1.5, 3.5, 20, 17));
            QColor c = which == TIcon::Add ? QColor(0x2E, 0xA0, 0x3A)
                       : which == TIcon::Remove ? QColor(0xD8, 0x40, 0x30)
                                                : QColor(0xE0, 0x8A, 0x10);
            Disc(p, QRectF(13.5, 13.5, 13, 13), c);
            p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
            if (which == TIcon::Clear) {
                p.drawLine(QPointF(17, 17), QPointF(23, 23));
                p.drawLine(QPointF(23, 17), QPointF(17, 23));
            } else {
                p.drawLine(QPointF(16.5, 20), QPointF(23.5, 20));
                if (which == TIcon::Add) p.drawLine(QPointF(20, 16.5), QPointF(20, 23.5));
            }
            break;
        }
        case TIcon::Edit: {
            p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3.5, 2.5, 16, 22));
            p.setPen(QPen(QColor(0xA0, 0xB0, 0xC8), 1));
            for (int y = 7; y < 22; y += 4) p.drawLine(6, y, 17, y);
            p.translate(18, 16);
            p.rotate(45);
            p.setPen(QPen(QColor(0x80, 0x50, 0x10), 1));
            p.setBrush(QColor(0xF2, 0xB6, 0x30));
            p.drawRect(QRectF(-2.5, -11, 5, 15));
            Triangle(p, QRectF(-2.5, 4, 5, 4), QColor(0x50, 0x40, 0x30));
            break;
        }
        case TIcon::Start: {
            Disc(p, QRectF(2.5, 2.5, 23, 23), QColor(0x2E, 0xA0, 0x3A));
            Triangle(p, QRectF(11, 8, 9, 12), Qt::white);
            break;
        }
        case TIcon::Settings: {
            p.translate(14, 14);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x5A, 0x6A, 0x80));
            for (int i = 0; i < 8; ++i) {
                p.drawRect(QRectF(-2.5, -12.5, 5, 6));
                p.rotate(45);
            }
            p.drawEllipse(QPointF(0, 0), 8.5, 8.5);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(0, 0), 3.5, 3.5);
            break;
        }
        case TIcon::Exit: {
            Disc(p, QRectF(2.5, 2.5, 23, 23), QColor(0xC8, 0x38, 0x30));
            p.setPen(thick);
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(8, 8.5, 12, 12), 120 * 16, 300 * 16);
            p.drawLine(QPointF(14, 6.5), QPointF(14, 13.5));
            break;
        }
        default: break;
    }
    return pm;
}

QPixmap Small(TIcon which) {
    QPixmap pm = Canvas(16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QColor ink(0x30, 0x40, 0x58);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    switch (which) {
        case TIcon::Play: Triangle(p, QRectF(4, 2.5, 10, 11), QColor(0x20, 0x90, 0x30)); break;
        case TIcon::Pause:
            p.drawRect(QRectF(3.5, 3, 3.5, 10));
            p.drawRect(QRectF(9, 3, 3.5, 10));
            break;
        case TIcon::Stop: p.setBrush(QColor(0xB8, 0x30, 0x28)); p.drawRect(QRectF(3.5, 3.5, 9, 9)); break;
        case TIcon::Snapshot:
            p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 1.5, 1.5);
            p.drawRect(QRectF(5, 2.5, 5, 3));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(8, 9), 2.8, 2.8);
            break;
        case TIcon::DropDown: Triangle(p, QRectF(4, 5, 8, 7), ink); break;  // drawn pointing right
        default: break;
    }
    if (which == TIcon::DropDown) {  // point it down
        QPixmap down = Canvas(16);
        QPainter q(&down);
        q.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.moveTo(4, 6);
        path.lineTo(12, 6);
        path.lineTo(8, 11);
        path.closeSubpath();
        q.fillPath(path, ink);
        return down;
    }
    return pm;
}

// A handset: body colour, screen colour, and whether it carries a keypad.
void Device(QPainter& p, QColor body, QColor screen, bool keypad, bool wide = false) {
    QRectF r = wide ? QRectF(2.5, 3.5, 15, 13) : QRectF(5.5, 1.5, 9, 17);
    p.setPen(QPen(body.darker(160), 1));
    p.setBrush(body);
    p.drawRoundedRect(r, 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(screen);
    QRectF s = wide ? QRectF(4.5, 5.5, 11, 7) : QRectF(7, 3.5, 6, keypad ? 6 : 11);
    p.drawRect(s);
    if (keypad) {
        p.setBrush(QColor(0xE8, 0xE8, 0xE8));
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) p.drawRect(QRectF(7 + col * 2.2, 11 + row * 2.2, 1.4, 1.4));
    }
}

}  // namespace

QIcon MakeIcon(TIcon which) {
    switch (which) {
        case TIcon::Play:
        case TIcon::Pause:
        case TIcon::Stop:
        case TIcon::Snapshot:
        case TIcon::DropDown: return QIcon(Small(which));
        default: return QIcon(Toolbar(which));
    }
}

QPixmap CategoryIcon(int index) {
    QPixmap pm = Canvas(20);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QColor sky(0x8C, 0xC8, 0xF0);
    switch (index % 8) {
        case 0: Device(p, QColor(0x30, 0x30, 0x34), sky, false); break;              // iPhone
        case 1: Device(p, QColor(0x6A, 0xA8, 0x3A), sky, false); break;              // GPhone
        case 2: Device(p, QColor(0x50, 0x70, 0xA8), sky, true); break;               // phone
        case 3: Device(p, QColor(0x28, 0x28, 0x28), QColor(0xA8, 0xD8, 0xF8), true, true); break;
        case 4: Device(p, QColor(0x1E, 0x50, 0x9A), sky, true); break;               // Nokia
        case 5: Device(p, QColor(0x70, 0x78, 0x88), QColor(0x60, 0xA8, 0xE0), false, true); break;
        case 6: Film(p, QRectF(1.5, 3.5, 17, 13)); break;                            // video
        case 7: {                                                                    // audio
            p.setPen(QPen(QColor(0x8A, 0x2A, 0x90), 2));
            p.drawLine(QPointF(8, 15), QPointF(8, 4));
            p.drawLine(QPointF(8, 4), QPointF(15, 2.5));
            p.drawLine(QPointF(15, 2.5), QPointF(15, 13));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x8A, 0x2A, 0x90));
            p.drawEllipse(QPointF(5.8, 15.5), 3, 2.4);
            p.drawEllipse(QPointF(12.8, 13.5), 3, 2.4);
            break;
        }
    }
    return pm;
}

QPixmap ExpandGlyph(int glyph) {
    QPixmap pm = Canvas(11);
    QPainter p(&pm);
    p.setPen(QColor(0x7A, 0x8A, 0xA0));
    p.setBrush(Qt::white);
    p.drawRect(0, 0, 10, 10);
    p.setPen(QColor(0x20, 0x30, 0x50));
    p.drawLine(2, 5, 8, 5);
    if (glyph == 0) p.drawLine(5, 2, 5, 8);
    return pm;
}

}  // namespace vexlo::gui
