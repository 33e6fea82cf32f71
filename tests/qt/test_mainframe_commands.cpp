#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <set>

#include "QtTestRegistry.h"
#include "app/AppCounters.h"
#include "app/CommandTable.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/ToolOptionBar.h"

using namespace quillet;

namespace {

// A document window that would ask before closing a modified document.
class AskingWindow : public QWidget {
public:
    AskingWindow(CMainFrame& frame, bool& asked, bool stubborn)
        : frame_(frame), asked_(asked), stubborn_(stubborn) {}

protected:
    void closeEvent(QCloseEvent* e) override {
        if (stubborn_ || !frame_.isClosingAllDocuments()) {
            asked_ = true;
            e->ignore();
        }
    }

private:
    CMainFrame& frame_;
    bool& asked_;
    bool stubborn_;
};

// A run counter for every command in the table.
std::map<CommandId, int> countAll() {
    std::map<CommandId, int> counts;
    for (const CommandInfo& c : commandTable()) counts[c.id] = 0;
    return counts;
}

bool freeTransformMode(CommandId id) {
    return id == CommandId::TransformSize || id == CommandId::TransformDistort ||
           id == CommandId::TransformPerspective;
}

}  // namespace

class MainFrameCommandsTest : public QObject {
    Q_OBJECT
private slots:
    // The recent-file list lives in the user's settings: keep the tests' lists apart.
    void initTestCase() {
        QVERIFY(settingsDir_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    }

    void gateWithFreeTransformPanelPassesOnlyItsModes() {
        AppCounters counters;
        CMainFrame frame(counters);
        std::map<CommandId, int> runs = countAll();
        for (auto& [id, n] : runs) frame.setCommandHandler(id, [&n = n] { ++n; });
        frame.setPanelFactory(CMainFrame::Panel::FreeTransform, [] { return new QWidget; });
        QVERIFY(frame.showPanel(CMainFrame::Panel::FreeTransform));
        for (auto& [id, n] : runs)
            if (id != CommandId::Exit && id != CommandId::CloseProgram)
                QCOMPARE(frame.dispatchCommand(id), freeTransformMode(id));
        for (auto& [id, n] : runs)
            if (id != CommandId::Exit && id != CommandId::CloseProgram)
                QCOMPARE(n, freeTransformMode(id) ? 1 : 0);
        delete frame.panel(CMainFrame::Panel::FreeTransform);
    }

    void gateWithAnchorLinePanelPassesPolygonZoomAndPathTools() {
        AppCounters counters;
        CMainFrame frame(counters);
        std::map<CommandId, int> runs = countAll();
        for (auto& [id, n] : runs) frame.setCommandHandler(id, [&n = n] { ++n; });
        frame.setPanelFactory(CMainFrame::Panel::AnchorLine, [] { return new QWidget; });
        frame.showPanel(CMainFrame::Panel::AnchorLine);
        using enum CommandId;
        const std::set<CommandId> allowed = {PolygonSelect, ZoomIn,     ZoomOut,    PathPlace,
                                             PathMove,      PathInsert, PathDelete, PathOther};
        for (auto& [id, n] : runs) {
            if (id == Exit || id == CloseProgram) continue;
            // Menu entries and keys go the same way as direct dispatch.
            if (QAction* a = frame.menuAction(id))
                a->trigger();
            else
                frame.dispatchCommand(id);
            QVERIFY2(n == (allowed.count(id) == 1 ? 1 : 0), qPrintable(QString::number(int(id))));
        }
        // With the panel hidden again everything passes.
        frame.hidePanel(CMainFrame::Panel::AnchorLine);
        QVERIFY(frame.dispatchCommand(CommandId::New));
        delete frame.panel(CMainFrame::Panel::AnchorLine);
    }

    void passingToolShowsItsButtonPressed() {
        AppCounters counters;
        CMainFrame frame(counters);
        for (CommandId id : {CommandId::RectSelect, CommandId::Brush, CommandId::FreehandSelect,
                             CommandId::Flatten})
            frame.setCommandHandler(id, [] {});
        QAction* rect = frame.findChild<QAction*>(QStringLiteral("button1342"));
        QAction* brush = frame.findChild<QAction*>(QStringLiteral("button1347"));
        QVERIFY(rect && brush && rect->isCheckable());
        rect->trigger();
        QVERIFY(rect->isChecked());
        QCOMPARE(frame.commandState().pressedButton, CommandId::RectSelect);
        frame.menuAction(CommandId::Brush)->trigger();  // the menu entry presses the button as well
        QVERIFY(brush->isChecked() && !rect->isChecked());
        frame.dispatchCommand(CommandId::Flatten);  // flatten leaves the pressed button alone
        QVERIFY(brush->isChecked());
        // Refused by the gate: the clicked button does not stay down.
        frame.setPanelFactory(CMainFrame::Panel::FreeTransform, [] { return new QWidget; });
        frame.showPanel(CMainFrame::Panel::FreeTransform);
        rect->trigger();
        QVERIFY(!rect->isChecked() && brush->isChecked());
        delete frame.panel(CMainFrame::Panel::FreeTransform);
        // A fly-out member shows on its button when it is pressed.
        frame.dispatchCommand(CommandId::FreehandSelect);
        QCOMPARE(frame.commandState().pressedButton, CommandId::FreehandSelect);
        auto* flyout = frame.findChild<QToolButton*>(QStringLiteral("flyout1342"));
        QVERIFY(flyout);
        QCOMPARE(flyout->defaultAction()->data().toInt(), 1343);
        QVERIFY(flyout->defaultAction()->isChecked());
        // Tool code that switches on its own asks the same gate.
        QVERIFY(frame.requestToolSwitch(CommandId::ColourRangePick));
        QCOMPARE(frame.commandState().pressedButton, CommandId::ColourRangePick);
        // Tool commands carry the status-bar prompts of the tool table.
        QCOMPARE(rect->statusTip(), QStringLiteral("마우스 드래깅의 사각영역을 선택함"));
        QCOMPARE(frame.menuAction(CommandId::ZoomOut)->statusTip(),
                 QStringLiteral("화면 보기를 축소한다 "));
    }

    void colourSwapExchangesIndicesAndPositions() {
        AppCounters counters;
        CMainFrame frame(counters);
        ColourSwatches s;
        s.foreground = {rgbColour(200, 10, 20), 5, 30, 40};
        s.background = {rgbColour(1, 2, 250), 9, 120, 7};
        frame.setSwatches(s);
        QSignalSpy changed(&frame, &CMainFrame::swatchesChanged);
        QAction* swap = frame.findChild<QAction*>(QStringLiteral("button1386"));
        QVERIFY(swap && swap->isEnabled());
        QCOMPARE(swap->toolTip(), QStringLiteral("전경,배경색 교환"));
        swap->trigger();
        QCOMPARE(frame.swatches().foreground, (SwatchColour{rgbColour(1, 2, 250), 9, 120, 7}));
        QCOMPARE(frame.swatches().background, (SwatchColour{rgbColour(200, 10, 20), 5, 30, 40}));
        QCOMPARE(changed.count(), 1);
    }

    void colourDialogsSetTheSwatchAndRememberThePreviousColour() {
        AppCounters counters;
        CMainFrame frame(counters);
        QString asked;
        std::optional<QColor> answer = QColor(0, 255, 0);
        frame.setColourChooser([&](const QColor&, const QString& title) {
            asked = title;
            return answer;
        });
        const uint32_t oldFg = frame.swatches().foreground.colour;
        QVERIFY(frame.dispatchCommand(CommandId::ForegroundColour));
        QCOMPARE(asked, QStringLiteral("전경색"));
        QCOMPARE(frame.swatches().foreground.colour, rgbColour(0, 255, 0));
        QCOMPARE(frame.swatches().previousForeground, oldFg);
        // Pure green sits at hue 120, full saturation in the picker field.
        QCOMPARE(frame.swatches().foreground.pickerX, 240 * 219 / 360);
        QCOMPARE(frame.swatches().foreground.pickerY, 0);
        answer.reset();  // cancelled: nothing changes
        const ColourSwatches before = frame.swatches();
        QVERIFY(frame.dispatchCommand(CommandId::BackgroundColour));
        QCOMPARE(asked, QStringLiteral("배경색"));
        QCOMPARE(frame.swatches().background, before.background);
    }

    void closeAllClosesModifiedDocumentsWithoutAQuestion() {
        AppCounters counters;
        CMainFrame frame(counters);
        frame.show();
        bool asked = false;
        for (int i = 0; i < 3; ++i)
            frame.mdiArea()->addSubWindow(new AskingWindow(frame, asked, i == 2))->show();
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 3);
        // An ordinary close would ask.
        frame.mdiArea()->subWindowList().first()->close();
        QVERIFY(asked);
        asked = false;
        frame.menuAction(CommandId::CloseAll)->trigger();
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 0);
        QCOMPARE(frame.menuAction(CommandId::CloseAll)->text(), QStringLiteral("모두닫기"));
    }

    void pasteNeedsABitmapOnTheClipboard() {
        AppCounters counters;
        CMainFrame frame(counters);
        frame.setCommandHandler(CommandId::Paste, [] {});
        QApplication::clipboard()->setText(QStringLiteral("글"));
        frame.updateCommandStates();
        QVERIFY(!frame.menuAction(CommandId::Paste)->isEnabled());
        QVERIFY(!frame.dispatchCommand(CommandId::Paste));
        QImage img(4, 4, QImage::Format_RGB32);
        img.fill(Qt::red);
        QApplication::clipboard()->setImage(img);
        frame.updateCommandStates();
        QVERIFY(frame.menuAction(CommandId::Paste)->isEnabled());
        QVERIFY(frame.dispatchCommand(CommandId::Paste));
        QApplication::clipboard()->clear();
    }

    void recentFilesKeepNineNewestFirst() {
        QSettings(QStringLiteral("Velloran Applications"), QStringLiteral("Quillet"))
            .remove(QStringLiteral("Recent File List"));
        AppCounters counters;
        CMainFrame frame(counters);
        QVERIFY(!frame.menuAction(CommandId::RecentFile)->isEnabled());
        for (int i = 0; i < 11; ++i) frame.addRecentFile(QStringLiteral("/tmp/p%1.bmp").arg(i));
        frame.addRecentFile(QStringLiteral("/tmp/p5.bmp"));  // again: moves to the top
        const QStringList list = frame.recentFiles();
        QCOMPARE(list.size(), 9);
        QCOMPARE(list.first(), QStringLiteral("/tmp/p5.bmp"));
        QCOMPARE(list[1], QStringLiteral("/tmp/p10.bmp"));
        QVERIFY(!list.contains(QStringLiteral("/tmp/p1.bmp")));
        // The file menu lists them; a new frame reads the same list back.
        AppCounters c2;
        CMainFrame again(c2);
        QAction* first =
            again.findChild<QAction*>(QStringLiteral("command%1").arg(int(RecentFileCommand(0))),
                                      Qt::FindChildrenRecursively);
        QList<QAction*> entries;
        for (QAction* a :
             qobject_cast<QMenu*>(again.menuAction(CommandId::Exit)->parent())->actions())
            if (a->text().startsWith('&') && a->isVisible()) entries << a;
        QCOMPARE(entries.size(), 9);
        QCOMPARE(entries.first()->text(), QStringLiteral("&1 /tmp/p5.bmp"));
        QVERIFY(first);
        QVERIFY(!entries.first()->isEnabled());  // nothing to open them with yet
        QStringList opened;
        again.setOpenFileHandler([&](const QString& p) {
            opened << p;
            return !p.endsWith(QStringLiteral("p10.bmp"));
        });
        QVERIFY(entries[1]->isEnabled());
        entries[1]->trigger();  // p10 fails to open and leaves the list
        QCOMPARE(opened, QStringList({QStringLiteral("/tmp/p10.bmp")}));
        QCOMPARE(again.recentFiles().size(), 8);
        QVERIFY(!again.recentFiles().contains(QStringLiteral("/tmp/p10.bmp")));
    }

    void droppedFilesGoToTheOpenHook() {
        AppCounters counters;
        CMainFrame frame(counters);
        frame.show();
        QSignalSpy dropped(&frame, &CMainFrame::filesDropped);
        QStringList opened;
        frame.setOpenFileHandler([&](const QString& p) {
            opened << p;
            return true;
        });
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.jpg")),
                      QUrl(QStringLiteral("https://example.org/b.jpg")),
                      QUrl::fromLocalFile(QStringLiteral("/tmp/c.vlr"))});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame, &drop);
        QCOMPARE(opened, QStringList({QStringLiteral("/tmp/a.jpg"), QStringLiteral("/tmp/c.vlr")}));
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(frame.recentFiles().first(), QStringLiteral("/tmp/c.vlr"));
    }

    void panelToggleHidesAndShowsAtTheRememberedPlace() {
        AppCounters counters;
        CMainFrame frame(counters);
        frame.show();
        QVERIFY(!frame.isCommandEnabled(CommandId::LayerPanel));
        int made = 0;
        frame.setPanelFactory(CMainFrame::Panel::LayerHistory, [&] {
            ++made;
            auto* w = new QWidget(&frame, Qt::Tool);
            w->resize(180, 300);
            return w;
        });
        QVERIFY(frame.dispatchCommand(CommandId::LayerPanel));
        QWidget* panel = frame.panel(CMainFrame::Panel::LayerHistory);
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->y(), frame.popupY());
        panel->move(300, 200);
        QVERIFY(frame.dispatchCommand(CommandId::LayerPanel));
        QVERIFY(!panel->isVisible());
        panel->move(0, 0);  // wherever it went while hidden, it comes back where it was
        QVERIFY(frame.dispatchCommand(CommandId::LayerPanel));
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->pos(), QPoint(300, 200));
        QCOMPARE(made, 1);
        // The movie maker toggle swaps the layer panel for maker and player.
        frame.setPanelFactory(CMainFrame::Panel::MovieMaker,
                              [&] { return new QWidget(&frame, Qt::Tool); });
        QVERIFY(!frame.isCommandEnabled(CommandId::MovieMaker));
        frame.setPanelFactory(CMainFrame::Panel::MoviePlayer,
                              [&] { return new QWidget(&frame, Qt::Tool); });
        QVERIFY(frame.dispatchCommand(CommandId::MovieMaker));
        QVERIFY(frame.isPanelVisible(CMainFrame::Panel::MovieMaker));
        QVERIFY(frame.isPanelVisible(CMainFrame::Panel::MoviePlayer));
        QVERIFY(!panel->isVisible());
        QVERIFY(frame.dispatchCommand(CommandId::MovieMaker));
        QVERIFY(!frame.isPanelVisible(CMainFrame::Panel::MovieMaker));
        QVERIFY(panel->isVisible());
    }

    void optionBarShowsTheToolSliders() {
        AppCounters counters;
        CMainFrame frame(counters);
        ToolOptionBar* bar = frame.optionBar();
        QVERIFY(!bar->isSliderEnabled(0) && !bar->isSliderEnabled(1));
        bar->apply(*optionSlidersForTool(ToolId::MagicWand, 3));
        QCOMPARE(bar->label(0), QStringLiteral("포함한계치"));
        QCOMPARE(bar->value(0), 25);
        QCOMPARE(bar->slider(0)->maximum(), 60);
        QCOMPARE(bar->label(1), QStringLiteral("경계퍼짐"));
        QCOMPARE(bar->value(1), 3);
        QSignalSpy spy(bar, &ToolOptionBar::valueChanged);
        bar->field(0)->setValue(40);  // typing moves the slider and reports once
        QCOMPARE(bar->slider(0)->value(), 40);
        QCOMPARE(spy.count(), 1);
        bar->slider(1)->setValue(12);
        QCOMPARE(bar->field(1)->value(), 12);
        bar->apply(idleOptionSliders());
        QVERIFY(!bar->isSliderEnabled(0));
    }

private:
    QTemporaryDir settingsDir_;
};
QUILLET_QTEST(MainFrameCommandsTest)
#include "test_mainframe_commands.moc"
