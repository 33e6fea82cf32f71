// Tiny files that claim huge pictures, and files cut short, through the real program in a child
// process whose peak memory is read back with getrusage: with the default limit each is refused
// or read within 300 MB.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>

#include "CliTestSupport.h"
#include "base/LittleEndian.h"
#include "image/ByteStream.h"
#include "image/RaViru.h"

using namespace quillet;
using namespace quillet::clitest;

namespace {

#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer's shadow memory and its quarantine of freed blocks come on top of what the
// program itself holds.
constexpr long kCeilingKiB = 2 * 300 * 1024;
#else
constexpr long kCeilingKiB = 300 * 1024;
#endif

struct Outcome {
    int code = -1;
    long maxRssKiB = 0;
    double cpuSeconds = 0;
    std::string err;
};

// Runs the program with `args`; its standard error goes to a file read back afterwards.
Outcome runProgram(const std::vector<std::string>& args, const std::string& errFile) {
    Outcome o;
    std::cout.flush();  // or the child writes what is buffered a second time
    const pid_t child = fork();
    if (child == 0) {
        if (!std::freopen(errFile.c_str(), "w", stderr) || !std::freopen("/dev/null", "w", stdout))
            _exit(120);
        std::vector<char*> argv;
        static char program[] = QUILLET_CLI;
        argv.push_back(program);
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(QUILLET_CLI, argv.data());
        _exit(121);
    }
    int status = 0;
    struct rusage ru {};
    if (child < 0 || wait4(child, &status, 0, &ru) != child) return o;
    o.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    o.maxRssKiB = ru.ru_maxrss;
    o.cpuSeconds = double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
                   double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    std::ifstream in(errFile);
    o.err.assign(std::istreambuf_iterator<char>(in), {});
    return o;
}

void save(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void put16(std::vector<uint8_t>& v, unsigned x) {
    v.insert(v.end(), {uint8_t(x), uint8_t(x >> 8)});
}

// GIF header and one image descriptor of w × h with a 4-colour global table.
std::vector<uint8_t> gifHead(int w, int h, bool table) {
    std::vector<uint8_t> f = {'G', 'I', 'F', '8', '9', 'a'};
    put16(f, unsigned(w));
    put16(f, unsigned(h));
    f.insert(f.end(), {uint8_t(table ? 0x81 : 0), 0, 0});
    if (table) f.insert(f.end(), {0, 0, 0, 255, 255, 255, 9, 9, 9, 200, 0, 0});
    f.push_back(',');
    put16(f, 0);
    put16(f, 0);
    put16(f, unsigned(w));
    put16(f, unsigned(h));
    f.push_back(0);
    return f;
}

// A few dozen bytes: an image of 16384 × 16384 whose data is a clear code and nothing else.
std::vector<uint8_t> tinyGif() {
    std::vector<uint8_t> f = gifHead(16384, 16384, false);
    f.insert(f.end(), {2, 1, 0x04, 0, ';'});
    return f;
}

// Real LZW data for 16384 × 16384 pixels of one colour: strings of 1, 2, 3, ... pixels, each a
// new code, with a clear code whenever the table is full. About 200 KB.
std::vector<uint8_t> lzwBomb() {
    std::vector<uint8_t> f = gifHead(16384, 16384, true);
    f.push_back(2);  // minimum code size
    std::vector<uint8_t> data;
    uint64_t acc = 0;
    int bits = 0, width = 3, next = 6;
    auto emit = [&](int code) {
        acc |= uint64_t(code) << bits;
        bits += width;
        while (bits >= 8) {
            data.push_back(uint8_t(acc));
            acc >>= 8;
            bits -= 8;
        }
    };
    uint64_t left = uint64_t(16384) * 16384;
    emit(4);  // clear
    uint64_t length = 1;
    while (left > 0) {
        const uint64_t take = std::min(length, left);
        emit(length == 1 ? 0 : int(next - 1));  // the string of `length` zeros
        left -= take;
        if (next < 4096) {
            ++next;  // the decoder defines the next string after each code
            if (next > (1 << width) && width < 12) ++width;
            ++length;
        } else {
            emit(4);
            width = 3;
            next = 6;
            length = 1;
        }
    }
    emit(5);
    if (bits) data.push_back(uint8_t(acc));
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        f.push_back(uint8_t(n));
        f.insert(f.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
    f.insert(f.end(), {0, ';'});
    return f;
}

// About a hundred bytes of RLE4 that claim 16384 × 16384 pixels.
std::vector<uint8_t> rleBmp() {
    std::vector<uint8_t> f(14 + 40 + 64);
    f[0] = 'B', f[1] = 'M';
    writeU32LE(&f[10], uint32_t(f.size()));
    writeU32LE(&f[14], 40);
    writeI32LE(&f[18], 16384);
    writeI32LE(&f[22], 16384);
    writeU16LE(&f[26], 1);
    writeU16LE(&f[28], 4);
    writeU32LE(&f[30], 2);
    f.insert(f.end(), {255, 0x11, 0, 0, 255, 0x22, 0, 1});
    writeU32LE(&f[2], uint32_t(f.size()));
    return f;
}

// 16384 × 16384 of zeros in deflate strips: a few hundred kilobytes.
void deflateTiff(const std::string& path) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (!t) return;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 16384u);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, 16384u);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 512u);
    const std::vector<uint8_t> strip(size_t(16384) * 512, 0);
    for (uint32_t s = 0; s < 32; ++s)
        TIFFWriteEncodedStrip(t, s, const_cast<uint8_t*>(strip.data()), tmsize_t(strip.size()));
    TIFFClose(t);
}

