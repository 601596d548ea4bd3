#include "batch/WinProgress.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QVBoxLayout>
#include <random>

#include "app/ErrorReporter.h"
#include "app/GlobalUnit.h"
#include "app/gui/BitmapImage.h"
#include "app/gui/Icons.h"
#include "batch/PreviewFit.h"
#include "batch/Snapshot.h"
#include "platform/Shell.h"

namespace vexlo::gui {

const QColor TfrmProgress::kPreviewFill(0xA6, 0xCA, 0xF0);

TPreviewImage::TPreviewImage(QWidget* parent) : QWidget(parent) {
    setFixedSize(TfrmProgress::kPreviewWidth, TfrmProgress::kPreviewHeight);
    Canvas = QImage(TfrmProgress::kPreviewWidth, TfrmProgress::kPreviewHeight, QImage::Format_RGB888);
    Canvas.fill(TfrmProgress::kPreviewFill);
}

void TPreviewImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Canvas);
}

TfrmProgress::TfrmProgress(QWidget* parent) : QDialog(parent) {
    setObjectName("frmProgress");
    setWindowTitle("Converting");
    setFixedSize(450, 490);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    imgPreview = new TPreviewImage(this);
    imgPreview->setObjectName("imgPreview");
    layout->addWidget(imgPreview, 0, Qt::AlignHCenter);

    auto* figures = new QGridLayout;
    auto value = [&](QLabel*& label, const char* name, const char* caption, int row, int column) {
        figures->addWidget(new QLabel(caption, this), row, column);
        label = new QLabel(this);
        label->setObjectName(name);
        figures->addWidget(label, row, column + 1);
    };
    value(lblTime, "lblTime", "Current Time:", 0, 0);
    value(lblLength, "lblLength", "Length:", 0, 2);
    value(lblSize, "lblSize", "File Size:", 1, 0);
    value(lblProgress, "lblProgress", "Progress:", 1, 2);
    figures->addWidget(new QLabel("File:", this), 2, 0);
    lblOutput = new QLabel(this);
    lblOutput->setObjectName("lblOutput");
    lblOutput->setFixedWidth(283);
    lblOutput->setWordWrap(false);
    figures->addWidget(lblOutput, 2, 1, 1, 3);
    layout->addLayout(figures);

    progbarFile = new QProgressBar(this);
    progbarFile->setObjectName("progbarFile");
    progbarFile->setRange(0, 100);
    progbarFile->setTextVisible(true);
    layout->addWidget(progbarFile);

    ckShutDown = new QCheckBox("Shut down computer after conversion", this);
    ckShutDown->setObjectName("ckShutDown");
    ckOpen = new QCheckBox("Open the output folder after conversion", this);
    ckOpen->setObjectName("ckOpen");
    layout->addWidget(ckShutDown);
    layout->addWidget(ckOpen);

    auto* buttons = new QHBoxLayout;
    imgbtnSnap = new QToolButton(this);
    imgbtnSnap->setObjectName("imgbtnSnap");
    imgbtnSnap->setText("Snap");
    imgbtnSnap->setToolTip("Save snapshot picture");
    imgbtnSnap->setIcon(MakeIcon(TIcon::Snapshot));
    buttons->addWidget(imgbtnSnap);
    buttons->addStretch();
    btnPause = new QPushButton("Pause", this);
    btnPause->setObjectName("btnPause");
    btnResume = new QPushButton("Resume", this);
    btnResume->setObjectName("btnResume");
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    for (QPushButton* b : {btnPause, btnResume, btnCancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);

    mem1 = new QLabel(this);
    mem1->setObjectName("mem1");
    mem1->setCursor(Qt::PointingHandCursor);
    mem1->setTextInteractionFlags(Qt::NoTextInteraction);
    mem1->setFrameShape(QFrame::StyledPanel);
    mem1->installEventFilter(this);
    layout->addWidget(mem1);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    tmr1 = new QTimer(this);
    tmr1->setInterval(10000);

    connect(btnPause, &QPushButton::clicked, this, &TfrmProgress::btnPauseClick);
    connect(btnResume, &QPushButton::clicked, this, &TfrmProgress::btnResumeClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::close);
    connect(imgbtnSnap, &QToolButton::clicked, this, &TfrmProgress::imgbtnSnapClick);
    connect(Timer1, &QTimer::timeout, this, &TfrmProgress::Timer1Timer);
    connect(tmr1, &QTimer::timeout, this, &TfrmProgress::tmr1Timer);
}

void TfrmProgress::showEvent(QShowEvent* event) {
    if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
    for (QLabel* l : {lblTime, lblLength, lblSize, lblProgress, lblOutput}) l->clear();
    ckOpen->setChecked(true);
    btnPause->setEnabled(true);
    btnResume->setEnabled(false);
    ClearPicture();
    Timer1->start();
    progbarFile->setRange(0, 100);
    progbarFile->setValue(0);
    ShowNotice();
    tmr1->start();
    QDialog::showEvent(event);
}

void TfrmProgress::done(int result) {
    // Cancel, Esc, the close button and the run's end all come here. Stopping may end the
    // run, whose end closes this window again: that inner call only waits for this one.
    if (closing_) return;
    closing_ = true;
    if (OnStop) OnStop();
    Timer1->stop();
    tmr1->stop();
    closing_ = false;
    QDialog::done(result);
}

void TfrmProgress::ShowProgress(const TProgressTexts& texts) {
    SetProgressBar(static_cast<int>(texts.Percent));
    lblTime->setText(QString::fromStdString(texts.Time));
    lblLength->setText(QString::fromStdString(texts.Length));
    lblSize->setText(QString::fromStdString(texts.Size));
    lblProgress->setText(QString::fromStdString(texts.Progress));
    lblOutput->setText(QString::fromStdString(texts.Output));
}

void TfrmProgress::SetProgressBar(int percent) {
    // The bar shows 0..100; a figure beyond (a run past its announced length) stays at the end.
    progbarFile->setValue(percent < 0 ? 0 : percent > 100 ? 100 : percent);
}

void TfrmProgress::btnPauseClick() {
    if (OnPause) OnPause();
    btnPause->setEnabled(false);
    btnResume->setEnabled(true);
}

void TfrmProgress::btnResumeClick() {
    if (OnResume) OnResume();
    btnPause->setEnabled(true);
    btnResume->setEnabled(false);
}

void TfrmProgress::ClearPicture() {
    imgPreview->Canvas.fill(kPreviewFill);
    imgPreview->update();
}

void TfrmProgress::Timer1Timer() {
    if (!PreviewBitmap || PreviewBitmap->Empty()) return;
    QImage& canvas = imgPreview->Canvas;
    canvas.fill(kPreviewFill);
    const TFitRect r = FitPicture(PreviewBitmap->Width(), PreviewBitmap->Height(),
                                  TFitRect{0, 0, canvas.width(), canvas.height()});
    {
        std::lock_guard<std::recursive_mutex> lock(PreviewBitmap->CanvasLock());
        QPainter p(&canvas);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(r.Left, r.Top, r.Width(), r.Height()), BitmapImage(*PreviewBitmap));
    }
    imgPreview->update();
}

