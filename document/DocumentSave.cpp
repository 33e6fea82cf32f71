#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>

#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/vlr/VlrWriter.h"
#include "image/codecs/CQuantizer.h"
#include "image/codecs/NearestPalette.h"
#include "platform/UserPort.h"

namespace quillet {

namespace {
const char* const kConversionFailed = "변환을 성공하지 못했습니다.";

int composeThreads() { return std::thread::hardware_concurrency() > 1 ? 2 : 1; }

// The flat picture in the export image's format: BGR at 24 bits, BGRA at 32, the nearest
// palette index at 8; rows the compositor did not produce stay 255.
void fillExport(const LayerTable& t, const std::vector<uint8_t>& flat, RaViru& out) {
    const int W = out.Width(), H = out.Height(), bits = out.BitCount();
    const bool have = flat.size() == size_t(W) * size_t(H) * 4;
    NearestPalette nearest(t.palette.data(), int(t.palette.size()));
    for (int y = 0; y < H; ++y) {
        uint8_t* dst = out.Row(y);
        if (!have || (bits != 24 && bits != 32 && bits != 8)) {
            std::memset(dst, 255, out.rowBytes);
            continue;
        }
        const uint8_t* src = flat.data() + size_t(y) * size_t(W) * 4;
        if (bits == 24) {
            for (int x = 0; x < W; ++x, src += 4, dst += 3) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
            }
        } else if (bits == 32) {
            std::memcpy(dst, src, size_t(W) * 4);
        } else {
            for (int x = 0; x < W; ++x, src += 4)
                dst[x] = uint8_t(nearest.Find(src[2], src[1], src[0]));
        }
    }
}

// GIF: the flat picture as a canvas-sized 24-bit image, reduced to 256 colours.
bool quantizedExport(const std::vector<uint8_t>& flat, int W, int H, RaViru& out) {
    RaViru full(W, H, 24, ImageKind::Gif);
    if (!full.HasBlock() || flat.size() != size_t(W) * size_t(H) * 4) return false;
    for (int y = 0; y < H; ++y) {
        const uint8_t* src = flat.data() + size_t(y) * size_t(W) * 4;
        uint8_t* dst = full.Row(y);
        for (int x = 0; x < W; ++x, src += 4, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
    CQuantizer quantizer(256, 8);
    if (!quantizer.ProcessImage(full)) return false;
    return quantizer.MakeIndexed(full, out);
}

bool allOpaque(const uint8_t* alpha, size_t n) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t v;
        std::memcpy(&v, alpha + i, 8);
        if (v != ~uint64_t(0)) return false;
    }
    for (; i < n; ++i)
        if (alpha[i] != 255) return false;
    return true;
}

// A 24-bit picture that is one visible, opaque layer of normal blending, without a layer effect,
// covering the canvas exactly, composes to that layer's own pixels (and white row padding, as the
// export has): its rows are written straight from the layer. Gives the rows, or null.
const uint8_t* rowsComposingToThemselves(const LayerTable& t) {
    const std::vector<int> order = t.Order();
    if (order.size() != 1 || t.header.bitsPerPixel != 24) return nullptr;
    const int W = t.header.canvasWidth, H = t.header.canvasHeight;
    const Layer& l = t.layer(order[0]);
    const LayerPlanes& p = t.planesOf(order[0]);
    if (!l.IsVisible() || l.kind == LayerKind::Text || l.transparency != 0 ||
        l.Blend() != BlendMode::Normal || l.effectValue1 != 0 || l.x != 0 || l.y != 0 ||
        l.width != W || l.height != H || l.stride != StrideFor(24, W) ||
        p.pixels.size() != l.pixelSize || p.alpha.size() != l.planeSize ||
        !allOpaque(p.alpha.data(), p.alpha.size()))
        return nullptr;
    for (int y = 0; y < H; ++y)
        for (size_t i = size_t(W) * 3; i < l.stride; ++i)
            if (p.pixels.data()[size_t(y) * l.stride + i] != 255) return nullptr;
    return p.pixels.data();
}
}  // namespace

