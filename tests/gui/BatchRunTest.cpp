#include <QTest>
#include <QTimer>

#include "GuiFixture.h"
#include "app/WinMain.h"
#include "app/gui/MainBatch.h"
#include "batch/WinProgress.h"
#include "batch/gui/FilesList.h"
#include "platform/Paths.h"
#include "support/MediaFixtures.h"

using namespace vexlo;
using namespace vexlo::gui;

namespace {

class BatchRunTest : public test::GuiTest {
protected:
    void SetUp() override {
        UseOutputFolder();
        frm = std::make_unique<TfrmMain>();
        frm->show();
    }
    // Three clips, the second one `middle` seconds long.
    void AddClips(int middle = 1) {
        QStringList files;
        for (int i = 0; i < 3; ++i) {
            const std::string d = std::to_string(i == 1 ? middle : 1);
            files << QString::fromStdString(test::MediaFixture(
                "gui_batch" + std::to_string(i) + "_" + d + "s.mp4",
                {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=" + d, "-f", "lavfi", "-i",
                 "sine=frequency=440:sample_rate=44100:duration=" + d, "-c:v", "mpeg4", "-c:a", "aac", "-shortest"}));
        }
        frm->OpenFilesDialog = [files] { return files; };
        frm->btnAddClick();
        ASSERT_EQ(frm->lvFiles->Count(), 3);
    }
    void TearDown() override {
        frm->ClosingForUpdate = true;
        frm->close();
    }
    std::string Progress(int row) const { return frm->lvFiles->Row(row)->text(TlvFiles::colProgress).toStdString(); }
    std::unique_ptr<TfrmMain> frm;
};

}  // namespace

TEST_F(BatchRunTest, StartWithNothingCheckedWarnsAndMakesNoTask) {
    AddClips();
    frm->UncheckAll1Click();
    frm->btnStart->click();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, "Please select a file by clicking the check box!");
    EXPECT_EQ(frm->CCAVC->TaskCount(), 0);
}

TEST_F(BatchRunTest, ThreeJobsConvertAndTheWindowClosesAtTheEnd) {
    AddClips();
    frm->btnStart->click();  // returns when the modal progress window has closed
    for (int r = 0; r < 3; ++r) EXPECT_EQ(Progress(r), "100%") << r;
    TfrmProgress* progress = frm->Batch->ProgressWindow();
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(progress->lblProgress->text(), "[3/3]");
    EXPECT_EQ(shell.opened, std::vector<std::string>{settings::ReadString("OutPutDir")});  // once, after the last
    EXPECT_EQ(shell.powerOffs, 0);
    EXPECT_TRUE(frm->btnStart->isEnabled());
    EXPECT_EQ(frm->CCAVC->TaskCount(), 0);
    EXPECT_FALSE(frm->PreviewBitmap->Empty());  // the live picture arrived
}

TEST_F(BatchRunTest, CancelDuringTheSecondJobStopsTheRunWithoutAfterActions) {
    AddClips(20);  // long enough to report progress before it ends
    TfrmProgress* progress = frm->Batch->ProgressWindow();
    progress->ckShutDown->setChecked(true);
    frm->CCAVC->SetProgressInterval(100);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (progress->isVisible() && progress->lblProgress->text() == "[2/3]") progress->btnCancel->click();
    });
    watch.start(5);
    frm->btnStart->click();
    watch.stop();
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(Progress(0), "100%");
    EXPECT_NE(Progress(2), "100%");
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_EQ(shell.powerOffs, 0);
    // The run's final record comes after the stop, through the main thread.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frm->Batch->Controller.Running(); }, 5000));
    EXPECT_TRUE(frm->btnStart->isEnabled());
    EXPECT_TRUE(shell.opened.empty());
    progress->ckShutDown->setChecked(false);
}
