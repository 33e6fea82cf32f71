// The image menu in the running program: its commands on the active document, the filter list
// of the tool bar, a filter chosen from the menu and run from its dialog, the channel documents.
#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "QtTestRegistry.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/ImageCommands.h"
#include "document/CBrevDoc.h"
#include "document/qt/CDlg_Filter.h"
#include "document/qt/FilterRunner.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

namespace {

struct Running {
    QTemporaryDir dir;
    RecordingUserPort user;
    CBrevAppShell shell{&user};

    // The program with one 48 × 32 picture open.
    bool start() {
        if (!shell.start(dir.filePath(QStringLiteral("home")).toStdString())) return false;
        shell.frame().show();
        RaViru image(48, 32, 24, ImageKind::Bmp);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 48; ++x)
                image.PutPixelColor(x, y, uint32_t(x * 5) << 16 | uint32_t(y * 7));
        const QString path = dir.filePath(QStringLiteral("사진.bmp"));
        if (!image.WriteFile(QFile::encodeName(path).toStdString(), ImageKind::Bmp)) return false;
        return shell.openFile(path);
    }
    CBrevDoc& doc() { return *shell.activeDocument(); }
    std::u16string label() {
        const UndoStore& j = doc().Journal();
        return j.Entry(j.StepIndex()).label;
    }
};

}  // namespace

class ImageCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void menuCommandsRunOnTheActiveDocument() {
        Running p;
        QVERIFY(p.start());
        CMainFrame& f = p.shell.frame();
        using C = CommandId;
        const std::pair<CommandId, std::u16string> commands[] = {
            {C::Invert, u"반전변환"},
            {C::Grayscale, u"그레이스케일 변환"},
            {C::DesaturateLayer, u"레이어 채도 감소"},
            {C::AutoColour, u"자동 색상 조정"},
            {C::Normalise, u"컬러 정규화"},
            {C::StripAlpha, u"Alphastrip"},
            {C::Reduce256, u"8비트칼라 최적변환"},
            {C::ConvertRgb24, u"RGB 컬러영상으로 변환"}};
        for (const auto& [id, label] : commands) {
            QVERIFY2(f.isCommandEnabled(id), qPrintable(QString::number(int(id))));
            QVERIFY(f.dispatchCommand(id));
            QVERIFY2(p.label() == label, qPrintable(QString::number(int(id))));
        }
        // "YUV구분": three new windows titled after the picture.
        const int windows = int(f.mdiArea()->subWindowList().size());
        CBrevDoc& source = p.doc();
        QVERIFY(f.dispatchCommand(C::SplitYuv));
        QCOMPARE(int(f.mdiArea()->subWindowList().size()), windows + 3);
        QVERIFY(&p.doc() != &source);
        QVERIFY(p.doc().FileName().find(u"Channel 0 from") != std::u16string::npos);
    }

    void filterListAndTheFilterDialog() {
        Running p;
        QVERIFY(p.start());
        QComboBox* list = p.shell.imageCommands().filterList();
        QVERIFY(list);
        QCOMPARE(list->count(), 25);
        QCOMPARE(list->itemText(0), QStringLiteral("물체축소"));
        QCOMPARE(list->itemText(24), QStringLiteral("임계치변환"));
        const std::vector<uint8_t> before = p.doc().Layers().planesOf(0).pixels;
        // "흐리게" from the menu: the list follows, the dialog opens; "실행" runs it.
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<CDlg_Filter*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            QCOMPARE(dialog->filter(), FilterId::Blur);
            p.shell.imageCommands().runner().wait();
            dialog->accept();
        });
        QVERIFY(p.shell.frame().dispatchCommand(FilterCommand(int(FilterId::Blur))));
        QVERIFY(seen);
        QCOMPARE(list->currentIndex(), int(FilterId::Blur));
        QVERIFY(p.label() == u"흐리게");
        QVERIFY(p.doc().Layers().planesOf(0).pixels != before);
        QVERIFY(!p.doc().Busy());
    }

    // While a filter reads the layer on its worker thread, menu commands that would reshape or
    // close the document wait: they are disabled and a dispatch does nothing.
    void aDocumentBusyWithAFilterTakesNoCommand() {
        Running p;
        QVERIFY(p.start());
        CMainFrame& f = p.shell.frame();
        FilterRunner& runner = p.shell.imageCommands().runner();
        QVERIFY(runner.start(p.doc(), PrepareFilter(p.doc(), FilterId::Blur,
                                                    DefaultFilterValues(FilterId::Blur), 2)));
        QVERIFY(p.doc().Busy());
        for (CommandId id : {CommandId::CanvasRotate90Clockwise, CommandId::ImageSize,
                             CommandId::Undo, CommandId::Close}) {
            QVERIFY(!f.isCommandEnabled(id));
            f.dispatchCommand(id);
        }
        QCOMPARE(p.doc().Layers().header.canvasWidth, 48);
        runner.wait();
        QVERIFY(!p.doc().Busy());
        QVERIFY(p.label() == u"흐리게");
        QVERIFY(f.isCommandEnabled(CommandId::CanvasRotate90Clockwise));
        QVERIFY(f.dispatchCommand(CommandId::CanvasRotate90Clockwise));
        QCOMPARE(p.doc().Layers().header.canvasWidth, 32);
    }
};
QUILLET_QTEST(ImageCommandsTest)
#include "test_image_commands.moc"
