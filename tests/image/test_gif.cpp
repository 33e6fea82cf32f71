#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstring>
#include <random>

#include "image/ByteStream.h"
#include "image/codecs/RaViruGIF.h"
#include "test_gif_util.h"

using namespace quillet;
using namespace giftest;

namespace {

using Table = std::vector<std::array<uint8_t, 3>>;

Table makeTable(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    Table t(n);
    for (auto& c : t) c = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
    return t;
}

std::vector<uint8_t> randomPixels(size_t n, int colours, uint32_t seed, int runs = 1) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> p(n);
    for (size_t i = 0; i < n; ++i)
        p[i] = (i % size_t(runs) == 0 || i == 0) ? uint8_t(rng() % unsigned(colours)) : p[i - 1];
    return p;
}

bool decode(const std::vector<uint8_t>& file, RaViru& out, int frame = 0) {
    MemoryStream s(file.data(), file.size());
    out.frameIndex = frame;
    return out.Decode(s, ImageKind::Gif).ok();
}

void expectPixels(const RaViru& img, const std::vector<uint8_t>& pixels, int w, int h,
                  const char* what) {
    ASSERT_EQ(img.Width(), w) << what;
    ASSERT_EQ(img.Height(), h) << what;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(indexAt(img, x, y), pixels[size_t(y * w + x)])
                << what << " at " << x << "," << y;
        }
    }
}

Frame plainFrame(int w, int h, std::vector<uint8_t> pixels) {
    Frame f;
    f.width = w;
    f.height = h;
    f.pixels = std::move(pixels);
    return f;
}

}  // namespace

TEST(GifDecoder, MatchesTextbookEncoderAcrossTableStates) {
    // Long noisy data fills the 4096-entry table: once with clear codes, once running full.
    struct Case {
        int w, h, colours, runs;
        RefLzwOptions lzw;
    } cases[] = {{300, 200, 256, 1, {}}, {300, 200, 256, 1, {true, false}},
                 {257, 91, 16, 3, {}},   {64, 64, 2, 5, {false, true}},
                 {1000, 40, 4, 200, {}}, {31, 3, 256, 1, {false, false}}};
    uint32_t seed = 7;
    for (const Case& c : cases) {
        const Table table = makeTable(size_t(c.colours), seed);
        const auto pixels = randomPixels(size_t(c.w * c.h), c.colours, ++seed, c.runs);
        Frame f = plainFrame(c.w, c.h, pixels);
        f.lzw = c.lzw;
        RaViru img;
        ASSERT_TRUE(decode(makeGif(c.w, c.h, table, {f}), img)) << img.lastError;
        expectPixels(img, pixels, c.w, c.h, "textbook stream");
    }
}

