// The colour adjustment and filter dialogs on a real document: live preview, Cancel and
// "닫기" restore the layer byte for byte, OK and "실행" record one journal step, and "모든 열린
// 이미지에 적용" reaches every open document. Filters run on the worker thread with the
// progress bar shown and the document windows' input held.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <memory>

#include "QtTestRegistry.h"
#include "document/CBrevDoc.h"
#include "document/qt/CDlg_ColourDialogs.h"
#include "document/qt/CDlg_Filter.h"
#include "document/qt/CDlg_Histogram.h"
#include "document/qt/Dlg_RedEyes.h"
#include "document/qt/FilterRunner.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/LayerBuilders.h"
#include "tests/support/TempDir.h"

using namespace quillet;

namespace {

// A 64 × 48 picture with varied colours and its first journal step.
struct Doc {
    RecordingUserPort user;
    testsupport::TempDir dir{"quillet_dialogs"};
    CBrevDoc doc{user};
    explicit Doc(int seed = 1) {
        doc.Journal().SetFolder(dir.path().string() + '/');
        CreateLayerArgs a =
            testsupport::LayerArgs(doc.Layers(), 0, 0, 0, 64, 48, LayerKind::Picture);
        a.initialAlpha = 255;
        testsupport::AddLayer(doc, a, -1);
        auto& px = doc.Layers().planesOf(0).pixels;
        for (size_t i = 0; i < px.size(); ++i)
            px[i] = uint8_t((i * 37 + size_t(seed) * 11) ^ (i >> 7));
        doc.SetCurrentLayerIndex(0);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit);
    }
    const PlaneBuffer& pixels() { return doc.Layers().planesOf(0).pixels; }
    int steps() const { return doc.Journal().StepIndex(); }
    std::u16string label() const { return doc.Journal().Entry(steps()).label; }
};

ValueSlider* slider(QWidget& dialog, const char* name) {
    return dialog.findChild<ValueSlider*>(QString::fromLatin1(name));
}

}  // namespace

class AdjustDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void brightnessPreviewCancelAndOk() {
        Doc d;
        const std::vector<uint8_t> before = d.pixels();
        {
            CDlg_BrightContrast dialog(d.doc);
            QVERIFY(dialog.started());
            QCOMPARE(dialog.windowTitle(), QStringLiteral("      명도·대비 조정"));
            slider(dialog, "brightness")->slider()->setValue(60);
            QVERIFY(d.pixels() != before);  // the preview shows at once
            QCOMPARE(slider(dialog, "brightness")->edit()->text(), QStringLiteral("60"));
            slider(dialog, "contrast")->edit()->setText(QString());
            QTest::keyClicks(slider(dialog, "contrast")->edit(), QStringLiteral("-40"));
            QCOMPARE(slider(dialog, "contrast")->value(), -40);
            dialog.reject();
        }
        QVERIFY(d.pixels() == before);
        QCOMPARE(d.steps(), 0);

