#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "GuiFixture.h"
#include "app/WinCover.h"
#include "app/WinMain.h"
#include "app/gui/Application.h"
#include "app/gui/Skins.h"
#include "batch/gui/FilesList.h"
#include "app/ErrorReporter.h"
#include "engine/FFmpegException.h"
#include "platform/Paths.h"
#include "profiles/FormatCatalogue.h"
#include "profiles/gui/ParameterGroups.h"
#include "profiles/gui/PickerList.h"

using namespace vexlo;
using namespace vexlo::gui;
using vexlo::test::GuiTest;

namespace {

class MainWindow : public GuiTest {
protected:
    std::unique_ptr<TfrmMain> Open() {
        auto frm = std::make_unique<TfrmMain>();
        frm->show();
        return frm;
    }
    static void CloseQuietly(TfrmMain& frm) {
        frm.ClosingForUpdate = true;
        frm.close();
    }
    // Presses the mouse on row `row` of a picker, x pixels from its left edge.
    static void PressRow(TPickerList* list, int row, int x) {
        QRect r = list->RowRect(row);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(x, r.center().y()));
    }
    static int RowOf(const TFormatPicker& picker, const std::string& text) {
        for (int i = 0; i < picker.RowCount(); ++i)
            if (picker.Rows[static_cast<size_t>(i)].Text == text) return i;
        return -1;
    }
};

}  // namespace

TEST_F(MainWindow, FirstRunWithoutSettingsFile) {
    auto frm = Open();
    EXPECT_EQ(frm->size(), QSize(786, 522));
    EXPECT_EQ(frm->windowTitle().toStdString(), GlobalObject().Title() + GlobalObject().VersionText());
    EXPECT_EQ(frm->edt1->text(), "Apple iPod Video MPEG-4 Movie (*.mp4)");
    EXPECT_EQ(frm->FormatPicker.ItemIndex, -1);
    EXPECT_EQ(frm->FormatPicker.RowCount(), int(Catalogue().size()));  // all collapsed
    EXPECT_EQ(frm->CurrentFormatCode, "1");
    EXPECT_EQ(frm->trcVolume->minimum(), 0);
    EXPECT_EQ(frm->trcVolume->maximum(), 128);
    EXPECT_EQ(frm->trcVolume->value(), 0);
    EXPECT_FALSE(frm->ckMute->isChecked());
    EXPECT_EQ(frm->edDirectory->text().toStdString(), DefaultOutputFolder());
    EXPECT_EQ(CurrentSkin(), 0);
    // Preview controls in their stopped arrangement.
    EXPECT_TRUE(frm->imgbtnPlay->isEnabled());
    for (QWidget* w : {static_cast<QWidget*>(frm->imgbtnPAuse), static_cast<QWidget*>(frm->imgbtnStop),
                       static_cast<QWidget*>(frm->imgbtnSnap), static_cast<QWidget*>(frm->trcPreview)})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(frm->lblTime->text(), "00:00:00");
    EXPECT_EQ(frm->lblPTS->text(), "00:00:00");
    EXPECT_TRUE(frm->PlayerStopped);
    EXPECT_FALSE(frm->mmoLog->isVisible());
    CloseQuietly(*frm);
}

TEST_F(MainWindow, StoredPreferencesAreShown) {
    struct Case {
        int volume, slider, mute;
    } cases[] = {{77, 77, 1}, {200, 64, 0}, {-5, 64, 0}};
    for (const auto& c : cases) {
        settings::WriteInteger("volume", c.volume);
        settings::WriteInteger("mute", c.mute);
        auto frm = Open();
        EXPECT_EQ(frm->trcVolume->value(), c.slider) << c.volume;
        EXPECT_EQ(frm->ckMute->isChecked(), c.mute == 1);
        CloseQuietly(*frm);
    }
}

TEST_F(MainWindow, MuteAndVolumeAreStored) {
    auto frm = Open();
    QTest::mouseClick(frm->ckMute, Qt::LeftButton);
    EXPECT_EQ(Stored("settings", "mute"), "1");
    QTest::mouseClick(frm->ckMute, Qt::LeftButton);
    EXPECT_EQ(Stored("settings", "mute"), "0");
    frm->trcVolume->setValue(100);
    EXPECT_EQ(Stored("settings", "volume"), "<missing>");  // only releasing the mouse stores
    QTest::mouseRelease(frm->trcVolume, Qt::LeftButton);
    EXPECT_EQ(Stored("settings", "volume"), "100");
    CloseQuietly(*frm);
}

