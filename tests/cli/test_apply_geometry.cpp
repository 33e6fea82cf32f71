// quillet-cli apply with the geometry operations: the pictures they write, --layer, the list,
// and the exit codes of wrong arguments, missing layers and refused text layers.
#include <cstring>

#include "CliTestSupport.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/LayerBuilders.h"

using namespace quillet;
using namespace quillet::clitest;

namespace {

// A picture whose every pixel differs, written as a 24-bit BMP.
void writePicture(const std::string& path, int w, int h) {
    RaViru image(w, h, 24, ImageKind::Bmp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixelColor(x, y, uint32_t(x * 9) << 16 | uint32_t(y * 7) << 8 | 0x11);
    ASSERT_TRUE(image.WriteFile(path, ImageKind::Bmp));
}

// Screen pixel (x, Y) of a picture file, Y from the top.
struct Pixels {
    RaViru image;
    explicit Pixels(const std::string& path) { image.ReadFile(path, ImageKind::Unknown); }
    uint32_t at(int x, int Y) const { return image.PixelColorAt(x, image.Height() - 1 - Y); }
};

class ApplyTest : public TempDirTest {};

}  // namespace

TEST_F(ApplyTest, TurnsAndFlipsWriteThePictureMovedExactly) {
    const std::string in = path("in.bmp");
    writePicture(in, 7, 5);
    const Pixels src(in);
    struct Case {
        std::vector<std::string> op;
        int w, h;
        void (*map)(int x, int Y, int& ox, int& oy);
    };
    const Case cases[] = {
        {{"rotate", "degrees=90"},
         5,
         7,
         [](int x, int Y, int& ox, int& oy) { ox = 4 - Y, oy = x; }},
        {{"rotate"}, 5, 7, [](int x, int Y, int& ox, int& oy) { ox = 4 - Y, oy = x; }},
        {{"rotate", "degrees=-90"},
         5,
         7,
         [](int x, int Y, int& ox, int& oy) { ox = Y, oy = 6 - x; }},
        {{"rotate", "degrees=180"},
         7,
         5,
         [](int x, int Y, int& ox, int& oy) { ox = 6 - x, oy = 4 - Y; }},
        {{"flip-horizontal"}, 7, 5, [](int x, int Y, int& ox, int& oy) { ox = 6 - x, oy = Y; }},
        {{"flip-vertical"}, 7, 5, [](int x, int Y, int& ox, int& oy) { ox = x, oy = 4 - Y; }},
        {{"mirror"}, 7, 5, [](int x, int Y, int& ox, int& oy) { ox = 6 - x, oy = Y; }},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"apply", in, path("out.bmp")};
        args.insert(args.end(), c.op.begin(), c.op.end());
        const RunResult r = run(args);
        ASSERT_EQ(r.code, 0) << c.op[0] << r.err;
        const Pixels out(path("out.bmp"));
        ASSERT_EQ(out.image.Width(), c.w) << c.op[0];
        ASSERT_EQ(out.image.Height(), c.h);
        for (int Y = 0; Y < 5; ++Y)
            for (int x = 0; x < 7; ++x) {
                int ox, oy;
                c.map(x, Y, ox, oy);
                ASSERT_EQ(out.at(ox, oy), src.at(x, Y)) << c.op[0] << " at " << x << "," << Y;
            }
    }
}

TEST_F(ApplyTest, ResizeAndCanvasSize) {
    const std::string in = path("in.bmp");
    writePicture(in, 40, 30);
    ASSERT_EQ(run({"apply", in, path("half.bmp"), "resize", "width=20", "height=15"}).code, 0);
    EXPECT_EQ(Pixels(path("half.bmp")).image.Width(), 20);
    ASSERT_EQ(run({"apply", in, path("same.bmp"), "resize", "width=40", "height=30"}).code, 0);
    ASSERT_EQ(
        run({"apply", in, path("c.vlr"), "canvas-size", "width=50", "height=36", "anchor=8"}).code,
        0);
    RecordingUserPort user;
    CBrevDoc doc(user);
    ASSERT_TRUE(OpenDocument(doc, path("c.vlr")));
    EXPECT_EQ(doc.Layers().header.canvasWidth, 50);
    EXPECT_EQ(doc.Layers().header.canvasHeight, 36);
    // Anchor 8: the picture in the bottom-right corner (stored rows count from the bottom),
    // the rest transparent.
    const LayerTable& t = doc.Layers();
    EXPECT_EQ(t.AlphaAt(0, 9, 0), 0);
    EXPECT_EQ(t.AlphaAt(0, 10, 0), 255);
    EXPECT_EQ(t.AlphaAt(0, 49, 29), 255);
    EXPECT_EQ(t.AlphaAt(0, 49, 30), 0);
}

