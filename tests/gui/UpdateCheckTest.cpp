#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "GuiFixture.h"
#include "app/gui/NoticeFiles.h"
#include "platform/Paths.h"

using namespace vexlo;
using namespace vexlo::gui;

namespace {

// A one-file HTTP server on the loopback interface, served by the test's own event loop.
class LoopbackServer {
public:
    LoopbackServer() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                ++connections;
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    request_ += s->readAll();
                    if (!request_.contains("\r\n\r\n") || silent) return;
                    request_.clear();
                    const QByteArray head = "HTTP/1.1 " + status + "\r\nContent-Type: text/xml\r\nContent-Length: " +
                                            QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
                    s->write(head + body);
                    s->disconnectFromHost();
                });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + "/notice.xml"; }

    QByteArray body;
    QByteArray status = "200 OK";
    bool silent = false;  // accept, read, never answer
    int connections = 0;

private:
    QTcpServer server_;
    QByteArray request_;
};

QByteArray Notice(const char* version, int count) {
    QByteArray x = "<?xml version=\"1.0\"?>\n<XMLPackage>\n  <count number=\"" + QByteArray::number(count) +
                   "\"/>\n  <videoversion number=\"" + version + "\"/>\n";
    for (int i = 0; i < count; ++i)
        x += "  <row" + QByteArray::number(i) + " info=\"Notice " + QByteArray::number(i) +
             "\" url=\"http://vexlo.example/" + QByteArray::number(i) + "\">text " + QByteArray::number(i) +
             "</row" + QByteArray::number(i) + ">\n";
    return x + "</XMLPackage>\n";
}

class UpdateCheckWindowTest : public test::GuiTest {
protected:
    UpdateCheckWindowTest() {
        saved = GlobalObject();
        GlobalObject().SetVersionText(" 3.300 ");
    }
    ~UpdateCheckWindowTest() override { GlobalObject() = saved; }
    void Run(int timeoutMs = 2000) {
        TQtNoticeSource source(timeoutMs);
        RunUpdateCheck(state, source, server.Url(), dir.path());
    }
    TGlobalObject saved;
    LoopbackServer server;
    TUpdateState state;
};

}  // namespace

TEST_F(UpdateCheckWindowTest, XmlValuesFollowTheDottedPath) {
    test::WriteFile(dir.file("n.xml"), Notice("3.31", 2).toStdString());
    const std::string f = dir.file("n.xml");
    struct Case {
        const char* path;
        const char* attribute;
        const char* value;
    } cases[] = {
        {"XMLPackage.count", "number", "2"},      {"XMLPackage.videoversion", " number ", "3.31"},
        {"XMLPackage.row1", "url", "http://vexlo.example/1"}, {"XMLPackage.row1", "", "text 1"},
        {"XMLPackage.row1", "  ", "text 1"},      {"XMLPackage.row7", "info", ""},
        {"XMLPackage.count", "missing", ""},      {"Package.count", "number", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadXmlValue(f, c.path, c.attribute), c.value) << c.path;
    test::WriteFile(dir.file("bad.xml"), "<XMLPackage><count number=\"2\">");
    EXPECT_EQ(ReadXmlValue(dir.file("bad.xml"), "XMLPackage.count", "number"), "error");
    EXPECT_EQ(ReadXmlValue(dir.file("none.xml"), "XMLPackage.count", "number"), "error");
}

TEST_F(UpdateCheckWindowTest, NewerVersionPromptsAndNoticesLoad) {
    server.body = Notice("3.31", 3);
    prompts.Answer(PromptResult::No);
    Run();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].title, "Warning - New Version Available for Download.");
    EXPECT_EQ(server.connections, 2);  // the fresh copy and the kept one
    ASSERT_EQ(state.Notices.size(), 3u);
    EXPECT_EQ(state.Notices[2].Info, "Notice 2");
    EXPECT_EQ(state.Notices[2].Url, "http://vexlo.example/2");
    EXPECT_EQ(test::ReadFile(dir.file("vexlo.xml")), server.body.toStdString());
}

TEST_F(UpdateCheckWindowTest, OlderVersionDoesNotPrompt) {
    server.body = Notice("3.3", 1);
    Run();
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(state.LatestVersion, "3.3");
    EXPECT_EQ(state.Notices.size(), 1u);
}

TEST_F(UpdateCheckWindowTest, WrongRootGoesToTheErrorReporter) {
    server.body = "<Package><count number=\"1\"/><videoversion number=\"9\"/></Package>";
    EXPECT_THROW(Run(), EConvertError);
    EXPECT_TRUE(state.Notices.empty());
}

TEST_F(UpdateCheckWindowTest, ErrorStatusIsAFailedFetchThatWritesNothing) {
    server.status = "404 Not Found";
    server.body = Notice("9.9", 1);
    EXPECT_FALSE(DownloadToFile(server.Url(), dir.file("x.xml"), 2000));
    EXPECT_FALSE(FileExists(dir.file("x.xml")));
    Run();
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(state.Notices.size(), BuiltInNotices().size());
}

TEST_F(UpdateCheckWindowTest, NoServerFallsBackToTheLocalCopyThenToBuiltInNotices) {
    const std::string nowhere = "http://127.0.0.1:1/notice.xml";  // nothing listens on port 1
    TQtNoticeSource source(2000);
    RunUpdateCheck(state, source, nowhere, dir.path());
    EXPECT_EQ(state.Notices.size(), 7u);
    test::WriteFile(dir.file("vexlo.xml"), Notice("9.9", 2).toStdString());
    RunUpdateCheck(state, source, nowhere, dir.path());
    EXPECT_TRUE(prompts.shown().empty());
    ASSERT_EQ(state.Notices.size(), 2u);
    EXPECT_EQ(state.Notices[0].Info, "Notice 0");
}

TEST_F(UpdateCheckWindowTest, SilentServerTimesOutWhileTheWindowKeepsWorking) {
    server.silent = true;
    int ticks = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] { ++ticks; });
    other.start(20);
    EXPECT_FALSE(DownloadToFile(server.Url(), dir.file("slow.xml"), 400));
    EXPECT_FALSE(FileExists(dir.file("slow.xml")));
    EXPECT_GT(ticks, 0);  // events kept flowing during the wait
    EXPECT_EQ(server.connections, 1);
}
