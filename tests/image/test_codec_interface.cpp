// The codec table: every format's sniff, header and decode agree; unknown kinds only decode what
// sniffs right; the pixel limit refuses before decoding; data that ends early reads as far as it
// goes and says so.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstring>
#include <vector>

#include "TestFiles.h"
#include "base/LittleEndian.h"
#include "image/ByteStream.h"
#include "image/RaViru.h"
#include "image/codecs/Codec.h"

using namespace quillet;

namespace {

struct Sample {
    ImageKind kind;
    std::vector<uint8_t> bytes;
    int width, height, bitCount, frames;
};

void paint(RaViru& img) {
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            img.PutPixelColor(x, y, packBgr(uint8_t(x * 3), uint8_t(y * 5), uint8_t(x ^ y)));
}

std::vector<uint8_t> encoded(RaViru& img, ImageKind kind) {
    MemoryStream out;
    EXPECT_TRUE(img.Encode(out, kind)) << img.lastError;
    return out.takeBuffer();
}

// A raw 8-bit greyscale PSD.
std::vector<uint8_t> greyPsd(int w, int h) {
    std::vector<uint8_t> f = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 1};
    auto put32 = [&](uint32_t v) {
        f.insert(f.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    };
    put32(uint32_t(h));
    put32(uint32_t(w));
    f.insert(f.end(), {0, 8, 0, 1});  // depth 8, greyscale
    put32(0);
    put32(0);
    put32(0);
    f.insert(f.end(), {0, 0});  // raw
    for (int i = 0; i < w * h; ++i) f.push_back(uint8_t(i * 7));
    return f;
}

std::vector<Sample> samples() {
    std::vector<Sample> out;
    RaViru colour(37, 21, 24, ImageKind::Bmp);
    paint(colour);
    RaViru grey(19, 11, 8, ImageKind::Gif);
    grey.MakeGreyPalette();
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 19; ++x) grey.Row(y)[x] = uint8_t(x * 13 + y);
    out.push_back({ImageKind::Bmp, encoded(colour, ImageKind::Bmp), 37, 21, 24, 1});
    out.push_back({ImageKind::Jpeg, encoded(colour, ImageKind::Jpeg), 37, 21, 24, 1});
    out.push_back({ImageKind::Jpeg, encoded(grey, ImageKind::Jpeg), 19, 11, 8, 1});
    out.push_back({ImageKind::Gif, encoded(grey, ImageKind::Gif), 19, 11, 8, 1});
    out.push_back({ImageKind::Tiff, encoded(colour, ImageKind::Tiff), 37, 21, 24, 1});
    out.push_back({ImageKind::Tiff, encoded(grey, ImageKind::Tiff), 19, 11, 8, 1});
    std::vector<uint8_t> raw(size_t(6) * 5, 0);
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = uint8_t(i * 9);
    std::vector<uint8_t> palette = {12};
    for (int i = 0; i < 256; ++i) palette.insert(palette.end(), 3, uint8_t(i));
    out.push_back({ImageKind::Pcx, testfiles::pcxFile(6, 5, 8, 1, 6, raw, palette), 6, 5, 8, 1});
    out.push_back({ImageKind::Psd, greyPsd(9, 4), 9, 4, 24, 1});
    return out;
}

// Counts the bytes read, to tell a sniff from a decode attempt.
class CountingStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    size_t Read(void* buffer, size_t size, size_t count) override {
        const size_t n = MemoryStream::Read(buffer, size, count);
        bytesRead += n * size;
        return n;
    }
    int GetByte() override {
        const int c = MemoryStream::GetByte();
        bytesRead += c >= 0;
        return c;
    }
    size_t bytesRead = 0;
};

