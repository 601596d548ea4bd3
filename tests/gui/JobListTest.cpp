#include <QSignalSpy>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTest>

#include "GuiFixture.h"
#include "app/WinMain.h"
#include "batch/gui/FilesList.h"
#include "support/MediaFixtures.h"

using namespace vexlo;
using namespace vexlo::gui;
using vexlo::test::GuiTest;

namespace {

class JobList : public GuiTest {
protected:
    JobList() {
        UseOutputFolder();
        frm = std::make_unique<TfrmMain>();
        frm->show();
    }
    ~JobList() override {
        frm->ClosingForUpdate = true;
        frm->close();
    }
    void Add(const QStringList& files) {
        frm->OpenFilesDialog = [files] { return files; };
        frm->btnAddClick();
    }
    // Rows with made-up records, added straight to the list.
    void AddRows(int n) {
        for (int i = 0; i < n; ++i) {
            std::string path = "/videos/clip" + std::to_string(i) + ".avi";
            frm->lvFiles->AppendRow(std::make_unique<TlvFilesRecord>(NewJobRecord(path, "lbox")), 1000000,
                                    "clip_(new)_ipod.mp4");
        }
    }
    std::vector<bool> Checks() const {
        std::vector<bool> v;
        for (int i = 0; i < frm->lvFiles->Count(); ++i) v.push_back(frm->lvFiles->Row(i)->Checked());
        return v;
    }
    std::unique_ptr<TfrmMain> frm;
};

}  // namespace

TEST_F(JobList, HasFiveColumnsWithTheirCaptionsAndWidths) {
    auto* header = frm->lvFiles->headerItem();
    const char* captions[] = {"Source", "Length", "Trimmed Length", "Destination File", "Progress"};
    const int widths[] = {140, 65, 90, 120, 60};
    ASSERT_EQ(frm->lvFiles->columnCount(), 5);
    const QFontMetrics metrics(frm->lvFiles->header()->font());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(header->text(i), captions[i]);
        const int width = frm->lvFiles->columnWidth(i);
        const int caption = metrics.horizontalAdvance(captions[i]);
        EXPECT_GE(width, widths[i]) << captions[i];
        EXPECT_GE(width, caption + 8) << captions[i] << " is not clipped";
        if (caption + 20 < widths[i]) {
            EXPECT_EQ(width, widths[i]) << captions[i] << " keeps its width when it fits";
        }
    }
}

TEST_F(JobList, AddFillsRowsAndLeavesOutDuplicatesFoldersAndNonMedia) {
    std::string mp4 = test::StandardClip("mp4");
    std::string avi = test::StandardClip("avi");
    ASSERT_FALSE(mp4.empty());
    std::string fake = dir.file("notes.avi");
    test::WriteFile(fake, "this is not a video\n");
    settings::WriteString("FormatCode", "400");

    Add({QString::fromStdString(mp4), QString::fromStdString(fake), QString::fromStdString(avi),
         QString::fromStdString(mp4), QString::fromStdString(dir.path())});

    ASSERT_EQ(frm->lvFiles->Count(), 2);
    const std::string sources[] = {mp4, avi};
    for (int i = 0; i < 2; ++i) {
        TJobItem* row = frm->lvFiles->Row(i);
        EXPECT_EQ(row->text(0).toStdString(), sources[i]);
        EXPECT_EQ(row->text(1), "2");  // 2 s clips, whole seconds
        EXPECT_EQ(row->text(2), "2");
        EXPECT_TRUE(row->text(3).contains("_(new)_ipod.")) << row->text(3).toStdString();
        EXPECT_FALSE(row->text(3).contains('/'));
        EXPECT_EQ(row->text(4), "");
        EXPECT_TRUE(row->Checked());
        EXPECT_EQ(row->Record().SourceFile, sources[i]);
        EXPECT_EQ(row->Record().ZoomMode, "lbox");  // the profile stores no parazoom
        EXPECT_EQ(row->Record().Brightness, 255);
    }
    EXPECT_EQ(frm->lvFiles->Selected(), 0);
    EXPECT_TRUE(frm->btnStart->isEnabled());
    EXPECT_TRUE(frm->btnRemove->isEnabled());
    EXPECT_TRUE(frm->btnClear->isEnabled());
    EXPECT_TRUE(prompts.shown().empty());

    // The same file again adds nothing; a path differing in letter case is another file.
    Add({QString::fromStdString(mp4)});
    EXPECT_EQ(frm->lvFiles->Count(), 2);
}

TEST_F(JobList, AddedRowTakesTheProfilesZoomModeAndExtension) {
    std::string mp4 = test::StandardClip("mp4");
    settings::WriteString("FormatCode", "507");
    SettingsIni().WriteString("formatInfo507", "parazoom", "pan");
    Add({QString::fromStdString(mp4)});
    ASSERT_EQ(frm->lvFiles->Count(), 1);
    EXPECT_EQ(frm->lvFiles->Row(0)->Record().ZoomMode, "pan");
    EXPECT_TRUE(frm->lvFiles->Row(0)->text(3).endsWith("_(new)_ipod.wmv")) << frm->lvFiles->Row(0)->text(3).toStdString();
}

TEST_F(JobList, CancelledDialogAddsNothing) {
    Add({});
    EXPECT_EQ(frm->lvFiles->Count(), 0);
    EXPECT_FALSE(frm->btnStart->isEnabled());
}

