#pragma once
// The text tool and the text dialog: a click with the tool opens the dialog for a new
// text at that point, a double click on a text layer's row in the layer window opens it for
// that layer. The last used settings are offered for the next new text; the face, size,
// effects and colour live in the settings file.
#include <QObject>
#include <functional>
#include <optional>
#include <utility>

#include "platform/qt/QtTextRasterizer.h"
#include "view/ToolOperation.h"
#include "view/tools/TextLayer.h"

namespace quillet {

class CBrevAppShell;
class CBrevDoc;
class CDlg_Text;
class CMainFrame;

class TextCommands : public QObject, public ToolOperation {
    Q_OBJECT
public:
    explicit TextCommands(CBrevAppShell& shell);

    void install(CMainFrame& frame);
    // The dialog for a new text at (x, y) of the current layer, rows from the top.
    void newText(CBrevDoc& doc, int x, int y);
    // The dialog for the text layer in `slot`.
    void editText(CBrevDoc& doc, int slot);

    // Replaces exec() of the dialog (tests, scripted use): true stands for OK.
    void setDialogRunner(std::function<bool(CDlg_Text&)> runner) { run_ = std::move(runner); }
    const TextSettings& lastSettings() const { return last_; }

    // ToolOperation: a click with the text tool.
    void down(ToolEvent& event) override;

private:
    std::optional<std::pair<TextSettings, std::u16string>> ask(const TextSettings& settings,
                                                               const QString& text);
    void remember(const TextSettings& settings);

    CBrevAppShell& shell_;
    QtTextRasterizer rasterizer_;
    TextSettings last_;
    std::function<bool(CDlg_Text&)> run_;
};

}  // namespace quillet
