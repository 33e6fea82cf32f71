// Scanning, capture and printing from the editor's commands under the offscreen platform:
// SANE's test scanner through a private configuration, the desktop captured at the screen's
// size, the running number the two share, the print preview, and pages printed to PDF files
// that poppler renders back.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QPageLayout>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "../services/SaneTestBackend.h"
#include "QtTestRegistry.h"
#include "app/CBrevApp.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "platform/RecordingUserPort.h"
#include "services/PrintGeometry.h"
#include "services/SaneScanner.h"
#include "services/qt/CDlg_Print_Preview.h"
#include "services/qt/DeviceCommands.h"

using namespace quillet;
using quillet::testing::kScansCanRun;
using quillet::testing::kScansSkipped;
using quillet::testing::SaneTestBackend;

namespace {

struct Program {
    QTemporaryDir dir;
    RecordingUserPort user;
    CBrevAppShell shell{&user};

    bool start() {
        if (!shell.start(dir.filePath(QStringLiteral("home")).toStdString())) return false;
        shell.frame().resize(900, 700);
        shell.frame().show();
        shell.devices().setCaptureDelay(0);
        return true;
    }
    DeviceCommands& devices() { return shell.devices(); }
    bool run(CommandId id) { return shell.frame().dispatchCommand(id); }
    size_t documents() { return shell.app().documents().size(); }
    CBrevDoc* newest() {
        const auto docs = shell.app().documents();
        return docs.empty() ? nullptr : docs.back();
    }
    // A picture document of the given size and colour (0x00BBGGRR), at `dpi`.
    CBrevDoc& picture(int width, int height, uint32_t colour, int dpi) {
        CBrevDoc& doc = shell.app().createDocument();
        NewImageRequest r;
        r.width = width;
        r.height = height;
        r.background = NewBackground::Colour;
        r.backgroundColour = colour;
        NewDocument(doc, r);
        doc.Image().SetHorizontalDpi(dpi);
        doc.Image().SetVerticalDpi(dpi);
        shell.openWindow(doc);
        return doc;
    }
};

// The same page scanned directly, to compare documents against.
std::unique_ptr<RaViru> DirectScan(const std::vector<ScanOption>& options) {
    struct Keep : ScanPageSink {
        std::unique_ptr<RaViru> kept;
        Answer page(RaViru& p) override {
            kept = std::make_unique<RaViru>(ImageKind::Bmp);
            kept->AdoptFrom(p);
            return Answer::Take;
        }
    } keep;
    SaneSession session;
    session.Acquire("test:0", options, keep);
    return std::move(keep.kept);
}

// A PPM (P6) file as an image.
QImage ReadPpm(const QString& path) {
    QImage image;
    image.load(path, "PPM");
    return image;
}

// The box of pixels that are not white.
QRect InkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

class DeviceCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void commandsAreEnabledWhereTheyCanRun() {
        Program p;
        QVERIFY(p.start());
        CMainFrame& f = p.shell.frame();
        using enum CommandId;
        for (CommandId id : {SelectSource, Acquire, ScreenCapture, PrintSetup})
            QVERIFY2(f.isCommandEnabled(id), qPrintable(QString::number(int(id))));
        QVERIFY(!f.isCommandEnabled(CommandId::Print));
        QVERIFY(!f.isCommandEnabled(CommandId::PrintImage));
        p.picture(20, 10, 0xFFFFFF, 72);
        f.updateCommandStates();
        QVERIFY(f.isCommandEnabled(CommandId::Print));
        QVERIFY(f.isCommandEnabled(CommandId::PrintImage));
    }

    void captureAndScanShareOneRunningNumber() {
        if (!kScansCanRun) QSKIP(kScansSkipped);
        QVERIFY(SaneTestBackend::Use(2));
        Program p;
        QVERIFY(p.start());
        std::vector<CaptureWindow> offered;
        p.devices().setCaptureChooser([&](const std::vector<CaptureWindow>& choices) {
            offered = choices;
            return std::optional<CaptureWindow>(choices.front());
        });
        QVERIFY(p.run(CommandId::ScreenCapture));
        QVERIFY(p.run(CommandId::ScreenCapture));
        QVERIFY(!offered.empty());
        QCOMPARE(QString::fromStdString(offered.front().title), QStringLiteral("Desktop"));
        QCOMPARE(p.documents(), size_t(2));
        // The desktop is the whole screen.
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        CBrevDoc* shot = p.newest();
        QCOMPARE(shot->FileName(), std::u16string(u"Captured Image 1"));
        QCOMPARE(shot->Layers().header.canvasWidth, screen.width());
        QCOMPARE(shot->Layers().header.canvasHeight, screen.height());

        // No source chosen yet: the chooser comes first.
        int asked = 0;
        p.devices().setSourceChooser([&](const std::vector<ScanDevice>& devices) {
            ++asked;
            return std::optional<std::string>(devices.at(1).name);
        });
        p.devices().scanOptions() = {
            {"resolution", "50"}, {"mode", "Color"}, {"test-picture", "Color pattern"}};
        QVERIFY(p.run(CommandId::Acquire));
        QCOMPARE(asked, 1);
        QCOMPARE(p.devices().source(), std::string("test:1"));
        QCOMPARE(p.documents(), size_t(3));
        QCOMPARE(p.newest()->FileName(), std::u16string(u"스캔영상_2"));
        QVERIFY(p.user.entries.empty());
        // The source is remembered.
        QVERIFY(p.run(CommandId::Acquire));
        QCOMPARE(asked, 1);
        QCOMPARE(p.newest()->FileName(), std::u16string(u"스캔영상_3"));
    }