TEST(GifEncoder, MatchesHashedCoderDecodesWithTextbookDecoderAndRoundTrips) {
    for (int bits : {1, 4, 8}) {
        for (int runs : {1, 7, 5000}) {
            const int w = 203, h = 117;
            RaViru src(w, h, bits, ImageKind::Gif);
            std::mt19937 rng(unsigned(bits * 100 + runs));
            for (int i = 0; i < src.PaletteCount(); ++i) {
                src.SetPaletteEntry(i, uint8_t(rng()), uint8_t(rng()), uint8_t(rng()));
            }
            std::vector<uint8_t> pixels(size_t(w * h));
            int v = 0;
            for (size_t i = 0; i < pixels.size(); ++i) {
                if (i % size_t(runs) == 0) v = int(rng() % (1u << bits));
                pixels[i] = uint8_t(v);
                const int x = int(i) % w, y = int(i) / w;
                const uint32_t c = packBgr(src.PaletteEntry(v));
                // Distinct random palette entries: the nearest entry is the entry itself.
                src.PutPixelColor(x, h - 1 - y, c);
                pixels[i] = uint8_t(indexAt(src, x, y));
            }
            MemoryStream out;
            ASSERT_TRUE(src.Encode(out, ImageKind::Gif)) << src.lastError;
            const auto& file = out.buffer();

            // Header: screen byte and code size as the format's table needs them.
            const uint8_t packed[] = {0, 0x80, 0, 0, 0xE3, 0, 0, 0, 0xE7};
            EXPECT_EQ(file[10], packed[bits]);
            const size_t tableEnd = 13 + 3 * (size_t(1) << bits);
            EXPECT_EQ(file[tableEnd], 0x21);
            EXPECT_EQ(file[tableEnd + 1], 0xF9);
            const size_t codeSizeAt = tableEnd + 8 + 10;
            EXPECT_EQ(file[codeSizeAt], std::max(2, bits));
            std::vector<uint8_t> data;
            size_t at = codeSizeAt + 1;
            while (file[at]) {
                EXPECT_LE(file[at], 254);
                data.insert(data.end(), file.begin() + long(at) + 1,
                            file.begin() + long(at) + 1 + file[at]);
                at += size_t(file[at]) + 1;
            }
            EXPECT_EQ(file[at + 1], ';');
            EXPECT_EQ(refLzwDecode(data, std::max(2, bits)), pixels) << bits << " " << runs;
            // Byte for byte what the 5003-slot hashed coder gives.
            EXPECT_EQ(data, refHashedLzwEncode(pixels, std::max(2, bits))) << bits << " " << runs;

            RaViru back;
            ASSERT_TRUE(decode(file, back)) << back.lastError;
            EXPECT_EQ(back.BitCount(), bits);
            expectPixels(back, pixels, w, h, "round trip");
            for (int i = 0; i < (1 << bits); ++i)
                EXPECT_EQ(back.PaletteEntry(i), src.PaletteEntry(i));
        }
    }
}

TEST(GifEncoder, RefusesTrueColourAndKeepsFields) {
    RaViru rgb(4, 4, 24, ImageKind::Bmp);
    MemoryStream out;
    EXPECT_FALSE(rgb.Encode(out, ImageKind::Gif));
    EXPECT_TRUE(out.buffer().empty());

    RaViruGIF gif;
    gif.Allocate(3, 2, 4, ImageKind::Gif);
    gif.offsetX = 5;
    gif.offsetY = 258;
    gif.transparentIndex = 9;
    gif.frameDelay = 0x1234;
    gif.disposal = 1;
    std::strcpy(gif.comment, "Quillet");
    MemoryStream s;
    ASSERT_TRUE(gif.Write(s));
    const auto& f = s.buffer();
    EXPECT_EQ(std::string(f.begin(), f.begin() + 6), "GIF87a");
    const size_t g = 13 + 48;
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + g, f.begin() + g + 18),
              (std::vector<uint8_t>{0x21, 0xF9, 4, 0x05, 0x34, 0x12, 9, 0, ',', 5, 0, 2, 1, 3, 0, 2,
                                    0, 0}));
    const std::string tail(f.end() - 12, f.end());
    EXPECT_EQ(tail, std::string("\x21\xFE\x07Quillet\0;", 12));

    const uint8_t none[1] = {};
    MemoryStream readOnly(none, 0);  // refuses every write
    EXPECT_FALSE(gif.Write(readOnly));
    EXPECT_STREQ(gif.lastError, "Write Error in GIF file");

    RaViruGIF back;
    MemoryStream in(f.data(), f.size());
    ASSERT_TRUE(back.Read(in));
    EXPECT_STREQ(back.comment, "Quillet");
    EXPECT_EQ(back.transparentIndex, 9);
    EXPECT_EQ(back.frameDelay, 0x1234);
    EXPECT_EQ(back.disposal, 1);
}

TEST(GifReader, InterlacedRowsLandInPlaceForEveryHeight) {
    const Table table = makeTable(6, 3);
    for (int h = 1; h <= 19; ++h) {
        Frame f = plainFrame(5, h, randomPixels(size_t(5 * h), 6, unsigned(h)));
        f.interlaced = true;
        RaViru img;
        ASSERT_TRUE(decode(makeGif(5, h, table, {f}), img)) << h;
        expectPixels(img, f.pixels, 5, h, "interlaced");
    }
}

