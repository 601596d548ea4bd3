#pragma once
// The desktop program's application object: the event loop, the main-thread waker and
// the application-wide error reporter.
#include <QApplication>
#include <string>

namespace vexlo::gui {

class TApplication : public QApplication {
    Q_OBJECT
public:
    // Binds the main-thread facility to this thread and lets queued calls wake the loop.
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // Exceptions that reach the event loop go to the error reporter once it is installed;
    // before that they end the program as usual.
    bool notify(QObject* receiver, QEvent* event) override;
    static void InstallErrorReporter();
    static bool ErrorReporterInstalled();

    // The application title: the caption of the reporter's boxes.
    static void SetTitle(const std::string& title);
    static std::string Title();
};

}  // namespace vexlo::gui
