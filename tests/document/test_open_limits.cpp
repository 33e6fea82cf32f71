// Opening pictures that are too large, too large to be sure of, too large for the memory, or cut
// short; saving where the writer must refuse or may be killed halfway.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "base/LittleEndian.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/vlr/VlrReader.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

const char* const kTooLarge = "그림이 너무 커서 열 수 없습니다.";
const char* const kNoMemory = "메모리가 부족하여 그림을 열 수 없습니다.";
const char* const kIncomplete = "파일이 중간에 끝나 그림의 일부만 읽었습니다.";

class OpenLimits : public testsupport::TempDirTest {
protected:
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename());
        return out;
    }
    // A picture in the format its name says (8-bit for GIF).
    std::string picture(const std::string& name, int w, int h) {
        const ImageKind kind = ImageKindOf(FileKindOfPath(name));
        RaViru img(w, h, kind == ImageKind::Gif ? 8 : 24, kind);
        for (int i = 0; i < img.PaletteCount(); ++i) img.SetPaletteEntry(i, uint8_t(i), 0, 9);
        if (img.PaletteCount() == 256) img.SetPaletteEntry(255, 255, 255, 255);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.PutPixelColor(x, y, packBgr(uint8_t(x * 3 + y), uint8_t(y), 9));
        const Status written = img.WriteFile(path(name), kind);
        EXPECT_TRUE(written) << written.message();
        return path(name);
    }

    RecordingUserPort user_;
};

// A run-length BMP of a few bytes that claims 16384 × 16384 pixels.
std::vector<uint8_t> rleBomb() {
    std::vector<uint8_t> f(14 + 40 + 64);
    f[0] = 'B', f[1] = 'M';
    writeU32LE(&f[10], uint32_t(f.size()));
    writeU32LE(&f[14], 40);
    writeI32LE(&f[18], 16384);
    writeI32LE(&f[22], 16384);
    writeU16LE(&f[26], 1);
    writeU16LE(&f[28], 4);
    writeU32LE(&f[30], 2);  // RLE4
    f.push_back(0);         // end of the picture at once
    f.push_back(1);
    writeU32LE(&f[2], uint32_t(f.size()));
    return f;
}

}  // namespace

TEST_F(OpenLimits, APictureAboveTheLimitIsRefusedFromItsHeader) {
    testsupport::writeFile(path("bomb.bmp"), rleBomb());
    CBrevDoc doc(user_);
    OpenOptions options;
    options.askAbovePixels = options.maxPixels = 100'000'000;
    const Status status = OpenDocument(doc, path("bomb.bmp"), options);
    EXPECT_EQ(status.code(), StatusCode::TooLarge);
    EXPECT_NE(status.message().find("16384 x 16384"), std::string::npos) << status.message();
    EXPECT_EQ(user_.texts(), std::vector<std::string>{kTooLarge});
    EXPECT_EQ(doc.Layers().Count(), 0);
    EXPECT_FALSE(doc.Image().HasBlock());
}

TEST_F(OpenLimits, AVeryLargePictureOpensOnlyWhenTheUserAgrees) {
    const std::string file = picture("wide.bmp", 60, 50);
    OpenOptions options;
    options.askAbovePixels = 2999;
    CBrevDoc declined(user_);
    user_.script({Answer::No});
    const Status status = OpenDocument(declined, file, options);
    EXPECT_EQ(status.code(), StatusCode::Cancelled);
    ASSERT_EQ(user_.entries.size(), 1u);
    EXPECT_TRUE(user_.entries[0].question);
    EXPECT_NE(user_.entries[0].text.find("60 × 50"), std::string::npos);
    EXPECT_EQ(declined.Layers().Count(), 0);

    CBrevDoc agreed(user_);
    user_.script({Answer::Yes});
    ASSERT_TRUE(OpenDocument(agreed, file, options));
    EXPECT_EQ(agreed.Layers().header.canvasWidth, 60);
    // At or below the threshold nobody is asked.
    options.askAbovePixels = 3000;
    CBrevDoc quiet(user_);
    user_.entries.clear();
    ASSERT_TRUE(OpenDocument(quiet, file, options));
    EXPECT_TRUE(user_.entries.empty());
}

