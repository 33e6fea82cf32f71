#include "view/qt/CChildFrame.h"

#include <QMdiArea>
#include <QTimer>

#include "view/qt/CBrevView.h"

namespace quillet {

CChildFrame::CChildFrame(CBrevDoc& doc, ViewContext context, QWidget* parent)
    : QMdiSubWindow(parent), doc_(doc) {
    view_ = new CBrevView(doc, context, this);
    setWidget(view_);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(view_, &CBrevView::titleChanged, this, &QWidget::setWindowTitle);
    connect(view_, &CBrevView::frameFitRequested, this, &CChildFrame::fitToPicture);
    setWindowTitle(QString::fromStdString(view_->state().Title()));
}

CChildFrame::~CChildFrame() {
    delete view_;
    view_ = nullptr;
    emit viewReleased(&doc_);
}

void CChildFrame::fitToPicture(QSize zoomed) {
    if (isMinimized() || isMaximized()) return;
    // Room up to the right and bottom edges of the main window's client area. The frame's
    // border and title bar come on top of the client size, so they are taken from the room:
    // otherwise a large picture would push the frame past the area's edge.
    QSize room(4096, 4096);
    if (QMdiArea* area = mdiArea()) room = area->viewport()->size();
    const QSize chrome = size() - widget()->size();
    room -= chrome;
    const ViewSize client = ViewState::FrameFitClientSize(
        {zoomed.width(), zoomed.height()}, {x(), y()}, {room.width(), room.height()});
    resize(QSize(std::max(1, client.width), std::max(1, client.height)) + chrome);
}

}  // namespace quillet

namespace quillet {

void CChildFrame::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    if (fitted_) return;
    fitted_ = true;
    // A new window takes the picture's size once the MDI area has placed it.
    QTimer::singleShot(0, this, [this] {
        const ViewSize z = view_->state().ZoomedSize();
        fitToPicture(QSize(z.width, z.height));
    });
}

}  // namespace quillet
