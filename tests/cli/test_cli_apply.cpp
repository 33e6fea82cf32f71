// quillet-cli apply: the operation table, arguments and ranges, and runs that match the
// commands.
#include <set>

#include "CliTestSupport.h"
#include "cli/apply/ApplyOperation.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "image/RaViru.h"
#include "image/effects/ColourTables.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/LayerBuilders.h"

using namespace quillet;
using namespace quillet::clitest;

namespace {

class CliApply : public TempDirTest {
protected:
    // 6 × 4, every pixel its own colour.
    std::string Picture() {
        RaViru img(6, 4, 24, ImageKind::Bmp);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                img.PutPixelColor(x, y, uint32_t(x * 40 + 10) << 16 | uint32_t(y * 60) << 8 | 90);
        const std::string file = path("in.bmp");
        EXPECT_TRUE(img.WriteFile(file, ImageKind::Bmp));
        return file;
    }
    std::unique_ptr<RaViru> Read(const std::string& file) {
        auto img = std::make_unique<RaViru>();
        EXPECT_TRUE(img->ReadFile(file, ImageKind::Bmp));
        return img;
    }
};

}  // namespace

TEST_F(CliApply, ListShowsEveryOperationWithRangesAndDefaults) {
    const RunResult r = run({"apply", "--list"});
    ASSERT_EQ(r.code, 0);
    for (const char* text :
         {"brightness-contrast", "brightness=-255..255 (default 0)", "colour-channels",
          "saturation", "levels", "white=0..255 (default 255)", "auto-colour", "normalise",
          "invert", "greyscale", "desaturate-layer", "threshold",
          "mode=fs|ordered|absolute (default fs)", "reduce-256", "rgb24"})
        EXPECT_NE(r.out.find(text), std::string::npos) << text;
}

TEST_F(CliApply, WrongOperationsNamesAndValuesGiveUsage) {
    const std::string in = Picture(), out = path("out.bmp");
    for (const auto& extra :
         std::vector<std::vector<std::string>>{{"frobnicate"},
                                               {"invert", "strength=3"},
                                               {"brightness-contrast", "brightness=256"},
                                               {"brightness-contrast", "brightness=1x"},
                                               {"brightness-contrast", "brightness"},
                                               {"levels", "black=100", "white=100"},
                                               {"threshold", "mode=sideways"},
                                               {"invert", "--layer", "40"},
                                               {"invert", "--layer"},
                                               {"invert", "--select", "1,2,3"},
                                               {"invert", "--select", "1,2,0,4"},
                                               {"invert", "--layer", "7"}}) {
        std::vector<std::string> args{"apply", in, out};
        args.insert(args.end(), extra.begin(), extra.end());
        const RunResult r = run(args);
        EXPECT_EQ(r.code, 2) << extra.front();
        EXPECT_NE(r.err.find("usage:"), std::string::npos);
        EXPECT_FALSE(fs::exists(out));
    }
    EXPECT_EQ(run({"apply", path("missing.bmp"), out, "invert"}).code, 1);
    EXPECT_EQ(run({"apply", in}).code, 2);
}

TEST_F(CliApply, RunsTheCommandOnTheWholeLayerOrTheSelection) {
    const std::string in = Picture();
    ASSERT_EQ(
        run({"apply", in, path("bc.bmp"), "brightness-contrast", "brightness=40", "contrast=-30"})
            .code,
        0);
    const auto src = Read(in), bc = Read(path("bc.bmp"));
    const ChannelTables t = BrightnessContrastTables(40, -30);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const uint32_t a = src->PixelColorAt(x, y), b = bc->PixelColorAt(x, y);
            EXPECT_EQ(b >> 16 & 0xFF, t.red[a >> 16 & 0xFF]);
            EXPECT_EQ(b & 0xFF, t.blue[a & 0xFF]);
        }
    // --select X,Y,W,H on the canvas, top row first: columns 1..2 of rows 0..1 from the top.
    ASSERT_EQ(run({"apply", in, path("sel.bmp"), "invert", "--select", "1,0,2,2"}).code, 0);
    const auto sel = Read(path("sel.bmp"));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x <= 2 && y >= 2;  // bitmap rows count from the bottom
            EXPECT_EQ(sel->PixelColorAt(x, y),
                      inside ? (~src->PixelColorAt(x, y) & 0xFFFFFF) : src->PixelColorAt(x, y))
                << x << ',' << y;
        }
}