    void scannedPagesBecomeDocumentsWithTheirPixels() {
        if (!kScansCanRun) QSKIP(kScansSkipped);
        QVERIFY(SaneTestBackend::Use(2));
        Program p;
        QVERIFY(p.start());
        p.devices().setSource("test:0");
        const std::vector<std::vector<ScanOption>> pages = {
            {{"resolution", "40"}, {"mode", "Color"}, {"test-picture", "Color pattern"}},
            {{"resolution", "60"}, {"mode", "Gray"}, {"test-picture", "Grid"}},
        };
        for (const auto& options : pages) {
            p.devices().scanOptions() = options;
            const size_t before = p.documents();
            QVERIFY(p.run(CommandId::Acquire));
            QCOMPARE(p.documents(), before + 1);
            const std::unique_ptr<RaViru> expected = DirectScan(options);
            QVERIFY(expected);
            CBrevDoc& doc = *p.newest();
            QCOMPARE(doc.Layers().header.canvasWidth, expected->Width());
            QCOMPARE(doc.Layers().header.canvasHeight, expected->Height());
            QCOMPARE(doc.Image().dpiX, std::stoi(options[0].value));
            RaViru shown;
            QVERIFY(PrintPicture(doc, shown));
            int differ = 0;
            for (int y = 0; y < expected->Height(); ++y)
                for (int x = 0; x < expected->Width(); ++x)
                    differ += (shown.PixelColorAt(x, y) & 0xFFFFFF) !=
                              (expected->PixelColorAt(x, y) & 0xFFFFFF);
            QCOMPARE(differ, 0);
            QCOMPARE(int(doc.Layers().layer(0).transparency), 0);
        }
    }

    void scansThatEndEarlyLeaveTheProgramAsItWas() {
        Program p;
        QVERIFY(p.start());
        if (!kScansCanRun) QSKIP(kScansSkipped);
        QVERIFY(SaneTestBackend::Use(2));
        p.devices().setSource("test:0");
        p.devices().scanOptions() = {
            {"resolution", "300"}, {"read-limit", "yes"}, {"read-limit-size", "2048"}};
        p.devices().setScanProgressObserver([](int) { return false; });
        QVERIFY(p.run(CommandId::Acquire));
        QCOMPARE(p.documents(), size_t(0));
        QCOMPARE(p.user.lastText(), std::string("스캔이 취소되었습니다."));
        p.devices().setScanProgressObserver({});
        p.devices().scanOptions() = {{"resolution", "50"},
                                     {"read-return-value", "SANE_STATUS_DEVICE_BUSY"}};
        QVERIFY(p.run(CommandId::Acquire));
        QCOMPARE(p.documents(), size_t(0));
        QCOMPARE(p.user.lastText(), std::string("스캐너가 다른 프로그램에서 사용 중입니다."));
        // A scanner that went away is chosen again next time.
        p.devices().setSource("test:9");
        int asked = 0;
        p.devices().setSourceChooser([&](const std::vector<ScanDevice>&) {
            ++asked;
            return std::optional<std::string>();
        });
        QVERIFY(p.run(CommandId::Acquire));
        QCOMPARE(p.user.lastText(), std::string("연결된 스캐너를 찾을 수 없습니다."));
        QVERIFY(p.devices().source().empty());
        QVERIFY(p.run(CommandId::Acquire));
        QCOMPARE(asked, 1);
        QCOMPARE(p.documents(), size_t(0));
    }

