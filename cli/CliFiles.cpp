#include "cli/CliFiles.h"

#include <ostream>

#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"

namespace quillet::cli {

void ReportStatus(std::ostream& err, const std::string& path, const Status& status) {
    err << path << ": " << (status.incomplete() ? "warning: " : "") << status.message() << " ("
        << StatusCodeName(status.code()) << ")\n";
}

bool OpenForCli(CBrevDoc& doc, const std::string& path, uint64_t maxPixels, std::ostream& err) {
    OpenOptions open;
    // Nobody is there to ask: the limit is the answer.
    open.askAbovePixels = open.maxPixels = maxPixels;
    const Status opened = OpenDocument(doc, path, open);
    if (!opened || opened.incomplete()) ReportStatus(err, path, opened);
    return bool(opened);
}

bool SaveForCli(CBrevDoc& doc, const std::string& path, std::ostream& err) {
    const Status saved = SaveDocument(doc, path, {});
    if (!saved) ReportStatus(err, path, saved);
    return bool(saved);
}

}  // namespace quillet::cli
