#pragma once
// The layer commands of the main frame and the layer window: add, delete, duplicate, copy, copy
// the picture, paste, merge up and down, flatten, rasterize, rename and a new picture from the
// current layer. The work is the document's layer operations; this adds the rename dialog and keeps
// the layer window on the active document.
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

#include "app/CommandId.h"
#include "platform/qt/QtClipboard.h"

namespace quillet {

class CBrevAppShell;
class CBrevDoc;
class CDlg_Layer;
class CMainFrame;

class LayerCommands : public QObject {
    Q_OBJECT
public:
    explicit LayerCommands(CBrevAppShell& shell);
    ~LayerCommands() override;

    // Registers the commands and the layer window with the frame.
    void install(CMainFrame& frame);
    // The layer window, once the frame has made it.
    CDlg_Layer* panel() const;
    // A document about to be freed: the layer window lets go of it.
    void documentClosing(CBrevDoc& doc);
    // Replaces the rename dialog (tests, scripted use): the chosen name, or nothing.
    void setNameChooser(std::function<std::optional<QString>(const QString&)> chooser) {
        chooseName_ = std::move(chooser);
    }
    // Opened by a double click on a text layer's row.
    void setTextEditor(std::function<void(CBrevDoc&, int)> editor);

private:
    void command(CMainFrame& frame, CommandId id, std::function<void(CBrevDoc&)> run);
    void rename(CBrevDoc& doc);
    void newPictureFromLayer(CBrevDoc& doc);
    void followActiveDocument();

    CBrevAppShell& shell_;
    QtClipboard clipboard_;
    QPointer<CDlg_Layer> panel_;
    std::function<std::optional<QString>(const QString&)> chooseName_;
    std::function<void(CBrevDoc&, int)> textEditor_;
};

}  // namespace quillet
