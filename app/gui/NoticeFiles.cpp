#include "app/gui/NoticeFiles.h"

#include <QDomDocument>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include "platform/IniFile.h"
#include "platform/Text.h"

namespace vexlo::gui {

bool DownloadToFile(const std::string& url, const std::string& fileName, int timeoutMs) {
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(QString::fromStdString(url)));
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    // A read time-out: it runs again whenever data arrives.
    QTimer idle;
    idle.setSingleShot(true);
    QObject::connect(&idle, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::downloadProgress, &idle, [&idle, timeoutMs] { idle.start(timeoutMs); });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    idle.start(timeoutMs);
    if (!reply->isFinished()) loop.exec();
    idle.stop();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = reply->error() == QNetworkReply::NoError && (status == 0 || (status >= 200 && status < 300));
    const QByteArray body = ok ? reply->readAll() : QByteArray();
    delete reply;
    if (!ok) return false;
    try {
        WriteFileAtomically(fileName, body.toStdString());
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

std::string ReadXmlValue(const std::string& fileName, const std::string& path, const std::string& attribute) {
    QFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::ReadOnly)) return "error";
    QDomDocument doc;
    if (!doc.setContent(&file)) return "error";
    const std::vector<std::string> names = Split(path, '.');
    QDomElement element = doc.documentElement();
    if (element.isNull() || element.tagName().toStdString() != names[0]) return "";
    for (size_t i = 1; i < names.size(); ++i) {
        element = element.firstChildElement(QString::fromStdString(names[i]));
        if (element.isNull()) return "";
    }
    const std::string name = Trim(attribute);
    return (name.empty() ? element.text() : element.attribute(QString::fromStdString(name))).toStdString();
}

}  // namespace vexlo::gui
