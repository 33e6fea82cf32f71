#include "cli/Thumbnail.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "cli/PngFile.h"

namespace quillet::cli {

namespace {

constexpr int kMaxThumbnailSize = 4096;

bool parseSize(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= 1 && value <= kMaxThumbnailSize;
}

}  // namespace

int RunThumbnail(const std::vector<std::string>& args, std::ostream& err) {
    int size = 0;
    if (args.size() != 4 || !parseSize(args[3], size)) {
        err << "usage: quillet-cli thumbnail IN OUT.png SIZE   (SIZE 1.." << kMaxThumbnailSize
            << ")\n";
        return 2;
    }
    std::string error;
    const std::unique_ptr<RowSource> picture = ReadFirstPicture(args[1], error);
    if (!picture) {
        err << args[1] << ": " << error << '\n';
        return 1;
    }
    int w = 0, h = 0;
    FitSize(picture->Width(), picture->Height(), size, w, h);
    if (!WritePng(args[2], Reduce(*picture, w, h), error)) {
        err << args[2] << ": " << error << '\n';
        return 1;
    }
    return 0;
}

}  // namespace quillet::cli
