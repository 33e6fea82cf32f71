#include "image/codecs/PsdReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "base/LittleEndian.h"
#include "image/ByteStream.h"
#include "image/RaViru.h"

namespace quillet {

namespace {

enum Mode {
    Bitmap = 0,
    Greyscale = 1,
    Indexed = 2,
    Rgb = 3,
    Cmyk = 4,
    Multichannel = 7,
    Duotone = 8,
    Lab = 9
};

int planesFor(int mode) {
    switch (mode) {
        case Greyscale:
        case Indexed:
        case Multichannel:
        case Duotone:
            return 1;
        case Rgb:
        case Lab:
            return 3;
        case Cmyk:
            return 4;
        default:
            return 0;
    }
}

const char* describe(int code) {
    switch (code) {
        case PsdResult::CannotOpen:
            return "Can't open PSD file";
        case PsdResult::NotPsd:
            return "Not a PSD file";
        case PsdResult::ColourModeUnreadable:
            return "PSD colour mode section unreadable";
        case PsdResult::HeaderFailed:
            return "Can't read PSD header";
        case PsdResult::ColourModeFailed:
            return "Can't read PSD colour mode data";
        case PsdResult::ResourcesFailed:
            return "Can't read PSD image resources";
        case PsdResult::ImageDataFailed:
            return "Can't read PSD image data";
        case PsdResult::DepthOne:
            return "PSD with 1 bit per channel is not supported";
        case PsdResult::DepthUnsupported:
            return "PSD bit depth not supported";
        case PsdResult::BitmapFailed:
            return "Can't create the PSD picture";
        case PsdResult::Zip:
            return "PSD ZIP compression is not supported";
        case PsdResult::ZipPrediction:
            return "PSD ZIP compression with prediction is not supported";
        default:
            return "PSD compression not supported";
    }
}

bool readU32(ByteStream& s, uint32_t* v) {
    uint8_t b[4];
    if (s.Read(b, 1, 4) != 4) return false;
    *v = readU32BE(b);
    return true;
}

// PackBits over the whole run of planes: n < 128 copies n + 1 bytes, n > 128 repeats the next
// byte 257 − n times, 128 does nothing. The coded bytes are read in blocks as they are needed.
// False when the stream ends first.
class PackBitsReader {
public:
    explicit PackBitsReader(ByteStream& stream) : stream_(stream) {}

    bool Unpack(uint8_t* out, size_t outSize) {
        size_t o = 0;
        while (o < outSize) {
            int n = Next();
            if (n < 0) return false;
            if (n < 128) {
                size_t want = size_t(n) + 1, kept = std::min(want, outSize - o);
                while (want) {
                    if (pos_ == len_ && !Refill()) return false;
                    const size_t take = std::min(want, len_ - pos_);
                    const size_t copy = std::min(take, kept);
                    std::memcpy(out + o, buffer_ + pos_, copy);
                    o += copy, kept -= copy, pos_ += take, want -= take;
                }
            } else if (n > 128) {
                const int value = Next();
                if (value < 0) return false;
                const size_t count = std::min<size_t>(257 - size_t(n), outSize - o);
                std::memset(out + o, value, count);
                o += count;
            }
        }
        return true;
    }

private:
    int Next() {
        if (pos_ == len_ && !Refill()) return -1;
        return buffer_[pos_++];
    }
    bool Refill() {
        len_ = stream_.Read(buffer_, 1, sizeof buffer_);
        pos_ = 0;
        return len_ > 0;
    }

