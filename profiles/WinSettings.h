#pragma once
// The profile settings window: one format's ten parameters, stored only on OK.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "profiles/FormatPicker.h"
#include "profiles/ProfileSettings.h"

namespace vexlo::gui {

class TPickerList;
class TParameterGroups;

class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSettings(QWidget* parent = nullptr);

    TProfileSettings Profile;
    TFormatPicker FormatPicker{false};

    QLineEdit* edt1;
    QToolButton* imgbtn1;
    TPickerList* lst1;
    TParameterGroups* Boxes;
    QPushButton *btnDefault, *btnOk, *btnCancel;

    void btnDefaultClick();
    void btnOkClick();
    void btnCancelClick();
    void TogglePicker();
    void PlacePicker();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    bool LeaveBox(QWidget* box);
};

}  // namespace vexlo::gui
