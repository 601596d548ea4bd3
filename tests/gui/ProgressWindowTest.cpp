#include <gtest/gtest.h>

#include <QUrl>

#include "GuiFixture.h"
#include "batch/WinProgress.h"
#include "platform/Paths.h"
#include "support/MediaFixtures.h"

using namespace vexlo;
using namespace vexlo::gui;

namespace {

TBitmap Solid(int w, int h, uint8_t b, uint8_t g, uint8_t r) {
    TBitmap bmp(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = bmp.ScanLine(y) + x * 3;
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    return bmp;
}

class ProgressWindowTest : public test::GuiTest {
protected:
    ProgressWindowTest() {
        frm.OnPause = [this] { calls += "pause;"; };
        frm.OnResume = [this] { calls += "resume;"; };
        frm.OnStop = [this] { calls += "stop;"; };
        frm.Notices = &notices;
    }
    void Open() {
        frm.show();
        QApplication::processEvents();
    }
    QColor At(int x, int y) const { return frm.imgPreview->Canvas.pixelColor(x, y); }
    TfrmProgress frm;
    std::vector<TAdInfo> notices;
    std::string calls;
};

}  // namespace

TEST_F(ProgressWindowTest, OpeningResetsFiguresButtonsPictureAndOpenBox) {
    frm.lblTime->setText("9 Second");
    frm.ckOpen->setChecked(false);  // unchecked during an earlier batch
    frm.ckShutDown->setChecked(true);
    Open();
    EXPECT_EQ(frm.size(), QSize(450, 490));
    EXPECT_TRUE(frm.lblTime->text().isEmpty());
    EXPECT_TRUE(frm.ckOpen->isChecked());
    EXPECT_TRUE(frm.ckShutDown->isChecked());  // kept between batches
    EXPECT_TRUE(frm.btnPause->isEnabled());
    EXPECT_FALSE(frm.btnResume->isEnabled());
    EXPECT_EQ(frm.progbarFile->value(), 0);
    EXPECT_TRUE(frm.Timer1->isActive());
    EXPECT_EQ(frm.Timer1->interval(), 100);
    EXPECT_EQ(frm.tmr1->interval(), 10000);
    EXPECT_EQ(frm.imgbtnSnap->toolTip(), "Save snapshot picture");
    EXPECT_EQ(At(200, 100), TfrmProgress::kPreviewFill);
}

TEST_F(ProgressWindowTest, PauseResumeAndEveryWayOfClosingStopTheRunOnce) {
    Open();
    frm.btnPause->click();
    EXPECT_FALSE(frm.btnPause->isEnabled());
    EXPECT_TRUE(frm.btnResume->isEnabled());
    frm.btnResume->click();
    EXPECT_TRUE(frm.btnPause->isEnabled());
    frm.btnCancel->click();
    EXPECT_FALSE(frm.isVisible());
    EXPECT_FALSE(frm.Timer1->isActive());
    EXPECT_EQ(calls, "pause;resume;stop;");
    Open();
    frm.reject();  // Esc
    Open();
    frm.close();  // title bar
    EXPECT_EQ(calls, "pause;resume;stop;stop;stop;");
}

TEST_F(ProgressWindowTest, LivePictureIsDrawnFittedWithEightPixelMargins) {
    const TBitmap red = Solid(640, 360, 0, 0, 255);
    frm.PreviewBitmap = &red;
    Open();
    frm.Timer1Timer();
    for (int x : {0, 7, 381, 388}) EXPECT_EQ(At(x, 105), TfrmProgress::kPreviewFill) << x;
    for (int x : {8, 200, 380}) EXPECT_EQ(At(x, 105), QColor(255, 0, 0)) << x;
    EXPECT_EQ(At(200, 0), QColor(255, 0, 0));
    EXPECT_EQ(At(200, 209), QColor(255, 0, 0));
}

TEST_F(ProgressWindowTest, WithoutAPictureTheAreaKeepsItsFill) {
    const TBitmap none;
    frm.PreviewBitmap = &none;  // an audio-only job never delivers one
    Open();
    for (int i = 0; i < 3; ++i) frm.Timer1Timer();
    for (int x : {0, 194, 388}) EXPECT_EQ(At(x, 105), TfrmProgress::kPreviewFill);
}

TEST_F(ProgressWindowTest, ProgressFiguresFillLabelsAndBar) {
    Open();
    TProgressInfo info;
    info.TaskIndex = 1;
    info.CurrentDuration = 5'000'000;
    info.TotalDuration = 10'000'000;
    info.CurrentSize = 12'345;
    frm.ShowProgress(MakeProgressTexts(info, 2, "/v/a.avi"));
    EXPECT_EQ(frm.progbarFile->value(), 50);
    EXPECT_EQ(frm.lblProgress->text(), "[2/2]");
    EXPECT_EQ(frm.lblSize->text(), "12 kb");
    EXPECT_EQ(frm.lblOutput->text(), "/v/a.avi");
    frm.SetProgressBar(130);  // past the announced length
    EXPECT_EQ(frm.progbarFile->value(), 100);
}

TEST_F(ProgressWindowTest, SnapshotWritesTheFullPictureAndTheAreaAsDrawn) {
    settings::WriteString("SnapOutPutDir", dir.path() + "snaps");
    settings::WriteInteger("snapBmp", 0);
    Open();
    frm.imgbtnSnap->click();  // no picture yet: nothing to keep
    EXPECT_FALSE(FileExists(dir.path() + "snaps/Snapshot_full.jpg"));
    const TBitmap red = Solid(640, 360, 0, 0, 255);
    frm.PreviewBitmap = &red;
    frm.Timer1Timer();
    frm.imgbtnSnap->click();
    const std::string full = dir.path() + "snaps/Snapshot_full.jpg", small = dir.path() + "snaps/Snapshot_small.jpg";
    EXPECT_EQ(test::FfprobeValue(full, "stream=width"), "640");
    EXPECT_EQ(test::FfprobeValue(small, "stream=width"), "389");
    EXPECT_EQ(test::FfprobeValue(small, "stream=height"), "210");
    EXPECT_FALSE(FileExists(dir.path() + "snaps/Snapshot_full.bmp"));
}

TEST_F(ProgressWindowTest, NoticeLinkOpensWithTitleAndVersion) {
    notices = {{"Try our player", "http://vexlo.example/player"}};
    frm.LatestVersion = "3.31";
    Open();
    EXPECT_EQ(frm.mem1->text(), "Try our player");
    EXPECT_EQ(frm.NoticeLink(), "http://vexlo.example/player");
    frm.mem1Click();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], "http://vexlo.example/player?" +
                                   QUrl::toPercentEncoding(QString::fromStdString(GlobalObject().Title() + " 3.31"))
                                       .toStdString());
    notices = {{"No link here", "mailto:someone"}};
    frm.tmr1Timer();
    frm.mem1Click();
    EXPECT_EQ(shell.opened.size(), 1u);
    notices.clear();
    frm.tmr1Timer();
    EXPECT_TRUE(frm.mem1->text().isEmpty());
}
