#include "app/gui/Application.h"

#include <QFont>
#include <QMetaObject>
#include <exception>

#include "app/ErrorReporter.h"
#include "platform/MainThread.h"

namespace vexlo::gui {

namespace {
bool g_reporterInstalled = false;
std::string g_title;
}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The windows are laid out in pixels for an 8-point interface font.
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    MainThread::Instance().BindToCurrentThread();
    MainThread::Instance().SetWaker([] {
        if (auto* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [] { MainThread::Instance().Pump(); },
                                      Qt::QueuedConnection);
    });
}

TApplication::~TApplication() {
    MainThread::Instance().SetWaker(nullptr);
    MainThread::Instance().Pump();
    g_reporterInstalled = false;
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    if (!g_reporterInstalled) return QApplication::notify(receiver, event);
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportException(std::current_exception(), g_title);
        return true;
    }
}

void TApplication::InstallErrorReporter() { g_reporterInstalled = true; }
bool TApplication::ErrorReporterInstalled() { return g_reporterInstalled; }
void TApplication::SetTitle(const std::string& title) {
    g_title = title;
    setApplicationName(QString::fromStdString(title));
}
std::string TApplication::Title() { return g_title; }

}  // namespace vexlo::gui
