#pragma once
// The document's life cycle against files: opening a picture or a VLR document, a new blank
// picture, saving by extension, and the names the save-as dialog proposes.
#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

class CBrevDoc;

// File kinds by lower-cased extension; the same table serves opening and saving. The picture
// kinds are the image core's kind codes.
namespace FileKind {
constexpr int None = -1;
constexpr int Jpeg = 0;
constexpr int Bmp = 1;
constexpr int Gif = 2;
constexpr int Tiff = 3;
constexpr int Pcx = 4;
constexpr int Vlr = 5;
constexpr int Sco = 6;
}  // namespace FileKind

// The lower-cased extension of the last path component, without the dot; empty when none.
std::string LowerExtension(std::string_view path);
int FileKindOfPath(std::string_view path);
// Whether a save can write the kind (PCX and "sco" are read-only or not coded at all).
bool KindWritable(int kind);
// ".jpg", ".bmp", ...; empty for kinds without an extension.
std::string_view ExtensionOfKind(int kind);

struct OpenOptions {
    int frameIndex = 0;  // page of a GIF or TIFF file
};

// Opens `path` into an empty document: a picture becomes slot 0 "배경영상", a VLR file its
// layers; the history starts with "Opening....". Messages go to the document's user port;
// `error` (optional) receives the reason for callers without a screen.
bool OpenDocument(CBrevDoc& doc, const std::string& path, const OpenOptions& options = {},
                  std::string* error = nullptr);
// Photoshop files: the flattened picture becomes slot 0 like any other picture.
bool ImportPsdDocument(CBrevDoc& doc, const std::string& path, std::string* error = nullptr);

// Builds the document from its image object in slot 0 and finishes opening. `initialAlpha`
// fills the layer's alpha plane.
bool BuildDocumentFromImage(CBrevDoc& doc, std::u16string_view name, uint8_t initialAlpha);
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
bool NewDocument(CBrevDoc& doc, const NewImageRequest& request, std::string* error = nullptr);

struct SaveOptions {
    int jpegQuality = -1;  // -1 keeps the image object's
};

// Saves by the extension of `path`: VLR through its writer, pictures composed at full size and
// encoded (GIF reduced to 256 colours, the document staying 24 bits). The file is replaced only
// when complete. Clears the modified flag on success.
bool SaveDocument(CBrevDoc& doc, const std::string& path, const SaveOptions& options = {},
                  std::string* error = nullptr);

// The name the save-as dialog starts with: the document's path when it has one that its kind
// can be written to, else the title ("UntitledImage" when it holds any of #%;/\) with the
// extension of the image's kind.
std::u16string ProposedSaveName(std::u16string_view documentPath, std::u16string_view title,
                                int imageKind);
// After the dialog: the kind's extension is appended when the last five characters hold no dot.
std::u16string CompleteSaveName(std::u16string_view chosen, int imageKind);

// "%s %d %s (%s)": file name, zoom in percent, "%", current layer name; then " extra".
std::u16string DocumentTitle(const CBrevDoc& doc, std::u16string_view extra = {});

}  // namespace quillet
