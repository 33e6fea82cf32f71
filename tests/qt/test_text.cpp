// Text under the offscreen platform: the Qt rasterizer with NanumGothic leaves ink where Korean
// and Latin glyphs are and none elsewhere, the text dialog's controls, and the text tool and
// the layer window's double click in the whole program.
#include <QComboBox>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "QtTestRegistry.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/TextCommands.h"
#include "document/CBrevDoc.h"
#include "document/qt/CDlg_Layer.h"
#include "document/qt/LayerRowList.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "platform/qt/QtTextRasterizer.h"
#include "view/qt/CBrevView.h"
#include "view/qt/CChildFrame.h"
#include "view/qt/CDlg_Text.h"

using namespace quillet;

namespace {

TextSettings Black(int size) {
    TextSettings s;
    s.face = u"NanumGothic";
    s.size = size;
    s.colour = 0x000000;
    return s;
}

// Ink in the columns [from, to) of a line's alpha map.
int InkIn(const LineAlpha& line, int from, int to) {
    int ink = 0;
    for (int y = 0; y < line.height; ++y)
        for (int x = std::max(0, from); x < std::min(to, line.width); ++x)
            ink += line.alpha[size_t(y * line.width + x)] > 0 ? 1 : 0;
    return ink;
}

}  // namespace

class TextTest : public QObject {
    Q_OBJECT
private slots:
    void hangulAndLatinLeaveInkOnlyWhereGlyphsAre() {
        QtTextRasterizer qt;
        const TextSettings s = Black(48);
        const FontSpec font{u"NanumGothic", 48};
        const LineAlpha line = RasterizeTextLine(qt, u"가 A", s);
        QVERIFY(line.width > 40);
        const int first = qt.measure(u"가", font).width;
        const int gapEnd = qt.measure(u"가 ", font).width;
        QVERIFY(InkIn(line, 0, first) > 50);
        QVERIFY(InkIn(line, gapEnd, line.width) > 50);
        QCOMPARE(InkIn(line, first + 2, gapEnd - 2), 0);  // the space between them
        // Hangul is drawn, not boxes: different syllables leave different ink.
        const LineAlpha ga = RasterizeTextLine(qt, u"가", s);
        const LineAlpha hiut = RasterizeTextLine(qt, u"흐", s);
        QVERIFY(ga.alpha != hiut.alpha);
        // A face this machine has not falls back to the Korean face.
        TextSettings missing = s;
        missing.face = u"굴림";
        QCOMPARE(RasterizeTextLine(qt, u"가", missing).alpha, ga.alpha);
        TextSettings unknown = s;
        unknown.face = u"No Such Face 123";
        QCOMPARE(RasterizeTextLine(qt, u"가", unknown).alpha, ga.alpha);
        // Rows above and below the glyph box stay clear for white text too.
        TextSettings white = s;
        white.colour = 0xFFFFFF;
        const LineAlpha w = RasterizeTextLine(qt, u"가", white);
        QVERIFY(InkIn(w, 0, w.width) > 50);
        QCOMPARE(int(w.alpha[0]), 0);
    }