TEST_F(OpenLimits, APictureThatWouldNotFitInMemoryIsRefusedBeforeDecoding) {
    const std::string file = picture("fits.bmp", 60, 50);
    ImageInfo info;
    RaViru probe;
    ASSERT_TRUE(probe.ReadFileInfo(file, ImageKind::Bmp, info));
    const uint64_t needed = EstimateOpenBytes(info);
    // The picture as the layer's pixels, its alpha, the mask and the working copy.
    EXPECT_GE(needed, 3000u * 9);
    OpenOptions options;
    options.memoryAvailable = needed - 1;
    CBrevDoc doc(user_);
    const Status status = OpenDocument(doc, file, options);
    EXPECT_EQ(status.code(), StatusCode::OutOfMemory);
    EXPECT_EQ(user_.lastText(), kNoMemory);
    EXPECT_EQ(doc.Layers().Count(), 0);
    options.memoryAvailable = needed;
    CBrevDoc enough(user_);
    EXPECT_TRUE(OpenDocument(enough, file, options));

    // A layered document is measured from its entries.
    ASSERT_TRUE(SaveDocument(enough, path("doc.vlr")));
    CBrevDoc layered(user_);
    EXPECT_EQ(VlrReader(layered).Open(path("doc.vlr"), 20000).code(), StatusCode::OutOfMemory);
    EXPECT_EQ(layered.Layers().Count(), 0);
    EXPECT_TRUE(VlrReader(layered).Open(path("doc.vlr"), 1 << 20));
}

TEST_F(OpenLimits, ACutPictureOpensWithAWarning) {
    const std::string file = picture("cut.gif", 80, 70);
    const std::string bytes = testsupport::readText(file);
    std::ofstream(file, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    CBrevDoc doc(user_);
    const Status status = OpenDocument(doc, file);
    ASSERT_TRUE(status) << status.message();
    EXPECT_TRUE(status.incomplete());
    EXPECT_EQ(user_.texts(), std::vector<std::string>{kIncomplete});
    EXPECT_EQ(doc.Layers().header.canvasWidth, 80);
    EXPECT_EQ(doc.Layers().ColorAt(0, 79, 0), 0xFFFFFFu);  // the bottom row: the fill, index 255
}

// An RGBA TIFF with unassociated alpha: the colours stay as stored, the alpha is the layer's.
TEST_F(OpenLimits, TheAlphaOfAnRgbaTiffIsTheLayersAlpha) {
    const std::string file = path("icon.tif");
    TIFF* t = TIFFOpen(file.c_str(), "w");
    ASSERT_NE(t, nullptr);
    const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 3u);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, 2u);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 4);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 2u);
    uint8_t rows[2][12] = {{78, 141, 192, 175, 10, 20, 30, 0, 1, 2, 3, 255},
                           {78, 141, 192, 175, 78, 141, 192, 175, 78, 141, 192, 175}};
    ASSERT_GE(TIFFWriteScanline(t, rows[0], 0, 0), 0);
    ASSERT_GE(TIFFWriteScanline(t, rows[1], 1, 0), 0);
    TIFFClose(t);

    CBrevDoc doc(user_);
    ASSERT_TRUE(OpenDocument(doc, file));
    const LayerTable& l = doc.Layers();
    EXPECT_EQ(l.header.bitsPerPixel, 32);
    EXPECT_EQ(l.ColorAt(0, 0, 1), 0x4E8DC0u);  // top row, first pixel
    EXPECT_EQ(l.AlphaAt(0, 0, 1), 175);
    EXPECT_EQ(l.ColorAt(0, 1, 1), 0x0A141Eu);  // fully transparent, colour kept
    EXPECT_EQ(l.AlphaAt(0, 1, 1), 0);
    EXPECT_EQ(l.AlphaAt(0, 2, 1), 255);
}

