#pragma once
// The About window: title, version and the home page link.
#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace vexlo::gui {

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);
    QLabel* lblTitle;
    QLabel* lblHomePage;  // opens the home page when clicked
    QPushButton* btnOk;
    void lblHomePageClick();

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace vexlo::gui
