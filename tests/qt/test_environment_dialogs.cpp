#include <QButtonGroup>
#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "../services/TestHttpServer.h"
#include "QtTestRegistry.h"
#include "app/qt/CDlg_SetEnvironment.h"
#include "services/CAutoUpdater.h"
#include "services/qt/CDlg_UpdateCheck.h"
#include "services/qt/WebPages.h"

using namespace quillet;

// Stands in for the user's browser: records what QDesktopServices::openUrl was asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class EnvironmentDialogTest : public QObject {
    Q_OBJECT
    FrameSettings sample() {
        FrameSettings s;
        s.gridSpacing = -12;  // hidden
        s.cursorShape = 2;
        s.transparencyPattern = 1;
        s.updateFlag = 1;
        s.browserKind = FrameSettings::OwnBrowser;
        return s;
    }
    template <class T>
    static T* child(QObject* parent, const QString& name) {
        T* found = parent->findChild<T*>(name);
        if (!found) qFatal("missing child %s", qPrintable(name));
        return found;
    }

private slots:
    void captionTabsAndStartingValues() {
        FrameSettings s = sample();
        CDlg_SetEnvironment dialog(s, 70);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("      환경 설정"));
        QCOMPARE(dialog.size(), QSize(450, 250));
        QCOMPARE(dialog.pos().x(), 9);
        const QStringList expected = {QStringLiteral("커서/선택"), QStringLiteral("투명표시"),
                                      QStringLiteral("선택/경로"), QStringLiteral("격자표시"),
                                      QStringLiteral("파일보기창")};
        QStringList tabs;
        for (int i = 0; i < dialog.tabs()->count(); ++i) tabs << dialog.tabs()->tabText(i);
        QCOMPARE(tabs, expected);
        QVERIFY(child<QCheckBox>(&dialog, "cursor2")->isChecked());
        QVERIFY(child<QCheckBox>(&dialog, "pattern1")->isChecked());
        QCOMPARE(child<QSpinBox>(&dialog, "gridSpacing")->value(), 12);
        QVERIFY(child<QCheckBox>(&dialog, "browser1")->isChecked());
    }

    void okStoresTheChoicesByItsRules() {
        FrameSettings s = sample();
        const FrameSettings before = s;
        CDlg_SetEnvironment dialog(s);
        child<QCheckBox>(&dialog, "cursor4")->click();
        QVERIFY(!child<QCheckBox>(&dialog, "cursor2")->isChecked());
        child<QPushButton>(&dialog, "patternPicture5")->click();  // the picture ticks its box
        child<QPushButton>(&dialog, "gridSwatch9")->click();
        child<QSpinBox>(&dialog, "gridSpacing")->setValue(2);  // typed: below the minimum
        child<QCheckBox>(&dialog, "showOpenAtStart")->click();
        child<QCheckBox>(&dialog, "browser2")->click();
        QVERIFY(!child<QCheckBox>(&dialog, "browser1")->isChecked());
        child<QCheckBox>(&dialog, "selectionTone")->click();
        QCOMPARE(s, before);  // nothing is stored before OK
        dialog.accept();
        QCOMPARE(s.cursorShape, 4);
        QCOMPARE(s.transparencyPattern, 5);
        QCOMPARE(s.gridColour, 0x0000FFu);
        QCOMPARE(s.gridSpacing, -4);  // at least 4, negative while the grid is hidden
        QCOMPARE(s.updateFlag, 0);
        QVERIFY(s.showOpenAtStart);
        QCOMPARE(s.browserKind, int(FrameSettings::SystemDialog));
        QCOMPARE(s.selectionTone, !before.selectionTone);

        // A shown grid keeps its spacing positive.
        s.gridSpacing = 7;
        CDlg_SetEnvironment shown(s);
        child<QSpinBox>(&shown, "gridSpacing")->setValue(33);
        shown.accept();
        QCOMPARE(s.gridSpacing, 33);
    }

    void cancelStoresNothing() {
        FrameSettings s = sample();
        const FrameSettings before = s;
        CDlg_SetEnvironment dialog(s);
        child<QCheckBox>(&dialog, "cursor0")->click();
        child<QSpinBox>(&dialog, "gridSpacing")->setValue(30);
        dialog.reject();
        QCOMPARE(s, before);
    }

    void gridSpacingSteps() {
        GridSpacingBox box;
        box.setRange(0, 40);
        box.setValue(0);
        box.stepBy(1);
        QCOMPARE(box.value(), 4);
        box.setValue(40);
        box.stepBy(1);
        QCOMPARE(box.value(), 40);
        box.setValue(5);
        box.stepBy(-1);
        box.stepBy(-1);
        QCOMPARE(box.value(), 4);
    }

    void updateOfferTextsAndOk() {
        QCOMPARE(CDlg_UpdateCheck::versionText(46100), QStringLiteral(" 461.0"));
        QCOMPARE(CDlg_UpdateCheck::versionText(46105), QStringLiteral(" 461.5"));
        UrlRecorder browser;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "open");
        const QUrl site(QStringLiteral("http://127.0.0.1:1/quillet/"));
        CDlg_UpdateCheck dialog(46000, 46100, site);
        QStringList texts;
        for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
        QVERIFY(texts.contains(QStringLiteral("Velloran의 업데이트 메시지가 도착하였습니다.")));
        QVERIFY(
            texts.contains(QStringLiteral("지금 종료 후, Velloran 설치사이트에 접속하시겠습니까")));
        QVERIFY(texts.contains(QStringLiteral("신버전")));
        QCOMPARE(child<QLabel>(&dialog, "version")->text(), QStringLiteral(" 461.0"));
        QCOMPARE(child<QPushButton>(&dialog, "button5162")->text(), QStringLiteral("취 소"));
        child<QPushButton>(&dialog, "button5161")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(browser.opened, QList<QUrl>{site});
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }

    void startUpCheckAgainstALocalServer() {
        testing::TestHttpServer server;
        qputenv("QUILLET_UPDATE_URL", server.base().c_str());
        UrlRecorder browser;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "open");

        server.route("/Velloran_update.txt", {200, "460"});
        QVERIFY(!offerUpdateAtStartup());  // current: no dialog at all

        server.route("/Velloran_update.txt", {200, "461 new"});
        QString shownVersion;
        QTimer::singleShot(0, [&] {
            auto* offer = qobject_cast<CDlg_UpdateCheck*>(QApplication::activeModalWidget());
            QVERIFY(offer);
            shownVersion = offer->findChild<QLabel*>(QStringLiteral("version"))->text();
            offer->findChild<QPushButton*>(QStringLiteral("button5162"))->click();
        });
        QVERIFY(!offerUpdateAtStartup());  // cancelled: start-up goes on
        QCOMPARE(shownVersion, QStringLiteral(" 461.0"));
        QVERIFY(browser.opened.isEmpty());

        QTimer::singleShot(0, [] {
            QApplication::activeModalWidget()
                ->findChild<QPushButton*>(QStringLiteral("button5161"))
                ->click();
        });
        QVERIFY(offerUpdateAtStartup());  // accepted: the site opens and start-up ends
        QCOMPARE(browser.opened, QList<QUrl>{QUrl(QString::fromStdString(server.base()))});
        QCOMPARE(codecPageUrl().toString(), QString::fromStdString(server.base() + "codec.html"));

        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        qunsetenv("QUILLET_UPDATE_URL");
    }
};
QUILLET_QTEST(EnvironmentDialogTest)
#include "test_environment_dialogs.moc"