    void printPreviewShowsSizesAndKeepsThePictureInMemory() {
        Program p;
        QVERIFY(p.start());
        CBrevDoc& doc = p.picture(720, 720, 0x0000FF, 72);  // red
        const QStringList before = QDir::current().entryList(QDir::Files);
        bool ran = false;
        p.devices().setPreviewRunner([&](CDlg_Print_Preview& d) {
            ran = true;
            QCOMPARE(d.windowTitle(), QStringLiteral("      인쇄 미리 보기"));
            QCOMPARE(d.dpi(), 72);
            QCOMPARE(d.widthText()->text(), QStringLiteral("10.00"));
            QCOMPARE(d.heightText()->text(), QStringLiteral("10.00"));
            QCOMPARE(d.paperLabel()->text(), QStringLiteral("210 x 297mm"));
            QCOMPARE(d.paperSize(), QSize(210, 297));
            const PrintRect r = d.pictureRect();
            QCOMPARE(QRect(r.x, r.y, r.width, r.height), QRect(20, 20, 254, 254));
            // Drawn on the paper: white paper, the picture from (20, 20), clipped at the edge.
            const QImage shown = d.paperWidget()->grab().toImage();
            QCOMPARE(shown.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
            QCOMPARE(shown.pixel(100, 100) & 0xFFFFFF, 0xFF0000u);
            QCOMPARE(shown.pixel(19, 100) & 0xFFFFFF, 0xFFFFFFu);
            d.paperBox()->setCurrentText(QStringLiteral("B5"));
            QCOMPARE(d.paperLabel()->text(), QStringLiteral("182 ⅹ 257mm"));
            QCOMPARE(d.paperSize(), QSize(182, 257));
            d.paperBox()->setCurrentText(QStringLiteral("D4"));
            QCOMPARE(d.paperSize(), QSize(102, 135));
            d.setDpi(144);
            QCOMPARE(d.widthText()->text(), QStringLiteral("5.00"));
            QCOMPARE(d.pictureRect().width, 127);
            // Spinning down stops at 1.
            d.setDpi(2);
            d.dpiBox()->stepDown();
            d.dpiBox()->stepDown();
            QCOMPARE(d.dpi(), 1);
            QCOMPARE(d.widthText()->text(), QStringLiteral("720.00"));
            d.reject();
        });
        QVERIFY(p.run(CommandId::PrintImage));
        QVERIFY(ran);
        // Closing without printing leaves the resolution; nothing was written beside us.
        QCOMPARE(doc.Image().dpiX, 72);
        QCOMPARE(doc.Image().dpiY, 72);
        QCOMPARE(QDir::current().entryList(QDir::Files), before);
        QVERIFY(!QFile::exists(QStringLiteral("ttemp.bmp")));

        // "인쇄" stores the resolution even when the print dialog is then cancelled.
        int dialogs = 0;
        p.devices().setPrintDialog([&](QPrinter&) {
            ++dialogs;
            return false;
        });
        p.devices().setPreviewRunner([](CDlg_Print_Preview& d) {
            d.setDpi(300);
            d.printButton()->click();
        });
        QVERIFY(p.run(CommandId::PrintImage));
        QCOMPARE(dialogs, 1);
        QCOMPARE(doc.Image().dpiX, 300);
        QCOMPARE(doc.Image().dpiY, 300);
    }

    void printsOnePageWithThePictureInPlace() {
        if (QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-v")}) < 0)
            QSKIP("poppler-utils is not installed");
        Program p;
        QVERIFY(p.start());
        // 720 × 720 at 72 DPI: ten inches, less 100 printer pixels, from (100, 100).
        p.picture(720, 720, 0x802000, 72);
        const QString pdf = p.dir.filePath(QStringLiteral("page.pdf"));
        QPrinter& printer = p.devices().printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A3));  // ten inches fit across
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        p.devices().setPrintDialog([](QPrinter&) { return true; });
        QVERIFY(p.run(CommandId::Print));
        QVERIFY(p.user.entries.empty());
        QVERIFY(QFile::exists(pdf));

        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY(info.waitForFinished());
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("(A3)")), qPrintable(text));

        // Rendered at 120 DPI, a printer pixel at 1200 DPI is a tenth of a pixel.
        const QString prefix = p.dir.filePath(QStringLiteral("page"));
        QCOMPARE(QProcess::execute(QStringLiteral("pdftoppm"),
                                   {QStringLiteral("-r"), QStringLiteral("120"), pdf, prefix}),
                 0);
        const QImage page = ReadPpm(prefix + QStringLiteral("-1.ppm"));
        QVERIFY(!page.isNull());
        // A3 at 120 DPI: 1403.15 × 1984.25 pixels.
        QVERIFY(qAbs(page.width() - 1403) <= 1);
        QVERIFY(qAbs(page.height() - 1984) <= 1);
        const int res = printer.resolution();
        const double scale = 120.0 / res;
        const QRect box = InkBox(page);
        const QRect want(qRound(100 * scale), qRound(100 * scale), qRound((res * 10 - 100) * scale),
                         qRound((res * 10 - 100) * scale));
        QVERIFY2(qAbs(box.left() - want.left()) <= 1 && qAbs(box.top() - want.top()) <= 1 &&
                     qAbs(box.width() - want.width()) <= 1 &&
                     qAbs(box.height() - want.height()) <= 1,
                 qPrintable(QStringLiteral("box %1,%2 %3x%4")
                                .arg(box.x())
                                .arg(box.y())
                                .arg(box.width())
                                .arg(box.height())));
        // The picture's own colour in the middle (0x00BBGGRR 0x802000 is red 0, green 32,
        // blue 128).
        const QRgb middle = page.pixel(box.center());
        QVERIFY(qAbs(qRed(middle) - 0) <= 2 && qAbs(qGreen(middle) - 32) <= 2 &&
                qAbs(qBlue(middle) - 128) <= 2);
    }
};

QUILLET_QTEST(DeviceCommandsTest)
#include "test_devices.moc"
