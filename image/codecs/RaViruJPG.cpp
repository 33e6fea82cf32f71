#include "image/codecs/RaViruJPG.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "image/ByteStream.h"

namespace quillet {

namespace {
constexpr size_t kBufferBytes = 64 * 1024;

// The library reports errors through error_exit, which must not return: it jumps back into
// the read or write call with the message kept here.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void quietMessage(j_common_ptr) {}

void initErrors(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = quietMessage;
    err.message[0] = '\0';
}

// What a failure of the library means for the caller.
StatusCode codeOf(const ErrorManager& err) {
    switch (err.pub.msg_code) {
        case JERR_NO_SOI:
            return StatusCode::UnknownFormat;
        case JERR_OUT_OF_MEMORY:
            return StatusCode::OutOfMemory;
        default:
            return StatusCode::Corrupt;
    }
}

struct SourceManager {
    jpeg_source_mgr pub;
    ByteStream* stream;
    // Set when the data ran out: the iMCU row the decoder had reached then.
    bool ended = false;
    JDIMENSION endedAtRow = 0;
    JOCTET buffer[kBufferBytes];
};

void initSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    size_t got = src->stream->Read(src->buffer, 1, kBufferBytes);
    if (got == 0) {
        // A cut-off file ends in a fake end marker: the library then finishes with a warning.
        if (!src->ended) {
            src->ended = true;
            src->endedAtRow = cinfo->input_iMCU_row;
        }
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        got = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = got;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count) {
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    if (count <= 0) return;
    if (size_t(count) <= src->pub.bytes_in_buffer) {
        src->pub.next_input_byte += count;
        src->pub.bytes_in_buffer -= size_t(count);
        return;
    }
    count -= long(src->pub.bytes_in_buffer);
    src->pub.bytes_in_buffer = 0;
    if (!src->stream->Seek(count, SEEK_CUR)) src->stream->Seek(0, SEEK_END);
}

void termSource(j_decompress_ptr) {}

struct DestinationManager {
    jpeg_destination_mgr pub;
    ByteStream* stream;
    JOCTET buffer[kBufferBytes];
};

void initDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<DestinationManager*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kBufferBytes;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<DestinationManager*>(cinfo->dest);
    if (dest->stream->Write(dest->buffer, 1, kBufferBytes) != kBufferBytes)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kBufferBytes;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<DestinationManager*>(cinfo->dest);
    const size_t used = kBufferBytes - dest->pub.free_in_buffer;
    if (used && dest->stream->Write(dest->buffer, 1, used) != used) ERREXIT(cinfo, JERR_FILE_WRITE);
    if (!dest->stream->Flush()) ERREXIT(cinfo, JERR_FILE_WRITE);
}

void setUpSource(jpeg_decompress_struct& cinfo, SourceManager& source, ByteStream& stream) {
    source.stream = &stream;
    source.pub.init_source = initSource;
    source.pub.fill_input_buffer = fillInputBuffer;
    source.pub.skip_input_data = skipInputData;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = termSource;
    source.pub.bytes_in_buffer = 0;
    source.pub.next_input_byte = nullptr;
    cinfo.src = &source.pub;
}

// Whether every pixel of the row equals the first.
bool uniformRow(const uint8_t* row, int width, int bytesPerPixel) {
    for (int x = 1; x < width; ++x)
        if (std::memcmp(row, row + size_t(x) * size_t(bytesPerPixel), size_t(bytesPerPixel)) != 0)
            return false;
    return true;
}

// Resolution from the density fields; the grey ramp or the library's colour map.
void takeDensityAndPalette(const jpeg_decompress_struct& cinfo, RaViru& img) {
    if (cinfo.density_unit == 2) {
        img.SetHorizontalDpi(int(cinfo.X_density * 2.54 + 0.5));
        img.SetVerticalDpi(int(cinfo.Y_density * 2.54 + 0.5));
    } else if (cinfo.density_unit == 1) {
        img.SetHorizontalDpi(cinfo.X_density);
        img.SetVerticalDpi(cinfo.Y_density);
    } else if (cinfo.X_density && cinfo.Y_density) {
        img.SetVerticalDpi(int(double(cinfo.Y_density) / cinfo.X_density * img.dpiX));
    }
    if (cinfo.output_components == 1) img.MakeGreyPalette();
    if (cinfo.quantize_colors && cinfo.colormap) {
        for (int i = 0; i < cinfo.actual_number_of_colors && i < img.PaletteCount(); ++i) {
            const int g = cinfo.out_color_components > 1 ? 1 : 0,
                      b = cinfo.out_color_components > 2 ? 2 : 0;
            img.SetPaletteEntry(i, cinfo.colormap[0][i], cinfo.colormap[g][i],
                                cinfo.colormap[b][i]);
        }
    }
}

// Reads the rows, top row of the picture into the last row of the block, several rows per call
// (the library then runs fewer, longer passes). Once the data has run out, a few rows later
// every row comes out the same plain colour: decoding stops there and that row is repeated to the
// bottom. True when it stopped early. Only trivially destructible locals: the library may jump
// out of here to the caller's error exit.
bool readRows(jpeg_decompress_struct& cinfo, const SourceManager& source, RaViru& img) {
    const int width = int(cinfo.output_width), height = int(cinfo.output_height);
    // Only a single-scan file decodes row by row; a multi-scan one has read all its data in
    // start_decompress and its rows still differ.
    const bool canStopEarly = !jpeg_has_multiple_scans(&cinfo);
    const int rowsPerIMCU = cinfo.max_v_samp_factor * cinfo.min_DCT_scaled_size;
    JSAMPROW rows[16];
    while (cinfo.output_scanline < cinfo.output_height) {
        const int first = int(cinfo.output_scanline);
        const int count = std::min(16, height - first);
        for (int i = 0; i < count; ++i) rows[i] = img.Row(height - 1 - first - i);
        const int got = int(jpeg_read_scanlines(&cinfo, rows, JDIMENSION(count)));
        if (!source.ended || !canStopEarly || got == 0) continue;
        // The data's last iMCU row and the one after it (upsampling context) still vary.
        const int64_t plain = (int64_t(source.endedAtRow) + 2) * rowsPerIMCU;
        const int done = int(cinfo.output_scanline);
        if (done < plain || done < 2 || done >= height) continue;
        const uint8_t* last = img.Row(height - done);
        if (!uniformRow(last, width, cinfo.output_components) ||
            std::memcmp(last, img.Row(height - done + 1), img.rowBytes) != 0) {
            continue;
        }
        for (int y = height - done - 1; y >= 0; --y) std::memcpy(img.Row(y), last, img.rowBytes);
        return true;
    }
    return false;
}
}  // namespace

