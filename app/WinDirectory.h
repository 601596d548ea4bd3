#pragma once
// The folder picker of the output-folder and snapshot-folder Browse commands.
#include <QDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <functional>
#include <string>

namespace vexlo::gui {

class TfmDirectory : public QDialog {
    Q_OBJECT
public:
    explicit TfmDirectory(QWidget* parent = nullptr);

    // The picker shared by every Browse command, made on first use: shown modally over
    // parent, starting at `current` (the home folder when that does not exist). Returns
    // the chosen folder, or "" when nothing was chosen.
    static std::string Choose(QWidget* parent, const std::string& current);

    // Whether a folder lies on a CD-ROM (replaceable in tests).
    std::function<bool(const std::string&)> IsCdRom;

    QLabel* lblCaption;
    QTreeView* tvFolders;
    QFileSystemModel* Folders;
    QPushButton *btnOk, *btnCancel;

    // The folder chosen by the last Ok; "" after Cancel.
    std::string Chosen;

    void SelectFolder(const std::string& folder);
    std::string SelectedFolder() const;
    void btnOkClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace vexlo::gui
