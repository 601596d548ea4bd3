#pragma once
// The update check: the maker's notice file tells the newest version and carries the
// notices the progress window shows. Fetching and XML reading are supplied by the caller
// (the desktop program uses Qt), so the decisions here run without a GUI.
#include <stdexcept>
#include <string>
#include <vector>

namespace vexlo {

struct TAdInfo {
    std::string Info;  // the text shown
    std::string Url;   // its link
};

// A text that is not a number where one is needed.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decimal numbers as the update check reads them (blanks around ignored, '.' as the point);
// EConvertError "'x' is not a valid ... value" otherwise.
double StrToFloat(const std::string& text);
int StrToInt(const std::string& text);

// Whether `latest` is a greater number than `current` ("3.31" > " 3.300 ").
bool IsNewerVersion(const std::string& latest, const std::string& current);

class TNoticeSource {
public:
    virtual ~TNoticeSource() = default;
    // HTTP GET into the file; false (and the file untouched) on any failure.
    virtual bool DownloadToFile(const std::string& url, const std::string& fileName) = 0;
    // Value at path ("XMLPackage.row0") of the file: the attribute, or the element's text
    // when the attribute name is blank; "" when absent, "error" when unreadable.
    virtual std::string ReadXmlValue(const std::string& fileName, const std::string& path,
                                     const std::string& attribute) = 0;
};

struct TUpdateState {
    bool ClosingForUpdate = false;
    std::string LatestVersion;
    std::vector<TAdInfo> Notices;
};

extern const char* const kFetchedNoticeFile;  // "vexlonet.xml"
extern const char* const kKeptNoticeFile;     // "vexlo.xml"

// The notices shown when no notice file could be read.
std::vector<TAdInfo> BuiltInNotices();

// Runs the check with the notice files in folder (trailing '/'). A newer version asks the
// user through the prompts; Yes opens the download page through the shell and sets
// ClosingForUpdate (the caller then closes the main window). A count or version that is
// not a number throws EConvertError, with the notices left as they were.
void RunUpdateCheck(TUpdateState& state, TNoticeSource& source, const std::string& noticeUrl,
                    const std::string& folder);

}  // namespace vexlo