TEST_F(MainWindow, ExitQuestion) {
    {
        prompts.Answer(PromptResult::No);
        auto frm = Open();
        EXPECT_FALSE(frm->close());
        EXPECT_TRUE(frm->isVisible());
        ASSERT_EQ(prompts.shown().size(), 1u);
        EXPECT_EQ(prompts.shown()[0].title, "Warning");
        EXPECT_EQ(prompts.shown()[0].text, "Do you really want to exit?");
        EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::YesNo);
        EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Question);
        EXPECT_EQ(Stored("lstformat", "0"), "<missing>");  // nothing saved
        prompts.Answer(PromptResult::Yes);
        frm->FormatPicker.Expand(0);
        EXPECT_TRUE(frm->close());
        EXPECT_FALSE(frm->isVisible());
    }
    // Closing saved the picker's state.
    EXPECT_EQ(Stored("lstformat", "0"), "0");
    EXPECT_EQ(Stored("lstformat", "1"), "1");
}

TEST_F(MainWindow, SkinMenuMarksTheStoredSkinAndAChangeIsStored) {
    settings::WriteInteger("skinIndex", 3);
    auto frm = Open();
    EXPECT_EQ(CurrentSkin(), 3);
    frm->UpdateSkinMenu();
    for (int i = 0; i < kSkinCount; ++i) EXPECT_EQ(frm->SkinItems[i]->isChecked(), i == 3) << i;
    EXPECT_EQ(frm->SkinItems[3]->objectName(), "Skin41");
    EXPECT_EQ(frm->SkinItems[3]->text(), "Purple");

    frm->SkinItems[5]->trigger();
    EXPECT_EQ(Stored("settings", "skinIndex"), "5");
    EXPECT_EQ(CurrentSkin(), 5);
    EXPECT_TRUE(frm->isVisible());
    for (int i = 0; i < kSkinCount; ++i) EXPECT_EQ(frm->SkinItems[i]->isChecked(), i == 5) << i;

    // The marked skin again: the window is not hidden and redrawn.
    int hides = 0;
    struct Counter : QObject {
        int& n;
        explicit Counter(int& c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Hide) ++n;
            return false;
        }
    } counter(hides);
    frm->installEventFilter(&counter);
    frm->SkinItems[5]->trigger();
    EXPECT_EQ(hides, 0);
    frm->removeEventFilter(&counter);
    CloseQuietly(*frm);
    ApplySkin(0);
}

TEST_F(MainWindow, SkinOutOfRangeLeavesTheDefault) {
    settings::WriteInteger("skinIndex", 9);
    auto frm = Open();
    EXPECT_EQ(CurrentSkin(), 0);
    frm->UpdateSkinMenu();
    for (int i = 0; i < kSkinCount; ++i) EXPECT_FALSE(frm->SkinItems[i]->isChecked()) << i;
    CloseQuietly(*frm);
}

TEST_F(MainWindow, EditMenuAndPopupNeedASelectedRow) {
    auto frm = Open();
    auto editItems = {frm->Crop1, frm->Trim1, frm->VideoEffect1, frm->CheckAll1, frm->UncheckAll1,
                      frm->ReverseCheck1, frm->Check1, frm->Uncheck1};
    auto popupItems = {frm->pmCrop, frm->pmTrim, frm->pmVideoEffect, frm->pmVideoInfo,
                       frm->pmRemove, frm->pmClear, frm->pmStart};
    frm->UpdateEditMenu();
    frm->UpdatePopupMenu();
    for (QAction* a : editItems) EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    for (QAction* a : popupItems) EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(frm->pmAdd->isEnabled());

    frm->lvFiles->AppendRow(std::make_unique<TlvFilesRecord>(NewJobRecord("/v/a.avi", "full")), 1000000, "a");
    frm->UpdateEditMenu();
    frm->UpdatePopupMenu();
    for (QAction* a : editItems) EXPECT_FALSE(a->isEnabled()) << "no selection";
    frm->lvFiles->SelectRow(0);
    frm->UpdateEditMenu();
    frm->UpdatePopupMenu();
    for (QAction* a : editItems) EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    for (QAction* a : popupItems) EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(frm->VideoEffect1->isVisible());
    CloseQuietly(*frm);
}

