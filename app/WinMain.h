#pragma once
// The main window: toolbar, menus, job list, output profile, output folder and the
// preview controls.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <functional>
#include <memory>

#include "engine/Bitmap.h"
#include "engine/FFmpegVCL.h"
#include "profiles/FormatPicker.h"
#include "profiles/ParameterBoxes.h"

namespace vexlo::gui {

class TlvFiles;
class TPickerList;
class TParameterGroups;
class TfrmSettings;
class TMainBatch;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // ---- window state ----
    bool PlayerPaused = false;
    bool PlayerStopped = true;
    bool PlayOnAdd = false;
    int64_t MediaDuration = 0;
    bool ClosingForUpdate = false;
    std::string LatestVersion;
    std::unique_ptr<TBitmap> PreviewBitmap;
    std::string CurrentFormatCode = "1";
    std::string CurrentFormatName;

    // Replaceable dialogs (tests answer them without a window).
    std::function<QStringList()> OpenFilesDialog;
    std::function<QString(const QString& current)> BrowseFolderDialog;

    // ---- controls ----
    QToolButton *btnAdd, *btnRemove, *btnClear, *BtnEdit, *btnStart, *btnSettings, *btnExit;
    TlvFiles* lvFiles;
    QWidget* pan1;
    QSlider* trcPreview;
    QLabel *lblTime, *lblPTS;
    QToolButton *imgbtnPlay, *imgbtnPAuse, *imgbtnStop, *imgbtnSnap;
    QSlider* trcVolume;
    QCheckBox* ckMute;
    QPlainTextEdit* mmoLog;
    QLineEdit* edt1;          // the chosen output format, read only
    QToolButton* imgbtn1;     // opens the format picker
    TPickerList* lst1;        // the format picker
    QPushButton* btnDefault;
    QLineEdit* edDirectory;
    QPushButton *btnBrows, *btnOpen;
    TParameterGroups* Boxes;

    QMenuBar* suiMainMenu1;
    QMenu *mnuFile, *mnuEdit, *mnuTools, *mnuSkin, *mnuHelp;
    QMenu* suiPopupMenu1;
    QAction *Add1, *Remove1, *Clear1, *Start1, *Settings1, *Exit1;
    QAction *Crop1, *Trim1, *VideoEffect1, *CheckAll1, *UncheckAll1, *ReverseCheck1, *Check1, *Uncheck1;
    QAction *Preference1, *Help1, *WebSite1, *Support1, *About1;
    QAction* SkinItems[7];
    QAction *pmCrop, *pmTrim, *pmVideoEffect, *pmAdd, *pmRemove, *pmClear, *pmStart, *pmVideoInfo;

    // The converter component.
    std::unique_ptr<TFFmpegVCL> CCAVC;
    // The batch run and the windows around it (Start, progress, preferences, about, file
    // information, update check); made after CCAVC, so gone before it.
    std::unique_ptr<TMainBatch> Batch;

    // The models behind the picker and the boxes.
    TFormatPicker FormatPicker{true};
    TParameterBoxes ParameterBoxes;

    // ---- commands ----
    void btnAddClick();
    void btnRemoveClick();
    void btnClearClick();
    void btnSettingsClick();
    void BtnEditClick();
    void CheckAll1Click() ;
    void UncheckAll1Click();
    void ReverseCheck1Click();
    void Check1Click();
    void Uncheck1Click();
    void SkinClick(int index);
    void btnBrowsClick();
    void btnOpenClick();
    void imgbtnPlayClick();
    void imgbtnStopClick();
    void edt1Change();
    // Opens or closes the format picker.
    void TogglePicker(bool resize = true);
    // Sizes the picker: (rows + 1) x 20 px up to cap, its bottom on the format box.
    void PlacePicker(int cap);
    // Enabling of the Edit menu and the popup, as when they open.
    void UpdateEditMenu();
    void UpdatePopupMenu();
    void UpdateSkinMenu();
    // Fills the picker and shows the stored format (which reloads the boxes).
    void FillFormatList();
    // Takes over the profile the settings window stored.
    void TakeOverStoredProfile();
    TfrmSettings* SettingsWindow() const { return frmSettings_; }

    void AppendLog(const std::string& line);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildControls(QWidget* central);
    void FormShow();
    void SetStoppedArrangement();
    // Whether a chosen file opens as media, and its duration.
    bool ProbeForAdd(const std::string& path, int64_t& duration);
    void PlaySelectedRow();
    bool ListHasSelection() const;
    void OpenUrl(const std::string& url);
    TfrmSettings* frmSettings_ = nullptr;
};

}  // namespace vexlo::gui
