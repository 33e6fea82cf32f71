#include "image/effects/Convolution.h"

#include <vector>

#include "image/effects/RowThreads.h"

namespace quillet {

int Kernel3::Sum() const {
    int s = 0;
    for (int v : k) s += v;
    return s;
}

Kernel3 Laplacian(int centre) {
    Kernel3 k;
    k.k.fill(-1);
    k.k[4] = centre;
    return k;
}

Kernel3 EmbossKernel(int e) {
    Kernel3 k;
    k.k[0] = -e;
    k.k[8] = e;
    return k;
}

Kernel3 HorizontalGradient() { return Kernel3{{-1, 0, 1, -2, 0, 2, -1, 0, 1}}; }
Kernel3 VerticalGradient() { return Kernel3{{-1, -2, -1, 0, 0, 0, 1, 2, 1}}; }

namespace {

class Engine {
public:
    Engine(const LayerPixels& from, const Convolution& c) : from_(from), c_(c), s_(c.kernel.Sum()) {
        laplacian_ = true;
        for (int i = 0; i < 9; ++i) {
            const int v = c.kernel.k[size_t(i)];
            if (i != 4 && v != -1) laplacian_ = false;
            (v < 0 ? minSum_ : maxSum_) += v * 255;
            if (v) taps_.push_back({i % 3 - 1, i / 3 - 1, v});
        }
        // Inside the layer the window is whole (W = S): one table from the sum to the byte.
        map_.resize(size_t(maxSum_ - minSum_ + 1));
        for (int s = minSum_; s <= maxSum_; ++s) map_[size_t(s - minSum_)] = Finish(s, s_);
    }

    // The output channel for a window sum over entries weighing `w`.
    uint8_t Finish(int sum, int w) const {
        int v;
        if (c_.divisor == 0)
            v = c_.offset + sum;
        else if (w == s_ || c_.divisor * w == 0)
            v = c_.offset + sum / c_.divisor;
        else
            v = c_.offset + sum * s_ / (c_.divisor * w);
        const uint8_t out = Clamp255(v);
        return c_.invert ? uint8_t(255 - out) : out;
    }

    // One pixel as written down: the window positions inside the layer.
    void Pixel(int x, int y, uint8_t* out) const {
        int sum[3] = {0, 0, 0}, w = 0;
        for (const Tap& t : taps_) {
            const int xx = x + t.dx, yy = y + t.dy;
            if (xx < 0 || yy < 0 || xx >= from_.width || yy >= from_.height) continue;
            const uint8_t* p = from_.Row(yy) + size_t(xx) * size_t(from_.bytesPerPixel);
            for (int ch = 0; ch < 3; ++ch) sum[ch] += t.k * p[ch];
            w += t.k;
        }
        // Entries of 0 are used too when their position lies inside the layer; they add
        // nothing to W either, so leaving them out changes nothing.
        for (int ch = 0; ch < 3; ++ch) out[ch] = Finish(sum[ch], w);
    }

    // The channels of the pixels x0..x1−1 of an inner row (every window whole) into `out`
    // (3 bytes a pixel).
    void InnerRow(int y, int x0, int x1, uint8_t* out, std::vector<int>& columns) const {
        const int bpp = from_.bytesPerPixel;
        const uint8_t* r0 = from_.Row(y - 1);
        const uint8_t* r1 = from_.Row(y);
        const uint8_t* r2 = from_.Row(y + 1);
        const uint8_t* map = map_.data() - minSum_;
        if (laplacian_) {
            // Centre c with −1 around: (c + 1) × centre − the 3 × 3 sum.
            const int c1 = c_.kernel.k[4] + 1;
            int* col = columns.data();
            for (int x = x0 - 1; x <= x1; ++x)
                for (int ch = 0; ch < 3; ++ch) {
                    const size_t i = size_t(x) * size_t(bpp) + size_t(ch);
                    col[size_t(x) * 3 + size_t(ch)] = r0[i] + r1[i] + r2[i];
                }
            for (int x = x0; x < x1; ++x)
                for (int ch = 0; ch < 3; ++ch) {
                    const size_t j = size_t(x) * 3 + size_t(ch);
                    const int box = col[j - 3] + col[j] + col[j + 3];
                    out[size_t(x - x0) * 3 + size_t(ch)] =
                        map[c1 * r1[size_t(x) * size_t(bpp) + size_t(ch)] - box];
                }
            return;
        }
        const uint8_t* rows[3] = {r0, r1, r2};
        for (int x = x0; x < x1; ++x)
            for (int ch = 0; ch < 3; ++ch) {
                int sum = 0;
                for (const Tap& t : taps_)
                    sum += t.k * rows[t.dy + 1][size_t(x + t.dx) * size_t(bpp) + size_t(ch)];
                out[size_t(x - x0) * 3 + size_t(ch)] = map[sum];
            }
    }

    // The channels of row y, 3 bytes a pixel, whatever the alpha.
    void Row(int y, uint8_t* out, std::vector<int>& columns) const {
        const int w = from_.width;
        if (y == 0 || y == from_.height - 1 || w < 3) {
            for (int x = 0; x < w; ++x) Pixel(x, y, out + size_t(x) * 3);
            return;
        }
        Pixel(0, y, out);
        InnerRow(y, 1, w - 1, out + 3, columns);
        Pixel(w - 1, y, out + size_t(w - 1) * 3);
    }

private:
    struct Tap {
        int dx, dy, k;
    };
    const LayerPixels& from_;
    Convolution c_;
    int s_;
    int minSum_ = 0, maxSum_ = 0;
    bool laplacian_ = false;
    std::vector<Tap> taps_;
    std::vector<uint8_t> map_;
};

template <class Store>
void Run(const LayerPixels& from, const Convolution& c, int threads, Progress* progress,
         Store store) {
    if (from.Empty()) return;
    const Engine engine(from, c);
    RowCounter rows(progress, from.height);
    ForRowBands(from.height, threads, [&](int y0, int y1) {
        std::vector<uint8_t> out(size_t(from.width) * 3);
        std::vector<int> columns(size_t(from.width) * 3);
        for (int y = y0; y < y1; ++y) {
            engine.Row(y, out.data(), columns);
            store(y, out.data());
            rows.RowDone();
        }
    });
}

}  // namespace

void Convolve(const LayerPixels& from, const LayerPixels& to, const Convolution& c, int threads,
              Progress* progress) {
    if (!from.SameShape(to)) return;
    const int bpp = to.bytesPerPixel;
    Run(from, c, threads, progress, [&](int y, const uint8_t* out) {
        const uint8_t* a = from.AlphaRow(y);
        const uint8_t* s = to.SelectionRow(y);
        uint8_t* p = to.Row(y);
        for (int x = 0; x < to.width; ++x, p += bpp, out += 3)
            if (a[x] && (!s || s[x])) {
                p[0] = out[0];
                p[1] = out[1];
                p[2] = out[2];
            }
    });
}

void ConvolveToBuffer(const LayerPixels& from, const Convolution& c, uint32_t* out, int threads) {
    Run(from, c, threads, nullptr, [&](int y, const uint8_t* px) {
        const uint8_t* a = from.AlphaRow(y);
        uint32_t* o = out + size_t(y) * size_t(from.width);
        for (int x = 0; x < from.width; ++x, px += 3)
            if (a[x]) o[x] = uint32_t(px[0]) | uint32_t(px[1]) << 8 | uint32_t(px[2]) << 16;
    });
}

}  // namespace quillet
