#include "app/qt/CMainFrame.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <memory>

#include "app/qt/ToolIcons.h"
#include "platform/qt/QtClipboard.h"

namespace quillet {
namespace {

QString utf8(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The registry profile of the original becomes the application's QSettings, or an INI file in
// the Quillet home when one is chosen.
std::unique_ptr<QSettings> openProfile(const QString& file) {
    if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>(QStringLiteral("Velloran Applications"),
                                       QStringLiteral("Quillet"));
}
const QString kRecentGroup = QStringLiteral("Recent File List");

}  // namespace

CMainFrame::CMainFrame(AppCounters& counters, QWidget* parent)
    : QMainWindow(parent), counters_(counters) {
    setCaption(QStringLiteral("Quillet 4.6"));
    setObjectName(QStringLiteral("CMainFrame"));
    setAcceptDrops(true);
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setBackground(QColor(0x80, 0x80, 0x80));
    setCentralWidget(mdiArea_);

    buildMenus();
    buildToolBars();
    installFrameCommands();
    // After a menu's prompts the status bar returns to its idle text instead of going blank.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty()) statusBar()->showMessage(QStringLiteral("준비"));
    });
    statusBar()->showMessage(QStringLiteral("준비"));
    // Long operations (resampling, turning large pictures) report here through the user port.
    auto* progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("progressBar"));
    progress->setRange(0, 100);
    progress->setMaximumWidth(220);
    progress->hide();
    statusBar()->addPermanentWidget(progress);

    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this] { updateCommandStates(); });
    if (QClipboard* clip = QGuiApplication::clipboard())
        connect(clip, &QClipboard::dataChanged, this, [this] { updateCommandStates(); });
    // Document state (undo steps, selections) changes without telling the frame; refresh the
    // enabled states now and then, as an idle-time update would.
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, [this] {
        if (isActiveWindow()) updateCommandStates();
    });
    idle->start(500);

    updateCommandStates();
    resize(1280, 860);
}

CMainFrame::~CMainFrame() {
    // Closing the window while it is torn down activates the remaining document windows one
    // by one; the command states must not be refreshed from a half-destroyed frame.
    disconnect(mdiArea_, nullptr, this, nullptr);
    // The status bar clears its message as it goes; the idle text must not come back then.
    disconnect(statusBar(), nullptr, this, nullptr);
}

// --- Menus and keys -------------------------------------------------------------------------

QAction* CMainFrame::makeCommandAction(CommandId id, const QString& text, QObject* parent) {
    auto* action = new QAction(text, parent);
    action->setData(int(id));
    const QIcon icon = toolIcon(id);
    if (!icon.isNull()) action->setIcon(icon);
    const std::string_view prompt = commandPrompt(id);
    if (!prompt.empty()) action->setStatusTip(utf8(prompt));
    connect(action, &QAction::triggered, this, [this, id] {
        dispatchCommand(id);
        syncPressedButtons();  // a refused checkable button must not stay toggled
    });
    actions_.emplace(id, action);
    return action;
}

void CMainFrame::fillMenu(QMenu* menu, std::span<const MenuEntry> entries) {
    for (size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& e = entries[i];
        if (e.kind == MenuEntry::Separator) {
            menu->addSeparator();
        } else if (e.kind == MenuEntry::SubMenu) {
            QMenu* sub = menu->addMenu(utf8(e.caption));
            const size_t count = std::min(size_t(e.count), entries.size() - i - 1);
            fillMenu(sub, entries.subspan(i + 1, count));
            i += count;
        } else {
            const CommandInfo* info = findCommand(e.id);
            const QString caption = !e.caption.empty() ? utf8(e.caption)
                                    : info             ? utf8(info->caption)
                                                       : QString::number(int(e.id));
            QAction* action = makeCommandAction(e.id, caption, menu);
            menu->addAction(action);
        }
    }
}

