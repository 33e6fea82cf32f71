// Opening, new pictures and saving, headlessly through the document functions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/journal/UndoStore.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/LayerBuilders.h"
#include "tests/support/TempDir.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

class OpenSave : public testsupport::TempDirTest {
protected:
    // An 8-bit picture of 256 distinct colours, 16 x 16, written by the GIF codec.
    std::string gif256() {
        RaViru img(16, 16, 8, ImageKind::Gif);
        for (int i = 0; i < 256; ++i)
            img.SetPaletteEntry(i, uint8_t(i), uint8_t(255 - i), uint8_t(i * 7));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) img.Row(y)[x] = uint8_t(y * 16 + x);
        const std::string p = path("colours.gif");
        EXPECT_TRUE(img.WriteFile(p, ImageKind::Gif)) << img.lastError;
        return p;
    }

    RecordingUserPort user_;
};

using testsupport::readText;

}  // namespace

TEST(FileKinds, ExtensionTableIsCaseBlind) {
    EXPECT_EQ(FileKindOfPath("/a/B.JPG"), FileKind::Jpeg);
    EXPECT_EQ(FileKindOfPath("x.jpeg"), FileKind::Jpeg);
    EXPECT_EQ(FileKindOfPath("x.Tiff"), FileKind::Tiff);
    EXPECT_EQ(FileKindOfPath("x.vlr"), FileKind::Vlr);
    EXPECT_EQ(FileKindOfPath("x.sco"), FileKind::Sco);
    EXPECT_EQ(FileKindOfPath("x.png"), FileKind::None);
    EXPECT_EQ(FileKindOfPath("noextension"), FileKind::None);
    EXPECT_EQ(FileKindOfPath("dir.gif/file"), FileKind::None);  // a dot in a folder is no extension
    EXPECT_FALSE(KindWritable(FileKind::Pcx));
    EXPECT_FALSE(KindWritable(FileKind::Sco));
}

TEST(SaveNames, ProposedAndCompletedNames) {
    EXPECT_EQ(ProposedSaveName(u"", u"a/b", FileKind::Bmp), u"UntitledImage.bmp");
    EXPECT_EQ(ProposedSaveName(u"", u"50%", FileKind::Gif), u"UntitledImage.gif");
    EXPECT_EQ(ProposedSaveName(u"", u"sea", FileKind::Jpeg), u"sea.jpg");
    EXPECT_EQ(ProposedSaveName(u"/p/sea.tif", u"sea", FileKind::Tiff), u"/p/sea.tif");
    // A PCX document proposes a name that can be written.
    EXPECT_EQ(ProposedSaveName(u"/p/old.pcx", u"old", FileKind::Pcx), u"old.bmp");
    EXPECT_EQ(CompleteSaveName(u"picture", FileKind::Jpeg), u"picture.jpg");
    EXPECT_EQ(CompleteSaveName(u"pic.jpeg", FileKind::Jpeg), u"pic.jpeg");
    EXPECT_EQ(CompleteSaveName(u"a.b.cdefg", FileKind::Gif), u"a.b.cdefg.gif");
}

TEST_F(OpenSave, Gif256BecomesTrueColourPictureLayer) {
    const std::string p = gif256();
    CBrevDoc doc(user_);
    ASSERT_TRUE(OpenDocument(doc, p));
    const LayerTable& t = doc.Layers();
    EXPECT_EQ(t.header.bitsPerPixel, 24);
    EXPECT_EQ(t.header.paletteSize, 0);
    ASSERT_EQ(t.Count(), 1);
    EXPECT_EQ(t.bottom, 0);
    EXPECT_EQ(doc.CurrentLayer(), 0);
    const Layer& l = t.layer(0);
    EXPECT_EQ(l.Name(), u"배경영상");
    EXPECT_EQ(l.kind, LayerKind::Picture);
    EXPECT_EQ(l.background, 1);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int i = y * 16 + x;
            ASSERT_EQ(t.ColorAt(0, x, y),
                      uint32_t(i) << 16 | uint32_t(255 - i) << 8 | uint32_t(uint8_t(i * 7)));
            ASSERT_EQ(t.AlphaAt(0, x, y), 255);
        }
    EXPECT_EQ(doc.Journal().StepIndex(), 0);
    EXPECT_EQ(doc.Journal().Entry(0).label, u"Opening....");
    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(user_.entries.empty());
    // The file name is the picture name, which was the path.
    EXPECT_EQ(doc.FileName(), std::u16string(p.begin(), p.end()));
}

