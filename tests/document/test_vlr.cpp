// VLR writing: the exact bytes of a file, round trips of many-layer documents, the flat block
// against the compositor, and what a save leaves behind.
#include <gtest/gtest.h>

#include <functional>

#include "document/compositor/Compositor.h"
#include "platform/RecordingUserPort.h"
#include "tests/document/VlrTestDocs.h"
#include "tests/support/TempDir.h"

using namespace quillet;
using namespace quillet::vlrtest;
using testsupport::entriesIn;
using testsupport::readFile;

namespace {

// The document read back holds the same picture: header, list, records (create layer resets the
// background flag and the creation tag), planes and texts, and the snapshot equals it.
void ExpectSameDocument(const CBrevDoc& a, const CBrevDoc& b) {
    const LayerTable &ta = a.Layers(), &tb = b.Layers();
    EXPECT_EQ(std::memcmp(&ta.header, &tb.header, offsetof(PictureHeader, workingCopySize)), 0);
    EXPECT_EQ(tb.bottom, ta.bottom);
    EXPECT_EQ(tb.Order(), ta.Order());
    EXPECT_EQ(tb.Count(), ta.Count());
    EXPECT_EQ(b.Snapshot().bottom, ta.bottom);
    for (int slot : ta.Order()) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        Layer expected = ta.layer(slot);
        expected.background = 0;
        expected.creationTag = -1;
        EXPECT_EQ(std::memcmp(&expected, &tb.layer(slot), kLayerRecordBytes), 0);
        EXPECT_EQ(std::memcmp(&tb.layer(slot), &b.Snapshot().layer(slot), kLayerRecordBytes), 0);
        const LayerPlanes &pa = ta.planesOf(slot), &pb = tb.planesOf(slot);
        EXPECT_EQ(pb.pixels, pa.pixels);
        EXPECT_EQ(pb.alpha, pa.alpha);
        EXPECT_EQ(pb.effect, pa.effect);
        EXPECT_EQ(b.Snapshot().planesOf(slot).pixels, pa.pixels);
        EXPECT_EQ(b.Snapshot().planesOf(slot).effect, pa.effect);
        if (ta.layer(slot).IsText()) {
            EXPECT_EQ(pb.text, pa.text);
            EXPECT_EQ(b.Snapshot().planesOf(slot).text, pa.text);
        } else {
            EXPECT_TRUE(pb.text.empty());
        }
    }
    for (int i = 0; i < kLayerSlots; ++i)
        if (!ta.InList(i)) {
            EXPECT_EQ(tb.layer(i).used, 0) << i;
        }
}

// A varied stack: scattered slots, text, hidden layers, every blend mode, effects, layers
// smaller, larger and off the canvas.
void BuildVariedStack(CBrevDoc& doc, std::mt19937& rng) {
    const int W = doc.Layers().header.canvasWidth, H = doc.Layers().header.canvasHeight;
    struct LayerShape {
        int slot, x, y, w, h;
        uint8_t kind;
    };
    const LayerShape shapes[] = {{7, 0, 0, W, H, LayerKind::Picture},
                                 {0, 3, 2, 5, 4, LayerKind::Raster},
                                 {39, -4, -3, W + 9, H + 7, LayerKind::Raster},
                                 {12, 2, 1, 11, 3, LayerKind::Text},
                                 {3, -200, 50, 6, 6, LayerKind::Raster},
                                 {21, W - 1, H - 1, 1, 1, LayerKind::Floating},
                                 {5, 1, 1, 13, 9, LayerKind::Text},
                                 {30, 9, -2, 4, 17, LayerKind::Raster},
                                 {16, 0, 0, W, H, LayerKind::Raster},
                                 {2, W + 40, H + 40, 3, 2, LayerKind::Raster},
                                 {33, -1, 0, 2, H, LayerKind::Raster}};
    int n = 0;
    for (const LayerShape& s : shapes) {
        AddLayer(doc, rng, s.slot, s.x, s.y, s.w, s.h, s.kind);
        Layer& l = doc.Layers().layer(s.slot);
        l.SetName(u"레이어 " + std::u16string(1, char16_t(u'0' + n)));
        l.blendMode = uint8_t(n % 10);
        l.transparency = uint8_t(n * 23);
        l.visible = n % 4 == 3 ? 0 : n % 5 == 4 ? 2 : 1;
        l.effectValue1 = uint8_t(n & 1);
        l.effectValue2 = uint8_t(n * 3);
        l.SetEffectColour(0x00102030u * uint32_t(n));
        l.effectValue3 = uint8_t(n + 1);
        l.textColour = 0x00A0B0C0u + uint32_t(n);
        l.effectParameter = n * 1000 - 3;
        l.reserved400[n] = uint8_t(0xA5);
        l.textScale = 10;
        l.textSettingB = 100;
        ++n;
    }
    SetText(doc, 12, u"2024 여름 바다");
    SetText(doc, 5, u"");
    Layer& text = doc.Layers().layer(12);
    text.textX = 4;
    text.textY = -2;
    text.fontSize = 17;
    std::memcpy(text.fontFace, u"굴림", 6);
    doc.Layers().layer(16).textLength = 9;  // a raster layer carries no text whatever this says
    doc.SetCurrentLayerIndex(21);
}

