// Fill, gradient and the path panel in the whole editor: clicks and drags on the view, the
// panels' buttons, the command gate while the path panel is open, and one journal step each.
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "ProgramFixture.h"
#include "QtTestRegistry.h"
#include "app/qt/FillPathCommands.h"
#include "document/CBrevDoc.h"
#include "view/qt/CDlg_AnchorLine.h"
#include "view/qt/CDlg_GradientBucket.h"

using namespace quillet;
using quillet::testing::Program;
using quillet::testing::SendMouse;

namespace {

// Window point of canvas pixel (x, y) at zoom 1.
QPoint At(CBrevView* view, int x, int y) {
    const ViewRect r = view->state().DisplayedRect();
    return {r.left + x, r.top + y};
}

void Click(CBrevView* view, QPoint p) {
    SendMouse(view->viewport(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    SendMouse(view->viewport(), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}

std::u16string LastLabel(const CBrevDoc& doc) {
    return doc.Journal().Entry(doc.Journal().StepIndex()).label;
}

}  // namespace

class FillPathTest : public QObject {
    Q_OBJECT
private slots:
    void fillAndGradientWithTheMouse() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        CBrevView* view = p.current()->view();
        CBrevDoc& doc = view->document();
        QVERIFY(p.frame().dispatchCommand(CommandOf(ToolId::Fill)));
        QCOMPARE(p.shell.tools().slider1.label, std::string("포함한계치"));
        QCOMPARE(p.shell.tools().slider1.value, 10);
        p.shell.app().settings().foreground = 0x0000FF;  // red, as the settings keep it
        Click(view, At(view, 10, 10));
        QCOMPARE(LastLabel(doc), std::u16string(u"채우기"));
        QCOMPARE(doc.Layers().ColorAt(doc.CurrentLayer(), 10, 39 - 10), 0xFF0000u);

        QVERIFY(p.frame().dispatchCommand(CommandOf(ToolId::Gradient)));
        CDlg_GradientBucket* panel = p.shell.fillPath().gradientPanel();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->windowTitle(), QStringLiteral("      그라디언트 채우기"));
        panel->bothButton()->click();
        QVERIFY(panel->bothButton()->isChecked() && !panel->foregroundButton()->isChecked());
        const QPoint from = At(view, 0, 5), to = At(view, 59, 30);
        SendMouse(view->viewport(), QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        SendMouse(view->viewport(), QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        QVERIFY(doc.ViewShared().anchors.farCorner.IsSet());
        SendMouse(view->viewport(), QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(LastLabel(doc), std::u16string(u"그라디언트"));
        // The gradient command again closes the panel and leaves no tool.
        QVERIFY(p.frame().dispatchCommand(CommandOf(ToolId::Gradient)));
        QVERIFY(!panel->isVisible());
        QCOMPARE(p.shell.tools().currentTool, ToolId::None);
    }

    void pathPanelMakesASelectionAndKeepsOtherToolsOut() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        CBrevView* view = p.current()->view();
        CBrevDoc& doc = view->document();
        QVERIFY(p.frame().dispatchCommand(CommandId::PathPanel));
        CDlg_AnchorLine* panel = p.shell.fillPath().pathPanel();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(p.shell.tools().currentTool, ToolId::PathPlace);
        QCOMPARE(p.shell.tools().slider1.label, std::string("선길이"));
        // While the panel is open the brush is refused, zooming is not.
        QVERIFY(!p.frame().dispatchCommand(CommandOf(ToolId::Brush)));
        QCOMPARE(p.shell.tools().currentTool, ToolId::PathPlace);
        for (QPoint q : {At(view, 5, 5), At(view, 50, 8), At(view, 20, 35), At(view, 7, 6)})
            Click(view, q);
        QVERIFY(doc.ViewShared().path.closed);
        QCOMPARE(doc.ViewShared().path.Count(), 3);
        view->renderViewport();  // the path drawn over the picture
        panel->selectionButton()->click();
        QVERIFY(!panel->isVisible());
        QVERIFY(doc.SelectionActive());
        QVERIFY(doc.ViewShared().path.Empty());
        QCOMPARE(p.shell.tools().currentTool, ToolId::PolygonSelect);
        QVERIFY(doc.Layers().mask.RowFromTop(16)[25] != 0);
        QCOMPARE(doc.Layers().mask.RowFromTop(35)[55], uint8_t(0));
    }

    void strokeAlongThePath() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        CBrevView* view = p.current()->view();
        CBrevDoc& doc = view->document();
        QVERIFY(p.frame().dispatchCommand(CommandId::PathPanel));
        Click(view, At(view, 5, 20));
        Click(view, At(view, 50, 20));
        p.shell.fillPath().pathPanel()->strokeButton()->click();
        QCOMPARE(LastLabel(doc), std::u16string(u"경로따라 선긋기"));
        QVERIFY(!p.frame().isPanelVisible(CMainFrame::Panel::AnchorLine));
        QCOMPARE(p.shell.tools().currentTool, ToolId::None);
        // Reopening with guide points left asks before removing them.
        doc.ViewShared().path.points = {{1, 1}};
        p.user.script({Answer::Cancel});
        QVERIFY(p.frame().dispatchCommand(CommandId::PathPanel));
        QVERIFY(!p.frame().isPanelVisible(CMainFrame::Panel::AnchorLine));
        QCOMPARE(doc.ViewShared().path.Count(), 1);
    }
};

QUILLET_QTEST(FillPathTest)
#include "test_fill_path.moc"
