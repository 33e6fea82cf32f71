// The recovery manifest of the document's current state, and the removal of files a manifest
// still waiting to be written may name.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

#include "base/AtomicFileWriter.h"
#include "document/CBrevDoc.h"
#include "document/journal/RecoveryManifest.h"
#include "document/journal/UndoStore.h"

namespace quillet {

namespace {

std::string retiredPrefix(int documentNumber) {
    return "Retired_" + std::to_string(documentNumber) + "_";
}

void writeAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    // A manifest that cannot be written leaves the last one in place, which names files that
    // are still there: the document comes back a little older, editing goes on regardless.
    AtomicFileWriter out(path);
    if (!out.open()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out.file()) != bytes.size()) {
        out.discard();
        return;
    }
    (void)out.commit();
}

}  // namespace

std::string UndoStore::ManifestPath() const {
    return folder_ + RecoveryManifest::FileName(doc_.DocumentNumber());
}

void UndoStore::RetireFile(const std::string& path) {
    // With nothing waiting, the manifest on disk is the latest, which never names this file.
    if (!writer_.Busy()) {
        std::remove(path.c_str());
        return;
    }
    const std::string retired =
        folder_ + retiredPrefix(doc_.DocumentNumber()) + std::to_string(retired_++) + ".vlrtmp";
    if (std::rename(path.c_str(), retired.c_str()) != 0) return;  // no such file
    writer_.After([retired] { std::remove(retired.c_str()); });
}

void UndoStore::RemoveRetiredFiles() {
    namespace fs = std::filesystem;
    const std::string prefix = retiredPrefix(doc_.DocumentNumber());
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().filename().string().rfind(prefix, 0) == 0) fs::remove(it->path(), ec);
}

void UndoStore::WriteManifest(bool now) {
    if (folder_.empty() || stepIndex_ < 0) return;
    const LayerTable& t = doc_.Layers();
    const StepEntry& at = entries_[size_t(stepIndex_)];
    RecoveryManifest m;
    m.documentNumber = doc_.DocumentNumber();
    m.serial = serial_;
    m.savedAt = int64_t(std::time(nullptr));
    m.stepIndex = stepIndex_;
    m.fileName = doc_.FileName();
    m.lastStep = at.label;
    m.currentLayer = doc_.CurrentLayer();
    m.bottom = t.bottom;
    m.selectionActive = doc_.SelectionActive();
    m.header = t.header;
    m.workingPlaneSize = doc_.WorkingPlaneSize();
    m.palette = t.palette;
    m.imageDescription = doc_.Image().header;
    m.maskX = t.mask.x;
    m.maskY = t.mask.y;
    m.maskWidth = t.mask.width;
    m.maskHeight = t.mask.height;
    const uint64_t maskHash = MaskHash(t.mask.bytes);
    for (int s : t.Order()) {
        const int j = SourceStep(s, stepIndex_);
        const StepSlotFields& f = entries_[size_t(j)].slotFields[size_t(s)];
        ManifestLayer l;
        l.slot = s;
        l.record = t.layer(s);
        if (f.stored) {
            const std::string path = LayerFileName(j, s);
            l.file.name = path.substr(folder_.size());
            l.file.inode = f.inode;
            l.file.width = f.width;
            l.file.height = f.height;
            l.file.planeSize = f.planeSize;
            l.file.pixelSize = f.pixelSize;
            l.file.kind = f.kind;
            l.file.textLength = f.textLength;
            l.file.maskWidth = f.maskWidth;
            l.file.maskHeight = f.maskHeight;
            // The mask comes from a file written with the mask as it is now.
            if (m.maskLayer < 0 && f.maskX == t.mask.x && f.maskY == t.mask.y &&
                f.maskWidth == t.mask.width && f.maskHeight == t.mask.height &&
                f.maskHash == maskHash)
                m.maskLayer = int32_t(m.layers.size());
        }
        m.layers.push_back(std::move(l));
    }
    std::vector<uint8_t> bytes = m.Serialize();
    const std::string path = ManifestPath();
    if (now) {
        FinishWrites();
        writeAtomically(path, bytes);
        return;
    }
    writer_.After([path, bytes = std::move(bytes)] { writeAtomically(path, bytes); });
}

}  // namespace quillet
