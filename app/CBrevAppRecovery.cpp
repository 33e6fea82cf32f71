// Documents of programs that died, given back at start-up; the quiet close that keeps them.
#include <algorithm>

#include "app/CBrevApp.h"
#include "document/CBrevDoc.h"
#include "document/journal/UndoStore.h"

namespace quillet {

std::vector<CBrevApp::RecoveryCandidate> CBrevApp::recoveryCandidates() const {
    std::vector<RecoveryCandidate> out;
    for (const auto& folder : recovery_)
        for (const RecoverableDocument& d : folder->Documents()) out.push_back({folder.get(), &d});
    return out;
}

std::vector<std::string> CBrevApp::recoveryProblems() const {
    std::vector<std::string> out;
    for (const auto& folder : recovery_)
        out.insert(out.end(), folder->Problems().begin(), folder->Problems().end());
    return out;
}

CBrevDoc* CBrevApp::recoverDocument(const RecoveryCandidate& c, Status* status) {
    CBrevDoc& doc = createDocument();
    Status rebuilt = RebuildRecovered(doc, c.folder->Path(), c.document->manifest);
    if (status) *status = rebuilt;
    if (!rebuilt) {
        closeDocument(doc);
        return nullptr;
    }
    // Its history starts here, as an opened picture's does; it has not been saved since.
    doc.RecordStep(u"Opening....", StepKind::PixelEdit);
    doc.SetModified(true);
    return &doc;
}

Image32 CBrevApp::recoveryThumbnail(const RecoveryCandidate& c, int width, int height) {
    CBrevDoc doc(user_, 0);  // no journal folder: nothing is written
    if (!RebuildRecovered(doc, c.folder->Path(), c.document->manifest) || width < 1 || height < 1)
        return {};
    const LayerTable& t = doc.Layers();
    const double zoom = std::min(
        {1.0, double(width) / t.header.canvasWidth, double(height) / t.header.canvasHeight});
    const int w = std::max(1, Compositor::ScaledSize(t.header.canvasWidth, zoom));
    const int h = std::max(1, Compositor::ScaledSize(t.header.canvasHeight, zoom));
    return Compositor::ComposeDisplay(t, Compositor::CentredRequest(t, w, h, zoom));
}

void CBrevApp::finishRecovery(bool remove) {
    if (remove)
        for (auto& folder : recovery_) folder->Remove();
    recovery_.clear();
}

void CBrevApp::quietClose() {
    saveSettings();
    for (const Entry& e : documents_) e.doc->Journal().FinishWrites();
}

}  // namespace quillet
