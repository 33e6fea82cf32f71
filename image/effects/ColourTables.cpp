#include "image/effects/ColourTables.h"

#include <cstring>
#include <memory>

#include "image/effects/Geometry.h"
#include "image/effects/RowCopy.h"
#include "image/effects/RowThreads.h"

namespace quillet {

ChannelTables ChannelTables::Identity() {
    ChannelTables t;
    for (int i = 0; i < 256; ++i)
        t.red[size_t(i)] = t.green[size_t(i)] = t.blue[size_t(i)] = uint8_t(i);
    return t;
}

ChannelTables BrightnessContrastTables(int brightness, int contrast) {
    const double factor = (contrast + 255) / 255.0;
    ChannelTables t;
    for (int v = 0; v < 256; ++v) {
        const uint8_t out = Clamp255(int((v - 128) * factor + 128 + brightness));
        t.red[size_t(v)] = t.green[size_t(v)] = t.blue[size_t(v)] = out;
    }
    return t;
}

ChannelTables ChannelShiftTables(int red, int green, int blue) {
    ChannelTables t;
    for (int v = 0; v < 256; ++v) {
        t.red[size_t(v)] = Clamp255(v + red);
        t.green[size_t(v)] = Clamp255(v + green);
        t.blue[size_t(v)] = Clamp255(v + blue);
    }
    return t;
}

ByteTable SaturationTable(int s) {
    ByteTable t;
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = Clamp255(int((s + 100) * (i - 128) / 100.0 + 128.5));
    return t;
}

Yuv ToYuv(int red, int green, int blue) {
    const int y = int(0.299 * red + 0.587 * green + 0.114 * blue);
    const int u = int((blue - y) * 0.565 + 128);
    const int v = int((red - y) * 0.713 + 128);
    return {Clamp255(y), Clamp255(u), Clamp255(v)};
}

Rgbquad FromYuv(int y, int u, int v) {
    const int up = u - 128, vp = v - 128;
    return {Clamp255(int(y + 1.77 * up)), Clamp255(int(y - 0.344 * up - 0.714 * vp)),
            Clamp255(int(y + 1.403 * vp)), 0};
}

void ApplyChannelTables(const LayerPixels& from, const LayerPixels& to, const ChannelTables& t,
                        AlphaRule rule, Progress* progress) {
    if (to.Empty() || !from.SameShape(to)) return;
    const int bpp = to.bytesPerPixel;
    const bool everyAlpha = rule == AlphaRule::Every || !from.alpha;
    RowCounter rows(progress, to.height);
    // Bound by memory more than by the lookups: two cores take about a third off on large pictures.
    const int threads = GeometryThreads(uint64_t(to.width) * uint64_t(to.height));
    ForRowBands(to.height, threads, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            uint8_t* p = CopiedRow(from, to, y);
            const uint8_t* a = everyAlpha ? nullptr : from.AlphaRow(y);
            const uint8_t* s = to.SelectionRow(y);
            if (!a && !s) {
                for (int x = 0; x < to.width; ++x, p += bpp) {
                    p[0] = t.blue[p[0]];
                    p[1] = t.green[p[1]];
                    p[2] = t.red[p[2]];
                }
            } else {
                for (int x = 0; x < to.width; ++x, p += bpp) {
                    if ((a && !a[x]) || (s && !s[x])) continue;
                    p[0] = t.blue[p[0]];
                    p[1] = t.green[p[1]];
                    p[2] = t.red[p[2]];
                }
            }
            rows.RowDone();
        }
    });
}

namespace {
// The YUV round trip with Y, U and V through tables, exactly as ToYuv, the tables and FromYuv
// give it: the products are the same doubles, added in the same order, so every result is the
// same.
class YuvMap {
public:
    YuvMap(const ByteTable& ty, const ByteTable& tu, const ByteTable& tv) : ty_(ty) {
        for (int i = 0; i < 256; ++i) {
            ry_[i] = 0.299 * i;
            gy_[i] = 0.587 * i;
            by_[i] = 0.114 * i;
        }
        for (int d = -255; d <= 255; ++d) {
            u_[d + 255] = tu[Clamp255(int(d * 0.565 + 128))];
            v_[d + 255] = tv[Clamp255(int(d * 0.713 + 128))];
        }
        for (int c = 0; c < 256; ++c) {
            gu_[c] = 0.344 * (c - 128);
            gv_[c] = 0.714 * (c - 128);
        }
        for (int y = 0; y < 256; ++y)
            for (int c = 0; c < 256; ++c) {
                red_[y * 256 + c] = Clamp255(int(y + 1.403 * (c - 128)));
                blue_[y * 256 + c] = Clamp255(int(y + 1.77 * (c - 128)));
            }
    }
    void Map(uint8_t* p) const {
        const int y = int(ry_[p[2]] + gy_[p[1]] + by_[p[0]]);
        const int u = u_[p[0] - y + 255], v = v_[p[2] - y + 255];
        const int y2 = ty_[size_t(y)];
        p[0] = blue_[y2 * 256 + u];
        p[1] = Clamp255(int(y2 - gu_[u] - gv_[v]));
        p[2] = red_[y2 * 256 + v];
    }

private:
    ByteTable ty_;
    double ry_[256], gy_[256], by_[256];
    uint8_t u_[511], v_[511];
    double gu_[256], gv_[256];
    uint8_t red_[65536], blue_[65536];
};

ByteTable IdentityTable() {
    ByteTable t;
    for (int i = 0; i < 256; ++i) t[size_t(i)] = uint8_t(i);
    return t;
}
}  // namespace

void ApplyYuvTables(const LayerPixels& from, const LayerPixels& to, const ByteTable& ty,
                    const ByteTable& tu, const ByteTable& tv) {
    if (to.Empty() || !from.SameShape(to)) return;
    const auto map = std::make_unique<YuvMap>(ty, tu, tv);
    const int bpp = to.bytesPerPixel;
    for (int y = 0; y < to.height; ++y) {
        uint8_t* p = CopiedRow(from, to, y);
        const uint8_t* sel = to.SelectionRow(y);
        for (int x = 0; x < to.width; ++x, p += bpp)
            if (!sel || sel[x]) map->Map(p);
    }
}

void ApplySaturation(const LayerPixels& from, const LayerPixels& to, int s) {
    const ByteTable t = SaturationTable(s);
    ApplyYuvTables(from, to, IdentityTable(), t, t);
}

void ApplyChannelTables(Rgbquad* palette, int count, const ChannelTables& t) {
    for (int i = 0; i < count; ++i) {
        Rgbquad& q = palette[i];
        q.blue = t.blue[q.blue];
        q.green = t.green[q.green];
        q.red = t.red[q.red];
    }
}

void ApplySaturation(Rgbquad* palette, int count, int s) {
    const ByteTable t = SaturationTable(s);
    for (int i = 0; i < count; ++i) {
        Rgbquad& q = palette[i];
        const Yuv c = ToYuv(q.red, q.green, q.blue);
        const Rgbquad back = FromYuv(c.y, t[c.u], t[c.v]);
        q.blue = back.blue;
        q.green = back.green;
        q.red = back.red;
    }
}

}  // namespace quillet