bool RaViruJPG::Sniff(const uint8_t* head, size_t size) {
    return size >= 2 && head[0] == 0xFF && head[1] == 0xD8;
}

// Nothing with a destructor may live between setjmp and the calls that can jump back.
Status RaViruJPG::Info(ByteStream& stream, int, ImageInfo& info) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    auto source = std::make_unique<SourceManager>();
    initErrors(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return {codeOf(err), err.message};
    }
    jpeg_create_decompress(&cinfo);
    setUpSource(cinfo, *source, stream);
    jpeg_read_header(&cinfo, TRUE);
    jpeg_calc_output_dimensions(&cinfo);
    info.kind = ImageKind::Jpeg;
    info.width = int(cinfo.output_width);
    info.height = int(cinfo.output_height);
    info.bitCount = 8 * cinfo.output_components;
    info.frameCount = 1;
    // Progressive and other multi-scan files keep every coefficient until the last scan.
    info.workBytes = 0;
    if (jpeg_has_multiple_scans(&cinfo)) {
        for (int c = 0; c < cinfo.num_components; ++c) {
            const jpeg_component_info& comp = cinfo.comp_info[c];
            info.workBytes +=
                uint64_t(comp.width_in_blocks) * comp.height_in_blocks * DCTSIZE2 * sizeof(JCOEF);
        }
    }
    const bool fits = FitsPixelLimit(cinfo.output_width, cinfo.output_height);
    jpeg_destroy_decompress(&cinfo);
    if (!fits) return {StatusCode::TooLarge, "Image is larger than the pixel limit"};
    return {};
}

