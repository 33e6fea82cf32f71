// Text layers with the fixed rasterizer: the rules that turn settings into stored values, the
// key-colour method's alpha map, where the text goes and how the layer grows, editing with undo
// and redo, and text layers through a VLR file.
#include <gtest/gtest.h>

#include <filesystem>

#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/LayerOps.h"
#include "document/compositor/Compositor.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "platform/TextRasterizer.h"
#include "tests/support/TempDir.h"
#include "view/tools/TextLayer.h"

using namespace quillet;

namespace {

struct TextDoc {
    testsupport::TempDir dir{"quillet_text"};
    RecordingUserPort user;
    CBrevDoc doc{user};
    FixedTextRasterizer fixed;

    explicit TextDoc(int w = 100, int h = 60) {
        doc.Journal().SetFolder(dir.path().string() + '/');
        RaViru image(w, h, 24, ImageKind::Bmp);
        const std::string file = (dir.path() / "p.bmp").string();
        EXPECT_TRUE(image.WriteFile(file, ImageKind::Bmp));
        EXPECT_TRUE(OpenDocument(doc, file));
    }
    const Layer& layer(int slot) { return doc.Layers().layer(slot); }
    // Alpha at (x, y) of the layer, y counted from the top.
    int alphaAt(int slot, int x, int y) {
        return doc.Layers().AlphaAt(slot, x, layer(slot).height - 1 - y);
    }
};

TextSettings Settings(int size = 40, uint32_t colour = 0x102030) {
    TextSettings s;
    s.face = u"NanumGothic";
    s.size = size;
    s.colour = colour;
    return s;
}

TEST(TextRules, StoredValuesLinesPitchAndContrast) {
    EXPECT_EQ(CutText(std::u16string(400, u'가')).size(), 350u);
    EXPECT_EQ(StoredTextSize(2), 4);
    EXPECT_EQ(StoredTextSize(600), 1000);
    EXPECT_EQ(StoredTextSize(12), 24);
    EXPECT_EQ(TextLineCount(u"하나\n둘\n"), 2);  // three lines, the last one empty
    EXPECT_EQ(TextLineCount(u"하나\n둘\n셋"), 3);
    EXPECT_EQ(TextLineCount(u"\n"), 1);
    EXPECT_EQ(TextLines(u"a\r\nb\n").size(), 2u);
    EXPECT_EQ(TextLinePitch(40, 20, 0.3), TextLinePitch(40, 20, 0.5));
    EXPECT_EQ(TextLinePitch(40, 20, 0.3), 10);
    EXPECT_EQ(TextLinePitch(40, 21, 1.5), 31);
    EXPECT_EQ(TextLinePitch(17, 34, 1.0), 17);  // small sizes shrink the letter height first
    // White text: V = 145; black: V = 255, against the key 0x37, 0x37, 0x32.
    EXPECT_EQ(TextContrastScale(0xFFFFFF), int(145 / 255.0 * (200 + 200 + 205)));
    EXPECT_EQ(TextContrastScale(0x000000), 55 + 55 + 50);
    EXPECT_EQ(TextContrastScale(kTextKeyColour), 0);
}

TEST(TextRules, SettingsRoundTripThroughTheRecord) {
    TextSettings s = Settings(88, 0xABCDEF);
    s.face = u"가나다라마바사아자차카타파하가나다라마바사아자차카타";  // longer than fits
    s.bold = s.underline = true;
    s.lineSpacing = 1.7;
    s.widthRatio = 60;
    s.align = TextAlign::Right;
    Layer l{};
    StoreTextSettings(l, s);
    const TextSettings back = TextSettingsOf(l);
    EXPECT_EQ(back.face, s.face.substr(0, 24));
    TextSettings want = s;
    want.face = back.face;
    EXPECT_EQ(back, want);
}

TEST(TextLine, TheKeyColourMethodLeavesExactlyTheGlyphs) {
    FixedTextRasterizer fixed;
    const TextSettings s = Settings(40);
    const LineAlpha line = RasterizeTextLine(fixed, u"AB", s);
    ASSERT_EQ(line.width, 40);  // two cells of 20 × 40
    ASSERT_EQ(line.height, 40);
    // Drawn again without a background: the glyph pixels are the text colour.
    std::vector<uint8_t> ink(size_t(40 * 40 * 4), 0);
    fixed.draw(u"AB", FontSpec{s.face, 40}, 0x102030, -1, Buffer32{ink.data(), 40, 40, 160}, 0, 0);
    for (int i = 0; i < 40 * 40; ++i) ASSERT_EQ(line.alpha[size_t(i)], ink[size_t(i) * 4 + 3]);

    TextSettings narrow = s;
    narrow.widthRatio = 50;  // columns squeezed to half
    EXPECT_EQ(RasterizeTextLine(fixed, u"AB", narrow).width, 20);
    // Small sizes are drawn at 34 and sampled down.
    const LineAlpha small = RasterizeTextLine(fixed, u"AB", Settings(17));
    EXPECT_EQ(small.height, 17);
    EXPECT_EQ(small.width, 17);
}

TEST(TextLayerBuild, OriginGrowthAndTheAlphaMap) {
    TextDoc d(100, 200);
    const TextSettings s = Settings(40);
    const int slot = AddTextLayer(d.doc, d.fixed, u"가나\n다", s, 5, 3);
    ASSERT_GE(slot, 0);
    const Layer& l = d.layer(slot);
    EXPECT_EQ(l.kind, LayerKind::Text);
    EXPECT_EQ(d.doc.Layers().layer(0).next, slot);  // directly above the picture
    EXPECT_EQ(l.textX, 5);
    EXPECT_EQ(l.textY, 3);
    EXPECT_EQ(l.textLength, 4);
    EXPECT_EQ(l.fontSize, 40);
    EXPECT_EQ(l.textColour, 0x102030u);
    EXPECT_EQ(l.width, 100);  // 5 + 40 × 1.5 fits the canvas
    EXPECT_EQ(d.doc.Journal().Entry(d.doc.Journal().StepIndex()).label, u"글자입력");
    // The first line's alpha is the glyph cells at the origin; the second line one pitch lower.
    const LineAlpha first = RasterizeTextLine(d.fixed, u"가나", s);
    for (int y = 0; y < first.height; ++y)
        for (int x = 0; x < first.width; ++x)
            ASSERT_EQ(d.alphaAt(slot, 5 + x, 3 + y), first.alpha[size_t(y * first.width + x)]);
    const int pitch = TextLinePitch(40, 40, 1.0);  // the height of "A": one cell
    const LineAlpha second = RasterizeTextLine(d.fixed, u"다", s);
    for (int y = 0; y < second.height; ++y)
        for (int x = 0; x < second.width; ++x)
            ASSERT_EQ(d.alphaAt(slot, 5 + x, 3 + pitch + y),
                      second.alpha[size_t(y * second.width + x)]);
    EXPECT_EQ(d.alphaAt(slot, 4, 3), 0);  // nothing left of the origin

    // A wide text grows the layer: origin x + width × 1.5.
    const int wide = AddTextLayer(d.doc, d.fixed, std::u16string(12, u'W'), s, 10, 0);
    EXPECT_EQ(d.layer(wide).width, 10 + 240 * 3 / 2);
    // Near the bottom the block moves up to fit; beyond the layer it starts at the corner.
    const int low = AddTextLayer(d.doc, d.fixed, u"a\nb", s, 0, 190);
    EXPECT_EQ(d.layer(low).textY, 200 - 2 * pitch);
    const int far = AddTextLayer(d.doc, d.fixed, u"a", s, 300, 10);
    EXPECT_EQ(d.layer(far).textX, 0);
    EXPECT_EQ(d.layer(far).textY, 0);
    EXPECT_EQ(AddTextLayer(d.doc, d.fixed, u"", s, 0, 0), -1);  // empty text: nothing
}

TEST(TextLayerBuild, EditUndoRedoAndRasterize) {
    TextDoc d;
    const TextSettings s = Settings(24);
    const int slot = AddTextLayer(d.doc, d.fixed, u"하나", s, 2, 2);
    const std::vector<uint8_t> first = d.doc.Layers().planesOf(slot).alpha;
    TextSettings bigger = s;
    bigger.size = 48;
    bigger.colour = 0xFF0000;
    ASSERT_TRUE(EditTextLayer(d.doc, d.fixed, slot, u"하나둘셋", bigger));
    EXPECT_EQ(TextOf(d.layer(slot), d.doc.Layers().planesOf(slot)), u"하나둘셋");
    EXPECT_EQ(d.layer(slot).textX, 2);
    EXPECT_EQ(d.doc.Journal().Entry(d.doc.Journal().StepIndex()).label, u"글자수정");
    const std::vector<uint8_t> edited = d.doc.Layers().planesOf(slot).alpha;
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_EQ(d.doc.Layers().planesOf(slot).alpha, first);
    EXPECT_EQ(TextSettingsOf(d.layer(slot)), s);
    ASSERT_TRUE(d.doc.Redo());
    EXPECT_EQ(d.doc.Layers().planesOf(slot).alpha, edited);
    ASSERT_TRUE(d.doc.Undo());
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_FALSE(d.doc.Layers().InList(slot));  // undoing the new text takes the layer away
    ASSERT_TRUE(d.doc.Redo());
    EXPECT_TRUE(d.doc.Layers().InList(slot));
    EXPECT_FALSE(EditTextLayer(d.doc, d.fixed, 0, u"x", s));  // not a text layer
}

TEST(TextLayerBuild, SurvivesAVlrFileWithTextAndSettings) {
    TextDoc d;
    TextSettings s = Settings(30, 0x00AA00);
    s.italic = true;
    s.lineSpacing = 1.2;
    s.align = TextAlign::Centre;
    const int slot = AddTextLayer(d.doc, d.fixed, u"첫 줄\n둘째 줄", s, 7, 9);
    const std::string file = (d.dir.path() / "text.vlr").string();
    ASSERT_TRUE(SaveDocument(d.doc, file));
    RecordingUserPort user;
    CBrevDoc back(user);
    ASSERT_TRUE(OpenDocument(back, file));
    const Layer& l = back.Layers().layer(slot);
    EXPECT_EQ(l.kind, LayerKind::Text);
    EXPECT_EQ(TextOf(l, back.Layers().planesOf(slot)), u"첫 줄\n둘째 줄");
    EXPECT_EQ(TextSettingsOf(l), s);
    EXPECT_EQ(l.textX, 7);
    EXPECT_EQ(back.Layers().planesOf(slot).alpha, d.doc.Layers().planesOf(slot).alpha);
    // Saved flat, the text is composed into the picture.
    EXPECT_EQ(Compositor::ComposeFull(back.Layers(), back.Layers().bottom, 0).bytes,
              Compositor::ComposeFull(d.doc.Layers(), d.doc.Layers().bottom, 0).bytes);
}

}  // namespace
