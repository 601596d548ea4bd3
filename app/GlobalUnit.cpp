#include "app/GlobalUnit.h"

#include "platform/Paths.h"

namespace vexlo {

#if defined(VEXLO_EDITION_GENERAL)
const char* const kProductTitle = "Vexlo Video Converter";
const char* const kSettingsFileName = "vexlovideoconverter.ini";
const char* const kFormatFileName = "vexlovideoformat.ini";
#else
const char* const kProductTitle = "Vexlo Mobile Video Converter";
const char* const kSettingsFileName = "vexlomobilevideoconverter.ini";
const char* const kFormatFileName = "vexlomobileformat.ini";
#endif
const char* const kApplicationTitle = "Vexlo Video Converter";
const char* const kMakerSiteUrl = "https://vexlo.example/";

std::string MakeVersionText(unsigned major, unsigned minor, unsigned release, unsigned build) {
    return " " + std::to_string(major) + "." + std::to_string(minor) + std::to_string(release) +
           std::to_string(build) + " ";
}

void TGlobalObject::InitDefaults() {
    SetSettingsFile(SettingsFolder() + kSettingsFileName);
    SetFormatFile(DataFilePath(kFormatFileName));
    SetTitle(kProductTitle);
    SetHelpUrl("https://vexlo.example/help/mobile-video-converter.html");
    SetHomePageUrl(kMakerSiteUrl);
    SetDownloadUrl("https://vexlo.example/download/vexlo-mobile-video-converter.tar.gz");
    SetVersionText(MakeVersionText(VEXLO_VERSION_MAJOR, VEXLO_VERSION_MINOR, VEXLO_VERSION_PATCH,
                                   VEXLO_VERSION_TWEAK));
}

TGlobalObject& GlobalObject() {
    static TGlobalObject* instance = [] {
        auto* g = new TGlobalObject;
        g->InitDefaults();
        return g;
    }();
    return *instance;
}

}  // namespace vexlo
