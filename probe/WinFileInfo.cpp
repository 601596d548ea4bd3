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

    struct Box {
        QLineEdit*& edit;
        const char* name;
        const char* caption;
    };
    auto group = [&](const char* title, std::initializer_list<Box> boxes) {
        auto* box = new QGroupBox(title, this);
        auto* form = new QFormLayout(box);
        for (const Box& b : boxes) {
            b.edit = new QLineEdit(box);
            b.edit->setObjectName(b.name);
            b.edit->setReadOnly(true);
            form->addRow(b.caption, b.edit);
        }
        layout->addWidget(box);
    };
    group("Video ", {{edtFormat, "edtFormat", "Format:"},
                     {edtResloution, "edtResloution", "Resloution:"},
                     {edtBitRate, "edtBitRate", "Bit Rate:"},
                     {edtFrameRate, "edtFrameRate", "Frame Rate:"},
                     {edtTotalFrame, "edtTotalFrame", "Total Frame:"}});
    group("Audio", {{edtAudioForamt, "edtAudioForamt", "Format:"},
                    {edtSampleRate, "edtSampleRate", "Sample Rate:"},
                    {edtChannel, "edtChannel", "Channel:"},
                    {edtAudioBitRate, "edtAudioBitRate", "Bit Rate:"}});

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
        // The rate and the frame count, rather than the two halves of the rate's fraction,
        // which read 30000 and 1001 for NTSC video.
        edtFrameRate->setText(QString::fromStdString(FrameRateText(v.FrameRateNum, v.FrameRateDen)));
        const int64_t length = v.DurationUs > 0 ? v.DurationUs : probe.GetFileStreamInfo().Duration;
        edtTotalFrame->setText(QString::fromStdString(TotalFramesText(length, v.FrameRateNum, v.FrameRateDen)));
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
