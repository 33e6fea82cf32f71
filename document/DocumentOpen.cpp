#include <cstring>

#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/journal/UndoStore.h"
#include "document/vlr/VlrReader.h"
#include "image/codecs/PsdReader.h"
#include "platform/UserPort.h"

namespace quillet {

namespace {
const char* const kNameTooLong = "그림파일명이 너무 깁니다.";
const char* const kCannotOpen = "해당 파일을 열 수 없습니다.";
const char* const kNoPixels = "해당파일이 존재하지 않습니다.";
// The folder part of an opened path must stay below this many characters.
constexpr size_t kMaxFolderChars = 100;

bool fail(std::string* error, std::string text) {
    if (error) *error = std::move(text);
    return false;
}

// Index just after the last separator of the path, in characters.
size_t fileNameStart(std::u16string_view path) {
    const size_t cut = path.find_last_of(u"/\\");
    return cut == std::u16string_view::npos ? 0 : cut + 1;
}
}  // namespace

std::string LowerExtension(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    std::string ext(path.substr(dot + 1));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return ext;
}

int FileKindOfPath(std::string_view path) {
    const std::string ext = LowerExtension(path);
    if (ext == "jpg" || ext == "jpeg") return FileKind::Jpeg;
    if (ext == "bmp") return FileKind::Bmp;
    if (ext == "gif") return FileKind::Gif;
    if (ext == "tif" || ext == "tiff") return FileKind::Tiff;
    if (ext == "pcx") return FileKind::Pcx;
    if (ext == "vlr") return FileKind::Vlr;
    if (ext == "sco") return FileKind::Sco;
    return FileKind::None;
}

bool KindWritable(int kind) {
    return kind == FileKind::Jpeg || kind == FileKind::Bmp || kind == FileKind::Gif ||
           kind == FileKind::Tiff || kind == FileKind::Vlr;
}

std::string_view ExtensionOfKind(int kind) {
    switch (kind) {
        case FileKind::Jpeg:
            return ".jpg";
        case FileKind::Bmp:
            return ".bmp";
        case FileKind::Gif:
            return ".gif";
        case FileKind::Tiff:
            return ".tif";
        case FileKind::Pcx:
            return ".pcx";
        case FileKind::Vlr:
            return ".vlr";
        case FileKind::Sco:
            return ".sco";
        default:
            return {};
    }
}

bool OpenDocument(CBrevDoc& doc, const std::string& path, const OpenOptions& options,
                  std::string* error) {
    if (LowerExtension(path) == "psd") return ImportPsdDocument(doc, path, error);
    const int kind = FileKindOfPath(path);
    if (kind == FileKind::None) return fail(error, "Not an image document: " + path);

    const std::u16string wide = utf8ToUtf16(path);
    const size_t n = fileNameStart(wide);
    if (n >= kMaxFolderChars) {
        doc.User().showMessage(kNameTooLong, MessageIcon::Warning);
        return fail(error, kNameTooLong);
    }
    doc.SetFileName(std::u16string_view(wide).substr(n));

    if (kind == FileKind::Vlr) {
        VlrReader reader(doc);
        if (!reader.Open(path)) return fail(error, reader.error());
        return FinishOpening(doc, doc.Layers().bottom) ||
               fail(error, "The document could not be finished");
    }

    RaViru& image = doc.Image();
    image.frameIndex = options.frameIndex;
    if (!image.ReadFile(path, kind) || !image.HasBlock()) {
        const std::string reason = image.lastError;
        doc.User().showMessage(kCannotOpen, MessageIcon::Warning);
        image.Destroy();
        return fail(error, reason.empty() ? std::string(kCannotOpen) : reason);
    }
    return BuildDocumentFromImage(doc, wide, 255) ||
           fail(error, "The picture could not be placed in a layer");
}

bool ImportPsdDocument(CBrevDoc& doc, const std::string& path, std::string* error) {
    const std::u16string wide = utf8ToUtf16(path);
    const size_t n = fileNameStart(wide);
    if (n >= kMaxFolderChars) {
        doc.User().showMessage(kNameTooLong, MessageIcon::Warning);
        return fail(error, kNameTooLong);
    }
    doc.SetFileName(std::u16string_view(wide).substr(n));
    RaViru& image = doc.Image();
    if (ReadPsd(path, image) != PsdResult::Ok || !image.HasBlock()) {
        const std::string reason = image.lastError;
        doc.User().showMessage(kCannotOpen, MessageIcon::Warning);
        image.Destroy();
        return fail(error, reason.empty() ? std::string(kCannotOpen) : reason);
    }
    return BuildDocumentFromImage(doc, wide, 255) ||
           fail(error, "The picture could not be placed in a layer");
}

bool BuildDocumentFromImage(CBrevDoc& doc, std::u16string_view name, uint8_t initialAlpha) {
    RaViru& image = doc.Image();
    LayerTable& t = doc.Layers();
    if (!image.HasBlock()) {
        doc.User().showMessage(kNoPixels, MessageIcon::Warning);
        image.Destroy();
        return false;
    }
    t.bottom = 0;
    Layer& l = t.layer(0);
    l.SetName(u"배경영상");
    l.used = 1;
    l.visible = 1;
    l.previous = -1;
    l.next = -1;
    l.transparency = 0;
    doc.ReleaseWorkingCopy();

    CreateLayerArgs a;
    a.pictureName = name;
    a.imageKind = image.kind;
    a.bitsPerPixel = image.BitCount();
    a.paletteSize = image.PaletteCount();
    a.initialAlpha = initialAlpha;
    a.slot = 0;
    a.width = image.Width();
    a.height = image.Height();
    a.paletteMode = PaletteMode::CopyImage;
    a.background = true;
    a.kind = LayerKind::Raster;
    a.creationTag = -1;
    a.centre = true;
    if (!doc.CreateLayer(a)) {
        t.Clear();
        doc.User().showMessage(kCannotOpen, MessageIcon::Warning);
        return false;
    }
    t.header.originX = l.x;
    t.header.originY = l.y;

    // Same depth and width on both sides, so the rows have the same stride.
    const size_t rowBytes = std::min<size_t>(l.stride, image.rowBytes);
    for (int y = 0; y < l.height; ++y) std::memcpy(t.PixelRow(0, y), image.Row(y), rowBytes);
    return FinishOpening(doc, 0);
}

bool FinishOpening(CBrevDoc& doc, int slot) {
    LayerTable& t = doc.Layers();
    if (!t.InList(slot)) return false;
    // The document number was taken when the document was made (the application's counters).
    doc.SetCurrentLayerIndex(slot);
    doc.NotifyLayerListChanged();
    doc.NotifyViewsUpdate();
    if (t.header.bitsPerPixel < 24) ConvertDocumentTo24Bit(doc);
    // A text layer's pixels are a coverage plane: relabelling it would misread its buffer.
    if (t.layer(slot).kind != LayerKind::Text) t.layer(slot).kind = LayerKind::Picture;
    doc.RecordStep(u"Opening....", StepKind::PixelEdit, slot);
    doc.SetFileName(t.header.Name());
    doc.SetModified(false);
    doc.NotifyViewsUpdate();
    return true;
}

}  // namespace quillet
