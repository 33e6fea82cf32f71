// The movie maker and the player in the running program: the movie maker toggle, a conversion off
// the interface thread ending in the player, the size list, the list messages, and the player's
// keys and refusals.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "QtTestRegistry.h"
#include "app/CBrevApp.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "image/RaViru.h"
#include "movie/Compressors.h"
#include "movie/qt/CDlg_MoviePlayer.h"
#include "movie/qt/CDlg_Movie_Maker.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

namespace {

constexpr CommandId kToggleMovieMaker = CommandId::MovieMaker;

QString WritePicture(const QString& path, int seed) {
    RaViru image(64, 48, 24, ImageKind::Bmp);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            image.PutPixelColor(x, y, uint32_t(x * 4 + seed * 50) << 16 | uint32_t(y * 5) << 8);
    if (!image.WriteFile(QFile::encodeName(path).toStdString(), ImageKind::Bmp)) return {};
    return path;
}

struct Program {
    QTemporaryDir dir;
    RecordingUserPort user;
    CBrevAppShell shell{&user};

    bool start() {
        if (!shell.start(dir.filePath(QStringLiteral("home")).toStdString())) return false;
        shell.frame().resize(1200, 800);
        shell.frame().show();
        return true;
    }
    CDlg_Movie_Maker* maker() {
        return qobject_cast<CDlg_Movie_Maker*>(shell.frame().panel(CMainFrame::Panel::MovieMaker));
    }
    CDlg_MoviePlayer* player() {
        return qobject_cast<CDlg_MoviePlayer*>(shell.frame().panel(CMainFrame::Panel::MoviePlayer));
    }
};

void Key(QWidget* w, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

}  // namespace

class MovieDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void toggleShowsMakerAndPlayerTogether() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.shell.frame().isCommandEnabled(kToggleMovieMaker));
        QVERIFY(p.shell.frame().dispatchCommand(kToggleMovieMaker));
        QVERIFY(p.maker() && p.player());
        QVERIFY(p.maker()->isVisible());
        QVERIFY(p.player()->isVisible());
        QCOMPARE(p.maker()->windowTitle(), QStringLiteral("      무비 작성기 "));
        QCOMPARE(p.player()->windowTitle(), QStringLiteral("Quillet 동영상플레이어"));
        QVERIFY(p.shell.frame().dispatchCommand(kToggleMovieMaker));
        QVERIFY(!p.maker()->isVisible());
        QVERIFY(!p.player()->isVisible());
    }

    // The whole run: two pictures, a conversion off the interface thread, the movie in the
    // player a second later.
    void conversionRunsInTheBackgroundAndEndsInThePlayer() {
        Program p;
        QVERIFY(p.start());
        p.shell.frame().dispatchCommand(kToggleMovieMaker);
        CDlg_Movie_Maker* maker = p.maker();
        const QString a = WritePicture(p.dir.filePath(QStringLiteral("a.bmp")), 1);
        const QString b = WritePicture(p.dir.filePath(QStringLiteral("b.bmp")), 2);
        maker->addPictures({a, b});
        const QString out = p.dir.filePath(QStringLiteral("결과.avi"));
        maker->setOutputName(out);
        QSignalSpy done(maker, &CDlg_Movie_Maker::conversionFinished);
        QVERIFY(maker->startConversion());
        QVERIFY(!maker->startConversion());  // one run at a time
        QVERIFY(done.wait(60000));
        QCOMPARE(done.front().front().toBool(), true);
        QVERIFY(QFile::exists(out));
        QCOMPARE(maker->lastMovie(), out);
        // Nothing is left in the journal folder but the journal's own lock.
        const QDir work(QString::fromStdString(p.shell.app().journalFolder()));
        QVERIFY(!work.exists(QStringLiteral("tMid.avi")));
        QTRY_VERIFY_WITH_TIMEOUT(p.player()->engine().HasFile(), 5000);
        QCOMPARE(QString::fromStdString(p.player()->engine().FileName()),
                 QString::fromUtf8(QFile::encodeName(out)));
        QVERIFY(!p.player()->engine().AudioOnly());
    }

    void emptyListEndsQuietlyAndCancelStops() {
        Program p;
        QVERIFY(p.start());
        p.shell.frame().dispatchCommand(kToggleMovieMaker);
        CDlg_Movie_Maker* maker = p.maker();
        maker->setOutputName(p.dir.filePath(QStringLiteral("x.avi")));
        QSignalSpy done(maker, &CDlg_Movie_Maker::conversionFinished);
        QVERIFY(maker->startConversion());
        QVERIFY(done.wait(10000));
        QCOMPARE(done.front().front().toBool(), false);
        QVERIFY(p.user.entries.empty());
        QVERIFY(!QFile::exists(p.dir.filePath(QStringLiteral("x.avi"))));
    }

    // A narrower size scales the caption font and the band height by the true ratio.
    void sizeListRescalesAndSizesThePlayer() {
        Program p;
        QVERIFY(p.start());
        p.shell.frame().dispatchCommand(kToggleMovieMaker);
        CDlg_Movie_Maker* maker = p.maker();
        const int font = maker->captionFontSize();
        maker->applySize(QStringLiteral("1366 * 768"));
        QCOMPARE(maker->bandHeight(), 213);  // 50 × 1366 / 320
        maker->applySize(QStringLiteral("240 * 320"));
        QVERIFY(maker->captionFontSize() >= 1);
        QCOMPARE(maker->captionFontSize(),
                 int(std::lround(std::lround(font * 1366.0 / 320) * 240.0 / 1366)));
        QCOMPARE(p.player()->size(), QSize(290, 410));
        QCOMPARE(p.player()->pictureArea()->geometry(), QRect(20, 50, 240, 320));
        maker->applySize(QStringLiteral("no such size"));
        QCOMPARE(p.player()->size(), QSize(370, 330));  // 320 × 240
    }

    void listButtonsNeedALineAndAskBeforeClearing() {
        Program p;
        QVERIFY(p.start());
        p.shell.frame().dispatchCommand(kToggleMovieMaker);
        CDlg_Movie_Maker* maker = p.maker();
        maker->addPictures({QStringLiteral("/nowhere/a.jpg"), QStringLiteral("/nowhere/b.jpg")});
        auto* removeLine = maker->findChild<QPushButton*>(QStringLiteral("RemoveFrameLine"));
        auto* clear = maker->findChild<QPushButton*>(QStringLiteral("ClearFrames"));
        QVERIFY(removeLine && clear);
        removeLine->click();
        QCOMPARE(p.user.lastText(), std::string("먼저 [프레임] 리스트의 라인을 클릭"));
        p.user.script({Answer::Cancel});
        clear->click();
        QCOMPARE(p.user.lastText(), std::string("이미지 리스트 전체를 제거하시겠습니까?"));
        QCOMPARE(maker->project().pictures.size(), size_t(2));
    }

    void compressorChoiceIsKept() {
        Program p;
        QVERIFY(p.start());
        p.shell.frame().dispatchCommand(kToggleMovieMaker);
        const std::string home = p.shell.app().home();
        QCOMPARE(ReadCompressorNumber(home), kDefaultCompressor);
        QVERIFY(WriteCompressorNumber(home, 0));
        QCOMPARE(ReadCompressorNumber(home), 0);
        QVERIFY(!p.maker()->project().encoder.empty());
    }

    void playerKeepsOpenOnEnterAndEscapeAndRefusesBadNames() {
        Program p;
        QVERIFY(p.start());
        p.shell.frame().dispatchCommand(kToggleMovieMaker);
        CDlg_MoviePlayer* player = p.player();
        Key(player, Qt::Key_Return);
        Key(player, Qt::Key_Escape);
        Key(player, Qt::Key_Enter);
        QVERIFY(player->isVisible());
        QVERIFY(!player->openMovie(p.dir.filePath(QStringLiteral("없는.avi"))));
        QCOMPARE(p.user.lastText(), std::string("비디오파일명이 올바르지 않습니다."));
        QVERIFY(player->isVisible());
    }
};

QUILLET_QTEST(MovieDialogsTest)
#include "test_movie_dialogs.moc"
