#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include "QtTestRegistry.h"
#include "document/qt/CDlg_NewImage.h"

using namespace quillet;

class NewImageDialogTest : public QObject {
    Q_OBJECT
private slots:
    void defaultsAndChoices() {
        CDlg_NewImage dialog(nullptr, 0x00336699);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("      새 창 열기"));
        auto* width = dialog.findChild<QSpinBox*>(QStringLiteral("width"));
        auto* height = dialog.findChild<QSpinBox*>(QStringLiteral("height"));
        auto* content = dialog.findChild<QComboBox*>(QStringLiteral("content"));
        auto* format = dialog.findChild<QComboBox*>(QStringLiteral("format"));
        QVERIFY(width && height && content && format);
        QCOMPARE(width->value(), 450);
        QCOMPARE(width->maximum(), 5000);
        QCOMPARE(height->minimum(), 1);
        QCOMPARE(content->currentText(), QStringLiteral("흰색배경창"));
        QCOMPARE(content->count(), 3);
        QCOMPARE(format->currentText(), QStringLiteral("RGB칼라"));

        width->setValue(12);
        content->setCurrentIndex(2);
        dialog.findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("하늘"));
        const NewImageRequest r = dialog.request();
        QCOMPARE(r.width, 12);
        QCOMPARE(r.height, 450);
        QCOMPARE(r.background, NewBackground::Colour);
        QCOMPARE(r.backgroundColour, 0x00336699u);
        QVERIFY(r.name == u"하늘");
        QCOMPARE(r.bitsPerPixel, 24);
    }
    void clipboardSizeAndReturn() {
        CDlg_NewImage dialog(nullptr, 0, QSize(640, 480));
        QCOMPARE(dialog.findChild<QSpinBox*>(QStringLiteral("width"))->value(), 640);
        QCOMPARE(dialog.findChild<QSpinBox*>(QStringLiteral("height"))->value(), 480);
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};
QUILLET_QTEST(NewImageDialogTest)
#include "test_new_image_dialog.moc"
