#include "cli/CliSplit.h"

#include <charconv>
#include <ostream>

#include "cli/CliCommands.h"
#include "cli/CliFiles.h"
#include "cli/StderrUserPort.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/FilterCommands.h"

namespace quillet::cli {

int RunSplit(const std::vector<std::string>& args, std::ostream& err) {
    uint64_t maxPixels = kDefaultMaxPixels;
    if (args.size() == 6 && args[4] == "--max-pixels") {
        const char* end = args[5].data() + args[5].size();
        auto [ptr, ec] = std::from_chars(args[5].data(), end, maxPixels);
        if (ec != std::errc() || ptr != end || maxPixels < 1 || maxPixels > kMaxImagePixels)
            return 2;
    } else if (args.size() != 4) {
        return 2;
    }
    ChannelSpace space;
    if (args[3] == "rgb")
        space = ChannelSpace::Rgb;
    else if (args[3] == "yuv")
        space = ChannelSpace::Yuv;
    else if (args[3] == "hsl")
        space = ChannelSpace::Hsl;
    else
        return 2;
    StderrUserPort user(err);
    CBrevDoc doc(user);
    if (!OpenForCli(doc, args[1], maxPixels, err)) return 1;
    const auto pictures = ChannelPictures(doc, space);
    if (!pictures[0]) {
        err << args[1] << ": the current layer has no pixels to split\n";
        return 1;
    }
    for (int k = 0; k < 3; ++k) {
        const std::string out = args[2] + '-' + std::to_string(k + 1) + ".bmp";
        if (const Status written = pictures[size_t(k)]->WriteFile(out, ImageKind::Bmp); !written) {
            ReportStatus(err, out, written);
            return 1;
        }
    }
    return 0;
}

}  // namespace quillet::cli