// 16384 × 16384 at 8 bits in runs of 63: 8.5 MB that decode to 268 MB.
std::vector<uint8_t> pcxBomb() {
    std::vector<uint8_t> f(128);
    f[0] = 10, f[1] = 5, f[2] = 1, f[3] = 8;
    writeU16LE(&f[8], 16383);
    writeU16LE(&f[10], 16383);
    f[65] = 1;
    writeU16LE(&f[66], 16384);
    const uint64_t runs = (uint64_t(16384) * 16384 + 62) / 63;
    f.reserve(f.size() + runs * 2 + 769);
    for (uint64_t i = 0; i < runs; ++i) f.insert(f.end(), {0xFF, 7});
    f.push_back(12);
    f.resize(f.size() + 768, 50);
    return f;
}

// A greyscale PSD of 16384 × 16384 in PackBits runs of 128: 4 MB.
std::vector<uint8_t> psdBomb() {
    std::vector<uint8_t> f = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 1};
    auto put32 = [&](uint32_t v) {
        f.insert(f.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    };
    put32(16384);
    put32(16384);
    f.insert(f.end(), {0, 8, 0, 1});
    put32(0);
    put32(0);
    put32(0);
    f.insert(f.end(), {0, 1});
    for (int y = 0; y < 16384; ++y) f.insert(f.end(), {1, 0});  // 256 bytes a row
    for (int y = 0; y < 16384; ++y)
        for (int r = 0; r < 128; ++r) f.insert(f.end(), {0x81, 90});
    return f;
}

// A baseline JPEG of w × h written by the library; rows of smooth shading.
std::vector<uint8_t> jpegOf(int w, int h, int components) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = components;
    c.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    c.optimize_coding = TRUE;  // short tables: the scan starts early in the file
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(size_t(w) * size_t(components));
    while (c.next_scanline < c.image_height) {
        for (size_t i = 0; i < row.size(); ++i) row[i] = uint8_t(i / 7 + c.next_scanline / 5);
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> out(buffer, buffer + size);
    free(buffer);
    return out;
}

// 314 bytes of a JPEG whose frame header claims 16000 × 16000; the scan has begun.
std::vector<uint8_t> cutHugeJpeg() {
    std::vector<uint8_t> f = jpegOf(64, 64, 1);
    for (size_t i = 2; i + 1 < f.size(); ++i) {
        if (f[i] == 0xFF && f[i + 1] == 0xDA) {
            EXPECT_LT(i + 20, 314u) << "no scan in the cut";
        }
    }
    for (size_t i = 2; i + 8 < f.size(); ++i) {
        if (f[i] == 0xFF && f[i + 1] == 0xC0) {
            f[i + 5] = 16000 >> 8, f[i + 6] = 16000 & 255;  // height
            f[i + 7] = 16000 >> 8, f[i + 8] = 16000 & 255;  // width
            break;
        }
    }
    f.resize(314);
    return f;
}

class Hostile : public TempDirTest {};

}  // namespace