TEST(GifReader, DepthAndPaletteFollowTheTable) {
    struct Case {
        size_t entries;
        int depth;
    } cases[] = {{2, 1}, {4, 4}, {16, 4}, {32, 8}, {256, 8}};
    for (const Case& c : cases) {
        const Table table = makeTable(c.entries, unsigned(c.entries));
        Frame f = plainFrame(9, 4, randomPixels(36, int(c.entries), 1));
        RaViru img;
        ASSERT_TRUE(decode(makeGif(9, 4, table, {f}), img));
        EXPECT_EQ(img.BitCount(), c.depth);
        EXPECT_EQ(img.kind, ImageKind::Gif);
        EXPECT_EQ(img.transparentIndex, -1);
        for (size_t i = 0; i < c.entries; ++i) {
            EXPECT_EQ(img.PaletteEntry(int(i)),
                      (Rgbquad{table[i][2], table[i][1], table[i][0], 0}));
        }
        expectPixels(img, f.pixels, 9, 4, "depth");
    }
}

TEST(GifReader, TransparentIndexPadsWithWhiteOrWhitensEntry255) {
    Table full = makeTable(256, 11);
    for (auto& c : full) c[0] = 7;  // no entry is white
    Frame f = plainFrame(4, 4, randomPixels(16, 256, 2));
    f.control = true;
    f.transparent = 3;
    RaViru img;
    ASSERT_TRUE(decode(makeGif(4, 4, full, {f}), img));
    EXPECT_EQ(img.transparentIndex, 3);
    EXPECT_EQ(img.PaletteEntry(255), (Rgbquad{255, 255, 255, 0}));
    EXPECT_EQ(img.PaletteEntry(254), (Rgbquad{full[254][2], full[254][1], 7, 0}));

    full[40] = {255, 255, 255};  // a white entry already there: 255 keeps its colour
    ASSERT_TRUE(decode(makeGif(4, 4, full, {f}), img));
    EXPECT_EQ(img.PaletteEntry(255), (Rgbquad{full[255][2], full[255][1], 7, 0}));

    const Table small = makeTable(5, 12);
    f.pixels = randomPixels(16, 5, 3);
    ASSERT_TRUE(decode(makeGif(4, 4, small, {f}), img));
    EXPECT_EQ(img.BitCount(), 4);
    EXPECT_EQ(img.PaletteEntry(4), (Rgbquad{small[4][2], small[4][1], small[4][0], 0}));
    EXPECT_EQ(img.PaletteEntry(5), (Rgbquad{}));  // the file's table holds 8 entries
    for (int i = 8; i < 16; ++i) EXPECT_EQ(img.PaletteEntry(i), (Rgbquad{255, 255, 255, 0}));
    f.control = false;  // without the index the rest of the palette stays black
    ASSERT_TRUE(decode(makeGif(4, 4, small, {f}), img));
    EXPECT_EQ(img.PaletteEntry(9), (Rgbquad{}));
}

