// quillet-cli apply text and text-edit: the same layers the text command makes, the settings
// given on the command line, and the arguments refused.
#include "CliTestSupport.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "platform/SystemTextRasterizer.h"
#include "view/tools/TextLayer.h"

using namespace quillet;
using namespace quillet::clitest;

namespace {

class CliText : public TempDirTest {
protected:
    // 60 × 30 white.
    std::string Picture() {
        RaViru img(60, 30, 24, ImageKind::Bmp);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 60; ++x) img.PutPixelColor(x, y, 0xFFFFFF);
        const std::string file = path("in.bmp");
        EXPECT_TRUE(img.WriteFile(file, ImageKind::Bmp));
        return file;
    }
};

bool AnyInk(const std::vector<uint8_t>& alpha) {
    for (uint8_t a : alpha)
        if (a) return true;
    return false;
}

}  // namespace

TEST_F(CliText, NewTextIsTheTextCommandsLayer) {
    const std::string in = Picture(), vlr = path("t.vlr");
    const RunResult r = run({"apply", in, vlr, "text", "text=가나\nAb", "x=3", "y=2",
                             "colour=#ff0000", "size=14", "bold=1", "align=centre"});
    ASSERT_EQ(r.code, 0) << r.err;

    RecordingUserPort user;
    CBrevDoc made(user);
    ASSERT_TRUE(OpenDocument(made, vlr));
    const LayerTable& t = made.Layers();
    ASSERT_EQ(t.Top(), 1);
    const Layer& l = t.layer(1);
    ASSERT_TRUE(l.IsText());
    EXPECT_EQ(TextOf(l, t.planesOf(1)), u"가나\nAb");
    const TextSettings s = TextSettingsOf(l);
    EXPECT_EQ(s.colour, 0xFF0000u);
    EXPECT_EQ(s.size, 28);
    EXPECT_TRUE(s.bold);
    EXPECT_FALSE(s.italic);
    EXPECT_EQ(s.align, TextAlign::Centre);
    EXPECT_TRUE(AnyInk(t.planesOf(1).alpha));

    // The editor's own command on the same picture draws the same pixels.
    CBrevDoc direct(user);
    ASSERT_TRUE(OpenDocument(direct, in));
    const auto rasterizer = MakeSystemTextRasterizer();
    ASSERT_TRUE(rasterizer);
    ASSERT_EQ(AddTextLayer(direct, *rasterizer, u"가나\nAb", s, 3, 2), 1);
    EXPECT_EQ(direct.Layers().planesOf(1).alpha, t.planesOf(1).alpha);
    EXPECT_EQ(direct.Layers().planesOf(1).pixels, t.planesOf(1).pixels);
}

TEST_F(CliText, EditKeepsWhatIsNotGiven) {
    const std::string in = Picture(), vlr = path("t.vlr"), edited = path("e.vlr");
    ASSERT_EQ(run({"apply", in, vlr, "text", "text=하나", "face=DejaVu Sans", "colour=0000FF",
                   "italic=1"})
                  .code,
              0);
    const RunResult r =
        run({"apply", vlr, edited, "text-edit", "--layer", "1", "size=20", "underline=1"});
    ASSERT_EQ(r.code, 0) << r.err;
    RecordingUserPort user;
    CBrevDoc doc(user);
    ASSERT_TRUE(OpenDocument(doc, edited));
    const Layer& l = doc.Layers().layer(1);
    ASSERT_TRUE(l.IsText());
    EXPECT_EQ(TextOf(l, doc.Layers().planesOf(1)), u"하나");
    const TextSettings s = TextSettingsOf(l);
    EXPECT_EQ(s.face, u"DejaVu Sans");
    EXPECT_EQ(s.colour, 0x0000FFu);
    EXPECT_TRUE(s.italic);
    EXPECT_TRUE(s.underline);
    EXPECT_EQ(s.size, 40);

    // A new text replaces the old one.
    ASSERT_EQ(run({"apply", edited, vlr, "text-edit", "--layer", "1", "text=둘"}).code, 0);
    CBrevDoc again(user);
    ASSERT_TRUE(OpenDocument(again, vlr));
    EXPECT_EQ(TextOf(again.Layers().layer(1), again.Layers().planesOf(1)), u"둘");
}

TEST_F(CliText, WrongArgumentsAndLayersAreRefused) {
    const std::string in = Picture(), vlr = path("t.vlr");
    for (const auto& extra :
         std::vector<std::vector<std::string>>{{"text"},
                                               {"text", "text="},
                                               {"text", "text=a", "colour=GG0000"},
                                               {"text", "text=a", "colour=FFF"},
                                               {"text", "text=a", "size=1"},
                                               {"text", "text=a", "align=middle"},
                                               {"text-edit", "text=b"},
                                               {"text-edit", "--layer", "0", "text="}}) {
        std::vector<std::string> args{"apply", in, path("o.bmp")};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(run(args).code, 2) << extra.back();
    }
    EXPECT_FALSE(fs::exists(path("o.bmp")));

    // A raster layer is no text to edit: the editor's refusal, nothing written.
    const RunResult r = run({"apply", in, path("o.bmp"), "text-edit", "--layer", "0"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("no text layer"), std::string::npos);
    EXPECT_FALSE(fs::exists(path("o.bmp")));
}
