#include <algorithm>

#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "image/RaViru.h"

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

Status NewDocument(CBrevDoc& doc, const NewImageRequest& r) {
    auto refuse = [](const char* text) { return Status(StatusCode::Failed, text); };
    if (r.width < NewImageRequest::kMinSize || r.height < NewImageRequest::kMinSize ||
        r.width > NewImageRequest::kMaxSize || r.height > NewImageRequest::kMaxSize)
        return refuse("Width and height must be 1 to 5000");
    if (r.bitsPerPixel != 24) return refuse("New pictures are RGB colour (24 bits)");
    if (r.background < NewBackground::White || r.background > NewBackground::Colour)
        return refuse("Unknown background choice");

    // The background choice travels as the picture's kind code.
    RaViru picture(r.width, r.height, r.bitsPerPixel, static_cast<ImageKind>(r.background));
    if (picture.HasBlock() && r.background != NewBackground::Transparent) {
        const uint32_t c = r.background == NewBackground::Colour ? r.backgroundColour : 0xFFFFFF;
        const uint8_t bgr[3] = {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};  // from 0x00BBGGRR
        for (int y = 0; y < picture.Height(); ++y) {
            uint8_t* row = picture.Row(y);
            for (int x = 0; x < picture.Width(); ++x, row += 3) {
                row[0] = bgr[0];
                row[1] = bgr[1];
                row[2] = bgr[2];
            }
        }
    }
    const uint8_t alpha = r.background == NewBackground::Transparent ? 0 : 255;
    return BuildDocumentFromImage(doc, picture, r.name, alpha);
}

}  // namespace quillet
