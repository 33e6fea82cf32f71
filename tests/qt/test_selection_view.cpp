// Selection gestures on the document window at zooms 1/4, 1 and 4: dragging a rectangle,
// clicking and double-clicking a polygon, Shift held with the magic wand; and the marching ants,
// whose ticks recolour the outline without composing the layers again.
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QTest>

#include "../view/ViewTestDoc.h"
#include "QtTestRegistry.h"
#include "platform/ClipboardPort.h"
#include "platform/RecordingUserPort.h"
#include "view/ToolState.h"
#include "view/qt/CBrevView.h"
#include "view/qt/CChildFrame.h"
#include "view/tools/SelectionTools.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct Session {
    RecordingUserPort user;
    CBrevDoc doc{user, 1};
    ToolState tools;
    MemoryClipboard clipboard;
    ToolRegistry registry;
    SelectionTools selection;
    QMdiArea area;
    CChildFrame* frame = nullptr;

    explicit Session(double zoom) {
        AddPatternLayer(doc, 200, 150);
        selection.registerIn(registry);
        area.resize(600, 500);
        frame = new CChildFrame(doc, ViewContext{tools, &clipboard, &registry}, &area);
        area.addSubWindow(frame);
        frame->resize(300, 260);
        area.show();
        frame->show();
        doc.SetZoom(zoom);
        frame->view()->setFocus();
        QApplication::processEvents();
    }
    CBrevView* view() const { return frame->view(); }
    QWidget* port() const { return frame->view()->viewport(); }
    // The window point over a canvas point.
    QPoint at(int x, int y) {
        const ViewState& s = view()->state();
        const ViewRect r = s.DisplayedRect();
        const ViewPoint scroll = s.EffectiveScroll();
        const double z = doc.Zoom();
        return {r.left + int(x * z) - scroll.x, r.top + int(y * z) - scroll.y};
    }
    uint8_t mask(int x, int y) { return doc.Layers().mask.RowFromTop(y)[x]; }
    int selected() {
        int n = 0;
        for (uint8_t b : doc.Layers().mask.bytes) n += b != 0;
        return n;
    }
    void mouse(QEvent::Type type, QPoint p, Qt::MouseButtons held) {
        QMouseEvent e(type, p, port()->mapToGlobal(p), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(port(), &e);
    }
    void click(QPoint p) {
        mouse(QEvent::MouseButtonPress, p, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, p, Qt::NoButton);
    }
    void tick() {
        view()->state().TimerTick();
        view()->renderViewport();
    }
};

}  // namespace

class SelectionViewTest : public QObject {
    Q_OBJECT
private slots:
    void gestures_data() {
        QTest::addColumn<double>("zoom");
        QTest::newRow("1/4") << 0.25;
        QTest::newRow("1") << 1.0;
        QTest::newRow("4") << 4.0;
    }

    void gestures() {
        QFETCH(double, zoom);
        Session s(zoom);
        // Drag a rectangle from (40, 32) up to (8, 8): both corners inclusive.
        s.tools.currentTool = ToolId::RectSelect;
        s.mouse(QEvent::MouseButtonPress, s.at(40, 32), Qt::LeftButton);
        s.mouse(QEvent::MouseMove, s.at(20, 20), Qt::LeftButton);
        s.mouse(QEvent::MouseMove, s.at(8, 8), Qt::LeftButton);
        s.mouse(QEvent::MouseButtonRelease, s.at(8, 8), Qt::NoButton);
        QCOMPARE(s.selected(), 33 * 25);
        QCOMPARE(s.mask(8, 8), uint8_t(1));
        QCOMPARE(s.mask(40, 32), uint8_t(1));
        QCOMPARE(s.mask(41, 32), uint8_t(0));

        // A polygon: three clicks and a double-click on the fourth corner.
        s.tools.currentTool = ToolId::PolygonSelect;
        s.click(s.at(8, 8));  // drops the rectangle and starts the polygon
        s.click(s.at(48, 8));
        s.click(s.at(48, 40));
        const QPoint last = s.at(8, 40);
        s.mouse(QEvent::MouseButtonPress, last, Qt::LeftButton);
        s.mouse(QEvent::MouseButtonRelease, last, Qt::NoButton);
        s.mouse(QEvent::MouseButtonDblClick, last, Qt::LeftButton);
        s.mouse(QEvent::MouseButtonRelease, last, Qt::NoButton);
        QVERIFY(s.doc.ViewShared().selectionShown);
        s.tick();  // the interior is filled on the first tick
        QCOMPARE(s.mask(28, 24), uint8_t(1));
        QCOMPARE(s.mask(4, 4), uint8_t(0));
        QCOMPARE(s.mask(60, 24), uint8_t(0));

        // The wand on two flat areas split at x = 24; Shift held down adds the second.
        LayerTable& t = s.doc.Layers();
        for (int r = 0; r < 150; ++r)
            for (int c = 0; c < 200; ++c) t.PutColor(0, c, r, c < 24 ? 0x204060 : 0xC0C0C0);
        s.doc.CopyToSnapshot(0);
        s.tools.currentTool = ToolId::MagicWand;
        s.tools.slider1 = {true, "포함한계치", 25, 0, 60};
        s.click(s.at(4, 4));
        QCOMPARE(s.selected(), 24 * 150);
        QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, 50, 0, 0, QString(),
                        true);
        QApplication::sendEvent(s.view(), &shift);
        s.click(s.at(40, 40));
        QCOMPARE(s.selected(), 200 * 150);
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
        QApplication::sendEvent(s.view(), &up);
        s.click(s.at(40, 40));
        QCOMPARE(s.selected(), 176 * 150);
    }

    void marchingAntsTickDoesNotRecompose() {
        Session s(1.0);
        s.tools.currentTool = ToolId::RectSelect;
        s.mouse(QEvent::MouseButtonPress, s.at(10, 10), Qt::LeftButton);
        s.mouse(QEvent::MouseMove, s.at(60, 50), Qt::LeftButton);
        s.mouse(QEvent::MouseButtonRelease, s.at(60, 50), Qt::NoButton);
        QVERIFY(s.view()->state().Animation().timerRunning());
        const QImage first = s.view()->renderViewport();
        const int composed = s.view()->compositions();
        QVERIFY(s.view()->state().TimerTick());
        const QImage second = s.view()->renderViewport();
        QCOMPARE(s.view()->compositions(), composed);
        // The left edge's dashes (the column left of the selection, where the class changes)
        // swap colours with the phase; inside stays the picture.
        const QPoint edge = s.at(9, 20);
        QVERIFY(first.pixel(edge) != second.pixel(edge));
        QCOMPARE(first.pixel(s.at(30, 30)), second.pixel(s.at(30, 30)));
        QCOMPARE(second.pixel(s.at(30, 30)), 0xFF000000u | PatternColour(30, 30));
        // Outside, the dim-outside setting greys the picture.
        const QRgb out = second.pixel(s.at(100, 100));
        QCOMPARE(qRed(out), qBlue(out));
        QCOMPARE(qGreen(out), qBlue(out));
        // Ctrl+D's drop takes the outline away.
        DropSelection(s.doc);
        QApplication::processEvents();
        QCOMPARE(s.view()->renderViewport().pixel(edge), 0xFF000000u | PatternColour(9, 20));
        QVERIFY(!s.view()->state().Animation().timerRunning());
    }
};

QUILLET_QTEST(SelectionViewTest)
#include "test_selection_view.moc"