void TfrmProgress::ShowNotice() {
    noticeLink_.clear();
    mem1->clear();
    if (!Notices || Notices->empty()) return;
    static std::mt19937 random{std::random_device{}()};
    const TAdInfo& notice = (*Notices)[std::uniform_int_distribution<size_t>(0, Notices->size() - 1)(random)];
    mem1->setStyleSheet("color: blue;");
    mem1->setText(QString::fromStdString(notice.Info));
    noticeLink_ = notice.Url;
}

void TfrmProgress::tmr1Timer() { ShowNotice(); }

void TfrmProgress::mem1Click() {
    if (noticeLink_.find("http") == std::string::npos) return;
    // The title and version travel as the query; blanks are encoded so the address stays one.
    const QString query = QString::fromStdString(GlobalObject().Title() + " " + LatestVersion);
    CurrentShell().Open(noticeLink_ + "?" + QUrl::toPercentEncoding(query).toStdString());
}

void TfrmProgress::imgbtnSnapClick() {
    // Before the first picture there is nothing to keep.
    if (!PreviewBitmap || PreviewBitmap->Empty()) return;
    try {
        TBitmap full;
        {
            std::lock_guard<std::recursive_mutex> lock(PreviewBitmap->CanvasLock());
            full = *PreviewBitmap;
        }
        SaveSnapshot(full, ImageBitmap(imgPreview->Canvas));
    } catch (...) {
        ReportException(std::current_exception(), kApplicationTitle);
    }
}

bool TfrmProgress::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mem1 && event->type() == QEvent::MouseButtonRelease) {
        mem1Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vexlo::gui
