// "복구할 수 있는 문서가 있습니다": the documents a dead program left, listed with their names,
// times and pictures; the ticked ones or all come back as modified documents whose history
// starts there, and the folder is cleaned up; discarding cleans it up too, closing keeps it.
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "ModalDialogs.h"
#include "QtTestRegistry.h"
#include "app/CBrevApp.h"
#include "app/qt/CDlg_Recover.h"
#include "document/CBrevDoc.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/DeadJournal.h"

using namespace quillet;
using quillet::testing::whenShown;

namespace {

struct Start {
    QTemporaryDir dir;
    RecordingUserPort user;
    CBrevApp app{user};
    std::string dead;

    bool start() {
        const std::string home = dir.filePath(QStringLiteral("home")).toStdString();
        dead = testsupport::MakeDeadJournal(home + "/tmp", {u"/사진/풍경.jpg", u"/사진/인물.bmp"},
                                            dir.path().toStdString());
        return !dead.empty() && app.start(home);
    }
    bool deadFolderGone() const { return !QDir(QString::fromStdString(dead)).exists(); }
};

}  // namespace

class TestRecoveryDialog : public QObject {
    Q_OBJECT
private slots:
    void listsTheDocumentsAndRecoversTheTickedOnes() {
        Start s;
        QVERIFY(s.start());
        CDlg_Recover dialog(s.app);
        QCOMPARE(dialog.list()->count(), 2);
        QVERIFY(
            dialog.list()->item(0)->text().startsWith(QStringLiteral("풍경.jpg\n마지막 작업: ")));
        QVERIFY(dialog.list()->item(0)->text().endsWith(QStringLiteral("(선택영역 위치이동)")));
        QVERIFY(dialog.list()->item(1)->text().startsWith(QStringLiteral("인물.bmp")));
        QVERIFY(!dialog.list()->item(0)->icon().isNull());
        dialog.list()->item(1)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(dialog.recoverChosenButton(), Qt::LeftButton);
        QCOMPARE(dialog.outcome(), CDlg_Recover::Recover);
        QCOMPARE(int(dialog.chosen().size()), 1);

        CBrevDoc* doc = s.app.recoverDocument(dialog.chosen().front());
        QVERIFY(doc);
        QVERIFY(doc->Modified());
        QCOMPARE(doc->Journal().StepIndex(), 0);
        QVERIFY(doc->Journal().Entry(0).label == u"Opening....");
        QCOMPARE(doc->Layers().Count(), 2);
        QCOMPARE(doc->Layers().layer(1).x, 8);
        QVERIFY(doc->FileName() == u"/사진/풍경.jpg");
        s.app.finishRecovery(true);
        QVERIFY(s.deadFolderGone());
    }

    void offerRecoversAllOrDiscardsOrKeeps() {
        {
            Start s;
            QVERIFY(s.start());
            int opened = 0;
            whenShown<CDlg_Recover>([](CDlg_Recover& d) { d.recoverAllButton()->click(); });
            OfferRecovery(s.app, nullptr, [&](CBrevDoc&) { ++opened; });
            QCOMPARE(opened, 2);
            QCOMPARE(int(s.app.documents().size()), 2);
            QVERIFY(s.deadFolderGone());
        }
        {
            Start s;
            QVERIFY(s.start());
            whenShown<CDlg_Recover>([](CDlg_Recover& d) { d.discardButton()->click(); });
            OfferRecovery(s.app, nullptr, [](CBrevDoc&) { QFAIL("nothing is recovered"); });
            QVERIFY(s.app.documents().empty());
            QVERIFY(s.deadFolderGone());
        }
        {
            Start s;
            QVERIFY(s.start());
            whenShown<CDlg_Recover>([](CDlg_Recover& d) { d.reject(); });
            OfferRecovery(s.app, nullptr, [](CBrevDoc&) { QFAIL("nothing is recovered"); });
            QVERIFY(!s.deadFolderGone());
            QVERIFY(s.app.recoveryCandidates().empty());
        }
    }
};

QUILLET_QTEST(TestRecoveryDialog)
#include "test_recovery_dialog.moc"
