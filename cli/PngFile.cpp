#include "cli/PngFile.h"

#include <png.h>

#include <csetjmp>
#include <vector>

#include "base/AtomicFileWriter.h"
#include "cli/Thumbnail.h"

namespace quillet::cli {

namespace {

// libpng reports errors through a callback that must not return: the message is kept and
// control goes back to the setjmp point in writeRows.
void onError(png_structp png, png_const_charp message) {
    *static_cast<std::string*>(png_get_error_ptr(png)) = message;
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Everything between png_create_write_struct and its destruction lives here, so that no C++
// object with a destructor is skipped by the long jump.
bool writeRows(FILE* file, const Picture32& picture, png_bytepp rows, bool alpha,
               std::string& error) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, onError, onWarning);
    if (!png) {
        error = "libpng could not start";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        if (error.empty()) error = "libpng could not start";
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);                                      // rows hold blue first
    if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);  // and a fourth byte to drop
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePng(const std::string& path, const Picture32& picture, std::string& error) {
    if (picture.width < 1 || picture.height < 1 ||
        picture.bgra.size() < size_t(picture.width) * size_t(picture.height) * 4) {
        error = "no picture to write";
        return false;
    }
    bool alpha = false;
    for (size_t i = 3; i < picture.bgra.size() && !alpha; i += 4) alpha = picture.bgra[i] != 255;

    std::vector<png_bytep> rows(size_t(picture.height));
    for (int y = 0; y < picture.height; ++y)
        rows[size_t(y)] =
            const_cast<png_bytep>(picture.bgra.data()) + size_t(y) * size_t(picture.width) * 4;

    AtomicFileWriter writer(path);
    if (Status opened = writer.open(); !opened) {
        error = opened.message();
        return false;
    }
    if (!writeRows(writer.file(), picture, rows.data(), alpha, error)) {
        writer.discard();
        return false;
    }
    if (Status committed = writer.commit(); !committed) {
        error = committed.message();
        return false;
    }
    return true;
}

}  // namespace quillet::cli