    void theDialogOffersTheSettingsAndGivesStoredValues() {
        TextSettings s = Black(30);
        s.lineSpacing = 1.3;
        s.widthRatio = 80;
        s.italic = true;
        CDlg_Text dialog(s, QStringLiteral("글자"), QStringLiteral("NanumGothic"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("      글자 입력"));
        QCOMPARE(dialog.faceBox()->itemText(0), QStringLiteral("NanumGothic"));
        QCOMPARE(dialog.sizeBox()->itemText(0), QStringLiteral("15"));
        QCOMPARE(dialog.sizeBox()->itemText(1), QStringLiteral("4"));
        QCOMPARE(dialog.sizeBox()->itemText(dialog.sizeBox()->count() - 1), QStringLiteral("120"));
        QCOMPARE(dialog.styleBox()->currentText(), QStringLiteral("Italic"));
        QCOMPARE(dialog.spacingBox()->itemText(0), QStringLiteral("1.3"));
        QCOMPARE(dialog.spacingBox()->itemText(1), QStringLiteral("0.4"));
        QCOMPARE(dialog.ratioBox()->itemText(0), QStringLiteral(" 80"));
        QCOMPARE(dialog.edit()->toPlainText(), QStringLiteral("글자"));
        QCOMPARE(dialog.settings(), s);
        dialog.sizeBox()->setEditText(QStringLiteral("2"));
        dialog.styleBox()->setCurrentIndex(3);
        QCOMPARE(dialog.settings().size, 4);
        QVERIFY(dialog.settings().bold && dialog.settings().italic);
    }

    void theToolAndTheLayerWindowOpenTheDialog() {
        QTemporaryDir dir;
        RecordingUserPort user;
        CBrevAppShell shell(&user);
        QVERIFY(shell.start(dir.filePath(QStringLiteral("home")).toStdString()));
        shell.frame().resize(900, 700);
        shell.frame().show();
        RaViru image(200, 120, 24, ImageKind::Bmp);
        const QString file = dir.filePath(QStringLiteral("p.bmp"));
        QVERIFY(image.WriteFile(file.toStdString(), ImageKind::Bmp));
        QVERIFY(shell.openFile(file));
        CBrevDoc& doc = *shell.activeDocument();
        QString typed = QStringLiteral("안녕 Quillet");
        shell.text().setDialogRunner([&typed](CDlg_Text& dialog) {
            dialog.edit()->setPlainText(typed);
            dialog.sizeBox()->setEditText(QStringLiteral("20"));
            return true;
        });
        QVERIFY(shell.frame().dispatchCommand(CommandId::Text));
        QCOMPARE(shell.tools().currentTool, ToolId::Text);
        auto* window = qobject_cast<CChildFrame*>(shell.frame().mdiArea()->currentSubWindow());
        QWidget* port = window->view()->viewport();
        const ViewRect r = window->view()->state().DisplayedRect();
        QTest::mouseClick(port, Qt::LeftButton, {}, QPoint(r.left + 10, r.top + 12));
        QCOMPARE(doc.Layers().Count(), 2);
        const int slot = doc.CurrentLayer();
        const Layer& l = doc.Layers().layer(slot);
        QVERIFY(l.IsText());
        QCOMPARE(l.textX, 10);
        QCOMPARE(l.textY, 12);
        QCOMPARE(l.fontSize, 40);
        QCOMPARE(shell.text().lastSettings().size, 40);

        // A double click on the text layer's row edits it.
        QVERIFY(shell.frame().dispatchCommand(CommandId::LayerPanel));
        auto* panel =
            qobject_cast<CDlg_Layer*>(shell.frame().panel(CMainFrame::Panel::LayerHistory));
        panel->refreshNow();
        typed = QStringLiteral("둘째");
        LayerRowList* rows = panel->rowList();
        QTest::mouseDClick(rows, Qt::LeftButton, {}, rows->rowRect(1).center() + QPoint(30, 0));
        QCOMPARE(TextOf(doc.Layers().layer(slot), doc.Layers().planesOf(slot)),
                 std::u16string(u"둘째"));
        QCOMPARE(doc.Journal().Entry(doc.Journal().StepIndex()).label, std::u16string(u"글자수정"));
        // Cancel or an empty text changes nothing.
        const int steps = doc.Journal().StepIndex();
        shell.text().setDialogRunner([](CDlg_Text&) { return false; });
        shell.text().editText(doc, slot);
        typed.clear();
        shell.text().setDialogRunner([](CDlg_Text& d) {
            d.edit()->clear();
            return true;
        });
        shell.text().newText(doc, 0, 0);
        QCOMPARE(doc.Journal().StepIndex(), steps);
    }
};

QUILLET_QTEST(TextTest)
#include "test_text.moc"
