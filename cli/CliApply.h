#pragma once
// quillet-cli apply: one editing operation on a picture, as the editor's command runs it.
#include <iosfwd>
#include <string>
#include <vector>

namespace quillet::cli {

// args[0] is "apply". Exit codes as Run's; 2 asks the caller to print the usage.
int RunApply(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quillet::cli
