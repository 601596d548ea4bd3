#pragma once
// The program-wide object every window consults for the title, version and file paths.
#include <string>

namespace vexlo {

class TGlobalObject {
public:
    const std::string& HelpUrl() const { return helpUrl_; }
    const std::string& SettingsFile() const { return settingsFile_; }
    const std::string& FormatFile() const { return formatFile_; }
    const std::string& Title() const { return title_; }
    const std::string& VersionText() const { return versionText_; }
    const std::string& DownloadUrl() const { return downloadUrl_; }
    const std::string& HomePageUrl() const { return homePageUrl_; }

    // Empty values are ignored; so are file paths of 3 characters or fewer.
    void SetHelpUrl(const std::string& v) { SetIfNotEmpty(helpUrl_, v); }
    void SetSettingsFile(const std::string& v) { SetIfPath(settingsFile_, v); }
    void SetFormatFile(const std::string& v) { SetIfPath(formatFile_, v); }
    void SetTitle(const std::string& v) { SetIfNotEmpty(title_, v); }
    void SetVersionText(const std::string& v) { SetIfNotEmpty(versionText_, v); }
    void SetDownloadUrl(const std::string& v) { SetIfNotEmpty(downloadUrl_, v); }
    void SetHomePageUrl(const std::string& v) { SetIfNotEmpty(homePageUrl_, v); }

    // Fills every field with this installation's values (paths, title, addresses, version).
    void InitDefaults();

private:
    static void SetIfNotEmpty(std::string& field, const std::string& v) {
        if (!v.empty()) field = v;
    }
    static void SetIfPath(std::string& field, const std::string& v) {
        if (v.size() > 3) field = v;
    }
    std::string helpUrl_, settingsFile_, formatFile_, title_, versionText_, downloadUrl_,
        homePageUrl_;
};

// The one instance, created with its defaults on first use.
TGlobalObject& GlobalObject();

extern const char* const kProductTitle;
// The maker's web site (its root address): the Help menu's "Support and Contact".
extern const char* const kMakerSiteUrl;
extern const char* const kApplicationTitle;
extern const char* const kSettingsFileName;
extern const char* const kFormatFileName;

// " major.minor release build " with each number in decimal ("3.3.0.0" -> " 3.300 ").
std::string MakeVersionText(unsigned major, unsigned minor, unsigned release, unsigned build);

}  // namespace vexlo
