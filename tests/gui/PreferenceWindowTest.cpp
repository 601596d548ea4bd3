#include <gtest/gtest.h>

#include "GuiFixture.h"
#include "app/WinAbout.h"
#include "app/WinDirectory.h"
#include "app/WinPreference.h"
#include "platform/Paths.h"

using namespace vexlo;
using namespace vexlo::gui;

namespace {

class PreferenceWindowTest : public test::GuiTest {
protected:
    void Open() {
        frm.show();
        QApplication::processEvents();
    }
    TfrmPreference frm;
};

class SmallWindowsTest : public test::GuiTest {};

}  // namespace

TEST_F(PreferenceWindowTest, FirstOpeningWithoutSettingsChecksAllFourBoxes) {
    Open();
    for (QCheckBox* b : {frm.ckFullSize, frm.ckSmallSize, frm.ckBmp, frm.ckJpg}) EXPECT_TRUE(b->isChecked());
    EXPECT_EQ(frm.spedCmp->value(), 30);
    EXPECT_EQ(frm.trcCmp->value(), 30);
    EXPECT_TRUE(frm.spedCmp->isEnabled());
    EXPECT_EQ(frm.PriorityItems->checkedButton()->text(), "Normal");
    EXPECT_EQ(frm.edtSnapDirectory->text().toStdString(), DefaultOutputFolder());
    EXPECT_EQ(frm.windowTitle(), "Preference");
    EXPECT_EQ(frm.size(), QSize(480, 390));
}

TEST_F(PreferenceWindowTest, DefaultThenOkStoresTheDefaults) {
    settings::WriteString("SnapOutPutDir", dir.path() + "snaps");
    settings::WriteInteger("priority", 3);
    Open();
    frm.btnDefault->click();
    EXPECT_EQ(SettingsText().find("snapBmp"), std::string::npos);  // Default writes nothing
    frm.btnOk->click();
    EXPECT_FALSE(frm.isVisible());
    EXPECT_EQ(settings::ReadString("SnapOutPutDir"), DefaultOutputFolder());
    struct Case {
        const char* key;
        const char* value;
    } cases[] = {{"snapBmp", "1"}, {"snapJpg", "0"}, {"snapFullSize", "1"}, {"snapSmallSize", "0"},
                 {"jpgCmp", "20"}, {"priority", "1"}};
    for (const auto& c : cases) EXPECT_EQ(Stored("settings", c.key), c.value) << c.key;
}

TEST_F(PreferenceWindowTest, PairedBoxesAlwaysKeepOneChecked) {
    Open();
    struct Pair {
        QCheckBox *a, *b;
    } pairs[] = {{frm.ckFullSize, frm.ckSmallSize}, {frm.ckSmallSize, frm.ckFullSize}, {frm.ckBmp, frm.ckJpg},
                 {frm.ckJpg, frm.ckBmp}};
    for (const auto& p : pairs) {
        p.a->setChecked(true);
        p.b->setChecked(true);
        p.b->click();  // off: the other is still on
        EXPECT_FALSE(p.b->isChecked());
        p.a->click();  // would leave both off: stays on
        EXPECT_TRUE(p.a->isChecked()) << p.a->objectName().toStdString();
        EXPECT_FALSE(p.b->isChecked());
    }
}

TEST_F(PreferenceWindowTest, JpgBoxEnablesQualityAndTheTwoQualityControlsMirror) {
    Open();
    frm.ckBmp->setChecked(true);
    frm.ckJpg->click();
    EXPECT_FALSE(frm.spedCmp->isEnabled());
    EXPECT_FALSE(frm.trcCmp->isEnabled());
    frm.ckJpg->click();
    EXPECT_TRUE(frm.trcCmp->isEnabled());
    frm.trcCmp->setValue(77);
    EXPECT_EQ(frm.spedCmp->value(), 77);
    frm.spedCmp->setValue(5);
    EXPECT_EQ(frm.trcCmp->value(), 5);
    frm.spedCmp->setValue(500);  // outside 1..100: both stop at the end
    EXPECT_EQ(frm.trcCmp->value(), 100);
}

TEST_F(PreferenceWindowTest, BrowsWritesAtOnceAndCancelKeepsIt) {
    Open();
    const std::string chosen = dir.path() + "pictures";
    frm.BrowseFolder = [&](const std::string&) { return chosen; };
    frm.btnBrows->click();
    EXPECT_EQ(Stored("settings", "SnapOutPutDir"), chosen);
    EXPECT_EQ(frm.edtSnapDirectory->text().toStdString(), chosen);
    frm.btnCancel->click();
    EXPECT_EQ(settings::ReadString("SnapOutPutDir"), chosen);
    frm.BrowseFolder = [](const std::string&) { return std::string(); };  // nothing chosen
    Open();
    frm.btnBrows->click();
    EXPECT_EQ(frm.edtSnapDirectory->text().toStdString(), chosen);
    frm.btnOpen->click();
    EXPECT_EQ(shell.opened, std::vector<std::string>{chosen});
}

TEST_F(PreferenceWindowTest, BoxesStoredOffKeepTheirLastStateAtTheNextOpening) {
    Open();
    frm.ckJpg->click();  // user unchecks JPG ...
    frm.btnOk->click();  // ... stored as 0
    settings::WriteInteger("snapSmallSize", 0);
    Open();
    EXPECT_FALSE(frm.ckJpg->isChecked());
    EXPECT_TRUE(frm.ckSmallSize->isChecked());  // key 0, but the box was checked when it closed
    EXPECT_FALSE(frm.spedCmp->isEnabled());
}

TEST_F(SmallWindowsTest, AboutShowsTitleVersionAndOpensTheHomePage) {
    TfrmAbout about;
    about.show();
    QApplication::processEvents();
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(about.size(), QSize(360, 190));
    EXPECT_EQ(about.lblTitle->text().toStdString(), GlobalObject().Title() + GlobalObject().VersionText());
    EXPECT_TRUE(about.lblHomePage->text().contains(QString::fromStdString(GlobalObject().HomePageUrl())));
    emit about.lblHomePage->linkActivated("x");
    EXPECT_EQ(shell.opened, std::vector<std::string>{GlobalObject().HomePageUrl()});
    about.btnOk->click();
    EXPECT_FALSE(about.isVisible());
}

TEST_F(SmallWindowsTest, FolderPickerRefusesCdRomsAndCancelForgetsTheChoice) {
    TfmDirectory picker;
    EXPECT_EQ(picker.windowTitle(), "Brows");
    EXPECT_EQ(picker.lblCaption->text(), "Please select an output directory:");
    picker.show();
    picker.SelectFolder(dir.path());
    QApplication::processEvents();
    const std::string folder = dir.path().substr(0, dir.path().size() - 1);
    EXPECT_EQ(picker.SelectedFolder(), folder);
    EXPECT_TRUE(picker.btnOk->isEnabled());

    picker.IsCdRom = [](const std::string&) { return true; };
    picker.btnOk->click();
    EXPECT_TRUE(picker.isVisible());
    EXPECT_EQ(picker.Chosen, "");
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, "Output folder cannot be located in CD-ROM.Please select another folder.");
    EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Information);

    picker.IsCdRom = [](const std::string&) { return false; };
    picker.btnOk->click();
    EXPECT_FALSE(picker.isVisible());
    EXPECT_EQ(picker.Chosen, folder);

    picker.show();
    picker.btnCancel->click();
    EXPECT_EQ(picker.Chosen, "");
    EXPECT_FALSE(IsOnOpticalDisc(dir.path()));
}
