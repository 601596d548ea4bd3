#include <gtest/gtest.h>

#include "app/Settings.h"
#include "profiles/FormatCatalogue.h"
#include "profiles/FormatFile.h"
#include "profiles/FormatPicker.h"
#include "ProfileFixture.h"

using namespace vexlo;

TEST(Catalogue, EditionsHoldTheirCategoriesAndFormats) {
    struct Case {
        TEdition edition;
        size_t categories, formats;
    } cases[] = {{TEdition::Mobile, 8, 39}, {TEdition::General, 28, 121}};
    for (const auto& c : cases) {
        EXPECT_EQ(Catalogue(c.edition).size(), c.categories);
        EXPECT_EQ(CatalogueCodes(c.edition).size(), c.formats);
        for (const auto& cat : Catalogue(c.edition)) EXPECT_LE(cat.Formats.size(), 10u) << cat.Name;
    }
#if !defined(VEXLO_EDITION_GENERAL)
    EXPECT_EQ(RunningEdition(), TEdition::Mobile);
#endif
}

TEST(Catalogue, CodesNameTheirFormats) {
    struct Case {
        TEdition edition;
        int code;
        const char* name;
    } cases[] = {
        {TEdition::Mobile, 0, "iPhone MPEG-4 Extra Video (*.mp4)"},
        {TEdition::Mobile, 205, "Nokia N Series MPEG-4 Video(*.mp4)"},
        {TEdition::Mobile, 400, "Nokia N Series MPEG-4 Video (*.mp4)"},
        {TEdition::Mobile, 507, "General Pocket PC Video (*.wmv)"},
        {TEdition::Mobile, 609, "DV - PAL -Digital Video Format (*.dv)"},
        {TEdition::Mobile, 706, "AC-3 Audio Codec (*.ac3)"},
        {TEdition::Mobile, 8, ""},
        {TEdition::Mobile, 800, ""},
        {TEdition::Mobile, -1, ""},
        {TEdition::General, 2, "iPod MPEG-4 Excellent (320 x 240)(*.mp4)"},
        {TEdition::General, 2201, "DVD - PAL MPEG-2 Moive (*.mpg)"},
        {TEdition::General, 1009, "iRiver PMP-120/140/IMP-1000/1100 Video (*.avi)"},
        {TEdition::General, 2706, "AC-3 Audio Codec (*.ac3)"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatNameOf(c.code, c.edition), c.name) << c.code;
    EXPECT_EQ(FormatSection(2201), "formatInfo2201");
}

TEST(Catalogue, FormatTableHoldsNamesAtCategoryAndPosition) {
    TFormatTable table;
    table[9][9] = "stale";
    FillFormatTable(table, TEdition::Mobile);
    EXPECT_EQ(table[5][7], "General Pocket PC Video (*.wmv)");
    EXPECT_EQ(table[9][9], "");
    EXPECT_EQ(table[1][1], "");
}

using PickerTest = vexlo::test::ProfileFixture;

TEST_F(PickerTest, FormatFileReadersFallBack) {
    struct Case {
        std::string (*read)(const std::string&);
        const char* code;
        const char* expected;
    } cases[] = {{ReadFileExt, "1", "mp4"},           {ReadFormatKeyword, "1", "null"}, {ReadZoomMode, "1", "lbox"},
                 {ReadFileExt, "200", "3gp"},         {ReadFormatKeyword, "200", "3g2"}, {ReadZoomMode, "200", "pan"},
                 {ReadFileExt, "201", "mp4"}};
    WriteFormatFile("[formatInfo200]\nFormat=3g2\nFileExt=3gp\n");
    Store("200", "parazoom", "pan");
    for (const auto& c : cases) EXPECT_EQ(c.read(c.code), c.expected) << c.code;
}

TEST_F(PickerTest, WithoutSettingsEveryCategoryIsCollapsedAndNoRowSelected) {
    TFormatPicker picker(true);
    EXPECT_EQ(picker.FillFormatList(), "Apple iPod Video MPEG-4 Movie (*.mp4)");
    ASSERT_EQ(picker.RowCount(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(picker.Rows[i].Info.IsCategory);
        EXPECT_TRUE(picker.Rows[i].Info.Collapsed);
        EXPECT_EQ(picker.Rows[i].Info.Code, i);
        EXPECT_EQ(picker.Rows[i].Text, picker.Rows[i].Info.Title);
    }
    EXPECT_EQ(picker.ItemIndex, -1);
}

TEST_F(PickerTest, ExpandingAndCollapsingWindowsMobile) {
    TFormatPicker picker(true);
    picker.FillFormatList();
    picker.Expand(5);
    ASSERT_EQ(picker.RowCount(), 16);
    for (int p = 0; p < 8; ++p) {
        const auto& row = picker.Rows[6 + p];
        EXPECT_TRUE(row.Info.IsFormat);
        EXPECT_EQ(row.Info.Code, 500 + p);
        EXPECT_EQ(row.Text, FormatNameOf(500 + p));
    }
    EXPECT_EQ(picker.Rows[14].Text, "General Video formates");
    picker.Collapse(5);
    ASSERT_EQ(picker.RowCount(), 8);
    EXPECT_EQ(picker.Rows[6].Text, "General Video formates");
    EXPECT_TRUE(picker.Rows[5].Info.Collapsed);
}

TEST_F(PickerTest, MousePressTogglesOnlyInsideTheGlyphAndPicksFormats) {
    TFormatPicker picker(true);
    picker.FillFormatList();
    EXPECT_FALSE(picker.MouseDown(2, 40));  // beside the glyph: nothing
    EXPECT_EQ(picker.RowCount(), 8);
    EXPECT_FALSE(picker.MouseDown(2, 5));
    EXPECT_EQ(picker.RowCount(), 14);
    picker.DoubleClick(2);
    EXPECT_EQ(picker.RowCount(), 8);

    picker.Expand(5);
    auto picked = picker.MouseDown(13, 60);
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked->Code, "507");
    EXPECT_EQ(picked->Name, "General Pocket PC Video (*.wmv)");
    EXPECT_EQ(settings::ReadString("FormatCode"), "507");
    EXPECT_EQ(settings::ReadString("FormatName"), "General Pocket PC Video (*.wmv)");
}

TEST_F(PickerTest, SettingsWindowPickStoresNothing) {
    TFormatPicker picker(false);
    picker.FillFormatList();
    picker.Expand(0);
    auto picked = picker.MouseDown(1, 30);
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked->Code, "0");
    EXPECT_EQ(settings::ReadString("FormatCode"), "1");
}

