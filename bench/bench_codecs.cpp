// Decoding and encoding a 4000 × 3000 picture in each format. Decoders read files (from the
// page cache), as the peers in peers_codecs.sh do; encoders write into memory.
// With QUILLET_BENCH_FILES=DIR the test files are left in DIR for peers_codecs.sh.
#include <benchmark/benchmark.h>
#include <tiffio.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/ByteStream.h"
#include "image/RaViru.h"
#include "image/codecs/PsdReader.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

// A photo-like picture: smooth shading with a little grain, so that no coder has it easy.
void paint(RaViru& img) {
    uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* p = img.Row(y);
        for (int x = 0; x < kWidth; ++x, p += 3) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 28) - 8;
            const double s = std::sin(x / 180.0) * std::cos(y / 240.0);
            p[0] = uint8_t(std::clamp(int(120 + 90 * s) + grain, 0, 255));
            p[1] = uint8_t(std::clamp(int(100 + 60 * std::cos((x + y) / 300.0)) + grain, 0, 255));
            p[2] = uint8_t(std::clamp(int(140 - 80 * s) + grain, 0, 255));
        }
    }
}

void save(const std::string& file, const std::vector<uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

// PCX with three 8-bit planes, run-length coded as a PCX writer would.
std::vector<uint8_t> pcxOf(const RaViru& img) {
    std::vector<uint8_t> out(128);
    out[0] = 10, out[1] = 5, out[2] = 1, out[3] = 8;
    out[8] = uint8_t((kWidth - 1) & 255), out[9] = uint8_t((kWidth - 1) >> 8);
    out[10] = uint8_t((kHeight - 1) & 255), out[11] = uint8_t((kHeight - 1) >> 8);
    out[65] = 3, out[66] = uint8_t(kWidth & 255), out[67] = uint8_t(kWidth >> 8);
    std::vector<uint8_t> line(kWidth);
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int plane = 2; plane >= 0; --plane) {
            const uint8_t* row = img.Row(y);
            for (int x = 0; x < kWidth; ++x) line[x] = row[3 * x + plane];
            for (int x = 0; x < kWidth;) {
                int run = 1;
                while (x + run < kWidth && line[x + run] == line[x] && run < 63) ++run;
                if (run > 1 || line[x] > 191) out.push_back(uint8_t(0xC0 | run));
                out.push_back(line[x]);
                x += run;
            }
        }
    }
    return out;
}

void put16(std::vector<uint8_t>& v, unsigned x) {
    v.insert(v.end(), {uint8_t(x >> 8), uint8_t(x)});
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
    v.insert(v.end(), {uint8_t(x >> 24), uint8_t(x >> 16), uint8_t(x >> 8), uint8_t(x)});
}

// PSD, RGB, 8 bits, PackBits rows.
std::vector<uint8_t> psdOf(const RaViru& img) {
    std::vector<uint8_t> f = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0};
    put16(f, 3);
    put32(f, kHeight);
    put32(f, kWidth);
    put16(f, 8);
    put16(f, 3);
    put32(f, 0);
    put32(f, 0);
    put32(f, 0);
    put16(f, 1);
    std::vector<std::vector<uint8_t>> rows;
    std::vector<uint8_t> line(kWidth);
    for (int plane = 2; plane >= 0; --plane) {
        for (int y = kHeight - 1; y >= 0; --y) {
            const uint8_t* row = img.Row(y);
            for (int x = 0; x < kWidth; ++x) line[x] = row[3 * x + plane];
            std::vector<uint8_t> r;
            for (int x = 0; x < kWidth;) {
                int run = 1;
                while (x + run < kWidth && line[x + run] == line[x] && run < 128) ++run;
                if (run > 2) {
                    r.insert(r.end(), {uint8_t(257 - run), line[x]});
                    x += run;
                    continue;
                }
                int lit = 0;  // literals up to the next run of three
                while (x + lit < kWidth && lit < 128 &&
                       !(x + lit + 2 < kWidth && line[x + lit] == line[x + lit + 1] &&
                         line[x + lit] == line[x + lit + 2]))
                    ++lit;
                r.push_back(uint8_t(lit - 1));
                r.insert(r.end(), line.begin() + x, line.begin() + x + lit);
                x += lit;
            }
            rows.push_back(std::move(r));
        }
    }
    for (const auto& r : rows) put16(f, unsigned(r.size()));
    for (const auto& r : rows) f.insert(f.end(), r.begin(), r.end());
    return f;
}

// RGB TIFF with LZW strips of 16 rows, as other programs commonly write them.
void writeLzwTiff(const std::string& file, const RaViru& img) {
    TIFF* t = TIFFOpen(file.c_str(), "w");
    if (!t) return;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 16);
    std::vector<uint8_t> line(size_t(kWidth) * 3);
    for (int y = 0; y < kHeight; ++y) {
        const uint8_t* row = img.Row(kHeight - 1 - y);
        for (int x = 0; x < kWidth; ++x)
            line[3 * x] = row[3 * x + 2], line[3 * x + 1] = row[3 * x + 1],
                     line[3 * x + 2] = row[3 * x];
        TIFFWriteScanline(t, line.data(), uint32_t(y), 0);
    }
    TIFFClose(t);
}

