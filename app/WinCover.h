#pragma once
// The splash window shown while the program starts.
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace vexlo::gui {

class TfrmCover : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCover(QWidget* parent = nullptr);

    // The window whose showing closes the splash.
    void SetMainForm(QWidget* mainForm) { mainForm_ = mainForm; }
    // Shows the window centred on the screen and paints it at once.
    void ShowNow();
    const QPixmap& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void tmr1Timer();
    QPixmap picture_;
    QPointer<QWidget> mainForm_;
    QTimer tmr1;
};

}  // namespace vexlo::gui