TEST_F(MainWindow, MenuCaptions) {
    auto frm = Open();
    QStringList menus;
    for (QAction* a : frm->suiMainMenu1->actions()) menus << a->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Tools", "&Help"}));
    QStringList popup;
    for (QAction* a : frm->suiPopupMenu1->actions())
        if (!a->isSeparator()) popup << a->text();
    EXPECT_EQ(popup, QStringList({"&Crop", "&Trim", "&Video Effect && Water Mark", "Add", "Remove",
                                  "Clear", "Start", "Video Infomation"}));
    CloseQuietly(*frm);
}

TEST_F(MainWindow, OutputFolderCommands) {
    auto frm = Open();
    frm->edDirectory->clear();
    QTest::keyClicks(frm->edDirectory, "/tmp/xy");
    EXPECT_EQ(Stored("settings", "OutPutDir"), "/tmp/xy");  // every keystroke is stored

    frm->btnOpenClick();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], "/tmp/xy");
    frm->edDirectory->setText("/t");
    frm->btnOpenClick();  // 2 characters: nothing opens
    EXPECT_EQ(shell.opened.size(), 1u);

    frm->edDirectory->setText("/tmp/xy");
    frm->BrowseFolderDialog = [](const QString& current) {
        EXPECT_EQ(current, "/tmp/xy");
        return QString("/tmp/chosen");
    };
    frm->btnBrowsClick();
    EXPECT_EQ(frm->edDirectory->text(), "/tmp/chosen");
    EXPECT_EQ(Stored("settings", "OutPutDir"), "/tmp/chosen");
    CloseQuietly(*frm);
}

TEST_F(MainWindow, HelpMenuOpensTheWebAddresses) {
    auto frm = Open();
    frm->Help1->trigger();
    frm->WebSite1->trigger();
    frm->Support1->trigger();
    EXPECT_EQ(shell.opened, (std::vector<std::string>{GlobalObject().HelpUrl(),
                                                      GlobalObject().HomePageUrl(), kMakerSiteUrl}));
    CloseQuietly(*frm);
}

TEST_F(MainWindow, PlayOnAnEmptyListAsksForFiles) {
    auto frm = Open();
    int asked = 0;
    frm->OpenFilesDialog = [&] {
        ++asked;
        EXPECT_TRUE(frm->PlayOnAdd);
        return QStringList();
    };
    frm->imgbtnPlayClick();
    EXPECT_EQ(asked, 1);
    frm->lvFiles->AppendRow(std::make_unique<TlvFilesRecord>(NewJobRecord("/v/a.avi", "full")), 1000000, "a");
    frm->lvFiles->clearSelection();
    frm->imgbtnPlayClick();
    EXPECT_EQ(frm->lvFiles->Selected(), 0);  // the first row is chosen
    CloseQuietly(*frm);
}

TEST_F(MainWindow, ErrorsReachingTheEventLoopAreReported) {
    auto frm = Open();  // installs the reporter
    ASSERT_TRUE(TApplication::ErrorReporterInstalled());
    QTimer::singleShot(0, [] { throw std::runtime_error("Something went wrong"); });
    QTimer::singleShot(0, [] { throw FFmpegException("Could not open x.avi"); });
    QTimer::singleShot(0, [] { throw AccessViolation("bad address"); });
    QTest::qWait(20);
    auto shown = prompts.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Something went wrong.");
    EXPECT_EQ(shown[0].icon, PromptIcon::Error);
    EXPECT_EQ(shown[0].title, GlobalObject().Title());
    EXPECT_EQ(shown[1].text, "Could not open x.avi.");
    EXPECT_EQ(shown[1].icon, PromptIcon::Warning);
    CloseQuietly(*frm);
}

TEST(Cover, ClosesOnceTheMainWindowShows) {
    TfrmCover cover;
    QWidget mainForm;
    cover.SetMainForm(&mainForm);
    cover.ShowNow();
    EXPECT_TRUE(cover.isVisible());
    EXPECT_FALSE(cover.Picture().isNull());
    EXPECT_EQ(cover.size(), cover.Picture().size());
    EXPECT_TRUE(cover.windowFlags() & Qt::FramelessWindowHint);
    QTest::qWait(1100);
    EXPECT_TRUE(cover.isVisible());  // main window not shown yet
    mainForm.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !cover.isVisible(); }, 3000));
}
