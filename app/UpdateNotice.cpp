#include "app/UpdateNotice.h"

#include <charconv>
#include <filesystem>

#include "app/GlobalUnit.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/Text.h"

namespace vexlo {

const char* const kFetchedNoticeFile = "vexlonet.xml";
const char* const kKeptNoticeFile = "vexlo.xml";

namespace {

// A notice file is a handful of lines; a huge count from a broken or hostile server must
// not make the program read the file millions of times.
constexpr int kMaxNotices = 100;

template <typename T>
T ParseNumber(const std::string& text, const char* kind) {
    std::string t = Trim(text);
    const char* first = t.data();
    const char* last = t.data() + t.size();
    if (first != last && *first == '+') ++first;
    T value{};
    auto [end, ec] = std::from_chars(first, last, value);
    if (t.empty() || ec != std::errc() || end != last || (first != t.data() && (first == last || *first == '-')))
        throw EConvertError("'" + text + "' is not a valid " + kind + " value");
    return value;
}

std::string Row(int i) { return "XMLPackage.row" + std::to_string(i); }

std::vector<TAdInfo> ReadNotices(TNoticeSource& source, int count, const std::string& infoFile,
                                 const std::string& urlFile) {
    std::vector<TAdInfo> notices;
    for (int i = 0; i < count && i < kMaxNotices; ++i)
        notices.push_back({source.ReadXmlValue(infoFile, Row(i), "info"), source.ReadXmlValue(urlFile, Row(i), "url")});
    return notices;
}

}  // namespace

double StrToFloat(const std::string& text) { return ParseNumber<double>(text, "floating point"); }
int StrToInt(const std::string& text) { return ParseNumber<int>(text, "integer"); }

bool IsNewerVersion(const std::string& latest, const std::string& current) {
    return StrToFloat(latest) > StrToFloat(current);
}

std::vector<TAdInfo> BuiltInNotices() {
    return {
        {"Convert video for every phone and player with Vexlo Video Converter.", "https://vexlo.example/videoconverter"},
        {"Vexlo DVD Ripper: your discs on your phone.", "https://vexlo.example/dvdripper"},
        {"Vexlo Audio Converter: music in every format.", "https://vexlo.example/audioconverter"},
        {"Vexlo Video Editor: trim, crop and join clips.", "https://vexlo.example/videoeditor"},
        {"Vexlo Screen Recorder: record your desktop as video.", "https://vexlo.example/screenrecorder"},
        {"Vexlo Slideshow Maker: photos and music into a movie.", "https://vexlo.example/slideshow"},
        {"Vexlo Media Player: plays everything you convert.", "https://vexlo.example/player"},
    };
}

void RunUpdateCheck(TUpdateState& state, TNoticeSource& source, const std::string& noticeUrl,
                    const std::string& folder) {
    state.ClosingForUpdate = false;
    const std::string fetched = folder + kFetchedNoticeFile;
    const std::string kept = folder + kKeptNoticeFile;
    if (source.DownloadToFile(noticeUrl, fetched) && FileExists(fetched)) {
        const std::string count = source.ReadXmlValue(fetched, "XMLPackage.count", "number");
        state.LatestVersion = source.ReadXmlValue(fetched, "XMLPackage.videoversion", "number");
        const TGlobalObject& g = GlobalObject();
        if (IsNewerVersion(state.LatestVersion, g.VersionText())) {
            if (CurrentPrompts().Show("Warning - New Version Available for Download.",
                                      "Do you want to upgrade to " + g.Title() + " " + state.LatestVersion + " now?",
                                      PromptButtons::YesNo, PromptIcon::Question) == PromptResult::Yes) {
                CurrentShell().Open(g.DownloadUrl());
                // The program is about to end; the notices would never be shown.
                state.ClosingForUpdate = true;
                return;
            }
        }
        // The kept copy is the same document; when the second fetch fails the copy just
        // fetched stands in, so the notices never read a missing file.
        if (!source.DownloadToFile(noticeUrl, kept)) {
            std::error_code ec;
            std::filesystem::copy_file(fetched, kept, std::filesystem::copy_options::overwrite_existing, ec);
        }
        const int n = StrToInt(count);
        if (n > 0) state.Notices = ReadNotices(source, n, kept, fetched);
    } else if (FileExists(kept)) {
        const std::string count = source.ReadXmlValue(kept, "XMLPackage.count", "number");
        state.LatestVersion = source.ReadXmlValue(kept, "XMLPackage.videoversion", "number");
        const int n = StrToInt(count);
        if (n > 0) state.Notices = ReadNotices(source, n, kept, kept);
    } else {
        state.Notices = BuiltInNotices();
    }
}

}  // namespace vexlo
