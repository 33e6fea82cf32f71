#include "services/qt/DeviceCommands.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPageSetupDialog>
#include <QPixmap>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QScreen>
#include <QTimer>

#include "app/CBrevApp.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "document/CBrevDoc.h"
#include "image/qt/RaViruQImage.h"
#include "platform/UserPort.h"
#include "services/PrintGeometry.h"
#include "services/qt/CDlg_Print_Preview.h"
#include "services/qt/DlgCapture.h"
#include "services/qt/PicturePrinter.h"
#include "services/qt/ScanSourceDialog.h"
#include "services/qt/X11Windows.h"

namespace quillet {

namespace {

constexpr char kPrintFailed[] = "인쇄하지 못했습니다.";

// Each scanned page opens in its own window while the progress bar keeps the window alive.
class ShellPageSink : public ScanPageSink {
public:
    ShellPageSink(CBrevAppShell& shell, std::function<bool(int)> observer)
        : shell_(shell), observer_(std::move(observer)) {
        clock_.start();
    }
    ~ShellPageSink() override {
        if (bar_) bar_->close();
    }

    Answer page(RaViru& picture) override {
        if (CBrevDoc* doc = shell_.app().openAcquiredPicture(picture, AcquiredSource::Scanner))
            shell_.openWindow(*doc);
        return Answer::Take;
    }

    bool progress(int percent) override {
        if (observer_ && !observer_(percent)) return false;
        if (!bar_) {
            bar_ =
                std::make_unique<QProgressDialog>(QStringLiteral("스캐너에서 읽는 중..."),
                                                  QStringLiteral("취소"), 0, 100, &shell_.frame());
            bar_->setObjectName(QStringLiteral("scanProgress"));
            bar_->setWindowTitle(QStringLiteral("외부 이미지 입력"));
            bar_->setWindowModality(Qt::WindowModal);
            bar_->setMinimumDuration(300);
        }
        if (percent < 0)
            bar_->setRange(0, 0);  // the height is known only at the end
        else
            bar_->setValue(percent);
        // The driver's reads block; between them the window answers, at most every 30 ms.
        if (clock_.elapsed() >= 30) {
            QApplication::processEvents();
            clock_.restart();
        }
        return !bar_->wasCanceled();
    }

private:
    CBrevAppShell& shell_;
    std::function<bool(int)> observer_;
    std::unique_ptr<QProgressDialog> bar_;
    QElapsedTimer clock_;
};

void Wait(int milliseconds) {
    if (milliseconds <= 0) return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

DeviceCommands::DeviceCommands(CBrevAppShell& shell)
    : shell_(shell), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

DeviceCommands::~DeviceCommands() = default;

void DeviceCommands::install(CMainFrame& frame) {
    const auto hasDocument = [this] { return shell_.activeDocument() != nullptr; };
    frame.setCommandHandler(CommandId::SelectSource, [this] { selectSource(); });
    frame.setCommandHandler(CommandId::Acquire, [this] { acquire(); });
    frame.setCommandHandler(CommandId::ScreenCapture, [this] { capture(); });
    frame.setCommandHandler(CommandId::PrintSetup, [this] { printerSetup(); });
    frame.setCommandHandler(
        CommandId::Print,
        [this] {
            if (CBrevDoc* doc = shell_.activeDocument()) print(*doc);
        },
        hasDocument);
    frame.setCommandHandler(
        CommandId::PrintImage, [this] { printImage(); }, hasDocument);
}

void DeviceCommands::tell(const std::string& text, bool warning) {
    if (!text.empty())
        shell_.user().showMessage(text, warning ? MessageIcon::Warning : MessageIcon::Information);
}

// --- Scanning -----------------------------------------------------------------------------

bool DeviceCommands::selectSource() {
    std::vector<ScanDevice> devices;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);  // finding network scanners takes time
        SaneSession session;
        devices = session.Devices();
        QApplication::restoreOverrideCursor();
    }
    if (devices.empty()) {
        tell(ScanResultMessage(ScanResult::NoDevice), true);
        return false;
    }
    std::optional<std::string> chosen;
    if (chooseSource_) {
        chosen = chooseSource_(devices);
    } else {
        ScanSourceDialog dialog(devices, source_, &shell_.frame());
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.chosen();
    }
    if (!chosen || chosen->empty()) return false;
    source_ = *chosen;
    return true;
}

void DeviceCommands::acquire() {
    if (source_.empty() && !selectSource()) return;
    ShellPageSink sink(shell_, scanProgress_);
    {
        SaneSession session;
        lastScan_ = session.Acquire(source_, scanOptions_, sink);
    }
    if (lastScan_.result == ScanResult::NoDevice) source_.clear();  // choose again next time
    if (lastScan_.result != ScanResult::Done)
        tell(ScanResultMessage(lastScan_.result), lastScan_.result != ScanResult::Cancelled);
}

// --- Capture ------------------------------------------------------------------------------

void DeviceCommands::capture() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect g = screen->geometry();
    std::vector<CaptureWindow> windows = X11TopLevelWindows();
    for (CaptureWindow& w : windows) {
        w.x -= g.x();
        w.y -= g.y();
    }
    const std::vector<CaptureWindow> choices = CaptureChoices(windows, g.width(), g.height());
    std::optional<CaptureWindow> chosen;
    if (chooseWindow_) {
        chosen = chooseWindow_(choices);
    } else {
        DlgCapture dialog(choices, &shell_.frame());
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.chosen();
    }
    if (!chosen) return;
    const CaptureArea area = ClipToScreen(*chosen, g.width(), g.height());
    if (area.Empty()) return;  // wholly off the screen: nothing is made
    if (chosen->id) RaiseX11Window(chosen->id);
    Wait(captureDelayMs_);
    const QPixmap shot = screen->grabWindow(0, area.screenX, area.screenY, area.width, area.height);
    shell_.frame().raise();
    shell_.frame().activateWindow();
    RaViru picture(ImageKind::Bmp);
    if (shot.isNull() ||
        !FromQImage(picture, shot.toImage().convertToFormat(QImage::Format_BGR888)))
        return;
    if (CBrevDoc* doc = shell_.app().openAcquiredPicture(picture, AcquiredSource::Screen))
        shell_.openWindow(*doc);
}

