#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "GuiFixture.h"
#include "app/WinMain.h"
#include "profiles/FormatCatalogue.h"
#include "profiles/FormatFile.h"
#include "profiles/ParameterMaps.h"
#include "profiles/WinSettings.h"
#include "profiles/gui/ParameterGroups.h"
#include "profiles/gui/PickerList.h"

using namespace vexlo;
using namespace vexlo::gui;
using vexlo::test::GuiTest;

namespace {

int RowOf(const TFormatPicker& picker, const std::string& text) {
    for (int i = 0; i < picker.RowCount(); ++i)
        if (picker.Rows[static_cast<size_t>(i)].Text == text) return i;
    return -1;
}

void PressRow(TPickerList* list, int row, int x, bool twice = false) {
    QPoint at(x, list->RowRect(row).center().y());
    if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    else QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
}

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

QStringList FormatList(const std::string& code, const char* key) {
    QStringList items;
    for (const auto& s : ParseChoiceList(FormatIni().ReadString(FormatSection(code), key, "null")))
        items << QString::fromStdString(s);
    return items;
}

class ProfileWindows : public GuiTest {
protected:
    ProfileWindows() {
        frm = std::make_unique<TfrmMain>();
        frm->show();
    }
    ~ProfileWindows() override {
        frm->ClosingForUpdate = true;
        frm->close();
    }
    // Opens the main window's picker, expands a category with a press on its glyph and
    // picks a format with a press on its row.
    void PickInMain(const std::string& category, const std::string& format) {
        frm->TogglePicker();
        ASSERT_TRUE(frm->lst1->isVisible());
        int cat = RowOf(frm->FormatPicker, category);
        ASSERT_GE(cat, 0);
        if (frm->FormatPicker.Rows[size_t(cat)].Info.Collapsed) PressRow(frm->lst1, cat, 10);
        int row = RowOf(frm->FormatPicker, format);
        ASSERT_GE(row, 0);
        frm->lst1->verticalScrollBar()->setValue(0);
        frm->lst1->ScrollToSelected();
        QRect r = frm->lst1->RowRect(row);
        if (r.bottom() > frm->lst1->viewport()->height())
            frm->lst1->verticalScrollBar()->setValue(frm->lst1->verticalScrollBar()->value() + r.bottom());
        PressRow(frm->lst1, row, 60);
    }
    std::unique_ptr<TfrmMain> frm;
};

}  // namespace

TEST_F(ProfileWindows, ExpandingAndCollapsingACategoryWithTheMouse) {
    frm->TogglePicker();
    int cat = RowOf(frm->FormatPicker, "Windows Mobile");
    ASSERT_EQ(cat, 5);
    int before = frm->FormatPicker.RowCount();
    PressRow(frm->lst1, cat, 30);  // beside the glyph: nothing
    EXPECT_EQ(frm->FormatPicker.RowCount(), before);
    PressRow(frm->lst1, cat, 10);
    ASSERT_EQ(frm->FormatPicker.RowCount(), before + 8);
    for (int p = 0; p < 8; ++p) {
        const auto& info = frm->FormatPicker.Rows[size_t(cat + 1 + p)].Info;
        EXPECT_TRUE(info.IsFormat);
        EXPECT_EQ(info.Code, 500 + p);
    }
    EXPECT_EQ(frm->lst1->height(), (before + 8 + 1) * 20);  // resized after the click
    PressRow(frm->lst1, cat, 200, true);  // a double click anywhere toggles
    EXPECT_EQ(frm->FormatPicker.RowCount(), before);
    EXPECT_EQ(frm->FormatPicker.Rows[size_t(cat + 1)].Text, "General Video formates");
}

TEST_F(ProfileWindows, PickingAFormatStoresItAtOnceAndReloadsTheBoxes) {
    PickInMain("Windows Mobile", "General Pocket PC Video (*.wmv)");
    EXPECT_FALSE(frm->lst1->isVisible());
    EXPECT_EQ(Stored("settings", "FormatCode"), "507");
    EXPECT_EQ(Stored("settings", "FormatName"), "General Pocket PC Video (*.wmv)");
    EXPECT_EQ(frm->edt1->text(), "General Pocket PC Video (*.wmv)");
    EXPECT_EQ(frm->CurrentFormatCode, "507");
    EXPECT_EQ(Items(frm->Boxes->cmbVideoEncoder), FormatList("507", "VideoEncoder"));
    EXPECT_EQ(Items(frm->Boxes->cmbSamplerate), FormatList("507", "SampleRate"));
    EXPECT_EQ(Items(frm->Boxes->cmbZoom), QStringList({"Full Screen", "Letter Box", "Pan and Scan"}));
    EXPECT_TRUE(frm->Boxes->grpbxVideo->isEnabled());
}

