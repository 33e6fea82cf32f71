#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "image/RaViru.h"
#include "image/codecs/CQuantizer.h"

using namespace quillet;

namespace {

// The octree algorithm written down literally: recursive insertion, reduction of the head of
// the deepest non-empty reducible list after every colour, depth-first palette.
class RefQuantizer {
public:
    struct Node {
        bool leaf = false;
        uint64_t count = 0, r = 0, g = 0, b = 0;
        Node* child[8] = {};
        Node* next = nullptr;
    };
    RefQuantizer(unsigned maxColours, unsigned bits) : max_(maxColours), bits_(bits) {}
    ~RefQuantizer() { free(root_); }

    void add(uint8_t r, uint8_t g, uint8_t b) {
        addTo(&root_, r, g, b, 0);
        while (leaves_ > max_) reduce();
    }
    std::vector<Rgbquad> palette() const {
        std::vector<Rgbquad> out;
        walk(root_, out);
        return out;
    }
    unsigned leaves() const { return leaves_; }

private:
    static void free(Node* n) {
        if (!n) return;
        for (Node* c : n->child) free(c);
        delete n;
    }
    void addTo(Node** at, uint8_t r, uint8_t g, uint8_t b, unsigned level) {
        if (!*at) {
            *at = new Node;
            if (level == bits_) {
                (*at)->leaf = true;
                ++leaves_;
            } else {
                (*at)->next = lists_[level];
                lists_[level] = *at;
            }
        }
        Node* n = *at;
        if (n->leaf) {
            ++n->count;
            n->r += r;
            n->g += g;
            n->b += b;
            return;
        }
        const int bit = 7 - int(level);
        const int index = (((r >> bit) & 1) * 4) + (((g >> bit) & 1) * 2) + ((b >> bit) & 1);
        addTo(&n->child[index], r, g, b, level + 1);
    }
    void reduce() {
        int i = int(bits_) - 1;
        while (i > 0 && !lists_[i]) --i;
        Node* n = lists_[i];
        lists_[i] = n->next;
        unsigned kids = 0;
        for (Node*& c : n->child) {
            if (!c) continue;
            n->r += c->r;
            n->g += c->g;
            n->b += c->b;
            n->count += c->count;
            ++kids;
            free(c);
            c = nullptr;
        }
        n->leaf = true;
        leaves_ -= kids - 1;
    }
    static void walk(const Node* n, std::vector<Rgbquad>& out) {
        if (!n) return;
        if (n->leaf) {
            out.push_back(
                {uint8_t(n->b / n->count), uint8_t(n->g / n->count), uint8_t(n->r / n->count), 0});
            return;
        }
        for (const Node* c : n->child) walk(c, out);
    }

    Node* root_ = nullptr;
    Node* lists_[9] = {};
    unsigned leaves_ = 0;
    unsigned max_, bits_;
};

// Pictures of several kinds: noise (many reductions), smooth gradients, few colours.
std::unique_ptr<RaViru> makePicture(int kind, int w, int h, int bitCount, unsigned seed) {
    auto picture = std::make_unique<RaViru>(w, h, bitCount, ImageKind::Bmp);
    RaViru& img = *picture;
    std::mt19937 rng(seed);
    const int step = bitCount / 8;
    for (int y = 0; y < h; ++y) {
        uint8_t* p = img.Row(y);
        for (int x = 0; x < w; ++x, p += step) {
            uint32_t c;
            switch (kind) {
                case 0:
                    c = rng();
                    break;
                case 1:
                    c = packBgr(uint8_t(x * 255 / w), uint8_t(y * 255 / h),
                                uint8_t((x + y) & 0xFF)) ^
                        (rng() & 0x030303);
                    break;
                default:
                    c = (rng() % 200) * 0x010F07u;
                    break;  // at most 200 colours
            }
            p[0] = uint8_t(c);
            p[1] = uint8_t(c >> 8);
            p[2] = uint8_t(c >> 16);
        }
    }
    return picture;
}

std::vector<Rgbquad> referencePalette(const RaViru& img, unsigned maxColours = 256) {
    RefQuantizer ref(maxColours, 8);
    for (int y = 0; y < img.Height(); ++y) {
        for (int x = 0; x < img.Width(); ++x) {
            const uint32_t c = img.PixelColorAt(x, y);
            ref.add(uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c));
        }
    }
    return ref.palette();
}

}  // namespace

