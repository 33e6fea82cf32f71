#pragma once
// The document window's scrolling view: paints the composed picture of its visible area over
// the grey background and the transparency hatch, and hands mouse and keys to the headless
// ViewState.
#include <QAbstractScrollArea>
#include <QImage>
#include <QMenu>
#include <QTimer>
#include <functional>

#include "document/DocumentObserver.h"
#include "view/ViewSettings.h"
#include "view/ViewState.h"

namespace quillet {

class CBrevView : public QAbstractScrollArea, public DocumentObserver {
    Q_OBJECT
public:
    CBrevView(CBrevDoc& doc, ViewContext context, QWidget* parent = nullptr);
    ~CBrevView() override;

    ViewState& state() { return state_; }
    CBrevDoc& document() { return state_.Doc(); }
    const ViewSettings& settings() const { return settings_; }
    void setSettings(const ViewSettings& settings);
    void toggleGrid();
    void toggleStretchView();
    // Arrow-key nudges with the move tool make one journal step per run; a pause this long
    // ends the run, and so does finishNudges() (called before every command).
    static constexpr int kNudgePauseMs = 800;
    bool finishNudges();

    // The picture at its zoom plus the frame-fit margin: what a window around it asks for.
    QSize sizeHint() const override;

    // The viewport painted into an image exactly as on screen (tests, benchmarks).
    QImage renderViewport();
    // Paints the clip area, recomposing first when the document changed since the last paint.
    void paintViewport(QPainter& painter, const QRect& clip);
    bool cacheValid() const { return cacheValid_; }

    // DocumentObserver
    void onViewsUpdate(CBrevDoc&) override;
    void onLayerListChanged(CBrevDoc&) override;
    void onCurrentLayerChanged(CBrevDoc&, int slot) override;
    void onSelectionOutlineTimer(CBrevDoc&, int milliseconds) override;
    void onZoomChanged(CBrevDoc&, double zoom) override;

    // The right-button menu (2054) comes from the main frame, which enables its entries by the
    // same rules as its own menus and sends their commands. The menu is made for `owner`.
    using ContextMenuFactory = std::function<QMenu*(QWidget* owner)>;
    void setContextMenuFactory(ContextMenuFactory factory) {
        contextMenuFactory_ = std::move(factory);
    }
    QMenu* createContextMenu();

signals:
    void titleChanged(const QString& title);
    // After a zoom change the frame around the view may fit itself to the picture.
    void frameFitRequested(QSize zoomedSize);
    // A run of arrow-key nudges began or ended: what undo can do has changed.
    void nudgeRunChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void syncScrollBars();
    void syncTimer();
    void updateCursor();
    void invalidate();
    void rebuildFrame();
    void emitTitle();
    bool carryDropTo(const QPoint& globalPos);

    ContextMenuFactory contextMenuFactory_;
    ViewState state_;
    ViewSettings settings_;
    QTimer outlineTimer_;
    QTimer nudgeTimer_;
    bool syncing_ = false;
    // The painted viewport (background, hatch, picture, grid), reused while nothing changed.
    QImage frame_;
    bool cacheValid_ = false;
    bool phase_ = false;  // outline animation phase, flipped on every paint
};

}  // namespace quillet
