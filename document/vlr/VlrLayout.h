#pragma once
// Inside the VLR reader: a first pass that finds where every item of a file lies and checks it,
// before anything is allocated for the document. The second pass (VlrReader) reads the planes
// straight into the layers it creates.
#include <cstdint>
#include <string>
#include <vector>

#include "document/Layer.h"
#include "document/PictureHeader.h"
#include "document/vlr/VlrFormat.h"

namespace quillet {
class ByteStream;
}

namespace quillet::vlr {

struct EntryPlan {
    int slot = -1;
    int lineTextLength = 0;  // the entry line's second number
    Layer record{};          // the stored bytes; zero beyond an old version's record length
    PlaneSizes sizes;
    int64_t pixelsAt = 0;  // file offset of the pixel buffer; alpha and effect plane follow
    int textUnits = 0;     // UTF-16 units stored after the effect plane
};

struct Layout {
    int version = 0;
    int bottom = -1;
    int current = -1;
    PictureHeader header{};
    int64_t flatAt = 0;  // file offset of the flat block
    std::vector<EntryPlan> entries;
};

enum class ScanStatus { Ok, UnknownVersion, Damaged };

// Reads the header line and the picture header. `previewOnly` accepts any version from 31 up
// (thumbnails); otherwise only 41, 362 and 36 pass.
ScanStatus ScanHead(ByteStream& in, bool previewOnly, Layout& layout, std::string& error);

// Follows the layer entries from the bottom index: every slot, link, size and length is checked
// against the bytes that remain.
bool ScanEntries(ByteStream& in, Layout& layout, std::string& error);

}  // namespace quillet::vlr