TEST(GifReader, FramesCountSelectAndDrawOver) {
    const Table table = makeTable(8, 5);
    Frame base = plainFrame(6, 5, std::vector<uint8_t>(30, 1));
    base.control = true;
    base.transparent = 7;
    Frame patch = plainFrame(3, 2, {2, 7, 3, 4, 5, 7});
    patch.left = 2;
    patch.top = 1;
    patch.control = true;
    patch.disposal = 1;
    patch.transparent = 7;
    Frame spill = plainFrame(4, 3, std::vector<uint8_t>(12, 6));  // runs off the picture
    spill.left = 4;
    spill.top = 3;
    spill.control = true;
    spill.disposal = 1;
    Frame alone = plainFrame(2, 2, {0, 1, 2, 3});
    const auto file = makeGif(6, 5, table, {base, patch, spill, alone});

    RaViru img;
    ASSERT_TRUE(decode(file, img, 0));
    EXPECT_EQ(img.frameCount, 4);
    expectPixels(img, base.pixels, 6, 5, "frame 0");

    std::vector<uint8_t> expect = base.pixels;
    expect[1 * 6 + 2] = 2;
    expect[1 * 6 + 4] = 3;
    expect[2 * 6 + 2] = 4;
    expect[2 * 6 + 3] = 5;
    ASSERT_TRUE(decode(file, img, 1));
    expectPixels(img, expect, 6, 5, "frame 1");
    EXPECT_EQ(img.transparentIndex, 7);

    for (int y = 3; y < 5; ++y)
        for (int x = 4; x < 6; ++x) expect[size_t(y * 6 + x)] = 6;
    ASSERT_TRUE(decode(file, img, 2));
    expectPixels(img, expect, 6, 5, "frame 2");
    EXPECT_EQ(img.transparentIndex, 7);  // the picture drawn over keeps its index

    ASSERT_TRUE(decode(file, img, 3));
    expectPixels(img, alone.pixels, 2, 2, "frame 3");
    EXPECT_EQ(img.transparentIndex, -1);

    img.frameIndex = 4;  // one past the last: fails, the picture stays
    MemoryStream s(file.data(), file.size());
    EXPECT_FALSE(img.Decode(s, ImageKind::Gif));
    EXPECT_EQ(img.Width(), 2);
    img.frameIndex = -1;
    MemoryStream s2(file.data(), file.size());
    EXPECT_FALSE(img.Decode(s2, ImageKind::Gif));
}

TEST(GifReader, ExtensionsCommentLoopAndForeignApplicationData) {
    std::vector<uint8_t> netscape = {0x21, 0xFF, 11,  'N', 'E', 'T', 'S',  'C',  'A', 'P',
                                     'E',  '2',  '.', '0', 3,   1,   0x34, 0x02, 0};
    std::vector<uint8_t> xmp = {0x21, 0xFF, 11, 'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X',
                                'M',  'P',  5,  1,   2,   3,   4,   5,   2,   9,   9,   0};
    std::vector<uint8_t> emptyComment = {0x21, 0xFE, 0};
    std::vector<uint8_t> comment = {0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0};
    std::vector<uint8_t> plainText = {0x21, 0x01, 12, 0, 0, 0, 0,   0,   0, 0,
                                      0,    0,    0,  0, 0, 2, 'h', 'i', 0};
    Frame f = plainFrame(3, 3, randomPixels(9, 4, 1));
    const auto file =
        makeGif(3, 3, makeTable(4, 1), {f}, {xmp, emptyComment, netscape, plainText, comment});
    RaViruGIF gif;
    MemoryStream s(file.data(), file.size());
    ASSERT_TRUE(gif.Read(s)) << gif.lastError;
    EXPECT_EQ(gif.loopCount, 0x234);
    EXPECT_STREQ(gif.comment, "abc");
    EXPECT_EQ(gif.frameCount, 1);
    expectPixels(gif, f.pixels, 3, 3, "after extensions");
    EXPECT_EQ(s.Tell(), int64_t(file.size()) - 1);  // left just past the image, before ";"
}

