#pragma once
// The main window's batch run and the windows around it: Start with the progress window,
// preferences, about, file information and the update check when the window shows.
#include <QObject>
#include <memory>
#include <string>

#include "app/UpdateNotice.h"
#include "batch/BatchController.h"

namespace vexlo::gui {

class TfrmMain;
class TfrmProgress;
class TfrmPreference;
class TfrmAbout;
class TfrmFileInfo;

// The notice file's address; $VEXLO_NOTICE_URL replaces it (tests point it at loopback).
std::string NoticeUrl();

class TMainBatch : public QObject, public TBatchView {
    Q_OBJECT
public:
    // Owned by the main window, after its converter component.
    explicit TMainBatch(TfrmMain& main);
    ~TMainBatch() override;

    TBatchController Controller;
    // Where the notice files are kept, and how they are fetched (replaceable in tests).
    std::string NoticeFolder;
    std::unique_ptr<TNoticeSource> NoticeSource;
    std::vector<TAdInfo> Notices;

    // Windows made on first use and reused.
    TfrmProgress* ProgressWindow();
    TfrmPreference* PreferenceWindow();
    TfrmAbout* AboutWindow();
    TfrmFileInfo* FileInfoWindow();

    // ---- commands ----
    void btnStartClick();
    void Preference1Click();
    void About1Click();
    void pmVideoInfoClick();
    // The update check, run when the main window shows.
    void UpdateCheck();
    void ScheduleUpdateCheck();

    // ---- TBatchView ----
    std::vector<TBatchJob> CheckedJobs() override;
    std::string RowCaption(int row) const override;
    void SetRowProgress(int row, const std::string& text) override;
    void ShowProgress(const TProgressTexts& texts) override;
    void SetProgressBar(int percent) override;
    bool OpenFolderAfterBatch() const override;
    bool ShutDownAfterBatch() const override;
    void OpenOutputFolder() override;
    void RunEnded() override;
    TBitmap* PreviewTarget() override;
    void JobRefused(const TBatchRefusal& refusal) override;

private:
    void CommitFrameSize();
    void EnableListButtons(bool on);
    TfrmMain& main_;
    TfrmProgress* progress_ = nullptr;
    TfrmPreference* preference_ = nullptr;
    TfrmAbout* about_ = nullptr;
    TfrmFileInfo* fileInfo_ = nullptr;
};

}  // namespace vexlo::gui
