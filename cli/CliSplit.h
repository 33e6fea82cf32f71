#pragma once
// quillet-cli split: the current layer's channels as three grey pictures.
#include <iosfwd>
#include <string>
#include <vector>

namespace quillet::cli {

// args: "split" IN PREFIX rgb|yuv|hsl; writes PREFIX-1.bmp, PREFIX-2.bmp, PREFIX-3.bmp. Exit
// codes as Run's; 2 asks the caller to print the usage.
int RunSplit(const std::vector<std::string>& args, std::ostream& err);

}  // namespace quillet::cli
