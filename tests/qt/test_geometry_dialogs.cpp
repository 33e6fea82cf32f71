// The geometry commands in the running program: menu commands on the active picture with the
// view following the canvas, the image-size dialog for one or every open picture, the canvas
// size dialog's anchors and limits, and the free-rotation dialog's limits and preview.
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "ModalDialogs.h"
#include "QtTestRegistry.h"
#include "app/CBrevApp.h"
#include "app/CommandId.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CDlg_CanvasSize.h"
#include "app/qt/CDlg_ImageSize.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/DlgRotate.h"
#include "document/CBrevDoc.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "platform/qt/QtUserPort.h"
#include "view/qt/CBrevView.h"
#include "view/qt/CChildFrame.h"

using namespace quillet;
using quillet::testing::whenShown;

namespace {

QString writePicture(const QString& path, int w, int h) {
    RaViru image(w, h, 24, ImageKind::Bmp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.PutPixelColor(x, y, uint32_t(x * 5) << 16 | 0x20);
    return image.WriteFile(QFile::encodeName(path).toStdString(), ImageKind::Bmp) ? path
                                                                                  : QString();
}

struct Program {
    QTemporaryDir dir;
    RecordingUserPort user;
    CBrevAppShell shell{&user};
    bool start() {
        if (!shell.start(QFile::encodeName(dir.filePath(QStringLiteral("home"))).toStdString()))
            return false;
        shell.frame().resize(1000, 760);
        shell.frame().show();
        return true;
    }
    CBrevDoc* open(const QString& name, int w, int h) {
        const QString path = writePicture(dir.filePath(name), w, h);
        if (path.isEmpty() || !shell.openFile(path)) return nullptr;
        return shell.activeDocument();
    }
};

}  // namespace

class GeometryDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void menuCommandsTurnTheActivePictureAndTheViewFollows() {
        Program p;
        QVERIFY(p.start());
        CBrevDoc* doc = p.open(QStringLiteral("wide.bmp"), 64, 48);
        QVERIFY(doc);
        using C = CommandId;
        for (C id : {C::CanvasFlipHorizontal, C::CanvasFlipVertical, C::LayerFlipHorizontal,
                     C::LayerFlipVertical, C::CanvasRotate90Clockwise,
                     C::CanvasRotate90Anticlockwise, C::CanvasRotate180, C::LayerRotate90Clockwise,
                     C::LayerRotate90Anticlockwise, C::LayerRotate180, C::ImageSize, C::CanvasSize})
            QVERIFY2(p.shell.frame().isCommandEnabled(id), qPrintable(QString::number(int(id))));
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::CanvasRotate90Clockwise));
        QCOMPARE(doc->Layers().header.canvasWidth, 48);
        QCOMPARE(doc->Layers().header.canvasHeight, 64);
        const ViewSize extent = p.shell.activeView()->state().ScrollExtent();
        QCOMPARE(extent.width, 48);
        QCOMPARE(extent.height, 64);
        QVERIFY(doc->Journal().Entry(doc->Journal().StepIndex()).label == u"캔버스 90 우회전");
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::Undo));
        QCOMPARE(doc->Layers().header.canvasWidth, 64);
        QCOMPARE(p.shell.activeView()->state().ScrollExtent().width, 64);
    }

    void progressShowsOnTheMainWindowsBar() {
        Program p;
        QVERIFY(p.start());
        auto* bar = p.shell.frame().findChild<QProgressBar*>(QStringLiteral("progressBar"));
        QVERIFY(bar);
        QVERIFY(bar->isHidden());
        QtUserPort port(&p.shell.frame());
        port.progress(40);
        QVERIFY(!bar->isHidden());
        QCOMPARE(bar->value(), 40);
        port.progress(-1);
        QVERIFY(bar->isHidden());
    }

    void imageSizeDialogResamplesOneOrEveryPicture() {
        Program p;
        QVERIFY(p.start());
        CBrevDoc* first = p.open(QStringLiteral("one.bmp"), 100, 80);
        CBrevDoc* second = p.open(QStringLiteral("two.bmp"), 40, 40);
        QVERIFY(first && second);
        whenShown<CDlg_ImageSize>([](CDlg_ImageSize& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("      이미지 크기 지정"));
            auto* width = d.findChild<QSpinBox*>(QStringLiteral("width"));
            QCOMPARE(width->value(), 40);
            width->setValue(20);  // proportional: the height follows
            QCOMPARE(d.findChild<QSpinBox*>(QStringLiteral("height"))->value(), 20);
            QCOMPARE(d.findChild<QSpinBox*>(QStringLiteral("heightPercent"))->value(), 50);
            d.findChild<QCheckBox*>(QStringLiteral("allDocuments"))->setChecked(true);
            d.accept();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::ImageSize));
        QCOMPARE(second->Layers().header.canvasWidth, 20);
        QCOMPARE(first->Layers().header.canvasWidth, 20);
        QCOMPARE(first->Layers().header.canvasHeight, 20);
        QVERIFY(first->Journal().Entry(first->Journal().StepIndex()).label == u"이미지크기");

        CDlg_ImageSize free(100, 80, 72);
        free.findChild<QPushButton*>(QStringLiteral("toggleMode"))->click();
        QCOMPARE(free.findChild<QLabel*>(QStringLiteral("mode"))->text(),
                 QStringLiteral("서로다른 비율로 조정중"));
        free.findChild<QSpinBox*>(QStringLiteral("width"))->setValue(50);
        QCOMPARE(free.findChild<QSpinBox*>(QStringLiteral("height"))->value(), 80);
        QCOMPARE(free.findChild<QDoubleSpinBox*>(QStringLiteral("printWidth"))->value(), 0.694);
    }

    void canvasSizeDialogKeepsItsLimitsAndAnchor() {
        CDlg_CanvasSize d(100, 80);
        QCOMPARE(d.findChild<QLabel*>(QStringLiteral("currentSize"))->text(),
                 QStringLiteral("(100 x 80)"));
        auto* width = d.findChild<QSpinBox*>(QStringLiteral("width"));
        QCOMPARE(width->minimum(), 100);
        width->stepDown();
        QCOMPARE(width->value(), 100);
        QVERIFY(d.findChild<QToolButton*>(QStringLiteral("anchor4"))->isChecked());
        d.findChild<QToolButton*>(QStringLiteral("anchor8"))->click();
        QVERIFY(d.findChild<QToolButton*>(QStringLiteral("anchor8"))->isChecked());
        QVERIFY(!d.findChild<QToolButton*>(QStringLiteral("anchor4"))->isChecked());
        QCOMPARE(d.fields().anchor(), 8);

        Program p;
        QVERIFY(p.start());
        CBrevDoc* doc = p.open(QStringLiteral("c.bmp"), 30, 20);
        QVERIFY(doc);
        whenShown<CDlg_CanvasSize>([](CDlg_CanvasSize& c) {
            c.findChild<QSpinBox*>(QStringLiteral("width"))->setValue(50);
            c.findChild<QToolButton*>(QStringLiteral("anchor0"))->click();
            c.accept();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::CanvasSize));
        QCOMPARE(doc->Layers().header.canvasWidth, 50);
        QCOMPARE(doc->Layers().header.canvasHeight, 20);
        QCOMPARE(doc->Layers().AlphaAt(0, 29, 0), uint8_t(255));  // anchor 0: picture on the left
        QCOMPARE(doc->Layers().AlphaAt(0, 30, 0), uint8_t(0));
    }

    void rotationDialogLimitsAndPreview() {
        std::vector<double> previews;
        DlgRotate d([&previews](double a) { previews.push_back(a); });
        QCOMPARE(d.windowTitle(), QStringLiteral("      자유 회전"));
        auto* edit = d.findChild<QLineEdit*>(QStringLiteral("angle"));
        d.setAngleText(QStringLiteral("400"));
        QCOMPARE(edit->text(), QStringLiteral("359.0"));
        d.setAngleText(QStringLiteral("-1000"));
        QCOMPARE(edit->text(), QStringLiteral("-359.0"));
        d.setAngleText(QStringLiteral("-90"));
        QCOMPARE(d.angle(), 270.0);
        d.findChild<QPushButton*>(QStringLiteral("preview"))->click();
        d.findChild<QPushButton*>(QStringLiteral("startImage"))->click();
        QVERIFY((previews == std::vector<double>{270.0, 0.0}));
        QCOMPARE(edit->text(), QStringLiteral("0.0"));

        Program p;
        QVERIFY(p.start());
        CBrevDoc* doc = p.open(QStringLiteral("r.bmp"), 30, 20);
        QVERIFY(doc);
        const int steps = doc->Journal().StepIndex();
        whenShown<DlgRotate>([doc](DlgRotate& r) {
            r.setAngleText(QStringLiteral("90"));
            r.findChild<QPushButton*>(QStringLiteral("preview"))->click();
            QCOMPARE(doc->Layers().layer(0).width, 20);  // shown, not yet recorded
            r.reject();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::FreeRotate));
        QCOMPARE(doc->Layers().layer(0).width, 30);  // Cancel brings the layer back
        QCOMPARE(doc->Journal().StepIndex(), steps);
        whenShown<DlgRotate>([](DlgRotate& r) {
            r.setAngleText(QStringLiteral("-90"));
            r.accept();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::FreeRotate));
        QCOMPARE(doc->Layers().layer(0).width, 20);
        QVERIFY(doc->Journal().Entry(doc->Journal().StepIndex()).label == u"자유회전");
    }
};
QUILLET_QTEST(GeometryDialogsTest)
#include "test_geometry_dialogs.moc"
