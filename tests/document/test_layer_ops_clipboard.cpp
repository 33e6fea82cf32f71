// Copy, paste and duplicate through the clipboard port, new pictures from a layer or the
// selection, bitmaps that must be refused, and the rows of the layer window.
#include <cstring>

#include "LayerOpsTestDoc.h"
#include "document/LayerListRows.h"
#include "document/compositor/Compositor.h"
#include "image/RaViru.h"
#include "platform/ClipboardPort.h"

using namespace layer_ops_test;

namespace {

BitmapInfoHeader HeaderOf(const std::vector<uint8_t>& dib) {
    BitmapInfoHeader h;
    std::memcpy(&h, dib.data(), sizeof h);
    return h;
}

// A foreign 24-bit bitmap (no marker) of w × h with pixel (x, y) = (x, y, x + y).
std::vector<uint8_t> ForeignBitmap(int w, int h, int bits = 24) {
    RaViru image(w, h, bits, ImageKind::Jpeg);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixelColor(x, y, packBgr(uint8_t(x), uint8_t(y), uint8_t(x + y)));
    std::vector<uint8_t> dib = image.ToPackedDib(DibRect{0, 0, w - 1, h - 1});
    BitmapInfoHeader hd = HeaderOf(dib);
    hd.biXPelsPerMeter = 2835;  // an ordinary resolution, as other programs write
    std::memcpy(dib.data(), &hd, sizeof hd);
    return dib;
}

void SelectRect(CBrevDoc& doc, int left, int top, int right, int bottom) {
    LayerTable& t = doc.Layers();
    const Layer& l = t.layer(doc.CurrentLayer());
    t.mask.Reset(l.x, l.y, l.width, l.height, 0);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            t.mask.bytes[size_t(l.height - 1 - y) * size_t(l.width) + size_t(x)] = 1;
    doc.SetSelectionActive(true);
}

TEST(LayerCopy, AWholeLayerCarriesItsAlphaAndASelectionItsBox) {
    OpsDoc d(8, 6);
    MemoryClipboard clip;
    d.doc.SetCurrentLayerIndex(0);
    ASSERT_TRUE(CopyToClipboard(d.doc, clip));
    const std::vector<uint8_t> whole = *clip.packedDib();
    EXPECT_EQ(HeaderOf(whole).biXPelsPerMeter, -2);
    EXPECT_EQ(HeaderOf(whole).biBitCount, 32);
    EXPECT_EQ(whole[40 + 3], d.t().planesOf(0).alpha[0]);

    SelectRect(d.doc, 2, 1, 4, 3);  // 3 × 3 from the top-left (2, 1)
    ASSERT_TRUE(CopyToClipboard(d.doc, clip));
    const std::vector<uint8_t> area = *clip.packedDib();
    const BitmapInfoHeader h = HeaderOf(area);
    EXPECT_EQ(h.biXPelsPerMeter, -3);
    EXPECT_EQ(h.biWidth, 3);
    EXPECT_EQ(h.biHeight, 3);
    EXPECT_EQ(h.biBitCount, 24);
    // The area's bottom row is layer row 3 from the top, its first pixel column 2.
    const uint8_t* layerPixel = d.t().PixelRow(0, 6 - 1 - 3) + 2 * 3;
    EXPECT_EQ(std::vector<uint8_t>(area.begin() + 40, area.begin() + 43),
              std::vector<uint8_t>(layerPixel, layerPixel + 3));
}

TEST(LayerPaste, GoesOnTopWhateverTheCurrentLayerAndRecordsItsStep) {
    OpsDoc d(8, 6);
    const int a = d.addPainted(2);
    d.addPainted(3);
    d.doc.SetCurrentLayerIndex(a);
    MemoryClipboard clip;
    clip.setPackedDib(ForeignBitmap(5, 4));
    const int slot = PasteAsNewLayer(d.doc, clip);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(d.t().Top(), slot);
    EXPECT_EQ(d.doc.CurrentLayer(), slot);
    const Layer& l = d.t().layer(slot);
    EXPECT_EQ(l.width, 5);
    EXPECT_EQ(l.height, 4);
    EXPECT_EQ(l.background, 1);
    EXPECT_EQ(d.t().ColorAt(slot, 4, 2), packBgr(4, 2, 6));
    EXPECT_EQ(d.t().AlphaAt(slot, 4, 2), 255);  // foreign bitmaps are opaque
    EXPECT_EQ(d.j().Entry(d.j().StepIndex()).label, u"복사물 붙이기");
    EXPECT_TRUE(ListIsSound(d.t()));
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_FALSE(d.t().InList(slot));
}

TEST(LayerPaste, AMovedSelectionFloatsAboveTheCurrentLayerWithoutAStep) {
    OpsDoc d;
    const int a = d.addPainted(2);
    d.addPainted(3);
    d.doc.SetCurrentLayerIndex(a);
    d.doc.ViewShared().selectionMovePending = true;
    const int steps = d.j().StepIndex();
    const int slot = PastePackedDib(d.doc, ForeignBitmap(3, 3));
    ASSERT_GE(slot, 0);
    EXPECT_EQ(d.t().layer(a).next, slot);
    EXPECT_EQ(d.t().layer(slot).kind, LayerKind::Floating);
    EXPECT_EQ(d.t().layer(slot).creationTag, a);
    EXPECT_EQ(d.j().StepIndex(), steps);
    const std::vector<LayerRow> rows = LayerRows(d.doc);
    EXPECT_EQ(rows[2].label, u"[영역 이동 표시]");
    EXPECT_TRUE(rows[2].floating);
    EXPECT_TRUE(rows[1].highlighted);  // its source stands for it
    EXPECT_FALSE(rows[2].highlighted);

    ASSERT_TRUE(DropFloatingLayer(d.doc));
    EXPECT_FALSE(d.t().InList(slot));
    EXPECT_FALSE(d.doc.SelectionActive());
    EXPECT_FALSE(d.doc.ViewShared().selectionMovePending);
    EXPECT_EQ(d.j().Entry(d.j().StepIndex()).label, u"레이어병합");
    EXPECT_EQ(d.j().Entry(d.j().StepIndex() - 1).label, u"선택영역 위치이동");
    EXPECT_FALSE(DropFloatingLayer(d.doc));
}

TEST(LayerPaste, BadBitmapsChangeNothing) {
    OpsDoc d;
    const TableState before = capture(d.t());
    MemoryClipboard clip;
    EXPECT_EQ(PasteAsNewLayer(d.doc, clip), -1);  // empty clipboard
    std::vector<uint8_t> good = ForeignBitmap(4, 4);
    std::vector<std::vector<uint8_t>> bad;
    bad.emplace_back(good.begin(), good.end() - 5);     // cut short
    bad.emplace_back(good.begin(), good.begin() + 20);  // not even a header
    std::vector<uint8_t> huge = good;                   // sizes that cannot be
    BitmapInfoHeader h = HeaderOf(huge);
    h.biWidth = 0x7FFFFFFF;
    std::memcpy(huge.data(), &h, sizeof h);
    bad.push_back(huge);
    for (const auto& dib : bad) {
        clip.setPackedDib(dib);
        EXPECT_EQ(PasteAsNewLayer(d.doc, clip), -1);
    }
    EXPECT_TRUE(sameTable(before, d.t()));
    EXPECT_EQ(d.user.lastText(), "그림이 너무 커서 붙일 수 없습니다.");

    d.user.entries.clear();
    clip.setPackedDib(ForeignBitmap(4, 4, 8));  // a foreign 8-bit bitmap
    EXPECT_EQ(PasteAsNewLayer(d.doc, clip), -1);
    EXPECT_EQ(d.user.lastText(), "디스플레이 설정이 32비트 True Color 인지 확인 (현재 8 비트)");
    EXPECT_TRUE(sameTable(before, d.t()));
}

TEST(LayerPaste, SixteenThousandSquareIsAboveTheLimitAndSaysSo) {
    OpsDoc d;
    std::vector<uint8_t> dib = ForeignBitmap(2, 2);
    BitmapInfoHeader h = HeaderOf(dib);
    h.biWidth = 16385;
    h.biHeight = -16385;  // top-down: the height's sign must not hide the size
    std::memcpy(dib.data(), &h, sizeof h);
    EXPECT_EQ(PastePackedDib(d.doc, dib), -1);
    EXPECT_EQ(d.user.lastText(), "그림이 너무 커서 붙일 수 없습니다.");
}

TEST(LayerDuplicate, KeepsKindTextPlaceAndPixelsAndUsesTheClipboard) {
    OpsDoc d;
    const int a = d.addPainted(4);
    d.t().layer(a).x = 3;
    d.t().layer(a).y = -1;
    d.makeText(a, 7, 0xAA5500);
    d.doc.SetCurrentLayerIndex(a);
    MemoryClipboard clip;
    const int copy = DuplicateCurrentLayer(d.doc, clip);
    ASSERT_GE(copy, 0);
    EXPECT_TRUE(clip.hasBitmap());
    EXPECT_EQ(d.t().Top(), copy);
    const Layer& from = d.t().layer(a);
    const Layer& l = d.t().layer(copy);
    EXPECT_EQ(l.kind, LayerKind::Text);
    EXPECT_EQ(l.x, 3);
    EXPECT_EQ(l.y, -1);
    EXPECT_EQ(l.textColour, 0xAA5500u);
    EXPECT_EQ(l.textLength, from.textLength);
    EXPECT_EQ(journal_test::textOf(d.t().planesOf(copy), l.textLength),
              journal_test::textOf(d.t().planesOf(a), from.textLength));
    EXPECT_EQ(d.t().planesOf(copy).alpha, d.t().planesOf(a).alpha);
    EXPECT_EQ(LayerRows(d.doc).back().label,
              u"레이어 " + std::u16string(1, char16_t(u'0' + copy)) + u" [글]");

    d.doc.SetCurrentLayerIndex(0);
    const int raster = DuplicateCurrentLayer(d.doc, clip);
    ASSERT_GE(raster, 0);
    EXPECT_EQ(d.t().planesOf(raster).pixels, d.t().planesOf(0).pixels);
    EXPECT_EQ(d.t().planesOf(raster).alpha, d.t().planesOf(0).alpha);
}

TEST(LayerDuplicate, RefusedInAPalettePicture) {
    OpsDoc d;
    d.t().header.paletteSize = 16;
    d.t().palette.resize(16);
    const TableState before = capture(d.t());
    MemoryClipboard clip;
    EXPECT_EQ(DuplicateCurrentLayer(d.doc, clip), -1);
    EXPECT_EQ(d.user.lastText(), "RGB영상만 지원합니다.");
    EXPECT_TRUE(sameTable(before, d.t()));
}

TEST(NewPicture, FromTheCurrentLayerIsFlatAndNamedWithTheCopyNumber) {
    OpsDoc d(8, 6);
    d.t().header.SetName(u"바다");
    const int a = d.addPainted(9);
    d.doc.SetCurrentLayerIndex(a);
    journal_test::TempDir dir;
    RecordingUserPort user;
    CBrevDoc target(user, 2);
    target.Journal().SetFolder(dir.path);
    MemoryClipboard clip;
    ASSERT_TRUE(BuildDocumentFromLayer(d.doc, target, clip, 3));
    EXPECT_EQ(target.Layers().header.Name(), u"복사3_바다");
    EXPECT_EQ(target.Layers().Order(), std::vector<int>{0});
    EXPECT_EQ(target.Layers().header.canvasWidth, 8);
    EXPECT_EQ(target.Journal().StepIndex(), 0);
    EXPECT_EQ(target.Journal().Entry(0).label, u"Opening....");
    EXPECT_FALSE(target.Modified());
    EXPECT_EQ(target.Layers().planesOf(0).alpha, d.t().planesOf(a).alpha);
}

TEST(NewPicture, FromTheSelectionKeepsEveryRow) {
    OpsDoc d(10, 8);
    journal_test::TempDir dir;
    RecordingUserPort user;
    CBrevDoc target(user, 2);
    target.Journal().SetFolder(dir.path);
    MemoryClipboard clip;
    EXPECT_FALSE(BuildDocumentFromSelection(d.doc, target, clip));
    EXPECT_EQ(d.user.lastText(), "영역선택 후에 시도하십시요");
    SelectRect(d.doc, 1, 2, 6, 6);  // 6 × 5
    ASSERT_TRUE(BuildDocumentFromSelection(d.doc, target, clip));
    const LayerTable& t = target.Layers();
    EXPECT_EQ(t.header.canvasWidth, 6);
    EXPECT_EQ(t.header.canvasHeight, 5);
    EXPECT_EQ(t.header.Name(), u"이름없음");
    EXPECT_EQ(target.FileName(), u"이름없음");
    EXPECT_EQ(t.layer(0).kind, LayerKind::Picture);
    // The last row of the area is there: the area's top-left pixel is layer pixel (1, 2).
    EXPECT_EQ(t.ColorAt(0, 0, 4), d.t().ColorAt(0, 1, 8 - 1 - 2));
    EXPECT_EQ(t.ColorAt(0, 5, 0), d.t().ColorAt(0, 6, 8 - 1 - 6));
}

TEST(LayerRows, LabelsNumbersAndTheCanvasCaption) {
    OpsDoc d(12, 5);
    const int frame = d.addPainted(1), pattern = d.addPainted(2), text = d.addPainted(3),
              longName = d.addPainted(4);
    d.t().layer(frame).SetName(u"[ImgFrame]");
    d.t().layer(pattern).SetName(u"[LinePattern]");
    d.makeText(text, 5);
    d.t().layer(longName).SetName(u"가나다라마바사아");
    d.t().layer(longName).visible = 0;
    d.doc.SetCurrentLayerIndex(text);
    const std::vector<LayerRow> rows = LayerRows(d.doc);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].label, u"배경영상");
    EXPECT_TRUE(rows[0].background);
    EXPECT_EQ(rows[1].label, u"[액자틀]");
    EXPECT_EQ(rows[2].label, u"//빗살무뉘//");
    EXPECT_TRUE(rows[3].text);
    EXPECT_TRUE(rows[3].highlighted);
    EXPECT_EQ(rows[3].textStart, journal_test::textOf(d.t().planesOf(text), 5));
    EXPECT_EQ(rows[4].label, u"가나다라마바");
    EXPECT_FALSE(rows[4].visible);
    EXPECT_EQ(rows[4].number, 4);
    EXPECT_EQ(CanvasCaption(d.t()), u"(12 x 5)");
    EXPECT_EQ(BlendEntries()[size_t(BlendEntryIndex(BlendMode::Overlay))].name, u"오버레이혼합");
    EXPECT_EQ(BlendEntryIndex(BlendModeOf(1)), 0);
}

}  // namespace

