#pragma once
// The device commands of the main frame: choosing a scanner (SelectSource), scanning into new
// documents (Acquire), screen capture (ScreenCapture), the print preview (PrintImage), printing
// (Print, Ctrl+P) and the printer set-up (PrintSetup). The work is the core's (SaneSession,
// CaptureChoices, PrintPicture); this class adds the dialogs, the progress bar and the printer.
#include <QObject>
#include <QPrinter>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "services/CaptureWindows.h"
#include "services/SaneScanner.h"

class QImage;

namespace quillet {

class CBrevAppShell;
class CBrevDoc;
class CDlg_Print_Preview;
class CMainFrame;
class RaViru;

class DeviceCommands : public QObject {
    Q_OBJECT
public:
    // Time for the capture dialog to leave the screen and the chosen window to come up.
    static constexpr int kDefaultCaptureDelayMs = 250;

    explicit DeviceCommands(CBrevAppShell& shell);
    ~DeviceCommands() override;

    // Registers the six commands with the frame (enabling them).
    void install(CMainFrame& frame);

    bool selectSource();
    void acquire();
    void capture();
    void printImage();
    bool print(CBrevDoc& doc);
    void printerSetup();

    QPrinter& printer() { return *printer_; }
    const std::string& source() const { return source_; }
    void setSource(std::string name) { source_ = std::move(name); }
    // Device options set before every scan ("mode" "Color", "resolution" "300", ...).
    std::vector<ScanOption>& scanOptions() { return scanOptions_; }
    void setCaptureDelay(int milliseconds) { captureDelayMs_ = milliseconds; }

    // Replace the dialogs (tests, scripted use). Each returns nothing when cancelled.
    using SourceChooser = std::function<std::optional<std::string>(const std::vector<ScanDevice>&)>;
    using CaptureChooser =
        std::function<std::optional<CaptureWindow>(const std::vector<CaptureWindow>&)>;
    void setSourceChooser(SourceChooser f) { chooseSource_ = std::move(f); }
    void setCaptureChooser(CaptureChooser f) { chooseWindow_ = std::move(f); }
    // Runs the print dialog on the printer; true prints.
    void setPrintDialog(std::function<bool(QPrinter&)> f) { printDialog_ = std::move(f); }
    // Runs the preview dialog instead of exec() (the dialog is set up and connected).
    void setPreviewRunner(std::function<void(CDlg_Print_Preview&)> f) {
        runPreview_ = std::move(f);
    }
    // Sees every progress step of a scan; false cancels it, like the progress bar's button.
    void setScanProgressObserver(std::function<bool(int)> f) { scanProgress_ = std::move(f); }

    const ScanOutcome& lastScan() const { return lastScan_; }

private:
    bool printPicture(const RaViru& picture);
    void tell(const std::string& text, bool warning);

    CBrevAppShell& shell_;
    std::unique_ptr<QPrinter> printer_;
    std::string source_;
    std::vector<ScanOption> scanOptions_;
    int captureDelayMs_ = kDefaultCaptureDelayMs;
    ScanOutcome lastScan_;
    SourceChooser chooseSource_;
    CaptureChooser chooseWindow_;
    std::function<bool(QPrinter&)> printDialog_;
    std::function<void(CDlg_Print_Preview&)> runPreview_;
    std::function<bool(int)> scanProgress_;
};

}  // namespace quillet
