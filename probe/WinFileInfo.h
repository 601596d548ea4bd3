#pragma once
// The main facts of a job's source file: name, duration, container, and the first video
// and audio streams.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <string>

#include "engine/FFmpegVCL.h"

namespace vexlo::gui {

class TfrmFileInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFileInfo(QWidget* parent = nullptr);
    ~TfrmFileInfo() override;

    // Its own converter component, used only to open the file.
    std::unique_ptr<TFFmpegVCL> CCAVC;

    QLabel *lblSourceName, *lblFileLength;
    QLineEdit *edtFormat, *edtResloution, *edtBitRate, *edtFrameRate, *edtTotalFrame;
    QLineEdit *edtAudioForamt, *edtSampleRate, *edtChannel, *edtAudioBitRate;
    QPushButton* btn1;

    // Fills the window for the selected row's source; "" when the job list is empty. A file
    // that cannot be opened or has no video leaves the boxes as they were.
    void ShowFile(const std::string& sourceFile);
    // ShowFile, then modal.
    int Execute(const std::string& sourceFile);

    void done(int result) override;
};

}  // namespace vexlo::gui
