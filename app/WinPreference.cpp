#include "app/WinPreference.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/Settings.h"
#include "app/WinDirectory.h"
#include "platform/Shell.h"

namespace vexlo::gui {

namespace {
const char* const kPriorityLabels[] = {"Idle", "Normal", "Lower", "Lowest"};
}

TfrmPreference::TfrmPreference(QWidget* parent) : QDialog(parent) {
    setObjectName("frmPreference");
    setWindowTitle("Preference");
    setFixedSize(480, 390);
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    auto* folder = new QHBoxLayout;
    folder->addWidget(new QLabel("Snapshot folder:", this));
    edtSnapDirectory = new QLineEdit(this);
    edtSnapDirectory->setObjectName("edtSnapDirectory");
    edtSnapDirectory->setReadOnly(true);
    QPalette pal = edtSnapDirectory->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Midlight));  // the 3-D light face
    edtSnapDirectory->setPalette(pal);
    folder->addWidget(edtSnapDirectory, 1);
    btnBrows = new QPushButton("&Brows", this);
    btnBrows->setObjectName("btnBrows");
    btnOpen = new QPushButton("&Open", this);
    btnOpen->setObjectName("btnOpen");
    folder->addWidget(btnBrows);
    folder->addWidget(btnOpen);
    layout->addLayout(folder);

    auto pair = [&](const char* title, QCheckBox*& a, const char* aName, const char* aCaption, QCheckBox*& b,
                    const char* bName, const char* bCaption) {
        auto* group = new QGroupBox(title, this);
        auto* row = new QHBoxLayout(group);
        a = new QCheckBox(aCaption, group);
        a->setObjectName(aName);
        b = new QCheckBox(bCaption, group);
        b->setObjectName(bName);
        row->addWidget(a);
        row->addWidget(b);
        layout->addWidget(group);
    };
    pair("Snapshot size:", ckFullSize, "ckFullSize", "Full Size", ckSmallSize, "ckSmallSize", "Small Size");
    pair("Snapshot format:", ckBmp, "ckBmp", "BMP", ckJpg, "ckJpg", "JPG");

    auto* quality = new QGridLayout;
    quality->addWidget(new QLabel("Jpg Compression Quality:", this), 0, 0);
    spedCmp = new QSpinBox(this);
    spedCmp->setObjectName("spedCmp");
    spedCmp->setRange(1, 100);
    quality->addWidget(spedCmp, 0, 1);
    trcCmp = new QSlider(Qt::Horizontal, this);
    trcCmp->setObjectName("trcCmp");
    trcCmp->setRange(1, 100);
    quality->addWidget(trcCmp, 1, 0, 1, 2);
    quality->addWidget(new QLabel("(The higher the value, the better the image quality.)", this), 2, 0, 1, 2);
    layout->addLayout(quality);

    rdGrpPriority = new QGroupBox("Work priority", this);
    rdGrpPriority->setObjectName("rdGrpPriority");
    auto* items = new QHBoxLayout(rdGrpPriority);
    PriorityItems = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto* item = new QRadioButton(kPriorityLabels[i], rdGrpPriority);
        PriorityItems->addButton(item, i);
        items->addWidget(item);
    }
    layout->addWidget(rdGrpPriority);

    auto* buttons = new QHBoxLayout;
    btnDefault = new QPushButton("&Default", this);
    btnDefault->setObjectName("btnDefault");
    btnOk = new QPushButton("&Ok", this);
    btnOk->setObjectName("btnOk");
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    buttons->addWidget(btnDefault);
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);

    BrowseFolder = [this](const std::string& current) { return TfmDirectory::Choose(this, current); };

    connect(btnBrows, &QPushButton::clicked, this, &TfrmPreference::btnBrowsClick);
    connect(btnOpen, &QPushButton::clicked, this, &TfrmPreference::btnOpenClick);
    connect(btnDefault, &QPushButton::clicked, this, &TfrmPreference::btnDefaultClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrmPreference::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ckFullSize, &QCheckBox::clicked, this, [this] { KeepOneChecked(ckFullSize, ckSmallSize); });
    connect(ckSmallSize, &QCheckBox::clicked, this, [this] { KeepOneChecked(ckSmallSize, ckFullSize); });
    connect(ckBmp, &QCheckBox::clicked, this, [this] { KeepOneChecked(ckBmp, ckJpg); });
    connect(ckJpg, &QCheckBox::clicked, this, [this] { KeepOneChecked(ckJpg, ckBmp); });
    connect(ckJpg, &QCheckBox::toggled, this, [this](bool on) {
        spedCmp->setEnabled(on);
        trcCmp->setEnabled(on);
    });
    connect(spedCmp, &QSpinBox::valueChanged, trcCmp, &QSlider::setValue);
    connect(trcCmp, &QSlider::valueChanged, spedCmp, &QSpinBox::setValue);
}

