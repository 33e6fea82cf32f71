#pragma once
// Reads a VLR document (versions 41, 362 and 36) into a document, and the flat picture of any
// version from 31 up for thumbnails.
#include <cstdint>
#include <string>
#include <vector>

#include "base/Status.h"

namespace quillet {

class ByteStream;
class CBrevDoc;

class VlrReader {
public:
    explicit VlrReader(CBrevDoc& doc) : doc_(doc) {}

    // Rebuilds the document's layers from the file: every layer made through create layer and
    // copied to the snapshot, slots and links as stored. The whole file is checked before the
    // document changes; a file that fails leaves the document as it was (a read error halfway
    // leaves it without layers). An unknown version shows "VLR 형식의 버전이 상이함". The
    // current layer index is the file's when it names a listed layer, else the bottom one.
    // A document that would need more than `memoryAvailable` bytes (0: what the machine has
    // available now) is refused before anything is allocated.
    Status Open(const std::string& path, uint64_t memoryAvailable = 0);
    Status Read(ByteStream& in, uint64_t memoryAvailable = 0);

private:
    CBrevDoc& doc_;
};

// What the file browser draws a thumbnail from.
struct VlrPreview {
    int version = 0;
    std::u16string name;  // the picture name
    int width = 0;        // canvas size
    int height = 0;
    int bitsPerPixel = 0;
    uint32_t stride = 0;        // bytes per row of the flat block
    std::vector<uint8_t> flat;  // rows bottom first; at least stride × height bytes
};

// Reads only the header line, the picture header and the flat block.
bool ReadVlrPreview(const std::string& path, VlrPreview& out, std::string* error = nullptr);
bool ReadVlrPreview(ByteStream& in, VlrPreview& out, std::string* error = nullptr);

}  // namespace quillet
