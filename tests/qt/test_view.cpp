// The document window under the offscreen platform: painting over the hatch, the move tool
// with the mouse and the arrow keys, Ctrl with plus, the title, the wheel, and a layer carried
// from one window into another.
#include <QApplication>
#include <QMdiArea>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <cmath>

#include "../view/ViewTestDoc.h"
#include "QtTestRegistry.h"
#include "platform/ClipboardPort.h"
#include "platform/RecordingUserPort.h"
#include "view/ToolState.h"
#include "view/ToolTable.h"
#include "view/qt/CBrevView.h"
#include "view/qt/CChildFrame.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct Session {
    RecordingUserPort user;
    CBrevDoc doc{user, 1};
    ToolState tools;
    MemoryClipboard clipboard;
    ToolRegistry registry;
    QMdiArea area;
    CChildFrame* frame = nullptr;
    int layer = -1;

    Session() {
        AddPatternLayer(doc, 200, 150);
        layer = AddPatternLayer(doc, 40, 30, 20, 10, 200, 150);
        doc.SetFileName(u"사진.jpg");
        area.resize(600, 500);
        frame = new CChildFrame(doc, context(), &area);
        area.addSubWindow(frame);
        frame->resize(300, 260);
        area.show();
        frame->show();
        frame->view()->setFocus();
        QApplication::processEvents();
    }
    ViewContext context() { return ViewContext{tools, &clipboard, &registry}; }
    CBrevView* view() const { return frame->view(); }
    QWidget* port() const { return frame->view()->viewport(); }
    // Window point of a canvas point at zoom 1.
    QPoint at(int x, int y) {
        const ViewRect r = view()->state().DisplayedRect();
        return {r.left + x, r.top + y};
    }
};

