// Shows two document windows in an MDI area for a while, for looking at the view on a real
// display (xvfb-run): a picture layer (from a file when one is named) with a transparent
// corner, a half-transparent layer over it, the grid on the second window at 200 %.
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QTimer>

#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "image/qt/RaViruQImage.h"
#include "platform/ClipboardPort.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/LayerBuilders.h"
#include "view/ToolState.h"
#include "view/ToolTable.h"
#include "view/ViewZoom.h"
#include "view/qt/CBrevView.h"
#include "view/qt/CChildFrame.h"

using namespace quillet;

namespace {

void AddLayer(CBrevDoc& doc, int w, int h, int x, int y, int cw, int ch, const char16_t* name) {
    const int slot = doc.Layers().LowestFreeSlot();
    CreateLayerArgs a = testsupport::LayerArgs(doc.Layers(), slot, x, y, w, h);
    a.canvasWidth = cw;
    a.canvasHeight = ch;
    a.initialAlpha = 255;
    a.background = slot == 0;
    if (testsupport::AddLayer(doc, a) < 0) return;
    doc.Layers().layer(slot).SetName(name);
    doc.SetCurrentLayerIndex(slot);
}

void BuildPicture(CBrevDoc& doc, const char* path) {
    RaViru image;
    // The codecs arrive separately; Qt's readers stand in for them here.
    const QImage picture =
        path && *path ? QImage(QString::fromLocal8Bit(path)).convertToFormat(QImage::Format_RGB888)
                      : QImage();
    if (!picture.isNull() && FromQImage(image, picture) && image.Width() > 0) {
        AddLayer(doc, image.Width(), image.Height(), 0, 0, image.Width(), image.Height(),
                 u"배경영상");
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x)
                doc.Layers().PutColor(0, x, y, image.PixelColorAt(x, y));
    } else {
        const int w = 360, h = 260;
        AddLayer(doc, w, h, 0, 0, w, h, u"배경영상");
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                doc.Layers().PutColor(
                    0, x, y, (uint32_t(x * 255 / w) << 16) | (uint32_t(y * 255 / h) << 8) | 0x60);
    }
    LayerTable& t = doc.Layers();
    const int w = t.header.canvasWidth, h = t.header.canvasHeight;
    // A transparent corner of the picture shows the hatch.
    for (int y = 0; y < h / 4; ++y)
        for (int x = 0; x < w / 4; ++x) t.PutAlpha(0, x, h - 1 - y, uint8_t(x * 255 / (w / 4)));
    AddLayer(doc, w / 3, h / 3, w / 2, h / 2, w, h, u"레이어 1");
    for (int y = 0; y < h / 3; ++y)
        for (int x = 0; x < w / 3; ++x) t.PutColor(1, x, y, 0xFFE020);
    t.layer(1).transparency = 100;
    doc.CopyAllToSnapshot();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    RecordingUserPort user;
    CBrevDoc doc(user, 1), doc2(user, 2);
    BuildPicture(doc, argc > 1 ? argv[1] : nullptr);
    BuildPicture(doc2, nullptr);
    doc.SetFileName(utf8ToUtf16("사진.jpg"));
    doc2.SetFileName(utf8ToUtf16("이름없음"));
    ToolState tools;
    tools.currentTool = ToolId::Move;
    MemoryClipboard clipboard;
    ViewContext context{tools, &clipboard};

    QMainWindow window;
    auto* area = new QMdiArea;
    window.setCentralWidget(area);
    window.resize(1500, 950);
    window.move(0, 0);
    auto* f1 = new CChildFrame(doc, context);
    area->addSubWindow(f1);
    f1->show();
    f1->move(10, 10);
    auto* f2 = new CChildFrame(doc2, context);
    area->addSubWindow(f2);
    f2->show();
    f2->move(500, 40);
    ViewSettings grid;
    grid.gridSpacing = 20;
    grid.gridColour = 0x00FFFFFF;
    f2->view()->setSettings(grid);
    window.show();
    QTimer::singleShot(300, [&] { ZoomIn(doc2, AnchorPoint{}); });
    QTimer::singleShot(argc > 2 ? atoi(argv[2]) : 4000, &app, &QApplication::quit);
    return app.exec();
}