TEST_F(ApplyTest, LayerOptionTurnsOneLayerAndTextLayersAreRefused) {
    const std::string in = path("in.bmp");
    writePicture(in, 12, 10);
    {
        RecordingUserPort user;
        CBrevDoc doc(user);
        ASSERT_TRUE(OpenDocument(doc, in));
        ASSERT_EQ(testsupport::AddLayer(doc, testsupport::LayerArgs(doc.Layers(), 1, 2, 1, 4, 6)),
                  1);
        ASSERT_TRUE(SaveDocument(doc, path("two.vlr")));
        ASSERT_EQ(testsupport::AddLayer(
                      doc, testsupport::LayerArgs(doc.Layers(), 2, 0, 0, 3, 3, LayerKind::Text)),
                  2);
        ASSERT_TRUE(SaveDocument(doc, path("text.vlr")));
    }
    ASSERT_EQ(run({"apply", path("two.vlr"), path("out.vlr"), "rotate", "--layer", "1"}).code, 0);
    RecordingUserPort user;
    CBrevDoc doc(user);
    ASSERT_TRUE(OpenDocument(doc, path("out.vlr")));
    EXPECT_EQ(doc.Layers().header.canvasWidth, 12);  // the canvas stays
    EXPECT_EQ(doc.Layers().layer(1).width, 6);
    EXPECT_EQ(doc.Layers().layer(1).height, 4);
    EXPECT_EQ(doc.Layers().layer(0).width, 12);

    const RunResult text = run({"apply", path("text.vlr"), path("t.vlr"), "flip-horizontal"});
    EXPECT_EQ(text.code, 1);
    EXPECT_NE(text.err.find("[글]레이어가 포함되어 있습니다."), std::string::npos);
    EXPECT_EQ(run({"apply", path("text.vlr"), path("t.vlr"), "rotate", "--layer", "2"}).code, 1);
    EXPECT_FALSE(fs::exists(path("t.vlr")));
    // A slot holding no layer is a wrong argument.
    EXPECT_EQ(run({"apply", path("two.vlr"), path("t.vlr"), "rotate", "--layer", "7"}).code, 2);
}

TEST_F(ApplyTest, ListAndWrongArguments) {
    const RunResult list = run({"apply", "--list"});
    EXPECT_EQ(list.code, 0);
    for (const char* name :
         {"flip-horizontal", "flip-vertical", "mirror", "rotate", "degrees=90|-90|180 (default 90)",
          "resize", "width=1..30000 (required)", "canvas-size", "anchor=0..8 (default 4)",
          "--layer SLOT: that layer alone", "every layer; no --layer or --select"})
        EXPECT_NE(list.out.find(name), std::string::npos) << name;

    const std::string in = path("in.bmp");
    writePicture(in, 4, 4);
    const std::string out = path("out.bmp");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"apply", in, out, "spin"},
          {"apply", in, out, "rotate", "degrees=45"},
          {"apply", in, out, "rotate", "turns=1"},
          {"apply", in, out, "resize", "width=10"},
          {"apply", in, out, "resize", "width=0", "height=3"},
          {"apply", in, out, "canvas-size", "width=9", "height=9", "anchor=9"},
          {"apply", in, out, "resize", "width=9", "height=9", "--layer", "0"},
          {"apply", in, out, "canvas-size", "width=9", "height=9", "--select", "0,0,2,2"},
          {"apply", in, out, "flip-vertical", "--select", "0,0,2,2"},
          {"apply", in, out, "rotate", "--layer", "40"},
          {"apply", in, out, "rotate", "--layer"},
          {"apply", in, out}}) {
        const RunResult r = run(args);
        EXPECT_EQ(r.code, 2) << args.back();
        EXPECT_NE(r.err.find("usage"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(run({"apply", path("missing.bmp"), out, "mirror"}).code, 1);
}
