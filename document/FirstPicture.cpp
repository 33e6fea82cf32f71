#include "document/FirstPicture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "document/vlr/VlrReader.h"
#include "image/ByteStream.h"
#include "image/RaViru.h"
#include "image/codecs/PsdReader.h"
#include "image/codecs/RaViruJPG.h"

namespace quillet {

namespace {

// A decoded picture: rows are stored bottom up in the image's own depth.
class ImageRows : public RowSource {
public:
    explicit ImageRows(std::unique_ptr<RaViru> image) : image_(std::move(image)) {
        const RaViru& im = *image_;
        indexed_ = im.PaletteCount() > 0 && im.BitCount() <= 8;
        if (!indexed_) return;
        // Indices past the palette show black, as the image object's colour accessor has it.
        for (int i = 0; i < 256; ++i) {
            const Rgbquad q = im.PaletteEntry(i);
            uint8_t* e = &lut_[size_t(i) * 4];
            e[0] = q.blue;
            e[1] = q.green;
            e[2] = q.red;
            e[3] = i == im.transparentIndex ? 0 : 255;
        }
    }
    int Width() const override { return image_->Width(); }
    int Height() const override { return image_->Height(); }
    void Row(int y, uint8_t* out) const override {
        const RaViru& im = *image_;
        const int w = im.Width();
        const int storedRow = im.Height() - 1 - y;
        const uint8_t* src = im.Row(storedRow);
        const int bits = im.BitCount();
        if (indexed_) {
            const int perByte = 8 / bits;
            const unsigned mask = (1u << bits) - 1;
            for (int x = 0; x < w; ++x) {
                const int shift = 8 - bits * (x % perByte + 1);
                const unsigned index = (src[x / perByte] >> shift) & mask;
                std::memcpy(out + size_t(x) * 4, &lut_[size_t(index) * 4], 4);
            }
        } else if (bits >= 24) {
            const int step = bits / 8;
            for (int x = 0; x < w; ++x, src += step, out += 4) {
                out[0] = src[0];
                out[1] = src[1];
                out[2] = src[2];
                out[3] = 255;
            }
        } else {  // packed true colour without a palette: rare, so the general accessor
            for (int x = 0; x < w; ++x, out += 4) {
                const uint32_t c = im.PixelColorAt(x, storedRow);
                out[0] = uint8_t(c);
                out[1] = uint8_t(c >> 8);
                out[2] = uint8_t(c >> 16);
                out[3] = 255;
            }
        }
    }

private:
    std::unique_ptr<RaViru> image_;
    bool indexed_ = false;
    uint8_t lut_[256 * 4] = {};
};

// A VLR document's flat block. The file keeps no palette, so an 8-bit block is shown as the
// grey ramp of its indices.
class FlatBlockRows : public RowSource {
public:
    explicit FlatBlockRows(VlrPreview preview) : p_(std::move(preview)) {}
    int Width() const override { return p_.width; }
    int Height() const override { return p_.height; }
    void Row(int y, uint8_t* out) const override {
        const uint8_t* src = p_.flat.data() + size_t(p_.height - 1 - y) * p_.stride;
        if (p_.bitsPerPixel == 8) {
            for (int x = 0; x < p_.width; ++x, out += 4) {
                out[0] = out[1] = out[2] = src[x];
                out[3] = 255;
            }
            return;
        }
        const int step = p_.bitsPerPixel / 8;
        for (int x = 0; x < p_.width; ++x, src += step, out += 4) {
            out[0] = src[0];
            out[1] = src[1];
            out[2] = src[2];
            out[3] = 255;
        }
    }

private:
    VlrPreview p_;
};

// The first bytes tell a VLR document ("\n" and its version) and a PSD ("8BPS") from the
// formats the image object recognises by itself.
enum class Sniffed { Vlr, Psd, Jpeg, Other };

Sniffed sniff(const std::string& path) {
    char head[4] = {};
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        const size_t n = std::fread(head, 1, sizeof head, f);
        std::fclose(f);
        if (n >= 2 && head[0] == '\n' && head[1] >= '0' && head[1] <= '9') return Sniffed::Vlr;
        if (n == 4 && std::memcmp(head, "8BPS", 4) == 0) return Sniffed::Psd;
        if (n >= 3 && std::memcmp(head, "\xFF\xD8\xFF", 3) == 0) return Sniffed::Jpeg;
    }
    return Sniffed::Other;
}

// Source pixels covering one output pixel along an axis, with their integer overlaps: output
// i covers [i·from, (i+1)·from) and source j covers [j·to, (j+1)·to), so the overlaps of every
// output sum to `from`.
struct Taps {
    std::vector<int> first, count;
    std::vector<uint32_t> weight;
};

Taps makeTaps(int from, int to) {
    Taps t;
    t.first.resize(size_t(to));
    t.count.resize(size_t(to));
    for (int i = 0; i < to; ++i) {
        const int64_t lo = int64_t(i) * from, hi = lo + from;
        const int j0 = int(lo / to), j1 = int((hi - 1) / to);
        t.first[size_t(i)] = j0;
        t.count[size_t(i)] = j1 - j0 + 1;
        for (int j = j0; j <= j1; ++j)
            t.weight.push_back(
                uint32_t(std::min(hi, int64_t(j + 1) * to) - std::max(lo, int64_t(j) * to)));
    }
    return t;
}

std::unique_ptr<RowSource> readJpeg(const std::string& path, std::string& error, int fitSize,
                                    int* fullWidth, int* fullHeight) {
    FileStream stream(path.c_str(), "rb");
    auto image = std::make_unique<RaViruJPG>();
    image->pixelLimit = kFirstPictureMaxPixels;
    image->SetDecodeToFit(fitSize);
    if (!stream.isOpen() || !image->Read(stream) || !image->HasBlock()) {
        error = image->lastError[0] ? image->lastError : "cannot read the file";
        return nullptr;
    }
    if (fullWidth) *fullWidth = image->FullWidth();
    if (fullHeight) *fullHeight = image->FullHeight();
    return std::make_unique<ImageRows>(std::move(image));
}

std::unique_ptr<RowSource> readWhole(Sniffed kind, const std::string& path, std::string& error) {
    switch (kind) {
        case Sniffed::Vlr: {
            VlrPreview preview;
            if (!ReadVlrPreview(path, preview, &error)) return nullptr;
            if (preview.bitsPerPixel != 8 && preview.bitsPerPixel != 24 &&
                preview.bitsPerPixel != 32) {
                error = "VLR file: a flat picture of " + std::to_string(preview.bitsPerPixel) +
                        " bits per pixel has no colours";
                return nullptr;
            }
            return std::make_unique<FlatBlockRows>(std::move(preview));
        }
        case Sniffed::Psd: {
            auto image = std::make_unique<RaViru>();
            image->pixelLimit = kFirstPictureMaxPixels;
            if (ReadPsd(path, *image) != PsdResult::Ok) {
                error = image->lastError;
                return nullptr;
            }
            return std::make_unique<ImageRows>(std::move(image));
        }
        case Sniffed::Jpeg:
        case Sniffed::Other:
            break;
    }
    auto image = std::make_unique<RaViru>();
    image->pixelLimit = kFirstPictureMaxPixels;
    if (!image->ReadFile(path, ImageKind::Unknown) || !image->HasBlock() || image->Width() < 1 ||
        image->Height() < 1) {
        error = image->lastError[0] ? image->lastError : "no picture in the file";
        return nullptr;
    }
    return std::make_unique<ImageRows>(std::move(image));
}

}  // namespace

