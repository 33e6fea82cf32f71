#include "app/qt/CBrevAppShell.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <cstdio>

#include "app/CloseSequence.h"
#include "app/FileMessages.h"
#include "app/QuilletHome.h"
#include "app/ThumbnailLoader.h"
#include "app/qt/AppIcon.h"
#include "app/qt/CDlg_KGFile.h"
#include "app/qt/CDlg_SetEnvironment.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/DecorCommands.h"
#include "app/qt/FillPathCommands.h"
#include "app/qt/ImageCommands.h"
#include "app/qt/LayerCommands.h"
#include "app/qt/MoviePanels.h"
#include "app/qt/PaintCommands.h"
#include "app/qt/QtTranslations.h"
#include "app/qt/SelectionCommands.h"
#include "app/qt/TextCommands.h"
#include "app/qt/TransformCommands.h"
#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/qt/CDlg_NewImage.h"
#include "services/qt/DeviceCommands.h"
#include "view/ToolChoice.h"
#include "view/ToolTable.h"
#include "view/ViewSettings.h"
#include "view/ViewZoom.h"
#include "view/qt/CBrevView.h"
#include "view/qt/CChildFrame.h"

namespace quillet {

namespace {

QString toQString(std::u16string_view s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

std::string toPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

CBrevAppShell::CBrevAppShell(UserPort* user) {
    if (!user) {
        boxes_ = std::make_unique<QtUserPort>();
        user = boxes_.get();
    }
    user_ = user;
    app_ = std::make_unique<CBrevApp>(*user_);
}

CBrevAppShell::~CBrevAppShell() {
    // The windows go first: each one that closes gives its document back to the application.
    quietClose_ = true;
    if (frame_)
        for (QMdiSubWindow* w : frame_->mdiArea()->subWindowList()) delete w;
    frame_.reset();
}

bool CBrevAppShell::start(const std::string& home) {
    startDirectory_ = QDir::currentPath();
    if (!app_->start(home, startDirectory_.toStdU16String())) return false;
    if (!installQtKoreanTranslations())
        std::fprintf(stderr, "quillet: Qt's Korean translations are not installed\n");
    // Every window of the program, the document windows included, shows Quillet's icon.
    QApplication::setWindowIcon(appIcon());
    frame_ = std::make_unique<CMainFrame>(app_->counters());
    frame_->setProfileFile(
        QFile::decodeName(quilletProfileFile(currentHomeEnvironment(), home).c_str()));
    if (boxes_) boxes_->setParent(frame_.get());
    frame_->setCloseHandler([this] { return closeSequence(); });
    frame_->setOpenFileHandler([this](const QString& path) { return openFile(path); });
    frame_->setSwatches(swatchesFromSettings(app_->settings()));
    connect(frame_.get(), &CMainFrame::commandAboutToRun, this, &CBrevAppShell::finishNudges);
    connect(frame_->mdiArea(), &QMdiArea::subWindowActivated, this,
            &CBrevAppShell::updateDocumentTitle);
    connect(frame_.get(), &CMainFrame::swatchesChanged, this,
            [this] { storeSwatches(frame_->swatches(), app_->settings()); });
    registerCommands();
    installMoviePanels(*frame_, *app_, [this] { return activeDocument(); });
    frame_->updateCommandStates();
    return true;
}

QString CBrevAppShell::openFilter() {
    return QStringLiteral(
        "그림 파일 (*.jpg *.jpeg *.bmp *.dib *.gif *.tif *.tiff *.pcx *.psd *.vlr);;"
        "모든 파일 (*)");
}

// --- Windows ------------------------------------------------------------------------------

void CBrevAppShell::decodeAhead(const QString& path) {
    app_->decodeAhead(toPath(QFileInfo(path).absoluteFilePath()));
}

bool CBrevAppShell::openFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (CBrevDoc* open = app_->findByPath(toPath(absolute))) {
        if (const auto windows = windowsOf(*open); !windows.isEmpty())
            frame_->mdiArea()->setActiveSubWindow(windows.front());
        return true;
    }
    CBrevDoc* doc = app_->openDocument(toPath(absolute));
    if (!doc) return false;
    openWindow(*doc);
    return true;
}

CChildFrame* CBrevAppShell::openWindow(CBrevDoc& doc) {
    auto* window = new CChildFrame(doc, ViewContext{tools_, &clipboard_, &registry_});
    window->setAttribute(Qt::WA_DeleteOnClose);
    const QPoint at = frame_->nextWindowPosition();
    frame_->mdiArea()->addSubWindow(window);
    // At the next cascade place rather than wherever the area finds room; the window then
    // takes its picture's size up to the area's edges.
    window->move(at);
    window->installEventFilter(this);
    ++windowCounts_[&doc];
    // Not QObject::destroyed: that comes while the view still watches the document.
    connect(window, &CChildFrame::viewReleased, this, &CBrevAppShell::windowGone);
    CBrevView* view = window->view();
    const FrameSettings& s = app_->settings();
    view->setSettings(ViewSettings{s.gridSpacing, s.gridColour, s.transparencyPattern,
                                   s.pathSegmentColour, s.pathPointColour});
    connect(view, &CBrevView::nudgeRunChanged, frame_.get(), &CMainFrame::updateCommandStates);
    view->setContextMenuFactory(
        [this](QWidget* owner) { return frame_->createViewContextMenu(owner); });
    window->show();
    frame_->mdiArea()->setActiveSubWindow(window);
    view->setFocus();
    frame_->updateCommandStates();
    return window;
}

CBrevDoc* CBrevAppShell::activeDocument() const {
    CBrevView* view = activeView();
    return view ? &view->document() : nullptr;
}

CBrevView* CBrevAppShell::activeView() const {
    if (!frame_) return nullptr;
    auto* window = qobject_cast<CChildFrame*>(frame_->mdiArea()->currentSubWindow());
    return window ? window->view() : nullptr;
}

QList<CChildFrame*> CBrevAppShell::windowsOf(const CBrevDoc& doc) const {
    QList<CChildFrame*> out;
    if (!frame_) return out;
    for (QMdiSubWindow* w : frame_->mdiArea()->subWindowList())
        // A window being destroyed has let go of its view already.
        if (auto* child = qobject_cast<CChildFrame*>(w);
            child && child->view() && &child->document() == &doc)
            out << child;
    return out;
}

bool CBrevAppShell::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Close) return QObject::eventFilter(watched, event);
    auto* window = qobject_cast<CChildFrame*>(watched);
    if (!window || quietClose_ || frame_->isClosingAllDocuments()) return false;
    window->view()->finishNudges();
    CBrevDoc& doc = window->view()->document();
    // Only the last window of a document asks; the others simply go.
    if (windowCounts_[&doc] > 1 || askToSave(doc)) return false;
    event->ignore();
    return true;
}

