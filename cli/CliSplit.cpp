#include "cli/CliSplit.h"

#include <ostream>

#include "cli/StderrUserPort.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/FilterCommands.h"

namespace quillet::cli {

int RunSplit(const std::vector<std::string>& args, std::ostream& err) {
    if (args.size() != 4) return 2;
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
    std::string error;
    if (!OpenDocument(doc, args[1], {}, &error)) {
        err << args[1] << ": " << error << '\n';
        return 1;
    }
    const auto pictures = ChannelPictures(doc, space);
    if (!pictures[0]) {
        err << args[1] << ": the current layer has no pixels to split\n";
        return 1;
    }
    for (int k = 0; k < 3; ++k) {
        const std::string out = args[2] + '-' + std::to_string(k + 1) + ".bmp";
        if (!pictures[size_t(k)]->WriteFile(out, ImageKind::Bmp)) {
            err << out << ": " << pictures[size_t(k)]->lastError << '\n';
            return 1;
        }
    }
    return 0;
}

}  // namespace quillet::cli