struct Files {
    fs::path dir;
    bool keep = false;
    RaViru picture{kWidth, kHeight, 24, ImageKind::Bmp};
    RaViru grey{kWidth, kHeight, 8, ImageKind::Tiff};

    Files() {
        const char* wanted = std::getenv("QUILLET_BENCH_FILES");
        keep = wanted && *wanted;
        dir = keep ? fs::path(wanted)
                   : fs::temp_directory_path() / ("quillet-bench-" + std::to_string(getpid()));
        fs::create_directories(dir);
        paint(picture);
        picture.jpegQuality = 90;
        for (int i = 0; i < 256; ++i) grey.SetPaletteEntry(i, uint8_t(i), uint8_t(i), uint8_t(i));
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) grey.Row(y)[x] = picture.Row(y)[3 * x + 1];
        picture.WriteFile(path("picture.bmp"), ImageKind::Bmp);
        picture.WriteFile(path("picture.jpg"), ImageKind::Jpeg);
        picture.WriteFile(path("picture.tif"), ImageKind::Tiff);
        grey.WriteFile(path("grey.tif"), ImageKind::Tiff);
        writeLzwTiff(path("lzw.tif"), picture);
        save(path("picture.pcx"), pcxOf(picture));
        save(path("picture.psd"), psdOf(picture));
        // The same pixels as PPM, for cjpeg.
        std::ofstream ppm(path("picture.ppm"), std::ios::binary);
        ppm << "P6\n" << kWidth << " " << kHeight << "\n255\n";
        std::vector<uint8_t> line(size_t(kWidth) * 3);
        for (int y = kHeight - 1; y >= 0; --y) {
            const uint8_t* row = picture.Row(y);
            for (int x = 0; x < kWidth; ++x)
                line[3 * x] = row[3 * x + 2], line[3 * x + 1] = row[3 * x + 1],
                         line[3 * x + 2] = row[3 * x];
            ppm.write(reinterpret_cast<const char*>(line.data()), long(line.size()));
        }
    }
    ~Files() {
        if (!keep) fs::remove_all(dir);
    }
    std::string path(const char* name) const { return (dir / name).string(); }
};

Files& files() {
    static Files f;
    return f;
}

void decode(benchmark::State& state, const char* name, ImageKind kind) {
    const std::string file = files().path(name);
    for (auto _ : state) {
        RaViru img(ImageKind::Unknown);
        if (!img.ReadFile(file, kind)) state.SkipWithError(img.lastError);
        benchmark::DoNotOptimize(img.bits);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kWidth) * kHeight);
}

void encode(benchmark::State& state, RaViru& img, ImageKind kind) {
    for (auto _ : state) {
        MemoryStream out;
        if (!img.Encode(out, kind)) state.SkipWithError(img.lastError);
        benchmark::DoNotOptimize(out.buffer().data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kWidth) * kHeight);
}

}  // namespace

static void BM_DecodeBmp(benchmark::State& s) { decode(s, "picture.bmp", ImageKind::Bmp); }
static void BM_EncodeBmp(benchmark::State& s) { encode(s, files().picture, ImageKind::Bmp); }
static void BM_DecodeJpeg(benchmark::State& s) { decode(s, "picture.jpg", ImageKind::Jpeg); }
static void BM_EncodeJpeg(benchmark::State& s) { encode(s, files().picture, ImageKind::Jpeg); }
static void BM_DecodeTiffJpeg(benchmark::State& s) { decode(s, "picture.tif", ImageKind::Tiff); }
static void BM_EncodeTiffJpeg(benchmark::State& s) { encode(s, files().picture, ImageKind::Tiff); }
static void BM_DecodeTiffLzw(benchmark::State& s) { decode(s, "lzw.tif", ImageKind::Tiff); }
static void BM_DecodeTiffPackBits(benchmark::State& s) { decode(s, "grey.tif", ImageKind::Tiff); }
static void BM_EncodeTiffPackBits(benchmark::State& s) { encode(s, files().grey, ImageKind::Tiff); }
static void BM_DecodePcx(benchmark::State& s) { decode(s, "picture.pcx", ImageKind::Pcx); }
// A file of unknown kind: the codecs whose first bytes do not match are not tried (PCX comes
// last in the order BMP, JPEG, GIF, TIFF, PCX).
static void BM_DecodePcxUnknownKind(benchmark::State& s) {
    decode(s, "picture.pcx", ImageKind::Unknown);
}
static void BM_DecodePsd(benchmark::State& s) {
    const std::string file = files().path("picture.psd");
    for (auto _ : s) {
        RaViru img(ImageKind::Unknown);
        if (ReadPsd(file, img) != PsdResult::Ok) s.SkipWithError(img.lastError);
        benchmark::DoNotOptimize(img.bits);
    }
    s.SetItemsProcessed(s.iterations() * int64_t(kWidth) * kHeight);
}

BENCHMARK(BM_DecodeBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTiffJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeTiffJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTiffLzw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTiffPackBits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeTiffPackBits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePcx)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePcxUnknownKind)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePsd)->Unit(benchmark::kMillisecond);
