#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "base/SystemMemory.h"
#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/journal/UndoStore.h"
#include "document/vlr/VlrReader.h"
#include "image/RaViru.h"
#include "platform/UserPort.h"

namespace quillet {

namespace {
const char* const kNameTooLong = "그림파일명이 너무 깁니다.";
const char* const kCannotOpen = "해당 파일을 열 수 없습니다.";
const char* const kNoPixels = "해당파일이 존재하지 않습니다.";
const char* const kIncomplete = "파일이 중간에 끝나 그림의 일부만 읽었습니다.";
const char* const kTooLarge = "그림이 너무 커서 열 수 없습니다.";
const char* const kNoMemory = "메모리가 부족하여 그림을 열 수 없습니다.";
// The folder part of an opened path must stay below this many characters.
constexpr size_t kMaxFolderChars = 100;

// Index just after the last separator of the path, in characters.
size_t fileNameStart(std::u16string_view path) {
    const size_t cut = path.find_last_of(u"/\\");
    return cut == std::u16string_view::npos ? 0 : cut + 1;
}

std::string pixelsText(const ImageInfo& info) {
    char text[96];
    std::snprintf(text, sizeof text, "%d x %d (%" PRIu64 " pixels)", info.width, info.height,
                  info.Pixels());
    return text;
}

// What the limits say of a picture measured from its header: refused (with the message the user
// is shown), asked about first, or decoded straight away; and the most pixels a decode of it may
// give.
struct Measure {
    Status refusal;
    const char* message = nullptr;
    bool ask = false;
    uint64_t pixelLimit = 0;
};

Measure measurePicture(const ImageInfo& info, const OpenOptions& options) {
    Measure m;
    const uint64_t pixels = info.Pixels();
    if (!FitsPixelLimit(info.width, info.height, options.maxPixels)) {
        m.message = kTooLarge;
        m.refusal = {StatusCode::TooLarge,
                     "The picture is " + pixelsText(info) + ", more than the " +
                         std::to_string(std::min(options.maxPixels, kMaxImagePixels)) +
                         " pixels allowed"};
        return m;
    }
    const uint64_t needed = EstimateOpenBytes(info);
    const uint64_t available =
        options.memoryAvailable ? options.memoryAvailable : AvailableMemoryBytes();
    if (available && needed > available) {
        m.message = kNoMemory;
        m.refusal = {StatusCode::OutOfMemory,
                     "The picture is " + pixelsText(info) + " and needs about " +
                         std::to_string(needed >> 20) + " MB; " + std::to_string(available >> 20) +
                         " MB are available"};
        return m;
    }
    m.ask = pixels > options.askAbovePixels;
    // Whatever codec ends up decoding, it may not go beyond what was let through.
    m.pixelLimit = m.ask ? pixels : std::min(options.askAbovePixels, options.maxPixels);
    return m;
}

Status decodePicture(RaViru& picture, const std::string& path, ImageKind kind,
                     uint64_t pixelLimit) {
    picture.pixelLimit = pixelLimit;
    Status status = picture.ReadFile(path, kind);
    if (status && !picture.HasBlock()) return {StatusCode::UnknownFormat, kCannotOpen};
    return status;
}

// Measures the picture from its header and decides, before any pixel is decoded, whether it
// is opened: within the pixel limit, within the memory available, and when it is very large
// only if the user agrees. Then decodes it within the size that was let through.
Status readPicture(CBrevDoc& doc, RaViru& picture, const std::string& path, ImageKind kind,
                   const OpenOptions& options) {
    if (kind == ImageKind::Sco) return {StatusCode::UnknownFormat, kCannotOpen};
    ImageInfo info;
    if (Status status = picture.ReadFileInfo(path, kind, info); !status) return status;
    const Measure m = measurePicture(info, options);
    if (!m.refusal) {
        doc.User().showMessage(m.message, MessageIcon::Warning);
        return m.refusal;
    }
    if (m.ask) {
        char question[256];
        std::snprintf(question, sizeof question,
                      "그림이 매우 큽니다 (%d × %d, 약 %" PRIu64
                      "백만 화소). 여는 데 메모리와 시간이 많이 듭니다. 그래도 여시겠습니까?",
                      info.width, info.height, (info.Pixels() + 500000) / 1000000);
        if (doc.User().ask(question, Buttons::YesNo, MessageIcon::Question) != Answer::Yes)
            return {StatusCode::Cancelled, "The picture is " + pixelsText(info) + "; not opened"};
    }
    return decodePicture(picture, path, kind, m.pixelLimit);
}

// The image kind a picture path is read as; Unknown for documents that are not pictures.
ImageKind pictureKindOfPath(const std::string& path) {
    if (LowerExtension(path) == "psd") return ImageKind::Psd;
    const FileKind kind = FileKindOfPath(path);
    return kind == FileKind::Vlr ? ImageKind::Unknown : ImageKindOf(kind);
}
}  // namespace

uint64_t EstimateOpenBytes(const ImageInfo& info) {
    const uint64_t pixels = info.Pixels();
    // The document is 24 bits (32 when the picture is): its layer and alpha planes (the effect
    // plane stays untouched zero pages, the snapshot shares the planes), the selection mask, and
    // the working copy with its alpha once a tool uses it.
    const uint64_t layerBytes = info.bitCount == 32 ? 4 : 3;
    const uint64_t document = pixels * (layerBytes + 1 + 1 + layerBytes + 1);
    // A picture below 24 bits keeps its first layer while the converted one is made.
    const uint64_t conversion = info.bitCount < 24 ? info.PictureBytes() + pixels * 2 : 0;
    // A picture of the document's depth becomes the layer's pixels; another one lives until its
    // pixels are in the layer.
    const uint64_t decoded = info.bitCount >= 24 ? 0 : info.PictureBytes();
    return decoded + std::max(info.PictureBytes() + info.workBytes, document + conversion);
}

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

ImageKind ImageKindOf(FileKind kind) {
    return kind == FileKind::None ? ImageKind::Unknown : static_cast<ImageKind>(kind);
}

FileKind FileKindOf(ImageKind kind) {
    return kind == ImageKind::Unknown || kind == ImageKind::Psd ? FileKind::None
                                                                : static_cast<FileKind>(kind);
}

FileKind FileKindOfPath(std::string_view path) {
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

bool KindWritable(FileKind kind) {
    return kind == FileKind::Jpeg || kind == FileKind::Bmp || kind == FileKind::Gif ||
           kind == FileKind::Tiff || kind == FileKind::Vlr;
}

std::string_view ExtensionOfKind(FileKind kind) {
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

Status OpenDocument(CBrevDoc& doc, const std::string& path, const OpenOptions& options) {
    const bool psd = LowerExtension(path) == "psd";
    const FileKind kind = FileKindOfPath(path);
    if (!psd && kind == FileKind::None)
        return {StatusCode::UnknownFormat, "Not an image document: " + path};

    const std::u16string wide = utf8ToUtf16(path);
    const size_t n = fileNameStart(wide);
    if (n >= kMaxFolderChars) {
        doc.User().showMessage(kNameTooLong, MessageIcon::Warning);
        return {StatusCode::Failed, kNameTooLong};
    }
    doc.SetFileName(std::u16string_view(wide).substr(n));

    if (kind == FileKind::Vlr) {
        VlrReader reader(doc);
        if (Status status = reader.Open(path, options.memoryAvailable); !status) return status;
        if (!FinishOpening(doc, doc.Layers().bottom))
            return {StatusCode::Failed, "The document could not be finished"};
        return {};
    }

    RaViru picture;
    picture.frameIndex = options.frameIndex;
    Status status;
    if (!options.decodedAhead || !options.decodedAhead->Take(path, picture, status))
        status = readPicture(doc, picture, path, psd ? ImageKind::Psd : ImageKindOf(kind), options);
    if (!status) {
        const StatusCode code = status.code();
        if (code != StatusCode::Cancelled && code != StatusCode::TooLarge &&
            code != StatusCode::OutOfMemory)
            doc.User().showMessage(kCannotOpen, MessageIcon::Warning);
        return status;
    }
    if (status.incomplete()) doc.User().showMessage(kIncomplete, MessageIcon::Warning);
    if (Status built = BuildDocumentFromImage(doc, picture, wide, 255); !built) return built;
    return status;
}

Status BuildDocumentFromImage(CBrevDoc& doc, RaViru& picture, std::u16string_view name,
                              uint8_t initialAlpha) {
    if (!picture.HasBlock()) {
        doc.User().showMessage(kNoPixels, MessageIcon::Warning);
        return {StatusCode::Failed, kNoPixels};
    }
    // The picture becomes the document's image object; its pixels move into the layer below,
    // and the image object keeps the picture's description (kind, depth, palette, resolution).
    RaViru& image = doc.Image();
    image.AdoptFrom(picture);
    LayerTable& t = doc.Layers();
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
    a.imageKind = int(image.kind);
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
    a.fillPlanes = false;  // every plane is given below
    if (!doc.CreateLayer(a)) {
        t.Clear();
        image.Destroy();
        doc.User().showMessage(kCannotOpen, MessageIcon::Warning);
        return {StatusCode::OutOfMemory, "The picture could not be placed in a layer"};
    }
    t.header.originX = l.x;
    t.header.originY = l.y;

    LayerPlanes& p = t.planesOf(0);
    if (image.BitCount() == 32) {
        for (int y = 0; y < l.height; ++y) {
            const uint8_t* src = image.Row(y) + 3;
            uint8_t* alpha = t.AlphaRow(0, y);
            for (int x = 0; x < l.width; ++x) alpha[x] = src[4 * size_t(x)];
        }
    } else {
        p.alpha.assign(l.planeSize, initialAlpha);
    }
    p.effect = PlaneBuffer::Zeroed(l.planeSize);
    // Same depth and width on both sides, so the rows have the same stride and the picture's
    // rows are the layer's pixel buffer: the block moves over instead of being copied.
    if (size_t(image.rowBytes) == l.stride && image.Height() == l.height) {
        size_t offset = 0;
        std::unique_ptr<uint8_t[]> block = image.ReleaseBlock(offset);
        p.pixels = PlaneBuffer::Adopt(std::move(block), offset, l.pixelSize);
    } else {
        const size_t rowBytes = std::min<size_t>(l.stride, image.rowBytes);
        p.pixels.assign(l.pixelSize, 255);
        for (int y = 0; y < l.height; ++y) std::memcpy(t.PixelRow(0, y), image.Row(y), rowBytes);
    }
    image.Destroy();
    if (!FinishOpening(doc, 0)) return {StatusCode::Failed, "The document could not be finished"};
    return {};
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

namespace quillet {

PictureDecodedAhead::PictureDecodedAhead(std::string path, const OpenOptions& options)
    : path_(std::move(path)) {
    const ImageKind kind = pictureKindOfPath(path_);
    if (kind == ImageKind::Unknown || kind == ImageKind::Sco) return;
    thread_ = std::thread([this, kind, options] {
        picture_.frameIndex = options.frameIndex;
        ImageInfo info;
        if (!picture_.ReadFileInfo(path_, kind, info)) return;
        // Pictures that are refused or asked about are left to the opening itself.
        const Measure m = measurePicture(info, options);
        if (!m.refusal || m.ask) return;
        status_ = decodePicture(picture_, path_, kind, m.pixelLimit);
        decoded_ = true;
    });
}

PictureDecodedAhead::~PictureDecodedAhead() {
    if (thread_.joinable()) thread_.join();
}

bool PictureDecodedAhead::Take(const std::string& path, RaViru& picture, Status& status) {
    if (path != path_ || taken_) return false;
    if (thread_.joinable()) thread_.join();
    taken_ = true;
    if (!decoded_) return false;
    status = std::move(status_);
    picture.AdoptFrom(picture_);
    return true;
}

}  // namespace quillet
