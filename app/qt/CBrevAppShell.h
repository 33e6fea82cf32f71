#pragma once
// The Qt half of the application object: the main frame, the document windows in its MDI area,
// the message boxes and the clipboard, and the handlers of the commands built so far.
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>

#include "app/CBrevApp.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtUserPort.h"
#include "view/ToolOperation.h"
#include "view/ToolState.h"

class QMdiSubWindow;

namespace quillet {

class CBrevDoc;
class CBrevView;
class CChildFrame;
class CMainFrame;
class ThumbnailLoader;
class DeviceCommands;
class FillPathCommands;
class ImageCommands;
class LayerCommands;
class PaintCommands;
class TextCommands;
class TransformCommands;
class SelectionCommands;
class DecorCommands;

class CBrevAppShell : public QObject {
    Q_OBJECT
public:
    // `user` replaces the message boxes (tests); by default they are shown.
    explicit CBrevAppShell(UserPort* user = nullptr);
    ~CBrevAppShell() override;

    // Start-up after the update check and the profile: home, settings, journal clean-up, then
    // the main frame (created here, not yet shown). False when the settings could not be read
    // and the program must close.
    bool start(const std::string& home);

    CBrevApp& app() { return *app_; }
    CMainFrame& frame() { return *frame_; }
    UserPort& user() { return *user_; }
    ToolState& tools() { return tools_; }
    // The tools' mouse handlers, by tool id.
    ToolRegistry& toolRegistry() { return registry_; }
    // Scanning, capture and printing (1474, 1475, 1424, 57606, 57607, 57609).
    DeviceCommands& devices() { return *devices_; }
    // The image menu: adjustments, filters, red-eye, channels, alpha commands.
    ImageCommands& imageCommands() { return *image_; }
    // The layer commands and the layer window.
    LayerCommands& layers() { return *layers_; }
    // The text tool and the text dialog.
    TextCommands& text() { return *text_; }
    // Free transform and free rotate.
    TransformCommands& transforms() { return *transforms_; }
    // The selection tools and commands, with the colour-range panel.
    SelectionCommands& selection() { return *selection_; }
    // The painting tools and their panels.
    PaintCommands& paint() { return *paint_; }
    // Fill, gradient and the path panel.
    FillPathCommands& fillPath() { return *fillPath_; }

    // Opens a file in a new document window; false (the user was told) when it cannot be read.
    bool openFile(const QString& path);
    // Starts decoding a file that openFile will be asked for soon (see CBrevApp::decodeAhead).
    void decodeAhead(const QString& path);
    CChildFrame* openWindow(CBrevDoc& doc);
    CBrevDoc* activeDocument() const;
    CBrevView* activeView() const;
    QList<CChildFrame*> windowsOf(const CBrevDoc& doc) const;

    // Saves the document to `path` (the extension picks the format); false with the user told.
    bool saveDocumentAs(CBrevDoc& doc, const QString& path);
    // Replaces the file dialogs (tests, scripted use): given the proposed name, returns the
    // chosen one or an empty string.
    void setSaveNameChooser(std::function<QString(const QString&)> chooser) {
        chooseSaveName_ = std::move(chooser);
    }
    void setOpenNameChooser(std::function<QString()> chooser) {
        chooseOpenName_ = std::move(chooser);
    }

    // The close sequence: settings first, one question per modified document. False when the
    // program keeps running.
    bool closeSequence();

    // The file filter of the open dialog: every extension the program reads.
    static QString openFilter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void registerCommands();
    // A command on the active document; `enabled`, when given, further decides whether it is on.
    void registerDocumentCommand(CommandId id, std::function<void(CBrevDoc&)> run,
                                 std::function<bool(const CBrevDoc&)> enabled = {});
    void commandOpen();
    // The two open paths of the browser setting, and what both do with the chosen files
    // (CBrevAppShellOpen.cpp).
    void openWithBrowser();
    void openWithSystemDialog();
    void openChosenFiles(const QStringList& paths);
    bool commandSave(CBrevDoc& doc);
    bool commandSaveAs(CBrevDoc& doc);
    void commandCloseDocument(CBrevDoc& doc);
    void commandNew();
    void commandEnvironment();
    void undoRedo(CBrevDoc& doc, bool undo);
    // Flips, turns, image size, canvas size (CBrevAppShellGeometry.cpp).
    void registerGeometryCommands();
    void commandImageSize(CBrevDoc& doc);
    void commandCanvasSize(CBrevDoc& doc);
    void applySettingsToViews();
    // Asks about saving a modified document; false when the user cancelled or the save failed.
    bool askToSave(CBrevDoc& doc);
    void closeWindowsQuietly(CBrevDoc& doc);
    void windowGone(CBrevDoc* doc);
    void finishNudges();
    bool nudgeRunOpen(const CBrevDoc& doc) const;
    void updateDocumentTitle();

    std::unique_ptr<QtUserPort> boxes_;
    UserPort* user_ = nullptr;
    QtClipboard clipboard_;
    std::unique_ptr<CBrevApp> app_;
    ToolState tools_;
    ToolRegistry registry_;
    std::unique_ptr<CMainFrame> frame_;
    std::map<const CBrevDoc*, int> windowCounts_;
    bool quietClose_ = false;
    std::function<QString(const QString&)> chooseSaveName_;
    std::function<QString()> chooseOpenName_;
    QString startDirectory_;                       // the current folder when the program started
    std::unique_ptr<ThumbnailLoader> thumbnails_;  // the browser's, kept while the program runs
    std::unique_ptr<DeviceCommands> devices_;
    std::unique_ptr<ImageCommands> image_;
    std::unique_ptr<LayerCommands> layers_;
    std::unique_ptr<TextCommands> text_;
    std::unique_ptr<TransformCommands> transforms_;
    std::unique_ptr<SelectionCommands> selection_;
    std::unique_ptr<PaintCommands> paint_;
    std::unique_ptr<FillPathCommands> fillPath_;
    std::unique_ptr<DecorCommands> decor_;
};

}  // namespace quillet
