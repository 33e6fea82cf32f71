#pragma once
// Saves a whole layered document as a VLR file (version 41).
#include <string>

namespace quillet {

class ByteStream;
class CBrevDoc;

class VlrWriter {
public:
    explicit VlrWriter(CBrevDoc& doc) : doc_(doc) {}

    // Composes the flat block and writes the file through a temporary file that replaces
    // `path` only when complete: a failed save leaves an existing file as it was. On success the
    // modified flag is cleared. False when the file cannot be written or the layer list is
    // broken; error() (also the image object's lastError) says why.
    bool Save(const std::string& path);

    // The same bytes into any stream (no atomic replacement, modified flag untouched).
    bool Write(ByteStream& out);

    const std::string& error() const { return error_; }

private:
    bool CheckLayerList();
    bool WriteFlatBlock(ByteStream& out);
    bool WriteEntries(ByteStream& out);
    bool Fail(std::string text);

    CBrevDoc& doc_;
    std::string error_;
};

}  // namespace quillet
