#include <gtest/gtest.h>

#include "app/Preferences.h"
#include "app/Settings.h"
#include "platform/Paths.h"
#include "support/TempDir.h"

using namespace vexlo;
using vexlo::test::TempDir;

TEST(Preferences, DefaultsStoredAsOkWritesThem) {
    TempDir dir;
    test::UseSettingsIn(dir);
    StorePreferences(DefaultPreferences());
    EXPECT_EQ(settings::ReadString("SnapOutPutDir"), DefaultOutputFolder());
    struct Case {
        const char* key;
        int value;
    } cases[] = {{"snapBmp", 1}, {"snapJpg", 0}, {"snapFullSize", 1}, {"snapSmallSize", 0}, {"jpgCmp", 20},
                 {"priority", 1}};
    for (const auto& c : cases) EXPECT_EQ(settings::ReadInteger(c.key), c.value) << c.key;
}

TEST(Preferences, EmptyFolderStoresTheDefaultAndQualityZeroKeepsTheStoredOne) {
    TempDir dir;
    test::UseSettingsIn(dir);
    settings::WriteInteger("jpgCmp", 77);
    TPreferenceValues v;
    v.SnapFolder = "";
    v.Quality = 0;
    v.Priority = 3;
    StorePreferences(v);
    EXPECT_EQ(settings::ReadString("SnapOutPutDir"), DefaultOutputFolder());
    EXPECT_EQ(settings::ReadInteger("jpgCmp"), 77);
    EXPECT_EQ(settings::ReadInteger("priority"), 3);
}
