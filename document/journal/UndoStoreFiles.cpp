// The journal's files: layer files of one step and slot, and the two list files.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "document/CBrevDoc.h"
#include "document/journal/JournalListFile.h"
#include "document/journal/UndoStore.h"

namespace quillet {

namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

bool readBytes(FILE* f, void* data, size_t n) { return n == 0 || std::fread(data, 1, n, f) == n; }

// Bytes of a layer file: pixels (not for text layers), alpha, effect, mask, and text.
uint64_t layerFileBytes(const StepSlotFields& f) {
    const bool text = f.kind == LayerKind::Text;
    uint64_t n = text ? 0 : uint64_t(f.pixelSize);
    n += 2 * uint64_t(f.planeSize);
    n += uint64_t(uint32_t(f.maskWidth)) * uint64_t(uint32_t(f.maskHeight));
    if (text && f.textLength > 0) n += 2 * uint64_t(f.textLength);
    return n;
}

}  // namespace

uint64_t MaskHash(const std::vector<uint8_t>& bytes) {
    // Two multiply-mix lanes over 8-byte words: about 10 GB/s, and 64 well-mixed bits.
    uint64_t a = 0x9E3779B97F4A7C15ull ^ bytes.size(), b = 0xC2B2AE3D27D4EB4Full;
    const uint8_t* p = bytes.data();
    size_t n = bytes.size();
    auto mix = [](uint64_t h, uint64_t w) {
        h ^= w * 0xBF58476D1CE4E5B9ull;
        h = (h << 27 | h >> 37) * 0x94D049BB133111EBull;
        return h;
    };
    for (; n >= 16; n -= 16, p += 16) {
        uint64_t w0, w1;
        std::memcpy(&w0, p, 8);
        std::memcpy(&w1, p + 8, 8);
        a = mix(a, w0);
        b = mix(b, w1);
    }
    if (n >= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        b = mix(b, w);
        n -= 8;
        p += 8;
    }
    uint64_t tail = 0;
    if (n > 0) std::memcpy(&tail, p, n);  // an empty mask has no bytes to point at
    a = mix(a, tail ^ (uint64_t(n) << 56));
    uint64_t h = a ^ (b * 0x9E3779B97F4A7C15ull);
    h ^= h >> 31;
    return h * 0xD6E8FEB86659FD93ull ^ (h >> 29);
}

void UndoStore::SetFolder(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    folder_ = std::move(folder);
}

std::string UndoStore::LayerFileName(int step, int slot) const {
    char name[64];
    std::snprintf(name, sizeof name, "UD_%d_%d_%d.vlrtmp", doc_.DocumentNumber(), step, slot);
    return folder_ + name;
}

std::string UndoStore::InitialListFileName() const {
    char name[64];
    std::snprintf(name, sizeof name, "WrIniLrList_Head_%d.vlrtmp", doc_.DocumentNumber());
    return folder_ + name;
}

std::string UndoStore::RedoListFileName() const {
    char name[64];
    std::snprintf(name, sizeof name, "RedIniLrList_Head_%d.vlrtmp", doc_.DocumentNumber());
    return folder_ + name;
}

