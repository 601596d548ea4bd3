#pragma once
// Preferences: the snapshot folder, sizes, formats and JPEG quality, and the priority of
// conversions.
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <functional>
#include <string>

#include "app/Preferences.h"

namespace vexlo::gui {

class TfrmPreference : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPreference(QWidget* parent = nullptr);

    // Asks for a folder (the folder picker by default); "" when none was chosen.
    std::function<std::string(const std::string& current)> BrowseFolder;

    QLineEdit* edtSnapDirectory;
    QPushButton *btnBrows, *btnOpen;
    QCheckBox *ckFullSize, *ckSmallSize, *ckBmp, *ckJpg;
    QSpinBox* spedCmp;
    QSlider* trcCmp;
    QGroupBox* rdGrpPriority;
    QButtonGroup* PriorityItems;  // ids 0..3
    QPushButton *btnOk, *btnCancel, *btnDefault;

    void btnBrowsClick();
    void btnOpenClick();
    void btnDefaultClick();
    void btnOkClick();
    // The controls' values as Ok would store them.
    TPreferenceValues Values() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetValues(const TPreferenceValues& v);
    // Keeps one box of a pair checked.
    void KeepOneChecked(QCheckBox* changed, QCheckBox* other);
};

}  // namespace vexlo::gui
