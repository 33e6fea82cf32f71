#include <QMdiArea>
#include <QMenuBar>
#include <QTest>

#include "QtTestRegistry.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/KoreanFont.h"

using namespace quillet;

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void titleAndDocumentArea() {
        CMainFrame frame;
        frame.show();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quillet 4.6"));
        QVERIFY(frame.mdiArea() != nullptr);
        QCOMPARE(frame.centralWidget(), frame.mdiArea());
    }
    void exitEntryClosesTheWindow() {
        CMainFrame frame;
        frame.show();
        QAction* exit = frame.findChild<QAction*>(QStringLiteral("command57665"));
        QVERIFY(exit);
        QCOMPARE(exit->text(), QStringLiteral("종료(&x)"));
        exit->trigger();
        QVERIFY(!frame.isVisible());
    }
    void koreanFontIsInstalled() {
        const QString family = installKoreanFont();
        QVERIFY2(family.contains(QStringLiteral("Nanum"), Qt::CaseInsensitive),
                 qPrintable(family));
    }
};
QUILLET_QTEST(MainFrameTest)
#include "test_mainframe.moc"
