#pragma once
// The window shown while a batch runs: the current job's figures, a live picture of what
// is being encoded, Pause / Resume / Cancel, the after-batch boxes, a snapshot button and
// a rotating notice.
#include <QCheckBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <string>
#include <vector>

#include "app/UpdateNotice.h"
#include "batch/ProgressTexts.h"
#include "engine/Bitmap.h"

namespace vexlo::gui {

// The live picture area: shows the canvas the window draws into.
class TPreviewImage : public QWidget {
    Q_OBJECT
public:
    explicit TPreviewImage(QWidget* parent = nullptr);
    QImage Canvas;  // 389 x 210, as drawn

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TfrmProgress : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewWidth = 389, kPreviewHeight = 210;
    static const QColor kPreviewFill;  // #A6CAF0

    explicit TfrmProgress(QWidget* parent = nullptr);

    // ---- what the window works with (set by the main window) ----
    // The run it controls.
    std::function<void()> OnPause, OnResume, OnStop;
    // The main window's picture of the encoder's output (not owned; null: no picture yet).
    const TBitmap* PreviewBitmap = nullptr;
    // The main window's notices and the newest version it read.
    const std::vector<TAdInfo>* Notices = nullptr;
    std::string LatestVersion;

    // ---- controls ----
    TPreviewImage* imgPreview;
    QLabel *lblTime, *lblLength, *lblSize, *lblProgress, *lblOutput;
    QProgressBar* progbarFile;
    QCheckBox *ckShutDown, *ckOpen;
    QPushButton *btnPause, *btnResume, *btnCancel;
    QToolButton* imgbtnSnap;
    QLabel* mem1;
    QTimer *Timer1, *tmr1;

    // ---- written by the batch ----
    void ShowProgress(const TProgressTexts& texts);
    void SetProgressBar(int percent);

    // ---- handlers ----
    void btnPauseClick();
    void btnResumeClick();
    void Timer1Timer();
    void tmr1Timer();
    void imgbtnSnapClick();
    void mem1Click();
    // The link of the notice shown.
    const std::string& NoticeLink() const { return noticeLink_; }

    // Every way of closing: stops the run and waits for it first.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowNotice();
    void ClearPicture();
    std::string noticeLink_;
    bool closing_ = false;
};

}  // namespace vexlo::gui