void Picture32::Row(int y, uint8_t* out) const {
    std::memcpy(out, bgra.data() + size_t(y) * size_t(width) * 4, size_t(width) * 4);
}

std::unique_ptr<RowSource> ReadFirstPicture(const std::string& path, std::string& error,
                                            int fitSize, int* fullWidth, int* fullHeight) {
    const Sniffed kind = sniff(path);
    if (kind == Sniffed::Jpeg && fitSize > 0)
        return readJpeg(path, error, fitSize, fullWidth, fullHeight);
    std::unique_ptr<RowSource> picture = readWhole(kind, path, error);
    if (picture && fullWidth) *fullWidth = picture->Width();
    if (picture && fullHeight) *fullHeight = picture->Height();
    return picture;
}

void FitSize(int width, int height, int size, int& outWidth, int& outHeight) {
    outWidth = width;
    outHeight = height;
    if (width <= size && height <= size) return;
    if (width >= height) {
        outWidth = size;
        outHeight = int(std::max<int64_t>(1, (int64_t(height) * size + width / 2) / width));
    } else {
        outHeight = size;
        outWidth = int(std::max<int64_t>(1, (int64_t(width) * size + height / 2) / height));
    }
}

Picture32 Reduce(const RowSource& in, int outWidth, int outHeight) {
    const int W = in.Width(), H = in.Height();
    const int w = outWidth, h = outHeight;
    Picture32 out;
    out.width = w;
    out.height = h;
    out.bgra.resize(size_t(w) * size_t(h) * 4);
    const Taps taps = makeTaps(W, w);

    // Sums are of colour × alpha × weight: at most 2^16 · W · H, within 64 bits for any
    // picture the image object accepts.
    std::vector<uint8_t> row(size_t(W) * 4);
    std::vector<uint64_t> across(size_t(w) * 4), acc(size_t(w) * 4, 0);
    const uint64_t total = uint64_t(W) * uint64_t(H);
    int current = 0;

    auto finishRow = [&] {
        uint8_t* o = out.bgra.data() + size_t(current) * size_t(w) * 4;
        for (int i = 0; i < w; ++i, o += 4) {
            const uint64_t* a = &acc[size_t(i) * 4];
            const uint64_t alphaSum = a[3];
            for (int c = 0; c < 3; ++c)
                o[c] = alphaSum ? uint8_t((a[c] + alphaSum / 2) / alphaSum) : 0;
            o[3] = uint8_t((alphaSum + total / 2) / total);
        }
        std::fill(acc.begin(), acc.end(), 0);
        ++current;
    };

    for (int y = 0; y < H; ++y) {
        in.Row(y, row.data());
        const uint32_t* weight = taps.weight.data();
        for (int i = 0; i < w; ++i) {
            uint64_t b = 0, g = 0, r = 0, alpha = 0;
            const uint8_t* p = row.data() + size_t(taps.first[size_t(i)]) * 4;
            for (int k = 0; k < taps.count[size_t(i)]; ++k, p += 4) {
                const uint64_t wa = uint64_t(*weight++) * p[3];
                b += wa * p[0];
                g += wa * p[1];
                r += wa * p[2];
                alpha += wa;
            }
            uint64_t* s = &across[size_t(i) * 4];
            s[0] = b;
            s[1] = g;
            s[2] = r;
            s[3] = alpha;
        }
        // Source row y covers [y·h, (y+1)·h); output row j covers [j·H, (j+1)·H).
        int64_t lo = int64_t(y) * h;
        const int64_t hi = lo + h;
        while (lo < hi) {
            const int64_t end = std::min(hi, int64_t(current + 1) * H);
            const uint64_t wy = uint64_t(end - lo);
            for (size_t k = 0; k < acc.size(); ++k) acc[k] += wy * across[k];
            lo = end;
            if (end == int64_t(current + 1) * H) finishRow();
        }
    }
    return out;
}

}  // namespace quillet