bool UndoStore::WriteLayerFile(int step, int slot) {
    if (folder_.empty()) return false;
    const LayerTable& t = doc_.Layers();
    const Layer& l = t.layer(slot);
    const LayerPlanes& p = t.planesOf(slot);
    const std::string path = LayerFileName(step, slot);
    const int fd = JournalWriter::CreateFile(path);
    if (fd < 0) {
        lastError_ = "cannot create journal file " + path;
        return false;
    }
    // The planes go as they are (shared: the document may change them meanwhile); the mask and
    // the text are small and copied. Shorter buffers are padded with zeros to their sizes.
    std::vector<FilePiece> pieces;
    const bool text = l.kind == LayerKind::Text;
    if (!text) pieces.push_back(FilePiece::Plane(p.pixels, l.pixelSize));
    pieces.push_back(FilePiece::Plane(p.alpha, l.planeSize));
    pieces.push_back(FilePiece::Plane(p.effect, l.planeSize));
    const uint64_t maskBytes = uint64_t(uint32_t(t.mask.width)) * uint32_t(t.mask.height);
    FilePiece mask = FilePiece::Bytes(t.mask.bytes.data(),
                                      size_t(std::min<uint64_t>(t.mask.bytes.size(), maskBytes)));
    mask.length = maskBytes;
    pieces.push_back(std::move(mask));
    if (text && l.textLength > 0) {
        const uint64_t bytes = uint64_t(l.textLength) * 2;
        FilePiece units =
            FilePiece::Bytes(p.text.data(), size_t(std::min<uint64_t>(p.text.size() * 2, bytes)));
        units.length = bytes;
        pieces.push_back(std::move(units));
    }
    struct stat st {};
    entries_[size_t(step)].slotFields[size_t(slot)].inode =
        ::fstat(fd, &st) == 0 ? uint64_t(st.st_ino) : 0;
    writer_.Write(fd, path, std::move(pieces));
    return true;
}

// A step whose slot holds what the slot's previous file holds (a move, a change of name or
// blend) gets that file under its own name too, a link rather than the same bytes again. The
// earlier file may still be in the writer's hands: it is written through its descriptor, so both
// names end up with the whole file, or both with nothing when the write fails.
bool UndoStore::LinkUnchangedLayerFile(int step, int slot) {
    if (folder_.empty() || step == 0) return false;
    const StepSlotFields& f = entries_[size_t(step)].slotFields[size_t(slot)];
    const int earlier = SourceStep(slot, step - 1);
    const StepSlotFields& e = entries_[size_t(earlier)].slotFields[size_t(slot)];
    if (!e.stored || f.kind == LayerKind::Text || e.kind != f.kind || e.width != f.width ||
        e.height != f.height || e.planeSize != f.planeSize || e.pixelSize != f.pixelSize ||
        e.maskX != f.maskX || e.maskY != f.maskY || e.maskWidth != f.maskWidth ||
        e.maskHeight != f.maskHeight || e.maskHash != f.maskHash ||
        e.pixelsStamp != f.pixelsStamp || e.alphaStamp != f.alphaStamp ||
        e.effectStamp != f.effectStamp || f.pixelsStamp.storage == 0)
        return false;
    const std::string path = LayerFileName(step, slot);
    ::unlink(path.c_str());
    if (::link(LayerFileName(earlier, slot).c_str(), path.c_str()) != 0) return false;
    entries_[size_t(step)].slotFields[size_t(slot)].inode = e.inode;
    return true;
}

bool UndoStore::FinishWrites() {
    const std::string errors = writer_.Finish();
    if (errors.empty()) return true;
    lastError_ = errors;
    return false;
}

bool UndoStore::ReadLayerFile(int step, int slot, const StepSlotFields& f) {
    LayerTable& t = doc_.Layers();
    LayerPlanes& p = t.planesOf(slot);
    const std::string path = LayerFileName(step, slot);
    FinishWrites();
    FilePtr file(folder_.empty() ? nullptr : std::fopen(path.c_str(), "rb"));
    if (!file) {
        lastError_ = "journal file missing: " + path;
        return false;
    }
    struct stat st {};
    const uint64_t expected = layerFileBytes(f);
    // The planes were just created at the recorded sizes; a file of any other length is not
    // the one written for them and leaves the planes as created.
    if (fstat(fileno(file.get()), &st) != 0 || uint64_t(st.st_size) != expected ||
        p.pixels.size() != f.pixelSize || p.alpha.size() != f.planeSize ||
        p.effect.size() != f.planeSize ||
        t.mask.bytes.size() != size_t(uint32_t(f.maskWidth)) * size_t(uint32_t(f.maskHeight))) {
        lastError_ = "journal file has the wrong size: " + path;
        return false;
    }
    const bool text = f.kind == LayerKind::Text;
    const size_t textBytes = text && f.textLength > 0 ? size_t(f.textLength) * 2 : 0;
    if (textBytes) p.text.assign(size_t(f.textLength) + 1, 0);
    // Planes still shared with the snapshot get fresh storage rather than a copy to overwrite.
    bool ok = (text || readBytes(file.get(), p.pixels.PrepareOverwrite(), p.pixels.size())) &&
              readBytes(file.get(), p.alpha.PrepareOverwrite(), p.alpha.size()) &&
              readBytes(file.get(), p.effect.PrepareOverwrite(), p.effect.size()) &&
              readBytes(file.get(), t.mask.bytes.data(), t.mask.bytes.size()) &&
              readBytes(file.get(), p.text.data(), textBytes);
    if (!ok) {
        lastError_ = "cannot read journal file " + path;
        return false;
    }
    // The planes now hold this file's bytes: a step that leaves them so can link to it.
    StepSlotFields& held = entries_[size_t(step)].slotFields[size_t(slot)];
    if (&held == &f && !text) {
        held.pixelsStamp = p.pixels.Stamp();
        held.alphaStamp = p.alpha.Stamp();
        held.effectStamp = p.effect.Stamp();
    }
    return true;
}

