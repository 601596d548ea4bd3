#include "profiles/WinSettings.h"

#include <QLabel>
#include <QMouseEvent>
#include <QShowEvent>

#include "profiles/gui/ParameterGroups.h"
#include "profiles/gui/PickerList.h"

namespace vexlo::gui {

namespace {
constexpr int kPickerCap = 247;
}

TfrmSettings::TfrmSettings(QWidget* parent) : QDialog(parent) {
    setObjectName("frmSettings");
    setWindowTitle("Settings");
    setModal(true);
    setFixedSize(475, 370);

    auto* lbl = new QLabel("Output Format:", this);
    lbl->setGeometry(10, 12, 96, 22);
    auto [formatBox, dropButton] = MakeFormatBox(this, QRect(108, 12, 357, 22), this);
    edt1 = formatBox;
    imgbtn1 = dropButton;

    Boxes = new TParameterGroups(Profile.Boxes, TParameterGroups::TMode::EditOnly, this);
    Boxes->grpbxVideo->setGeometry(10, 46, 455, 126);
    Boxes->grpbxAudio->setGeometry(10, 180, 455, 126);
    Boxes->OnLeave = [this](QComboBox* box) { return LeaveBox(box); };

    btnDefault = new QPushButton("&Default", this);
    btnDefault->setObjectName("btnDefault");
    btnDefault->setGeometry(10, 326, 86, 26);
    btnOk = new QPushButton("&Ok", this);
    btnOk->setObjectName("btnOk");
    btnOk->setGeometry(283, 326, 86, 26);
    btnOk->setDefault(true);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(379, 326, 86, 26);

    lst1 = new TPickerList(FormatPicker, this);
    lst1->setObjectName("lst1");
    lst1->hide();
    new TPickerCloser(lst1, {edt1, imgbtn1}, this);

    connect(imgbtn1, &QToolButton::clicked, this, &TfrmSettings::TogglePicker);
    connect(btnDefault, &QPushButton::clicked, this, &TfrmSettings::btnDefaultClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrmSettings::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmSettings::btnCancelClick);
    connect(lst1, &TPickerList::Clicked, this, &TfrmSettings::PlacePicker);
    connect(lst1, &TPickerList::Picked, this, [this](const QString& code, const QString& name) {
        lst1->hide();
        edt1->setText(name);
        Profile.SwitchFormat(code.toStdString(), name.toStdString());
        Boxes->Show();
    });
}

void TfrmSettings::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmSettings::FormShow() {
    setFixedSize(475, 370);
    if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
    lst1->hide();
    edt1->setText(QString::fromStdString(FormatPicker.FillFormatList()));
    Profile.Open();
    Boxes->Show();
    lst1->Refresh();
}

void TfrmSettings::PlacePicker() {
    QRect box = edt1->geometry();
    lst1->setGeometry(box.left(), box.bottom() + 1, box.width(),
                      PickerHeight(FormatPicker.RowCount(), kPickerCap));
    lst1->Refresh();
}

void TfrmSettings::TogglePicker() {
    if (lst1->isVisible()) {
        lst1->hide();
        return;
    }
    FormatPicker.SelectByName(Profile.CurrentFormatName);
    PlacePicker();
    lst1->Open();
}

bool TfrmSettings::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edt1 && (event->type() == QEvent::MouseButtonPress ||
                            event->type() == QEvent::MouseButtonDblClick)) {
        TogglePicker();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmSettings::LeaveBox(QWidget* box) {
    if (box == Boxes->cmbVideoSize) return Profile.cmbVideoSizeExit();
    if (box == Boxes->cmbVideoBitRate) return Profile.cmbVideoBitRateExit();
    if (box == Boxes->cmbAudioBitRate) return Profile.cmbAudioBitRateExit();
    if (box == Boxes->cmbSamplerate) return Profile.cmbSamplerateExit();
    return true;
}

void TfrmSettings::btnDefaultClick() {
    Profile.btnDefaultClick();
    Boxes->Show();
}

void TfrmSettings::btnOkClick() {
    Profile.Store();
    FormatPicker.SaveCollapsedState();
    accept();
}

void TfrmSettings::btnCancelClick() { reject(); }

}  // namespace vexlo::gui
