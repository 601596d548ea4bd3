#include "app/WinDirectory.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QVBoxLayout>

#include "app/GlobalUnit.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"

namespace vexlo::gui {

TfmDirectory::TfmDirectory(QWidget* parent) : QDialog(parent) {
    setObjectName("fmDirectory");
    setWindowTitle("Brows");
    setFixedSize(322, 351);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    lblCaption = new QLabel("Please select an output directory:", this);
    layout->addWidget(lblCaption);

    Folders = new QFileSystemModel(this);
    Folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    Folders->setRootPath("/");
    tvFolders = new QTreeView(this);
    tvFolders->setObjectName("tvFolders");
    tvFolders->setModel(Folders);
    // The file system's top folders are the top level; the root node itself is not shown.
    tvFolders->setRootIndex(Folders->index("/"));
    tvFolders->setHeaderHidden(true);
    for (int c = 1; c < Folders->columnCount(); ++c) tvFolders->hideColumn(c);
    layout->addWidget(tvFolders, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOk = new QPushButton("Ok", this);
    btnOk->setObjectName("btnOk");
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);

    IsCdRom = [](const std::string& folder) { return IsOnOpticalDisc(folder); };
    connect(btnOk, &QPushButton::clicked, this, &TfmDirectory::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfmDirectory::btnCancelClick);
    // Every node of this tree is a real folder, so Ok is enabled while one is selected.
    connect(tvFolders->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { btnOk->setEnabled(current.isValid()); });
}

void TfmDirectory::showEvent(QShowEvent* event) {
    Chosen.clear();
    btnOk->setEnabled(tvFolders->currentIndex().isValid());
    QDialog::showEvent(event);
}

void TfmDirectory::SelectFolder(const std::string& folder) {
    const std::string start = DirectoryExists(folder) ? folder : HomeFolder();
    const QModelIndex index = Folders->index(QString::fromStdString(start));
    tvFolders->setCurrentIndex(index);
    tvFolders->scrollTo(index);
    btnOk->setEnabled(index.isValid());
}

std::string TfmDirectory::SelectedFolder() const {
    const QModelIndex index = tvFolders->currentIndex();
    return index.isValid() ? Folders->filePath(index).toStdString() : std::string();
}

void TfmDirectory::btnOkClick() {
    Chosen = SelectedFolder();
    if (!Chosen.empty() && IsCdRom && IsCdRom(Chosen)) {
        CurrentPrompts().Show(kApplicationTitle,
                              "Output folder cannot be located in CD-ROM.Please select another folder.",
                              PromptButtons::OK, PromptIcon::Information);
        Chosen.clear();
        return;
    }
    accept();
}

void TfmDirectory::btnCancelClick() {
    Chosen.clear();
    reject();
}

std::string TfmDirectory::Choose(QWidget* parent, const std::string& current) {
    static QPointer<TfmDirectory> picker;
    if (!picker) picker = new TfmDirectory(parent);
    else if (parent && picker->parentWidget() != parent) picker->setParent(parent, picker->windowFlags());
    picker->SelectFolder(current);
    picker->exec();
    return picker ? picker->Chosen : std::string();
}

}  // namespace vexlo::gui
