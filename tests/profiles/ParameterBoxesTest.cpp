#include <gtest/gtest.h>

#include "platform/Prompts.h"
#include "profiles/ParameterBoxes.h"
#include "profiles/ParameterMaps.h"
#include "ProfileFixture.h"

using namespace vexlo;

TEST(ParameterText, ListsKeepEveryPieceAsWritten) {
    EXPECT_EQ(ParseChoiceList("null"), std::vector<std::string>{});
    EXPECT_EQ(ParseChoiceList(""), std::vector<std::string>{""});
    EXPECT_EQ(ParseChoiceList("a, b,,c "), (std::vector<std::string>{"a", " b", "", "c "}));
    EXPECT_EQ(ParseChoiceList("NULL"), std::vector<std::string>{"NULL"});
}

TEST(ParameterText, IntegersAndNumbers) {
    struct Case {
        const char* text;
        bool integer, number;
    } cases[] = {{"128", true, true},     {"-5", true, true},      {"+7", true, true},
                 {"29.97", false, true},  {"12.2", false, true},   {".5", false, true},
                 {"5.", false, true},     {"", false, false},      {"as source", false, false},
                 {" 12", false, false},   {"12 ", false, false},   {"1e3", false, false},
                 {"0x10", false, false},  {"$10", false, false},   {"2147483647", true, true},
                 {"2147483648", false, false}, {"-", false, false}, {".", false, false},
                 {"1.2.3", false, false}, {"nan", false, false},   {"inf", false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsIntegerText(c.text), c.integer) << c.text;
        EXPECT_EQ(IsNumberText(c.text), c.number) << c.text;
    }
}

TEST(ParameterMaps, ItemsMapToStoredValues) {
    struct Case {
        std::optional<std::string> (*map)(const std::string&);
        const char* item;
        std::optional<std::string> stored;
    } cases[] = {
        {MapVideoEncoder, "MPEG-4", "mpeg4"},      {MapVideoEncoder, "XviD", "libxvid"},
        {MapVideoEncoder, "H264", "libx264"},      {MapVideoEncoder, "WMV3", "wmv3"},
        {MapVideoEncoder, "3GP", "3gp"},           {MapVideoEncoder, "DivX", std::nullopt},
        {MapVideoEncoder, " mpeg-4", std::nullopt},
        {MapAudioEncoder, "AAC", "libfaac"},       {MapAudioEncoder, "Ogg", "vorbis"},
        {MapAudioEncoder, "AC-3", "ac3"},          {MapAudioEncoder, "WMA2", "wmav2"},
        {MapAudioEncoder, "PCM_S16", "pcm_s16le"}, {MapAudioEncoder, "AMR_NB", "libopencore_amrnb"},
        {MapAudioEncoder, "pcm_mulaw ", "pcm_mulaw"}, {MapAudioEncoder, "pcm_mulaw", std::nullopt},
        {MapChannel, "as source", "as source"},    {MapChannel, "mono 1 channel", "1"},
        {MapChannel, "stereo 2 channels", "2"},    {MapChannel, "Stereo 2 channels", std::nullopt},
        {MapVolume, "100%", "256"},                {MapVolume, "25%", "64"},
        {MapVolume, "400%", "1024"},               {MapVolume, "250x", "640"},
        {MapVolume, "225%", std::nullopt},         {MapVolume, "%", std::nullopt},
        {MapVolume, "", std::nullopt},             {MapVolume, "loud", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(c.map(c.item), c.stored) << c.item;
}

namespace {

const char* const kTestFormats = R"([formatInfo1]
Format=ipod
FileExt=mp4
VideoSize=320x240,640x480,as source
VideoBitRate=768,1500,as source
FrameRate=29.97,25
VideoEncoder=MPEG-4,H264,MOV
AudioBitRate=96,128,12.2
SampleRate=44100,48000
AudioEncoder=AAC,MP3,Speex
Channel=as source,mono 1 channel,stereo 2 channels
Volume=25%,100%,225%,200%
iVideoSize=1
iVideoBitRate=1
iFrameRate=1
iVideoEncoder=1
iAudioBitRate=1
iSampleRate=1
iAudioEncoder=1
iChannel=2
iVolume=1
paraBitExact=TRUE
paraMaxBitrate=1500
paraBufferSize=0
paraLevel=30
paraQscale=
paraGop=0
paraCoder=0

[formatInfo700]
FileExt=mp3
VideoSize=null
VideoBitRate=null
FrameRate=null
VideoEncoder=null
AudioBitRate=64,128
SampleRate=44100
AudioEncoder=MP3
Channel=mono 1 channel,stereo 2 channels
Volume=100%
iAudioBitRate=1
iChannel=1
)";

class BoxesTest : public vexlo::test::ProfileFixture {
protected:
    void SetUp() override {
        ProfileFixture::SetUp();
        WriteFormatFile(kTestFormats);
        boxes.OnBeep = [this] { ++beeps; };
    }
    // Loads code without the defaults being written first.
    void LoadUnseeded(const std::string& code) {
        Store(code, "iVolume", "0");
        boxes.CurrentFormatCode = code;
        boxes.edt1Change();
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& s : prompts.shown()) t.push_back(s.text);
        return t;
    }

    ScriptedPrompts prompts;
    ScopedPrompts scoped{prompts};
    TParameterBoxes boxes;
    int beeps = 0;
};

}  // namespace

