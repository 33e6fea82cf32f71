// The open paths in the running program: the own browser over a folder of mixed and broken
// files (three picked open as documents in pick order), the remembered folder, the traditional
// dialog clearing it, the limit of 20 and the empty folder.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ModalDialogs.h"
#include "QtTestRegistry.h"
#include "app/CBrevApp.h"
#include "app/CommandId.h"
#include "app/ThumbnailLoader.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CDlg_FileOpen.h"
#include "app/qt/CDlg_KGFile.h"
#include "app/qt/CMainFrame.h"
#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;
using quillet::testing::whenShown;

namespace {

bool writePicture(const QString& path, int w, int h, ImageKind kind) {
    // GIF takes palette pictures only.
    RaViru image(w, h, kind == ImageKind::Gif ? 8 : 24, ImageKind::Bmp);
    if (kind == ImageKind::Gif) image.MakeGreyPalette();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.PutPixelColor(x, y, uint32_t(x * 3) << 8 | 0x40);
    return bool(image.WriteFile(QFile::encodeName(path).toStdString(), kind));
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A folder of pictures of several kinds, two broken files, a text file and a sub-folder.
bool makeMixedFolder(const QString& dir) {
    return writePicture(dir + "/a.jpg", 64, 48, ImageKind::Jpeg) &&
           writePicture(dir + "/B.BMP", 30, 20, ImageKind::Bmp) &&
           writePicture(dir + "/c.gif", 25, 25, ImageKind::Gif) &&
           writePicture(dir + "/d.tif", 20, 40, ImageKind::Tiff) &&
           writeBytes(dir + "/broken.jpg", "\xFF\xD8\xFF\xE0garbage") &&
           writeBytes(dir + "/zero.bmp", "") && writeBytes(dir + "/notes.txt", "text") &&
           QDir(dir).mkdir(QStringLiteral("sub"));
}

int indexOf(const CDlg_FileOpen& dialog, const std::string& name) {
    for (size_t i = 0; i < dialog.entries().size(); ++i)
        if (dialog.entries()[i].name == name) return int(i);
    return -1;
}

struct Program {
    QTemporaryDir dir;
    RecordingUserPort user;
    CBrevAppShell shell{&user};
    bool start() {
        if (!shell.start(QFile::encodeName(dir.filePath(QStringLiteral("home"))).toStdString()))
            return false;
        shell.frame().show();
        return true;
    }
};

}  // namespace

class FileOpenTest : public QObject {
    Q_OBJECT
private slots:
    void browserListsThumbnailsAndPlaceholders() {
        QTemporaryDir dir;
        QVERIFY(makeMixedFolder(dir.path()));
        RecordingUserPort user;
        ThumbnailLoader loader(64, 2);
        CDlg_FileOpen dialog(loader, user, dir.path());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Quillet 파일 보기창"));
        std::vector<std::string> names;
        for (const auto& e : dialog.entries()) names.push_back(e.name);
        QVERIFY((names == std::vector<std::string>{"sub", "B.BMP", "a.jpg", "broken.jpg", "c.gif",
                                                   "d.tif", "zero.bmp"}));
        QVERIFY(dialog.entries()[0].folder);
        QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("emptyNote"))->isHidden());

        dialog.show();
        loader.WaitIdle();
        QCoreApplication::processEvents();
        bool failed = false;
        QString size;
        QVERIFY(!dialog.thumbnailFor(dir.filePath("a.jpg"), &failed, &size).isNull());
        QCOMPARE(size, QStringLiteral("64ⅹ48"));
        QVERIFY(dialog.thumbnailFor(dir.filePath("broken.jpg"), &failed, &size).isNull());
        QVERIFY(failed);
        dialog.thumbnailFor(dir.filePath("zero.bmp"), &failed, &size);
        QVERIFY(failed);
        // The page paints with every kind of slot in it.
        QVERIFY(!dialog.grab().isNull());

