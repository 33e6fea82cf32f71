#pragma once
// The small file the journal keeps beside its layer files for each open document, so that the
// document can be given back after the program died: its names, when its last step was taken,
// its picture values and layer records, and for every listed layer the journal file holding its
// planes. Files are named and also known by inode: the 21st step renames them (the manifest of
// the step before still names the old names until the new one is written).
//
// Bytes: "QLRECOV1", the payload's length (u64), the payload, a 64-bit hash of the payload. All
// numbers little-endian; texts as a u32 count of UTF-16 units and the units.
#include <cstdint>
#include <string>
#include <vector>

#include "document/Layer.h"
#include "document/PictureHeader.h"
#include "image/BitmapInfo.h"

namespace quillet {

// Where one layer's planes are: a journal layer file and the sizes it was written with.
struct ManifestFile {
    std::string name;  // within the journal folder
    uint64_t inode = 0;
    int32_t width = 0, height = 0;
    uint32_t planeSize = 0, pixelSize = 0;
    uint8_t kind = 0;
    int32_t textLength = 0;
    int32_t maskWidth = 0, maskHeight = 0;

    // Bytes of the file: pixels (not for text layers), alpha, effect, mask and text.
    uint64_t Bytes() const;
    uint64_t MaskOffset() const;
};

struct ManifestLayer {
    int32_t slot = 0;
    Layer record{};
    ManifestFile file;
};

struct RecoveryManifest {
    static constexpr int kVersion = 1;

    int32_t documentNumber = 0;
    uint64_t serial = 0;  // steps recorded, undone or redone since the document opened
    int64_t savedAt = 0;  // seconds since 1970 when that last happened
    int32_t stepIndex = 0;
    std::u16string fileName;
    std::u16string lastStep;  // the label of the step the document is at
    int32_t currentLayer = -1;
    int32_t bottom = -1;
    bool selectionActive = false;
    PictureHeader header{};
    uint32_t workingPlaneSize = 0;  // the working copy's alpha size (its pixel size is in header)
    std::vector<Rgbquad> palette;
    BitmapInfoHeader imageDescription{};
    int32_t maskX = 0, maskY = 0, maskWidth = 0, maskHeight = 0;
    int32_t maskLayer = -1;  // index into `layers` whose file holds the mask; -1: all ones
    std::vector<ManifestLayer> layers;

    std::vector<uint8_t> Serialize() const;
    // False with `error` set for anything but a whole manifest of this version.
    static bool Parse(const std::vector<uint8_t>& bytes, RecoveryManifest& out, std::string& error);
    // The file name of document `number`'s manifest in its journal folder.
    static std::string FileName(int documentNumber);
    static bool IsManifestName(const std::string& name);
};

}  // namespace quillet
