// The whole program under the offscreen platform: start on a temporary home, open a picture,
// zoom, move, undo, save as and read back, the close sequence with scripted answers, the
// resource pictures, and the Qt clipboard.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include "ProgramFixture.h"
#include "QtTestRegistry.h"
#include "app/CBrevApp.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "document/CBrevDoc.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "platform/qt/QtClipboard.h"
#include "view/ToolTable.h"
#include "view/qt/CBrevView.h"
#include "view/qt/CChildFrame.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

constexpr int kWidth = 60, kHeight = 40;
uint32_t Pattern(int x, int y) { return ProgramPattern(x, y); }
void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
    SendMouse(w, type, p, button, held);
}

}  // namespace

class AppShellTest : public QObject {
    Q_OBJECT
private slots:
    void freshHomeStartsSilentlyAndClearsAbandonedJournals() {
        Program p;
        // A folder left by a program that is gone, with a journal file in it.
        const QString stale = p.home() + QStringLiteral("/tmp/4242-1");
        QVERIFY(QDir().mkpath(stale));
        QFile journal(stale + QStringLiteral("/3_0.vlrtmp"));
        QVERIFY(journal.open(QIODevice::WriteOnly));
        journal.close();
        QVERIFY(p.start());
        QVERIFY(p.user.entries.empty());
        QVERIFY(QFile::exists(p.home() + QStringLiteral("/RereCon_380.ini")));
        QVERIFY(!QFile::exists(stale));
        QCOMPARE(p.shell.app().abandonedFoldersRemoved(), 1);
        const QString own = QString::fromStdString(p.shell.app().journalFolder());
        QVERIFY(own.startsWith(p.home() + QStringLiteral("/tmp/")));
        QVERIFY(QDir(own).exists());
        // Nothing to act on yet: the document commands are off.
        using enum CommandId;
        for (CommandId id : {Save, SaveAs, Close, Undo, ZoomIn, Grid, NewWindow, Move})
            QVERIFY2(!p.shell.frame().isCommandEnabled(id), qPrintable(QString::number(int(id))));
        QVERIFY(p.shell.frame().isCommandEnabled(CommandId::Open));
    }