void CMainFrame::buildMenus() {
    for (const MenuDef& def : mainMenu()) {
        QMenu* menu = menuBar()->addMenu(utf8(def.caption));
        fillMenu(menu, def.entries);
        connect(menu, &QMenu::aboutToShow, this, [this] { updateCommandStates(); });
    }
    // Name the main-menu entries and give them their keys.
    for (auto& [id, action] : actions_) {
        action->setObjectName(QStringLiteral("command%1").arg(int(id)));
        menuActions_[id] = action.data();
        if (id == CommandId::RecentFile) {
            recentMenuHost_ = qobject_cast<QMenu*>(action->parent());
            recentAnchor_ = action;
        }
    }
    // Keys: on the menu entry when there is one, otherwise on a hidden window-wide action.
    for (const CommandInfo& info : commandTable()) {
        QList<QKeySequence> keys;
        for (std::string_view k : info.keys)
            if (!k.empty()) keys << QKeySequence::fromString(utf8(k), QKeySequence::PortableText);
        if (keys.isEmpty()) continue;
        QAction* action = menuAction(info.id);
        if (!action) {
            action = makeCommandAction(info.id, utf8(toolCaption(info.id)), this);
            action->setObjectName(QStringLiteral("key%1").arg(int(info.id)));
            addAction(action);
        }
        action->setShortcuts(keys);
    }
    rebuildRecentFileMenu();
}

// Context menus come and go with their owners; forget their actions once they are gone.
void CMainFrame::pruneActions() {
    std::erase_if(actions_, [](const auto& entry) { return entry.second.isNull(); });
}

QAction* CMainFrame::menuAction(CommandId id) const {
    auto it = menuActions_.find(id);
    return it == menuActions_.end() ? nullptr : it->second;
}

QList<QAction*> CMainFrame::commandActions(CommandId id) const {
    QList<QAction*> list;
    for (auto [it, end] = actions_.equal_range(id); it != end; ++it)
        if (it->second) list << it->second.data();
    return list;
}

QMenu* CMainFrame::createViewContextMenu(QWidget* parent) {
    pruneActions();
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("menu2054"));
    fillMenu(menu, viewContextMenu());
    updateCommandStates();
    connect(menu, &QMenu::aboutToShow, this, [this] { updateCommandStates(); });
    return menu;
}

QMenu* CMainFrame::createLayerListContextMenu(QWidget* parent) {
    pruneActions();
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("menu4004"));
    fillMenu(menu, layerListContextMenu());
    updateCommandStates();
    connect(menu, &QMenu::aboutToShow, this, [this] { updateCommandStates(); });
    return menu;
}

// --- Command routing ------------------------------------------------------------------------

void CMainFrame::setCommandHandler(CommandId id, std::function<void()> handler,
                                   std::function<bool()> enabledCheck) {
    if (!handler) {
        clearCommandHandler(id);
        return;
    }
    handlers_[id] = Handler{std::move(handler), std::move(enabledCheck)};
    updateCommandStates();
}

void CMainFrame::clearCommandHandler(CommandId id) {
    handlers_.erase(id);
    updateCommandStates();
}

bool CMainFrame::hasCommandHandler(CommandId id) const { return handlers_.count(id) != 0; }

bool CMainFrame::isCommandEnabled(CommandId id) const {
    auto it = handlers_.find(id);
    if (it == handlers_.end()) return false;
    if (id == CommandId::Paste && !clipboardHoldsBitmap()) return false;
    return !it->second.enabled || it->second.enabled();
}

bool CMainFrame::requestToolSwitch(CommandId id) {
    state_.freeTransformPanelVisible = isPanelVisible(Panel::FreeTransform);
    state_.anchorLinePanelVisible = isPanelVisible(Panel::AnchorLine);
    if (!passGate(state_, id)) return false;
    syncPressedButtons();
    return true;
}

