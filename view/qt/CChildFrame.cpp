#include "view/qt/CChildFrame.h"

#include <QMdiArea>

#include "view/qt/CBrevView.h"

namespace quillet {

CChildFrame::CChildFrame(CBrevDoc& doc, ViewContext context, QWidget* parent)
    : QMdiSubWindow(parent) {
    view_ = new CBrevView(doc, context, this);
    setWidget(view_);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(view_, &CBrevView::titleChanged, this, &QWidget::setWindowTitle);
    connect(view_, &CBrevView::frameFitRequested, this, &CChildFrame::fitToPicture);
    setWindowTitle(QString::fromStdString(view_->state().Title()));
}

void CChildFrame::fitToPicture(QSize zoomed) {
    if (isMinimized() || isMaximized()) return;
    // Room up to the right and bottom edges of the main window's client area.
    QSize room(4096, 4096);
    if (QMdiArea* area = mdiArea()) room = area->viewport()->size();
    const ViewSize client = ViewState::FrameFitClientSize(
        {zoomed.width(), zoomed.height()}, {x(), y()}, {room.width(), room.height()});
    // The frame's own border and title bar come on top of the client size.
    const QSize chrome = size() - widget()->size();
    resize(QSize(std::max(1, client.width), std::max(1, client.height)) + chrome);
}

}  // namespace quillet
