#pragma once
// The format picker list: draws the rows of a TFormatPicker and forwards the mouse to it.
#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>

#include "profiles/FormatPicker.h"

namespace vexlo::gui {

class TPickerList : public QAbstractScrollArea {
    Q_OBJECT
public:
    TPickerList(TFormatPicker& picker, QWidget* parent = nullptr);

    TFormatPicker& Picker() { return picker_; }
    // After the rows changed: scroll range and picture.
    void Refresh();
    int RowAt(int y) const;
    // Rectangle of a row in the list's viewport.
    QRect RowRect(int row) const;
    void ScrollToSelected();
    // Shows the list raised and focused, with the selected row in view.
    void Open();

signals:
    // A format row was pressed; the picker has already taken it.
    void Picked(const QString& code, const QString& name);
    // After every click inside the list.
    void Clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    TFormatPicker& picker_;
};

// The read-only format box that opens a picker, with its drop button at the right end;
// mouse presses on the box go to filter.
struct TFormatBox {
    QLineEdit* edit;
    QToolButton* drop;
};
TFormatBox MakeFormatBox(QWidget* parent, const QRect& geometry, QObject* filter);

// Closes a picker list when the mouse is pressed on any widget other than the list and
// its openers, and when the application loses activation.
class TPickerCloser : public QObject {
public:
    TPickerCloser(QWidget* list, std::initializer_list<QWidget*> openers, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> list_;
    std::vector<QPointer<QWidget>> openers_;
};

}  // namespace vexlo::gui