    void openZoomMoveUndoAndSaveAs() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        CChildFrame* window = p.current();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), p.picture + QStringLiteral(" 100 % (배경영상)"));
        QVERIFY(p.shell.frame().isCommandEnabled(CommandId::Save));
        CBrevDoc& doc = window->view()->document();

        QVERIFY(
            p.shell.frame().dispatchCommand(CommandId::ZoomIn));  // the zoom-in tool: a click zooms
        QCOMPARE(p.shell.tools().currentTool, ToolId::ZoomIn);
        {
            QWidget* port = window->view()->viewport();
            const ViewRect r = window->view()->state().DisplayedRect();
            const QPoint at(r.left + 10, r.top + 10);
            Mouse(port, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
            Mouse(port, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        }
        QCOMPARE(doc.Zoom(), 2.0);
        QCOMPARE(window->windowTitle(), p.picture + QStringLiteral(" 200 % (배경영상)"));
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::ZoomOneToOne));
        QCOMPARE(doc.Zoom(), 1.0);

        QVERIFY(p.shell.frame().dispatchCommand(CommandId::Move));
        QCOMPARE(p.shell.tools().currentTool, ToolId::Move);
        const Layer& layer = doc.Layers().layer(doc.CurrentLayer());
        QCOMPARE(layer.x, 0);
        p.drag(12);
        QCOMPARE(doc.Layers().layer(doc.CurrentLayer()).x, 12);
        QVERIFY(doc.Modified());
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::Undo));
        QCOMPARE(doc.Layers().layer(doc.CurrentLayer()).x, 0);
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::Redo));
        QCOMPARE(doc.Layers().layer(doc.CurrentLayer()).x, 12);

        QString proposed;
        const QString target = p.dir.filePath(QStringLiteral("moved"));
        p.shell.setSaveNameChooser([&](const QString& name) {
            proposed = name;
            return target;
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::SaveAs));
        QVERIFY(proposed.endsWith(QStringLiteral("그림 한 장.bmp")));
        // The extension is added to a name without one.
        QCOMPARE(QString::fromStdString(p.shell.app().documentPath(doc)), target + ".bmp");
        QCOMPARE(window->windowTitle(), target + QStringLiteral(".bmp 100 % (배경영상)"));
        QVERIFY(!doc.Modified());
        QCOMPARE(p.shell.frame().recentFiles().value(0), target + ".bmp");

        RaViru back;
        QVERIFY(back.ReadFile(QFile::encodeName(target + ".bmp").toStdString(), ImageKind::Bmp));
        QCOMPARE(back.Width(), kWidth);
        QCOMPARE(back.Height(), kHeight);
        for (int y : {0, 17, kHeight - 1})
            for (int x : {12, 30, kWidth - 1})
                QCOMPARE(back.PixelColorAt(x, y), Pattern(x - 12, y));
        QVERIFY(p.user.entries.empty());

        // Opening the same file again only activates its window.
        QVERIFY(p.open(target + ".bmp"));
        QCOMPARE(p.shell.app().documents().size(), size_t(1));
    }

    void closeSequenceAsksOncePerModifiedDocument() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::Move));
        p.drag(5);
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::NewWindow));     // a second window on it
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::JpegResource));  // unmodified
        QCOMPARE(p.shell.frame().mdiArea()->subWindowList().size(), 3);
        p.shell.app().settings().fontSize = 33;

        p.user.script({Answer::Cancel});
        QVERIFY(!p.shell.frame().close());
        QCOMPARE(p.user.texts(), std::vector<std::string>{"[" + p.picture.toStdString() +
                                                          "] 파일을 저장하시겠습니까?"});
        // The unmodified picture went; the modified one stays open.
        QCOMPARE(p.shell.app().documents().size(), size_t(1));
        // The settings were written before the question.
        QFile settings(p.home() + QStringLiteral("/RereCon_380.ini"));
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(settings.readAll().contains("33"));

        p.user.script({Answer::Yes});
        QVERIFY(p.shell.frame().close());
        QCOMPARE(p.user.texts().size(), size_t(2));
        QVERIFY(p.shell.app().documents().empty());
        QVERIFY(p.shell.frame().mdiArea()->subWindowList().isEmpty());
        // "Yes" saved the moved picture over its file.
        RaViru back;
        QVERIFY(back.ReadFile(QFile::encodeName(p.picture).toStdString(), ImageKind::Bmp));
        QCOMPARE(back.PixelColorAt(25, 10), Pattern(20, 10));
    }

    // Every way a window goes: one of two windows, the document's close, close all and exit.
    // A view that outlives its document fails here under the sanitizers.
    void windowsAndDocumentsCloseInAnyOrder() {
        Program p;
        QVERIFY(p.start());
        auto flush = [] { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); };
        auto documents = [&] { return int(p.shell.app().documents().size()); };
        auto windows = [&] { return int(p.shell.frame().mdiArea()->subWindowList().size()); };
        QVERIFY(p.open(p.picture));
        CBrevDoc* doc = &p.current()->document();
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::NewWindow));
        QCOMPARE(int(p.shell.windowsOf(*doc).size()), 2);
        p.current()->close();
        flush();
        QCOMPARE(documents(), 1);  // the other window still shows it
        QCOMPARE(int(p.shell.windowsOf(*doc).size()), 1);
        p.current()->close();
        flush();
        QCOMPARE(documents(), 0);

        QVERIFY(p.open(p.picture));
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::NewWindow));
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::Close));  // both windows
        flush();
        QCOMPARE(documents(), 0);
        QCOMPARE(windows(), 0);

        QVERIFY(p.open(p.picture));
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::NewWindow));
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::JpegResource));
        QCOMPARE(windows(), 3);
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::CloseAll));
        flush();
        QCOMPARE(documents(), 0);
        QCOMPARE(windows(), 0);

        QVERIFY(p.open(p.picture));
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::NewWindow));
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::Exit));
        flush();
        QVERIFY(!p.shell.frame().isVisible());
        QCOMPARE(documents(), 0);
        QCOMPARE(windows(), 0);
        QVERIFY(p.user.entries.empty());
    }

    void recentFilesStayInTheChosenHome() {
        // The test program runs with QUILLET_HOME and a temporary desktop configuration.
        QVERIFY(qEnvironmentVariableIsSet("QUILLET_HOME"));
        const QString desktopProfile = qEnvironmentVariable("XDG_CONFIG_HOME") +
                                       QStringLiteral("/Velloran Applications/Quillet.conf");
        QFile::remove(desktopProfile);
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        QCOMPARE(p.shell.frame().recentFiles(), QStringList{p.picture});
        QFile profile(p.home() + QStringLiteral("/Quillet.conf"));
        QVERIFY(profile.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(profile.readAll()).contains(QStringLiteral("그림 한 장.bmp")));
        QVERIFY(!QFile::exists(desktopProfile));
        // Another home starts with its own, empty list.
        Program other;
        QVERIFY(other.start());
        QVERIFY(other.shell.frame().recentFiles().isEmpty());
    }

    void resourcePicturesShareOneRunningNumber() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::JpegResource));
        QCOMPARE(p.current()->windowTitle(),
                 QStringLiteral("JPEG Resource Image 0 100 % (배경영상)"));
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::TiffResource));
        QCOMPARE(p.current()->windowTitle(),
                 QStringLiteral("TIF Resource Image 1 100 % (배경영상)"));
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::BitmapResource));
        QCOMPARE(p.current()->windowTitle(),
                 QStringLiteral("BITMAP Resource Image 2 100 % (배경영상)"));
        // Closing one window of an unmodified document asks nothing and frees it.
        p.current()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(p.shell.app().documents().size(), size_t(2));
        QVERIFY(p.user.entries.empty());
    }

    void clipboardCarriesBmpAndPng() {
        QtClipboard clipboard;
        RaViru image(5, 3, 24, ImageKind::Bmp);
        image.PutPixelColor(1, 1, 0x123456);
        const std::vector<uint8_t> dib = image.ToPackedDib();
        clipboard.setPackedDib(dib);
        QVERIFY(clipboard.hasBitmap());
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        QVERIFY(mime->hasFormat(QStringLiteral("image/png")));
        const QByteArray bmp = mime->data(QStringLiteral("image/bmp"));
        QCOMPARE(bmp.left(2), QByteArray("BM"));
        QImage shown;
        QVERIFY(shown.loadFromData(bmp, "BMP"));
        QCOMPARE(shown.size(), QSize(5, 3));
        QCOMPARE(clipboard.packedDib(), std::optional(dib));
        QVERIFY(!QtClipboard::packedDibOfBmp(QByteArray("BM12")));
    }
};

QUILLET_QTEST(AppShellTest)
#include "test_app_shell.moc"