bool UndoStore::ReadLayerPixels(int slot, int step, StepSlotFields& fields, int& x, int& y,
                                std::vector<uint8_t>& pixels) const {
    if (!LayerTable::IsValidIndex(slot) || step < 0 || step > stepIndex_ || folder_.empty())
        return false;
    const StepEntry& e = entries_[size_t(step)];
    if (!e.used[size_t(slot)]) return false;
    const int source = SourceStep(slot, step);
    fields = entries_[size_t(source)].slotFields[size_t(slot)];
    if (!fields.stored || fields.kind == LayerKind::Text) return false;
    x = e.x[size_t(slot)];
    y = e.y[size_t(slot)];
    FilePtr file(std::fopen(LayerFileName(source, slot).c_str(), "rb"));
    struct stat st {};
    if (!file || fstat(fileno(file.get()), &st) != 0 ||
        uint64_t(st.st_size) != layerFileBytes(fields))
        return false;
    pixels.resize(fields.pixelSize);
    return readBytes(file.get(), pixels.data(), pixels.size());
}

// The files a step wrote are the slots its entry marks as saved (entries move with their files).
void UndoStore::DeleteStepFiles(int step) {
    if (folder_.empty()) return;
    const StepEntry& e = entries_[size_t(step)];
    for (int s = 0; s < kLayerSlots; ++s)
        if (e.slotFields[size_t(s)].stored) RetireFile(LayerFileName(step, s));
}

void UndoStore::DeleteAllFiles() {
    if (folder_.empty()) return;
    writer_.Abandon();
    // The manifest first: a document cut off half-deleted is not offered back.
    std::remove(ManifestPath().c_str());
    RemoveRetiredFiles();
    for (int step = 0; step < kSteps; ++step)
        for (int s = 0; s < kLayerSlots; ++s) std::remove(LayerFileName(step, s).c_str());
    std::remove(InitialListFileName().c_str());
    std::remove(RedoListFileName().c_str());
}

bool UndoStore::WriteListFile(const std::string& path) {
    if (folder_.empty()) return false;
    const int fd = JournalWriter::CreateFile(path);
    if (fd < 0) {
        lastError_ = "cannot create journal list file " + path;
        return false;
    }
    writer_.Write(fd, path, JournalListPieces(doc_.Layers()));
    return true;
}

bool UndoStore::ReadListFile(const std::string& path, int bottomSlot) {
    FinishWrites();
    FileStream in(path.c_str(), "rb");
    if (!in.isOpen()) return false;  // no file: the document stays as it is
    JournalListContent content;
    if (!ParseJournalList(in, bottomSlot, content, lastError_)) return false;
    doc_.ReleaseWorkingCopy();
    ApplyJournalList(std::move(content), bottomSlot, doc_.Layers(), doc_.SelectionActive());
    return true;
}

}  // namespace quillet