TEST_F(ProfileWindows, EveryBoxChangeIsStoredAtOnce) {
    PickInMain("Windows Mobile", "General Pocket PC Video (*.wmv)");
    const std::string section = "formatInfo507";
    auto* rate = frm->Boxes->cmbFrameRate;
    ASSERT_GT(rate->count(), 1);
    rate->setCurrentIndex(1);
    emit rate->activated(1);
    EXPECT_EQ(Stored(section, "iFrameRate"), "1");
    EXPECT_EQ(Stored(section, "paraFrameRate"), rate->itemText(1).toStdString());

    auto* zoom = frm->Boxes->cmbZoom;
    zoom->setCurrentIndex(2);
    emit zoom->activated(2);
    EXPECT_EQ(Stored(section, "paraZoom"), "pan");

    auto* bitRate = frm->Boxes->cmbVideoBitRate;
    bitRate->lineEdit()->clear();
    QTest::keyClicks(bitRate->lineEdit(), "15");
    EXPECT_EQ(Stored(section, "paraVideoBitRate"), "15");
    EXPECT_EQ(Stored(section, "iVideoBitRate"), "-1");

    // A letter is refused with its message and changes nothing.
    QTest::keyClicks(bitRate->lineEdit(), "a");
    EXPECT_EQ(bitRate->currentText(), "15");
    ASSERT_FALSE(prompts.shown().empty());
    EXPECT_EQ(prompts.shown().back().text, "Please enter numerical.");
    EXPECT_EQ(Stored(section, "paraVideoBitRate"), "15");
}

TEST_F(ProfileWindows, ThePickerStateIsSavedWhenTheSettingsWindowOpens) {
    frm->TogglePicker();
    PressRow(frm->lst1, RowOf(frm->FormatPicker, "Nokia"), 10);
    EXPECT_EQ(Stored("lstformat", "4"), "<missing>");  // rows only, until saved
    frm->lst1->hide();
    QTimer::singleShot(0, [&] { frm->SettingsWindow()->btnCancelClick(); });
    frm->btnSettingsClick();
    EXPECT_EQ(Stored("lstformat", "4"), "0");
    EXPECT_EQ(Stored("lstformat", "5"), "1");
}

TEST_F(ProfileWindows, SettingsWindowStoresNothingOnCancel) {
    settings::WriteString("FormatCode", "0");
    settings::WriteString("FormatName", "iPhone MPEG-4 Extra Video (*.mp4)");
    std::string before = SettingsText();
    TfrmSettings dlg(frm.get());
    dlg.show();
    EXPECT_EQ(dlg.size(), QSize(475, 370));
    EXPECT_EQ(dlg.windowTitle(), "Settings");
    EXPECT_EQ(dlg.edt1->text(), "iPhone MPEG-4 Extra Video (*.mp4)");
    EXPECT_EQ(dlg.Profile.CurrentFormatCode, "0");
    EXPECT_EQ(Items(dlg.Boxes->cmbZoom), QStringList({"Full screen", "Letterbox", "Pan and Scan"}));
    dlg.btnDefaultClick();
    dlg.Boxes->cmbVideoEncoder->setCurrentIndex(1);
    emit dlg.Boxes->cmbVideoEncoder->activated(1);
    dlg.btnCancelClick();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(SettingsText(), before);
}

