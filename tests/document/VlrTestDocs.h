#pragma once
// Documents for the VLR tests: layers made the way the layer operations make them, filled with
// pseudo-random bytes, and byte helpers for files built by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/LittleEndian.h"
#include "document/CBrevDoc.h"
#include "document/vlr/VlrReader.h"
#include "document/vlr/VlrWriter.h"
#include "image/ByteStream.h"
#include "tests/support/LayerBuilders.h"

namespace quillet::vlrtest {

using Bytes = std::vector<uint8_t>;

inline void SetCanvas(CBrevDoc& doc, int w, int h, int bits = 24, int paletteSize = 0) {
    PictureHeader& hd = doc.Layers().header;
    hd.canvasWidth = w;
    hd.canvasHeight = h;
    hd.bitsPerPixel = bits;
    hd.paletteSize = paletteSize;
}

// Creates a layer in `slot` and puts it on top of the list, its buffers full of random bytes.
inline int AddLayer(CBrevDoc& doc, std::mt19937& rng, int slot, int x, int y, int w, int h,
                    uint8_t kind = LayerKind::Raster) {
    CreateLayerArgs a = testsupport::LayerArgs(doc.Layers(), slot, x, y, w, h, kind);
    a.imageKind = 1;
    EXPECT_EQ(testsupport::AddLayer(doc, a), slot);
    LayerPlanes& p = doc.Layers().planesOf(slot);
    for (auto* v : {&p.pixels, &p.alpha, &p.effect})
        for (auto& b : *v) b = uint8_t(rng());
    return slot;
}

inline void SetText(CBrevDoc& doc, int slot, std::u16string_view text) {
    Layer& l = doc.Layers().layer(slot);
    l.textLength = int(text.size());
    auto& buf = doc.Layers().planesOf(slot).text;
    buf.assign(text.begin(), text.end());
    buf.push_back(0);
}

inline Bytes Write(CBrevDoc& doc) {
    MemoryStream out;
    const Status written = VlrWriter(doc).Write(out);
    EXPECT_TRUE(written) << written.message();
    return out.buffer();
}

inline bool Read(CBrevDoc& doc, const Bytes& file, std::string* error = nullptr) {
    MemoryStream in(file.data(), file.size());
    const Status status = VlrReader(doc).Read(in);
    if (error) *error = status.message();
    return status.ok();
}

inline void Append(Bytes& out, const void* data, size_t n) {
    const auto* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + n);
}
inline void Append(Bytes& out, const std::string& s) { Append(out, s.data(), s.size()); }
inline void Append(Bytes& out, const Bytes& b) { Append(out, b.data(), b.size()); }

inline void PutName(uint8_t* at, std::u16string_view name) {
    for (size_t i = 0; i < name.size(); ++i) writeU16LE(at + 2 * i, name[i]);
}

// Every table holds no layers at all.
inline bool Empty(const CBrevDoc& doc) {
    for (int i = 0; i < kLayerSlots; ++i)
        if (doc.Layers().layer(i).used || !doc.Layers().planesOf(i).pixels.empty() ||
            doc.Snapshot().layer(i).used || !doc.Snapshot().planesOf(i).pixels.empty())
            return false;
    return doc.Layers().bottom == -1 && doc.CurrentLayer() == -1;
}

}  // namespace quillet::vlrtest
