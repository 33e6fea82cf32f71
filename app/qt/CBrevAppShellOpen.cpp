// Opening pictures: the own browser or the traditional dialog, as the setting chooses; both
// hand every chosen file to the open-document operation in turn.
#include "app/ThumbnailLoader.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CDlg_FileOpen.h"
#include "app/qt/CDlg_KGFile.h"
#include "app/qt/CMainFrame.h"

namespace quillet {

namespace {
// The browser's thumbnails: the longer side in pixels, and the threads that decode them.
constexpr int kThumbnailSize = 128;
constexpr int kThumbnailThreads = 2;

QString toQString(const std::u16string& s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}
}  // namespace

void CBrevAppShell::openWithBrowser() {
    FrameSettings& s = app_->settings();
    // The remembered folder, else the folder the program started in.
    const QString folder = s.browserFolder.empty() ? startDirectory_ : toQString(s.browserFolder);
    if (!thumbnails_)
        thumbnails_ = std::make_unique<ThumbnailLoader>(kThumbnailSize, kThumbnailThreads);
    CDlg_FileOpen dialog(*thumbnails_, *user_, folder, frame_.get());
    if (dialog.exec() != QDialog::Accepted) return;
    s.browserFolder =
        dialog.folder().toStdU16String().substr(0, size_t(FrameSettings::kMaxFolderLength));
    openChosenFiles(dialog.chosenFiles());
}

void CBrevAppShell::openWithSystemDialog() {
    FrameSettings& s = app_->settings();
    QStringList paths;
    if (chooseOpenName_) {
        const QString path = chooseOpenName_();
        if (!path.isEmpty()) paths << path;
    } else {
        paths = ChooseFilesToOpen(frame_.get(), toQString(s.browserFolder));
    }
    if (paths.isEmpty()) return;
    openChosenFiles(paths);
    // The next run of the own browser starts in the start folder again.
    s.browserFolder.clear();
}

void CBrevAppShell::openChosenFiles(const QStringList& paths) {
    for (const QString& path : paths)
        if (openFile(path)) frame_->addRecentFile(path);
}

}  // namespace quillet