TEST_F(OpenSave, UpperCaseExtensionAndUnreadableFile) {
    const std::string gif = gif256();
    const std::string upper = path("COPY.GIF");
    fs::copy_file(gif, upper);
    CBrevDoc doc(user_);
    EXPECT_TRUE(OpenDocument(doc, upper));

    std::ofstream(path("broken.jpg")) << "not a picture";
    CBrevDoc bad(user_);
    const Status opened = OpenDocument(bad, path("broken.jpg"));
    EXPECT_FALSE(opened);
    EXPECT_EQ(user_.lastText(), "해당 파일을 열 수 없습니다.");
    EXPECT_FALSE(opened.message().empty());
    EXPECT_FALSE(bad.Image().HasBlock());
    EXPECT_EQ(bad.Layers().Count(), 0);

    // The image core reads nothing for "sco": the same message.
    std::ofstream(path("x.sco")) << "whatever";
    CBrevDoc sco(user_);
    EXPECT_FALSE(OpenDocument(sco, path("x.sco")));
    EXPECT_EQ(user_.lastText(), "해당 파일을 열 수 없습니다.");
}

TEST_F(OpenSave, LongFolderIsRefused) {
    const std::string folder = "/" + std::string(120, 'f') + "/a.bmp";
    CBrevDoc doc(user_);
    EXPECT_FALSE(OpenDocument(doc, folder));
    EXPECT_EQ(user_.lastText(), "그림파일명이 너무 깁니다.");
}

