#pragma once
// The job list `lvFiles`: one checked row per source file, each owning its job record,
// drawn row by row with the skin's tints.
#include <QTreeWidget>
#include <memory>

#include "batch/JobRecord.h"

namespace vexlo::gui {

// A row of the list; it owns the job's record for as long as it exists.
class TJobItem : public QTreeWidgetItem {
public:
    explicit TJobItem(std::unique_ptr<TlvFilesRecord> record);
    TlvFilesRecord& Record() { return *record_; }
    const TlvFilesRecord& Record() const { return *record_; }
    bool Checked() const { return checkState(0) == Qt::Checked; }
    void SetChecked(bool on) { setCheckState(0, on ? Qt::Checked : Qt::Unchecked); }

private:
    std::unique_ptr<TlvFilesRecord> record_;
};

class TlvFiles : public QTreeWidget {
    Q_OBJECT
public:
    enum TColumn { colSource, colLength, colTrimmedLength, colDestination, colProgress };

    explicit TlvFiles(QWidget* parent = nullptr);

    // The five columns: "Source", "Length", "Trimmed Length", "Destination File", "Progress".
    void BuildColumns();

    int Count() const { return topLevelItemCount(); }
    TJobItem* Row(int i) const;
    // Index of the selected row, -1 for none.
    int Selected() const;
    // Selects row i and gives it the focus.
    void SelectRow(int i);
    // True when a row's caption is exactly path (letter case counts).
    bool Contains(const QString& path) const;

    // Appends a checked row for the record. The lengths show the source's duration (µs)
    // in whole seconds, 0 when it is unknown (negative).
    TJobItem* AppendRow(std::unique_ptr<TlvFilesRecord> record, qint64 duration,
                        const QString& destinationFileName);
    // Deletes the selected row with its record and selects the row now at its place, or
    // the new last row. False when no row was selected.
    bool RemoveSelected();
    void ClearRows();

    void SetAllChecked(bool on);
    void ReverseCheck();
    void SetSelectedChecked(bool on);

signals:
    // A right-button press on the list, at this screen position.
    void PopupRequested(const QPoint& globalPos);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace vexlo::gui
