#pragma once
// The document's life cycle against files: opening a picture or a VLR document, a new blank
// picture, saving by extension, and the names the save-as dialog proposes.
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

#include "base/Status.h"
#include "image/ImageFormat.h"
#include "image/RaViru.h"

namespace quillet {

class CBrevDoc;

// File kinds by lower-cased extension; the same table serves opening and saving. The values
// of the picture kinds are the image core's kind codes.
enum class FileKind : int8_t {
    None = -1,
    Jpeg = 0,
    Bmp = 1,
    Gif = 2,
    Tiff = 3,
    Pcx = 4,
    Vlr = 5,
    Sco = 6,
};

// The image kind of a file kind, and back (Unknown and None where there is none).
ImageKind ImageKindOf(FileKind kind);
FileKind FileKindOf(ImageKind kind);

// The lower-cased extension of the last path component, without the dot; empty when none.
std::string LowerExtension(std::string_view path);
FileKind FileKindOfPath(std::string_view path);
// Whether a save can write the kind (PCX and "sco" are read-only or not coded at all).
bool KindWritable(FileKind kind);
// ".jpg", ".bmp", ...; empty for kinds without an extension.
std::string_view ExtensionOfKind(FileKind kind);

// Above this many pixels a picture may be a decompression bomb: the editor asks first.
constexpr uint64_t kAskAbovePixels = 100'000'000;

class PictureDecodedAhead;

struct OpenOptions {
    int frameIndex = 0;  // page of a GIF or TIFF file
    // A picture with more pixels than this is opened only when the user agrees (a question on
    // the document's user port).
    uint64_t askAbovePixels = kAskAbovePixels;
    // A picture with more pixels than this is refused without asking (kMaxImagePixels always).
    uint64_t maxPixels = kMaxImagePixels;
    // Bytes the document may take; 0 reads what the machine has available now.
    uint64_t memoryAvailable = 0;
    // A picture of this path decoded beforehand is taken instead of decoding it again.
    PictureDecodedAhead* decodedAhead = nullptr;
};

// A picture decoded on a thread of its own before it is opened (the editor decodes the file named
// on its command line while its splash picture shows). Only a picture that the limits let through
// without asking is decoded; anything else is left to the opening, which measures, asks and
// reports as usual. VLR documents are not read ahead.
class PictureDecodedAhead {
public:
    PictureDecodedAhead(std::string path, const OpenOptions& options);
    ~PictureDecodedAhead();
    PictureDecodedAhead(const PictureDecodedAhead&) = delete;
    PictureDecodedAhead& operator=(const PictureDecodedAhead&) = delete;

    const std::string& Path() const { return path_; }
    // Waits for the decode of `path`; true with the picture and how its decode went when it was
    // decoded (once: a second call gives false).
    bool Take(const std::string& path, RaViru& picture, Status& status);

private:
    std::string path_;
    RaViru picture_;
    Status status_;
    bool decoded_ = false;
    bool taken_ = false;
    std::thread thread_;
};

// The memory a picture described by `info` takes while it is decoded and made a document,
// in bytes.
uint64_t EstimateOpenBytes(const ImageInfo& info);

// Opens `path` into an empty document: a picture becomes slot 0 "배경영상", a VLR file its
// layers; the history starts with "Opening....". A picture is measured from its header first
// and refused (or asked about) before its pixels are decoded when it is too large for the limits
// or for the memory available. Messages go to the document's user port; the status says what
// happened, and a picture whose data ended early opens with an Incomplete status.
Status OpenDocument(CBrevDoc& doc, const std::string& path, const OpenOptions& options = {});

// Builds the document in slot 0 from `picture`, which becomes the document's image object
// (its pixels move into the layer), and finishes opening. `initialAlpha` fills the layer's
// alpha plane; a 32-bit picture brings its own alpha in each pixel's fourth byte.
Status BuildDocumentFromImage(CBrevDoc& doc, RaViru& picture, std::u16string_view name,
                              uint8_t initialAlpha);
// Selects the layer, converts a picture of fewer than 24 bits, records "Opening....".
bool FinishOpening(CBrevDoc& doc, int slot);

// Converts every layer of a picture below 24 bits per pixel to 24 bits, keeping each pixel's
// colour and alpha, and records "RGB 컬러영상으로 변환". False when nothing was converted.
bool ConvertDocumentTo24Bit(CBrevDoc& doc);

// What the new-image dialog hands over.
namespace NewBackground {
constexpr int White = 0;        // "흰색배경창"
constexpr int Transparent = 1;  // "투명배경창"
constexpr int Colour = 2;       // "배경색지정창"
}  // namespace NewBackground

struct NewImageRequest {
    static constexpr int kDefaultSize = 450;
    static constexpr int kMinSize = 1;
    static constexpr int kMaxSize = 5000;
    int width = kDefaultSize;
    int height = kDefaultSize;
    std::u16string name;
    int background = NewBackground::White;
    uint32_t backgroundColour = 0xFFFFFF;  // 0x00BBGGRR, as the colour swatches hold it
    int bitsPerPixel = 24;                 // "RGB칼라"
};

// Default width and height: the size of a bitmap on the clipboard when there is one.
NewImageRequest DefaultNewImageRequest(int clipboardWidth = 0, int clipboardHeight = 0);
// Sizes outside 1..5000 are refused.
Status NewDocument(CBrevDoc& doc, const NewImageRequest& request);

struct SaveOptions {
    int jpegQuality = -1;  // -1 keeps the image object's
};

// Saves by the extension of `path`: VLR through its writer, pictures composed at full size and
// encoded (GIF reduced to 256 colours, the document staying 24 bits). The file is replaced only
// when complete (see AtomicFileWriter: links are written through, read-only files and devices
// refused). Clears the modified flag on success.
Status SaveDocument(CBrevDoc& doc, const std::string& path, const SaveOptions& options = {});

// The name the save-as dialog starts with: the document's path when it has one that its kind
// can be written to, else the title ("UntitledImage" when it holds any of #%;/\) with the
// extension of the image's kind.
std::u16string ProposedSaveName(std::u16string_view documentPath, std::u16string_view title,
                                FileKind kind);
// After the dialog: the kind's extension is appended when the last five characters hold no dot.
std::u16string CompleteSaveName(std::u16string_view chosen, FileKind kind);

// "%s %d %s (%s)": file name, zoom in percent, "%", current layer name; then " extra".
std::u16string DocumentTitle(const CBrevDoc& doc, std::u16string_view extra = {});

}  // namespace quillet
