#include "movie/ShowPictures.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/compositor/Compositor.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"

namespace quillet {

namespace {
uint8_t OverWhite(uint8_t c, uint8_t a) { return uint8_t((c * a + 255 * (255 - a) + 127) / 255); }

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') return folder + name;
    return folder + "/" + name;
}
}  // namespace

Frame24 ComposedPicture(const CBrevDoc& doc) {
    const LayerTable& t = doc.Layers();
    if (!t.InList(t.bottom)) return {};
    const Image32 full = Compositor::ComposeFull(t, t.bottom, 0);
    if (full.Empty()) return {};
    Frame24 out(full.width, full.height);
    for (int y = 0; y < full.height; ++y) {
        // Both are stored bottom row first.
        const uint8_t* s = full.Row(full.bottomUp ? y : full.height - 1 - y);
        uint8_t* d = out.Row(y);
        for (int x = 0; x < full.width; ++x, s += 4, d += 3) {
            d[0] = OverWhite(s[0], s[3]);
            d[1] = OverWhite(s[1], s[3]);
            d[2] = OverWhite(s[2], s[3]);
        }
    }
    return out;
}

MovieResult LoadPicture(const std::string& path, Frame24& out) {
    RecordingUserPort quiet;
    CBrevDoc doc(quiet);
    if (Status opened = OpenDocument(doc, path); !opened)
        return MovieResult::Fail(MovieError::Unreadable, path + ": " + opened.message());
    out = ComposedPicture(doc);
    if (out.Empty()) return MovieResult::Fail(MovieError::Unreadable, path + ": no picture");
    return MovieResult::Ok();
}

MovieResult SaveJpeg(const Frame24& frame, const std::string& path) {
    RaViru image(ImageKind::Jpeg);
    if (!image.Allocate(frame.width, frame.height, 24, ImageKind::Jpeg))
        return MovieResult::Fail(MovieError::WriteFailed, path + ": out of memory");
    const size_t rowBytes = size_t(frame.width) * 3;
    for (int y = 0; y < frame.height; ++y) std::memcpy(image.Row(y), frame.Row(y), rowBytes);
    image.jpegQuality = 90;
    if (!image.WriteFile(path, ImageKind::Jpeg))
        return MovieResult::Fail(MovieError::WriteFailed, path + ": " + image.lastError);
    return MovieResult::Ok();
}

std::string BandFileName(bool top, int panelHeight) {
    std::string name = top ? "Tesmofen_FrtImg" : "Tesmofen_RearImg";
    if (panelHeight > 0) name += "_" + std::to_string(panelHeight);
    return name + ".jpg";
}

MovieResult SaveBand(const std::string& folder, bool top, const Frame24& picture, int frameWidth,
                     int frameHeight, int bandHeight) {
    if (picture.Empty()) return MovieResult::Fail(MovieError::Unreadable, "no picture");
    if (MovieResult r = SaveJpeg(picture, Join(folder, BandFileName(top, 0))); !r.ok()) return r;
    for (int panel : kBandPanelHeights) {
        const int h = std::max(1, int(int64_t(bandHeight) * panel / std::max(frameHeight, 1)));
        const Frame24 copy = Scaled(picture, std::max(frameWidth, 2), h);
        if (MovieResult r = SaveJpeg(copy, Join(folder, BandFileName(top, panel))); !r.ok())
            return r;
    }
    return MovieResult::Ok();
}

void ClearBands(const std::string& folder) {
    for (bool top : {true, false}) {
        std::remove(Join(folder, BandFileName(top, 0)).c_str());
        for (int panel : kBandPanelHeights)
            std::remove(Join(folder, BandFileName(top, panel)).c_str());
    }
}

bool HasBand(const std::string& folder, bool top) {
    std::error_code ec;
    return std::filesystem::exists(Join(folder, BandFileName(top, 0)), ec);
}

bool LoadBand(const std::string& folder, bool top, int frameWidth, int frameHeight, int bandHeight,
              const BlankBand& blank, Frame24& out) {
    out = {};
    if (bandHeight <= 0 || frameWidth <= 0) return false;
    bandHeight = std::min(bandHeight, frameHeight / 2);
    const int panel =
        frameHeight == 680 || frameHeight == 768 || frameHeight == 1366 ? frameHeight : 0;
    Frame24 picture;
    std::error_code ec;
    for (int h : {panel, 0}) {
        const std::string path = Join(folder, BandFileName(top, h));
        if (std::filesystem::exists(path, ec) && LoadPicture(path, picture).ok()) break;
        picture = {};
    }
    if (!picture.Empty()) {
        out = Scaled(picture, frameWidth, bandHeight);
        return true;
    }
    if (blank.fill == BlankBand::None) return false;
    out = Frame24(frameWidth, bandHeight);
    for (int r = 0; r < bandHeight; ++r) {
        // 0x00BBGGRR: red in the low byte.
        const uint32_t a = blank.first;
        const uint32_t b = blank.fill == BlankBand::Gradient ? blank.second : blank.first;
        const int span = std::max(bandHeight - 1, 1);
        auto mix = [&](int shift) {
            const int ca = int((a >> shift) & 0xFF), cb = int((b >> shift) & 0xFF);
            return uint8_t(ca + (cb - ca) * r / span);
        };
        FillRect(out, {0, r, frameWidth, 1}, mix(16), mix(8), mix(0));
    }
    return true;
}

FrameRect BandLayout::PictureArea(int width, int height) const {
    const int top = std::min(TopHeight(), height);
    const int bottom = std::min(BottomHeight(), height - top);
    return {0, top, width, height - top - bottom};
}

Frame24 BandLayout::Canvas(int width, int height) const {
    Frame24 canvas(width, height);
    if (!top.Empty()) CopyRect(top, {0, 0, top.width, top.height}, canvas, 0, 0);
    if (!bottom.Empty())
        CopyRect(bottom, {0, 0, bottom.width, bottom.height}, canvas, 0, height - bottom.height);
    return canvas;
}

}  // namespace quillet