TEST_F(ProfileWindows, SettingsWindowStoresTheWholeProfileOnOk) {
    TfrmSettings dlg(frm.get());
    dlg.show();
    dlg.TogglePicker();
    int cat = RowOf(dlg.FormatPicker, "General Audio formates");
    PressRow(dlg.lst1, cat, 10);
    int row = RowOf(dlg.FormatPicker, "MP3 MPEG Layer-3 Audio (*.mp3)");
    ASSERT_GE(row, 0);
    PressRow(dlg.lst1, row, 60);
    EXPECT_EQ(dlg.edt1->text(), "MP3 MPEG Layer-3 Audio (*.mp3)");
    EXPECT_EQ(Stored("settings", "FormatCode"), "<missing>");  // a pick stores nothing here
    EXPECT_FALSE(dlg.Boxes->cmbVideoSize->isEnabled());  // an audio format
    EXPECT_TRUE(dlg.Boxes->cmbAudioEncoder->isEnabled());

    dlg.btnOkClick();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const std::string section = "formatInfo700";
    EXPECT_EQ(Stored(section, "Description"), "MP3 MPEG Layer-3 Audio (*.mp3)");
    for (const char* key : {"iVideoSize", "iVideoBitRate", "iVideoEncoder", "iFrameRate", "iSampleRate",
                            "iAudioBitRate", "iChannel", "iVolume", "iAudioEncoder", "paraVideoSize",
                            "paraVideoBitRate", "paraFrameRate", "paraZoom", "paraSampleRate",
                            "paraAudioBitRate", "paraAudioEncoder"})
        EXPECT_NE(Stored(section, key), "<missing>") << key;
    EXPECT_EQ(Stored(section, "paraAudioEncoder"), "libmp3lame");
    EXPECT_EQ(Stored("settings", "FormatCode"), "700");
    EXPECT_EQ(Stored("settings", "FormatName"), "MP3 MPEG Layer-3 Audio (*.mp3)");
    EXPECT_EQ(Stored("lstformat", "7"), "0");  // the window's picker state

    frm->TakeOverStoredProfile();
    EXPECT_EQ(frm->edt1->text(), "MP3 MPEG Layer-3 Audio (*.mp3)");
    EXPECT_EQ(frm->CurrentFormatCode, "700");
    EXPECT_EQ(Items(frm->Boxes->cmbAudioEncoder), FormatList("700", "AudioEncoder"));
}

TEST_F(ProfileWindows, SettingsWindowShowsATypedBitRateOnlyUntilTheFormatChanges) {
    const std::string section = "formatInfo0";
    settings::WriteString("FormatCode", "0");
    settings::WriteString("FormatName", "iPhone MPEG-4 Extra Video (*.mp4)");
    SettingsIni().WriteString(section, "iVideoBitRate", "-1");
    SettingsIni().WriteString(section, "paraVideoBitRate", "1500");
    TfrmSettings dlg(frm.get());
    dlg.show();
    EXPECT_EQ(dlg.Boxes->cmbVideoBitRate->currentText(), "1500");
    dlg.Profile.SwitchFormat("1", "iPhone MPEG-4 Wide Screen (*.mp4)");
    dlg.Profile.SwitchFormat("0", "iPhone MPEG-4 Extra Video (*.mp4)");
    dlg.Boxes->Show();
    EXPECT_EQ(dlg.Boxes->cmbVideoBitRate->currentIndex(), -1);
    EXPECT_EQ(dlg.Boxes->cmbVideoBitRate->currentText(), "");
    dlg.btnCancelClick();
}

TEST_F(ProfileWindows, SettingsWindowChecksABoxWhenItIsLeft) {
    settings::WriteString("FormatCode", "0");
    TfrmSettings dlg(frm.get());
    dlg.show();
    std::string before = SettingsText();
    struct Case {
        QComboBox* box;
        const char* text;
        const char* message;  // nullptr: accepted
    } cases[] = {{dlg.Boxes->cmbVideoSize, "321x241", "Frame Size must be a multiple of 2.\nThe correct value:320x240"},
                 {dlg.Boxes->cmbVideoSize, "abc", "Frame Size is not a valid value!"},
                 {dlg.Boxes->cmbVideoSize, "640x480", nullptr},
                 {dlg.Boxes->cmbVideoBitRate, "12.5", "Video BitRate is not a valid value!"},
                 {dlg.Boxes->cmbAudioBitRate, "12.5", nullptr},
                 {dlg.Boxes->cmbSamplerate, "as source", nullptr},
                 {dlg.Boxes->cmbSamplerate, "", "Audio SampleRate is not a valid value!"}};
    for (const auto& c : cases) {
        size_t shown = prompts.shown().size();
        dlg.Boxes->ModelOf(c.box).SetText(c.text);
        bool ok = dlg.Profile.cmbVideoSizeExit();
        if (c.box == dlg.Boxes->cmbVideoBitRate) ok = dlg.Profile.cmbVideoBitRateExit();
        if (c.box == dlg.Boxes->cmbAudioBitRate) ok = dlg.Profile.cmbAudioBitRateExit();
        if (c.box == dlg.Boxes->cmbSamplerate) ok = dlg.Profile.cmbSamplerateExit();
        EXPECT_EQ(ok, c.message == nullptr) << c.text;
        if (c.message) {
            ASSERT_EQ(prompts.shown().size(), shown + 1) << c.text;
            EXPECT_EQ(prompts.shown().back().text, c.message);
        }
    }
    EXPECT_EQ(SettingsText(), before);  // checks store nothing
    dlg.btnCancelClick();
}
