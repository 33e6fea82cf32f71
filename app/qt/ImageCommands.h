#pragma once
// The commands of the image menu: the colour adjustments and their dialogs, the filters with
// the filter dialog and the filter list of the tool bar, red-eye removal, the channel split and
// the alpha commands. The work is the document's (ColourCommands, FilterCommands); this class
// adds the dialogs and runs filters on the worker thread.
#include <QObject>
#include <QPointer>
#include <memory>

#include "app/CommandId.h"
#include "image/effects/FilterTable.h"

class QComboBox;

namespace quillet {

class CBrevAppShell;
class CBrevDoc;
class CMainFrame;
class Dlg_RedEyes;
class FilterRunner;

class ImageCommands : public QObject {
    Q_OBJECT
public:
    explicit ImageCommands(CBrevAppShell& shell);
    ~ImageCommands() override;

    // Registers the commands with the frame and puts the filter list on its main tool bar.
    void install(CMainFrame& frame);

    FilterRunner& runner() { return *runner_; }
    QComboBox* filterList() const;
    // The filter dialog for `id` on the active document, with the list showing it.
    void openFilter(FilterId id);

private:
    void openDialog(CBrevDoc& doc, CommandId command);
    void openRedEye();

    CBrevAppShell& shell_;
    CMainFrame* frame_ = nullptr;
    std::unique_ptr<FilterRunner> runner_;
    QPointer<QComboBox> filterList_;
    QPointer<Dlg_RedEyes> redEye_;
};

}  // namespace quillet
