// The decoration commands in the whole program: the shadow, line-pattern, photo-frame and
// calendar dialogs reached through their commands, previewing, recording on OK and leaving
// nothing on Cancel; the speech balloon.
#include <QCheckBox>
#include <QMdiArea>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "ModalDialogs.h"
#include "QtTestRegistry.h"
#include "app/CBrevApp.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CDlg_Guid_UndoBrush.h"
#include "app/qt/CMainFrame.h"
#include "document/CBrevDoc.h"
#include "document/LayerOps.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "view/FrameSettings.h"
#include "view/qt/CBrevView.h"
#include "view/qt/CChildFrame.h"
#include "view/qt/CDlg_ImgFrame.h"
#include "view/qt/CDlg_LayerEffect.h"
#include "view/qt/CDlg_Pattern_Layer.h"
#include "view/qt/CDlg_PutCalendar.h"
#include "view/qt/DecorWidgets.h"
#include "view/tools/UndoBrush.h"

using namespace quillet;
using quillet::testing::whenShown;

namespace {

struct Program {
    QTemporaryDir dir;
    RecordingUserPort user;
    CBrevAppShell shell{&user};
    CBrevDoc* doc = nullptr;

    explicit Program(int width = 120, int height = 90) {
        QVERIFY(shell.start(dir.filePath(QStringLiteral("home")).toStdString()));
        shell.frame().resize(900, 700);
        shell.frame().show();
        RaViru image(width, height, 24, ImageKind::Bmp);
        const QString file = dir.filePath(QStringLiteral("p.bmp"));
        QVERIFY(image.WriteFile(file.toStdString(), ImageKind::Bmp));
        QVERIFY(shell.openFile(file));
        doc = shell.activeDocument();
    }
    const std::u16string& lastLabel() const {
        return doc->Journal().Entry(doc->Journal().StepIndex()).label;
    }
};

// A failed check leaves the lambda early: the dialog is closed anyway, so exec() returns.
struct Closer {
    QDialog& dialog;
    ~Closer() {
        if (dialog.isVisible()) dialog.reject();
    }
};

int EffectSum(const CBrevDoc& doc, int slot) {
    int sum = 0;
    for (uint8_t v : doc.Layers().planesOf(slot).effect) sum += v;
    return sum;
}

}  // namespace

class DecorDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void shadowDialogPreviewsAtEverySliderAndRecordsOnOk() {
        Program p;
        CBrevDoc& doc = *p.doc;
        // A layer with a shape to cast the shadow.
        const int slot = AddEmptyLayer(doc);
        for (int y = 20; y < 60; ++y)
            for (int x = 30; x < 80; ++x) doc.Layers().PutAlpha(slot, x, y, 255);
        doc.CopyToSnapshot(slot);
        int previewed = -1;
        whenShown<CDlg_LayerEffect>([&](CDlg_LayerEffect& d) {
            Closer closer{d};
            QCOMPARE(d.windowTitle(), QStringLiteral("  레이어에 그림자 효과 주기"));
            QCOMPARE(d.size(), QSize(280, 300));
            QCOMPARE(d.distanceSlider()->value(), 7);  // the defaults of a layer without one
            QCOMPARE(d.opacitySlider()->value(), 70);
            QCOMPARE(d.softnessSlider()->pageStep(), 5);
            d.distanceSlider()->setValue(4);
            previewed = EffectSum(doc, slot);
            d.angleBox()->setValue(360);
            d.angleBox()->stepBy(1);  // wraps past 360
            QCOMPARE(d.angleBox()->value(), 1.0);
            d.angleBox()->stepBy(-2);  // and below 0
            QCOMPARE(d.angleBox()->value(), 359.0);
            d.accept();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::ShadowEffect));
        QVERIFY(previewed > 0);
        QCOMPARE(doc.Layers().layer(slot).effectValue1, uint8_t(4));
        QCOMPARE(doc.Layers().layer(slot).effectParameter, 359);
        QCOMPARE(p.lastLabel(), std::u16string(u"레이어효과(그림자)"));
    }

    void shadowDialogCancelPutsTheLayerBack() {
        Program p;
        CBrevDoc& doc = *p.doc;
        const int slot = AddEmptyLayer(doc);
        const int steps = doc.Journal().StepIndex();
        whenShown<CDlg_LayerEffect>([&](CDlg_LayerEffect& d) {
            Closer closer{d};
            d.opacitySlider()->setValue(100);
            QCOMPARE(int(doc.Layers().layer(slot).effectValue1), 7);
            d.reject();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::ShadowEffect));
        QCOMPARE(int(doc.Layers().layer(slot).effectValue1), 0);
        QCOMPARE(doc.Journal().StepIndex(), steps);
    }

    void patternDialogDrawsAtEveryChangeAndCancelTakesTheLayerAway() {
        Program p;
        CBrevDoc& doc = *p.doc;
        whenShown<CDlg_Pattern_Layer>([&](CDlg_Pattern_Layer& d) {
            Closer closer{d};
            QCOMPARE(d.windowTitle(), QStringLiteral("      빗살무뉘넣기"));
            QCOMPARE(p.shell.tools().currentTool, ToolId::LinePattern);
            QCOMPARE(d.patternButton(2)->text(), QStringLiteral("패턴2"));
            QCOMPARE(d.spacingBox()->minimum(), 2);
            QCOMPARE(doc.Layers().Count(), 1);  // nothing before the first change
            d.patternButton(1)->click();
            QCOMPARE(doc.Layers().Count(), 2);
            d.reject();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::CombPattern));
        QCOMPARE(doc.Layers().Count(), 1);
        QCOMPARE(p.shell.tools().currentTool, ToolId::None);

        whenShown<CDlg_Pattern_Layer>([&](CDlg_Pattern_Layer& d) {
            Closer closer{d};
            d.spacingBox()->setValue(5);
            d.accept();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::CombPattern));
        QCOMPARE(doc.Layers().Count(), 2);
        QCOMPARE(p.lastLabel(), std::u16string(u"패턴 레이어 넣기"));
    }

    void frameDialogWaitsForAStyleThenRecordsTheFrame() {
        Program p;
        CBrevDoc& doc = *p.doc;
        whenShown<CDlg_ImgFrame>([&](CDlg_ImgFrame& d) {
            Closer closer{d};
            QCOMPARE(d.windowTitle(), QStringLiteral("      액자틀 만들기"));
            QCOMPARE(d.styleButton(3)->text(), QStringLiteral("사진틀 3 선택"));
            d.widthBox()->setValue(6);
            QCOMPARE(doc.Layers().Count(), 1);
            d.styleButton(0)->click();
            QCOMPARE(doc.Layers().Count(), 2);
            d.accept();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::PhotoFrame));
        QCOMPARE(p.lastLabel(), std::u16string(u"사진틀 넣기"));
        const LayerTable& t = doc.Layers();
        const int frame = t.Top();
        QCOMPARE(t.layer(frame).Name(), std::u16string(u"[ImgFrame]"));
        QCOMPARE(int(t.AlphaAt(frame, 5, 40)), 255);
        QCOMPARE(int(t.AlphaAt(frame, 6, 40)), 0);
    }

    void calendarDialogPutsTheMonthOnANewLayer() {
        Program p;
        CBrevDoc& doc = *p.doc;
        whenShown<CDlg_PutCalendar>([&](CDlg_PutCalendar& d) {
            Closer closer{d};
            QCOMPARE(p.shell.tools().currentTool, ToolId::Calendar);
            d.yearBox()->setValue(2024);
            d.monthBox()->setValue(6);
            d.sizeBox()->setValue(5);
            QCOMPARE(d.request().firstWeekday, 6);
            QCOMPARE(d.request().days, 30);
            d.accept();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::Calendar));
        QCOMPARE(doc.Layers().layer(doc.CurrentLayer()).Name(), std::u16string(u" [달력] 6월"));
        QCOMPARE(p.lastLabel(), std::u16string(u"[달력]"));
    }

    void undoBrushGuideOpensTheHelpPageAndCanBeStopped() {
        Program p;
        QVERIFY(p.shell.app().settings().undoBrushGuide);  // shown until the user stops it
        QUrl opened;
        whenShown<CDlg_Guid_UndoBrush>([&](CDlg_Guid_UndoBrush& d) {
            d.setPageOpener([&](const QUrl& url) { opened = url; });
            d.accept();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::UndoBrush));
        QCOMPARE(opened.fileName(), QStringLiteral("undo-brush.html"));
        QVERIFY(p.shell.app().settings().undoBrushGuide);
        whenShown<CDlg_Guid_UndoBrush>([&](CDlg_Guid_UndoBrush& d) {
            d.stopBox()->setChecked(true);
            d.reject();
        });
        opened.clear();
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::UndoBrush));
        QVERIFY(opened.isEmpty());
        QVERIFY(!p.shell.app().settings().undoBrushGuide);
        // Stopped: the brush is reached without the guide.
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::UndoBrush));
    }

    void undoBrushPaintsThePreviousStepBackUnderTheMouse() {
        Program p;
        CBrevDoc& doc = *p.doc;
        p.shell.app().settings().undoBrushGuide = false;
        // Right after opening there is no previous step: the tool is not even chosen.
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::UndoBrush));
        QVERIFY(p.shell.tools().currentTool != ToolId::UndoBrush);
        const int slot = doc.CurrentLayer();
        LayerTable& t = doc.Layers();
        const uint32_t opened = t.ColorAt(slot, 30, 45);
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 120; ++x) t.PutColor(slot, x, y, 0x00FF00);
        doc.RecordStep(u"채우기", StepKind::PixelEdit);
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::UndoBrush));
        QCOMPARE(p.shell.tools().currentTool, ToolId::UndoBrush);
        auto* window = qobject_cast<CChildFrame*>(p.shell.frame().mdiArea()->currentSubWindow());
        QWidget* port = window->view()->viewport();
        const ViewRect r = window->view()->state().DisplayedRect();
        const QPoint at(r.left + 30, r.top + 90 - 1 - 45);
        QTest::mousePress(port, Qt::LeftButton, {}, at);
        QTest::mouseMove(port, at + QPoint(10, 0));
        QTest::mouseRelease(port, Qt::LeftButton, {}, at + QPoint(10, 0));
        QCOMPARE(t.ColorAt(slot, 30, 45), opened);
        QCOMPARE(t.ColorAt(slot, 100, 10), 0x00FF00u);
        QCOMPARE(p.lastLabel(), std::u16string(u"작업취소붓"));
    }

    void speechBalloonIsDrawnInTheForegroundColourAndSize() {
        Program p(400, 300);
        CBrevDoc& doc = *p.doc;
        const int slot = doc.CurrentLayer();
        const LayerTable& t = doc.Layers();
        const uint32_t opened = t.ColorAt(slot, 300, 149) & 0xFFFFFF;
        p.shell.app().settings().foreground = 0x0000FF;  // 0x00BBGGRR: red
        p.shell.app().settings().brushThickness = 1;
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::SpeechBalloon));
        QCOMPARE(p.lastLabel(), std::u16string(u"원 그리기"));
        // Storage rows count from the bottom: the centre is 150 rows above the bottom edge
        // (row 149), the rim 50 further up.
        QCOMPARE(t.ColorAt(slot, 300, 199) & 0xFFFFFF, 0xFF0000u);
        QCOMPARE(t.ColorAt(slot, 250, 149) & 0xFFFFFF, 0xFF0000u);
        QCOMPARE(t.ColorAt(slot, 300, 149) & 0xFFFFFF, opened);
        QVERIFY(doc.Undo());
        QCOMPARE(t.ColorAt(slot, 300, 199) & 0xFFFFFF, opened);
    }
};

QUILLET_QTEST(DecorDialogsTest)
#include "test_decor_dialogs.moc"