void Press(QWidget* w, QPoint p) {
    QMouseEvent e(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
void Drag(QWidget* w, QPoint p) {
    QMouseEvent e(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
void Release(QWidget* w, QPoint p) {
    QMouseEvent e(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QRgb Expected(int x, int y) { return 0xFF000000u | PatternColour(x, y); }

}  // namespace

class BrevViewTest : public QObject {
    Q_OBJECT
private slots:
    void paintsThePictureCentredOverTheHatch() {
        Session s;
        // A transparent corner of the upper layer shows the picture below; a transparent
        // corner of the bottom layer shows the hatch, not black.
        LayerTable& t = s.doc.Layers();
        t.PutAlpha(0, 0, 149, 0);  // canvas (0, 0)
        t.PutAlpha(0, 1, 149, 128);
        s.doc.NotifyViewsUpdate();
        const QImage img = s.view()->renderViewport();
        const ViewRect r = s.view()->state().DisplayedRect();
        QCOMPARE(img.pixel(s.at(50, 50)), Expected(50, 50));
        QCOMPARE(img.pixel(s.at(25, 12)), Expected(25, 12));
        const QRgb hatch = img.pixel(s.at(0, 0));
        QVERIFY2(hatch == 0xFFFFFFFFu || hatch == 0xFFBFBFBFu,
                 qPrintable(QString::number(hatch, 16)));
        // Half covered: the colour lies between the premultiplied colour and the hatch.
        const QRgb half = img.pixel(s.at(1, 0));
        QVERIFY(qRed(half) >= qRed(Expected(1, 0)) / 2);
        QVERIFY(qRed(half) <= 255);
        if (r.left > 0) QCOMPARE(img.pixel(r.left - 1, r.top + 5), qRgb(0x78, 0x78, 0x78));
        QVERIFY(s.view()->cacheValid());
    }

    // Every pixel of the picture area against a plain formula: the composed colour clamped to
    // its alpha, plus the hatch weighted by 255 − alpha. A "화면혼합" layer over transparent
    // pixels gives colours above their alpha, which must not leak through as garbage.
    void pictureOverHatchMatchesTheFormula() {
        Session s;
        LayerTable& t = s.doc.Layers();
        for (int r = 100; r < 150; ++r)
            for (int c = 0; c < 60; ++c) t.PutAlpha(0, c, r, uint8_t(c * 4));
        t.layer(s.layer).SetBlend(BlendMode::Screen);
        t.layer(s.layer).x = 0;
        t.layer(s.layer).y = 0;
        for (int r = 0; r < 30; ++r)
            for (int c = 0; c < 40; ++c) t.PutAlpha(s.layer, c, r, uint8_t(10 + c));
        s.doc.NotifyViewsUpdate();
        const QImage img = s.view()->renderViewport();
        const ViewRect rect = s.view()->state().DisplayedRect();
        const Image32 composed = s.doc.ComposeDisplay(s.view()->state().RequestFor(rect));
        const int style = s.view()->settings().hatchStyle;
        int checked = 0;
        for (int y = 0; y < composed.height; ++y)
            for (int x = 0; x < composed.width; ++x) {
                const uint8_t* p = composed.Row(y) + size_t(x) * 4;
                const int wx = composed.x + x, wy = composed.y + y;
                const double a = p[3];
                const int hatch = HatchPixel(style, wx, wy) ? 0xBF : 0xFF;
                const QRgb got = img.pixel(wx, wy);
                const int channels[3] = {qBlue(got), qGreen(got), qRed(got)};
                for (int ch = 0; ch < 3; ++ch) {
                    const double want = std::min<double>(p[ch], a) + (255 - a) * hatch / 255.0;
                    if (std::abs(channels[ch] - want) > 0.5 + 1e-9)
                        QFAIL(qPrintable(QStringLiteral("pixel %1,%2 channel %3: %4, want %5")
                                             .arg(wx)
                                             .arg(wy)
                                             .arg(ch)
                                             .arg(channels[ch])
                                             .arg(want)));
                }
                ++checked;
            }
        QCOMPARE(checked, 200 * 150);
    }

    void gridAndStretchView() {
        Session s;
        ViewSettings settings;
        settings.gridSpacing = 10;
        settings.gridColour = 0x000000FF;  // red, 0x00BBGGRR
        s.view()->setSettings(settings);
        QImage img = s.view()->renderViewport();
        QCOMPARE(img.pixel(s.at(10, 33)), qRgb(255, 0, 0));
        QCOMPARE(img.pixel(s.at(33, 40)), qRgb(255, 0, 0));
        QCOMPARE(img.pixel(s.at(33, 33)), Expected(33, 33));
        s.view()->toggleGrid();
        QCOMPARE(s.view()->settings().gridSpacing, -10);
        img = s.view()->renderViewport();
        QCOMPARE(img.pixel(s.at(10, 33)), Expected(10, 33));

        s.view()->toggleStretchView();
        img = s.view()->renderViewport();
        const QSize port = s.port()->size();
        QCOMPARE(img.pixel(0, 0), Expected(0, 0));
        QCOMPARE(img.pixel(port.width() - 1, port.height() - 1), Expected(199, 149));
        QVERIFY(!s.view()->horizontalScrollBar()->isVisible());
    }

    void moveToolDragsTheLayerAndRecordsTheStep() {
        Session s;
        s.tools.currentTool = ToolId::Move;
        const QPoint start = s.at(30, 20);
        Press(s.port(), start);
        Drag(s.port(), start + QPoint(5, 3));
        Drag(s.port(), start + QPoint(12, 7));
        Release(s.port(), start + QPoint(12, 7));
        QCOMPARE(s.doc.Layers().layer(s.layer).x, 32);
        QCOMPARE(s.doc.Layers().layer(s.layer).y, 17);
        const auto steps = RecordedSteps(s.doc);
        QCOMPARE(int(steps.size()), 1);
        QCOMPARE(QString::fromStdU16String(steps[0].label), QStringLiteral("전체영상 위치이동"));
        // The picture on screen follows the layer.
        const QImage img = s.view()->renderViewport();
        QCOMPARE(img.pixel(s.at(32, 17)), Expected(20, 10));
        QCOMPARE(s.port()->cursor().shape(), Qt::BitmapCursor);

        QTest::keyClick(s.view(), Qt::Key_Left);
        QTest::keyClick(s.view(), Qt::Key_Down);
        QTest::keyClick(s.view(), Qt::Key_Down);
        QCOMPARE(s.doc.Layers().layer(s.layer).x, 31);
        QCOMPARE(s.doc.Layers().layer(s.layer).y, 19);
        QCOMPARE(s.doc.Snapshot().layer(s.layer).y, 19);
    }

    void ctrlPlusZoomsAndTheTitleFollows() {
        Session s;
        QCOMPARE(s.frame->windowTitle(), QStringLiteral("사진.jpg 100 % (레이어 1)"));
        QTest::keyClick(s.view(), Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(s.doc.Zoom(), 2.0);
        QCOMPARE(s.frame->windowTitle(), QStringLiteral("사진.jpg 200 % (레이어 1)"));
        QCOMPARE(s.view()->state().ScrollExtent().width, 400);
        QTest::keyClick(s.view(), Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(s.view(), Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(s.frame->windowTitle(), QStringLiteral("사진.jpg 50 % (레이어 1)"));
        // The frame fitted itself to the picture: client = zoomed size + 4.
        QCOMPARE(s.view()->size(), QSize(104, 79));
    }

    void wheelDoesNotScroll() {
        Session s;
        QTest::keyClick(s.view(), Qt::Key_Plus, Qt::ControlModifier);
        QTest::keyClick(s.view(), Qt::Key_Plus, Qt::ControlModifier);
        s.frame->resize(300, 260);
        QApplication::processEvents();
        QScrollBar* bar = s.view()->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        const int before = bar->value();
        QWheelEvent wheel(QPointF(20, 20), s.port()->mapToGlobal(QPointF(20, 20)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(s.port(), &wheel);
        QCOMPARE(bar->value(), before);
    }

    void cachedPictureIsReusedUntilTheDocumentChanges() {
        Session s;
        s.view()->renderViewport();
        QVERIFY(s.view()->cacheValid());
        s.doc.NotifyViewsUpdate();
        QVERIFY(!s.view()->cacheValid());
        s.view()->renderViewport();
        QVERIFY(s.view()->cacheValid());
    }

    void layerCarriedIntoAnotherWindow() {
        // The second document outlives the area that holds its window.
        RecordingUserPort user2;
        CBrevDoc other(user2, 2);
        Session s;
        AddPatternLayer(other, 120, 90);
        auto* frame2 = new CChildFrame(other, s.context(), &s.area);
        s.area.addSubWindow(frame2);
        frame2->resize(200, 160);
        frame2->move(320, 10);
        frame2->show();
        s.frame->move(0, 0);
        QApplication::processEvents();
        s.tools.currentTool = ToolId::Move;
        const QPoint start = s.at(30, 20);
        Press(s.port(), start);
        Drag(s.port(), start + QPoint(2, 2));
        // Out of the first window and over the second one.
        const QPoint target = frame2->view()->viewport()->mapTo(s.port()->window(), QPoint(40, 40));
        const QPoint local = s.port()->mapFrom(s.port()->window(), target);
        Drag(s.port(), local);
        QVERIFY(s.tools.dropPending);
        QCOMPARE(s.doc.Layers().layer(s.layer).x, 20);  // back in place
        Release(s.port(), local);
        QVERIFY(!s.tools.dropPending);
        QCOMPARE(other.Layers().Count(), 2);
        QCOMPARE(other.Layers().layer(other.CurrentLayer()).width, 40);
        QCOMPARE(s.doc.Layers().Count(), 2);
    }
};
QUILLET_QTEST(BrevViewTest)
#include "test_view.moc"