TEST_F(CliApply, LayerChoosesTheSlotAndTextLayersAreRefused) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    CreateLayerArgs a = testsupport::LayerArgs(doc.Layers(), 0, 0, 0, 4, 3, LayerKind::Picture);
    a.initialAlpha = 255;
    ASSERT_EQ(testsupport::AddLayer(doc, a, -1), 0);
    CreateLayerArgs b = testsupport::LayerArgs(doc.Layers(), 1, 0, 0, 4, 3);
    b.initialAlpha = 255;
    ASSERT_EQ(testsupport::AddLayer(doc, b), 1);
    CreateLayerArgs c = testsupport::LayerArgs(doc.Layers(), 2, 0, 0, 2, 2, LayerKind::Text);
    ASSERT_EQ(testsupport::AddLayer(doc, c), 2);
    std::fill(doc.Layers().planesOf(0).pixels.begin(), doc.Layers().planesOf(0).pixels.end(), 10);
    doc.Layers().layer(1).visible = 0;
    doc.SetCurrentLayerIndex(1);
    const std::string vlr = path("two.vlr");
    const Status saved = SaveDocument(doc, vlr, {});
    ASSERT_TRUE(saved) << saved.message();

    // Slot 0 is inverted (10 → 245); slot 1 is hidden, so the flat picture shows slot 0.
    ASSERT_EQ(run({"apply", vlr, path("inv.bmp"), "invert", "--layer", "0"}).code, 0);
    EXPECT_EQ(Read(path("inv.bmp"))->PixelColorAt(1, 1), 0xF5F5F5u);
    const RunResult r = run({"apply", vlr, path("t.bmp"), "invert", "--layer", "2"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("현재는 [Text:글] 레이어."), std::string::npos);
    EXPECT_FALSE(fs::exists(path("t.bmp")));
}

TEST_F(CliApply, FiltersWithTheirOwnRangesAndSeeds) {
    const std::string in = Picture();
    EXPECT_EQ(run({"apply", in, path("b.bmp"), "filter", "name=흐리게", "p1=3"}).code, 0);
    for (const auto& bad : std::vector<std::vector<std::string>>{{"name=흐리게", "p1=10"},
                                                                 {"name=흐리게", "p2=1"},
                                                                 {"name=없는필터"},
                                                                 {"name=강조", "p1=-51"}}) {
        std::vector<std::string> args{"apply", in, path("x.bmp"), "filter"};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_EQ(run(args).code, 2) << bad.front();
    }
    auto bytes = [&](const std::string& file) { return testsupport::readFile(file); };
    ASSERT_EQ(run({"apply", in, path("s1.bmp"), "filter", "name=방울채색", "seed=5"}).code, 0);
    ASSERT_EQ(run({"apply", in, path("s2.bmp"), "filter", "name=방울채색", "seed=5"}).code, 0);
    ASSERT_EQ(run({"apply", in, path("s3.bmp"), "filter", "name=방울채색", "seed=6"}).code, 0);
    EXPECT_EQ(bytes(path("s1.bmp")), bytes(path("s2.bmp")));
    EXPECT_NE(bytes(path("s1.bmp")), bytes(path("s3.bmp")));
}

TEST_F(CliApply, RedEyeAlphaAndSplit) {
    const std::string in = Picture();
    ASSERT_EQ(
        run({"apply", in, path("r.bmp"), "red-eye", "x=1", "y=0", "w=4", "h=4", "strength=10"})
            .code,
        0);
    const auto src = Read(in), red = Read(path("r.bmp"));
    // The middle of the pupil's box (canvas 3, 1: bitmap row 2) loses its red to
    // min(green, blue).
    const uint32_t c = src->PixelColorAt(3, 2), r = red->PixelColorAt(3, 2);
    EXPECT_EQ(r >> 16 & 0xFF, std::min(c >> 8 & 0xFF, c & 0xFF));
    EXPECT_EQ(red->PixelColorAt(5, 3), src->PixelColorAt(5, 3));
    EXPECT_EQ(run({"apply", in, path("a.bmp"), "alpha-strip"}).code, 0);

    for (const char* space : {"rgb", "yuv", "hsl"}) {
        const std::string prefix = path(std::string("ch-") + space);
        ASSERT_EQ(run({"split", in, prefix, space}).code, 0) << space;
        for (int k = 1; k <= 3; ++k) {
            RaViru plane;
            ASSERT_TRUE(plane.ReadFile(prefix + "-" + std::to_string(k) + ".bmp", ImageKind::Bmp));
            EXPECT_EQ(plane.BitCount(), 8);
            EXPECT_EQ(plane.Width(), 6);
        }
    }
    RaViru green;
    ASSERT_TRUE(green.ReadFile(path("ch-rgb-2.bmp"), ImageKind::Bmp));
    EXPECT_EQ(green.PixelIndexAt(2, 3), src->PixelColorAt(2, 3) >> 8 & 0xFF);
    EXPECT_EQ(run({"split", in, path("p"), "cmyk"}).code, 2);
    EXPECT_EQ(run({"split", path("none.bmp"), path("p"), "rgb"}).code, 1);
}

TEST(CliApplyTable, NamesAreUniqueAndParametersFitTheValueTable) {
    std::set<std::string_view> names;
    for (const cli::ApplyOperation* op : cli::ApplyOperations()) {
        EXPECT_TRUE(names.insert(op->name).second) << op->name;
        EXPECT_LE(op->parameters.size(), cli::kMaxApplyParameters) << op->name;
    }
}