TEST_F(Hostile, TinyFilesThatClaimHugePicturesAreRefusedWithinTheCeiling) {
    struct Case {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {{"tiny.gif", tinyGif()}, {"lzw-bomb.gif", lzwBomb()},
                               {"rle.bmp", rleBmp()},   {"runs.pcx", pcxBomb()},
                               {"runs.psd", psdBomb()}, {"cut-16000.jpg", cutHugeJpeg()}};
    for (const Case& c : cases) save(path(c.name), c.bytes);
    deflateTiff(path("deflate.tif"));
    cases.push_back({"deflate.tif", {}});
    std::cout << "file, bytes, exit, peak memory, CPU:\n";
    for (const Case& c : cases) {
        const Outcome o = runProgram({"convert", path(c.name), path("out.bmp")}, path("err.txt"));
        std::cout << "  " << c.name << ", " << fs::file_size(path(c.name)) << ", " << o.code << ", "
                  << o.maxRssKiB / 1024 << " MB, " << o.cpuSeconds << " s\n";
        EXPECT_EQ(o.code, 1) << c.name << ": " << o.err;
        EXPECT_NE(o.err.find("(too-large)"), std::string::npos) << c.name << ": " << o.err;
        EXPECT_LE(o.maxRssKiB, kCeilingKiB) << c.name;
        EXPECT_FALSE(fs::exists(path("out.bmp")));
    }
}

TEST_F(Hostile, FilesCutShortAreReadWithAWarningWithinTheCeiling) {
    const std::vector<uint8_t> jpeg = jpegOf(3000, 3000, 3);
    save(path("cut.jpg"), std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 5)));
    RaViru picture(3000, 3000, 8, ImageKind::Gif);
    for (int i = 0; i < 256; ++i) picture.SetPaletteEntry(i, uint8_t(i), uint8_t(255 - i), 90);
    for (int y = 0; y < 3000; ++y)
        for (int x = 0; x < 3000; ++x) picture.Row(y)[x] = uint8_t((x / 9 + y / 13) & 255);
    MemoryStream gif;
    ASSERT_TRUE(picture.Encode(gif, ImageKind::Gif));
    save(path("cut.gif"),
         std::vector<uint8_t>(gif.buffer().begin(),
                              gif.buffer().begin() + long(gif.buffer().size() / 4)));
    for (const std::string name : {"cut.jpg", "cut.gif"}) {
        const Outcome o = runProgram({"convert", path(name), path("out.bmp")}, path("err.txt"));
        std::cout << "  " << name << ": exit " << o.code << ", " << o.maxRssKiB / 1024 << " MB, "
                  << o.cpuSeconds << " s\n";
        EXPECT_EQ(o.code, 0) << name << ": " << o.err;
        EXPECT_NE(o.err.find("warning: "), std::string::npos) << name << ": " << o.err;
        EXPECT_NE(o.err.find("(incomplete)"), std::string::npos) << name << ": " << o.err;
        EXPECT_LE(o.maxRssKiB, kCeilingKiB) << name;
        EXPECT_TRUE(fs::exists(path("out.bmp")));
        fs::remove(path("out.bmp"));
    }
}

TEST_F(Hostile, MaxPixelsSetsTheLimit) {
    RaViru img(40, 30, 24, ImageKind::Bmp);
    ASSERT_TRUE(img.WriteFile(path("a.bmp"), ImageKind::Bmp));
    RunResult r = run({"convert", path("a.bmp"), path("b.bmp"), "--max-pixels", "1199"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("more than the 1199 pixels allowed"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(path("b.bmp")));
    EXPECT_EQ(run({"convert", path("a.bmp"), path("b.bmp"), "--max-pixels", "1200"}).code, 0);
    r = run({"info", path("a.bmp"), "--max-pixels", "1199"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("(too-large)"), std::string::npos) << r.err;
    EXPECT_EQ(run({"info", path("a.bmp"), "--max-pixels", "1200"}).out, "40x30 24 1\n");
    for (const std::string bad : {"0", "-5", "x", "268435457"}) {
        EXPECT_EQ(run({"convert", path("a.bmp"), path("b.bmp"), "--max-pixels", bad}).code, 2);
        EXPECT_EQ(run({"info", path("a.bmp"), "--max-pixels", bad}).code, 2);
    }
}
