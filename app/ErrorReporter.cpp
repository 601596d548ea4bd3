#include "app/ErrorReporter.h"

#include "engine/FFmpegException.h"

namespace vexlo {

std::string ErrorReportText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

bool ReportException(std::exception_ptr error, const std::string& title) {
    PromptIcon icon = PromptIcon::Error;
    std::string message;
    try {
        std::rethrow_exception(error);
    } catch (const AccessViolation&) {
        return false;
    } catch (const FFmpegException& e) {
        icon = PromptIcon::Warning;
        message = e.what();
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown error";
    }
    CurrentPrompts().Show(title, ErrorReportText(message), PromptButtons::OK, icon);
    return true;
}

}  // namespace vexlo
