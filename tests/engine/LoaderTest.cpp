#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>
#include <link.h>

#include "engine/FFmpegApi.h"
#include "engine/FFmpegLoader.h"
#include "support/TempDir.h"

using namespace vexlo;
using vexlo::test::TempDir;

namespace {

void ExpectNothingOfSetLoaded(uint32_t set) {
    auto& loader = TFFmpegLoader::Instance();
    for (int i = 0; i < LIB_COUNT; ++i)
        if (set & (1u << i)) {
            EXPECT_FALSE(loader.IsLoaded(i)) << TFFmpegLoader::FileName(i);
        }
    EXPECT_EQ(ff::avutil.av_malloc, nullptr);
    EXPECT_EQ(ff::avcodec.avcodec_open2, nullptr);
}

// Path of a real shared object that is not a media library.
std::string SomeOtherSharedObject() {
    void* h = dlopen("libz.so.1", RTLD_NOW);
    if (!h) return {};
    link_map* map = nullptr;
    dlinfo(h, RTLD_DI_LINKMAP, &map);
    std::string path = map ? map->l_name : "";
    dlclose(h);
    return path;
}

}  // namespace

TEST(Loader, LoadsConverterSetFromTheSystemOnceAndResolvesFunctions) {
    auto& loader = TFFmpegLoader::Instance();
    loader.SetLibraryFolder("/nonexistent/LibAV");
    ASSERT_TRUE(loader.Load(kConverterLibraries)) << loader.LastError();
    EXPECT_TRUE(loader.Loaded(kConverterLibraries));
    EXPECT_FALSE(loader.IsLoaded(LIB_AVDEVICE));
    EXPECT_NE(ff::avformat.avformat_open_input, nullptr);
    EXPECT_EQ(ff::avcodec.avcodec_version() >> 16, 59u);
    EXPECT_TRUE(loader.Load(kConverterLibraries));  // a second load changes nothing
    EXPECT_NE(loader.VersionsText().find("libavcodec"), std::string::npos);
    for (int i = LIB_COUNT - 1; i >= 0; --i) loader.Unload(i);
    ExpectNothingOfSetLoaded(kConverterLibraries);
}

TEST(Loader, InvalidLibraryInFolderFailsNamingThatFileAndUnloadsTheSet) {
    TempDir libav;
    test::WriteFile(libav.file("libavfilter.so.8"), "this is not a shared object");
    auto& loader = TFFmpegLoader::Instance();
    loader.SetLibraryFolder(libav.path());
    EXPECT_FALSE(loader.Load(kConverterLibraries));
    std::string expected = "Load library " + libav.file("libavfilter.so.8") + " error: ";
    EXPECT_EQ(loader.LastError().substr(0, expected.size()), expected) << loader.LastError();
    ExpectNothingOfSetLoaded(kConverterLibraries);
}

TEST(Loader, LibraryWithoutAFunctionGivesLoadFunction) {
    std::string other = SomeOtherSharedObject();
    ASSERT_FALSE(other.empty());
    TempDir libav;
    std::filesystem::copy_file(other, libav.file("libswscale.so.6"));
    auto& loader = TFFmpegLoader::Instance();
    loader.SetLibraryFolder(libav.path());
    EXPECT_FALSE(loader.Load(kConverterLibraries));
    EXPECT_EQ(loader.LastError().rfind("Load function swscale_version@libswscale.so.6 error: ", 0), 0u)
        << loader.LastError();
    ExpectNothingOfSetLoaded(kConverterLibraries);
    // The folder fixed, the same loader succeeds.
    loader.SetLibraryFolder("");
    EXPECT_TRUE(loader.Load(kConverterLibraries)) << loader.LastError();
}

TEST(Loader, PlayerSetAddsSDL) {
    auto& loader = TFFmpegLoader::Instance();
    ASSERT_TRUE(loader.Load(kPlayerLibraries)) << loader.LastError();
    EXPECT_TRUE(loader.IsLoaded(LIB_SDL));
    EXPECT_NE(ff::sdl.SDL_Init, nullptr);
}
