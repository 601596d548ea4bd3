#include "batch/gui/FilesList.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

#include "app/gui/Skins.h"

namespace vexlo::gui {

namespace {

const QColor kSelectedUnfocused(0xE5, 0xEC, 0xF8);
const QColor kFrameUnfocused(0x98, 0xB5, 0xE2);
constexpr int kCheckArea = 16;  // the check box's share of column 0
constexpr int kRowHeight = 19;

}  // namespace

TJobItem::TJobItem(std::unique_ptr<TlvFilesRecord> record) : record_(std::move(record)) {
    // The list toggles the box itself, where it draws it.
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}

TlvFiles::TlvFiles(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("lvFiles");
    setRootIsDecorated(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setAllColumnsShowFocus(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    setHeaderHidden(false);
}

void TlvFiles::BuildColumns() {
    static const struct {
        const char* caption;
        int width;
    } columns[] = {{"Source", 140}, {"Length", 65}, {"Trimmed Length", 90},
                   {"Destination File", 120}, {"Progress", 60}};
    setColumnCount(5);
    QStringList captions;
    for (const auto& c : columns) captions << c.caption;
    setHeaderLabels(captions);
    // Linux fonts run wider than the ones these widths were made for: a column grows until
    // its caption fits.
    const QFontMetrics metrics(header()->font());
    const int padding = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + 4;
    for (int i = 0; i < 5; ++i)
        setColumnWidth(i, std::max(columns[i].width, metrics.horizontalAdvance(columns[i].caption) + padding));
}

TJobItem* TlvFiles::Row(int i) const {
    return i >= 0 && i < Count() ? static_cast<TJobItem*>(topLevelItem(i)) : nullptr;
}

int TlvFiles::Selected() const {
    const auto items = selectedItems();
    return items.isEmpty() ? -1 : indexOfTopLevelItem(items.first());
}

void TlvFiles::SelectRow(int i) {
    TJobItem* row = Row(i);
    if (!row) return;
    setCurrentItem(row);
    row->setSelected(true);
    scrollToItem(row);
}

bool TlvFiles::Contains(const QString& path) const {
    for (int i = 0; i < Count(); ++i)
        if (topLevelItem(i)->text(colSource) == path) return true;
    return false;
}

TJobItem* TlvFiles::AppendRow(std::unique_ptr<TlvFilesRecord> record, qint64 duration,
                              const QString& destinationFileName) {
    const qint64 lengthSeconds = duration > 0 ? duration / 1000000 : 0;
    QString caption = QString::fromStdString(record->SourceFile);
    auto* row = new TJobItem(std::move(record));
    row->setText(colSource, caption);
    row->setText(colLength, QString::number(lengthSeconds));
    row->setText(colTrimmedLength, QString::number(lengthSeconds));
    row->setText(colDestination, destinationFileName);
    row->setText(colProgress, QString());
    row->setToolTip(colSource, caption);
    row->SetChecked(true);
    row->setSizeHint(colSource, QSize(0, kRowHeight));
    addTopLevelItem(row);
    return row;
}

bool TlvFiles::RemoveSelected() {
    int i = Selected();
    if (i < 0) return false;
    delete takeTopLevelItem(i);  // the row's record goes with it
    if (Count() > 0) SelectRow(i < Count() ? i : Count() - 1);
    viewport()->update();
    return true;
}

void TlvFiles::ClearRows() { clear(); }

void TlvFiles::SetAllChecked(bool on) {
    for (int i = 0; i < Count(); ++i) Row(i)->SetChecked(on);
}

void TlvFiles::ReverseCheck() {
    for (int i = 0; i < Count(); ++i) Row(i)->SetChecked(!Row(i)->Checked());
}

void TlvFiles::SetSelectedChecked(bool on) {
    if (TJobItem* row = Row(Selected())) row->SetChecked(on);
}

void TlvFiles::drawRow(QPainter* p, const QStyleOptionViewItem& option,
                       const QModelIndex& index) const {
    const int row = index.row();
    const TJobItem* item = Row(row);
    if (!item) return;
    const bool selected = item->isSelected();
    const bool focused = hasFocus() && currentIndex().row() == row;

    QRect fill = option.rect.adjusted(1, 0, -1, 0);
    QColor background = row % 2 == 1 ? CurrentRowTint() : QColor(Qt::white);
    if (selected) background = focused ? kHighlightFill : kSelectedUnfocused;
    p->save();
    p->fillRect(option.rect, Qt::white);
    p->fillRect(fill, background);

    // Check box, relative to the fill rectangle.
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setPen(QPen(Qt::black, 2));
    p->setBrush(Qt::NoBrush);
    p->drawRect(QRect(QPoint(fill.left() + 2, fill.top() + 2), QPoint(fill.left() + 14, fill.bottom() - 2)));
    if (item->Checked()) {
        p->setRenderHint(QPainter::Antialiasing, true);
        const QPoint mark[] = {{fill.left() + 4, fill.top() + 6},
                               {fill.left() + 6, fill.top() + 11},
                               {fill.left() + 11, fill.top() + 5}};
        p->drawPolyline(mark, 3);
        p->setRenderHint(QPainter::Antialiasing, false);
    }
    p->setPen(QPen(Qt::black, 1));

    // Texts: one line, vertically centred, cut with an ellipsis, aligned as the column.
    const QFontMetrics fm(font());
    for (int c = 0; c < columnCount(); ++c) {
        QRect cell = visualRect(index.sibling(row, c));
        cell.setTop(option.rect.top());
        cell.setBottom(option.rect.bottom());
        if (c == colSource) cell = cell.adjusted(kCheckArea + 3, 0, -3, 0);
        Qt::Alignment align = Qt::Alignment(headerItem()->textAlignment(c)) & Qt::AlignHorizontal_Mask;
        if (!align) align = Qt::AlignLeft;
        p->drawText(cell, int(align | Qt::AlignVCenter | Qt::TextSingleLine),
                    fm.elidedText(item->text(c), Qt::ElideRight, cell.width()));
    }

    if (selected) {
        p->setPen(QPen(focused ? kHighlightFrame : kFrameUnfocused, 1));
        p->drawRect(fill.adjusted(0, 0, -1, -1));
    }
    p->restore();
}

void TlvFiles::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (QTreeWidgetItem* hit = itemAt(event->position().toPoint())) {
            setCurrentItem(hit);
            hit->setSelected(true);
        }
        emit PopupRequested(event->globalPosition().toPoint());
        return;
    }
    QTreeWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    QPoint pos = event->position().toPoint();
    auto* row = static_cast<TJobItem*>(itemAt(pos));
    int left = visualRect(indexFromItem(row, 0)).left();
    if (row && pos.x() >= left && pos.x() < left + kCheckArea + 1) {
        row->SetChecked(!row->Checked());
        viewport()->update();
    }
}

}  // namespace vexlo::gui