bool CMainFrame::dispatchCommand(CommandId id) {
    if (!isCommandEnabled(id)) return false;
    if (!requestToolSwitch(id)) return false;
    // A copy: the handler may replace or remove its own registration.
    const std::function<void()> run = handlers_[id].run;
    emit commandAboutToRun(id);
    run();
    emit commandDispatched(id);
    updateCommandStates();
    return true;
}

void CMainFrame::setPressedButton(CommandId id) {
    state_.pressedButton = id;
    syncPressedButtons();
}

void CMainFrame::updateCommandStates() {
    for (auto& [id, action] : actions_)
        if (action) action->setEnabled(isCommandEnabled(id));
    // The recent-file placeholder never opens anything itself.
    if (recentAnchor_) recentAnchor_->setEnabled(false);
    for (QAction* a : recentActions_) a->setEnabled(bool(openFile_));
}

bool CMainFrame::clipboardHoldsBitmap() const { return QtClipboard().hasBitmap(); }

// --- Files ----------------------------------------------------------------------------------

void CMainFrame::setOpenFileHandler(std::function<bool(const QString&)> open) {
    openFile_ = std::move(open);
    updateCommandStates();
}

void CMainFrame::openFiles(const QStringList& paths) {
    emit filesDropped(paths);
    if (!openFile_) return;
    for (const QString& path : paths)
        if (openFile_(path)) addRecentFile(path);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    openFiles(paths);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (canClose_ && !canClose_()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::setProfileFile(const QString& path) {
    profileFile_ = path;
    rebuildRecentFileMenu();
}

QStringList CMainFrame::recentFiles() const {
    const auto settings = openProfile(profileFile_);
    settings->beginGroup(kRecentGroup);
    QStringList list;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString path = settings->value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty()) list << path;
    }
    return list;
}

void CMainFrame::writeRecentFiles(const QStringList& list) {
    const auto settings = openProfile(profileFile_);
    settings->remove(kRecentGroup);
    settings->beginGroup(kRecentGroup);
    for (int i = 0; i < list.size() && i < kRecentFileCount; ++i)
        settings->setValue(QStringLiteral("File%1").arg(i + 1), list[i]);
    settings->endGroup();
    settings->sync();
    rebuildRecentFileMenu();
}

void CMainFrame::addRecentFile(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    QStringList list = recentFiles();
    list.removeAll(full);
    list.prepend(full);
    writeRecentFiles(list);
}

void CMainFrame::rebuildRecentFileMenu() {
    if (!recentMenuHost_ || !recentAnchor_) return;
    // Deferred deletion: this may run from one of these entries' own triggered signal.
    for (QAction* a : recentActions_) {
        recentMenuHost_->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    const QStringList list = recentFiles();
    // With entries the placeholder gives way to them, as the framework's list does.
    recentAnchor_->setVisible(list.isEmpty());
    const QList<QAction*> all = recentMenuHost_->actions();
    const qsizetype at = all.indexOf(recentAnchor_);
    QAction* before = at + 1 < all.size() ? all[at + 1] : nullptr;
    for (int i = 0; i < list.size(); ++i) {
        const QString path = list[i];
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), recentMenuHost_);
        action->setObjectName(QStringLiteral("command%1").arg(int(RecentFileCommand(i))));
        action->setData(int(RecentFileCommand(i)));
        action->setEnabled(bool(openFile_));
        connect(action, &QAction::triggered, this, [this, path] {
            state_.freeTransformPanelVisible = isPanelVisible(Panel::FreeTransform);
            state_.anchorLinePanelVisible = isPanelVisible(Panel::AnchorLine);
            if (!openFile_ || !gateAllows(state_, CommandId::RecentFile)) return;
            if (openFile_(path)) {
                addRecentFile(path);
                return;
            }
            // A file that no longer opens leaves the list.
            QStringList rest = recentFiles();
            rest.removeAll(path);
            writeRecentFiles(rest);
        });
        recentMenuHost_->insertAction(before, action);
        recentActions_.push_back(action);
    }
}

}  // namespace quillet