        Doc other(2);
        const std::vector<uint8_t> otherBefore = other.pixels();
        CDlg_BrightContrast dialog(d.doc);
        dialog.setOtherDocuments([&] { return std::vector<CBrevDoc*>{&d.doc, &other.doc}; });
        slider(dialog, "brightness")->slider()->setValue(30);
        const std::vector<uint8_t> shown = d.pixels();
        dialog.findChild<QCheckBox*>(QStringLiteral("everyDocument"))->setChecked(true);
        dialog.accept();
        QVERIFY(d.pixels() == shown);
        QCOMPARE(d.steps(), 1);
        QVERIFY(d.label() == u"명도·대비 조절");
        QCOMPARE(other.steps(), 1);
        QVERIFY(other.pixels() != otherBefore);
        QVERIFY(other.label() == u"명도·대비 조절");
    }

    void colourAdjustSaturationAndStart() {
        Doc d;
        const std::vector<uint8_t> before = d.pixels();
        CDlg_ColorAdjust dialog(d.doc);
        slider(dialog, "red")->slider()->setValue(100);
        slider(dialog, "saturation")->slider()->setValue(-100);
        // The last moved is what shows: every pixel grey in the YUV sense.
        const std::vector<uint8_t> grey = d.pixels();
        QVERIFY(grey != before);
        dialog.findChild<QPushButton*>(QStringLiteral("start"))->click();
        QVERIFY(d.pixels() == before);
        QCOMPARE(slider(dialog, "red")->value(), 0);
        slider(dialog, "saturation")->slider()->setValue(-100);
        dialog.accept();
        QVERIFY(d.pixels() == grey);
        QVERIFY(d.label() == u"색상조정");
    }

    void histogramMarkersAndLevels() {
        Doc d;
        const std::vector<uint8_t> before = d.pixels();
        CDlg_Histogram dialog(d.doc);
        dialog.show();
        QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("range"))->text().contains(" ~ "));
        HistogramGraph* graph = dialog.graph();
        QTest::mousePress(graph, Qt::LeftButton, {}, QPoint(60, 150));
        QTest::mouseRelease(graph, Qt::LeftButton, {}, QPoint(60, 150));
        QCOMPARE(graph->black(), 50);
        QVERIFY(d.pixels() != before);
        // The marker nearer the pointer moves.
        graph->moveMarker(40);
        QCOMPARE(graph->black(), 30);
        graph->moveMarker(250);
        QCOMPARE(graph->white(), 240);
        dialog.findChild<QRadioButton*>(QStringLiteral("channel1"))->click();
        dialog.reject();
        QVERIFY(d.pixels() == before);
        QCOMPARE(d.steps(), 0);
    }

    void thresholdCoversEveryLayer() {
        Doc d;
        CreateLayerArgs a = testsupport::LayerArgs(d.doc.Layers(), 1, 0, 0, 10, 10);
        a.initialAlpha = 255;
        testsupport::AddLayer(d.doc, a);
        const std::vector<uint8_t> upper = d.doc.Layers().planesOf(1).pixels;
        CDlg_Threshold dialog(d.doc);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("임계치변환"));
        auto* modes = dialog.findChild<QListWidget*>(QStringLiteral("modes"));
        QCOMPARE(modes->count(), 3);
        QCOMPARE(modes->item(2)->text(), QStringLiteral("절대변환"));
        modes->setCurrentRow(2);
        QVERIFY(d.doc.Layers().planesOf(1).pixels != upper);
        dialog.findChild<QPushButton*>(QStringLiteral("start"))->click();
        QVERIFY(d.doc.Layers().planesOf(1).pixels == upper);
        dialog.accept();
        QVERIFY(d.label() == u"임계치변환");
    }

    void textLayersRefuseTheDialogs() {
        Doc d;
        CreateLayerArgs a = testsupport::LayerArgs(d.doc.Layers(), 1, 0, 0, 5, 5, LayerKind::Text);
        testsupport::AddLayer(d.doc, a);
        d.doc.SetCurrentLayerIndex(1);
        CDlg_BrightContrast dialog(d.doc);
        QVERIFY(!dialog.started());
        QCOMPARE(QString::fromStdString(d.user.lastText()),
                 QStringLiteral("현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택"));
    }

    void filterDialogRunsOnTheWorker() {
        Doc d;
        QMainWindow window;
        auto* area = new QMdiArea(&window);
        window.setCentralWidget(area);
        auto* view = new QWidget;
        area->addSubWindow(view);
        window.show();
        FilterRunner runner(&window);
        const std::vector<uint8_t> before = d.pixels();
        {
            CDlg_Filter dialog(d.doc, FilterId::Blur, runner);
            QVERIFY(dialog.started());
            QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("name"))->text(),
                     QStringLiteral("흐리게"));
            QVERIFY(dialog.findChild<ValueSlider*>(QStringLiteral("parameter1")));
            runner.wait();
            QVERIFY(d.pixels() != before);  // the preview at the default size
            dialog.parameter(0)->slider()->setValue(9);
            runner.wait();
            dialog.reject();
        }
        QVERIFY(d.pixels() == before);
        QCOMPARE(d.steps(), 0);

        CDlg_Filter dialog(d.doc, FilterId::Sharpen, runner);
        runner.wait();
        dialog.parameter(0)->slider()->setValue(20);
        runner.wait();
        const std::vector<uint8_t> shown = d.pixels();
        dialog.accept();
        // The command runs on the worker too: the bar shows, the views' input is held.
        QVERIFY(runner.running());
        auto* bar = window.statusBar()->findChild<QProgressBar*>(QStringLiteral("progressBar"));
        QVERIFY(bar && bar->isVisible());
        QVERIFY(d.doc.Busy());
        runner.wait();
        QVERIFY(!d.doc.Busy());
        QVERIFY(!bar->isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(d.pixels() == shown);
        QCOMPARE(d.steps(), 1);
        QVERIFY(d.label() == u"강조");
    }

    void redEyePanel() {
        Doc d;
        Dlg_RedEyes panel([&] { return &d.doc; });
        bool asked = false;
        connect(&panel, &Dlg_RedEyes::selectPupil, this, [&] { asked = true; });
        panel.findChild<QPushButton*>(QStringLiteral("pupil"))->click();
        QVERIFY(asked);
        QCOMPARE(QString::fromStdString(d.user.lastText()),
                 QStringLiteral("눈동자 영역을 원형 선택하시오"));
        const std::vector<uint8_t> before = d.pixels();
        // No pupil selected yet: the panel asks for one and changes nothing.
        panel.findChild<QPushButton*>(QStringLiteral("convert"))->click();
        QCOMPARE(d.steps(), 0);
        d.doc.SetSelectionActive(true);
        SelectionMask& m = d.doc.Layers().mask;
        m.Reset(0, 0, 64, 48, 0);
        for (int y = 10; y < 30; ++y)
            for (int x = 20; x < 40; ++x) m.bytes[size_t(y * 64 + x)] = 1;
        panel.findChild<QPushButton*>(QStringLiteral("convert"))->click();
        panel.findChild<QPushButton*>(QStringLiteral("convert"))->click();
        QCOMPARE(d.steps(), 2);
        QVERIFY(d.label() == u"적안 제거");
        panel.findChild<QPushButton*>(QStringLiteral("start"))->click();
        QCOMPARE(d.steps(), 0);
        QVERIFY(d.pixels() == before);

        CDlg_Channel channels(d.doc);
        QVERIFY(!channels.empty());
        QVERIFY(channels.findChild<QLabel*>(QStringLiteral("channel3")));
    }
};
QUILLET_QTEST(AdjustDialogsTest)
#include "test_adjust_dialogs.moc"
