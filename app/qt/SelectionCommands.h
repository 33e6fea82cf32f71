#pragma once
// The selection commands of the main frame: the selection tools, the colour range with its
// panel, invert, deselect, cut and cut out into a new picture. The work is the selection
// operations of the core; this chooses the tools, keeps the option bar's sliders in the tool
// state and shows the colour-range panel.
#include <QObject>
#include <QPointer>

#include "app/CommandId.h"
#include "platform/qt/QtClipboard.h"
#include "view/tools/SelectionTools.h"

namespace quillet {

class CBrevAppShell;
class CBrevDoc;
class CDlg_ColourRange;
class CMainFrame;

class SelectionCommands : public QObject {
    Q_OBJECT
public:
    explicit SelectionCommands(CBrevAppShell& shell);
    ~SelectionCommands() override;

    void install(CMainFrame& frame);
    // The colour-range panel once it has been shown.
    CDlg_ColourRange* colourRangePanel() const;
    SelectionTools& tools() { return tools_; }

private:
    void command(CMainFrame& frame, CommandId id, std::function<void(CBrevDoc&)> run);
    void chooseSelectionTool(CMainFrame& frame, CBrevDoc& doc, ToolId id);
    void startColourRange(CMainFrame& frame, CBrevDoc& doc);
    void cutOutToNewPicture(CBrevDoc& doc);
    void optionValueChanged(int which, int value);

    CBrevAppShell& shell_;
    QtClipboard clipboard_;
    SelectionTools tools_;
    QPointer<CDlg_ColourRange> colourRange_;
};

}  // namespace quillet
