#pragma once
// The rows of the layer window, drawn from LayerRows(): the visibility switch, the picture of
// the layer, the row number, the background icon and the label. A click chooses the layer, a
// click on the switch shows or hides it, dragging a row onto another exchanges the two layers'
// places, a double click on a text layer asks for its text, the right button opens the menu.
#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "document/LayerListRows.h"
#include "document/compositor/Compositor.h"

class QMenu;

namespace quillet {

class CBrevDoc;

class LayerRowList : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 46;
    static constexpr int kThumbnailSide = 40;

    explicit LayerRowList(QWidget* parent = nullptr);

    void setDocument(CBrevDoc* doc);
    // Rebuilds the rows from the document; pictures are made again only for layers whose key
    // changed. Returns how many pictures were made.
    int refresh();
    void setContextMenuFactory(std::function<QMenu*(QWidget*)> factory) {
        contextMenu_ = std::move(factory);
    }
    void setTextEditor(std::function<void(CBrevDoc&, int)> editor) {
        textEditor_ = std::move(editor);
    }

    const std::vector<LayerRow>& rows() const { return rows_; }
    // Where a row is drawn, and its visibility switch, in this widget's coordinates.
    QRect rowRect(int row) const;
    QRect switchRect(int row) const;
    int rowAt(const QPoint& point) const;
    const QImage& thumbnail(int slot) const { return thumbnails_[size_t(slot)].image; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct Thumbnail {
        ThumbnailKey key;
        bool valid = false;
        QImage image;
    };
    bool makeThumbnail(int slot);

    CBrevDoc* doc_ = nullptr;
    std::vector<LayerRow> rows_;
    std::array<Thumbnail, 40> thumbnails_;
    Image32 scratch_;  // the compositor's buffer, kept between pictures
    int pressRow_ = -1;
    QPoint pressAt_;
    bool dragging_ = false;
    int dropRow_ = -1;
    std::function<QMenu*(QWidget*)> contextMenu_;
    std::function<void(CBrevDoc&, int)> textEditor_;
};

}  // namespace quillet