TEST(VlrWrite, OneLayerFileIsExactlyTheLayout) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    SetCanvas(doc, 3, 2);
    std::mt19937 rng(1);
    AddLayer(doc, rng, 0, 0, 0, 3, 2, LayerKind::Picture);
    LayerTable& t = doc.Layers();
    t.header.SetName(u"2024 여름");  // a digit right after the current layer index
    t.header.imageKind = 1;
    t.layer(0).SetName(u"배경영상");
    t.planesOf(0).alpha.assign(6, 255);
    doc.SetCurrentLayerIndex(0);
    const Bytes file = Write(doc);

    Bytes want;
    Append(want, std::string("\n41 0 0"));
    uint8_t header[256] = {};
    PutName(header, u"2024 여름");
    writeI32LE(header + 200, 2);
    writeI32LE(header + 204, 3);
    header[216] = 1;
    writeI32LE(header + 224, 24);
    writeI32LE(header + 228, 24);  // stride 12 × 2 rows
    writeI32LE(header + 232, 6);
    std::memcpy(header + 236, reinterpret_cast<const uint8_t*>(&t.header) + 236, 20);
    Append(want, header, 256);
    const Bytes& px = t.planesOf(0).pixels;
    for (int row = 0; row < 2; ++row) {  // opaque bottom layer: its colours, padding 255
        Append(want, px.data() + row * 12, 9);
        Append(want, Bytes(3, 255));
    }
    Append(want, std::string("\n 0 0"));
    uint8_t record[848] = {};
    writeI32LE(record + 0, 1);
    PutName(record + 8, u"배경영상");
    record[208] = 1;
    writeI16LE(record + 210, -1);
    writeI16LE(record + 212, -1);
    writeI16LE(record + 214, -1);
    writeI32LE(record + 236, 1);
    writeI32LE(record + 248, 2);
    writeI32LE(record + 252, 3);
    writeI32LE(record + 256, 6);
    writeI32LE(record + 260, 24);
    writeI32LE(record + 264, 12);
    Append(want, record, 848);
    Append(want, px);
    Append(want, t.planesOf(0).alpha);
    Append(want, t.planesOf(0).effect);
    EXPECT_EQ(file, want);

    CBrevDoc back(user);
    ASSERT_TRUE(Read(back, file));
    EXPECT_EQ(back.Layers().header.Name(), u"2024 여름");
    ExpectSameDocument(doc, back);
}

TEST(VlrWrite, TextFollowsOnlyTextLayersAndHiddenLayersStayOutOfTheFlatBlock) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    SetCanvas(doc, 4, 2);
    std::mt19937 rng(2);
    AddLayer(doc, rng, 0, 0, 0, 4, 2);
    AddLayer(doc, rng, 6, 0, 0, 4, 2);                   // hidden, opaque
    AddLayer(doc, rng, 2, 1, 0, 2, 1, LayerKind::Text);  // text after the effect plane
    AddLayer(doc, rng, 9, 0, 0, 1, 1);                   // raster with a text length of 5
    LayerTable& t = doc.Layers();
    t.planesOf(0).alpha.assign(8, 255);
    t.layer(6).visible = 0;
    t.planesOf(6).alpha.assign(8, 255);
    t.layer(2).visible = 0;
    t.layer(9).visible = 0;
    t.layer(9).textLength = 5;
    SetText(doc, 2, u"가b");
    doc.SetCurrentLayerIndex(0);
    const Bytes file = Write(doc);

    const size_t flatAt = 7 + 256;
    for (int row = 0; row < 2; ++row)
        EXPECT_TRUE(std::equal(file.begin() + flatAt + row * 12,
                               file.begin() + flatAt + row * 12 + 12,
                               t.planesOf(0).pixels.begin() + row * 12))
            << "only the bottom layer shows";
    size_t at = flatAt + 24;
    for (int slot : {0, 6, 2, 9}) {
        const Layer& l = t.layer(slot);
        const std::string line = "\n " + std::to_string(slot) + " " + std::to_string(l.textLength);
        ASSERT_EQ(std::string(file.begin() + at, file.begin() + at + line.size()), line);
        at += line.size() + 848 + l.pixelSize + 2 * l.planeSize;
        if (slot == 2) {
            EXPECT_EQ(readU16LE(&file[at]), u'가');
            EXPECT_EQ(readU16LE(&file[at + 2]), u'b');
            at += 4;
        }
    }
    EXPECT_EQ(at, file.size()) << "nothing follows the top layer";
}