void TfrmPreference::showEvent(QShowEvent* event) {
    edtSnapDirectory->setText(QString::fromStdString(settings::ReadString("SnapOutPutDir")));
    // A box whose key is not 1 keeps the state it had when the window last closed.
    const std::pair<QCheckBox*, const char*> boxes[] = {
        {ckFullSize, "snapFullSize"}, {ckSmallSize, "snapSmallSize"}, {ckBmp, "snapBmp"}, {ckJpg, "snapJpg"}};
    for (const auto& [box, key] : boxes)
        if (settings::ReadBool(key)) box->setChecked(true);
    const bool jpg = settings::ReadBool("snapJpg");
    spedCmp->setEnabled(jpg);
    trcCmp->setEnabled(jpg);
    spedCmp->setValue(settings::ReadInteger("jpgCmp"));
    if (QAbstractButton* item = PriorityItems->button(settings::ReadInteger("priority"))) item->setChecked(true);
    QDialog::showEvent(event);
}

void TfrmPreference::KeepOneChecked(QCheckBox* changed, QCheckBox* other) {
    if (!changed->isChecked() && !other->isChecked()) changed->setChecked(true);
}

void TfrmPreference::btnBrowsClick() {
    const std::string chosen = BrowseFolder ? BrowseFolder(edtSnapDirectory->text().toStdString()) : "";
    if (chosen.empty() || chosen == edtSnapDirectory->text().toStdString()) return;
    settings::WriteString("SnapOutPutDir", chosen);
    edtSnapDirectory->setText(QString::fromStdString(chosen));
}

void TfrmPreference::btnOpenClick() {
    if (edtSnapDirectory->text().size() > 2) CurrentShell().Open(settings::ReadString("SnapOutPutDir"));
}

void TfrmPreference::SetValues(const TPreferenceValues& v) {
    edtSnapDirectory->setText(QString::fromStdString(v.SnapFolder));
    ckBmp->setChecked(v.Bmp);
    ckJpg->setChecked(v.Jpg);
    ckFullSize->setChecked(v.FullSize);
    ckSmallSize->setChecked(v.SmallSize);
    if (QAbstractButton* item = PriorityItems->button(v.Priority)) item->setChecked(true);
    spedCmp->setValue(v.Quality);
}

void TfrmPreference::btnDefaultClick() { SetValues(DefaultPreferences()); }

TPreferenceValues TfrmPreference::Values() const {
    TPreferenceValues v;
    v.SnapFolder = edtSnapDirectory->text().toStdString();
    v.Bmp = ckBmp->isChecked();
    v.Jpg = ckJpg->isChecked();
    v.FullSize = ckFullSize->isChecked();
    v.SmallSize = ckSmallSize->isChecked();
    v.Quality = spedCmp->value();
    v.Priority = PriorityItems->checkedId() < 0 ? 1 : PriorityItems->checkedId();
    return v;
}

void TfrmPreference::btnOkClick() {
    StorePreferences(Values());
    accept();
}

}  // namespace vexlo::gui
