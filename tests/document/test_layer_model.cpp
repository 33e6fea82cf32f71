// The stored layouts, create layer, the walks and the pixel accessors of the layer table.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/LittleEndian.h"
#include "document/LayerTable.h"

using namespace quillet;

namespace {

CreateLayerArgs args(int slot, int w, int h, int bits = 24) {
    CreateLayerArgs a;
    a.slot = slot;
    a.width = w;
    a.height = h;
    a.bitsPerPixel = bits;
    return a;
}

std::u16string repeat(char16_t c, size_t n) { return std::u16string(n, c); }

}  // namespace

TEST(LayerRecord, NamesKeepTheirFirstHundredCharacters) {
    Layer l;
    std::memset(&l, 0, sizeof l);
    l.SetName(repeat(u'가', 120));
    EXPECT_EQ(l.Name(), repeat(u'가', 100));
    l.SetName(u"레이어 3");
    EXPECT_EQ(l.Name(), u"레이어 3");
    EXPECT_EQ(l.name[5], 0);

    PictureHeader h;
    std::memset(&h, 0, sizeof h);
    h.SetName(repeat(u'x', 120));
    EXPECT_EQ(h.Name().size(), 100u);
    h.canvasWidth = 7;
    h.canvasHeight = 2;
    h.bitsPerPixel = 24;
    h.RecomputeCanvasSizes();
    EXPECT_EQ(h.canvasImageSize, 48u);  // stride 24 (21 rounded up to 24) × 2
    EXPECT_EQ(h.canvasPixelCount, 14u);
    uint8_t b[256];
    std::memcpy(b, &h, sizeof b);
    EXPECT_EQ(readI32LE(b + 204), 7);
    EXPECT_EQ(readU32LE(b + 228), 48u);
}

TEST(CreateLayer, SizesStridesAndFills) {
    auto t = std::make_unique<LayerTable>();
    auto a = args(0, 3, 2);
    a.initialAlpha = 77;
    a.imageKind = 3;
    a.pictureName = u"그림";
    ASSERT_TRUE(t->CreateLayer(a, nullptr, 0, false));
    const Layer& l = t->layer(0);
    EXPECT_EQ(l.stride, 12u);  // 9 bytes rounded up to 4
    EXPECT_EQ(l.pixelSize, 24u);
    EXPECT_EQ(l.planeSize, 6u);
    EXPECT_EQ(t->header.canvasWidth, 3);  // -1: the layer's size is the canvas
    EXPECT_EQ(t->header.imageKind, 3);
    EXPECT_EQ(t->header.Name(), u"그림");
    EXPECT_EQ(t->header.canvasImageSize, 24u);
    const LayerPlanes& p = t->planesOf(0);
    EXPECT_EQ(p.pixels, std::vector<uint8_t>(24, 255));
    EXPECT_EQ(p.alpha, std::vector<uint8_t>(6, 77));
    EXPECT_EQ(p.effect, std::vector<uint8_t>(6, 0));

    auto text = args(1, 3, 2);
    text.kind = LayerKind::Text;
    ASSERT_TRUE(t->CreateLayer(text, nullptr, 0, false));
    EXPECT_EQ(t->layer(1).stride, 3u);
    EXPECT_EQ(t->layer(1).pixelSize, 6u);
    EXPECT_EQ(t->planesOf(1).pixels.size(), 6u);

    // An empty name keeps the picture name.
    ASSERT_TRUE(t->CreateLayer(args(2, 1, 1), nullptr, 0, false));
    EXPECT_EQ(t->header.Name(), u"그림");
}

TEST(CreateLayer, CentresWithIntegerDivisionAndKeepsTheLayerSize) {
    auto t = std::make_unique<LayerTable>();
    auto a = args(4, 50, 10);
    a.canvasWidth = 101;
    a.canvasHeight = 11;
    a.x = 99;
    a.centre = true;
    ASSERT_TRUE(t->CreateLayer(a, nullptr, 0, false));
    EXPECT_EQ(t->layer(4).x, 25);
    EXPECT_EQ(t->layer(4).y, 0);
    EXPECT_EQ(t->layer(4).width, 50);  // the buffers keep the layer's own size
    EXPECT_EQ(t->planesOf(4).alpha.size(), 500u);
    EXPECT_EQ(t->header.canvasWidth, 101);

    // A layer larger than the canvas is centred toward zero: (50 − 101) / 2 = −25.
    auto big = args(5, 101, 11);
    big.canvasWidth = 50;
    big.canvasHeight = 10;
    big.centre = true;
    ASSERT_TRUE(t->CreateLayer(big, nullptr, 0, false));
    EXPECT_EQ(t->layer(5).x, -25);
    EXPECT_EQ(t->layer(5).y, 0);

    a.centre = false;
    a.x = -7;
    a.y = 12;
    ASSERT_TRUE(t->CreateLayer(a, nullptr, 0, false));
    EXPECT_EQ(t->layer(4).x, -7);
    EXPECT_EQ(t->layer(4).y, 12);
}

