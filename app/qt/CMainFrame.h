#pragma once
// The main window: the multiple-document area with the menus, accelerators, tool bars, the tool
// option bar, the colour swatches and the status bar around it. Every menu entry, key and
// button sends a command id through dispatchCommand(): the command gate runs first, then the
// handler that the owning subsystem registered. A command without a handler stays disabled.
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "app/ColourSwatches.h"
#include "app/CommandGate.h"
#include "app/FramePanels.h"

class QAction;
class QColor;
class QMdiArea;
class QMenu;
class QToolBar;
class QToolButton;

namespace quillet {

class AppCounters;
class ColourSwatchWidget;
class ToolOptionBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Floating panels the frame shows, hides and asks about; other subsystems supply them.
    enum class Panel {
        LayerHistory,    // toggled by LayerPanel
        Brush,           // toggled by BrushPanel
        OneClickCamera,  // toggled by OneClickCameraPanel
        FreeTransform,   // gate: only the free-transform modes while visible
        AnchorLine,      // gate: only polygon selection, zoom and the path tools while visible
        MovieMaker,      // toggled by MovieMaker, with the player
        MoviePlayer,
    };
    static constexpr int kPanelCount = 7;

    explicit CMainFrame(AppCounters& counters, QWidget* parent = nullptr);
    ~CMainFrame() override;

    QMdiArea* mdiArea() const { return mdiArea_; }
    // Window arrangement: the n-th cascade position (one title bar down and right per window,
    // starting over before the windows would be squeezed), where the next new document window
    // goes, and Cascade, which keeps each window at its picture's size within the room.
    QPoint cascadePosition(int index) const;
    QPoint nextWindowPosition() const;
    void cascadeWindows();
    // The caption with the active document's name after it ("Quillet 4.6 - 그림.jpg").
    void setCaption(const QString& caption);
    void setDocumentTitle(const QString& name);
    AppCounters& counters() const { return counters_; }

    // --- Commands -------------------------------------------------------------------------
    // Registering a handler enables the command everywhere it appears (menus, keys, buttons).
    // `enabledCheck`, when given, is asked each time the enabled states are refreshed.
    void setCommandHandler(CommandId id, std::function<void()> handler,
                           std::function<bool()> enabledCheck = {});
    void clearCommandHandler(CommandId id);
    bool hasCommandHandler(CommandId id) const;
    bool isCommandEnabled(CommandId id) const;
    // Runs the gate and then the handler. False when the command is disabled or refused.
    bool dispatchCommand(CommandId id);
    // Refreshes enabled and pressed states of every menu entry and button.
    void updateCommandStates();

    // The main-menu entry of a command (nullptr for commands without one), and every action
    // that sends it (menus, context menus, keys, buttons).
    QAction* menuAction(CommandId id) const;
    QList<QAction*> commandActions(CommandId id) const;

    // Gate state: panel flags are read from the panels before each command.
    const FrameCommandState& commandState() const { return state_; }
    ToolId currentTool() const { return state_.currentTool; }
    ToolId previousTool() const { return state_.previousTool; }
    void setCurrentTool(ToolId id) { state_.currentTool = id; }
    void setPreviousTool(ToolId id) { state_.previousTool = id; }
    // Asked by tool code that switches tools on its own (colour-range pick, path tools): runs
    // the gate for `id` and, when it passes, shows its button pressed.
    bool requestToolSwitch(CommandId id);
    // A handler that refuses after the gate passed puts the pressed button back with this.
    void setPressedButton(CommandId id);

    // --- Panels ---------------------------------------------------------------------------
    // The factory creates the panel on first use; its toggle command becomes enabled.
    void setPanelFactory(Panel panel, std::function<QWidget*()> factory);
    QWidget* panel(Panel panel) const;
    // Creates the panel when needed and shows or hides it (the free-transform and anchor-line
    // tools open their panels this way).
    QWidget* showPanel(Panel panel);
    void hidePanel(Panel panel);
    bool isPanelVisible(Panel panel) const;
    // Vertical screen position for pop-up panels and dialogs.
    int popupY() const;

    // --- Context menus (owned by `parent`, sending their commands through this frame) -----
    QMenu* createViewContextMenu(QWidget* parent);       // 2054
    QMenu* createLayerListContextMenu(QWidget* parent);  // 4004

