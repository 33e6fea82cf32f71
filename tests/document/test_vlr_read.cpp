// VLR reading: files of older versions built by hand, numbers that run into the block after
// them, and damaged files that must fail without leaving half-built layers.
#include <gtest/gtest.h>

#include <functional>

#include "platform/RecordingUserPort.h"
#include "tests/document/VlrTestDocs.h"

using namespace quillet;
using namespace quillet::vlrtest;

namespace {

struct HandLayer {
    int slot = 0;
    uint8_t kind = LayerKind::Raster;
    int previous = -1, next = -1;
    int width = 3, height = 2;
    std::u16string text;
    std::string lineTextLength;  // as written in the entry line; empty: the text's length
    int claimedWidth = 0;        // a size in the record other than the bytes that follow
    int claimedHeight = 0;
    int x = -1, y = 2;
};

constexpr int kW = 4, kH = 3;  // canvas of the hand-built files, 24 bits

uint8_t PixelByte(int slot, size_t i) { return uint8_t(slot * 31 + i); }

Bytes HandRecord(const HandLayer& h, size_t recordBytes) {
    uint8_t r[848] = {};
    const int w = h.claimedWidth ? h.claimedWidth : h.width;
    const int ht = h.claimedHeight ? h.claimedHeight : h.height;
    const int stride = h.kind == LayerKind::Text ? w : (24 * w + 31) / 32 * 4;
    writeI32LE(r, 1);
    PutName(r + 8, u"옛 레이어");
    r[208] = h.kind;
    r[209] = 3;
    writeI16LE(r + 210, int16_t(h.previous));
    writeI16LE(r + 212, int16_t(h.next));
    writeI16LE(r + 214, 4);
    writeI32LE(r + 228, 0x112233);
    r[232] = 40;
    writeI32LE(r + 236, 1);
    writeI32LE(r + 240, h.x);
    writeI32LE(r + 244, h.y);
    writeI32LE(r + 248, ht);
    writeI32LE(r + 252, w);
    // The stored fields hold the low 32 bits, as a writer with huge claimed sizes would leave.
    writeI32LE(r + 256, int32_t(uint32_t(w) * uint32_t(ht)));
    writeI32LE(r + 260, int32_t(uint32_t(stride) * uint32_t(ht)));
    writeI32LE(r + 264, stride);
    writeI32LE(r + 268, int32_t(h.text.size()));
    writeI32LE(r + 272, 7);
    writeI32LE(r + 276, 8);
    writeI32LE(r + 280, 12);
    PutName(r + 284, u"굴림");
    writeI32LE(r + 384, 25);
    writeI32LE(r + 388, 77);
    writeI32LE(r + 392, 3);
    writeI32LE(r + 396, 99);
    r[500] = 0xEE;
    return Bytes(r, r + recordBytes);
}

Bytes HandFile(int version, const std::vector<HandLayer>& layers, size_t recordBytes,
               int bottom = 0, int current = 0) {
    Bytes f;
    Append(f, "\n" + std::to_string(version) + " " + std::to_string(bottom) + " " +
                  std::to_string(current));
    uint8_t header[256] = {};
    PutName(header, u"옛 그림");
    writeI32LE(header + 200, kH);
    writeI32LE(header + 204, kW);
    header[216] = 1;
    writeI32LE(header + 224, 24);
    writeI32LE(header + 228, 12 * kH);
    writeI32LE(header + 232, kW * kH);
    writeI32LE(header + 240, 0x77777777);  // a stale working-copy reference
    Append(f, header, 256);
    Append(f, Bytes(12 * kH, 0x5A));
    for (const HandLayer& h : layers) {
        Append(f,
               "\n " + std::to_string(h.slot) + " " +
                   (h.lineTextLength.empty() ? std::to_string(h.text.size()) : h.lineTextLength));
        Append(f, HandRecord(h, recordBytes));
        const int stride = h.kind == LayerKind::Text ? h.width : (24 * h.width + 31) / 32 * 4;
        for (int i = 0; i < stride * h.height; ++i) f.push_back(PixelByte(h.slot, size_t(i)));
        for (int i = 0; i < h.width * h.height; ++i) f.push_back(uint8_t(i * 7));
        for (int i = 0; i < h.width * h.height; ++i) f.push_back(uint8_t(i * 3 + 1));
        if (h.kind == LayerKind::Text)
            for (char16_t c : h.text) f.push_back(uint8_t(c)), f.push_back(uint8_t(c >> 8));
    }
    return f;
}

std::vector<HandLayer> TwoLayers() {
    HandLayer raster{0, LayerKind::Raster, -1, 4, 3, 2, {}, {}};
    HandLayer text{4, LayerKind::Text, 0, -1, 3, 1, u"가나다", {}};
    return {raster, text};
}

TEST(VlrRead, EveryVersionReadsWithItsRecordLength) {
    struct Case {
        int version;
        size_t recordBytes;
        int scale, b, c, effectParameter;
        uint8_t reserved;
    };
    for (const Case& k : {Case{41, 848, 25, 77, 3, 99, 0xEE}, Case{362, 396, 25, 77, 3, 0, 0},
                          Case{36, 384, 10, 100, 0, 0, 0}}) {
        SCOPED_TRACE(k.version);
        RecordingUserPort user;
        CBrevDoc doc(user);
        std::string error;
        ASSERT_TRUE(Read(doc, HandFile(k.version, TwoLayers(), k.recordBytes), &error)) << error;
        const LayerTable& t = doc.Layers();
        EXPECT_EQ(t.header.Name(), u"옛 그림");
        EXPECT_EQ(t.header.workingAlphaRef, 0u);
        EXPECT_EQ(t.Order(), (std::vector<int>{0, 4}));
        EXPECT_EQ(doc.Snapshot().bottom, 0);
        for (int slot : {0, 4}) {
            const Layer& l = t.layer(slot);
            EXPECT_EQ(l.Name(), u"옛 레이어");
            EXPECT_EQ(l.textScale, k.scale);
            EXPECT_EQ(l.textSettingB, k.b);
            EXPECT_EQ(l.textSettingC, k.c);
            EXPECT_EQ(l.effectParameter, k.effectParameter);
            EXPECT_EQ(l.reserved400[100], k.reserved);
            EXPECT_EQ(l.creationTag, -1);
            EXPECT_EQ(l.x, -1);
            EXPECT_EQ(l.y, 2);
            EXPECT_EQ(l.transparency, 40);
            EXPECT_EQ(l.blendMode, 3);
            const LayerPlanes& p = t.planesOf(slot);
            for (size_t i = 0; i < p.pixels.size(); ++i) ASSERT_EQ(p.pixels[i], PixelByte(slot, i));
            EXPECT_EQ(p.alpha.back(), uint8_t((p.alpha.size() - 1) * 7));
            EXPECT_EQ(p.effect.back(), uint8_t((p.effect.size() - 1) * 3 + 1));
            EXPECT_EQ(std::memcmp(&l, &doc.Snapshot().layer(slot), kLayerRecordBytes), 0);
            EXPECT_EQ(doc.Snapshot().planesOf(slot).alpha, p.alpha);
        }
        const Layer& text = t.layer(4);
        EXPECT_EQ(text.textLength, 3);
        EXPECT_EQ(t.planesOf(4).text, (std::vector<char16_t>{u'가', u'나', u'다', 0}));
        EXPECT_EQ(text.textX, 7);
        EXPECT_EQ(text.fontSize, 12);
        EXPECT_EQ(std::u16string(text.fontFace), u"굴림");
        EXPECT_EQ(text.textColour, 0x112233u);
        EXPECT_EQ(t.layer(0).textLength, 0);
        EXPECT_TRUE(t.planesOf(0).text.empty());
    }
}

TEST(VlrRead, LongTextsAreCutTo700AndTheNextLayerStillReads) {
    std::vector<HandLayer> layers = TwoLayers();
    std::swap(layers[0].slot, layers[1].slot);  // the text layer at the bottom in slot 4
    layers[0].kind = LayerKind::Text;
    layers[0].text.clear();
    for (int i = 0; i < 705; ++i) layers[0].text.push_back(char16_t(u'가' + i));
    layers[0].next = 0;
    layers[1] = HandLayer{0, LayerKind::Raster, 4, -1, 2, 2, {}, "12"};
    RecordingUserPort user;
    CBrevDoc doc(user);
    std::string error;
    ASSERT_TRUE(Read(doc, HandFile(41, layers, 848, 4), &error)) << error;
    const LayerPlanes& p = doc.Layers().planesOf(4);
    EXPECT_EQ(doc.Layers().layer(4).textLength, 700);
    ASSERT_EQ(p.text.size(), 701u);
    EXPECT_EQ(p.text[699], char16_t(u'가' + 699));
    EXPECT_EQ(p.text[700], 0);
    EXPECT_EQ(doc.Layers().planesOf(0).pixels[5], PixelByte(0, 5));
    EXPECT_EQ(doc.Layers().layer(0).textLength, 0)
        << "the entry line's length is not a raster layer's";
}

// A picture name or a record whose first byte is a digit continues the number before it.
TEST(VlrRead, NumbersFollowedByDigitBytesAreSplitWhereTheBlocksFit) {
    struct Case {
        std::u16string name;
        int current;
    };
    for (const Case& k : {Case{u"2024 여름", 3}, Case{u"2024 여름", 12}, Case{u"ㄱㄱ", 12},
                          Case{u"7", -1}, Case{u"0", 3}, Case{u"", 12}}) {
        SCOPED_TRACE(k.current);
        RecordingUserPort user;
        CBrevDoc doc(user);
        SetCanvas(doc, 9, 5);
        doc.Layers().header.SetName(k.name);
        std::mt19937 rng(8);
        AddLayer(doc, rng, 3, 0, 0, 9, 5);
        AddLayer(doc, rng, 12, 1, 1, 4, 4, LayerKind::Text);
        AddLayer(doc, rng, 1, 0, 0, 2, 3);
        SetText(doc, 12, u"1여름");
        Layer& text = doc.Layers().layer(12);
        text.used = '7';  // "\n 12 3" + "7..." reads "37..."
        Layer& raster = doc.Layers().layer(1);
        raster.used = '3';
        raster.textLength = 12;  // "\n 1 12" + "3..." reads "123..."
        doc.SetCurrentLayerIndex(k.current);
        const Bytes file = Write(doc);

        CBrevDoc back(user);
        std::string error;
        ASSERT_TRUE(Read(back, file, &error)) << error;
        const LayerTable& t = back.Layers();
        EXPECT_EQ(t.header.Name(), k.name);
        EXPECT_EQ(back.CurrentLayer(), k.current == -1 ? 3 : k.current);
        EXPECT_EQ(t.Order(), (std::vector<int>{3, 12, 1}));
        EXPECT_EQ(t.layer(12).textLength, 3);
        EXPECT_EQ(t.planesOf(12).text, doc.Layers().planesOf(12).text);
        EXPECT_EQ(t.layer(1).textLength, 12);
        EXPECT_EQ(t.layer(1).used, 1) << "listed layers are in use";
        for (int slot : {3, 12, 1})
            EXPECT_EQ(t.planesOf(slot).effect, doc.Layers().planesOf(slot).effect);
    }
}

TEST(VlrRead, EveryTruncationFailsAndLeavesNoLayers) {
    const Bytes file = HandFile(41, TwoLayers(), 848);
    for (size_t n = 0; n < file.size(); ++n) {
        RecordingUserPort user;
        CBrevDoc doc(user);
        std::string error;
        ASSERT_FALSE(Read(doc, Bytes(file.begin(), file.begin() + long(n)), &error)) << n;
        ASSERT_TRUE(Empty(doc)) << n;
        ASSERT_FALSE(error.empty());
        ASSERT_EQ(doc.Image().lastError[0], '\0');
        if (n >= 3) {  // "\\n4" alone would be a file of version 4
            ASSERT_TRUE(user.entries.empty()) << n;
        }
    }
    // A document that held layers keeps them when a file fails.
    RecordingUserPort user;
    CBrevDoc doc(user);
    ASSERT_TRUE(Read(doc, file));
    EXPECT_FALSE(Read(doc, Bytes(file.begin(), file.end() - 1)));
    EXPECT_EQ(doc.Layers().Order(), (std::vector<int>{0, 4}));
}

TEST(VlrRead, BrokenListsAndSizesAreRefused) {
    struct Case {
        const char* what;
        std::function<void(std::vector<HandLayer>&)> edit;
        int bottom = 0;
    };
    const Case cases[] = {
        {"outside 0..39", [](auto& l) { l[1].slot = 45, l[0].next = 45; }},
        {"outside 0..39", [](auto& l) { l[1].next = 40; }},
        {"outside 0..39", [](auto& l) { l[1].next = -2; }},
        {"loop", [](auto& l) { l[1].next = 0; }},
        {"loop", [](auto& l) { l[1].next = 4; }},
        {"stands where slot 4", [](auto& l) { l[1].slot = 5; }},
        {"links down", [](auto& l) { l[1].previous = 3; }},
        {"links down", [](auto& l) { l[0].previous = 4; }},
        {"size of 0x2", [](auto& l) { l[0].width = 0; }},
        {"size of 70000x70000", [](auto& l) { l[0].claimedWidth = l[0].claimedHeight = 70000; }},
        {"beyond any canvas", [](auto& l) { l[1].y = INT32_MIN; }},
        {"needs", [](auto& l) { l[1].lineTextLength = "9"; }},
        {"negative", [](auto& l) { l[1].lineTextLength = "-3"; }},
        {"bottom layer slot 50", [](auto&) {}, 50},
        {"stands where slot 4", [](auto&) {}, 4},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        auto layers = TwoLayers();
        k.edit(layers);
        RecordingUserPort user;
        CBrevDoc doc(user);
        std::string error;
        EXPECT_FALSE(Read(doc, HandFile(41, layers, 848, k.bottom), &error));
        EXPECT_NE(error.find(k.what), std::string::npos) << error;
        EXPECT_TRUE(Empty(doc));
        EXPECT_TRUE(user.entries.empty());
    }
}

TEST(VlrRead, UnknownVersionsAreRefusedWithTheMessage) {
    for (int version : {40, 42, 361, 31}) {
        RecordingUserPort user;
        CBrevDoc doc(user);
        EXPECT_FALSE(Read(doc, HandFile(version, TwoLayers(), 848)));
        ASSERT_EQ(user.texts(), std::vector<std::string>{"VLR 형식의 버전이 상이함"});
        EXPECT_TRUE(Empty(doc));
    }
    RecordingUserPort user;
    CBrevDoc doc(user);
    std::string error;
    EXPECT_FALSE(Read(doc, Bytes{'B', 'M', 0, 0}, &error));
    EXPECT_NE(error.find("not a VLR document"), std::string::npos);
    EXPECT_TRUE(user.entries.empty());
}

TEST(VlrPreview, ReadsTheFlatPictureOfAnyVersionFrom31) {
    for (int version : {31, 33, 36, 41, 500}) {
        VlrPreview p;
        std::string error;
        Bytes file = HandFile(version, {}, 0);
        MemoryStream in(file.data(), file.size());
        ASSERT_TRUE(ReadVlrPreview(in, p, &error)) << version << error;
        EXPECT_EQ(p.version, version);
        EXPECT_EQ(p.name, u"옛 그림");
        EXPECT_EQ(p.width, kW);
        EXPECT_EQ(p.height, kH);
        EXPECT_EQ(p.stride, 12u);
        EXPECT_EQ(p.flat, Bytes(12 * kH, 0x5A));
    }
    Bytes cut = HandFile(33, {}, 0);
    cut.pop_back();
    for (const Bytes& bad : {HandFile(30, {}, 0), cut}) {
        VlrPreview p;
        MemoryStream in(bad.data(), bad.size());
        EXPECT_FALSE(ReadVlrPreview(in, p));
        EXPECT_TRUE(p.flat.empty());
    }
}

}  // namespace
