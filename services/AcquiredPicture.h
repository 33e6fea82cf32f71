#pragma once
// Pictures that come from outside the program (a scanner page, a screen capture) become new
// documents through the same handler: checked, made the document's picture, named with the
// application's running number and opened as one layer.
#include <string>
#include <string_view>

namespace quillet {

class CBrevDoc;
class RaViru;

enum class AcquiredSource { Scanner, Screen };

// "스캔영상_%d" for scanned pages, "Captured Image %d" for captures.
std::u16string AcquiredDocumentName(AcquiredSource source, int number);

// Whether a picture can become a document: it holds pixels and is at least 1 × 1.
bool AcquiredPictureUsable(const RaViru& picture);

// Moves `picture` into the empty document `doc` and builds it as one opaque layer named
// `name` (slot 0, full opacity, the first journal step recorded). False when the picture is
// unusable (it is then left as it was) or the document could not be built.
bool AdoptAcquiredPicture(CBrevDoc& doc, RaViru& picture, std::u16string_view name);

}  // namespace quillet
