#include "image/effects/Levels.h"

#include <thread>

namespace quillet {

namespace {

void CountRows(const LayerPixels& layer, int y0, int y1, Histogram& h) {
    // Two sets of counts taken in turn: neighbouring pixels of one colour do not wait on each
    // other's increments.
    auto& lum = h.counts[0];
    auto& red = h.counts[1];
    auto& green = h.counts[2];
    auto& blue = h.counts[3];
    std::array<std::array<uint32_t, 256>, 4> odd{};
    const int bpp = layer.bytesPerPixel;
    for (int y = y0; y < y1; ++y) {
        const uint8_t* p = layer.Row(y);
        int x = 0;
        for (; x + 1 < layer.width; x += 2, p += 2 * bpp) {
            ++blue[p[0]];
            ++green[p[1]];
            ++red[p[2]];
            ++lum[size_t(HistogramLuminance(p[2], p[1], p[0]))];
            const uint8_t* q = p + bpp;
            ++odd[3][q[0]];
            ++odd[2][q[1]];
            ++odd[1][q[2]];
            ++odd[0][size_t(HistogramLuminance(q[2], q[1], q[0]))];
        }
        if (x < layer.width) {
            ++blue[p[0]];
            ++green[p[1]];
            ++red[p[2]];
            ++lum[size_t(HistogramLuminance(p[2], p[1], p[0]))];
        }
    }
    for (size_t c = 0; c < 4; ++c)
        for (size_t i = 0; i < 256; ++i) h.counts[c][i] += odd[c][i];
    h.pixels += uint64_t(y1 - y0) * uint64_t(layer.width);
}

// Smallest level whose count from level 0 up exceeds `h`, and largest whose count from 255 down
// does; -1 when none does.
int LowEnd(const std::array<uint32_t, 256>& c, uint64_t h) {
    uint64_t sum = 0;
    for (int k = 0; k < 256; ++k)
        if ((sum += c[size_t(k)]) > h) return k;
    return -1;
}
int HighEnd(const std::array<uint32_t, 256>& c, uint64_t h) {
    uint64_t sum = 0;
    for (int k = 255; k >= 0; --k)
        if ((sum += c[size_t(k)]) > h) return k;
    return -1;
}

// 0 below lo, 255 above hi, (k − lo) × 255 / (hi − lo) between (0 when lo = hi).
void StretchTable(int lo, int hi, ByteTable& t) {
    for (int k = 0; k < 256; ++k)
        t[size_t(k)] = k < lo     ? 0
                       : k > hi   ? 255
                       : hi == lo ? 0
                                  : uint8_t((k - lo) * 255 / (hi - lo));
}

}  // namespace

Histogram ComputeHistogram(const LayerPixels& layer, int threads) {
    Histogram h;
    if (layer.Empty()) return h;
    if (threads < 2 || layer.height < 64) {
        CountRows(layer, 0, layer.height, h);
        return h;
    }
    const int half = layer.height / 2;
    Histogram upper;
    std::thread helper([&] { CountRows(layer, half, layer.height, upper); });
    CountRows(layer, 0, half, h);
    helper.join();
    for (size_t c = 0; c < 4; ++c)
        for (size_t i = 0; i < 256; ++i) h.counts[c][i] += upper.counts[c][i];
    h.pixels += upper.pixels;
    return h;
}

Histogram PaletteHistogram(const Rgbquad* palette, int count, const uint64_t* indexCounts) {
    Histogram h;
    for (int i = 0; i < count; ++i) {
        const Rgbquad& q = palette[i];
        const uint32_t n = uint32_t(indexCounts[i]);
        h.counts[0][size_t(HistogramLuminance(q.red, q.green, q.blue))] += n;
        h.counts[1][q.red] += n;
        h.counts[2][q.green] += n;
        h.counts[3][q.blue] += n;
        h.pixels += n;
    }
    return h;
}

bool LevelsTables(const Histogram& histogram, const LevelsRequest& request, ChannelTables& out) {
    const size_t c = size_t(request.channel);
    if (c > 3) return false;
    ByteTable tables[4];
    if (request.normalise) {
        const auto& chosen = histogram.counts[c];
        uint64_t total = 0;
        for (uint32_t n : chosen) total += n;
        if (chosen[0] == total) return false;  // C_c[0] = C_c[255]
        for (size_t j = 0; j < 4; ++j) {
            const auto& counts = histogram.counts[j];
            uint64_t all = 0;
            for (uint32_t n : counts) all += n;
            const uint64_t first = counts[0];
            uint64_t cumulative = 0;
            for (size_t k = 0; k < 256; ++k) {
                cumulative += counts[k];
                // A channel with every pixel at level 0 has nothing to spread.
                tables[j][k] =
                    all == first
                        ? 0
                        : Clamp255(int(double(cumulative - first) * 255 / double(all - first)));
            }
        }
    } else {
        const uint64_t h = histogram.pixels / 100;
        int low[4], high[4];
        for (size_t j = 0; j < 4; ++j) {
            low[j] = LowEnd(histogram.counts[j], h);
            high[j] = HighEnd(histogram.counts[j], h);
            if (low[j] == high[j]) {
                low[j] = LowEnd(histogram.counts[j], 0);
                high[j] = HighEnd(histogram.counts[j], 0);
            }
        }
        if (low[c] == high[c]) return false;
        for (size_t j = 0; j < 4; ++j) {
            if (request.black < 0)
                StretchTable(low[j], high[j], tables[j]);
            else
                StretchTable(request.black, request.white, tables[j]);
        }
    }
    out = ChannelTables::Identity();
    if (c == 0 || c == 1) out.red = tables[1];
    if (c == 0 || c == 2) out.green = tables[2];
    if (c == 0 || c == 3) out.blue = tables[3];
    return true;
}

}  // namespace quillet
