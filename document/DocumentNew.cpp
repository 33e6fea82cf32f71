#include <algorithm>

#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"

namespace quillet {

NewImageRequest DefaultNewImageRequest(int clipboardWidth, int clipboardHeight) {
    NewImageRequest r;
    if (clipboardWidth >= NewImageRequest::kMinSize &&
        clipboardHeight >= NewImageRequest::kMinSize) {
        r.width = std::min(clipboardWidth, NewImageRequest::kMaxSize);
        r.height = std::min(clipboardHeight, NewImageRequest::kMaxSize);
    }
    return r;
}

bool NewDocument(CBrevDoc& doc, const NewImageRequest& r, std::string* error) {
    auto fail = [&](const char* text) {
        if (error) *error = text;
        return false;
    };
    if (r.width < NewImageRequest::kMinSize || r.height < NewImageRequest::kMinSize ||
        r.width > NewImageRequest::kMaxSize || r.height > NewImageRequest::kMaxSize)
        return fail("Width and height must be 1 to 5000");
    if (r.bitsPerPixel != 24) return fail("New pictures are RGB colour (24 bits)");
    if (r.background < NewBackground::White || r.background > NewBackground::Colour)
        return fail("Unknown background choice");

    RaViru& image = doc.Image();
    // The background choice travels as the image's kind code.
    image.Allocate(r.width, r.height, r.bitsPerPixel, r.background);
    if (image.HasBlock() && r.background != NewBackground::Transparent) {
        const uint32_t c = r.background == NewBackground::Colour ? r.backgroundColour : 0xFFFFFF;
        const uint8_t bgr[3] = {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};  // from 0x00BBGGRR
        for (int y = 0; y < image.Height(); ++y) {
            uint8_t* row = image.Row(y);
            for (int x = 0; x < image.Width(); ++x, row += 3) {
                row[0] = bgr[0];
                row[1] = bgr[1];
                row[2] = bgr[2];
            }
        }
    }
    const uint8_t alpha = r.background == NewBackground::Transparent ? 0 : 255;
    if (!BuildDocumentFromImage(doc, r.name, alpha)) return fail("해당파일이 존재하지 않습니다.");
    return true;
}

}  // namespace quillet