// A four-component JPEG opens as a 32-bit picture and saves back as JPEG.
TEST_F(OpenLimits, ACmykJpegSavesBackAsJpeg) {
    const std::string file = path("cmyk.jpg");
    {
        jpeg_compress_struct c;
        jpeg_error_mgr err;
        c.err = jpeg_std_error(&err);
        jpeg_create_compress(&c);
        FILE* f = std::fopen(file.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        jpeg_stdio_dest(&c, f);
        c.image_width = 16;
        c.image_height = 8;
        c.input_components = 4;
        c.in_color_space = JCS_CMYK;
        jpeg_set_defaults(&c);
        jpeg_start_compress(&c, TRUE);
        uint8_t row[16 * 4];
        for (int i = 0; i < 16 * 4; ++i) row[i] = uint8_t(i % 4 == 3 ? 200 : 40 * (i % 4) + 50);
        while (c.next_scanline < c.image_height) {
            JSAMPROW p = row;
            jpeg_write_scanlines(&c, &p, 1);
        }
        jpeg_finish_compress(&c);
        jpeg_destroy_compress(&c);
        std::fclose(f);
    }
    CBrevDoc doc(user_);
    ASSERT_TRUE(OpenDocument(doc, file));
    EXPECT_EQ(doc.Layers().header.bitsPerPixel, 32);
    const Status saved = SaveDocument(doc, path("back.jpg"));
    ASSERT_TRUE(saved) << saved.message();
    RaViru back;
    ASSERT_TRUE(back.ReadFile(path("back.jpg"), ImageKind::Jpeg));
    const uint32_t a = doc.Layers().ColorAt(0, 5, 3), b = back.PixelColorAt(5, 3);
    for (int shift : {0, 8, 16}) EXPECT_NEAR(int(a >> shift & 255), int(b >> shift & 255), 3);
}

TEST_F(OpenLimits, ASaveOverAReadOnlyFileIsRefused) {
    const std::string target = path("keep.bmp");
    std::ofstream(target) << "old";
    chmod(target.c_str(), 0444);
    CBrevDoc doc(user_);
    ASSERT_TRUE(NewDocument(doc, {}));
    doc.SetModified(true);
    const Status saved = SaveDocument(doc, target);
    EXPECT_EQ(saved.code(), StatusCode::PermissionDenied);
    EXPECT_EQ(testsupport::readText(target), "old");
    EXPECT_TRUE(doc.Modified());
    // The document's image object carries neither the export nor the reason.
    EXPECT_FALSE(doc.Image().HasBlock());
    EXPECT_EQ(doc.Image().lastError[0], '\0');
}

// A save killed while it writes (SIGKILL, so nothing is cleaned up) leaves the old file as it
// was and nothing beside it.
TEST_F(OpenLimits, AKilledSaveLeavesNoStrayFile) {
    const std::string target = path("big.jpg");
    std::ofstream(target) << "the old picture";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RecordingUserPort quiet;
        CBrevDoc doc(quiet);
        NewImageRequest r;
        r.width = r.height = 3000;
        if (!NewDocument(doc, r)) _exit(2);
        for (int y = 0; y < 3000; ++y)
            for (int x = 0; x < 3000; x += 7) doc.Layers().PutColor(0, x, y, uint32_t(x * y));
        for (;;) SaveDocument(doc, target);  // until killed
    }
    // Wait until the child holds a file in the folder open, then kill it mid-write.
    const std::string folder = dir_.string() + "/";
    bool writing = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!writing && std::chrono::steady_clock::now() < deadline) {
        std::error_code ec;
        for (const auto& fd :
             fs::directory_iterator("/proc/" + std::to_string(child) + "/fd", ec)) {
            const fs::path link = fs::read_symlink(fd.path(), ec);
            if (!ec && link.string().rfind(folder, 0) == 0) writing = true;
        }
        if (!writing) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(child, SIGKILL);
    int wstatus = 0;
    ASSERT_EQ(waitpid(child, &wstatus, 0), child);
    ASSERT_TRUE(writing) << "the save never opened its file";
    ASSERT_TRUE(WIFSIGNALED(wstatus));
    EXPECT_EQ(names(), std::vector<std::string>{"big.jpg"});
    EXPECT_EQ(testsupport::readText(target), "the old picture");
}