void CBrevAppShell::windowGone(CBrevDoc* doc) {
    auto it = windowCounts_.find(doc);
    if (it == windowCounts_.end() || --it->second > 0) return;
    windowCounts_.erase(it);
    if (layers_) layers_->documentClosing(*doc);
    if (transforms_) transforms_->documentClosing(*doc);
    app_->closeDocument(*doc);
    if (frame_) frame_->updateCommandStates();
    updateDocumentTitle();
}

void CBrevAppShell::updateDocumentTitle() {
    if (!frame_) return;
    const CBrevDoc* doc = activeDocument();
    frame_->setDocumentTitle(doc ? QFileInfo(toQString(doc->FileName())).fileName() : QString());
}

bool CBrevAppShell::nudgeRunOpen(const CBrevDoc& doc) const {
    for (CChildFrame* w : windowsOf(doc))
        if (w->view()->state().NudgeRunOpen()) return true;
    return false;
}

void CBrevAppShell::finishNudges() {
    if (!frame_) return;
    for (QMdiSubWindow* w : frame_->mdiArea()->subWindowList())
        if (auto* child = qobject_cast<CChildFrame*>(w); child && child->view())
            child->view()->finishNudges();
}

void CBrevAppShell::closeWindowsQuietly(CBrevDoc& doc) {
    const bool was = quietClose_;
    quietClose_ = true;
    for (CChildFrame* w : windowsOf(doc)) {
        w->close();
        delete w;  // at once: the close sequence goes on with the next document
    }
    quietClose_ = was;
}

// --- Close sequence -----------------------------------------------------------------------

bool CBrevAppShell::askToSave(CBrevDoc& doc) {
    if (!doc.Modified()) return true;
    switch (user_->ask(saveQuestion(utf16ToUtf8(doc.FileName())), Buttons::YesNoCancel)) {
        case Answer::Yes:
            return commandSave(doc);
        case Answer::No:
            return true;
        default:
            return false;
    }
}