// --- Printing -----------------------------------------------------------------------------

bool DeviceCommands::printPicture(const RaViru& picture) {
    const bool go = printDialog_ ? printDialog_(*printer_) : [&] {
        QPrintDialog dialog(printer_.get(), &shell_.frame());
        dialog.setWindowTitle(QStringLiteral("인쇄"));
        return dialog.exec() == QDialog::Accepted;
    }();
    if (!go) return false;
    std::string error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool printed = PrintPictureOn(*printer_, picture, &error);
    QApplication::restoreOverrideCursor();
    if (!printed) tell(kPrintFailed, true);
    return printed;
}

bool DeviceCommands::print(CBrevDoc& doc) {
    RaViru picture(ImageKind::Bmp);
    if (!PrintPicture(doc, picture)) return false;
    return printPicture(picture);
}

void DeviceCommands::printImage() {
    CBrevDoc* doc = shell_.activeDocument();
    if (!doc) return;
    RaViru picture(ImageKind::Bmp);
    if (!PrintPicture(*doc, picture)) return;
    CDlg_Print_Preview dialog(ToQImage(picture), doc->Image().dpiX, &shell_.frame());
    dialog.move(dialog.x(), shell_.frame().popupY());
    connect(&dialog, &CDlg_Print_Preview::printRequested, this, [this, doc, &picture](int dpi) {
        // The chosen resolution becomes the picture's own, as it is printed.
        doc->Image().SetHorizontalDpi(dpi);
        doc->Image().SetVerticalDpi(dpi);
        picture.SetHorizontalDpi(dpi);
        picture.SetVerticalDpi(dpi);
        printPicture(picture);
    });
    if (runPreview_)
        runPreview_(dialog);
    else
        dialog.exec();
}

void DeviceCommands::printerSetup() {
    QPageSetupDialog dialog(printer_.get(), &shell_.frame());
    dialog.setWindowTitle(QStringLiteral("프린터지정"));
    dialog.exec();
}

}  // namespace quillet
