// The editor as a new user meets it: arrow-key nudges that undo, names of new pictures and of
// reopened VLR documents, read-only files, the messages of failed opens and saves in Korean, a
// cut-off picture that opens with a warning, Qt's own dialogs in Korean, the view's keys and
// context menu, the enabled states, window placement, the icon and the main window's title.
#include <sys/stat.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>

#include "ProgramFixture.h"
#include "QtTestRegistry.h"
#include "app/qt/AppIcon.h"
#include "document/CBrevDoc.h"
#include "view/ToolState.h"
#include "view/ToolTable.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

int LayerX(CBrevDoc& doc) { return doc.Layers().layer(doc.CurrentLayer()).x; }

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Last(const RecordingUserPort& user) {
    return user.entries.empty() ? QString() : QString::fromStdString(user.texts().back());
}

}  // namespace

class EditorSessionTest : public QObject {
    Q_OBJECT
private slots:
    void arrowNudgesAreOneUndoableStepPerRun() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        CBrevView* view = p.current()->view();
        CBrevDoc& doc = view->document();
        QVERIFY(p.frame().dispatchCommand(CommandId::Move));
        view->setFocus();
        for (int i = 0; i < 3; ++i) QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(LayerX(doc), 3);
        QVERIFY(doc.Modified());
        // Undo finishes the run first, then takes all three nudges back at once.
        QVERIFY(p.frame().dispatchCommand(CommandId::Undo));
        QCOMPARE(LayerX(doc), 0);
        QVERIFY(p.frame().dispatchCommand(CommandId::Redo));
        QCOMPARE(LayerX(doc), 3);
        // A pause ends a run on its own.
        QTest::keyClick(view, Qt::Key_Left);
        QVERIFY(QTest::qWaitFor([&] { return !view->state().NudgeRunOpen(); },
                                CBrevView::kNudgePauseMs * 4));
        QTest::keyClick(view, Qt::Key_Left);
        QVERIFY(p.frame().dispatchCommand(CommandId::Undo));
        QCOMPARE(LayerX(doc), 2);
        QVERIFY(p.frame().dispatchCommand(CommandId::Undo));
        QCOMPARE(LayerX(doc), 3);
        // The nudged picture is not closed without the question.
        p.user.script({Answer::Cancel});
        p.current()->close();
        QCOMPARE(p.user.texts().size(), size_t(1));
        QVERIFY(p.current());
    }

    void newPictureHasAVisibleName() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.dispatchWithDialog(CommandId::New, true));
        QVERIFY(p.current());
        const QString title = p.current()->windowTitle();
        QVERIFY2(title.startsWith(QStringLiteral("새 그림 ")), qPrintable(title));
        QVERIFY(title.endsWith(QStringLiteral(" 100 % (배경영상)")));
        QString proposed;
        p.shell.setSaveNameChooser([&](const QString& name) {
            proposed = name;
            return QString();
        });
        QVERIFY(p.frame().dispatchCommand(CommandId::SaveAs));
        QVERIFY2(proposed.startsWith(QStringLiteral("새 그림 ")), qPrintable(proposed));
        QVERIFY(proposed.endsWith(QStringLiteral(".jpg")));
    }

    void readOnlyFileIsKeptAndTheDocumentStaysModified() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        CBrevDoc& doc = p.current()->document();
        QVERIFY(p.frame().dispatchCommand(CommandId::Move));
        p.drag(6);
        const QByteArray before = ReadAll(p.picture);
        QVERIFY(::chmod(QFile::encodeName(p.picture).constData(), 0444) == 0);
        QVERIFY(p.frame().dispatchCommand(CommandId::Save));
        QCOMPARE(Last(p.user), QStringLiteral("[그림 한 장.bmp] 파일은 읽기 전용이라서 저장할 수 "
                                              "없습니다."));
        QVERIFY(doc.Modified());
        QCOMPARE(ReadAll(p.picture), before);
        QVERIFY(::chmod(QFile::encodeName(p.picture).constData(), 0644) == 0);
    }

    void saveFailuresAreSaidInKorean() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        CBrevDoc& doc = p.current()->document();
        auto saveAs = [&](const QString& name) {
            p.shell.setSaveNameChooser([name](const QString&) { return name; });
            return p.frame().dispatchCommand(CommandId::SaveAs);
        };
        QVERIFY(saveAs(p.dir.filePath(QStringLiteral("그림.png"))));
        QVERIFY2(Last(p.user).startsWith(QStringLiteral("[.png] 형식으로는 저장할 수 없습니다.")),
                 qPrintable(Last(p.user)));
        QVERIFY(saveAs(p.dir.filePath(QStringLiteral("없는 폴더/그림.bmp"))));
        QVERIFY(Last(p.user).contains(QStringLiteral("폴더가 없어서 [그림.bmp] 파일을 저장할 수")));
        QVERIFY(!QFile::exists(p.dir.filePath(QStringLiteral("그림.png"))));
        QCOMPARE(QString::fromStdString(p.shell.app().documentPath(doc)),
                 QFileInfo(p.picture).absoluteFilePath());
        for (const std::string& text : p.user.texts())
            QVERIFY2(QString::fromStdString(text).contains(QRegularExpression("[가-힣]")),
                     text.c_str());
    }

    void failedOpensNameTheFileAndTheReason() {
        Program p;
        QVERIFY(p.start());
        // A format Quillet does not read.
        const QString png = p.dir.filePath(QStringLiteral("사진.png"));
        QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(png));
        QVERIFY(!p.shell.openFile(png));
        QVERIFY(Last(p.user).startsWith(QStringLiteral("해당 파일을 열 수 없습니다.\n[사진.png]")));
        // A damaged VLR document: a good one cut short.
        QVERIFY(p.open(p.picture));
        const QString vlr = p.dir.filePath(QStringLiteral("문서.vlr"));
        QVERIFY(p.shell.saveDocumentAs(p.current()->document(), vlr));
        QFile cut(vlr);
        QVERIFY(cut.open(QIODevice::ReadWrite));
        QVERIFY(cut.resize(cut.size() / 2));
        cut.close();
        QVERIFY(p.frame().dispatchCommand(CommandId::Close));
        Program::flushDeletes();
        const size_t said = p.user.texts().size();
        QVERIFY(!p.shell.openFile(vlr));
        QCOMPARE(p.user.texts().size(), said + 1);  // one message, not two
        QVERIFY(
            Last(p.user).startsWith(QStringLiteral("해당 파일을 열 수 없습니다.\n[문서.vlr]\n(")));
        // A file that has gone since it was listed.
        QVERIFY(!p.shell.openFile(p.dir.filePath(QStringLiteral("없는 그림.jpg"))));
        QVERIFY(Last(p.user).contains(QStringLiteral("[없는 그림.jpg]\n(")));
        QVERIFY(p.shell.app().documents().empty());
    }

    // A JPEG cut short still decodes in part: it opens, with a warning, as an unchanged picture.
    void cutJpegOpensWithAWarning() {
        Program p;
        QVERIFY(p.start());
        const QString jpeg = p.dir.filePath(QStringLiteral("잘린.jpg"));
        {
            RaViru image(64, 64, 24, ImageKind::Jpeg);
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x) image.PutPixelColor(x, y, ProgramPattern(x, y));
            QVERIFY(image.WriteFile(QFile::encodeName(jpeg).toStdString(), ImageKind::Jpeg));
            QFile f(jpeg);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.resize(f.size() * 2 / 3));
        }
        QVERIFY(p.shell.openFile(jpeg));
        QCOMPARE(p.user.texts().size(), size_t(1));
        QCOMPARE(p.user.entries.back().icon, MessageIcon::Warning);
        QCOMPARE(Last(p.user), QStringLiteral("파일이 중간에 끝나 그림의 일부만 읽었습니다."));
        QVERIFY(p.current());
        CBrevDoc& doc = p.current()->document();
        QCOMPARE(doc.Layers().header.canvasWidth, 64);
        QVERIFY(!doc.Modified());
        QCOMPARE(QString::fromStdString(p.shell.app().documentPath(doc)),
                 QFileInfo(jpeg).absoluteFilePath());
    }

    void qtDialogsSpeakKorean() {
        Program p;
        QVERIFY(p.start());
        QMessageBox box(QMessageBox::Question, QStringLiteral("Quillet"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
            const QString text = box.button(b)->text();
            QVERIFY2(text.contains(QRegularExpression("[가-힣]")), qPrintable(text));
        }
        QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Save);
        QVERIFY(
            buttons.button(QDialogButtonBox::Save)->text().contains(QRegularExpression("[가-힣]")));
    }

    void ctrlPlusAndMinusZoomTheFocusedViewAtOnce() {
        Program p;
        QVERIFY(p.start());
        p.frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.frame()));
        QVERIFY(p.open(p.picture));
        CBrevView* view = p.current()->view();
        CBrevDoc& doc = view->document();
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(doc.Zoom(), 0.5);
        QTest::keyClick(view, Qt::Key_Equal, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(doc.Zoom(), 2.0);
        QCOMPARE(p.shell.tools().currentTool, ToolId::None);
        // The menu entries still choose the zoom tools.
        QVERIFY(p.frame().dispatchCommand(CommandId::ZoomOut));
        QCOMPARE(p.shell.tools().currentTool, ToolId::ZoomOut);
        QCOMPARE(doc.Zoom(), 2.0);
    }

    void samplePicturesOpenFromTheHelpMenu() {
        Program p;
        QVERIFY(p.start());
        for (CommandId id : {CommandId::BitmapResource, CommandId::JpegResource,
                             CommandId::GifResource, CommandId::TiffResource}) {
            QAction* a = p.frame().menuAction(id);
            QVERIFY(a);
            QVERIFY(a->isEnabled());
            auto* menu = qobject_cast<QMenu*>(a->parent());
            QVERIFY(menu);
            QCOMPARE(menu->title(), QStringLiteral("예제 그림(&S)"));
            a->trigger();
        }
        QCOMPARE(p.shell.app().documents().size(), size_t(4));
    }

    void viewContextMenuFollowsTheMenusGate() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        std::unique_ptr<QMenu> menu(p.current()->view()->createContextMenu());
        QVERIFY(menu);
        int separators = 0, entries = 0;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) {
                ++separators;
                continue;
            }
            ++entries;
            const auto id = CommandId(a->data().toInt());
            QCOMPARE(a->isEnabled(), p.frame().isCommandEnabled(id));
            if (QAction* m = p.frame().menuAction(id)) QCOMPARE(a->isEnabled(), m->isEnabled());
        }
        QCOMPARE(entries, 8);
        QCOMPARE(separators, 3);
        for (CommandId idle : {CommandId::Deselect, CommandId::Undo, CommandId::Redo})
            QVERIFY2(!p.frame().isCommandEnabled(idle), qPrintable(QString::number(int(idle))));
        // The layer copies work on any opened picture.
        QVERIFY(p.frame().isCommandEnabled(CommandId::Copy));
        QVERIFY(p.frame().isCommandEnabled(CommandId::CopyImage));
    }

    void enabledStatesPressedButtonsAndTheStatusBar() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        QVERIFY(!p.frame().isCommandEnabled(CommandId::Undo));  // nothing to undo yet
        QVERIFY(!p.frame().isCommandEnabled(CommandId::Redo));
        QVERIFY(p.frame().dispatchCommand(CommandId::Move));
        p.drag(4);
        p.frame().updateCommandStates();
        QVERIFY(p.frame().isCommandEnabled(CommandId::Undo));
        QVERIFY(!p.frame().isCommandEnabled(CommandId::Redo));
        QVERIFY(p.frame().dispatchCommand(CommandId::Undo));
        QVERIFY(p.frame().isCommandEnabled(CommandId::Redo));

        // After the settings dialog the move tool's button is the pressed one again.
        QVERIFY(p.dispatchWithDialog(CommandId::Environment, false));
        QCOMPARE(p.frame().commandState().pressedButton, CommandId::Move);
        for (QAction* a : p.frame().commandActions(CommandId::Environment))
            QVERIFY(!a->isChecked());

        QStatusTipEvent tip(QStringLiteral("이동"));
        QApplication::sendEvent(&p.frame(), &tip);
        QCOMPARE(p.frame().statusBar()->currentMessage(), QStringLiteral("이동"));
        QStatusTipEvent gone{QString()};
        QApplication::sendEvent(&p.frame(), &gone);
        QCOMPARE(p.frame().statusBar()->currentMessage(), QStringLiteral("준비"));
    }

    void reopenedVlrIsNamedAfterItsFile() {
        Program p;
        QVERIFY(p.start());
        QVERIFY(p.open(p.picture));
        const QString vlr = p.dir.filePath(QStringLiteral("층.vlr"));
        QVERIFY(p.shell.saveDocumentAs(p.current()->document(), vlr));
        QVERIFY(p.frame().dispatchCommand(CommandId::Close));
        Program::flushDeletes();
        QVERIFY(p.open(vlr));
        QCOMPARE(p.current()->windowTitle(), vlr + QStringLiteral(" 100 % (배경영상)"));
        QString proposed;
        p.shell.setSaveNameChooser([&](const QString& name) {
            proposed = name;
            return QString();
        });
        QVERIFY(p.frame().dispatchCommand(CommandId::SaveAs));
        QCOMPARE(proposed, vlr);
    }

    void newWindowsCascadeAtTheirPicturesSize() {
        Program p;
        QVERIFY(p.start());
        QList<CChildFrame*> windows;
        for (int i = 0; i < 3; ++i) {
            const QString name = p.dir.filePath(QStringLiteral("큰 그림 %1.bmp").arg(i));
            QVERIFY(!WritePicture(name, 320, 240).isEmpty());
            QVERIFY(p.open(name));
            windows << p.current();
            QApplication::processEvents();
        }
        auto fits = [](CChildFrame* w) {
            return !w->view()->horizontalScrollBar()->isVisible() &&
                   !w->view()->verticalScrollBar()->isVisible() &&
                   w->view()->viewport()->width() >= 320 && w->view()->viewport()->height() >= 240;
        };
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(windows[i]->pos(), p.frame().cascadePosition(i));
            QVERIFY2(fits(windows[i]), qPrintable(QString::number(i)));
        }
        QVERIFY(windows[1]->x() > windows[0]->x());
        for (CChildFrame* w : windows) w->resize(200, 150);
        QVERIFY(p.frame().dispatchCommand(CommandId::Cascade));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(windows[i]->pos(), p.frame().cascadePosition(i));
            QVERIFY2(fits(windows[i]), qPrintable(QString::number(i)));
        }
    }

    void iconTitleAboutBoxAndMnemonic() {
        Program p;
        QVERIFY(p.start());
        const QImage icon = renderAppIcon(64).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(
            QApplication::windowIcon().pixmap(64).toImage().convertToFormat(QImage::Format_ARGB32),
            icon);
        QCOMPARE(p.frame().windowTitle(), QStringLiteral("Quillet 4.6"));
        QVERIFY(p.open(p.picture));
        QCOMPARE(p.current()->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        QCOMPARE(p.frame().windowTitle(), QStringLiteral("Quillet 4.6 - 그림 한 장.bmp"));
        QVERIFY(p.frame().dispatchCommand(CommandId::Close));
        Program::flushDeletes();
        QCOMPARE(p.frame().windowTitle(), QStringLiteral("Quillet 4.6"));

        QRect about;
        QTimer::singleShot(0, &p.frame(), [&] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                about = w->geometry();
                w->close();
            }
        });
        QVERIFY(p.frame().dispatchCommand(CommandId::About));
        QVERIFY(!about.isEmpty());
        const QPoint offset = about.center() - p.frame().geometry().center();
        QVERIFY2(offset.manhattanLength() < 40,
                 qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));

        QStringList menus;
        for (QAction* a : p.frame().menuBar()->actions()) menus << a->text();
        QVERIFY(menus.contains(QStringLiteral("변형 및 꾸미기(&T)")));
    }
};

QUILLET_QTEST(EditorSessionTest)
#include "test_editor_session.moc"