bool CBrevAppShell::closeSequence() {
    finishNudges();
    class Closer : public ClosableDocument {
    public:
        Closer(CBrevAppShell& shell, CBrevDoc& doc) : shell_(shell), doc_(doc) {}
        bool isModified() const override { return doc_.Modified(); }
        std::string fileName() const override { return utf16ToUtf8(doc_.FileName()); }
        bool save() override { return shell_.commandSave(doc_); }
        void close() override { shell_.closeWindowsQuietly(doc_); }

    private:
        CBrevAppShell& shell_;
        CBrevDoc& doc_;
    };
    class Host : public CloseSequenceHost {
    public:
        explicit Host(CBrevApp& app) : app_(app) {}
        void saveSettings() override { app_.saveSettings(); }

    private:
        CBrevApp& app_;
    };
    std::vector<std::unique_ptr<Closer>> closers;
    std::vector<ClosableDocument*> documents;
    for (CBrevDoc* doc : app_->documents()) {
        closers.push_back(std::make_unique<Closer>(*this, *doc));
        documents.push_back(closers.back().get());
    }
    Host host(*app_);
    return runCloseSequence(documents, host, *user_);
}

// --- Commands -----------------------------------------------------------------------------

// A document busy with a filter on a worker thread takes no command until the run ends: the
// worker is reading its planes.
void CBrevAppShell::registerDocumentCommand(CommandId id, std::function<void(CBrevDoc&)> run,
                                            std::function<bool(const CBrevDoc&)> enabled) {
    frame_->setCommandHandler(
        id,
        [this, run = std::move(run)] {
            if (CBrevDoc* doc = activeDocument(); doc && !doc->Busy()) run(*doc);
        },
        [this, enabled = std::move(enabled)] {
            const CBrevDoc* doc = activeDocument();
            return doc && !doc->Busy() && (!enabled || enabled(*doc));
        });
}

void CBrevAppShell::registerCommands() {
    using enum CommandId;
    CMainFrame& f = *frame_;
    f.setCommandHandler(New, [this] { commandNew(); });
    f.setCommandHandler(Open, [this] { commandOpen(); });
    f.setCommandHandler(Environment, [this] { commandEnvironment(); });
    for (CommandId id : {BitmapResource, JpegResource, GifResource, TiffResource})
        f.setCommandHandler(id, [this, id] {
            if (CBrevDoc* doc = app_->openResourcePicture(id)) openWindow(*doc);
        });
    devices_ = std::make_unique<DeviceCommands>(*this);
    devices_->install(f);
    image_ = std::make_unique<ImageCommands>(*this);
    image_->install(f);
    layers_ = std::make_unique<LayerCommands>(*this);
    layers_->install(f);
    fillPath_ = std::make_unique<FillPathCommands>(*this);
    fillPath_->install(f);
    text_ = std::make_unique<TextCommands>(*this);
    text_->install(f);
    selection_ = std::make_unique<SelectionCommands>(*this);
    selection_->install(f);
    paint_ = std::make_unique<PaintCommands>(*this);
    paint_->install(f);
    decor_ = std::make_unique<DecorCommands>(*this);
    decor_->install(f);
    layers_->setTextEditor([this](CBrevDoc& d, int slot) { text_->editText(d, slot); });
    transforms_ = std::make_unique<TransformCommands>(*this);
    transforms_->install(f);
    registerDocumentCommand(Save, [this](CBrevDoc& d) { commandSave(d); });
    registerDocumentCommand(SaveAs, [this](CBrevDoc& d) { commandSaveAs(d); });
    registerDocumentCommand(Close, [this](CBrevDoc& d) { commandCloseDocument(d); });
    registerDocumentCommand(
        Undo, [this](CBrevDoc& d) { undoRedo(d, true); },
        [this](const CBrevDoc& d) { return d.Journal().CanUndo() || nudgeRunOpen(d); });
    registerDocumentCommand(
        Redo, [this](CBrevDoc& d) { undoRedo(d, false); },
        [](const CBrevDoc& d) { return d.Journal().CanRedo(); });
    registerDocumentCommand(NewWindow, [this](CBrevDoc& d) { openWindow(d); });
    // Zoom in and out are tools (a click zooms at its point); 1:1 acts at once.
    for (ToolId tool : {ToolId::ZoomIn, ToolId::ZoomOut})
        registerDocumentCommand(CommandOf(tool), [this, tool](CBrevDoc& d) {
            ZoomCommand(tools_, d, tool);
            frame_->setCurrentTool(tools_.currentTool);
            frame_->setPreviousTool(tools_.previousTool);
        });
    registerDocumentCommand(ZoomOneToOne, [](CBrevDoc& d) { ::quillet::ZoomOneToOne(d); });
    registerDocumentCommand(StretchView, [this](CBrevDoc&) {
        if (CBrevView* v = activeView()) v->toggleStretchView();
    });
    registerDocumentCommand(Grid, [this](CBrevDoc&) {
        // One grid for every window, remembered in the settings (negative while hidden).
        FrameSettings& s = app_->settings();
        s.gridSpacing = -s.gridSpacing;
        applySettingsToViews();
    });
    registerDocumentCommand(Move, [this](CBrevDoc& d) {
        if (ChooseTool(tools_, ToolId::Move, &d) == ToolChoice::Refused) {
            frame_->setPressedButton(CommandOf(tools_.currentTool));
            return;
        }
        frame_->setCurrentTool(tools_.currentTool);
        frame_->setPreviousTool(tools_.previousTool);
    });
    registerGeometryCommands();
}

