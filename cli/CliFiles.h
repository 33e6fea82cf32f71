#pragma once
// Opening and saving for the commands that edit a picture (apply, split), the way convert
// does: the pixel limit answers the editor's size question, failures and incomplete pictures
// are reported on standard error.
#include <cstdint>
#include <iosfwd>
#include <string>

#include "base/Status.h"

namespace quillet {
class CBrevDoc;
}

namespace quillet::cli {

void ReportStatus(std::ostream& err, const std::string& path, const Status& status);
// False (reported) when the file could not be opened.
bool OpenForCli(CBrevDoc& doc, const std::string& path, uint64_t maxPixels, std::ostream& err);
bool SaveForCli(CBrevDoc& doc, const std::string& path, std::ostream& err);

}  // namespace quillet::cli
