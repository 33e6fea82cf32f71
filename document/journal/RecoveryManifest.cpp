#include "document/journal/RecoveryManifest.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

#include "document/journal/UndoStore.h"

namespace quillet {

namespace {

constexpr char kMagic[8] = {'Q', 'L', 'R', 'E', 'C', 'O', 'V', '1'};
// Far above any real manifest (40 layers of under 1 KB each): a larger length is damage.
constexpr uint64_t kMaxPayload = uint64_t(4) << 20;

class Out {
public:
    template <typename T>
    void pod(const T& v) {
        static_assert(std::is_trivially_copyable_v<T>);
        const auto* p = reinterpret_cast<const uint8_t*>(&v);
        bytes.insert(bytes.end(), p, p + sizeof v);
    }
    void text(const std::u16string& s) {
        pod(uint32_t(s.size()));
        const auto* p = reinterpret_cast<const uint8_t*>(s.data());
        bytes.insert(bytes.end(), p, p + 2 * s.size());
    }
    void text(const std::string& s) {
        pod(uint32_t(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    std::vector<uint8_t> bytes;
};

class In {
public:
    In(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    template <typename T>
    bool pod(T& v) {
        static_assert(std::is_trivially_copyable_v<T>);
        if (n_ < sizeof v) return false;
        std::memcpy(&v, p_, sizeof v);
        p_ += sizeof v;
        n_ -= sizeof v;
        return true;
    }
    bool text(std::u16string& s) {
        uint32_t units = 0;
        if (!pod(units) || n_ / 2 < units) return false;
        s.resize(units);
        std::memcpy(s.data(), p_, 2 * size_t(units));
        p_ += 2 * size_t(units);
        n_ -= 2 * size_t(units);
        return true;
    }
    bool text(std::string& s) {
        uint32_t count = 0;
        if (!pod(count) || n_ < count) return false;
        s.assign(reinterpret_cast<const char*>(p_), count);
        p_ += count;
        n_ -= count;
        return true;
    }
    bool done() const { return n_ == 0; }

private:
    const uint8_t* p_;
    size_t n_;
};

void putFile(Out& o, const ManifestFile& f) {
    o.text(f.name);
    o.pod(f.inode);
    o.pod(f.width);
    o.pod(f.height);
    o.pod(f.planeSize);
    o.pod(f.pixelSize);
    o.pod(f.kind);
    o.pod(f.textLength);
    o.pod(f.maskWidth);
    o.pod(f.maskHeight);
}

bool getFile(In& in, ManifestFile& f) {
    return in.text(f.name) && in.pod(f.inode) && in.pod(f.width) && in.pod(f.height) &&
           in.pod(f.planeSize) && in.pod(f.pixelSize) && in.pod(f.kind) && in.pod(f.textLength) &&
           in.pod(f.maskWidth) && in.pod(f.maskHeight);
}

}  // namespace

uint64_t ManifestFile::Bytes() const {
    return MaskOffset() + uint64_t(uint32_t(maskWidth)) * uint64_t(uint32_t(maskHeight)) +
           (kind == LayerKind::Text && textLength > 0 ? 2 * uint64_t(textLength) : 0);
}

uint64_t ManifestFile::MaskOffset() const {
    return (kind == LayerKind::Text ? 0 : uint64_t(pixelSize)) + 2 * uint64_t(planeSize);
}

std::string RecoveryManifest::FileName(int documentNumber) {
    char name[48];
    std::snprintf(name, sizeof name, "Manifest_%d.vlrtmp", documentNumber);
    return name;
}

bool RecoveryManifest::IsManifestName(const std::string& name) {
    return name.rfind("Manifest_", 0) == 0 && name.size() > 16 &&
           name.compare(name.size() - 7, 7, ".vlrtmp") == 0;
}

std::vector<uint8_t> RecoveryManifest::Serialize() const {
    Out o;
    o.pod(int32_t(kVersion));
    o.pod(documentNumber);
    o.pod(serial);
    o.pod(savedAt);
    o.pod(stepIndex);
    o.text(fileName);
    o.text(lastStep);
    o.pod(currentLayer);
    o.pod(bottom);
    o.pod(uint8_t(selectionActive));
    o.pod(header);
    o.pod(workingPlaneSize);
    o.pod(uint32_t(palette.size()));
    for (const Rgbquad& q : palette) o.pod(q);
    o.pod(imageDescription);
    o.pod(maskX);
    o.pod(maskY);
    o.pod(maskWidth);
    o.pod(maskHeight);
    o.pod(maskLayer);
    o.pod(uint32_t(layers.size()));
    for (const ManifestLayer& l : layers) {
        o.pod(l.slot);
        o.pod(l.record);
        putFile(o, l.file);
    }
    std::vector<uint8_t> out(kMagic, kMagic + 8);
    const uint64_t length = o.bytes.size();
    const uint64_t hash = MaskHash(o.bytes);
    out.insert(out.end(), reinterpret_cast<const uint8_t*>(&length),
               reinterpret_cast<const uint8_t*>(&length) + 8);
    out.insert(out.end(), o.bytes.begin(), o.bytes.end());
    out.insert(out.end(), reinterpret_cast<const uint8_t*>(&hash),
               reinterpret_cast<const uint8_t*>(&hash) + 8);
    return out;
}

bool RecoveryManifest::Parse(const std::vector<uint8_t>& bytes, RecoveryManifest& m,
                             std::string& error) {
    uint64_t length = 0, hash = 0;
    if (bytes.size() < 24 || std::memcmp(bytes.data(), kMagic, 8) != 0) {
        error = "not a recovery manifest";
        return false;
    }
    std::memcpy(&length, bytes.data() + 8, 8);
    if (length > kMaxPayload || length != bytes.size() - 24) {
        error = "the manifest is cut short or too long";
        return false;
    }
    const std::vector<uint8_t> payload(bytes.begin() + 16, bytes.begin() + 16 + long(length));
    std::memcpy(&hash, bytes.data() + 16 + length, 8);
    if (MaskHash(payload) != hash) {
        error = "the manifest is damaged";
        return false;
    }
    In in(payload.data(), payload.size());
    int32_t version = 0;
    uint8_t selection = 0;
    uint32_t paletteCount = 0, layerCount = 0;
    bool ok = in.pod(version) && version == kVersion && in.pod(m.documentNumber) &&
              in.pod(m.serial) && in.pod(m.savedAt) && in.pod(m.stepIndex) && in.text(m.fileName) &&
              in.text(m.lastStep) && in.pod(m.currentLayer) && in.pod(m.bottom) &&
              in.pod(selection) && in.pod(m.header) && in.pod(m.workingPlaneSize) &&
              in.pod(paletteCount) && paletteCount <= 256;
    if (ok) {
        m.selectionActive = selection != 0;
        m.palette.resize(paletteCount);
        for (Rgbquad& q : m.palette) ok = ok && in.pod(q);
    }
    ok = ok && in.pod(m.imageDescription) && in.pod(m.maskX) && in.pod(m.maskY) &&
         in.pod(m.maskWidth) && in.pod(m.maskHeight) && in.pod(m.maskLayer) && in.pod(layerCount) &&
         layerCount <= uint32_t(kLayerSlots);
    if (ok) {
        m.layers.resize(layerCount);
        for (ManifestLayer& l : m.layers)
            ok = ok && in.pod(l.slot) && LayerTable::IsValidIndex(l.slot) && in.pod(l.record) &&
                 getFile(in, l.file);
    }
    if (!ok || !in.done() || m.maskLayer < -1 || m.maskLayer >= int(layerCount)) {
        error = version != kVersion ? "the manifest is of another version"
                                    : "the manifest's content is not valid";
        return false;
    }
    return true;
}

}  // namespace quillet