TEST(VlrRoundTrip, ManyLayersComeBackExactlyAndRewriteTheSameBytes) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    SetCanvas(doc, 37, 23);
    doc.Layers().header.SetName(u"ㄱ1 가족");  // U+3131: two digit bytes after the index
    std::mt19937 rng(3);
    BuildVariedStack(doc, rng);
    doc.Layers().header.workingCopySize = 0;
    const Bytes file = Write(doc);

    CBrevDoc back(user);
    std::string error;
    ASSERT_TRUE(Read(back, file, &error)) << error;
    EXPECT_TRUE(user.entries.empty());
    ExpectSameDocument(doc, back);
    EXPECT_EQ(back.CurrentLayer(), 21);
    EXPECT_EQ(back.Layers().header.Name(), u"ㄱ1 가족");
    back.Layers().header.workingCopySize = 0;
    EXPECT_EQ(Write(back), file);
}

TEST(VlrRoundTrip, BackgroundFlagAndCreationTagAreResetAsCreateLayerDoes) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    SetCanvas(doc, 5, 5);
    std::mt19937 rng(4);
    AddLayer(doc, rng, 0, 0, 0, 5, 5, LayerKind::Picture);
    AddLayer(doc, rng, 1, 1, 1, 2, 2, LayerKind::Floating);
    doc.Layers().layer(0).background = 1;
    doc.Layers().layer(1).creationTag = 0;
    CBrevDoc back(user);
    ASSERT_TRUE(Read(back, Write(doc)));
    EXPECT_EQ(back.Layers().layer(0).background, 0);
    EXPECT_EQ(back.Layers().layer(1).creationTag, -1);
    ExpectSameDocument(doc, back);
}

