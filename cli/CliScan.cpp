#include "cli/CliScan.h"

#include <ostream>

#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "services/AcquiredPicture.h"
#include "services/SaneScanner.h"

namespace quillet::cli {

namespace {

std::string PagePath(const std::string& out, int page) {
    if (page == 1) return out;
    const size_t slash = out.find_last_of('/');
    size_t dot = out.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = out.size();
    return out.substr(0, dot) + "-" + std::to_string(page) + out.substr(dot);
}

// Each page becomes a document named as the editor names it and is saved at once.
class SavePages : public ScanPageSink {
public:
    SavePages(std::string out, std::ostream& log, std::ostream& err)
        : out_(std::move(out)), log_(log), err_(err) {}

    Answer page(RaViru& picture) override {
        RecordingUserPort user;
        CBrevDoc doc(user);
        const std::u16string name = AcquiredDocumentName(AcquiredSource::Scanner, number_);
        if (!AdoptAcquiredPicture(doc, picture, name)) return Answer::Take;
        ++number_;
        const std::string path = PagePath(out_, number_);
        if (Status saved = SaveDocument(doc, path); !saved) {
            err_ << path << ": " << saved.message() << '\n';
            failed_ = true;
            return Answer::StopAll;
        }
        log_ << utf16ToUtf8(name) << ' ' << path << ' ' << doc.Layers().header.canvasWidth << 'x'
             << doc.Layers().header.canvasHeight << '\n';
        return Answer::Take;
    }
    bool failed() const { return failed_; }

private:
    std::string out_;
    std::ostream& log_;
    std::ostream& err_;
    int number_ = 0;
    bool failed_ = false;
};

}  // namespace

int Scan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() < 2 || FileKindOfPath(args[1]) == FileKind::None) return 2;
    std::string device;
    std::vector<ScanOption> options;
    for (size_t i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return 2;
        if (args[i] == "--device") {
            device = args[i + 1];
        } else if (args[i] == "--option") {
            const size_t eq = args[i + 1].find('=');
            if (eq == std::string::npos || eq == 0) return 2;
            options.push_back({args[i + 1].substr(0, eq), args[i + 1].substr(eq + 1)});
        } else {
            return 2;
        }
    }
    SavePages sink(args[1], out, err);
    SaneSession session;
    const ScanOutcome outcome = session.Acquire(device, options, sink);
    if (!outcome.detail.empty()) err << "scan: " << outcome.detail << '\n';
    if (outcome.result != ScanResult::Done) {
        err << ScanResultMessage(outcome.result) << '\n';
        return 1;
    }
    return sink.failed() ? 1 : 0;
}

}  // namespace quillet::cli