// A file that ends early decodes into zero coefficients from that point (see readRows): the
// picture has the very bytes a full decode would give, and is reported incomplete.
Status RaViruJPG::Read(ByteStream& stream) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    auto source = std::make_unique<SourceManager>();
    initErrors(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        Destroy();
        return Fail(codeOf(err), err.message);
    }
    jpeg_create_decompress(&cinfo);
    setUpSource(cinfo, *source, stream);

    jpeg_read_header(&cinfo, TRUE);
    if (!FitsPixelLimit(cinfo.image_width, cinfo.image_height, pixelLimit)) {
        jpeg_destroy_decompress(&cinfo);
        return Fail(StatusCode::TooLarge, "Image is larger than the pixel limit");
    }
    fullWidth_ = int(cinfo.image_width);
    fullHeight_ = int(cinfo.image_height);
    if (fitSize_ > 0) {
        const int longer = std::max(fullWidth_, fullHeight_);
        for (unsigned d : {8u, 4u, 2u})
            if (longer / int(d) >= fitSize_) {
                cinfo.scale_num = 1;
                cinfo.scale_denom = d;
                break;
            }
        // A preview is reduced further anyway: the quicker steps lose nothing it shows.
        cinfo.dct_method = JDCT_IFAST;
        cinfo.do_fancy_upsampling = FALSE;
        cinfo.do_block_smoothing = FALSE;
    }
    // Colour comes out in the block's blue, green, red order straight away.
    if (cinfo.out_color_space == JCS_RGB) cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    const int width = int(cinfo.output_width), height = int(cinfo.output_height);
    const int components = cinfo.output_components;
    if (components != 1 && components != 3 && components != 4) {
        jpeg_destroy_decompress(&cinfo);
        return Fail(StatusCode::Unsupported, "JPEG has an unsupported number of components");
    }
    // readRows writes every row, also of a picture whose data ends early.
    if (!Allocate(width, height, 8 * components, ImageKind::Jpeg, NewPixels::Unset)) {
        jpeg_destroy_decompress(&cinfo);
        return Fail(FitsPixelLimit(width, height) ? StatusCode::OutOfMemory : StatusCode::TooLarge,
                    lastError);
    }
    takeDensityAndPalette(cinfo, *this);
    const bool stoppedEarly = readRows(cinfo, *source, *this);
    if (components == 4 && !cinfo.quantize_colors) {
        for (int y = 0; y < height; ++y) {
            uint8_t* p = Row(y);
            for (int x = 0; x < width; ++x, p += 4) {
                const unsigned c = p[0], m = p[1], yel = p[2], k = p[3];
                p[0] = uint8_t(yel * k / 255);
                p[1] = uint8_t(m * k / 255);
                p[2] = uint8_t(c * k / 255);
                p[3] = 255;
            }
        }
    }
    if (stoppedEarly)
        jpeg_abort_decompress(&cinfo);
    else
        jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (source->ended) return Status::Incomplete("JPEG data ends early: the picture is incomplete");
    return {};
}

// The library part of the writer: only trivially destructible locals live across setjmp.
static bool compress(const RaViru& source, DestinationManager* destination, uint8_t* wide,
                     char* message) {
    const int width = source.Width(), height = source.Height(), depth = source.BitCount();
    const bool indexed = source.PaletteCount() > 0;
    jpeg_compress_struct cinfo;
    ErrorManager err;
    initErrors(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::memcpy(message, err.message, JMSG_LENGTH_MAX);
        return false;
    }
    jpeg_create_compress(&cinfo);
    destination->pub.init_destination = initDestination;
    destination->pub.empty_output_buffer = emptyOutputBuffer;
    destination->pub.term_destination = termDestination;
    cinfo.dest = &destination->pub;

    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    // 32-bit rows carry a fourth byte (alpha) that the library skips.
    cinfo.input_components = indexed ? 1 : depth == 32 ? 4 : 3;
    cinfo.in_color_space = indexed ? JCS_GRAYSCALE : depth == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, source.jpegQuality, TRUE);
    jpeg_simple_progression(&cinfo);
    for (int c = 0; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    cinfo.density_unit = 1;
    cinfo.X_density = UINT16(std::clamp(source.dpiX, 1, 65535));
    cinfo.Y_density = UINT16(std::clamp(source.dpiY, 1, 65535));
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint8_t* dib = source.Row(height - 1 - int(cinfo.next_scanline));
        JSAMPROW row = const_cast<JSAMPROW>(dib);
        if (wide) {
            for (int x = 0; x < width; ++x) {
                wide[x] = depth == 4 ? (dib[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F
                                     : (dib[x >> 3] >> (7 - (x & 7))) & 1;
            }
            row = wide;
        }
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

Status RaViruJPG::Write(ByteStream& stream, const RaViru& source) {
    if (!source.HasBlock()) return Fail(StatusCode::Failed, "There is no image to write");
    const bool indexed = source.PaletteCount() > 0;
    if (indexed && !source.HasGreyPalette())
        return Fail(StatusCode::Unsupported,
                    "JPEG 는 RGB 혹은 그레이스케일 이미지만 저장할 수 있음");
    // Grey-ramp indices are the grey values; 1- and 4-bit rows are widened to bytes first.
    std::vector<uint8_t> wide(indexed && source.BitCount() < 8 ? size_t(source.Width()) : 0);
    auto destination = std::make_unique<DestinationManager>();
    destination->stream = &stream;
    char message[JMSG_LENGTH_MAX];
    if (!compress(source, destination.get(), wide.empty() ? nullptr : wide.data(), message))
        return Fail(StatusCode::IoError, message);
    return {};
}

}  // namespace quillet
