#pragma once
// The first picture of a file (a VLR document's flat picture) as rows of BGRA, and the area
// reduction that makes thumbnails of it: the file manager's previews and the file browser's.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillet {

// A picture handing out its rows as blue, green, red, alpha bytes, top row first; decoded
// pictures convert one row at a time, so no second full-size copy is made.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Fills Width() × 4 bytes with row y (0 is the top row).
    virtual void Row(int y, uint8_t* bgra) const = 0;
};

// A picture held as packed BGRA rows, top row first.
struct Picture32 : RowSource {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgra;

    int Width() const override { return width; }
    int Height() const override { return height; }
    void Row(int y, uint8_t* out) const override;
};

// Thumbnails are made of whatever lies in a folder: a small file claiming a huge picture is
// refused from its header beyond this many pixels.
constexpr uint64_t kFirstPictureMaxPixels = 100'000'000;

// The first picture of any readable file, whatever its name: a VLR document's flat picture,
// the first page of a GIF or TIFF, the merged picture of a PSD. Null with a reason otherwise.
// With `fitSize` above 0 a JPEG is decoded at the smallest of 1/2, 1/4 or 1/8 of its size
// whose longer side still reaches `fitSize`; `fullWidth`/`fullHeight` get the size in the file.
std::unique_ptr<RowSource> ReadFirstPicture(const std::string& path, std::string& error,
                                            int fitSize = 0, int* fullWidth = nullptr,
                                            int* fullHeight = nullptr);

// The size a picture of width × height gets when it must fit size × size: the longer side
// becomes `size`, the shorter one keeps the proportion (rounded, at least 1). Pictures that
// already fit keep their size.
void FitSize(int width, int height, int size, int& outWidth, int& outHeight);

// Area-averaging reduction to outWidth × outHeight (each 1 to the source's size): every output
// pixel is the mean of the source area it covers, colours weighted by their alpha and rounded.
Picture32 Reduce(const RowSource& in, int outWidth, int outHeight);

}  // namespace quillet
