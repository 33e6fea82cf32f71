#pragma once
// The data installed with the program (the default settings file): "share/quillet" beside the
// "bin" folder of the executable, found from the executable's own location, so that the same
// program runs from its build folder (which holds a copy beside its executables) and from any
// installation prefix.
#include <string>

namespace quillet {

// The data folder for an executable at `executablePath`; the folder need not exist.
std::string dataDirectoryBeside(const std::string& executablePath);
// This program's data folder, or "" when there is none.
std::string quilletDataDirectory();

}  // namespace quillet
