// quillet-cli layers: the layer list of a saved document, as the layer window would list it.
#include "CliTestSupport.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/LayerOps.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;
using namespace quillet::clitest;

namespace {
class CliLayers : public TempDirTest {};
}  // namespace

TEST_F(CliLayers, OneLinePerLayerFromTheBottomWithEveryField) {
    RaViru img(6, 4, 24, ImageKind::Bmp);
    ASSERT_TRUE(img.WriteFile(path("in.bmp"), ImageKind::Bmp));
    RecordingUserPort user;
    CBrevDoc doc(user);
    ASSERT_TRUE(OpenDocument(doc, path("in.bmp")));
    const int top = AddEmptyLayer(doc);
    ASSERT_TRUE(RenameCurrentLayer(doc, u"하늘 위"));
    SetLayerTransparency(doc, top, 40);
    SetLayerBlendMode(doc, top, BlendMode::Overlay);
    doc.SetCurrentLayerIndex(0);
    const int middle = AddEmptyLayer(doc);
    SetLayerVisible(doc, middle, false);
    doc.Layers().layer(middle).x = -3;
    ASSERT_TRUE(SaveDocument(doc, path("doc.vlr")));

    const RunResult r = run({"layers", path("doc.vlr")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "0\t배경영상\tpicture\t0\t0\t6\t4\t1\t0\tnormal\n"
              "2\t레이어 2\traster\t-3\t0\t6\t4\t0\t0\tnormal\n"
              "1\t하늘 위\traster\t0\t0\t6\t4\t1\t40\toverlay\n");

    const RunResult missing = run({"layers", path("none.vlr")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("none.vlr"), std::string::npos);
    EXPECT_EQ(run({"layers"}).code, 2);
}
