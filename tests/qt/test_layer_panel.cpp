// The layer window under the offscreen platform: rows and labels, reordering by dragging a row,
// the visibility switch, the transparency slider and blend list changing the picture, history
// rows undoing, pictures made once, and the layer commands in the whole program.
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "QtTestRegistry.h"
#include "app/CBrevApp.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/LayerCommands.h"
#include "document/CBrevDoc.h"
#include "document/LayerOps.h"
#include "document/compositor/Compositor.h"
#include "document/qt/CDlg_Layer.h"
#include "document/qt/LayerRowList.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "platform/qt/QtClipboard.h"
#include "tests/support/LayerBuilders.h"

using namespace quillet;

namespace {

// A picture of three layers whose journal writes into a temporary folder.
struct Picture {
    QTemporaryDir dir;
    RecordingUserPort user;
    CBrevDoc doc{user};
    int a = -1, b = -1;

    Picture() {
        doc.Journal().SetFolder(dir.path().toStdString() + '/');
        CreateLayerArgs args;
        args.width = 30;
        args.height = 20;
        args.initialAlpha = 255;
        args.kind = LayerKind::Picture;
        args.background = true;
        testsupport::AddLayer(doc, args, -1);
        doc.Layers().layer(0).SetName(u"배경영상");
        for (size_t i = 0; i < doc.Layers().planesOf(0).pixels.size(); ++i)
            doc.Layers().planesOf(0).pixels[i] = uint8_t(i * 5);
        doc.SetCurrentLayerIndex(0);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit);
        a = AddEmptyLayer(doc);
        paint(a, 0x40);
        b = AddEmptyLayer(doc);
        paint(b, 0xC0);
    }
    void paint(int slot, uint8_t value) {
        LayerPlanes& p = doc.Layers().planesOf(slot);
        std::fill(p.pixels.begin(), p.pixels.end(), value);
        for (size_t i = 0; i < p.alpha.size(); ++i) p.alpha[i] = i % 3 ? 255 : 0;
        doc.RecordStep(u"채우기", StepKind::PixelEdit, slot);
    }
    std::vector<uint8_t> composed() const {
        return Compositor::ComposeFull(doc.Layers(), doc.Layers().bottom, 0).bytes;
    }
};

QPoint RowCentre(CDlg_Layer& panel, int row) {
    return panel.rowList()->rowRect(row).center() + QPoint(20, 0);
}

}  // namespace

class LayerPanelTest : public QObject {
    Q_OBJECT
private slots:
    void rowsLabelsAndControlsFollowTheDocument() {
        Picture p;
        CDlg_Layer panel;
        panel.setDocument(&p.doc);
        QCOMPARE(panel.windowTitle(), QStringLiteral("      레이어창"));
        QCOMPARE(panel.canvasLabel()->text(), QStringLiteral("(30 x 20)"));
        const auto& rows = panel.rowList()->rows();
        QCOMPARE(int(rows.size()), 3);
        QCOMPARE(rows[0].label, std::u16string(u"배경영상"));
        QVERIFY(rows[0].background);
        QVERIFY(rows[2].highlighted);
        QCOMPARE(panel.blendList()->count(), 9);
        QCOMPARE(panel.blendList()->itemText(8), QStringLiteral("오버레이혼합"));
        // The history list: the newest step first, "(처음이미지)" for the opening.
        QCOMPARE(panel.historyList()->count(), 5);
        QVERIFY(panel.historyList()->item(4)->text().endsWith(QStringLiteral("(처음이미지)")));
        QCOMPARE(panel.collapseButton()->text(), QStringLiteral("줄인창"));
        panel.collapseButton()->click();
        QCOMPARE(panel.collapseButton()->text(), QStringLiteral("늘린창"));
        QVERIFY(panel.isCollapsed());

        // A change in the document reaches the panel once the event loop runs.
        RenameCurrentLayer(p.doc, u"구름");
        QTRY_COMPARE(panel.rowList()->rows()[2].label, std::u16string(u"구름"));
        panel.setDocument(nullptr);
        QCOMPARE(int(panel.rowList()->rows().size()), 0);
        QVERIFY(!panel.transparencySlider()->isEnabled());
    }