TEST(GifReader, BadInputFailsCleanly) {
    const Table table = makeTable(16, 9);
    Frame f = plainFrame(20, 10, randomPixels(200, 16, 4));
    f.interlaced = true;
    const auto good = makeGif(20, 10, table, {f, f});

    RaViru img(2, 2, 8, ImageKind::Bmp);
    auto check = [&](const std::vector<uint8_t>& file, bool ok, const char* what) {
        MemoryStream s(file.data(), file.size());
        img.frameIndex = 0;
        const int before = img.Width();
        EXPECT_EQ(img.Decode(s, ImageKind::Gif).ok(), ok) << what;
        if (!ok) {
            EXPECT_EQ(img.Width(), before) << what;  // untouched
        }
    };
    // Every truncation either fails or yields a picture; none reads past the end.
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + long(n));
        MemoryStream s(cut.data(), cut.size());
        RaViru any;
        any.Decode(s, ImageKind::Gif);
    }
    check({'G', 'I', 'F'}, false, "short header");
    check({'P', 'N', 'G', '8', 0, 0, 0, 0, 0, 0, 0, 0, 0}, false, "not a gif");
    EXPECT_STREQ(img.lastError, "Not a GIF file");

    for (int codeSize : {1, 10, 12}) {
        Frame bad = f;
        bad.minCodeSize = codeSize;
        check(makeGif(20, 10, table, {bad}), false, "code size");
        EXPECT_STREQ(img.lastError, "Bad GIF code size");
    }
    Frame empty = plainFrame(0, 4, {});
    check(makeGif(20, 10, table, {empty}), false, "zero width");
    check(makeGif(20, 10, table, {}), false, "no image");

    // A frame claiming far more than its data holds is white past the data.
    auto big = makeGif(20, 10, table, {f});
    big[13 + 48 + 6] = 0x10;  // width 0x1014
    check(big, true, "larger than its data");
    EXPECT_EQ(img.Width(), 0x1014);
    EXPECT_EQ(indexAt(img, 0x1013, 9), 15u);

    auto oversized = makeGif(20, 10, table, {f});
    for (int i : {5, 6, 7, 8}) oversized[size_t(13 + 48 + i)] = 0xFF;  // 65535 × 65535
    check(oversized, false, "pixel limit");
    EXPECT_STREQ(img.lastError, "GIF image is larger than the pixel limit");

    // Thousands of tiny frames drawn over each other: quick, no hang.
    Frame tiny = plainFrame(1, 1, {3});
    tiny.control = true;
    tiny.disposal = 1;
    std::vector<Frame> many(5000, tiny);
    many[0] = plainFrame(20, 10, std::vector<uint8_t>(200, 1));
    const auto manyFile = makeGif(20, 10, table, many);
    const auto t0 = std::chrono::steady_clock::now();
    MemoryStream s(manyFile.data(), manyFile.size());
    img.frameIndex = 4999;
    ASSERT_TRUE(img.Decode(s, ImageKind::Gif));
    EXPECT_EQ(img.frameCount, 5000);
    EXPECT_EQ(indexAt(img, 0, 0), 3u);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
}

TEST(GifReader, UnknownKindFindsGif) {
    Frame f = plainFrame(7, 5, randomPixels(35, 4, 8));
    const auto file = makeGif(7, 5, makeTable(4, 2), {f});
    MemoryStream s(file.data(), file.size());
    RaViru img;
    ASSERT_TRUE(img.Decode(s, ImageKind::Unknown)) << img.lastError;
    EXPECT_EQ(img.kind, ImageKind::Gif);
    expectPixels(img, f.pixels, 7, 5, "unknown kind");
}

TEST(GifEncoder, DispatchWritesFromTheSourceInPlace) {
    RaViru src(37, 11, 8, ImageKind::Bmp);
    for (int i = 0; i < 256; ++i)
        src.SetPaletteEntry(i, uint8_t(i), uint8_t(255 - i), uint8_t(i * 7));
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 37; ++x) src.Row(y)[x] = uint8_t((x * y + x / 3) & 255);
    src.offsetX = 3;
    src.transparentIndex = 17;
    src.frameDelay = 40;
    const uint8_t* before = src.bits;
    MemoryStream dispatched;
    ASSERT_TRUE(src.Encode(dispatched, ImageKind::Gif)) << src.lastError;
    EXPECT_EQ(src.bits, before);

    // The same picture written by a GIF object from its own copy gives the same bytes.
    RaViruGIF own;
    own.CloneFrom(src, true);
    MemoryStream direct;
    ASSERT_TRUE(own.Write(direct));
    EXPECT_EQ(dispatched.buffer(), direct.buffer());

    // Written from another picture, the writer's own extension settings apply.
    own.disposal = 2;
    MemoryStream fromSource;
    ASSERT_TRUE(own.Write(fromSource, src));
    ASSERT_EQ(fromSource.buffer().size(), direct.buffer().size());
    EXPECT_EQ(fromSource.buffer()[13 + 768 + 3], 0x09);  // disposal 2, transparent index given
}
