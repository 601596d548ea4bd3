#include "app/gui/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/MainThread.h"

namespace vexlo::gui {

namespace {

QMessageBox::Icon ToQt(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information: return QMessageBox::Information;
        case PromptIcon::Warning: return QMessageBox::Warning;
        case PromptIcon::Error: return QMessageBox::Critical;
        case PromptIcon::Question: return QMessageBox::Question;
        case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::OK: return QMessageBox::Ok;
        case PromptButtons::OKCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case PromptButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

PromptResult FromQt(int button, PromptButtons asked) {
    switch (button) {
        case QMessageBox::Ok: return PromptResult::OK;
        case QMessageBox::Yes: return PromptResult::Yes;
        case QMessageBox::No: return PromptResult::No;
        case QMessageBox::Cancel: return PromptResult::Cancel;
        default: break;
    }
    // Closed with the window's close button: the answer that does nothing.
    return asked == PromptButtons::OK ? PromptResult::OK
           : asked == PromptButtons::YesNo ? PromptResult::No
                                           : PromptResult::Cancel;
}

}  // namespace

PromptResult QtPrompts::Show(const std::string& title, const std::string& text,
                             PromptButtons buttons, PromptIcon icon) {
    // Core code may ask from a worker thread; boxes belong to the GUI thread.
    if (!MainThread::Instance().IsMainThread()) {
        PromptResult result = FirstButton(buttons);
        MainThread::Instance().Call([&] { result = Show(title, text, buttons, icon); });
        return result;
    }
    QMessageBox box(ToQt(icon), QString::fromStdString(title), QString::fromStdString(text),
                    ToQt(buttons), QApplication::activeWindow());
    return FromQt(box.exec(), buttons);
}

}  // namespace vexlo::gui
