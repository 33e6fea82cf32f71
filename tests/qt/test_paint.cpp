// Painting with the mouse in a document window at several zooms, the picture recomposed area by
// area during a stroke, the brush panel and the touch-deform panel, and the tools in the editor.
#include <QButtonGroup>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include "../view/ViewTestDoc.h"
#include "ProgramFixture.h"
#include "QtTestRegistry.h"
#include "app/qt/PaintCommands.h"
#include "app/qt/ToolOptionBar.h"
#include "platform/ClipboardPort.h"
#include "view/FrameSettings.h"
#include "view/LayerGrowth.h"
#include "view/ToolState.h"
#include "view/qt/CDlg_SetBrush.h"
#include "view/qt/CDlg_TouchDeform.h"
#include "view/tools/PaintTools.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct PaintSession {
    RecordingUserPort user;
    CBrevDoc doc{user, 1};
    ToolState tools;
    MemoryClipboard clipboard;
    ToolRegistry registry;
    FrameSettings settings;
    PaintTools paint{settings};
    QMdiArea area;
    CChildFrame* frame = nullptr;

    explicit PaintSession(double zoom) {
        AddPatternLayer(doc, 400, 300);
        paint.Register(registry);
        tools.currentTool = ToolId::Brush;
        settings.foreground = 0x0000FF;  // red, as the settings keep it
        settings.brushThickness = 3;
        settings.brushKind = FrameSettings::Pencil;
        doc.SetZoom(zoom);
        area.resize(700, 600);
        frame = new CChildFrame(doc, ViewContext{tools, &clipboard, &registry}, &area);
        area.addSubWindow(frame);
        frame->resize(640, 520);
        area.show();
        frame->show();
        QApplication::processEvents();
    }
    CBrevView* view() const { return frame->view(); }
    QWidget* port() const { return frame->view()->viewport(); }
    ViewPoint canvasOf(QPoint window) const {
        return CanvasOf(view()->state().ToZoomed({window.x(), window.y()}), doc.Zoom());
    }
};

}  // namespace