        dialog.setType(BrowserType::Jpg);
        QCOMPARE(int(dialog.entries().size()), 2);
        dialog.setType(BrowserType::AllPictures);
        dialog.clickEntry(indexOf(dialog, "sub"), false);  // a folder is entered
        QVERIFY(dialog.folder().endsWith(QStringLiteral("/sub")));
        QVERIFY(dialog.entries().empty());
        QVERIFY(!dialog.findChild<QLabel*>(QStringLiteral("emptyNote"))->isHidden());
    }

    void ctrlPicksUpToTwentyAndTakesOut() {
        QTemporaryDir dir;
        for (int i = 0; i < 45; ++i)
            QVERIFY(writeBytes(dir.filePath(QStringLiteral("p%1.bmp").arg(i, 2, 10, QChar('0'))),
                               "BM"));
        RecordingUserPort user;
        ThumbnailLoader loader(32, 1);
        CDlg_FileOpen dialog(loader, user, dir.path());
        QCOMPARE(int(dialog.entries().size()), 45);
        dialog.scrollToRow(100);
        QCOMPARE(dialog.firstRow(), 2);  // 12 rows, 10 shown
        dialog.scrollToRow(0);
        for (int i = 0; i < 21; ++i) dialog.clickEntry(i, true);
        QCOMPARE(dialog.chosenFiles().size(), 20);
        QCOMPARE(QString::fromStdString(user.lastText()),
                 QStringLiteral("파일은 최대 20 개까지 오픈 가능합니다."));
        QVERIFY(dialog.slotIsBold(19));
        QVERIFY(!dialog.slotIsBold(20));
        dialog.clickEntry(5, true);
        QCOMPARE(dialog.chosenFiles().size(), 19);
        QVERIFY(!dialog.slotIsBold(5));
        dialog.clickEntry(30, false);
        QCOMPARE(dialog.chosenFiles(), QStringList{dir.filePath(QStringLiteral("p30.bmp"))});
    }

    void pickedFilesOpenInOrderAndTheFolderIsKept() {
        Program p;
        QVERIFY(p.start());
        const QString pictures = p.dir.filePath(QStringLiteral("pictures"));
        QVERIFY(QDir().mkpath(pictures));
        QVERIFY(makeMixedFolder(pictures));
        FrameSettings& s = p.shell.app().settings();
        s.browserKind = FrameSettings::OwnBrowser;
        s.browserFolder = pictures.toStdU16String();

        whenShown<CDlg_FileOpen>([](CDlg_FileOpen& d) {
            d.clickEntry(indexOf(d, "d.tif"), false);
            d.clickEntry(indexOf(d, "a.jpg"), true);
            d.clickEntry(indexOf(d, "broken.jpg"), true);
            d.clickEntry(indexOf(d, "broken.jpg"), true);  // taken out again
            d.clickEntry(indexOf(d, "B.BMP"), true);
            d.accept();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::Open));
        const std::vector<CBrevDoc*> docs = p.shell.app().documents();
        QCOMPARE(int(docs.size()), 3);
        QCOMPARE(p.shell.app().documentPath(*docs[0]),
                 QFile::encodeName(pictures + "/d.tif").toStdString());
        QCOMPARE(p.shell.app().documentPath(*docs[1]),
                 QFile::encodeName(pictures + "/a.jpg").toStdString());
        QCOMPARE(p.shell.app().documentPath(*docs[2]),
                 QFile::encodeName(pictures + "/B.BMP").toStdString());
        QCOMPARE(docs[1]->Layers().header.canvasWidth, 64);
        QCOMPARE(p.shell.frame().mdiArea()->subWindowList().size(), 3);

        // The browser starts in the folder it was left in; Cancel opens nothing.
        QString shownFolder;
        whenShown<CDlg_FileOpen>([&shownFolder](CDlg_FileOpen& d) {
            shownFolder = d.folder();
            d.reject();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::Open));
        QCOMPARE(shownFolder, pictures);
        QCOMPARE(int(p.shell.app().documents().size()), 3);
    }

    void traditionalDialogClearsTheFolderAndBrowserStartsAtTheStart() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(writePicture(p.dir.filePath(QStringLiteral("one.bmp")), 8, 8, ImageKind::Bmp));
        FrameSettings& s = p.shell.app().settings();
        s.browserFolder = p.dir.path().toStdU16String();
        s.browserKind = FrameSettings::SystemDialog;
        const QString one = p.dir.filePath(QStringLiteral("one.bmp"));
        p.shell.setOpenNameChooser([one] { return one; });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::Open));
        QCOMPARE(int(p.shell.app().documents().size()), 1);
        QVERIFY(s.browserFolder.empty());

        p.shell.setOpenNameChooser({});
        s.browserKind = FrameSettings::OwnBrowser;
        QString shownFolder;
        whenShown<CDlg_FileOpen>([&shownFolder](CDlg_FileOpen& d) {
            shownFolder = d.folder();
            d.reject();
        });
        QVERIFY(p.shell.frame().dispatchCommand(CommandId::Open));
        QCOMPARE(shownFolder, QDir::currentPath());
    }

    void saveDialogProposesTheNameWithTheNativeFilterFirst() {
        QTemporaryDir dir;
        CDlg_KGFile save(dir.filePath(QStringLiteral("사진.jpg")));
        QCOMPARE(save.windowTitle(), QStringLiteral("이미지 저장"));
        QCOMPARE(save.acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(save.selectedNameFilter(), CDlg_KGFile::saveFilters()[6]);
        QVERIFY(save.selectedNameFilter().contains(QStringLiteral("*.vlr")));
        QCOMPARE(save.defaultSuffix(), QStringLiteral("vlr"));
        QVERIFY(!save.testOption(QFileDialog::DontConfirmOverwrite));
        save.selectNameFilter(CDlg_KGFile::saveFilters()[0]);
        emit save.filterSelected(CDlg_KGFile::saveFilters()[0]);
        QVERIFY(save.defaultSuffix().isEmpty());
        QVERIFY(CDlg_KGFile::openFilters()[6].contains(QStringLiteral("*.vlr")));
        QVERIFY(CDlg_KGFile::openFilters()[6].contains(QStringLiteral("*.psd")));
    }
};
QUILLET_QTEST(FileOpenTest)
#include "test_file_open.moc"
