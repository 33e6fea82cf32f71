#include "services/PrintGeometry.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>

#include "document/CBrevDoc.h"
#include "document/compositor/Compositor.h"

namespace quillet {

int ClampPrintDpi(int dpi) { return std::max(dpi, 1); }

int StepPrintDpi(int dpi, int steps) {
    const int64_t next = int64_t(ClampPrintDpi(dpi)) + steps;
    return int(std::clamp<int64_t>(next, 1, INT32_MAX));
}

PrintedInches PrintedSize(int pictureWidth, int pictureHeight, int dpi) {
    const double d = ClampPrintDpi(dpi);
    return {pictureWidth / d, pictureHeight / d};
}

std::string InchText(double inches) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", inches);
    return text;
}

const PreviewPaper& PreviewPaperFor(std::string_view choice) {
    for (size_t i = 0; i + 1 < kPreviewPapers.size(); ++i)
        if (kPreviewPapers[i].choice == choice) return kPreviewPapers[i];
    return kPreviewPapers.back();
}

PrintRect PreviewPictureRect(const PrintedInches& size) {
    auto pixels = [](double inches) {
        return int(std::clamp(inches * 2.54 * 10, 0.0, double(INT32_MAX)));
    };
    return {20, 20, pixels(size.width), pixels(size.height)};
}

PrintRect PrintPlacement(int printerDpiX, int printerDpiY, int pictureWidth, int pictureHeight,
                         int pictureDpiX, int pictureDpiY) {
    auto printed = [](int printerDpi, int pixels, int dpi) {
        const int64_t v =
            int64_t(std::max(printerDpi, 0)) * std::max(pixels, 0) / ClampPrintDpi(dpi);
        return int(std::clamp<int64_t>(v - kPrintMargin, 1, INT32_MAX));
    };
    return {kPrintMargin, kPrintMargin, printed(printerDpiX, pictureWidth, pictureDpiX),
            printed(printerDpiY, pictureHeight, pictureDpiY)};
}

bool FlattenOnWhite(const Image32& composed, RaViru& out) {
    const int W = composed.width, H = composed.height;
    if (W <= 0 || H <= 0 || composed.bytes.size() < size_t(W) * size_t(H) * 4) return false;
    RaViru picture(ImageKind::Bmp);
    if (!picture.Allocate(W, H, 24, ImageKind::Bmp)) return false;
    for (int y = 0; y < H; ++y) {
        // The picture's rows run bottom-up; a top-down composition is turned over.
        const uint8_t* s = composed.Row(composed.bottomUp ? y : H - 1 - y);
        uint8_t* d = picture.Row(y);
        for (int x = 0; x < W; ++x, s += 4, d += 3) {
            const uint32_t a = s[3];
            if (a == 255) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                continue;
            }
            // White shows through by 255 - alpha, as over the view's background.
            const uint32_t white = 255 - a;
            d[0] = uint8_t(std::min<uint32_t>(s[0], a) + white);
            d[1] = uint8_t(std::min<uint32_t>(s[1], a) + white);
            d[2] = uint8_t(std::min<uint32_t>(s[2], a) + white);
        }
    }
    out.AdoptFrom(picture);
    return true;
}

bool PrintPicture(const CBrevDoc& doc, RaViru& out) {
    const LayerTable& t = doc.Layers();
    if (!t.InList(t.bottom)) return false;
    const int threads = std::thread::hardware_concurrency() > 1 ? 2 : 1;
    const Image32 full = Compositor::ComposeFull(t, t.bottom, 0, threads);
    if (!FlattenOnWhite(full, out)) return false;
    out.SetHorizontalDpi(doc.Image().dpiX);
    out.SetVerticalDpi(doc.Image().dpiY);
    return true;
}

}  // namespace quillet
