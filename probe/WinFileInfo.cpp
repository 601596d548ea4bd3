#include "probe/WinFileInfo.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "probe/FileInfoTexts.h"

namespace vexlo::gui {

TfrmFileInfo::TfrmFileInfo(QWidget* parent) : QDialog(parent), CCAVC(std::make_unique<TFFmpegVCL>()) {
    setObjectName("frmFileInfo");
    setWindowTitle("File infomation");
    setFixedSize(420, 460);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* file = new QFormLayout;
    lblSourceName = new QLabel(this);
    lblSourceName->setObjectName("lblSourceName");
    lblSourceName->setFixedWidth(270);
    lblFileLength = new QLabel(this);
    lblFileLength->setObjectName("lblFileLength");
    file->addRow("File Name:", lblSourceName);
    file->addRow("Duration:", lblFileLength);
    layout->addLayout(file);

    auto box = [this](QFormLayout* form, QLineEdit*& edit, const char* name, const char* caption) {
        edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setReadOnly(true);
        form->addRow(caption, edit);
    };
    auto* video = new QGroupBox("Video ", this);
    auto* videoForm = new QFormLayout(video);
    box(videoForm, edtFormat, "edtFormat", "Format:");
    box(videoForm, edtResloution, "edtResloution", "Resloution:");
    box(videoForm, edtBitRate, "edtBitRate", "Bit Rate:");
    box(videoForm, edtFrameRate, "edtFrameRate", "Frame Rate:");
    box(videoForm, edtTotalFrame, "edtTotalFrame", "Total Frame:");
    layout->addWidget(video);
    auto* audio = new QGroupBox("Audio", this);
    auto* audioForm = new QFormLayout(audio);
    box(audioForm, edtAudioForamt, "edtAudioForamt", "Format:");
    box(audioForm, edtSampleRate, "edtSampleRate", "Sample Rate:");
    box(audioForm, edtChannel, "edtChannel", "Channel:");
    box(audioForm, edtAudioBitRate, "edtAudioBitRate", "Bit Rate:");
    layout->addWidget(audio);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btn1 = new QPushButton("&Ok", this);
    btn1->setObjectName("btn1");
    buttons->addWidget(btn1);
    layout->addLayout(buttons);
    connect(btn1, &QPushButton::clicked, this, &QDialog::accept);
}

TfrmFileInfo::~TfrmFileInfo() = default;

void TfrmFileInfo::ShowFile(const std::string& sourceFile) {
    lblSourceName->clear();
    lblFileLength->clear();
    if (sourceFile.empty()) return;
    CCAVC->ClearTasks();
    const int task = CCAVC->AddTask(sourceFile);
    TAVProbe& probe = CCAVC->Probe();
    probe.Close();
    if (task < 0 || !probe.Open(sourceFile) || probe.VideoStreamCount() <= 0) return;
    TAVProbe* input = CCAVC->InputProbe(task, 0);
    if (!input) return;

    lblSourceName->setText(QString::fromStdString(ShortSourceName(sourceFile)));
    lblFileLength->setText(QString::fromStdString(DurationText(probe.GetFileStreamInfo().Duration)));
    edtFormat->setText(QString::fromStdString(probe.GetFormatName()));

    const int videoStream = probe.FirstVideoStream();
    if (probe.IsVideoStream(videoStream)) {
        const TVideoStreamInfo v = input->GetVideoStreamInfo(videoStream);
        edtResloution->setText(QString("%1x%2").arg(v.Width).arg(v.Height));
        edtBitRate->setText(QString::number(v.BitRate));
        edtFrameRate->setText(QString::number(v.FrameRateNum));
        // The second number of the frame-rate fraction: 1 for whole-number rates.
        edtTotalFrame->setText(QString::number(v.FrameRateDen));
    } else {
        for (QLineEdit* e : {edtResloution, edtBitRate, edtFrameRate, edtTotalFrame}) e->clear();
    }
    const int audioStream = probe.FirstAudioStream();
    if (probe.IsAudioStream(audioStream)) {
        const TAudioStreamInfo a = input->GetAudioStreamInfo(audioStream);
        edtAudioBitRate->setText(QString::number(a.BitRate));
        edtSampleRate->setText(QString::number(a.SampleRate));
        edtChannel->setText(QString::number(a.Channels));
        edtAudioForamt->setText(QString::fromStdString(AudioFormatFromInfoText(probe.GetInfoText())));
    } else {
        for (QLineEdit* e : {edtAudioForamt, edtSampleRate, edtChannel, edtAudioBitRate}) e->clear();
    }
    probe.Close();
}

int TfrmFileInfo::Execute(const std::string& sourceFile) {
    ShowFile(sourceFile);
    return exec();
}

void TfrmFileInfo::done(int result) {
    CCAVC->ClearTasks();
    QDialog::done(result);
}

}  // namespace vexlo::gui