    void draggingARowOntoAnotherExchangesTheLayers() {
        Picture p;
        CDlg_Layer panel;
        panel.resize(260, 500);
        panel.setDocument(&p.doc);
        panel.show();
        QWidget* list = panel.rowList();
        QTest::mousePress(list, Qt::LeftButton, {}, RowCentre(panel, 1));
        QCOMPARE(p.doc.CurrentLayer(), p.a);  // pressing chooses the layer
        QTest::mouseMove(list, RowCentre(panel, 1) + QPoint(0, 12));
        QTest::mouseMove(list, RowCentre(panel, 2));
        QTest::mouseRelease(list, Qt::LeftButton, {}, RowCentre(panel, 2));
        QCOMPARE(p.doc.Layers().Order(), (std::vector<int>{0, p.b, p.a}));
        QCOMPARE(p.doc.Journal().Entry(p.doc.Journal().StepIndex()).label,
                 std::u16string(u"레이어 위치 이동"));
        // A click without a drag only chooses.
        const int steps = p.doc.Journal().StepIndex();
        QTest::mouseClick(list, Qt::LeftButton, {}, RowCentre(panel, 0));
        QCOMPARE(p.doc.CurrentLayer(), 0);
        QCOMPARE(p.doc.Journal().StepIndex(), steps);
        // The switch hides and shows.
        panel.refreshNow();
        QTest::mouseClick(list, Qt::LeftButton, {}, panel.rowList()->switchRect(2).center());
        QCOMPARE(p.doc.Layers().layer(p.a).visible, 0);
    }

    void sliderTextBoxAndBlendListChangeThePicture() {
        Picture p;
        CDlg_Layer panel;
        panel.setDocument(&p.doc);
        const std::vector<uint8_t> before = p.composed();
        panel.transparencySlider()->setValue(200);
        QCOMPARE(int(p.doc.Layers().layer(p.b).transparency), 200);
        QCOMPARE(panel.transparencyEdit()->text(), QStringLiteral("200"));
        QVERIFY(p.composed() != before);
        panel.transparencyEdit()->setText(QStringLiteral("17"));
        emit panel.transparencyEdit()->editingFinished();
        QCOMPARE(int(p.doc.Layers().layer(p.b).transparency), 17);
        QCOMPARE(panel.transparencySlider()->value(), 17);
        const std::vector<uint8_t> normal = p.composed();
        panel.blendList()->setCurrentIndex(1);
        emit panel.blendList()->activated(1);
        QCOMPARE(int(p.doc.Layers().layer(p.b).blendMode), 2);  // "곱셈혼합"
        QVERIFY(p.composed() != normal);
    }

    void aHistoryRowUndoesToItsStep() {
        Picture p;
        CDlg_Layer panel;
        panel.setDocument(&p.doc);
        QListWidget* history = panel.historyList();
        const int last = history->count() - 1;  // step 0
        emit history->itemClicked(history->item(last));
        QCOMPARE(p.doc.Journal().StepIndex(), 0);
        QCOMPARE(p.doc.Layers().Count(), 1);
        panel.refreshNow();
        QCOMPARE(history->count(), 1);
    }

    void picturesAreMadeOnlyForLayersThatChanged() {
        Picture p;
        CDlg_Layer panel;
        panel.setDocument(&p.doc);
        QCOMPARE(panel.refreshNow(), 0);
        p.paint(p.a, 0x11);
        QCOMPARE(panel.refreshNow(), 1);
        SetLayerTransparency(p.doc, p.b, 90);
        QCOMPARE(panel.refreshNow(), 1);
        QCOMPARE(panel.refreshNow(), 0);
        const QImage& picture = panel.rowList()->thumbnail(p.a);
        QCOMPARE(picture.size(), QSize(40, 40));
        // 30 × 20 fitted into 40 × 40: rows 7 to 32 hold the layer.
        QCOMPARE(qAlpha(picture.pixel(20, 2)), 0);
        int opaque = 0;
        for (int x = 0; x < 40; ++x) opaque += qAlpha(picture.pixel(x, 20)) == 255 ? 1 : 0;
        QVERIFY(opaque > 10);
    }