Status SaveDocument(CBrevDoc& doc, const std::string& path, const SaveOptions& options) {
    const bool selection = doc.SelectionActive();
    const FileKind kind = FileKindOfPath(path);
    // PCX and "sco" are not written: a save that writes nothing must not report success.
    if (!KindWritable(kind))
        return {StatusCode::FormatNotWritable,
                "Can't save as ." + LowerExtension(path) + ": not a writable format"};

    if (kind == FileKind::Vlr) {
        Status status = VlrWriter(doc).Save(path);
        doc.SetSelectionActive(selection);
        return status;
    }

    const LayerTable& t = doc.Layers();
    if (!t.InList(t.bottom)) return {StatusCode::Failed, "The document has no layers"};
    const int W = t.header.canvasWidth, H = t.header.canvasHeight;
    const RaViru& image = doc.Image();
    const uint8_t* ownRows = rowsComposingToThemselves(t);
    if (ownRows) {
        doc.FlatImage() = {};
    } else {
        Image32 full = Compositor::ComposeFull(t, t.bottom, 0, composeThreads());
        if (full.width == t.header.canvasWidth && full.height == t.header.canvasHeight)
            doc.FlatImage() = std::move(full.bytes);
        else
            doc.FlatImage().clear();
    }

    // The document keeps its depth and palette: the reduced picture lives only in the export,
    // which is written straight from here (the document's image object stays as it is).
    RaViru out(ImageKind::Unknown);
    bool built;
    if (kind == FileKind::Gif && ownRows) {
        RaViru full(ImageKind::Gif);
        CQuantizer quantizer(256, 8);
        built = full.BorrowRows(ownRows, W, H, 24, ImageKind::Gif) &&
                quantizer.ProcessImage(full) && quantizer.MakeIndexed(full, out);
    } else if (kind == FileKind::Gif) {
        built = quantizedExport(doc.FlatImage(), W, H, out);
    } else if (ownRows) {
        built = bool(out.BorrowRows(ownRows, W, H, 24, static_cast<ImageKind>(t.header.imageKind)));
    } else {
        const int bits = t.header.bitsPerPixel;
        built = out.Allocate(W, H, bits, static_cast<ImageKind>(t.header.imageKind)) != nullptr;
        if (built) {
            if (bits <= 8 && !t.palette.empty())
                out.SetPaletteFromQuads(t.palette.data(), int(t.palette.size()));
            fillExport(t, doc.FlatImage(), out);
        }
    }
    // The export must hold exactly the flat block of the canvas (its 8-bit form for GIF).
    const uint64_t expected = kind == FileKind::Gif ? StrideFor(8, W) * uint64_t(std::max(H, 0))
                                                    : uint64_t(t.header.canvasImageSize);
    if (!built || !out.HasBlock() || out.Width() != W || out.Height() != H ||
        uint64_t(out.rowBytes) * uint64_t(H) != expected) {
        doc.User().showMessage(kConversionFailed, MessageIcon::Warning);
        return {StatusCode::Failed, kConversionFailed};
    }
    out.SetHorizontalDpi(image.dpiX);
    out.SetVerticalDpi(image.dpiY);
    out.jpegQuality =
        options.jpegQuality >= 0 ? uint8_t(std::min(options.jpegQuality, 255)) : image.jpegQuality;

    Status written = out.WriteFile(path, ImageKindOf(kind));
    doc.SetSelectionActive(selection);
    if (!written) return written;
    doc.SetModified(false);
    return {};
}

std::u16string ProposedSaveName(std::u16string_view documentPath, std::u16string_view title,
                                FileKind pictureKind) {
    if (!documentPath.empty() && KindWritable(pictureKind)) return std::u16string(documentPath);
    std::u16string name(title);
    if (name.find_first_of(u"#%;/\\") != std::u16string::npos) name = u"UntitledImage";
    // A kind that cannot be written proposes BMP rather than a name whose save must fail.
    const FileKind kind = KindWritable(pictureKind) ? pictureKind : FileKind::Bmp;
    return name + utf8ToUtf16(ExtensionOfKind(kind));
}

std::u16string CompleteSaveName(std::u16string_view chosen, FileKind pictureKind) {
    std::u16string name(chosen);
    const std::u16string_view tail = chosen.size() > 5 ? chosen.substr(chosen.size() - 5) : chosen;
    if (tail.find(u'.') == std::u16string_view::npos) {
        const FileKind kind = KindWritable(pictureKind) ? pictureKind : FileKind::Bmp;
        name += utf8ToUtf16(ExtensionOfKind(kind));
    }
    return name;
}

std::u16string DocumentTitle(const CBrevDoc& doc, std::u16string_view extra) {
    std::u16string title = doc.FileName();
    title += u' ';
    title += utf8ToUtf16(std::to_string(int(doc.Zoom() * 100)));
    title += u" % (";
    const int slot = doc.CurrentLayer();
    if (LayerTable::IsValidIndex(slot)) title += doc.Layers().layer(slot).Name();
    title += u')';
    if (!extra.empty()) {
        title += u' ';
        title += extra;
    }
    return title;
}

}  // namespace quillet
