#include "services/AcquiredPicture.h"

#include <cstdio>

#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "image/RaViru.h"

namespace quillet {

std::u16string AcquiredDocumentName(AcquiredSource source, int number) {
    char text[64];
    std::snprintf(text, sizeof text,
                  source == AcquiredSource::Scanner ? "스캔영상_%d" : "Captured Image %d", number);
    return utf8ToUtf16(text);
}

bool AcquiredPictureUsable(const RaViru& picture) {
    return picture.HasBlock() && picture.Width() >= 1 && picture.Height() >= 1;
}

bool AdoptAcquiredPicture(CBrevDoc& doc, RaViru& picture, std::u16string_view name) {
    if (!AcquiredPictureUsable(picture)) return false;
    if (!BuildDocumentFromImage(doc, picture, name, 255)) return false;
    doc.SetFileName(name);
    return true;
}

}  // namespace quillet