TEST_F(JobList, RemoveSelectsTheRowAtTheRemovedPlace) {
    struct Case {
        int rows, selected;
        std::vector<std::string> left;
        int selectedAfter;
    } cases[] = {{3, 0, {"/videos/clip1.avi", "/videos/clip2.avi"}, 0},
                 {3, 2, {"/videos/clip0.avi", "/videos/clip1.avi"}, 1},
                 {3, 1, {"/videos/clip0.avi", "/videos/clip2.avi"}, 1},
                 {1, 0, {}, -1}};
    for (const auto& c : cases) {
        frm->lvFiles->ClearRows();
        AddRows(c.rows);
        frm->lvFiles->SelectRow(c.selected);
        frm->btnRemoveClick();
        std::vector<std::string> left;
        for (int i = 0; i < frm->lvFiles->Count(); ++i) left.push_back(frm->lvFiles->Row(i)->Record().SourceFile);
        EXPECT_EQ(left, c.left) << c.rows << " rows, removing " << c.selected;
        EXPECT_EQ(frm->lvFiles->Selected(), c.selectedAfter) << c.rows << " rows, removing " << c.selected;
    }
    EXPECT_TRUE(frm->PlayerStopped);
}

TEST_F(JobList, RemoveWithoutSelectionDoesNothing) {
    AddRows(2);
    frm->lvFiles->clearSelection();
    frm->btnRemoveClick();
    EXPECT_EQ(frm->lvFiles->Count(), 2);
}

TEST_F(JobList, ClearEmptiesTheList) {
    AddRows(3);
    frm->btnClearClick();
    EXPECT_EQ(frm->lvFiles->Count(), 0);
    frm->btnClearClick();  // nothing to do
    EXPECT_EQ(frm->lvFiles->Count(), 0);
}

TEST_F(JobList, CheckCommands) {
    AddRows(4);
    using V = std::vector<bool>;
    frm->UncheckAll1Click();
    EXPECT_EQ(Checks(), V({false, false, false, false}));
    frm->lvFiles->Row(1)->SetChecked(true);
    frm->lvFiles->Row(3)->SetChecked(true);
    frm->ReverseCheck1Click();
    EXPECT_EQ(Checks(), V({true, false, true, false}));
    frm->lvFiles->SelectRow(1);
    frm->Check1Click();
    EXPECT_EQ(Checks(), V({true, true, true, false}));
    frm->lvFiles->SelectRow(0);
    frm->Uncheck1Click();
    EXPECT_EQ(Checks(), V({false, true, true, false}));
    frm->CheckAll1Click();
    EXPECT_EQ(Checks(), V({true, true, true, true}));
}

TEST_F(JobList, ClickOnTheCheckBoxTogglesIt) {
    AddRows(2);
    QRect r = frm->lvFiles->visualItemRect(frm->lvFiles->Row(1));
    QTest::mouseClick(frm->lvFiles->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 8, r.center().y()));
    EXPECT_FALSE(frm->lvFiles->Row(1)->Checked());
    QTest::mouseClick(frm->lvFiles->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 80, r.center().y()));
    EXPECT_FALSE(frm->lvFiles->Row(1)->Checked());  // elsewhere on the row: only selects
    EXPECT_EQ(frm->lvFiles->Selected(), 1);
}

TEST_F(JobList, RightButtonAsksForThePopupAndSelectsTheRow) {
    AddRows(2);
    QSignalSpy spy(frm->lvFiles, &TlvFiles::PopupRequested);
    QRect r = frm->lvFiles->visualItemRect(frm->lvFiles->Row(1));
    QTest::mousePress(frm->lvFiles->viewport(), Qt::RightButton, {}, r.center());
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(frm->lvFiles->Selected(), 1);
    frm->suiPopupMenu1->hide();
}

TEST_F(JobList, RowsAreDrawnWithTheSkinsTintAndTheSelectionColours) {
    AddRows(3);
    frm->lvFiles->SelectRow(2);
    frm->lvFiles->clearFocus();
    QImage shot = frm->lvFiles->viewport()->grab().toImage();
    auto colourAt = [&](int row) {
        QRect r = frm->lvFiles->visualItemRect(frm->lvFiles->Row(row));
        return shot.pixelColor(r.left() + 200, r.top() + 2);
    };
    EXPECT_EQ(colourAt(0), QColor(Qt::white));
    EXPECT_EQ(colourAt(1), QColor(0xE2, 0xE6, 0xF6));  // Default skin's tint
    EXPECT_EQ(colourAt(2), QColor(0xE5, 0xEC, 0xF8));  // selected without focus
}

TEST_F(JobList, LengthsAreWholeSecondsAndZeroWhenUnknown) {
    struct Case {
        qint64 duration;
        const char* shown;
    } cases[] = {{-1, "0"}, {0, "0"}, {999999, "0"}, {2999999, "2"}, {3600000000LL, "3600"}};
    for (const auto& c : cases) {
        TJobItem* row = frm->lvFiles->AppendRow(
            std::make_unique<TlvFilesRecord>(NewJobRecord("/v/" + std::to_string(c.duration), "full")),
            c.duration, "x");
        EXPECT_EQ(row->text(1), c.shown) << c.duration;
        EXPECT_EQ(row->text(2), c.shown) << c.duration;
    }
}
