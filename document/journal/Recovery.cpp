#include "document/journal/Recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "document/CBrevDoc.h"
#include "document/journal/JournalFolder.h"
#include "image/ImageFormat.h"

namespace quillet {

namespace fs = std::filesystem;

namespace {

// Takes the folder's lock when nobody holds it: -1 when its program runs (or another program
// has just claimed it), or the folder is gone.
int lockIfAbandoned(const std::string& folder) {
    const std::string lockPath = folder + JournalFolder::kLockName;
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    // A clean-up elsewhere may have removed the folder between our open and our lock.
    struct stat held {
    }, named{};
    if (::fstat(fd, &held) != 0 || ::stat(lockPath.c_str(), &named) != 0 ||
        held.st_ino != named.st_ino) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool readWhole(const std::string& path, std::vector<uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && st.st_size >= 0 && st.st_size <= (off_t(8) << 20);
    if (ok) {
        bytes.resize(size_t(st.st_size));
        ok = ::pread(fd, bytes.data(), bytes.size(), 0) == ssize_t(bytes.size());
    }
    ::close(fd);
    return ok;
}

// Opens the layer file the manifest names, by name or, after the 21st step renamed it, by
// inode. -1 with `error` set when no file of the right size is there.
int openLayerFile(const std::string& folder, const ManifestFile& f, std::string& error) {
    auto fits = [&](int fd) {
        struct stat st {};
        return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && uint64_t(st.st_size) == f.Bytes() &&
               (f.inode == 0 || uint64_t(st.st_ino) == f.inode);
    };
    if (f.name.find('/') == std::string::npos && !f.name.empty()) {
        const int fd = ::open((folder + f.name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0 && fits(fd)) return fd;
        if (fd >= 0) ::close(fd);
    }
    if (f.inode != 0) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            struct stat st {};
            if (::stat(it->path().c_str(), &st) != 0 || uint64_t(st.st_ino) != f.inode) continue;
            const int fd = ::open(it->path().c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0 && fits(fd)) return fd;
            if (fd >= 0) ::close(fd);
        }
    }
    error = "the layer file " + f.name + " is missing or incomplete";
    return -1;
}

bool readAt(int fd, void* to, uint64_t bytes, uint64_t at) {
    auto* p = static_cast<uint8_t*>(to);
    while (bytes > 0) {
        const ssize_t n = ::pread(fd, p, size_t(std::min<uint64_t>(bytes, 1u << 30)), off_t(at));
        if (n <= 0) {
            if (n < 0 && errno == EINTR) continue;
            return false;
        }
        p += n;
        at += uint64_t(n);
        bytes -= uint64_t(n);
    }
    return true;
}

Status fail(CBrevDoc& doc, std::string message) {
    doc.Layers().Clear();
    doc.Snapshot().Clear();
    doc.SetCurrentLayerIndex(-1);
    return {StatusCode::Corrupt, std::move(message)};
}

}  // namespace

std::unique_ptr<RecoveryFolder> RecoveryFolder::Claim(const std::string& folder,
                                                      std::string& error) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
        error = "no such folder: " + folder;
        return nullptr;
    }
    const int fd = lockIfAbandoned(path);
    if (fd < 0) {
        error = "the folder " + folder + " is in use by a running program";
        return nullptr;
    }
    std::unique_ptr<RecoveryFolder> f(new RecoveryFolder(path, fd));
    f->ReadManifests();
    return f;
}

std::vector<std::unique_ptr<RecoveryFolder>> RecoveryFolder::ClaimAbandoned(
    const std::string& tmpRoot) {
    std::vector<std::unique_ptr<RecoveryFolder>> found;
    std::error_code ec;
    for (fs::directory_iterator it(tmpRoot, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_directory(ec) || !JournalFolder::IsInstanceName(it->path().filename()))
            continue;
        bool manifests = false;
        std::error_code inner;
        for (fs::directory_iterator f(it->path(), inner), e; !inner && f != e; f.increment(inner))
            manifests = manifests || RecoveryManifest::IsManifestName(f->path().filename());
        if (!manifests) continue;
        // A folder without a lock file is abandoned too: a folder gets its name only once locked.
        std::string path = it->path().string() + '/';
        const int fd = lockIfAbandoned(path);
        if (fd < 0) continue;
        std::unique_ptr<RecoveryFolder> folder(new RecoveryFolder(std::move(path), fd));
        folder->ReadManifests();
        found.push_back(std::move(folder));
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a->Path() < b->Path(); });
    return found;
}

RecoveryFolder::~RecoveryFolder() {
    if (lockFd_ >= 0) ::close(lockFd_);
}

void RecoveryFolder::ReadManifests() {
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec))
        if (RecoveryManifest::IsManifestName(it->path().filename())) names.push_back(it->path());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        RecoverableDocument d;
        d.manifestPath = name;
        std::vector<uint8_t> bytes;
        std::string error;
        if (!readWhole(name, bytes)) {
            problems_.push_back(name + ": cannot be read");
        } else if (!RecoveryManifest::Parse(bytes, d.manifest, error)) {
            problems_.push_back(name + ": " + error);
        } else {
            documents_.push_back(std::move(d));
        }
    }
    std::sort(documents_.begin(), documents_.end(), [](const auto& a, const auto& b) {
        return a.manifest.documentNumber < b.manifest.documentNumber;
    });
}