TEST_F(BoxesTest, AFreshProfileGetsTheDefaultButtonsValuesBeforeLoading) {
    boxes.CurrentFormatCode = "1";
    boxes.edt1Change();
    struct Key {
        const char* key;
        const char* value;
    } keys[] = {{"iVideoEncoder", "1"},     {"paraVideoEncoder", "libx264"}, {"iVideoSize", "1"},
                {"paraVideoSize", "640x480"}, {"iFrameRate", "1"},          {"paraFrameRate", "25"},
                {"iVideoBitRate", "1"},     {"paraVideoBitRate", "1500"},  {"paraZoom", "full"},
                {"iAudioEncoder", "1"},     {"paraAudioEncoder", "libmp3lame"}, {"iAudioBitRate", "1"},
                {"paraAudioBitRate", "128"}, {"iSampleRate", "1"},         {"paraSampleRate", "48000"},
                {"iChannel", "2"},          {"paraChannel", "2"},          {"iVolume", "1"},
                {"paraVolume", "256"},      {"paraBitExact", "TRUE"},      {"paraMaxBitrate", "1500"},
                {"paraLevel", "30"},        {"paraCoder", "0"},            {"paraBufferSize", "<none>"},
                {"paraGop", "<none>"},      {"paraQscale", "<none>"}};
    for (const auto& k : keys) EXPECT_EQ(Stored("1", k.key), k.value) << k.key;
    EXPECT_TRUE(prompts.shown().empty());

    EXPECT_EQ(boxes.cmbVideoEncoder.Text, "H264");
    EXPECT_EQ(boxes.cmbVideoSize.ItemIndex, 1);
    EXPECT_EQ(boxes.cmbZoom.Items[0], "Full Screen");
    EXPECT_EQ(boxes.cmbZoom.ItemIndex, 0);
    EXPECT_EQ(boxes.cmbChannel.Text, "stereo 2 channels");
    EXPECT_TRUE(boxes.cmbVideoSize.Enabled);
    EXPECT_TRUE(boxes.cmbVolume.Enabled);
}

TEST_F(BoxesTest, StoredChoicesAreNeverOverwrittenBySeeding) {
    Store("1", "paraVideoEncoder", "");  // a deliberate choice: audio only
    boxes.CurrentFormatCode = "1";
    boxes.edt1Change();
    EXPECT_EQ(Stored("1", "paraVideoEncoder"), "");
    EXPECT_EQ(Settings().ReadSection("formatInfo1").size(), 1u);
    EXPECT_FALSE(EnsureProfileDefaults("1"));
}

