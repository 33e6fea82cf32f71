#pragma once
// quillet-cli scan: pages from a scanner through the same handler as the editor's scan command,
// each saved as a file.
#include <iosfwd>
#include <string>
#include <vector>

namespace quillet::cli {

// scan OUT [--device NAME] [--option NAME=VALUE]...: the first page goes to OUT, later pages
// of a feeder to OUT with "-2", "-3", ... before the extension. Exit codes as Run's.
int Scan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quillet::cli
