#include "services/ScanPage.h"

#include <algorithm>
#include <cstring>

namespace quillet {

namespace {

// A description that asks for far more bytes per line than its pixels need is refused, so a
// broken driver cannot make the page allocate without bound.
constexpr uint64_t kLineSlack = 4096;

uint64_t NeededLineBytes(int pixels, int depth, int samples) {
    return (uint64_t(pixels) * uint64_t(depth) * uint64_t(samples) + 7) / 8;
}

inline uint8_t Sample16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);  // samples come in the machine's own byte order
    return uint8_t(v >> 8);
}

inline bool Bit(const uint8_t* row, size_t index) {
    return (row[index >> 3] >> (7 - (index & 7))) & 1;
}

}  // namespace

bool ScanPage::Fail(std::string text) {
    error_ = std::move(text);
    return false;
}

bool ScanPage::BeginFrame(const ScanFrameParameters& p) {
    if (p.format < 0 || p.format > int(ScanFrameFormat::Blue))
        return Fail("The scanner sends a picture format this program does not read");
    const auto format = ScanFrameFormat(p.format);
    const bool single = format != ScanFrameFormat::Gray && format != ScanFrameFormat::Rgb;
    if (p.depth != 1 && p.depth != 8 && p.depth != 16)
        return Fail("The scanner sends " + std::to_string(p.depth) + "-bit samples");
    if (p.pixelsPerLine < 1 || p.lines < -1 || p.lines == 0)
        return Fail("The scanner announces a page without pixels");
    const int samples = format == ScanFrameFormat::Rgb ? 3 : 1;
    const uint64_t needed = NeededLineBytes(p.pixelsPerLine, p.depth, samples);
    if (p.bytesPerLine < 0 || uint64_t(p.bytesPerLine) < needed ||
        uint64_t(p.bytesPerLine) > needed * 2 + kLineSlack)
        return Fail("The scanner announces lines that do not fit their pixels");
    const uint64_t pixels = uint64_t(p.pixelsPerLine) * uint64_t(std::max(p.lines, 1));
    if (pixels > kMaxImagePixels) return Fail("Image is larger than the pixel limit");

    if (framesBegun_ == 0) {
        threePass_ = single;
        width_ = p.pixelsPerLine;
        channels_ = format == ScanFrameFormat::Gray ? 1 : 3;
        outStride_ = size_t(width_) * size_t(channels_);
        maxRows_ = p.lines > 0 ? p.lines : int(kMaxImagePixels / uint64_t(width_));
        expected_ =
            p.lines > 0 ? uint64_t(p.bytesPerLine) * uint64_t(p.lines) * (single ? 3 : 1) : 0;
        if (p.lines > 0) rows_.reserve(outStride_ * size_t(p.lines));
    } else if (!threePass_ || !single || p.pixelsPerLine != width_ ||
               (p.lines > 0 && p.lines != maxRows_) || framesBegun_ >= 3) {
        return Fail("The scanner's frames do not make one page");
    }
    frame_ = p;
    channel_ = format == ScanFrameFormat::Red ? 2 : format == ScanFrameFormat::Green ? 1 : 0;
    partial_.assign(size_t(p.bytesPerLine), 0);
    partialFill_ = 0;
    row_ = 0;
    ++framesBegun_;
    return true;
}

void ScanPage::ConvertRow(const uint8_t* src) {
    const size_t at = size_t(row_) * outStride_;
    if (rows_.size() < at + outStride_) {
        if (framesBegun_ > 1) return;  // a later colour frame longer than the first
        rows_.resize(at + outStride_);
    }
    uint8_t* dst = rows_.data() + at;
    const int w = width_, depth = frame_.depth;
    switch (ScanFrameFormat(frame_.format)) {
        case ScanFrameFormat::Gray:
            if (depth == 8) {
                std::memcpy(dst, src, size_t(w));
            } else if (depth == 16) {
                for (int x = 0; x < w; ++x) dst[x] = Sample16(src + 2 * x);
            } else {  // line art: a set bit is black
                for (int x = 0; x < w; ++x) dst[x] = Bit(src, size_t(x)) ? 0 : 255;
            }
            break;
        case ScanFrameFormat::Rgb:
            if (depth == 8) {
                for (int x = 0; x < w; ++x, src += 3, dst += 3) {
                    dst[0] = src[2];
                    dst[1] = src[1];
                    dst[2] = src[0];
                }
            } else if (depth == 16) {
                for (int x = 0; x < w; ++x, src += 6, dst += 3) {
                    dst[0] = Sample16(src + 4);
                    dst[1] = Sample16(src + 2);
                    dst[2] = Sample16(src);
                }
            } else {
                for (int x = 0; x < w; ++x, dst += 3) {
                    const size_t i = size_t(x) * 3;
                    dst[0] = Bit(src, i + 2) ? 255 : 0;
                    dst[1] = Bit(src, i + 1) ? 255 : 0;
                    dst[2] = Bit(src, i) ? 255 : 0;
                }
            }
            break;
        default: {  // one colour of a page sent as three frames
            dst += channel_;
            if (depth == 8)
                for (int x = 0; x < w; ++x, dst += 3) *dst = src[x];
            else if (depth == 16)
                for (int x = 0; x < w; ++x, dst += 3) *dst = Sample16(src + 2 * x);
            else
                for (int x = 0; x < w; ++x, dst += 3) *dst = Bit(src, size_t(x)) ? 255 : 0;
        }
    }
}

bool ScanPage::Add(const uint8_t* data, size_t size) {
    if (framesBegun_ == 0 || !data) return size == 0;
    received_ += size;
    const size_t line = size_t(frame_.bytesPerLine);
    while (size > 0) {
        if (row_ >= maxRows_) return true;  // past the announced page: dropped
        if (partialFill_ == 0 && size >= line) {
            ConvertRow(data);
            ++row_;
            data += line;
            size -= line;
            continue;
        }
        const size_t take = std::min(size, line - partialFill_);
        std::memcpy(partial_.data() + partialFill_, data, take);
        partialFill_ += take;
        data += take;
        size -= take;
        if (partialFill_ == line) {
            ConvertRow(partial_.data());
            ++row_;
            partialFill_ = 0;
        }
    }
    return true;
}

void ScanPage::EndFrame() {
    if (framesBegun_ == 0) return;
    rowsComplete_ = framesBegun_ == 1 ? row_ : std::min(rowsComplete_, row_);
    partialFill_ = 0;
}

bool ScanPage::Finish(RaViru& out, int dpiX, int dpiY) {
    if (framesBegun_ == 0) return Fail(error_.empty() ? "No page was scanned" : error_);
    const int rows = std::min<int>(rowsComplete_, int(rows_.size() / outStride_));
    if (rows < 1) return Fail("The scanner sent no complete line");
    RaViru picture(ImageKind::Bmp);
    if (!picture.Allocate(width_, rows, channels_ == 1 ? 8 : 24, ImageKind::Bmp))
        return Fail(picture.lastError);
    if (channels_ == 1) picture.MakeGreyPalette();
    for (int r = 0; r < rows; ++r)
        std::memcpy(picture.Row(rows - 1 - r), rows_.data() + size_t(r) * outStride_, outStride_);
    if (dpiX > 0) picture.SetHorizontalDpi(dpiX);
    if (dpiY > 0) picture.SetVerticalDpi(dpiY);
    out.AdoptFrom(picture);
    return true;
}

}  // namespace quillet
