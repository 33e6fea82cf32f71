// quillet-cli recover FOLDER OUTDIR: every document a journal folder can give back, as VLR files.
#include <filesystem>
#include <ostream>

#include "base/Utf.h"
#include "cli/CliCommands.h"
#include "cli/CliFiles.h"
#include "cli/StderrUserPort.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/journal/Recovery.h"

namespace quillet::cli {

namespace fs = std::filesystem;

namespace {

// "<name of the document's file>.vlr", or "새 그림 N.vlr"; a number is added rather than
// overwriting a file that is there.
fs::path outputPath(const fs::path& dir, const RecoveryManifest& m) {
    std::string stem = fs::path(utf16ToUtf8(m.fileName)).stem().string();
    if (stem.empty()) stem = "새 그림 " + std::to_string(m.documentNumber);
    fs::path path = dir / (stem + ".vlr");
    std::error_code ec;
    for (int n = 2; fs::exists(path, ec); ++n)
        path = dir / (stem + " (" + std::to_string(n) + ").vlr");
    return path;
}

}  // namespace

int Recover(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) return 2;
    std::string error;
    // The folder is locked while it is read: a running program's folder is refused.
    const std::unique_ptr<RecoveryFolder> folder = RecoveryFolder::Claim(args[1], error);
    if (!folder) {
        err << "quillet-cli: " << error << '\n';
        return 1;
    }
    std::error_code ec;
    fs::create_directories(args[2], ec);
    int failures = int(folder->Problems().size());
    for (const std::string& problem : folder->Problems()) err << "quillet-cli: " << problem << '\n';
    for (const RecoverableDocument& d : folder->Documents()) {
        StderrUserPort user(err);
        CBrevDoc doc(user, d.manifest.documentNumber);
        if (Status rebuilt = RebuildRecovered(doc, folder->Path(), d.manifest); !rebuilt) {
            err << "quillet-cli: " << d.manifestPath << ": " << rebuilt.message() << '\n';
            ++failures;
            continue;
        }
        const std::string path = outputPath(args[2], d.manifest).string();
        if (Status saved = SaveDocument(doc, path, {}); !saved) {
            ReportStatus(err, path, saved);
            ++failures;
            continue;
        }
        out << path << '\n';
    }
    if (folder->Documents().empty() && folder->Problems().empty())
        err << "quillet-cli: no documents to recover in " << args[1] << '\n';
    return failures == 0 && !folder->Documents().empty() ? 0 : 1;
}

}  // namespace quillet::cli