// A baseline colour JPEG with 2×2 chroma subsampling, written by the library directly.
std::vector<uint8_t> subsampledJpeg(int w, int h) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 85, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(size_t(w) * 3);
    while (c.next_scanline < c.image_height) {
        const int y = int(c.next_scanline);
        for (int x = 0; x < w; ++x) {
            row[3 * size_t(x)] = uint8_t(x * 5 + y);
            row[3 * size_t(x) + 1] = uint8_t(y * 3);
            row[3 * size_t(x) + 2] = uint8_t((x * y) >> 3);
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> out(buffer, buffer + size);
    free(buffer);
    return out;
}

// The plain library's picture of a (possibly cut) file: every scanline decoded, bottom row first.
std::vector<uint8_t> libraryRows(const std::vector<uint8_t>& file, int& w, int& h) {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    err.emit_message = [](j_common_ptr, int) {};
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), file.size());
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&d);
    w = int(d.output_width);
    h = int(d.output_height);
    const size_t stride = (size_t(w) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> rows(stride * size_t(h), 255);
    while (d.output_scanline < d.output_height) {
        JSAMPROW p = rows.data() + stride * size_t(h - 1 - int(d.output_scanline));
        jpeg_read_scanlines(&d, &p, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return rows;
}

}  // namespace

TEST(CodecTable, SniffInfoAndDecodeAgreeForEveryFormat) {
    for (const Sample& s : samples()) {
        const Codec* codec = CodecFor(s.kind);
        ASSERT_NE(codec, nullptr);
        SCOPED_TRACE(codec->name);
        // Exactly the format's own codec recognises the first bytes.
        for (ImageKind k : {ImageKind::Jpeg, ImageKind::Bmp, ImageKind::Gif, ImageKind::Tiff,
                            ImageKind::Pcx, ImageKind::Psd}) {
            EXPECT_EQ(CodecFor(k)->sniff(s.bytes.data(), std::min(s.bytes.size(), kSniffBytes)),
                      k == s.kind)
                << CodecFor(k)->name;
        }
        MemoryStream head(s.bytes.data(), s.bytes.size());
        ImageInfo info;
        ASSERT_TRUE(codec->info(head, 0, info));
        EXPECT_EQ(info.kind, s.kind);
        EXPECT_EQ(info.width, s.width);
        EXPECT_EQ(info.height, s.height);
        EXPECT_EQ(info.bitCount, s.bitCount);
        EXPECT_EQ(info.frameCount, s.frames);

        RaViru img;
        MemoryStream data(s.bytes.data(), s.bytes.size());
        ASSERT_TRUE(img.Decode(data, s.kind)) << img.lastError;
        EXPECT_EQ(img.Width(), info.width);
        EXPECT_EQ(img.Height(), info.height);
        EXPECT_EQ(img.BitCount(), info.bitCount);
        EXPECT_LE(img.TotalSize(), info.PictureBytes());
    }
    EXPECT_EQ(CodecFor(ImageKind::Unknown), nullptr);
    EXPECT_EQ(CodecFor(ImageKind::Vlr), nullptr);
    EXPECT_EQ(CodecFor(ImageKind::Pcx)->encode, nullptr);
}

// An unknown kind reads a file once, with the codec its first bytes name: no decoder before it
// runs over the data.
TEST(CodecTable, UnknownKindDecodesOnlyWhatSniffsRight) {
    for (const Sample& s : samples()) {
        if (s.kind == ImageKind::Psd) continue;  // not among the kinds tried
        CountingStream in(s.bytes.data(), s.bytes.size());
        RaViru img;
        ASSERT_TRUE(img.Decode(in, ImageKind::Unknown)) << CodecFor(s.kind)->name;
        EXPECT_EQ(img.Width(), s.width);
        // A decode reads a small file at most twice (GIF counts its frames first, TIFF visits
        // its directory); a failed attempt of another decoder before it would add a whole file
        // (JPEG and GIF read ahead in blocks of 64 and 16 KiB).
        EXPECT_LE(in.bytesRead, 2 * s.bytes.size() + kSniffBytes) << CodecFor(s.kind)->name;
    }
    // Data nothing recognises fails at once with the chain's message.
    const std::vector<uint8_t> junk(300, 0x55);
    CountingStream in(junk.data(), junk.size());
    RaViru img(2, 2, 24, ImageKind::Jpeg);
    const Status status = img.Decode(in, ImageKind::Unknown);
    EXPECT_EQ(status.code(), StatusCode::UnknownFormat);
    EXPECT_STREQ(img.lastError, "Unknown image format");
    EXPECT_EQ(in.bytesRead, kSniffBytes);
    EXPECT_EQ(img.Width(), 2);
}

TEST(CodecTable, PixelLimitRefusesBeforeAnythingIsDecoded) {
    for (const Sample& s : samples()) {
        SCOPED_TRACE(CodecFor(s.kind)->name);
        const uint64_t pixels = uint64_t(s.width) * uint64_t(s.height);
        RaViru target(3, 3, 8, ImageKind::Gif);
        target.bits[0] = 42;
        target.pixelLimit = pixels - 1;
        MemoryStream in(s.bytes.data(), s.bytes.size());
        const Status refused = target.Decode(in, s.kind);
        EXPECT_EQ(refused.code(), StatusCode::TooLarge) << refused.message();
        EXPECT_EQ(target.Width(), 3);
        EXPECT_EQ(target.bits[0], 42);

        target.pixelLimit = pixels;
        MemoryStream again(s.bytes.data(), s.bytes.size());
        EXPECT_TRUE(target.Decode(again, s.kind)) << target.lastError;
        EXPECT_EQ(target.Width(), s.width);
    }
    EXPECT_TRUE(FitsPixelLimit(0, 5));
    EXPECT_FALSE(FitsPixelLimit(-1, 5));
    EXPECT_FALSE(FitsPixelLimit(1, int64_t(kMaxImagePixels) + 1, UINT64_MAX));
    EXPECT_FALSE(FitsPixelLimit(int64_t(1) << 40, int64_t(1) << 40));  // no overflow
    EXPECT_TRUE(FitsPixelLimit(16384, 16384));
    EXPECT_FALSE(FitsPixelLimit(16384, 16384, 100'000'000));
}

// A cut file reads with the bytes the library gives when it decodes every row, and says it is
// incomplete; the reader stops once the rows have become the plain fill.
TEST(JpegReader, ACutFileReadsAsFarAsItGoesWithTheLibrarysBytes) {
    std::vector<std::vector<uint8_t>> files = {subsampledJpeg(61, 300)};
    RaViru grey(40, 260, 8, ImageKind::Gif);
    grey.MakeGreyPalette();
    for (int y = 0; y < 260; ++y)
        for (int x = 0; x < 40; ++x) grey.Row(y)[x] = uint8_t(x * 6 + y);
    RaViru colour(50, 240, 24, ImageKind::Bmp);
    paint(colour);
    // The program's own files: progressive, no subsampling.
    files.push_back(encoded(grey, ImageKind::Jpeg));
    files.push_back(encoded(colour, ImageKind::Jpeg));
    for (const auto& whole : files) {
        // Cuts after the first scan's header: the library refuses anything shorter.
        size_t firstScan = 2;
        while (firstScan + 1 < whole.size() &&
               !(whole[firstScan] == 0xFF && whole[firstScan + 1] == 0xDA))
            ++firstScan;
        for (const double share : {0.0, 0.3, 0.55, 0.9}) {
            const size_t length = std::max(firstScan + 20, size_t(double(whole.size()) * share));
            const std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(length));
            int w = 0, h = 0;
            const std::vector<uint8_t> expected = libraryRows(cut, w, h);
            RaViru img;
            MemoryStream in(cut.data(), cut.size());
            const Status status = img.Decode(in, ImageKind::Jpeg);
            ASSERT_TRUE(status) << share << ": " << status.message();
            EXPECT_TRUE(status.incomplete()) << share;
            ASSERT_EQ(img.Width(), w);
            if (img.BitCount() == 24) {
                EXPECT_EQ(std::memcmp(img.bits, expected.data(), expected.size()), 0) << share;
            }
        }
        RaViru img;
        MemoryStream in(whole.data(), whole.size());
        const Status status = img.Decode(in, ImageKind::Jpeg);
        EXPECT_TRUE(status);
        EXPECT_FALSE(status.incomplete());
    }
}

TEST(GifReader, DataThatEndsEarlyLeavesTheRestWhiteAndSaysSo) {
    RaViru img(90, 120, 8, ImageKind::Gif);
    for (int i = 0; i < 256; ++i) img.SetPaletteEntry(i, uint8_t(i), uint8_t(i), 0);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 90; ++x) img.Row(y)[x] = uint8_t((x * 37 + y * 11) & 0xFF);
    std::vector<uint8_t> file = encoded(img, ImageKind::Gif);
    file.resize(file.size() * 2 / 3);
    RaViru back;
    MemoryStream in(file.data(), file.size());
    const Status status = back.Decode(in, ImageKind::Gif);
    ASSERT_TRUE(status) << status.message();
    EXPECT_TRUE(status.incomplete());
    EXPECT_EQ(back.Width(), 90);
    // The top rows came from the data; the bottom row is the white fill.
    EXPECT_EQ(std::memcmp(back.Row(119), img.Row(119), 90), 0);
    EXPECT_EQ(back.Row(0)[89], 255);

    const std::vector<uint8_t> full = encoded(img, ImageKind::Gif);
    MemoryStream complete(full.data(), full.size());
    EXPECT_FALSE(back.Decode(complete, ImageKind::Gif).incomplete());
}
