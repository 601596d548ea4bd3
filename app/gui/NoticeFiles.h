#pragma once
// The update check's network and XML side, on Qt Network and Qt XML.
#include <string>

#include "app/UpdateNotice.h"

namespace vexlo::gui {

constexpr int kDownloadTimeoutMs = 15000;

// HTTP GET of url into fileName. The wait runs an event loop, so every window keeps
// working; a server that sends nothing for timeoutMs ends it. False, with the file left as
// it was, on any failure (no connection, time-out, an HTTP error status).
bool DownloadToFile(const std::string& url, const std::string& fileName, int timeoutMs = kDownloadTimeoutMs);

// The value at a dotted path ("XMLPackage.row2") of an XML file: the attribute named by
// attribute, or the element's text when attribute is blank. "" when the root element or a
// step of the path is missing, "error" when the file cannot be read as XML.
std::string ReadXmlValue(const std::string& fileName, const std::string& path, const std::string& attribute);

class TQtNoticeSource : public TNoticeSource {
public:
    explicit TQtNoticeSource(int timeoutMs = kDownloadTimeoutMs) : timeoutMs_(timeoutMs) {}
    bool DownloadToFile(const std::string& url, const std::string& fileName) override {
        return gui::DownloadToFile(url, fileName, timeoutMs_);
    }
    std::string ReadXmlValue(const std::string& fileName, const std::string& path,
                             const std::string& attribute) override {
        return gui::ReadXmlValue(fileName, path, attribute);
    }

private:
    int timeoutMs_;
};

}  // namespace vexlo::gui