TEST_F(BoxesTest, SeedingAnAudioFormatStoresItsDefaultsWithoutComplaint) {
    Store("700", "Description", "MP3 MPEG Layer-3 Audio (*.mp3)");
    EXPECT_TRUE(EnsureProfileDefaults("700"));
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(Stored("700", "iVideoEncoder"), "-1");
    EXPECT_EQ(Stored("700", "paraVideoEncoder"), "<none>");
    EXPECT_EQ(Stored("700", "paraVideoSize"), "<none>");
    EXPECT_EQ(Stored("700", "paraAudioEncoder"), "libmp3lame");
    EXPECT_EQ(Stored("700", "paraAudioBitRate"), "128");
    EXPECT_EQ(Stored("700", "paraChannel"), "2");
    // a code without a format-file section is not a format: nothing is written for it
    EXPECT_FALSE(EnsureProfileDefaults("9999"));
    EXPECT_FALSE(Settings().SectionExists("formatInfo9999"));
}

// A default of "as source" is a real choice: stored, so that converting takes the source's
// own size and rate instead of asking about a broken size.
TEST_F(BoxesTest, AnAsSourceDefaultIsStored) {
    UseShippedFormatFile();
    EXPECT_TRUE(EnsureProfileDefaults("602"));
    EXPECT_EQ(Stored("602", "paraVideoSize"), "as source");
    EXPECT_EQ(Stored("602", "paraFrameRate"), "as source");
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(BoxesTest, LoadingShowsStoredValuesTypedTextAndIndexes) {
    Store("1", "paraVideoSize", "400x300");
    Store("1", "paraVideoBitRate", "1500");
    Store("1", "iVideoEncoder", "7");
    Store("1", "iFrameRate", "0");
    Store("1", "paraZoom", "lbox");
    boxes.CurrentFormatCode = "1";
    boxes.edt1Change();
    EXPECT_EQ(boxes.cmbVideoSize.Text, "400x300");
    EXPECT_EQ(boxes.cmbVideoSize.ItemIndex, -1);
    EXPECT_EQ(boxes.cmbVideoBitRate.ItemIndex, 1);
    EXPECT_EQ(boxes.cmbVideoEncoder.ItemIndex, -1);  // beyond the list: nothing selected
    EXPECT_EQ(boxes.cmbVideoEncoder.Text, "");
    EXPECT_EQ(boxes.cmbFrameRate.Text, "29.97");
    EXPECT_EQ(boxes.cmbSamplerate.Text, "44100");  // fallback, an item
    EXPECT_EQ(boxes.cmbAudioBitRate.Text, "96");
    EXPECT_EQ(boxes.cmbZoom.ItemIndex, 1);
    EXPECT_EQ(boxes.cmbZoom.Text, "Letter Box");
}

TEST_F(BoxesTest, ZoomBoxFollowsTheStoredMode) {
    struct Case {
        const char* stored;
        const char* firstItem;
        int index;
    } cases[] = {{"full", "Full Screen", 0}, {"pan", "Full Screen", 2}, {"center", "Full Screen", -1},
                 {"sideways", "Full Screen", -1}, {"null", "Full screen", 0}};
    for (const auto& c : cases) {
        TParameterBoxes fresh;
        fresh.cmbZoom.Select(0);
        Store("1", "paraZoom", c.stored);
        fresh.CurrentFormatCode = "1";
        fresh.edt1Change();
        EXPECT_EQ(fresh.cmbZoom.Items[0], c.firstItem) << c.stored;
        EXPECT_EQ(fresh.cmbZoom.ItemIndex, c.index) << c.stored;
    }
}

TEST_F(BoxesTest, HandEditedNonsenseLoadsWithoutCrashing) {
    for (const char* key : {"iVideoEncoder", "iFrameRate", "iChannel", "iVolume", "iAudioEncoder"})
        Store("1", key, "-3");
    Store("1", "iChannel", "lots");
    Store("1", "paraVideoSize", "99999999999x-4");
    boxes.CurrentFormatCode = "1";
    boxes.edt1Change();
    EXPECT_EQ(boxes.cmbVideoEncoder.ItemIndex, -1);
    EXPECT_EQ(boxes.cmbChannel.ItemIndex, 0);  // not a number: the fallback 0
    EXPECT_EQ(boxes.cmbVideoSize.Text, "99999999999x-4");
    boxes.cmbVideoSizeExit();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Frame Size is not a valid value!"});
}

TEST_F(BoxesTest, GroupsFollowTheirEncoderBoxes) {
    LoadUnseeded("700");
    for (auto* b : {&boxes.cmbVideoSize, &boxes.cmbVideoEncoder, &boxes.cmbVideoBitRate, &boxes.cmbFrameRate,
                    &boxes.cmbZoom})
        EXPECT_FALSE(b->Enabled);
    for (auto* b : {&boxes.cmbSamplerate, &boxes.cmbAudioEncoder, &boxes.cmbChannel, &boxes.cmbAudioBitRate,
                    &boxes.cmbVolume})
        EXPECT_TRUE(b->Enabled);

    LoadUnseeded("42");  // no section in the format file
    EXPECT_TRUE(boxes.cmbAudioEncoder.Items.empty());
    EXPECT_FALSE(boxes.cmbAudioEncoder.Enabled);
    EXPECT_FALSE(boxes.cmbVideoEncoder.Enabled);
}

TEST_F(BoxesTest, TypedBitRateIsStoredAfterEveryKey) {
    LoadUnseeded("1");
    boxes.cmbVideoBitRate.SetText("");
    std::vector<std::string> stored;
    for (char key : std::string("1500")) {
        boxes.TypeKey(boxes.cmbVideoBitRate, key);
        stored.push_back(Stored("1", "paraVideoBitRate"));
    }
    EXPECT_EQ(stored, (std::vector<std::string>{"1", "15", "150", "1500"}));
    EXPECT_EQ(Stored("1", "iVideoBitRate"), "1");  // "1500" is item 1
    boxes.TypeKey(boxes.cmbVideoBitRate, '\b');
    EXPECT_EQ(Stored("1", "paraVideoBitRate"), "150");
    EXPECT_EQ(Stored("1", "iVideoBitRate"), "-1");
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(BoxesTest, KeyFiltersSwallowWhatCannotBeANumberOrSize) {
    LoadUnseeded("1");
    EXPECT_TRUE(boxes.NumericKeyPress('7'));
    EXPECT_TRUE(boxes.NumericKeyPress('\b'));
    EXPECT_FALSE(boxes.NumericKeyPress('.'));
    EXPECT_EQ(Texts(), std::vector<std::string>{"Please enter numerical."});
    EXPECT_EQ(beeps, 1);

    boxes.cmbVideoSize.SetText("");
    EXPECT_FALSE(boxes.cmbVideoSizeKeyPress('a'));
    EXPECT_TRUE(boxes.cmbVideoSizeKeyPress('x'));
    boxes.cmbVideoSize.SetText("320x");
    EXPECT_FALSE(boxes.cmbVideoSizeKeyPress('x'));
    EXPECT_FALSE(boxes.cmbVideoSizeKeyPress('X'));
    EXPECT_TRUE(boxes.cmbVideoSizeKeyPress('2'));
    EXPECT_EQ(beeps, 4);
    EXPECT_EQ(prompts.shown().size(), 1u);  // the size box only beeps
}

TEST_F(BoxesTest, FrameSizeCheck) {
    struct Case {
        const char* typed;
        std::vector<std::string> messages;
        const char* boxAfter;
        const char* stored;  // paraVideoSize, "<none>" when nothing is stored
        const char* index;
    } cases[] = {
        {"321x241", {"Frame Size must be a multiple of 2.\nThe correct value:320x240"}, "320x240", "320x240", "0"},
        {"0x480", {"Frame Size must be a multiple of 2.\nThe correct value:2x480"}, "2x480", "2x480", "0"},
        {"641x480", {"Frame Size must be a multiple of 2.\nThe correct value:640x480"}, "640x480", "640x480", "0"},
        {"640x480", {}, "640x480", "640x480", "1"},
        {"800x600", {}, "800x600", "800x600", "0"},
        {"As Source", {}, "As Source", "<none>", "<none>"},
        {"640", {"Frame Size is not a valid value!"}, "640x480", "<none>", "<none>"},
        {"x480", {"Frame Size is not a valid value!"}, "640x480", "<none>", "<none>"},
        {"640x48a", {"Frame Size is not a valid value!"}, "640x480", "<none>", "<none>"},
        {"", {"Frame Size is not a valid value!"}, "640x480", "<none>", "<none>"},
    };
    for (const auto& c : cases) {
        ScriptedPrompts p;
        ScopedPrompts s(p);
        LoadUnseeded("1");
        Settings().EraseSection("formatInfo1");
        boxes.cmbVideoSize.SetText(c.typed);
        boxes.cmbVideoSizeExit();
        std::vector<std::string> messages;
        for (const auto& m : p.shown()) messages.push_back(m.text);
        EXPECT_EQ(messages, c.messages) << c.typed;
        if (!p.shown().empty() && c.messages[0].rfind("Frame Size must", 0) == 0) {
            EXPECT_EQ(p.shown()[0].title, "Input Error!");
        }
        EXPECT_EQ(boxes.cmbVideoSize.Text, c.boxAfter) << c.typed;
        EXPECT_EQ(Stored("1", "paraVideoSize"), c.stored) << c.typed;
        EXPECT_EQ(Stored("1", "iVideoSize"), c.index) << c.typed;
    }
}

TEST_F(BoxesTest, ChangeChecksRejectTextThatIsNoValue) {
    struct Case {
        TComboModel TParameterBoxes::*box;
        void (TParameterBoxes::*change)();
        const char* text;
        const char* key;
        const char* message;  // nullptr: accepted and stored
    } cases[] = {
        {&TParameterBoxes::cmbVideoBitRate, &TParameterBoxes::cmbVideoBitRateChange, "12.5", "paraVideoBitRate",
         "Video BitRate is not a valid value!"},
        {&TParameterBoxes::cmbVideoBitRate, &TParameterBoxes::cmbVideoBitRateChange, "", "paraVideoBitRate",
         "Video BitRate is not a valid value!"},
        {&TParameterBoxes::cmbVideoBitRate, &TParameterBoxes::cmbVideoBitRateChange, "as source", "paraVideoBitRate",
         nullptr},
        {&TParameterBoxes::cmbSamplerate, &TParameterBoxes::cmbSamplerateChange, "22.05", "paraSampleRate",
         "Audio SampleRate is not a valid value!"},
        {&TParameterBoxes::cmbSamplerate, &TParameterBoxes::cmbSamplerateChange, "22050", "paraSampleRate", nullptr},
        {&TParameterBoxes::cmbAudioBitRate, &TParameterBoxes::cmbAudioBitRateChange, "12.2", "paraAudioBitRate",
         nullptr},
        {&TParameterBoxes::cmbAudioBitRate, &TParameterBoxes::cmbAudioBitRateChange, "fast", "paraAudioBitRate",
         "Audio BitRate is not a valid value!"},
    };
    for (const auto& c : cases) {
        ScriptedPrompts p;
        ScopedPrompts s(p);
        LoadUnseeded("1");
        Settings().EraseSection("formatInfo1");
        TComboModel& box = boxes.*c.box;
        box.SetText(c.text);
        (boxes.*c.change)();
        if (c.message) {
            ASSERT_EQ(p.shown().size(), 1u) << c.text;
            EXPECT_EQ(p.shown()[0].text, c.message);
            EXPECT_EQ(box.ItemIndex, 1) << "item 1 is selected";
            EXPECT_FALSE(Settings().SectionExists("formatInfo1")) << c.text;
        } else {
            EXPECT_TRUE(p.shown().empty()) << c.text;
            EXPECT_EQ(Stored("1", c.key), c.text);
        }
    }
}

TEST_F(BoxesTest, PickedItemsStoreTheirMappedValues) {
    LoadUnseeded("1");
    Settings().EraseSection("formatInfo1");
    boxes.PickItem(boxes.cmbVolume, 2);  // 225%: no engine value
    EXPECT_EQ(Stored("1", "iVolume"), "2");
    EXPECT_EQ(Stored("1", "paraVolume"), "<none>");
    boxes.PickItem(boxes.cmbVolume, 3);
    EXPECT_EQ(Stored("1", "paraVolume"), "512");
    boxes.PickItem(boxes.cmbVideoEncoder, 2);
    EXPECT_EQ(Stored("1", "paraVideoEncoder"), "mov");
    EXPECT_EQ(Stored("1", "paraGop"), "<none>");
    boxes.PickItem(boxes.cmbAudioEncoder, 2);  // Speex is no encoder of the map
    EXPECT_EQ(Stored("1", "iAudioEncoder"), "2");
    EXPECT_EQ(Stored("1", "paraAudioEncoder"), "<none>");
    boxes.PickItem(boxes.cmbChannel, 0);
    EXPECT_EQ(Stored("1", "paraChannel"), "as source");
    boxes.PickItem(boxes.cmbZoom, 2);
    EXPECT_EQ(Stored("1", "paraZoom"), "pan");
    boxes.PickItem(boxes.cmbFrameRate, 0);
    EXPECT_EQ(Stored("1", "paraFrameRate"), "29.97");
    boxes.PickItem(boxes.cmbVideoSize, 2);
    EXPECT_EQ(Stored("1", "paraVideoSize"), "as source");
}

TEST_F(BoxesTest, H264KeyThatIsNoNumberEndsTheCopyWithTheConversionError) {
    WriteFormatFile(std::string(kTestFormats) + "\n[formatInfo2]\nVideoEncoder=H264\nparaBitExact=true\n"
                                                "paraMaxBitrate=fast\nparaLevel=30\n");
    LoadUnseeded("2");
    boxes.PickItem(boxes.cmbVideoEncoder, 0);
    EXPECT_EQ(Stored("2", "paraVideoEncoder"), "libx264");
    EXPECT_EQ(Stored("2", "paraBitExact"), "true");
    EXPECT_EQ(Stored("2", "paraLevel"), "<none>");
    EXPECT_EQ(Texts(), std::vector<std::string>{"'fast' is not a valid integer value."});
}

TEST_F(BoxesTest, DefaultButtonRestoresEveryDefault) {
    LoadUnseeded("1");
    boxes.PickItem(boxes.cmbVideoEncoder, 0);
    boxes.cmbVideoSize.SetText("1000x500");
    boxes.cmbVideoSizeExit();
    boxes.PickItem(boxes.cmbZoom, 1);
    boxes.btnDefaultClick();
    EXPECT_EQ(Stored("1", "paraVideoEncoder"), "libx264");
    EXPECT_EQ(Stored("1", "paraVideoSize"), "640x480");
    EXPECT_EQ(Stored("1", "iVideoSize"), "1");
    EXPECT_EQ(Stored("1", "paraZoom"), "full");
    EXPECT_EQ(boxes.cmbVideoSize.Text, "640x480");
    EXPECT_TRUE(prompts.shown().empty());
}