namespace {

TEST(LayerThumbnail, TheLayerAloneWithItsTransparencyWhateverItsModeAndVisibility) {
    OpsDoc d(8, 4);
    const int a = d.addPainted(5);
    Layer& l = d.t().layer(a);
    l.transparency = 60;
    l.blendMode = 2;
    l.visible = 0;
    Image32 thumb;
    ComposeLayerThumbnail(d.t(), a, 8, thumb);  // 8 × 4 into 8 × 8: zoom 1, centred
    ASSERT_EQ(thumb.width, 8);
    ASSERT_EQ(thumb.height, 4);
    EXPECT_EQ(thumb.y, 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            const int row = 4 - 1 - y;  // storage rows are bottom-up
            const int R = d.t().AlphaAt(a, x, row);
            const float cover = (R == 255 ? 1.0f : R / 255.0f) * (255 - 60) / 255.0f;
            const uint8_t* px = thumb.Row(y) + x * 4;
            ASSERT_EQ(px[3], R);
            if (R) {
                ASSERT_EQ(px[0], uint8_t(cover * d.t().PixelRow(a, row)[x * 3]));
            }
        }
    // The picture stays right while its key holds; a recorded edit or a new transparency breaks it.
    const ThumbnailKey key = ThumbnailKeyOf(d.t(), a, 8);
    EXPECT_EQ(ThumbnailKeyOf(d.t(), a, 8), key);
    d.doc.RecordStep(u"채우기", StepKind::PixelEdit, a);
    EXPECT_NE(ThumbnailKeyOf(d.t(), a, 8), key);
    const ThumbnailKey edited = ThumbnailKeyOf(d.t(), a, 8);
    SetLayerTransparency(d.doc, a, 61);
    EXPECT_NE(ThumbnailKeyOf(d.t(), a, 8), edited);
}

}  // namespace

namespace {

TEST(LayerCopy, ThePictureAsSeenWithItsAlpha) {
    OpsDoc d(6, 4);
    const int a = d.addPainted(3);
    d.t().layer(a).blendMode = 6;
    MemoryClipboard clip;
    ASSERT_TRUE(CopyPictureToClipboard(d.doc, clip));
    const std::vector<uint8_t> dib = *clip.packedDib();
    EXPECT_EQ(HeaderOf(dib).biWidth, 6);
    EXPECT_EQ(HeaderOf(dib).biXPelsPerMeter, -2);
    const Image32 seen = Compositor::ComposeFull(d.t(), d.t().bottom, 0);
    EXPECT_EQ(std::vector<uint8_t>(dib.begin() + 40, dib.end()), seen.bytes);
}

}  // namespace
