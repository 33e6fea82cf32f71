#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <set>

#include "QtTestRegistry.h"
#include "app/AppCounters.h"
#include "app/CommandTable.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/KoreanFont.h"

using namespace quillet;

namespace {
QString utf8(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The commands the frame carries out itself; everything else waits for its subsystem.
using enum CommandId;
const std::set<CommandId> kBuiltByFrame = {
    Cascade,          Tile,       CloseAll, About, Exit, CloseProgram, ForegroundColour,
    BackgroundColour, SwapColours};
}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    // Frames read the recent-file list: never the user's own.
    void initTestCase() {
        QVERIFY(settingsDir_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    }
    void titleAndDocumentArea() {
        AppCounters counters;
        CMainFrame frame(counters);
        frame.show();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quillet 4.6"));
        QVERIFY(frame.mdiArea() != nullptr);
        QCOMPARE(frame.centralWidget(), frame.mdiArea());
        QCOMPARE(&frame.counters(), &counters);
    }
    void exitEntryClosesTheWindow() {
        AppCounters counters;
        CMainFrame frame(counters);
        frame.show();
        QAction* exit = frame.findChild<QAction*>(QStringLiteral("command57665"));
        QVERIFY(exit);
        QCOMPARE(exit->text(), QStringLiteral("종료(&x)"));
        exit->trigger();
        QVERIFY(!frame.isVisible());
    }
    void koreanFontIsInstalled() {
        const QString family = installKoreanFont();
        QVERIFY2(family.contains(QStringLiteral("Nanum"), Qt::CaseInsensitive), qPrintable(family));
    }
    void everyMenuEntryHasItsCaptionAndKeys() {
        AppCounters counters;
        CMainFrame frame(counters);
        int withCaption = 0;
        for (const CommandInfo& info : commandTable()) {
            QAction* action = frame.menuAction(info.id);
            if (!info.caption.empty()) {
                ++withCaption;
                QVERIFY2(action, qPrintable(QString::number(int(info.id))));
                QCOMPARE(action->text(), utf8(info.caption));
                // The entry really is in a menu of the menu bar.
                QVERIFY(qobject_cast<QMenu*>(action->parent()));
            } else {
                QVERIFY2(!action, qPrintable(QString::number(int(info.id))));
            }
            QList<QKeySequence> expected;
            for (std::string_view k : info.keys)
                if (!k.empty())
                    expected << QKeySequence::fromString(utf8(k), QKeySequence::PortableText);
            if (expected.isEmpty()) continue;
            QAction* keyed =
                action ? action
                       : frame.findChild<QAction*>(QStringLiteral("key%1").arg(int(info.id)));
            QVERIFY2(keyed, qPrintable(QString::number(int(info.id))));
            QCOMPARE(keyed->shortcuts(), expected);
        }
        // The frame's menu (92) and the image menu's further adjustments, filters, channel and
        // alpha commands (36).
        QCOMPARE(withCaption, 92 + 36);
        // The accelerators named for the frame, spot-checked as key sequences.
        QCOMPARE(frame.menuAction(CommandId::SaveAs)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
        QVERIFY(
            frame.menuAction(CommandId::Cut)->shortcuts().contains(QKeySequence(Qt::Key_Delete)));
        QVERIFY(frame.menuAction(CommandId::Copy)
                    ->shortcuts()
                    .contains(QKeySequence(Qt::CTRL | Qt::Key_Insert)));
        QVERIFY(frame.menuAction(CommandId::ZoomIn)
                    ->shortcuts()
                    .contains(QKeySequence(Qt::CTRL | Qt::Key_Plus)));
        QCOMPARE(frame.menuAction(CommandId::ZoomOut)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_Minus));
        QCOMPARE(frame.menuAction(CommandId::ShadowEffect)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
        QCOMPARE(frame.findChild<QAction*>(QStringLiteral("key57607"))->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_P));
        // The top-level menus hold every entry, the Korean ones with their mnemonics.
        QCOMPARE(frame.menuBar()->actions().size(), qsizetype(mainMenu().size()));
        QCOMPARE(frame.menuBar()->actions().first()->text(), QStringLiteral("파일(&F)"));
    }
    void unbuiltCommandsAreDisabledAndBuiltOnesEnabled() {
        AppCounters counters;
        CMainFrame frame(counters);
        frame.updateCommandStates();
        for (const CommandInfo& info : commandTable()) {
            const bool built = kBuiltByFrame.count(info.id) == 1;
            QCOMPARE(frame.isCommandEnabled(info.id), built);
            for (QAction* a : frame.commandActions(info.id))
                QVERIFY2(a->isEnabled() == built, qPrintable(QString::number(int(info.id))));
            // An unbuilt command does nothing when sent anyway.
            if (!built) QVERIFY(!frame.dispatchCommand(info.id));
        }
    }
    void registeringAHandlerEnablesEveryPlaceOfTheCommand() {
        AppCounters counters;
        CMainFrame frame(counters);
        int runs = 0;
        bool allowed = true;
        frame.setCommandHandler(
            CommandId::Undo, [&] { ++runs; }, [&] { return allowed; });
        QVERIFY(frame.menuAction(CommandId::Undo)->isEnabled());
        QAction* button = frame.findChild<QAction*>(QStringLiteral("button57643"));
        QVERIFY(button && button->isEnabled());
        QCOMPARE(button->toolTip(), QStringLiteral("실행 취소"));
        frame.menuAction(CommandId::Undo)->trigger();
        button->trigger();
        QCOMPARE(runs, 2);
        allowed = false;
        frame.updateCommandStates();
        QVERIFY(!frame.menuAction(CommandId::Undo)->isEnabled());
        QVERIFY(!frame.dispatchCommand(CommandId::Undo));
        frame.clearCommandHandler(CommandId::Undo);
        allowed = true;
        frame.updateCommandStates();
        QVERIFY(!button->isEnabled());
    }
    void aboutCascadeAndTile() {
        AppCounters counters;
        CMainFrame frame(counters);
        frame.show();
        for (int i = 0; i < 3; ++i) frame.mdiArea()->addSubWindow(new QWidget)->show();
        QString aboutTitle;
        QTimer::singleShot(0, [&] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                aboutTitle = w->windowTitle();
                w->close();
            }
        });
        QVERIFY(frame.dispatchCommand(CommandId::About));
        QCOMPARE(aboutTitle, QStringLiteral("'Velloran Quillet'에 관하여"));
        QVERIFY(frame.dispatchCommand(
            CommandId::Tile));  // tile: windows side by side, none overlapping
        const auto windows = frame.mdiArea()->subWindowList();
        QVERIFY(!windows[0]->geometry().intersects(windows[1]->geometry()));
        QVERIFY(
            frame.dispatchCommand(CommandId::Cascade));  // cascade: each one further down and right
        QVERIFY(windows[1]->y() > windows[0]->y() || windows[2]->y() > windows[1]->y());
    }
    void contextMenusOfferTheirCommands() {
        AppCounters counters;
        CMainFrame frame(counters);
        auto captions = [](QMenu* m) {
            QStringList list;
            for (QAction* a : m->actions())
                if (!a->isSeparator())
                    list << QStringLiteral("%1 %2").arg(a->data().toInt()).arg(a->text());
            return list;
        };
        QWidget owner;
        QMenu* view = frame.createViewContextMenu(&owner);
        QCOMPARE(captions(view), QStringList({"1420 확대", "1421 축소", "2060 선택/명령 해제",
                                              "57634 복사", "57637 붙이기", "57643 실행취소",
                                              "57644 실행반복", "4604 이미지복사"}));
        QMenu* layers = frame.createLayerListContextMenu(&owner);
        QCOMPARE(captions(layers),
                 QStringList({"57634 복사", "57637 붙이기", "3500 레이어 복제", "1553 레이어 삭제",
                              "1552 레이어 추가", "3994 레이어 이름 변경", "1500 떡 이미지 만들기",
                              "1545 레스터 만들기"}));
        // A context entry is routed like the menu entry once a handler exists.
        int zooms = 0;
        frame.setCommandHandler(CommandId::ZoomIn, [&] { ++zooms; });
        view->actions().first()->trigger();
        QCOMPARE(zooms, 1);
    }

private:
    QTemporaryDir settingsDir_;
};
QUILLET_QTEST(MainFrameTest)
#include "test_mainframe.moc"
