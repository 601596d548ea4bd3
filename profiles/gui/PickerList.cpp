#include "profiles/gui/PickerList.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "app/gui/Icons.h"
#include "app/gui/Skins.h"

namespace vexlo::gui {

namespace {
const QColor kRowFill(0xF6, 0xF7, 0xF8);
const QColor kFormatText(0x00, 0x00, 0x80);
}  // namespace

TPickerList::TPickerList(TFormatPicker& picker, QWidget* parent)
    : QAbstractScrollArea(parent), picker_(picker) {
    viewport()->setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::Box);
    verticalScrollBar()->setSingleStep(kPickerRowHeight);
    setFocusPolicy(Qt::StrongFocus);
}

void TPickerList::Refresh() {
    int total = picker_.RowCount() * kPickerRowHeight;
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, total - viewport()->height()));
    viewport()->update();
}

int TPickerList::RowAt(int y) const {
    int row = (y + verticalScrollBar()->value()) / kPickerRowHeight;
    return y >= 0 && row < picker_.RowCount() ? row : -1;
}

QRect TPickerList::RowRect(int row) const {
    return QRect(0, row * kPickerRowHeight - verticalScrollBar()->value(), viewport()->width(),
                 kPickerRowHeight);
}

void TPickerList::ScrollToSelected() {
    if (picker_.ItemIndex < 0) return;
    QRect r = RowRect(picker_.ItemIndex);
    auto* bar = verticalScrollBar();
    if (r.top() < 0) bar->setValue(bar->value() + r.top());
    else if (r.bottom() > viewport()->height()) bar->setValue(bar->value() + r.bottom() - viewport()->height() + 1);
}

void TPickerList::Open() {
    show();
    raise();
    setFocus();
    ScrollToSelected();
}

TFormatBox MakeFormatBox(QWidget* parent, const QRect& geometry, QObject* filter) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName("edt1");
    edit->setReadOnly(true);
    edit->setCursor(Qt::ArrowCursor);
    edit->setGeometry(geometry);
    edit->setTextMargins(0, 0, 20, 0);
    edit->installEventFilter(filter);
    auto* drop = new QToolButton(edit);
    drop->setObjectName("imgbtn1");
    drop->setIcon(MakeIcon(TIcon::DropDown));
    drop->setCursor(Qt::ArrowCursor);
    drop->setGeometry(geometry.width() - 21, 1, 20, 20);
    return {edit, drop};
}

void TPickerList::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), kRowFill);
    QFont normal = font();
    QFont bold = font();
    bold.setBold(true);
    int first = std::max(0, RowAt(0));
    for (int row = first; row < picker_.RowCount(); ++row) {
        QRect r = RowRect(row);
        if (r.top() > viewport()->height()) break;
        const TPickerRow& item = picker_.Rows[static_cast<size_t>(row)];
        if (row == picker_.ItemIndex) DrawHighlight(p, r);
        QRect text = r.adjusted(0, 2, 0, 0);
        if (item.Info.IsCategory) {
            QPixmap glyph = ExpandGlyph(item.Info.Collapsed ? 0 : 1);
            p.drawPixmap(r.left() + 1 + (18 - glyph.width()) / 2, r.top() + (r.height() - glyph.height()) / 2, glyph);
            QPixmap icon = CategoryIcon(item.Info.Code);
            p.drawPixmap(r.left() + 20, r.top() + (r.height() - icon.height()) / 2, icon);
            p.setFont(bold);
            p.setPen(Qt::black);
            text.setLeft(r.left() + 45);
        } else {
            p.setFont(normal);
            p.setPen(row == picker_.ItemIndex ? QColor(Qt::black) : kFormatText);
            text.setLeft(r.left() + 25);
        }
        p.drawText(text.adjusted(0, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   p.fontMetrics().elidedText(QString::fromStdString(item.Text), Qt::ElideRight,
                                              text.width() - 2));
    }
}

void TPickerList::mouseMoveEvent(QMouseEvent* e) {
    int row = RowAt(e->position().toPoint().y());
    if (row >= 0 && row != picker_.ItemIndex) {
        picker_.MouseMove(row);
        viewport()->update();
    }
}

void TPickerList::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    QPoint pos = e->position().toPoint();
    auto picked = picker_.MouseDown(RowAt(pos.y()), pos.x());
    Refresh();
    emit Clicked();
    if (picked) emit Picked(QString::fromStdString(picked->Code), QString::fromStdString(picked->Name));
}

void TPickerList::mouseDoubleClickEvent(QMouseEvent* e) {
    picker_.DoubleClick(RowAt(e->position().toPoint().y()));
    Refresh();
    emit Clicked();
}

void TPickerList::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    Refresh();
}

TPickerCloser::TPickerCloser(QWidget* list, std::initializer_list<QWidget*> openers, QObject* parent)
    : QObject(parent), list_(list) {
    for (QWidget* w : openers) openers_.emplace_back(w);
    qApp->installEventFilter(this);
}

bool TPickerCloser::eventFilter(QObject* watched, QEvent* event) {
    if (!list_ || !list_->isVisible()) return false;
    if (event->type() == QEvent::ApplicationDeactivate) {
        list_->hide();
    } else if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        bool inside = w == list_ || list_->isAncestorOf(w);
        for (const auto& o : openers_)
            if (o && (w == o || o->isAncestorOf(w))) inside = true;
        if (!inside) list_->hide();
    }
    return false;
}

}  // namespace vexlo::gui
