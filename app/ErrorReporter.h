#pragma once
// How an exception that reaches the event loop is shown to the user.
#include <exception>
#include <string>

#include "platform/Prompts.h"

namespace vexlo {

// Thrown for faults the program cannot show meaningfully (the counterpart of an access
// violation); the reporter stays silent about them.
class AccessViolation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The message with a "." appended when its last character sorts after ".".
std::string ErrorReportText(const std::string& message);

// Shows the exception through the prompts: engine errors with a warning icon, others with
// an error icon, access violations not at all. Returns false when nothing was shown.
bool ReportException(std::exception_ptr error, const std::string& title);

}  // namespace vexlo
