#pragma once
// "Quillet 파일 보기창": the program's own file browser. A page of 40 thumbnail slots in rows of
// 4 over the current folder, filtered by type; a click picks a file, Ctrl-clicks pick up to 20.
// Thumbnails come from the shared loader as they are decoded, so the window never waits.
#include <QDialog>
#include <QHash>
#include <QImage>
#include <QStringList>

#include "app/FileBrowser.h"

class QComboBox;
class QLabel;
class QScrollBar;

namespace quillet {

class BrowserPageView;
class ThumbnailLoader;
class UserPort;

class CDlg_FileOpen : public QDialog {
    Q_OBJECT
public:
    CDlg_FileOpen(ThumbnailLoader& thumbnails, UserPort& user, const QString& folder,
                  QWidget* parent = nullptr);
    ~CDlg_FileOpen() override;

    // The folder shown; OK leaves it as the browser folder.
    QString folder() const { return folder_; }
    void setFolder(const QString& folder);
    void setType(BrowserType type);
    // The picked files as full paths, in the order they were picked.
    QStringList chosenFiles() const;

    // What the page lists, and a click on entry `index` as the mouse gives it (tests and keys).
    const std::vector<BrowserEntry>& entries() const { return entries_; }
    void clickEntry(int index, bool control);
    int firstRow() const { return firstRow_; }
    void scrollToRow(int row);
    bool slotIsBold(int slot) const;

    // The page's thumbnails for painting: null image while a slot's thumbnail is not ready.
    QImage thumbnailFor(const QString& path, bool* failed, QString* sizeLabel);

private:
    void refresh();
    void requestVisible();
    void thumbnailReady(const QString& path);
    QString pathOf(int index) const;

    ThumbnailLoader& thumbnails_;
    UserPort& user_;
    QString folder_;
    BrowserType type_ = BrowserType::AllPictures;
    std::vector<BrowserEntry> entries_;
    BrowserSelection selection_;
    int firstRow_ = 0;
    QHash<QString, QImage> images_;  // the current folder's thumbnails, ready to paint
    BrowserPageView* page_;
    QScrollBar* rows_;
    QLabel* folderLabel_;
    QLabel* emptyNote_;
    QComboBox* typeBox_;

    friend class BrowserPageView;
};

}  // namespace quillet