TEST(CreateLayer, RefusesBadArgumentsAndChangesNothing) {
    auto t = std::make_unique<LayerTable>();
    ASSERT_TRUE(t->CreateLayer(args(0, 4, 4), nullptr, 0, false));
    t->layer(0).used = 1;
    const auto before = t->planesOf(0).pixels;
    for (auto bad : {args(-1, 4, 4), args(40, 4, 4), args(0, 0, 4), args(0, 4, 0),
                     args(0, 4, 4, 16), args(0, 1 << 15, 1 << 15)}) {
        EXPECT_FALSE(t->CreateLayer(bad, nullptr, 0, false));
    }
    EXPECT_EQ(t->layer(0).width, 4);
    EXPECT_EQ(t->planesOf(0).pixels, before);
    EXPECT_EQ(t->header.canvasWidth, 4);
}

TEST(CreateLayer, SelectionMaskIsReplacedUnlessASelectionIsKept) {
    auto t = std::make_unique<LayerTable>();
    auto a = args(0, 6, 4);
    a.x = 2;
    a.y = 3;
    a.canvasWidth = 20;
    a.canvasHeight = 20;
    ASSERT_TRUE(t->CreateLayer(a, nullptr, 0, false));
    EXPECT_EQ(t->mask.x, 2);
    EXPECT_EQ(t->mask.y, 3);
    EXPECT_EQ(t->mask.width, 6);
    EXPECT_EQ(t->mask.bytes, std::vector<uint8_t>(24, 1));

    t->mask.bytes[0] = 2;
    auto b = args(1, 3, 3);
    b.canvasWidth = b.canvasHeight = 20;
    ASSERT_TRUE(t->CreateLayer(b, nullptr, 0, true));  // active selection: mask kept
    EXPECT_EQ(t->mask.width, 6);
    EXPECT_EQ(t->mask.bytes[0], 2);
    b.forceMaskReset = true;
    ASSERT_TRUE(t->CreateLayer(b, nullptr, 0, true));
    EXPECT_EQ(t->mask.width, 3);
    EXPECT_EQ(t->mask.ByteSize(), 9u);
}