TEST_F(OpenSave, NewPictures) {
    NewImageRequest r;
    r.width = 7;
    r.height = 5;
    r.background = NewBackground::Transparent;
    CBrevDoc clear(user_);
    ASSERT_TRUE(NewDocument(clear, r));
    const LayerTable& t = clear.Layers();
    EXPECT_EQ(t.header.canvasWidth, 7);
    EXPECT_EQ(t.header.canvasHeight, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(t.AlphaAt(0, x, y), 0);

    r.background = NewBackground::Colour;
    r.backgroundColour = 0x00336699;  // blue 0x33, green 0x66, red 0x99
    r.name = u"sky";
    CBrevDoc coloured(user_);
    ASSERT_TRUE(NewDocument(coloured, r));
    EXPECT_EQ(coloured.Layers().ColorAt(0, 6, 4), 0x996633u);
    EXPECT_EQ(coloured.Layers().AlphaAt(0, 3, 2), 255);
    EXPECT_EQ(coloured.FileName(), u"sky");

    r.width = 0;
    CBrevDoc none(user_);
    EXPECT_FALSE(NewDocument(none, r));
    r.width = 5001;
    EXPECT_FALSE(NewDocument(none, r));
    EXPECT_EQ(DefaultNewImageRequest().width, 450);
    EXPECT_EQ(DefaultNewImageRequest(640, 9000).height, 5000);
    EXPECT_EQ(DefaultNewImageRequest(640, 480).width, 640);
}

TEST_F(OpenSave, GifSaveIsIndexedWhileDocumentStaysTrueColour) {
    NewImageRequest r;
    r.width = 40;
    r.height = 30;
    CBrevDoc doc(user_);
    ASSERT_TRUE(NewDocument(doc, r));
    // 1200 distinct colours force a real reduction.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            doc.Layers().PutColor(0, x, y, uint32_t(x * 6) << 16 | uint32_t(y * 8) << 8 | 77);
    doc.SetSelectionActive(true);
    const std::string out = path("out.GIF");
    ASSERT_TRUE(SaveDocument(doc, out));
    EXPECT_TRUE(doc.SelectionActive());
    EXPECT_EQ(doc.Layers().header.bitsPerPixel, 24);
    EXPECT_EQ(doc.Layers().header.paletteSize, 0);
    RaViru back;
    ASSERT_TRUE(back.ReadFile(out, ImageKind::Gif)) << back.lastError;
    EXPECT_EQ(back.BitCount(), 8);
    EXPECT_EQ(back.PaletteCount(), 256);
    // Every colour lands near its original.
    for (int y = 0; y < 30; y += 7)
        for (int x = 0; x < 40; x += 9) {
            const uint32_t c = back.PixelColorAt(x, y);
            EXPECT_NEAR(int(c >> 16 & 255), x * 6, 16);
            EXPECT_NEAR(int(c >> 8 & 255), y * 8, 16);
        }
}

TEST_F(OpenSave, RefusedKindsWriteNothing) {
    CBrevDoc doc(user_);
    ASSERT_TRUE(NewDocument(doc, {}));
    doc.SetModified(true);
    EXPECT_FALSE(SaveDocument(doc, path("a.pcx")));
    EXPECT_FALSE(SaveDocument(doc, path("a.png")));
    EXPECT_FALSE(SaveDocument(doc, path("a.sco")));
    EXPECT_FALSE(SaveDocument(doc, path("noext")));
    EXPECT_EQ(filesInDir(), 0u);
    EXPECT_TRUE(doc.Modified());
    ASSERT_TRUE(SaveDocument(doc, path("a.bmp")));
    EXPECT_FALSE(doc.Modified());
}

TEST_F(OpenSave, FailedSaveLeavesOldFileByteIdentical) {
    const std::string target = path("keep.jpg");
    std::ofstream(target, std::ios::binary) << "old content that must survive";
    const std::string before = readText(target);
    // Wider than any JPEG may be: the codec refuses after the document was composed.
    CBrevDoc doc(user_);
    RaViru wide(70000, 1, 24, ImageKind::Bmp);
    ASSERT_TRUE(BuildDocumentFromImage(doc, wide, u"wide", 255));
    const Status saved = SaveDocument(doc, target);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(saved.message().empty());
    EXPECT_EQ(readText(target), before);
    EXPECT_EQ(filesInDir(), 1u);  // no temporary file left beside it
}

TEST_F(OpenSave, VlrRoundTripKeepsLayers) {
    NewImageRequest r;
    r.width = 9;
    r.height = 6;
    CBrevDoc doc(user_);
    ASSERT_TRUE(NewDocument(doc, r));
    CreateLayerArgs a = testsupport::LayerArgs(doc.Layers(), 3, 2, 1, 4, 3);
    a.initialAlpha = 255;
    ASSERT_EQ(testsupport::AddLayer(doc, a, 0), 3);
    LayerTable& t = doc.Layers();
    t.PutColor(3, 1, 1, 0xFF0000);
    const std::string vlr = path("doc.vlr");
    ASSERT_TRUE(SaveDocument(doc, vlr));

    CBrevDoc back(user_);
    ASSERT_TRUE(OpenDocument(back, vlr));
    const LayerTable& b = back.Layers();
    EXPECT_EQ(b.Count(), 2);
    EXPECT_EQ(b.Order(), (std::vector<int>{0, 3}));
    EXPECT_EQ(b.layer(3).x, 2);
    EXPECT_EQ(b.ColorAt(3, 1, 1), 0xFF0000u);
    EXPECT_EQ(back.CurrentLayer(), 0);
    EXPECT_EQ(b.layer(0).kind, LayerKind::Picture);
}

TEST_F(OpenSave, WindowTitle) {
    NewImageRequest r;
    r.name = u"pic";
    CBrevDoc doc(user_);
    ASSERT_TRUE(NewDocument(doc, r));
    doc.SetZoom(0.499);
    EXPECT_EQ(DocumentTitle(doc), u"pic 49 % (배경영상)");
    EXPECT_EQ(DocumentTitle(doc, u"레이어추가"), u"pic 49 % (배경영상) 레이어추가");
}

TEST_F(OpenSave, VlrWithTextAtTheBottomStaysText) {
    CBrevDoc doc(user_);
    CreateLayerArgs a = testsupport::LayerArgs(doc.Layers(), 0, 0, 0, 5, 4, LayerKind::Text);
    a.initialAlpha = 255;
    ASSERT_EQ(testsupport::AddLayer(doc, a, -1), 0);
    doc.SetCurrentLayerIndex(0);
    const std::string vlr = path("text.vlr");
    ASSERT_TRUE(SaveDocument(doc, vlr));
    CBrevDoc back(user_);
    ASSERT_TRUE(OpenDocument(back, vlr));
    EXPECT_EQ(back.Layers().layer(0).kind, LayerKind::Text);
    EXPECT_TRUE(SaveDocument(back, path("text.bmp")));
    EXPECT_TRUE(SaveDocument(back, path("again.vlr")));
}
