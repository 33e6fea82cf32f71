#pragma once
// Thumbnails for file managers: the first picture of a file (a VLR document's flat picture)
// reduced by area averaging to fit a square, written as PNG.
#include <iosfwd>
#include <string>
#include <vector>

#include "document/FirstPicture.h"

namespace quillet::cli {

using quillet::FitSize;
using quillet::Picture32;
using quillet::ReadFirstPicture;
using quillet::Reduce;
using quillet::RowSource;

// quillet-cli thumbnail IN OUT.png SIZE. Exit codes as for the other commands.
int RunThumbnail(const std::vector<std::string>& args, std::ostream& err);

}  // namespace quillet::cli
