#pragma once

namespace vexlo::cli {

// Loads the converter's media libraries (the LibAV folder beside the program first);
// prints the loader's error to stderr and returns false when that fails.
bool LoadConverterLibraries();

}  // namespace vexlo::cli