class PaintTest : public QObject {
    Q_OBJECT
private slots:
    void aDragPaintsTheLineUnderThePointerAtEveryZoom() {
        for (double zoom : {0.25, 1.0, 4.0}) {
            PaintSession s(zoom);
            s.view()->renderViewport();  // the cached picture the stroke then updates
            const ViewRect shown = s.view()->state().DisplayedRect();
            const QPoint from(shown.left + 20, shown.top + 30);
            const QPoint to(shown.left + 90, shown.top + 50);
            const ViewPoint a = s.canvasOf(from), b = s.canvasOf(to);
            const LayerPlanes before = s.doc.Layers().planesOf(0);

            SendMouse(s.port(), QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
            SendMouse(s.port(), QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
            // Mid-stroke the picture was composed again only where the stamps fell; it must
            // equal a picture composed from scratch.
            const QImage updated = s.view()->renderViewport();
            s.doc.ViewShared().recomposeNeeded = true;
            QCOMPARE(s.view()->renderViewport(), updated);
            SendMouse(s.port(), QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);

            LayerPlanes expected = before;
            StampTarget t;
            const Layer& l = s.doc.Layers().layer(0);
            t.layer = {expected.pixels.data(), l.stride, expected.alpha.data(), l.width, l.height};
            const BrushStamp stamp(3, false);
            PaintLine(t, stamp, a.x, 299 - a.y, a.x, 299 - a.y, 0xFF0000);
            PaintLine(t, stamp, a.x, 299 - a.y, b.x, 299 - b.y, 0xFF0000);
            QVERIFY2(s.doc.Layers().planesOf(0).pixels == expected.pixels,
                     qPrintable(QString::number(zoom)));
            // The pointer's own pixel is painted, and the window shows it.
            QCOMPARE(s.doc.Layers().ColorAt(0, b.x, 299 - b.y), 0xFF0000u);
            QCOMPARE(s.view()->renderViewport().pixel(to), qRgb(255, 0, 0));
            QCOMPARE(s.doc.Journal().Entry(s.doc.Journal().StepIndex()).label,
                     std::u16string(u"붓그리기"));
        }
    }

    void theBrushPanelStoresEveryChangeAtOnce() {
        FrameSettings settings;
        settings.brushThickness = 5;
        settings.brushKind = FrameSettings::Brush;
        CDlg_SetBrush panel(settings);
        QSignalSpy changed(&panel, &CDlg_SetBrush::brushChanged);
        panel.show();
        QCOMPARE(panel.windowTitle(), QStringLiteral("     붓 굵기"));
        QCOMPARE(panel.size(), QSize(220, 170));
        QCOMPARE(panel.sizeEdit()->text(), QStringLiteral("5"));
        QVERIFY(panel.softButton()->isChecked());

        panel.sizeSlider()->setValue(12);
        QCOMPARE(panel.sizeEdit()->text(), QStringLiteral("12"));
        QCOMPARE(settings.brushThickness, 12);
        panel.sizeEdit()->clear();
        QTest::keyClicks(panel.sizeEdit(), QStringLiteral("27"));
        QCOMPARE(panel.sizeSlider()->value(), 27);
        QCOMPARE(settings.brushThickness, 27);
        panel.presets()->button(7)->click();
        QCOMPARE(settings.brushThickness, 7);
        QVERIFY(panel.presets()->button(7)->isChecked());
        panel.presets()->button(3)->click();
        QVERIFY(!panel.presets()->button(7)->isChecked());
        panel.hardButton()->click();
        QCOMPARE(settings.brushKind, int(FrameSettings::Pencil));
        QVERIFY(changed.count() >= 5);
    }

    void theTouchDeformPanelGivesModeStrengthAndArea() {
        TouchDeformSettings settings;
        CDlg_TouchDeform panel(settings);
        QVERIFY(!settings.panelOpen);
        panel.show();
        panel.resize(200, 150);
        QApplication::processEvents();
        QVERIFY(settings.panelOpen);
        panel.modes()->button(2)->click();
        QCOMPARE(settings.mode, 2);
        panel.strengthEdit()->setText(QStringLiteral("2.5"));
        QCOMPARE(settings.strength, 2.5);
        QCOMPARE(settings.width, panel.width());
        QCOMPARE(settings.height, panel.height());
        panel.hide();
        QVERIFY(!settings.panelOpen);
    }

    void theEditorReachesTheToolsAndPanels() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        CMainFrame& f = p.frame();
        QVERIFY(f.menuAction(CommandId::Brush));
        QVERIFY(!f.commandActions(CommandId::TouchDeform).isEmpty());  // the brush fly-out
        QVERIFY(f.dispatchCommand(CommandId::Brush));
        QCOMPARE(p.shell.tools().currentTool, ToolId::Brush);
        QVERIFY(f.dispatchCommand(CommandId::WaterDrop));
        QCOMPARE(f.optionBar()->label(0), QStringLiteral("퍼짐정도"));
        QVERIFY(f.dispatchCommand(CommandId::BrushPanel));
        auto* brush = qobject_cast<CDlg_SetBrush*>(f.panel(CMainFrame::Panel::Brush));
        QVERIFY(brush && brush->isVisible());
        brush->sizeSlider()->setValue(9);
        QCOMPARE(p.shell.app().settings().brushThickness, 9);
        QVERIFY(f.dispatchCommand(CommandId::TouchDeform));
        QVERIFY(p.shell.paint().touchDeformPanel()->isVisible());

        // A click with the colour pick makes the pixel's colour the foreground swatch.
        QVERIFY(f.dispatchCommand(CommandId::ColourPick));
        CBrevView* view = p.current()->view();
        const ViewRect r = view->state().DisplayedRect();
        SendMouse(view->viewport(), QEvent::MouseButtonPress, QPoint(r.left + 10, r.top + 5),
                  Qt::LeftButton, Qt::LeftButton);
        const CBrevDoc& doc = view->document();
        const int slot = doc.CurrentLayer();
        const uint32_t rgb = doc.Layers().ColorAt(slot, 10, doc.Layers().layer(slot).height - 6);
        QCOMPARE(f.swatches().foreground.colour,
                 ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    }
};
QUILLET_QTEST(PaintTest)
#include "test_paint.moc"
