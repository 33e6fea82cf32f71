#pragma once
// Saves a whole layered document as a VLR file (version 41).
#include <string>

#include "base/Status.h"

namespace quillet {

class ByteStream;
class CBrevDoc;

class VlrWriter {
public:
    explicit VlrWriter(CBrevDoc& doc) : doc_(doc) {}

    // Composes the flat block and writes the file through a temporary file that replaces
    // `path` only when complete: a failed save leaves an existing file as it was. On success the
    // modified flag is cleared. A failure says why: the file could not be written (the
    // writer's reasons: permission, a device, a full disk, ...) or the layer list is broken.
    Status Save(const std::string& path);

    // The same bytes into any stream (no atomic replacement, modified flag untouched).
    Status Write(ByteStream& out);

private:
    Status CheckLayerList();
    bool WriteFlatBlock(ByteStream& out);
    bool WriteEntries(ByteStream& out);

    CBrevDoc& doc_;
};

}  // namespace quillet
