#include <gtest/gtest.h>

#include "GuiFixture.h"
#include "engine/FFmpegLoader.h"
#include "probe/WinFileInfo.h"
#include "support/MediaFixtures.h"

using namespace vexlo;
using namespace vexlo::gui;

namespace {

class FileInfoWindowTest : public test::GuiTest {
protected:
    void SetUp() override {
        auto& loader = TFFmpegLoader::Instance();
        ASSERT_TRUE(loader.Load(kConverterLibraries)) << loader.LastError();
    }
    std::string Text(QLineEdit* e) const { return e->text().toStdString(); }
    TfrmFileInfo frm;
};

}  // namespace

TEST_F(FileInfoWindowTest, ShowsTheSourcesContainerVideoAndAudioFacts) {
    const std::string clip = test::StandardClip("mp4");
    frm.ShowFile(clip);
    EXPECT_EQ(frm.windowTitle(), "File infomation");
    EXPECT_EQ(frm.lblSourceName->text().toStdString(), clip.size() < 46 ? clip : clip.substr(0, 40) + "...mp4  ");
    EXPECT_TRUE(frm.lblFileLength->text().startsWith("2.")) << frm.lblFileLength->text().toStdString();
    EXPECT_TRUE(frm.lblFileLength->text().endsWith(" Second"));
    EXPECT_NE(Text(frm.edtFormat).find("mp4"), std::string::npos);
    EXPECT_EQ(Text(frm.edtResloution), "320x240");
    EXPECT_EQ(Text(frm.edtFrameRate), "25");
    EXPECT_EQ(Text(frm.edtTotalFrame), "50") << "2 s at 25 fps";
    EXPECT_GT(std::stoi(Text(frm.edtBitRate)), 0);
    EXPECT_EQ(Text(frm.edtSampleRate), "44100");
    EXPECT_EQ(Text(frm.edtChannel), "2");
    EXPECT_EQ(Text(frm.edtAudioForamt).substr(0, 3), "aac");
    EXPECT_TRUE(frm.edtAudioBitRate->isReadOnly());
    frm.show();
    frm.btn1->click();
    EXPECT_EQ(frm.CCAVC->TaskCount(), 0);  // closing clears the window's task
}

TEST_F(FileInfoWindowTest, AudioOnlyOrUnreadableFilesLeaveTheBoxesAsTheyWere) {
    frm.ShowFile(test::StandardClip("mp4"));
    const std::string audio = test::MediaFixture("fileinfo_tone.wav", {"-f", "lavfi", "-i", "sine=duration=1"});
    frm.ShowFile(audio);
    EXPECT_EQ(Text(frm.edtResloution), "320x240");
    EXPECT_EQ(Text(frm.edtSampleRate), "44100");
    EXPECT_TRUE(frm.lblSourceName->text().isEmpty());
    test::WriteFile(dir.file("broken.avi"), "not a video");
    frm.ShowFile(dir.file("broken.avi"));
    EXPECT_EQ(Text(frm.edtResloution), "320x240");
    frm.ShowFile("");  // empty job list
    EXPECT_EQ(Text(frm.edtChannel), "2");
}
