#include "cli/CliCommands.h"

#include <charconv>
#include <ostream>

#include "cli/CliApply.h"
#include "cli/CliFiles.h"
#include "cli/CliScan.h"
#include "cli/CliSplit.h"
#include "cli/StderrUserPort.h"
#include "cli/Thumbnail.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "image/RaViru.h"
#include "image/codecs/PsdReader.h"
#include "platform/UserPort.h"

namespace quillet::cli {

namespace {
constexpr const char* kUsage =
    "usage: quillet-cli info FILE [--max-pixels N]\n"
    "       quillet-cli layers FILE\n"
    "       quillet-cli convert IN OUT [--frame N] [--quality Q] [--max-pixels N]\n"
    "       quillet-cli scan OUT [--device NAME] [--option NAME=VALUE]...\n"
    "       quillet-cli thumbnail IN OUT.png SIZE\n"
    "       quillet-cli apply IN OUT OPERATION [NAME=VALUE ...] [--layer SLOT] [--select X,Y,W,H]\n"
    "                   [--max-pixels N]\n"
    "       quillet-cli apply --list\n"
    "       quillet-cli recover FOLDER OUTDIR\n"
    "       quillet-cli split IN PREFIX rgb|yuv|hsl [--max-pixels N]\n"
    "       quillet-cli movie OUT.avi --size WxH [--join fade|lines|zoom|pan-down|pan-right|\n"
    "                   pan-down-left|push-right|push-left|push-down|push-up] [--seconds S]\n"
    "                   [--sound FILE] PICTURE...\n";

bool parseInt(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

int usage(std::ostream& err) {
    err << kUsage;
    return 2;
}

bool parsePixels(const std::string& text, uint64_t& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= 1 && value <= kMaxImagePixels;
}

void report(std::ostream& err, const std::string& path, const Status& status) {
    ReportStatus(err, path, status);
}

int info(const std::string& path, uint64_t maxPixels, std::ostream& out, std::ostream& err) {
    const FileKind kind = FileKindOfPath(path);
    if (kind == FileKind::Vlr) {
        StderrUserPort user(err);
        CBrevDoc doc(user);
        OpenOptions options;
        options.askAbovePixels = options.maxPixels = maxPixels;
        if (Status status = OpenDocument(doc, path, options); !status) {
            report(err, path, status);
            return 1;
        }
        const LayerTable& t = doc.Layers();
        out << t.header.canvasWidth << 'x' << t.header.canvasHeight << " 24 " << t.Count() << '\n';
        return 0;
    }
    RaViru image;
    // The codecs refuse a larger picture from its header, before decoding it.
    image.pixelLimit = maxPixels;
    const ImageKind imageKind = LowerExtension(path) == "psd" ? ImageKind::Psd
                                : kind == FileKind::Sco       ? ImageKind::Unknown
                                                              : ImageKindOf(kind);
    Status status = image.ReadFile(path, imageKind);
    if (status && !image.HasBlock()) status = {StatusCode::UnknownFormat, "no picture in the file"};
    if (!status) {
        report(err, path, status);
        return 1;
    }
    if (status.incomplete()) report(err, path, status);
    out << image.Width() << 'x' << image.Height() << ' ' << image.BitCount() << ' '
        << std::max(1, int(image.frameCount)) << '\n';
    return 0;
}

int convert(const std::vector<std::string>& args, std::ostream& err) {
    OpenOptions open;
    SaveOptions save;
    uint64_t maxPixels = kDefaultMaxPixels;
    for (size_t i = 3; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return usage(err);
        if (args[i] == "--frame") {
            if (!parseInt(args[i + 1], 0, 1 << 20, open.frameIndex)) return usage(err);
        } else if (args[i] == "--quality") {
            if (!parseInt(args[i + 1], 1, 100, save.jpegQuality)) return usage(err);
        } else if (args[i] == "--max-pixels") {
            if (!parsePixels(args[i + 1], maxPixels)) return usage(err);
        } else {
            return usage(err);
        }
    }
    // Nobody is there to ask: the limit is the answer.
    open.askAbovePixels = open.maxPixels = maxPixels;
    StderrUserPort user(err);
    CBrevDoc doc(user);
    Status opened = OpenDocument(doc, args[1], open);
    if (!opened) {
        report(err, args[1], opened);
        return 1;
    }
    if (opened.incomplete()) report(err, args[1], opened);
    if (Status saved = SaveDocument(doc, args[2], save); !saved) {
        report(err, args[2], saved);
        return 1;
    }
    return 0;
}
}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 2 && args[0] == "layers") return Layers(args[1], out, err);
    if (args.size() >= 2 && args[0] == "info") {
        uint64_t maxPixels = kDefaultMaxPixels;
        if (args.size() == 4 && args[2] == "--max-pixels") {
            if (!parsePixels(args[3], maxPixels)) return usage(err);
        } else if (args.size() != 2) {
            return usage(err);
        }
        return info(args[1], maxPixels, out, err);
    }
    if (args.size() >= 3 && args[0] == "convert") return convert(args, err);
    if (!args.empty() && args[0] == "scan") {
        const int code = Scan(args, out, err);
        return code == 2 ? usage(err) : code;
    }
    if (!args.empty() && args[0] == "thumbnail") return RunThumbnail(args, err);
    if (!args.empty() && args[0] == "apply") {
        const int code = RunApply(args, out, err);
        return code == 2 ? usage(err) : code;
    }
    if (!args.empty() && args[0] == "recover") {
        const int code = Recover(args, out, err);
        return code == 2 ? usage(err) : code;
    }
    if (!args.empty() && args[0] == "split") {
        const int code = RunSplit(args, err);
        return code == 2 ? usage(err) : code;
    }
    if (!args.empty() && args[0] == "movie") {
        const int rc = Movie(args, err);
        return rc >= 0 ? rc : usage(err);
    }
    return usage(err);
}

}  // namespace quillet::cli
