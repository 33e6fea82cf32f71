#pragma once
// Thumbnails for file managers: the first picture of a file (a VLR document's flat picture)
// reduced by area averaging to fit a square, written as PNG.
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace quillet::cli {

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

// The first picture of any readable file, whatever its name: a VLR document's flat picture,
// the first page of a GIF or TIFF, the merged picture of a PSD. Null with a reason otherwise.
std::unique_ptr<RowSource> ReadFirstPicture(const std::string& path, std::string& error);

// The size a picture of width × height gets when it must fit size × size: the longer side
// becomes `size`, the shorter one keeps the proportion (rounded, at least 1). Pictures that
// already fit keep their size.
void FitSize(int width, int height, int size, int& outWidth, int& outHeight);

// Area-averaging reduction to outWidth × outHeight (each 1 to the source's size): every output
// pixel is the mean of the source area it covers, colours weighted by their alpha and rounded.
Picture32 Reduce(const RowSource& in, int outWidth, int outHeight);

// quillet-cli thumbnail IN OUT.png SIZE. Exit codes as for the other commands.
int RunThumbnail(const std::vector<std::string>& args, std::ostream& err);

}  // namespace quillet::cli