TEST(CQuantizer, PaletteMatchesLiteralOctreeAndIndicesAreNearest) {
    struct Case {
        int kind, w, h, bits;
    } cases[] = {
        {0, 64, 48, 24}, {1, 200, 100, 24}, {2, 50, 40, 24}, {0, 33, 17, 32}, {1, 70, 30, 32}};
    unsigned seed = 1;
    for (const Case& c : cases) {
        const auto picture = makePicture(c.kind, c.w, c.h, c.bits, ++seed);
        const RaViru& img = *picture;
        CQuantizer q;
        ASSERT_TRUE(q.ProcessImage(img));
        const auto expected = referencePalette(img);
        ASSERT_EQ(q.Palette(), expected) << "kind " << c.kind << " bits " << c.bits;
        EXPECT_EQ(q.LeafCount(), expected.size());
        EXPECT_LE(expected.size(), 256u);

        RaViru indexed;
        ASSERT_TRUE(q.MakeIndexed(img, indexed));
        ASSERT_EQ(indexed.BitCount(), 8);
        ASSERT_EQ(indexed.PaletteCount(), 256);
        for (int y = 0; y < img.Height(); ++y) {
            for (int x = 0; x < img.Width(); ++x) {
                ASSERT_EQ(int(indexed.PixelIndexAt(x, y)),
                          indexed.NearestPaletteIndex(img.PixelColorAt(x, y)))
                    << "kind " << c.kind << " at " << x << "," << y;
            }
        }
        if (c.kind == 2) {
            // Fewer colours than entries: every colour keeps its own leaf and comes back exact.
            for (int y = 0; y < img.Height(); ++y)
                for (int x = 0; x < img.Width(); ++x)
                    ASSERT_EQ(indexed.PixelColorAt(x, y), img.PixelColorAt(x, y));
        }
    }
}

TEST(CQuantizer, SmallLimitsAndIndexedSources) {
    // A limit of 8 colours reduces far up the tree; colours added one by one, no picture cache.
    std::mt19937 rng(5);
    CQuantizer q(8, 8);
    RefQuantizer ref(8, 8);
    for (int i = 0; i < 5000; ++i) {
        const uint32_t c = rng();
        q.AddColour(uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16));
        ref.add(uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16));
        ASSERT_EQ(q.LeafCount(), ref.leaves()) << i;
    }
    EXPECT_EQ(q.Palette(), ref.palette());
    EXPECT_LE(q.LeafCount(), 8u);

    // An indexed picture contributes each pixel's palette colour.
    RaViru pal(40, 30, 8, ImageKind::Bmp);
    for (int i = 0; i < 256; ++i)
        pal.SetPaletteEntry(i, uint8_t(rng()), uint8_t(rng()), uint8_t(rng()));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) pal.Row(y)[x] = uint8_t(rng());
    CQuantizer qi;
    ASSERT_TRUE(qi.ProcessImage(pal));
    EXPECT_EQ(qi.Palette(), referencePalette(pal));
    RaViru out;
    ASSERT_TRUE(qi.MakeIndexed(pal, out));
    EXPECT_EQ(out.Width(), 40);

    RaViru empty;
    EXPECT_FALSE(CQuantizer().ProcessImage(empty));
    EXPECT_FALSE(CQuantizer().MakeIndexed(empty, out));
    EXPECT_EQ(out.Width(), 40);  // untouched
}
