#include "app/gui/MainBatch.h"

#include <QAction>
#include <QTimer>

#include "app/WinAbout.h"
#include "app/WinMain.h"
#include "app/WinPreference.h"
#include "app/ErrorReporter.h"
#include "app/gui/Application.h"
#include "app/gui/NoticeFiles.h"
#include "batch/WinProgress.h"
#include "batch/gui/FilesList.h"
#include "platform/Paths.h"
#include "probe/WinFileInfo.h"
#include "profiles/gui/ParameterGroups.h"

namespace vexlo::gui {

std::string NoticeUrl() {
    return qEnvironmentVariable("VEXLO_NOTICE_URL", "https://vexlo.example/update/vexlonotice.xml").toStdString();
}

TMainBatch::TMainBatch(TfrmMain& main)
    : Controller(*main.CCAVC, *this), NoticeFolder(SettingsFolder()),
      NoticeSource(std::make_unique<TQtNoticeSource>()), main_(main) {
    connect(main.btnStart, &QToolButton::clicked, this, &TMainBatch::btnStartClick);
    for (QAction* start : {main.Start1, main.pmStart})
        connect(start, &QAction::triggered, this, &TMainBatch::btnStartClick);
    connect(main.Preference1, &QAction::triggered, this, &TMainBatch::Preference1Click);
    connect(main.About1, &QAction::triggered, this, &TMainBatch::About1Click);
    connect(main.pmVideoInfo, &QAction::triggered, this, &TMainBatch::pmVideoInfoClick);
}

TMainBatch::~TMainBatch() = default;

TfrmProgress* TMainBatch::ProgressWindow() {
    if (!progress_) {
        progress_ = new TfrmProgress(&main_);
        progress_->OnPause = [this] { Controller.Pause(); };
        progress_->OnResume = [this] { Controller.Resume(); };
        progress_->OnStop = [this] { Controller.Stop(); };
        progress_->Notices = &Notices;
    }
    progress_->PreviewBitmap = main_.PreviewBitmap.get();
    progress_->LatestVersion = main_.LatestVersion;
    return progress_;
}

TfrmPreference* TMainBatch::PreferenceWindow() {
    if (!preference_) preference_ = new TfrmPreference(&main_);
    return preference_;
}

TfrmAbout* TMainBatch::AboutWindow() {
    if (!about_) about_ = new TfrmAbout(&main_);
    return about_;
}

TfrmFileInfo* TMainBatch::FileInfoWindow() {
    if (!fileInfo_) fileInfo_ = new TfrmFileInfo(&main_);
    return fileInfo_;
}

void TMainBatch::CommitFrameSize() {
    // What the user typed into the frame-size box counts as if the box had been left.
    QComboBox* box = main_.Boxes->cmbVideoSize;
    main_.Boxes->ModelOf(box).SetText(box->currentText().toStdString());
    main_.ParameterBoxes.cmbVideoSizeExit();
    main_.Boxes->Show();
}

void TMainBatch::EnableListButtons(bool on) {
    for (QToolButton* b : {main_.btnAdd, main_.btnRemove, main_.btnClear, main_.btnStart}) b->setEnabled(on);
}

void TMainBatch::btnStartClick() {
    if (Controller.Running()) return;
    CommitFrameSize();
    if (!CheckedJobs().empty()) main_.imgbtnStopClick();  // the preview player
    if (!Controller.Start()) return;
    EnableListButtons(false);
    // The run may only end inside the window's event loop, whose end closes the window.
    ProgressWindow()->exec();
}

void TMainBatch::Preference1Click() { PreferenceWindow()->exec(); }

void TMainBatch::About1Click() { AboutWindow()->exec(); }

void TMainBatch::pmVideoInfoClick() {
    const int row = main_.lvFiles->Selected();
    if (main_.lvFiles->Count() > 0 && row < 0) return;
    FileInfoWindow()->Execute(row < 0 ? std::string() : main_.lvFiles->Row(row)->Record().SourceFile);
}

void TMainBatch::ScheduleUpdateCheck() {
    // Right after the window has come up, so that it is visible while the fetch waits.
    QTimer::singleShot(0, this, &TMainBatch::UpdateCheck);
}

void TMainBatch::UpdateCheck() {
    TUpdateState state;
    state.LatestVersion = main_.LatestVersion;
    state.Notices = Notices;
    try {
        RunUpdateCheck(state, *NoticeSource, NoticeUrl(), NoticeFolder);
    } catch (...) {
        ReportException(std::current_exception(), TApplication::Title());
        main_.LatestVersion = state.LatestVersion;
        return;
    }
    main_.LatestVersion = state.LatestVersion;
    Notices = state.Notices;
    main_.ClosingForUpdate = state.ClosingForUpdate;
    if (state.ClosingForUpdate) main_.close();
}

// ---- TBatchView ----

std::vector<TBatchJob> TMainBatch::CheckedJobs() {
    std::vector<TBatchJob> jobs;
    for (int i = 0; i < main_.lvFiles->Count(); ++i)
        if (main_.lvFiles->Row(i)->Checked()) jobs.push_back({i, &main_.lvFiles->Row(i)->Record()});
    return jobs;
}

std::string TMainBatch::RowCaption(int row) const {
    return main_.lvFiles->Row(row)->text(TlvFiles::colSource).toStdString();
}

void TMainBatch::SetRowProgress(int row, const std::string& text) {
    if (row < main_.lvFiles->Count()) main_.lvFiles->Row(row)->setText(TlvFiles::colProgress, QString::fromStdString(text));
}

void TMainBatch::ShowProgress(const TProgressTexts& texts) { ProgressWindow()->ShowProgress(texts); }

void TMainBatch::SetProgressBar(int percent) { ProgressWindow()->SetProgressBar(percent); }

bool TMainBatch::OpenFolderAfterBatch() const { return progress_ && progress_->ckOpen->isChecked(); }

bool TMainBatch::ShutDownAfterBatch() const { return progress_ && progress_->ckShutDown->isChecked(); }

void TMainBatch::OpenOutputFolder() { main_.btnOpenClick(); }

void TMainBatch::RunEnded() {
    EnableListButtons(true);
    if (progress_ && progress_->isVisible()) progress_->done(QDialog::Accepted);
}

TBitmap* TMainBatch::PreviewTarget() { return main_.PreviewBitmap.get(); }

void TMainBatch::JobRefused(const TBatchRefusal& refusal) {
    main_.AppendLog(refusal.SourceFile + ": " + refusal.Message);
}

}  // namespace vexlo::gui