// The flat block of 24- and 8-bit pictures from the compositor, converted the obvious way.
TEST(VlrFlatBlock, MatchesTheCompositionInThePicturesFormat) {
    for (int bits : {24, 8, 4}) {
        SCOPED_TRACE(bits);
        RecordingUserPort user;
        CBrevDoc doc(user);
        SetCanvas(doc, 19, 7, bits, bits == 24 ? 0 : 1 << bits);
        LayerTable& t = doc.Layers();
        std::mt19937 rng(5);
        for (auto& q : t.palette = std::vector<Rgbquad>(size_t(t.header.paletteSize)))
            q = Rgbquad{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
        BuildVariedStack(doc, rng);
        t.header.RecomputeCanvasSizes();
        const Bytes file = Write(doc);

        const Image32 full = Compositor::ComposeFull(t, t.bottom, 0);
        const size_t stride = StrideFor(bits, 19);
        const uint8_t* flat = file.data() + std::string("\n41 7 21").size() + 256;
        for (int row = 0; row < 7; ++row)
            for (size_t i = 0; i < stride; ++i) {
                int want = 255;  // padding, and every byte of a 4-bit picture
                if (bits == 24 && i < 19 * 3) want = full.Row(row)[(i / 3) * 4 + i % 3];
                if (bits == 8 && i < 19) {
                    const uint8_t* px = full.Row(row) + i * 4;
                    int best = 0, bestD = 1 << 30;
                    for (int k = 0; k < 256; ++k) {
                        const Rgbquad& q = t.palette[size_t(k)];
                        const int d = (q.blue - px[0]) * (q.blue - px[0]) +
                                      (q.green - px[1]) * (q.green - px[1]) +
                                      (q.red - px[2]) * (q.red - px[2]);
                        if (d < bestD) bestD = d, best = k;
                    }
                    want = best;
                }
                ASSERT_EQ(flat[row * stride + i], want) << "row " << row << " byte " << i;
            }

        // Palette pictures come back with their indices; the file keeps no palette.
        CBrevDoc back(user);
        ASSERT_TRUE(Read(back, file));
        ExpectSameDocument(doc, back);
        EXPECT_EQ(back.Layers().palette.size(), size_t(t.header.paletteSize));
    }
}

TEST(VlrSave, LeavesLayersAndSelectionAloneAndClearsTheModifiedFlag) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    SetCanvas(doc, 30, 20);
    std::mt19937 rng(6);
    BuildVariedStack(doc, rng);
    doc.SetSelectionActive(true);
    doc.Layers().mask.Reset(3, 4, 5, 6, 7);
    doc.SetModified(true);
    const auto before = doc.Layers().layers;
    const auto maskBefore = doc.Layers().mask.bytes;

    const testsupport::TempDir temp("quillet-vlr");
    const std::string folder = temp.path().string();
    const std::string path = folder + "/그림 1.vlr";
    const Status saved = VlrWriter(doc).Save(path);
    ASSERT_TRUE(saved) << saved.message();
    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(doc.SelectionActive());
    EXPECT_EQ(doc.Layers().mask.bytes, maskBefore);
    EXPECT_EQ(doc.Layers().mask.x, 3);
    EXPECT_EQ(std::memcmp(before.data(), doc.Layers().layers.data(), sizeof(Layer) * kLayerSlots),
              0);
    EXPECT_EQ(entriesIn(folder), 1u) << "no temporary file is left";

    CBrevDoc back(user);
    const Status opened = VlrReader(back).Open(path);
    ASSERT_TRUE(opened) << opened.message();
    ExpectSameDocument(doc, back);

    VlrPreview preview;
    ASSERT_TRUE(ReadVlrPreview(path, preview));
    EXPECT_EQ(preview.version, 41);
    EXPECT_EQ(preview.width, 30);
    EXPECT_EQ(preview.height, 20);
    EXPECT_EQ(preview.stride, 92u);
    const Bytes file = readFile(path);
    EXPECT_TRUE(std::equal(preview.flat.begin(), preview.flat.end(), file.begin() + 8 + 256));
}

TEST(VlrSave, AFailedSaveLeavesTheOldFileUntouched) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    SetCanvas(doc, 6, 6);
    std::mt19937 rng(7);
    AddLayer(doc, rng, 0, 0, 0, 6, 6);
    AddLayer(doc, rng, 1, 0, 0, 6, 6);
    const testsupport::TempDir temp("quillet-vlr");
    const std::string folder = temp.path().string();
    const std::string path = folder + "/a.vlr";
    ASSERT_TRUE(VlrWriter(doc).Save(path));
    const Bytes old = readFile(path);
    doc.SetModified(true);

    struct Break {
        const char* what;
        std::function<void(LayerTable&)> apply, undo;
    };
    const Break breaks[] = {
        {"outside", [](LayerTable& t) { t.layer(1).next = 40; },
         [](LayerTable& t) { t.layer(1).next = -1; }},
        {"loops", [](LayerTable& t) { t.layer(1).next = 0; },
         [](LayerTable& t) { t.layer(1).next = -1; }},
        {"do not match", [](LayerTable& t) { t.planesOf(1).alpha.pop_back(); },
         [](LayerTable& t) { t.planesOf(1).alpha.push_back(0); }},
        {"beyond any canvas", [](LayerTable& t) { t.layer(1).x = INT32_MAX; },
         [](LayerTable& t) { t.layer(1).x = 0; }},
        {"do not match", [](LayerTable& t) { t.layer(0).stride = 24; },
         [](LayerTable& t) { t.layer(0).stride = 20; }},
    };
    for (const Break& b : breaks) {
        b.apply(doc.Layers());
        const Status saved = VlrWriter(doc).Save(path);
        EXPECT_FALSE(saved);
        EXPECT_NE(saved.message().find(b.what), std::string::npos) << saved.message();
        // The reason travels in the status: the document's image object is not a message slot.
        EXPECT_EQ(doc.Image().lastError[0], '\0');
        EXPECT_EQ(readFile(path), old);
        EXPECT_EQ(entriesIn(folder), 1u);
        EXPECT_TRUE(doc.Modified());
        b.undo(doc.Layers());
    }
    EXPECT_FALSE(VlrWriter(doc).Save(folder + "/missing/b.vlr"));
}

}  // namespace