    void theCommandsWorkInTheProgram() {
        QTemporaryDir dir;
        RecordingUserPort user;
        CBrevAppShell shell(&user);
        QVERIFY(shell.start(dir.filePath(QStringLiteral("home")).toStdString()));
        shell.frame().resize(1000, 700);
        shell.frame().show();
        RaViru image(24, 16, 24, ImageKind::Bmp);
        const QString file = dir.filePath(QStringLiteral("바다.bmp"));
        QVERIFY(image.WriteFile(file.toStdString(), ImageKind::Bmp));
        QVERIFY(shell.openFile(file));
        CBrevDoc& doc = *shell.activeDocument();
        CMainFrame& frame = shell.frame();

        QVERIFY(frame.dispatchCommand(CommandId::LayerPanel));
        auto* panel = qobject_cast<CDlg_Layer*>(frame.panel(CMainFrame::Panel::LayerHistory));
        QVERIFY(panel);
        QVERIFY(panel->isVisible());
        QCOMPARE(frame.dockWidgetArea(panel), Qt::RightDockWidgetArea);
        QCOMPARE(panel->document(), &doc);

        QVERIFY(frame.dispatchCommand(CommandId::AddLayer));
        QCOMPARE(doc.Layers().Count(), 2);
        shell.layers().setNameChooser(
            [](const QString& old) { return std::optional(old + QStringLiteral(" 둘")); });
        QVERIFY(frame.dispatchCommand(CommandId::RenameLayer));
        QCOMPARE(doc.Layers().layer(doc.CurrentLayer()).Name(), std::u16string(u"레이어 1 둘"));
        QVERIFY(frame.dispatchCommand(CommandId::DuplicateLayer));
        QCOMPARE(doc.Layers().Count(), 3);
        QVERIFY(
            frame.dispatchCommand(CommandId::MergeUp));  // merge the duplicate into the layer below
        QCOMPARE(doc.Layers().Count(), 2);
        QVERIFY(frame.dispatchCommand(CommandId::Copy));
        QVERIFY(QtClipboard().hasBitmap());
        QVERIFY(frame.isCommandEnabled(CommandId::Paste));
        QVERIFY(frame.dispatchCommand(CommandId::Paste));
        QCOMPARE(doc.Layers().Count(), 3);
        QVERIFY(frame.dispatchCommand(CommandId::Flatten));
        QCOMPARE(doc.Layers().Count(), 1);
        QVERIFY(frame.dispatchCommand(CommandId::DeleteLayer));
        QCOMPARE(user.lastText(), std::string("레이어가 1개 밖에 없습니다"));

        // A new picture from the current layer opens in its own window and the panel follows.
        const int windows = frame.mdiArea()->subWindowList().size();
        QVERIFY(frame.dispatchCommand(CommandId::LayerDuplicateWindow));
        QCOMPARE(frame.mdiArea()->subWindowList().size(), windows + 1);
        CBrevDoc* copy = shell.activeDocument();
        QVERIFY(copy && copy != &doc);
        QVERIFY(copy->Layers().header.Name().starts_with(u"복사0_"));
        QTRY_COMPARE(panel->document(), copy);
        // The layer list's own menu.
        QMenu* menu = frame.createLayerListContextMenu(panel);
        QCOMPARE(menu->actions().size() >= 8, true);
        delete menu;
    }

    void theClipboardTakesPicturesOfOtherPrograms() {
        // A PNG with transparency, as another program offers it.
        QImage png(3, 2, QImage::Format_ARGB32);
        png.fill(qRgba(10, 20, 30, 128));
        png.setPixel(0, 0, qRgba(200, 100, 50, 255));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(png.save(&buffer, "PNG"));
        auto* mime = new QMimeData;
        mime->setData(QStringLiteral("image/png"), bytes);
        QGuiApplication::clipboard()->setMimeData(mime);
        QtClipboard clipboard;
        QVERIFY(clipboard.hasBitmap());
        Picture p;
        const int slot = PasteAsNewLayer(p.doc, clipboard);
        QVERIFY(slot >= 0);
        QCOMPARE(p.doc.Layers().layer(slot).width, 3);
        QCOMPARE(int(p.doc.Layers().AlphaAt(slot, 1, 0)), 128);               // the alpha is kept
        QCOMPARE(p.doc.Layers().ColorAt(slot, 0, 1), packBgr(200, 100, 50));  // top-left

        // What Quillet copies reaches other programs as a PNG with the layer's alpha.
        QVERIFY(CopyToClipboard(p.doc, clipboard));
        const QImage back =
            QImage::fromData(QGuiApplication::clipboard()->mimeData()->data("image/png"), "PNG");
        QCOMPARE(back.size(), QSize(3, 2));
        QCOMPARE(qAlpha(back.pixel(1, 1)), 128);
        QCOMPARE(qRed(back.pixel(0, 0)), 200);
    }
};

QUILLET_QTEST(LayerPanelTest)
#include "test_layer_panel.moc"