TEST(CreateLayer, PaletteModes) {
    auto t = std::make_unique<LayerTable>();
    Rgbquad image[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    auto a = args(0, 2, 2, 8);
    a.paletteSize = 4;
    a.paletteMode = PaletteMode::CopyImage;
    ASSERT_TRUE(t->CreateLayer(a, image, 2, false));
    ASSERT_EQ(t->palette.size(), 4u);
    EXPECT_EQ(t->palette[1], (Rgbquad{4, 5, 6, 0}));
    EXPECT_EQ(t->palette[3], Rgbquad{});  // the image had only two entries

    a.paletteMode = PaletteMode::Keep;
    ASSERT_TRUE(t->CreateLayer(a, nullptr, 0, false));
    EXPECT_EQ(t->palette[1], (Rgbquad{4, 5, 6, 0}));
    a.paletteMode = PaletteMode::Empty;
    ASSERT_TRUE(t->CreateLayer(a, image, 2, false));
    EXPECT_EQ(t->palette[1], Rgbquad{});
    a.paletteSize = 0;
    a.bitsPerPixel = 24;
    ASSERT_TRUE(t->CreateLayer(a, image, 2, false));
    EXPECT_TRUE(t->palette.empty());
    // A kept palette always has palette-size entries, even when none was there.
    a.paletteSize = 16;
    a.bitsPerPixel = 4;
    a.paletteMode = PaletteMode::Keep;
    ASSERT_TRUE(t->CreateLayer(a, nullptr, 0, false));
    EXPECT_EQ(t->palette.size(), 16u);
}

TEST(LayerList, WalksLinksAndBrokenLists) {
    auto t = std::make_unique<LayerTable>();
    EXPECT_EQ(t->Top(), -1);
    EXPECT_FALSE(t->InList(-1));
    t->LinkAbove(5, -1);  // 5
    t->LinkAbove(2, 5);   // 5 2
    t->LinkAbove(9, 5);   // 5 9 2
    t->LinkAbove(0, -1);  // 0 5 9 2
    EXPECT_EQ(t->Order(), (std::vector<int>{0, 5, 9, 2}));
    EXPECT_EQ(t->bottom, 0);
    EXPECT_EQ(t->layer(2).previous, 9);
    EXPECT_EQ(t->StepFrom(5, 2), 2);
    EXPECT_EQ(t->StepFrom(5, 3), -1);
    EXPECT_EQ(t->StepFrom(5, 0), 5);
    EXPECT_TRUE(t->InList(9));
    EXPECT_FALSE(t->InList(1));
    EXPECT_FALSE(t->InList(40));

    t->Unlink(0);
    EXPECT_EQ(t->bottom, 5);
    EXPECT_EQ(t->layer(5).previous, -1);
    t->Unlink(9);
    EXPECT_EQ(t->Order(), (std::vector<int>{5, 2}));
    EXPECT_EQ(t->layer(2).previous, 5);

    // A damaged list (a cycle, or a link out of range) ends every walk.
    t->layer(2).next = 5;
    EXPECT_LE(t->Order().size(), 40u);
    EXPECT_FALSE(t->InList(7));
    t->layer(2).next = 77;
    EXPECT_EQ(t->Order(), (std::vector<int>{5, 2}));
}

TEST(LayerPixels, ColourAndAlphaAtEveryDepth) {
    for (int bits : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bits);
        auto t = std::make_unique<LayerTable>();
        auto a = args(0, 9, 3, bits);
        a.paletteSize = bits <= 8 ? (1 << bits) : 0;
        a.paletteMode = PaletteMode::Empty;
        ASSERT_TRUE(t->CreateLayer(a, nullptr, 0, false));
        for (size_t i = 0; i < t->palette.size(); ++i)
            t->palette[i] = Rgbquad{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
        const uint32_t target = bits <= 8 ? packBgr(t->palette[0]) : 0x00123456;
        t->PutColor(0, 5, 1, target);
        t->PutAlpha(0, 5, 1, 99);
        EXPECT_EQ(t->ColorAt(0, 5, 1), target);
        EXPECT_EQ(t->AlphaAt(0, 5, 1), 99);
        EXPECT_NE(t->ColorAt(0, 4, 1), target);  // neighbours untouched
        EXPECT_NE(t->ColorAt(0, 6, 1), target);
        EXPECT_EQ(t->ColorAt(0, 9, 1, 0xABCDEF), 0xABCDEFu);
        EXPECT_EQ(t->ColorAt(0, -1, 0, 7), 7u);
        EXPECT_EQ(t->AlphaAt(0, 5, 3), 0);
        t->PutColor(0, 100, 100, 1);  // outside: nothing
    }
}

TEST(LayerPixels, NearestPaletteIndexTiesGoLow) {
    auto t = std::make_unique<LayerTable>();
    t->palette = {{10, 10, 10, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {20, 20, 20, 0}};
    EXPECT_EQ(t->NearestPaletteIndex(0), 1);
    EXPECT_EQ(t->NearestPaletteIndex(0x0F0F0F), 0);  // 15: equally far from 10 and 20
    EXPECT_EQ(t->NearestPaletteIndex(0x131313), 3);
}

TEST(LayerCopy, DuplicatesRecordPlanesAndPictureValues) {
    auto a = std::make_unique<LayerTable>();
    auto b = std::make_unique<LayerTable>();
    auto c = args(3, 4, 4, 8);
    c.paletteSize = 2;
    c.paletteMode = PaletteMode::Empty;
    c.kind = LayerKind::Text;
    ASSERT_TRUE(a->CreateLayer(c, nullptr, 0, false));
    a->layer(3).used = 1;
    a->layer(3).transparency = 33;
    a->planesOf(3).text = {u'가', u'나', 0};
    a->palette[1] = {9, 9, 9, 0};
    b->CopyLayerFrom(*a, 3);
    EXPECT_EQ(std::memcmp(&b->layer(3), &a->layer(3), kLayerRecordBytes), 0);
    EXPECT_EQ(b->header.bitsPerPixel, 8);
    EXPECT_EQ(b->header.canvasPixelCount, 16u);
    EXPECT_EQ(b->palette, a->palette);
    EXPECT_EQ(b->planesOf(3).text, a->planesOf(3).text);
    b->planesOf(3).alpha[0] = 1;  // each table owns its own buffers
    EXPECT_EQ(a->planesOf(3).alpha[0], 0);
    EXPECT_NE(b->planesOf(3).alpha.data(), a->planesOf(3).alpha.data());
}