void CBrevAppShell::commandOpen() {
    // A chooser set by the caller stands in for the traditional dialog.
    if (chooseOpenName_ || app_->settings().browserKind != FrameSettings::OwnBrowser)
        openWithSystemDialog();
    else
        openWithBrowser();
}

bool CBrevAppShell::saveDocumentAs(CBrevDoc& doc, const QString& path) {
    const std::string target = toPath(path);
    if (Status saved = SaveDocument(doc, target); !saved) {
        user_->showMessage(saveFailureMessage(target, saved), MessageIcon::Error);
        return false;
    }
    app_->setDocumentPath(doc, target);
    // Named like an opened file: the title and the save question show the whole path.
    doc.SetFileName(path.toStdU16String());
    for (CChildFrame* w : windowsOf(doc))
        w->setWindowTitle(QString::fromStdString(w->view()->state().Title()));
    updateDocumentTitle();
    frame_->addRecentFile(path);
    return true;
}

bool CBrevAppShell::commandSave(CBrevDoc& doc) {
    const std::string path = app_->documentPath(doc);
    if (path.empty() || !KindWritable(FileKindOfPath(path))) return commandSaveAs(doc);
    return saveDocumentAs(doc, QFile::decodeName(path.c_str()));
}

bool CBrevAppShell::commandSaveAs(CBrevDoc& doc) {
    // The kind of the file the document came from decides the extension a bare name gets.
    const FileKind pathKind = FileKindOfPath(app_->documentPath(doc));
    const FileKind kind = KindWritable(pathKind) ? pathKind : FileKindOf(doc.Image().kind);
    const QString proposed = toQString(ProposedSaveName(
        QFile::decodeName(app_->documentPath(doc).c_str()).toStdU16String(), doc.FileName(), kind));
    QString chosen;
    if (chooseSaveName_) {
        chosen = chooseSaveName_(proposed);
    } else {
        CDlg_KGFile dialog(proposed, frame_.get());
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.selectedFiles().value(0);
    }
    if (chosen.isEmpty()) return false;
    return saveDocumentAs(doc, toQString(CompleteSaveName(chosen.toStdU16String(), kind)));
}

void CBrevAppShell::commandCloseDocument(CBrevDoc& doc) {
    if (askToSave(doc)) closeWindowsQuietly(doc);
}

void CBrevAppShell::commandNew() {
    CDlg_NewImage dialog(frame_.get(), app_->settings().background,
                         CDlg_NewImage::clipboardBitmapSize());
    if (dialog.exec() != QDialog::Accepted) return;
    Status created;
    CBrevDoc* doc = app_->newDocument(dialog.request(), &created);
    if (!doc) {
        if (!created.message().empty()) user_->showMessage(created.message(), MessageIcon::Warning);
        return;
    }
    openWindow(*doc);
}

void CBrevAppShell::commandEnvironment() {
    CDlg_SetEnvironment dialog(app_->settings(), frame_->popupY(), frame_.get());
    if (dialog.exec() == QDialog::Accepted) applySettingsToViews();
    // The dialog is over: the button of the tool in use is the pressed one again.
    frame_->setPressedButton(CommandOf(tools_.currentTool));
}

void CBrevAppShell::undoRedo(CBrevDoc& doc, bool undo) {
    if (!(undo ? doc.Undo() : doc.Redo())) return;
    doc.NotifyLayerListChanged();
    doc.NotifyViewsUpdate();
}

void CBrevAppShell::applySettingsToViews() {
    const FrameSettings& s = app_->settings();
    const ViewSettings settings{s.gridSpacing,       s.gridColour,      s.transparencyPattern,
                                s.pathSegmentColour, s.pathPointColour, s.selectionTone};
    for (QMdiSubWindow* w : frame_->mdiArea()->subWindowList())
        if (auto* child = qobject_cast<CChildFrame*>(w); child && child->view())
            child->view()->setSettings(settings);
}

}  // namespace quillet