    // --- Files ----------------------------------------------------------------------------
    // The document side opens a file and reports success; dropped files and the recent-file
    // list go through it. Without it they only emit filesDropped().
    void setOpenFileHandler(std::function<bool(const QString&)> open);
    void openFiles(const QStringList& paths);
    void addRecentFile(const QString& path);
    QStringList recentFiles() const;
    // Where the profile (recent files) is kept: an INI file, or "" for the desktop's usual place.
    void setProfileFile(const QString& path);

    // --- Colours --------------------------------------------------------------------------
    const ColourSwatches& swatches() const { return swatches_; }
    void setSwatches(const ColourSwatches& swatches);
    // Replaces the colour dialog (tests, scripted use): returns the chosen colour or nothing.
    using ColourChooser = std::function<std::optional<QColor>(const QColor&, const QString&)>;
    void setColourChooser(ColourChooser chooser);

    // Asked when the window is about to close (the title bar, Exit, CloseProgram); false keeps the
    // program running. Without one the window simply closes.
    void setCloseHandler(std::function<bool()> canClose) { canClose_ = std::move(canClose); }

    // True while close all runs: a closing document must not ask about saving.
    bool isClosingAllDocuments() const { return closingAll_; }

    ToolOptionBar* optionBar() const { return optionBar_; }
    QToolBar* mainBar() const { return mainBar_; }
    QToolBar* toolsBar() const { return toolsBar_; }

signals:
    void filesDropped(const QStringList& paths);
    void swatchesChanged();
    // Before the handler of a command that passed the gate: work in progress in a view (a run
    // of arrow-key nudges) is finished first, so that the command, undo above all, sees it.
    void commandAboutToRun(CommandId id);
    void commandDispatched(CommandId id);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Handler {
        std::function<void()> run;
        std::function<bool()> enabled;
    };

    // CMainFrame.cpp: menus, keys, context menus, recent files.
    void buildMenus();
    void fillMenu(QMenu* menu, std::span<const MenuEntry> entries);
    QAction* makeCommandAction(CommandId id, const QString& text, QObject* parent);
    void rebuildRecentFileMenu();
    void writeRecentFiles(const QStringList& list);
    // CMainFrameBars.cpp: tool bars, fly-outs, option bar, swatches, status bar.
    void buildToolBars();
    void fillToolBar(QToolBar* bar, std::span<const ToolButtonDef> buttons);
    void syncPressedButtons();
    // CMainFrameCommands.cpp: the commands the frame itself handles.
    void installFrameCommands();
    void closeAllDocuments();
    void showAboutDialog();
    void chooseColour(bool foreground);
    void togglePanel(Panel panel);
    void toggleMovieMaker();
    QWidget* ensurePanel(Panel panel);
    bool clipboardHoldsBitmap() const;

    AppCounters& counters_;
    QMdiArea* mdiArea_ = nullptr;
    QToolBar* mainBar_ = nullptr;
    QToolBar* toolsBar_ = nullptr;
    QToolBar* optionToolBar_ = nullptr;
    ToolOptionBar* optionBar_ = nullptr;
    ColourSwatchWidget* swatchWidget_ = nullptr;
    QMenu* recentMenuHost_ = nullptr;  // the file menu that holds the recent entries
    QAction* recentAnchor_ = nullptr;  // separator after which the entries are listed
    std::vector<QAction*> recentActions_;

    FrameCommandState state_;
    std::map<CommandId, Handler> handlers_;
    std::map<CommandId, QAction*> menuActions_;
    std::multimap<CommandId, QPointer<QAction>> actions_;  // every action per command id
    void pruneActions();
    std::map<CommandId, QToolButton*> flyoutButtons_;

    std::array<std::function<QWidget*()>, kPanelCount> panelFactories_{};
    std::array<QPointer<QWidget>, kPanelCount> panels_{};
    std::array<PanelPlacement, kPanelCount> placements_{};

    QString profileFile_;
    QString caption_;
    QString documentTitle_;
    std::function<bool(const QString&)> openFile_;
    std::function<bool()> canClose_;
    ColourSwatches swatches_;
    ColourChooser colourChooser_;
    bool closingAll_ = false;
};

}  // namespace quillet