void RecoveryFolder::Remove() {
    if (lockFd_ < 0) return;
    // The manifests go first, so that a clean-up cut short never offers half a document.
    for (const RecoverableDocument& d : documents_) std::remove(d.manifestPath.c_str());
    JournalFolder::RemoveJournalFiles(path_);
    ::close(lockFd_);
    lockFd_ = -1;
}

Status RebuildRecovered(CBrevDoc& doc, const std::string& folder, const RecoveryManifest& m) {
    LayerTable& t = doc.Layers();
    t.Clear();
    doc.Snapshot().Clear();
    doc.ReleaseWorkingCopy();
    doc.SetCurrentLayerIndex(-1);
    const PictureHeader& h = m.header;
    if (h.canvasWidth < 1 || h.canvasHeight < 1 || !FitsPixelLimit(h.canvasWidth, h.canvasHeight))
        return fail(doc, "the recorded canvas is not valid");
    t.header = h;
    t.header.ClearWorkingReferences();
    t.palette = m.palette;
    std::string error;
    for (const ManifestLayer& ml : m.layers) {
        const Layer& r = ml.record;
        const ManifestFile& f = ml.file;
        if (f.name.empty()) return fail(doc, "a layer was never written to the journal");
        if (r.width != f.width || r.height != f.height || r.kind != f.kind ||
            (r.kind == LayerKind::Text && r.textLength != f.textLength))
            return fail(doc, "the layer in slot " + std::to_string(ml.slot) +
                                 " differs from its journal file");
        CreateLayerArgs a;
        a.imageKind = h.imageKind;
        a.bitsPerPixel = h.bitsPerPixel;
        a.paletteSize = h.paletteSize;
        a.slot = ml.slot;
        a.x = r.x;
        a.y = r.y;
        a.width = r.width;
        a.height = r.height;
        a.paletteMode = PaletteMode::Keep;
        a.canvasWidth = h.canvasWidth;
        a.canvasHeight = h.canvasHeight;
        a.kind = r.kind;
        a.creationTag = r.creationTag;
        a.fillPlanes = false;
        if (!doc.CreateLayer(a))
            return fail(doc, "the layer in slot " + std::to_string(ml.slot) + " cannot be made");
        Layer& l = t.layer(ml.slot);
        if (l.pixelSize != f.pixelSize || l.planeSize != f.planeSize)
            return fail(doc, "the layer in slot " + std::to_string(ml.slot) +
                                 " differs from its journal file");
        const uint32_t stride = l.stride;
        l = r;
        l.used = 1;
        l.stride = stride;
        l.planeSize = f.planeSize;
        l.pixelSize = f.pixelSize;
        const int fd = openLayerFile(folder, f, error);
        if (fd < 0) return fail(doc, error);
        LayerPlanes& p = t.planesOf(ml.slot);
        const bool text = r.kind == LayerKind::Text;
        uint64_t at = 0;
        bool ok = text || readAt(fd, p.pixels.PrepareOverwrite(), p.pixels.size(), 0);
        at += text ? 0 : p.pixels.size();
        ok = ok && readAt(fd, p.alpha.PrepareOverwrite(), p.alpha.size(), at);
        at += p.alpha.size();
        ok = ok && readAt(fd, p.effect.PrepareOverwrite(), p.effect.size(), at);
        if (ok && text) {
            const int units = std::clamp(f.textLength, 0, kMaxTextChars);
            l.textLength = units;
            p.text.assign(size_t(units) + 1, 0);
            ok = readAt(fd, p.text.data(), 2 * uint64_t(units),
                        f.MaskOffset() + uint64_t(uint32_t(f.maskWidth)) * uint32_t(f.maskHeight));
        }
        ::close(fd);
        if (!ok) return fail(doc, "the layer file " + f.name + " cannot be read");
    }
    t.bottom = m.bottom;
    // The records' links must make one list holding exactly the recorded layers.
    std::vector<int> listed = t.Order(), recorded;
    for (const ManifestLayer& ml : m.layers) recorded.push_back(ml.slot);
    std::sort(listed.begin(), listed.end());
    std::sort(recorded.begin(), recorded.end());
    if (recorded.empty() || listed != recorded ||
        std::adjacent_find(recorded.begin(), recorded.end()) != recorded.end())
        return fail(doc, "the recorded layer list is broken");
    // The selection mask, from a layer file written with it, or whole when none was.
    t.mask.Reset(m.maskX, m.maskY, std::max(0, m.maskWidth), std::max(0, m.maskHeight), 1);
    if (m.maskLayer >= 0) {
        const ManifestFile& f = m.layers[size_t(m.maskLayer)].file;
        if (f.maskWidth != m.maskWidth || f.maskHeight != m.maskHeight)
            return fail(doc, "the recorded selection differs from its journal file");
        const int fd = openLayerFile(folder, f, error);
        if (fd < 0) return fail(doc, error);
        const bool ok = readAt(fd, t.mask.bytes.data(), t.mask.bytes.size(), f.MaskOffset());
        ::close(fd);
        if (!ok) return fail(doc, "the layer file " + f.name + " cannot be read");
    }
    for (const ManifestLayer& ml : m.layers) doc.CopyToSnapshot(ml.slot);
    doc.ResetWorkingCopy(h.workingCopySize, m.workingPlaneSize);
    doc.Snapshot().bottom = t.bottom;
    doc.SetSelectionActive(m.selectionActive);
    doc.Image().header = m.imageDescription;
    doc.SetCurrentLayerIndex(t.InList(m.currentLayer) ? m.currentLayer : t.Top());
    doc.SetFileName(m.fileName);
    return {};
}

}  // namespace quillet