TEST_F(PickerTest, CollapsedStateSurvivesARefillOnlyWhenSaved) {
    TFormatPicker picker(true);
    picker.FillFormatList();
    picker.Expand(6);
    picker.Expand(0);
    TFormatPicker again(true);
    again.FillFormatList();
    EXPECT_EQ(again.RowCount(), 8);

    picker.SaveCollapsedState();
    EXPECT_EQ(Settings().ReadString("lstformat", "0", ""), "0");
    EXPECT_EQ(Settings().ReadString("lstformat", "1", ""), "1");
    settings::WriteString("FormatName", "  MPEG-2 Video (*.mpg) ");
    again.FillFormatList();
    ASSERT_EQ(again.RowCount(), 8 + 5 + 10);
    EXPECT_EQ(again.Rows[1].Info.Code, 0);
    EXPECT_EQ(again.Rows[13].Info.Code, 601);
    EXPECT_EQ(again.ItemIndex, 13);  // the stored name, blanks trimmed
}

TEST_F(PickerTest, SelectionFollowsItsRowThroughExpandAndCollapse) {
    settings::WriteString("FormatName", "MP3 MPEG Layer-3 Audio (*.mp3)");
    Settings().WriteBool("lstformat", "7", false);
    TFormatPicker picker(true);
    picker.FillFormatList();
    ASSERT_EQ(picker.ItemIndex, 8);
    picker.Expand(0);
    EXPECT_EQ(picker.Rows[picker.ItemIndex].Text, "MP3 MPEG Layer-3 Audio (*.mp3)");
    picker.Collapse(0);
    EXPECT_EQ(picker.Rows[picker.ItemIndex].Text, "MP3 MPEG Layer-3 Audio (*.mp3)");
    picker.Collapse(7);
    EXPECT_EQ(picker.ItemIndex, 7);
}

TEST(Picker, HeightHasASpareRowUpToItsCap) {
    struct Case {
        int rows, cap, height;
    } cases[] = {{8, 362, 180}, {18, 362, 380}, {19, 362, 362}, {19, 386, 400}, {20, 386, 386}, {12, 247, 260}, {13, 247, 247}};
    for (const auto& c : cases) EXPECT_EQ(PickerHeight(c.rows, c.cap), c.height) << c.rows << " " << c.cap;
}