    ByteStream& stream_;
    uint8_t buffer_[64 * 1024];
    size_t pos_ = 0, len_ = 0;
};

// CIE L*a*b* (D65 white 95.047, 100, 108.883) to sRGB, each result × 256 truncated and clamped.
void labToBgr(double L, double a, double b, uint8_t* bgr) {
    const double fy = (L + 16.0) / 116.0, fx = fy + a / 500.0, fz = fy - b / 200.0;
    auto inv = [](double t) {
        return t * t * t > 0.008856 ? t * t * t : (t - 16.0 / 116.0) / 7.787;
    };
    const double X = 95.047 * inv(fx) / 100.0, Y = 100.0 * inv(fy) / 100.0,
                 Z = 108.883 * inv(fz) / 100.0;
    const double lin[3] = {X * 3.2406 + Y * -1.5372 + Z * -0.4986,
                           X * -0.9689 + Y * 1.8758 + Z * 0.0415,
                           X * 0.0557 + Y * -0.2040 + Z * 1.0570};
    for (int i = 0; i < 3; ++i) {
        const double v =
            lin[i] > 0.0031308 ? 1.055 * std::pow(lin[i], 1 / 2.4) - 0.055 : 12.92 * lin[i];
        const double scaled = v * 256.0;
        bgr[2 - i] = uint8_t(scaled <= 0 ? 0 : scaled >= 255 ? 255 : int(scaled));
    }
}

// One CMYK component: stored inverted; each sample over 2^depth.
inline uint8_t cmykComponent(double c, double k) {
    double v = std::floor((1.0 - (k + (1.0 - k) * c)) * 255.0 + 0.5);
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

// The status code a caller acts on for each result code.
StatusCode statusOf(int code) {
    switch (code) {
        case PsdResult::Ok:
            return StatusCode::Ok;
        case PsdResult::CannotOpen:
            return StatusCode::NotFound;
        case PsdResult::NotPsd:
            return StatusCode::UnknownFormat;
        case PsdResult::DepthOne:
        case PsdResult::DepthUnsupported:
        case PsdResult::Zip:
        case PsdResult::ZipPrediction:
        case PsdResult::CompressionUnknown:
            return StatusCode::Unsupported;
        case PsdResult::BitmapFailed:
            return StatusCode::OutOfMemory;
        default:
            return StatusCode::Truncated;
    }
}

int fail(RaViru& image, int code) {
    image.SetError(describe(code));
    return code;
}

// The 26-byte header, and where the image data starts: the colour mode data (the palette of
// indexed files) is kept, the image resources and the layer section are stepped over.
struct PsdLayout {
    int channels = 0;
    uint32_t width = 0, height = 0;
    int depth = 0, mode = 0, planes = 0;
    int compression = 0;
    std::vector<uint8_t> colourMode;
};

int readLayout(ByteStream& stream, PsdLayout& L) {
    const int64_t size = stream.Size();
    auto remaining = [&] { return size < 0 ? INT64_MAX : size - stream.Tell(); };

    uint8_t head[26];
    if (stream.Read(head, 1, 26) != 26) return PsdResult::HeaderFailed;
    static const uint8_t zeros[6] = {};
    if (std::memcmp(head, "8BPS", 4) != 0 || readU16BE(head + 4) != 1 ||
        std::memcmp(head + 6, zeros, 6) != 0) {
        return PsdResult::NotPsd;
    }
    L.channels = readU16BE(head + 12);
    L.height = readU32BE(head + 14);
    L.width = readU32BE(head + 18);
    L.depth = readU16BE(head + 22);
    L.mode = readU16BE(head + 24);
    if (L.depth == 1) return PsdResult::DepthOne;
    if (L.depth != 8 && L.depth != 16) return PsdResult::DepthUnsupported;
    L.planes = planesFor(L.mode);
    if (L.planes == 0 || L.channels < L.planes || L.width == 0 || L.height == 0)
        return PsdResult::NotPsd;

    uint32_t length = 0;
    if (!readU32(stream, &length)) return PsdResult::ColourModeUnreadable;
    if (int64_t(length) > remaining()) return PsdResult::ColourModeFailed;
    L.colourMode.resize(length);
    if (length && stream.Read(L.colourMode.data(), 1, length) != length)
        return PsdResult::ColourModeFailed;

    // Image resources (resolution, display information, thumbnails) do not change the
    // flattened picture: the section is stepped over as a whole.
    if (!readU32(stream, &length) || int64_t(length) > remaining() ||
        !stream.Seek(int64_t(length), SEEK_CUR)) {
        return PsdResult::ResourcesFailed;
    }
    // Layer and mask information.
    if (!readU32(stream, &length) || int64_t(length) > remaining() ||
        !stream.Seek(int64_t(length), SEEK_CUR)) {
        return PsdResult::ImageDataFailed;
    }
    uint8_t comp[2];
    if (stream.Read(comp, 1, 2) != 2) return PsdResult::ImageDataFailed;
    L.compression = readU16BE(comp);
    if (L.compression == 2) return PsdResult::Zip;
    if (L.compression == 3) return PsdResult::ZipPrediction;
    if (L.compression != 0 && L.compression != 1) return PsdResult::CompressionUnknown;
    return PsdResult::Ok;
}

// The planes one after the other, raw or PackBits coded (after a table of row lengths).
int readSamples(ByteStream& stream, const PsdLayout& L, uint8_t* samples, size_t needed) {
    const int64_t size = stream.Size();
    auto remaining = [&] { return size < 0 ? INT64_MAX : size - stream.Tell(); };
    if (L.compression == 0) {
        if (int64_t(needed) > remaining()) return PsdResult::ImageDataFailed;
        if (stream.Read(samples, 1, needed) != needed) return PsdResult::ImageDataFailed;
        return PsdResult::Ok;
    }
    const int64_t table = int64_t(L.channels) * L.height * 2;
    if (table > remaining() || !stream.Seek(table, SEEK_CUR)) return PsdResult::ImageDataFailed;
    // A run pair gives at most 128 bytes: a shorter stream cannot hold the planes.
    const int64_t left = remaining();
    if (left <= 0 || uint64_t(left) * 64 < needed) return PsdResult::ImageDataFailed;
    auto reader = std::make_unique<PackBitsReader>(stream);
    if (!reader->Unpack(samples, needed)) return PsdResult::ImageDataFailed;
    return PsdResult::Ok;
}

void fillRows(RaViru& out, const PsdLayout& L, const uint8_t* samples);

// The reader; `status` receives the code a caller acts on.
int readPsd(ByteStream& stream, RaViru& image, StatusCode& status) {
    auto failed = [&](int code) {
        status = statusOf(code);
        return fail(image, code);
    };
    PsdLayout L;
    if (const int code = readLayout(stream, L); code != PsdResult::Ok) return failed(code);
    if (!FitsPixelLimit(L.width, L.height, image.pixelLimit)) {
        failed(PsdResult::BitmapFailed);
        status = StatusCode::TooLarge;
        return PsdResult::BitmapFailed;
    }
    const size_t planeBytes = size_t(L.width) * L.height * size_t(L.depth / 8);
    const size_t needed = planeBytes * size_t(L.planes);  // < 2^28 · 2 · 4
    // Work buffers are left uninitialised: every byte is written before it is read.
    std::unique_ptr<uint8_t[]> samples(new (std::nothrow) uint8_t[needed]);
    if (!samples) return failed(PsdResult::BitmapFailed);
    if (const int code = readSamples(stream, L, samples.get(), needed); code != PsdResult::Ok)
        return failed(code);

    RaViru out(ImageKind::Unknown);
    // fillRows writes every row.
    if (!out.Allocate(int(L.width), int(L.height), 24, ImageKind::Jpeg, NewPixels::Unset))
        return failed(PsdResult::BitmapFailed);
    out.SetHorizontalDpi(96);
    out.SetVerticalDpi(96);
    fillRows(out, L, samples.get());
    image.AdoptFrom(out);
    status = StatusCode::Ok;
    return PsdResult::Ok;
}

}  // namespace

int ReadPsd(const std::string& path, RaViru& image) {
    FileStream stream(path.c_str(), "rb");
    if (!stream.isOpen()) return fail(image, PsdResult::CannotOpen);
    return ReadPsd(stream, image);
}

bool SniffPsd(const uint8_t* head, size_t size) {
    return size >= 4 && std::memcmp(head, "8BPS", 4) == 0;
}

Status ReadPsdInfo(ByteStream& stream, int, ImageInfo& info) {
    PsdLayout L;
    const int code = readLayout(stream, L);
    if (code != PsdResult::Ok) return {statusOf(code), describe(code)};
    info.kind = ImageKind::Psd;
    info.width = int(std::min<uint32_t>(L.width, INT32_MAX));
    info.height = int(std::min<uint32_t>(L.height, INT32_MAX));
    info.bitCount = 24;
    info.frameCount = 1;
    info.workBytes = uint64_t(L.width) * L.height * uint64_t(L.depth / 8) * uint64_t(L.planes);
    if (!FitsPixelLimit(L.width, L.height))
        return {StatusCode::TooLarge, "Image is larger than the pixel limit"};
    return {};
}

int ReadPsd(ByteStream& stream, RaViru& image) {
    StatusCode code;
    return readPsd(stream, image, code);
}

Status DecodePsd(ByteStream& stream, RaViru& image) {
    StatusCode code = StatusCode::Ok;
    if (readPsd(stream, image, code) == PsdResult::Ok) return {};
    return {code, image.lastError};
}

namespace {

// The output is filled from the samples by colour mode; each plane is height × width samples.
void fillRows(RaViru& out, const PsdLayout& L, const uint8_t* samples) {
    const uint32_t width = L.width, height = L.height;
    const int depth = L.depth, mode = L.mode, planes = L.planes;
    const size_t sampleBytes = size_t(depth) / 8;
    const size_t planeBytes = size_t(width) * height * sampleBytes;
    const uint8_t* plane[4] = {};
    for (int p = 0; p < planes; ++p) plane[p] = samples + size_t(p) * planeBytes;
    const double scale = depth == 8 ? 256.0 : 65536.0;
    const double maxValue = scale - 1.0;
    const size_t step = sampleBytes;  // 16-bit samples are big-endian: the high byte comes first
    auto value = [&](int p, size_t i) -> unsigned {
        return step == 1 ? plane[p][i] : unsigned(readU16BE(plane[p] + 2 * i));
    };
    // 8-bit CMYK components come from one table over (C or M or Y, K).
    std::vector<uint8_t> cmyk8;
    if (mode == Cmyk && depth == 8) {
        cmyk8.resize(256 * 256);
        for (int k = 0; k < 256; ++k)
            for (int c = 0; c < 256; ++c)
                cmyk8[size_t(k) * 256 + size_t(c)] =
                    cmykComponent(1.0 - c / scale, 1.0 - k / scale);
    }
    uint8_t palette[768] = {};
    if (!L.colourMode.empty()) {
        std::memcpy(palette, L.colourMode.data(), std::min<size_t>(768, L.colourMode.size()));
    }
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* dst = out.Row(int(height - 1 - y));
        const size_t first = size_t(y) * width;
        const uint8_t* p0 = plane[0] + first * step;
        switch (mode) {
            case Greyscale:
            case Duotone:
            case Multichannel:
                for (uint32_t x = 0; x < width; ++x, dst += 3)
                    dst[0] = dst[1] = dst[2] = p0[x * step];
                break;
            case Indexed:
                for (uint32_t x = 0; x < width; ++x, dst += 3) {
                    const uint8_t index = p0[x * step];
                    dst[2] = palette[index];
                    dst[1] = palette[256 + index];
                    dst[0] = palette[512 + index];
                }
                break;
            case Rgb: {
                const uint8_t *p1 = plane[1] + first * step, *p2 = plane[2] + first * step;
                for (uint32_t x = 0; x < width; ++x, dst += 3) {
                    dst[0] = p2[x * step];
                    dst[1] = p1[x * step];
                    dst[2] = p0[x * step];
                }
                break;
            }
            case Cmyk:
                for (uint32_t x = 0; x < width; ++x, dst += 3) {
                    const size_t i = first + x;
                    if (depth == 8) {
                        const uint8_t* row = cmyk8.data() + size_t(plane[3][i]) * 256;
                        dst[2] = row[plane[0][i]];
                        dst[1] = row[plane[1][i]];
                        dst[0] = row[plane[2][i]];
                    } else {
                        const double k = 1.0 - value(3, i) / scale;
                        dst[2] = cmykComponent(1.0 - value(0, i) / scale, k);
                        dst[1] = cmykComponent(1.0 - value(1, i) / scale, k);
                        dst[0] = cmykComponent(1.0 - value(2, i) / scale, k);
                    }
                }
                break;
            case Lab:
                for (uint32_t x = 0; x < width; ++x, dst += 3) {
                    const size_t i = first + x;
                    labToBgr(value(0, i) * 100.0 / maxValue, value(1, i) * 255.0 / maxValue - 128.0,
                             value(2, i) * 255.0 / maxValue - 128.0, dst);
                }
                break;
        }
    }
}

}  // namespace
}  // namespace quillet
