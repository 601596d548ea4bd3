#pragma once
#include <stdexcept>

namespace vexlo {

// Errors of the conversion engine; the GUI shows them as warnings.
class FFmpegException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace vexlo
