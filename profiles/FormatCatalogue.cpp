#include "profiles/FormatCatalogue.h"

namespace vexlo {

TEdition RunningEdition() {
#if defined(VEXLO_EDITION_GENERAL)
    return TEdition::General;
#else
    return TEdition::Mobile;
#endif
}

namespace {

// Shared by both editions.
const TFormatCategory kIPhone{"Apple iPhone",
                              {"iPhone MPEG-4 Extra Video (*.mp4)", "iPhone MPEG-4 Wide Screen (*.mp4)",
                               "iPhone MPEG-4 Movie (*.mp4)", "iPhone Movie for 480p TV Out (*.mp4)",
                               "iPhone Movie for 576p TV Out (*.mp4)"}};
const TFormatCategory kGPhone{"GPhone", {"GPhone MPEG-4 Movie (*.mp4)"}};
const TFormatCategory kMobilePhone{
    "Mobile Phone",
    {"Mobile Phone 3GP h263 Video(*.3gp)", "Mobile Phone 3GP MPEG-4 Video(*.3gp)",
     "Mobile Phone 3GP2 h263 Video(*.3gp)", "Mobile Phone 3GP2 MPEG-4 Video(*.3gp)",
     "Mobile Phone MPEG-4 Video(*.mp4)", "Nokia N Series MPEG-4 Video(*.mp4)"}};
const TFormatCategory kBlackBerry{"BlackBerry", {"BlackBerry MPEG-4 Video(*.mp4)"}};
const TFormatCategory kNokia{"Nokia", {"Nokia N Series MPEG-4 Video (*.mp4)"}};
const TFormatCategory kWindowsMobile{
    "Windows Mobile",
    {"Dell Axim 51 Video (*.wmv)", "Dell Axim 51V Video (*.wmv)", "HP iPAQ hw6500 Series Video (*.wmv)",
     "HP iPAQ hx2000/rx3000/rx1900 Series Video (*.wmv)", "HP iPAQ hx4700 Series Video (*.wmv)",
     "Palm Treo Series Video (*.wmv)", "HTC Touch Diamond Video (*.wmv)", "General Pocket PC Video (*.wmv)"}};
const TFormatCategory kGeneralVideo{
    "General Video formates",
    {"MPEG-1 Video (*.mpg)", "MPEG-2 Video (*.mpg)", "MPEG-4 Video (*.mp4)", "H.264/MPEG-4 AVC Video (*.mp4)",
     "AVI Video (*.avi)", "WMV Video (*.wmv)", "Divx Video (*.avi)", "Xvid Video (*.avi)",
     "DV - NTSC -Digital Video Format (*.dv)", "DV - PAL -Digital Video Format (*.dv)"}};
const TFormatCategory kGeneralAudio{
    "General Audio formates",
    {"MP3 MPEG Layer-3 Audio (*.mp3)", "AAC Advenced Audio Codec (*.aac)", "M4A MPEG-4 Audio (*.m4a)",
     "WMA - Windows Meida Audio (*.wma)", "WAV - Waveform Audio (*.wav)", "OGG Vorbis Audio Codec (*.ogg)",
     "AC-3 Audio Codec (*.ac3)"}};

const std::vector<TFormatCategory>& MobileCatalogue() {
    static const std::vector<TFormatCategory> c{kIPhone, kGPhone, kMobilePhone, kBlackBerry,
                                                kNokia, kWindowsMobile, kGeneralVideo, kGeneralAudio};
    return c;
}

const std::vector<TFormatCategory>& GeneralCatalogue() {
    static const std::vector<TFormatCategory> c{
        {"Apple iPod",
         {"iPod Video MPEG-4 (*.mp4)", "iPod Video H.264 (*.mp4)", "iPod MPEG-4 Excellent (320 x 240)(*.mp4)",
          "iPod MPEG-4 Normal (320 x 240)(*.mp4)", "iPod MPEG-4 Mini (320 x 240)(*.mp4)",
          "iPod Touch MPEG-4 Excellent (*.mp4)", "iPod Touch MPEG-4 (480 x 320) (*.mp4)",
          "iPod Touch MPEG-4 (320 x 240) (*.mp4)", "iPod Touch MPEG-4 Wide Screen (*.mp4)"}},
        kIPhone,
        {"Apple TV",
         {"Apple TV (640 x 480) MPEG-4 Excellent (*.mp4)", "Apple TV (640 x 480) MPEG-4 Normal (*.mp4)",
          "Apple TV (640 x 480) MPEG-4 Mini (*.mp4)", "Apple H.264 (320 x 240) (*.mp4)",
          "Apple H.264 480P (640 x 480) (*.mp4)", "Apple H.264 720p (1280 x 720) (*.mp4)"}},
        kGPhone,
        {"Sony PSP",
         {"PSP MPEG-4 Excellent Quality (*.mp4)", "PSP MPEG-4 Normal Quality (*.mp4)",
          "PSP MPEG-4 Mini Size (*.mp4)", "PSP H.264/AVC Video (*.mp4)", "PSP Video (480P) (*.mp4)"}},
        {"Sony PS3",
         {"PS3 MPEG-4 Video (480P) (*.mp4)", "PS3 MPEG-4 Video (480P) Excellent (*.mp4)",
          "PS3 MPEG-4 Video (720P) (*.mp4)", "PS3 MPEG-4 Video (1080P) (*.mp4)"}},
        {"Microsoft Zune",
         {"Microsoft Zune MPEG-4 Video (*.mp4)", "Microsoft Zune MPEG-4 AVC Video (*.mp4)",
          "Microsoft Zune Windows Media Video (*.wmv)"}},
        {"Sony Walkman",
         {"Sony Walkman MPEG-4 Video (*.mp4)", "Sony Walkman AVC Video (*.mp4)", "Sony Walkman WMV Video (*.wmv)"}},
        {"Archos",
         {"Archos H.264 Video (*.mp4)", "Archos MPEG4 Video (*.mp4)", "Archos 105 Video (*.wmv)",
          "Archos 404/405 Video (*.avi)", "Archos 504/604 Video (*.avi)", "Archos 605/705/TV+ Video (*.avi)",
          "Archos AV500/700 Video (*.avi)"}},
        {"Creative Zen",
         {"Creative Zen H.264 Video (*.mp4)", "Creative Zen MPEG4 Video (*.mp4)", "Creative Zen Xvid Video (*.avi)",
          "Creative Zen X-Fi Video (*.avi)", "Creative Zen Vison Video (*.avi)", "Creative Zen Vison M Video (*.avi)",
          "Creative Zen Vison W Video (*.avi)"}},
        {"iRiver",
         {"iRiver H.264 Video (*.mp4)", "iRiver MPEG4 Video (*.mp4)", "iRiver WMV Video (*.wmv)",
          "iRiver Xvid Video (*.avi)", "iRiver E10 Video (*.avi)", "iRiver U10/Clix Video (*.avi)",
          "iRiver B20/X20/Clix 2/E100/Lplayer Video (*.avi)", "iRiver Spinn/D28/DICPLE D30 Video (*.avi)",
          "iRiver P10/P20 Video (*.avi)", "iRiver PMP-120/140/IMP-1000/1100 Video (*.avi)"}},
        {"Sandisk Sansa",
         {"Sandisk Sansa AVI Video (*.avi)", "Sandisk Sansa WMV Video (*.wmv)", "Sandisk Sansa MPEG-4 Video (*.mp4)"}},
        {"Microsoft xbox 360",
         {"Microsoft Xbox WMV Video (*.wmv)", "Microsoft Xbox AVI Video (*.avi)",
          "Microsoft Xbox MPEG-4 Video (*.mp4)"}},
        {"Nitendeo WII", {"Nitendeo Wii AVI Video (*.avi)", "Nitendeo Wii MOV Video (*.mov)"}},
        kMobilePhone,
        kBlackBerry,
        kNokia,
        kWindowsMobile,
        {"Quick Time Video - MOV", {"MOV - Quick Time Video (*.mov)"}},
        {"Flash Video", {"Flash Video Format (*.flv)", "Flash SWF Format (*.swf)"}},
        {"Toshiba Gigabeat", {"Toshiba Gigabeat WMV Movie (*.wmv)"}},
        {"HD Video",
         {"HD AVI Video (*.avi)", "HD Divx Video (*.avi)", "HD H.264/MPEG-4 AVC Video (*.mp4)", "HD MOV Video (*.mov)",
          "HD WMV Video (*.wmv)", "HD MPEG-4 Video (*.mp4)", "HD Xvid Video (*.avi)", "HD MPEG2-PS Video (*.mpg)",
          "HD MPEG2-TS Video (*.ts)"}},
        {"DVD Video", {"DVD - NTSC MPEG-2 Moive (*.mpg)", "DVD - PAL MPEG-2 Moive (*.mpg)"}},
        {"SVCD Video", {"SVCD - NTSC MPEG-2 Moive (*.mpg)", "SVCD - PAL MPEG-2 Moive (*.mpg)"}},
        {"VCD Video", {"VCD - NTSC MPEG-1 Moive (*.mpg)", "VCD - PAL MPEG-1 Moive (*.mpg)"}},
        {"Matroska Video - MKV", {"MKV - Matroska Video (*.mkv)"}},
        kGeneralVideo,
        kGeneralAudio,
    };
    return c;
}

}  // namespace

const std::vector<TFormatCategory>& Catalogue(TEdition edition) {
    return edition == TEdition::General ? GeneralCatalogue() : MobileCatalogue();
}

void FillFormatTable(TFormatTable& table, TEdition edition) {
    for (auto& row : table) row.fill(std::string());
    const auto& cats = Catalogue(edition);
    for (size_t c = 0; c < cats.size() && c < table.size(); ++c)
        for (size_t p = 0; p < cats[c].Formats.size() && p < static_cast<size_t>(kMaxFormatsPerCategory); ++p)
            table[c][p] = cats[c].Formats[p];
}

std::string FormatNameOf(int code, TEdition edition) {
    if (code < 0) return {};
    const auto& cats = Catalogue(edition);
    size_t c = static_cast<size_t>(code / 100), p = static_cast<size_t>(code % 100);
    if (c >= cats.size() || p >= cats[c].Formats.size()) return {};
    return cats[c].Formats[p];
}

std::vector<int> CatalogueCodes(TEdition edition) {
    std::vector<int> codes;
    const auto& cats = Catalogue(edition);
    for (size_t c = 0; c < cats.size(); ++c)
        for (size_t p = 0; p < cats[c].Formats.size(); ++p)
            codes.push_back(MakeFormatCode(static_cast<int>(c), static_cast<int>(p)));
    return codes;
}

std::string FormatSection(const std::string& code) { return "formatInfo" + code; }
std::string FormatSection(int code) { return FormatSection(std::to_string(code)); }

}  // namespace vexlo
