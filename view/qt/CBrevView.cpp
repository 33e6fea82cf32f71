// Events of the document view: scrolling, mouse, keys, focus, the outline timer and the
// document's notifications.
#include "view/qt/CBrevView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include "document/CBrevDoc.h"
#include "view/ToolState.h"
#include "view/qt/ToolCursors.h"

namespace quillet {

namespace {

ViewPoint At(const QPointF& p) { return {int(std::floor(p.x())), int(std::floor(p.y()))}; }

// Qt keys as the virtual keys the view's rules speak of.
int VirtualKeyOf(const QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Shift:
            return VirtualKey::Shift;
        case Qt::Key_Control:
            return VirtualKey::Control;
        case Qt::Key_Left:
            return VirtualKey::Left;
        case Qt::Key_Up:
            return VirtualKey::Up;
        case Qt::Key_Right:
            return VirtualKey::Right;
        case Qt::Key_Down:
            return VirtualKey::Down;
        case Qt::Key_1:
        case Qt::Key_Exclam:
            return VirtualKey::One;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return VirtualKey::Plus;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            return VirtualKey::Minus;
        default:
            return e->key() < 0x100 ? e->key() : 0;
    }
}

// X11 reports the left Shift key as hardware key 50.
constexpr quint32 kX11LeftShift = 50;

}  // namespace

CBrevView::CBrevView(CBrevDoc& doc, ViewContext context, QWidget* parent)
    : QAbstractScrollArea(parent), state_(doc, context) {
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    outlineTimer_.setTimerType(Qt::CoarseTimer);
    connect(&outlineTimer_, &QTimer::timeout, this, [this] {
        if (state_.TimerTick()) viewport()->update();
        syncTimer();
    });
    nudgeTimer_.setSingleShot(true);
    connect(&nudgeTimer_, &QTimer::timeout, this, &CBrevView::finishNudges);
    doc.AddObserver(this);
    state_.UpdateOther();
    syncScrollBars();
    updateCursor();
}

CBrevView::~CBrevView() {
    outlineTimer_.stop();
    document().RemoveObserver(this);
}

QSize CBrevView::sizeHint() const {
    const ViewSize z = state_.ZoomedSize();
    return {std::max(1, z.width) + 4, std::max(1, z.height) + 4};
}

void CBrevView::setSettings(const ViewSettings& s) {
    settings_ = s;
    invalidate();
}

void CBrevView::toggleGrid() {
    settings_.gridSpacing = -settings_.gridSpacing;
    invalidate();
}

void CBrevView::toggleStretchView() {
    DocViewState& v = document().ViewShared();
    v.stretchView = !v.stretchView;
    v.recomposeNeeded = true;
    document().NotifyViewsUpdate();
}

bool CBrevView::finishNudges() {
    nudgeTimer_.stop();
    if (!state_.EndNudgeRun()) return false;
    emit nudgeRunChanged();
    return true;
}

void CBrevView::invalidate() {
    cacheValid_ = false;
    viewport()->update();
}

void CBrevView::emitTitle() { emit titleChanged(QString::fromStdString(state_.Title())); }

void CBrevView::syncScrollBars() {
    syncing_ = true;
    // The bars are decided from the whole widget, so that a picture that fits once the bars
    // are gone does not keep them.
    const ViewSize extent = state_.ScrollExtent();
    const QSize full = contentsRect().size();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    bool needH = extent.width > full.width(), needV = extent.height > full.height();
    if (needH && !needV) needV = extent.height > full.height() - bar;
    if (needV && !needH) needH = extent.width > full.width() - bar;
    setHorizontalScrollBarPolicy(needH ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(needV ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    state_.SetClientSize({viewport()->width(), viewport()->height()});
    const ViewSize client = state_.ClientSize();
    const ViewPoint max = state_.ScrollMax();
    horizontalScrollBar()->setRange(0, max.x);
    horizontalScrollBar()->setPageStep(std::max(1, client.width));
    horizontalScrollBar()->setSingleStep(std::max(1, extent.width / 100));
    verticalScrollBar()->setRange(0, max.y);
    verticalScrollBar()->setPageStep(std::max(1, client.height));
    verticalScrollBar()->setSingleStep(std::max(1, extent.height / 100));
    horizontalScrollBar()->setValue(state_.Scroll().x);
    verticalScrollBar()->setValue(state_.Scroll().y);
    syncing_ = false;
}

void CBrevView::syncTimer() {
    const OutlineAnimation& a = state_.Animation();
    if (!a.timerRunning()) {
        outlineTimer_.stop();
    } else if (!outlineTimer_.isActive() || outlineTimer_.interval() != a.intervalMs()) {
        outlineTimer_.start(a.intervalMs());
    }
}

void CBrevView::updateCursor() { viewport()->setCursor(ToolCursor(state_.Cursor())); }

void CBrevView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    syncScrollBars();
    invalidate();
}

void CBrevView::scrollContentsBy(int, int) {
    if (syncing_) return;
    state_.ScrollTo({horizontalScrollBar()->value(), verticalScrollBar()->value()});
    invalidate();
}

void CBrevView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    state_.ButtonDown(At(e->position()));
    updateCursor();
    syncTimer();
    viewport()->update();
}

void CBrevView::mouseMoveEvent(QMouseEvent* e) {
    const bool left = e->buttons() & Qt::LeftButton;
    const ViewPoint p = At(e->position());
    if (left && state_.MoveDragging() && !viewport()->rect().contains(e->position().toPoint())) {
        // Leaving the window with a layer in hand takes a copy of it along.
        state_.MoveDragLeft();
        viewport()->update();
        return;
    }
    state_.MouseMove(p, left);
    updateCursor();
    syncTimer();
}

void CBrevView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    state_.ButtonUp(At(e->position()));
    ToolState& tools = state_.Tools();
    if (tools.dropPending && tools.dropSource == &document()) {
        carryDropTo(e->globalPosition().toPoint());
        // A drop not taken by another window is forgotten rather than left to surprise later.
        tools.dropPending = false;
        tools.dropSource = nullptr;
    }
    updateCursor();
    viewport()->update();
}

bool CBrevView::carryDropTo(const QPoint& globalPos) {
    for (QWidget* w = QApplication::widgetAt(globalPos); w; w = w->parentWidget()) {
        auto* target = qobject_cast<CBrevView*>(w);
        if (!target) continue;
        if (target == this || !target->state_.AcceptPendingDrop()) return false;
        target->setFocus(Qt::MouseFocusReason);
        if (QWidget* frame = target->parentWidget()) frame->activateWindow();
        return true;
    }
    return false;
}

void CBrevView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
    state_.DoubleClick(At(e->position()));
    syncTimer();
    viewport()->update();
}

void CBrevView::wheelEvent(QWheelEvent* e) { e->accept(); }

// Ctrl with plus or minus zooms this view at once about (0, 0): the keys must reach the view
// before the menu's shortcuts for the same keys, which only choose the zoom tools.
bool CBrevView::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        const int vk = VirtualKeyOf(key);
        if ((key->modifiers() & Qt::ControlModifier) &&
            (vk == VirtualKey::Plus || vk == VirtualKey::Minus)) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void CBrevView::keyPressEvent(QKeyEvent* e) {
    if ((e->modifiers() & Qt::ControlModifier) && !state_.CtrlHeld() && e->key() != Qt::Key_Control)
        state_.KeyDown(VirtualKey::Control);
    unsigned flags = 0;
    if (e->key() == Qt::Key_Shift && e->isAutoRepeat() && e->nativeScanCode() == kX11LeftShift)
        flags = kLeftShiftRepeatFlags;
    const bool wasOpen = state_.NudgeRunOpen();
    state_.KeyDown(VirtualKeyOf(e), flags);
    if (state_.NudgeRunOpen())
        nudgeTimer_.start(kNudgePauseMs);
    else
        nudgeTimer_.stop();
    if (wasOpen != state_.NudgeRunOpen()) emit nudgeRunChanged();
    e->accept();
    viewport()->update();
}

void CBrevView::keyReleaseEvent(QKeyEvent* e) {
    if (e->isAutoRepeat()) return;
    state_.KeyUp(VirtualKeyOf(e));
    if (!(e->modifiers() & Qt::ControlModifier) && state_.CtrlHeld())
        state_.KeyUp(VirtualKey::Control);
    e->accept();
}

QMenu* CBrevView::createContextMenu() {
    return contextMenuFactory_ ? contextMenuFactory_(window()) : nullptr;
}

void CBrevView::contextMenuEvent(QContextMenuEvent* e) {
    QMenu* menu = createContextMenu();
    if (!menu) return;
    menu->exec(e->globalPos());
    delete menu;
}

void CBrevView::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    state_.FocusGained();
    syncTimer();
    emitTitle();
}

void CBrevView::focusOutEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusOutEvent(e);
    state_.FocusLost();
    syncTimer();
}

void CBrevView::onViewsUpdate(CBrevDoc&) {
    state_.UpdateOther();
    syncScrollBars();
    cacheValid_ = false;
    viewport()->update();
    emitTitle();
}

void CBrevView::onLayerListChanged(CBrevDoc&) { emitTitle(); }

void CBrevView::onCurrentLayerChanged(CBrevDoc&, int) { emitTitle(); }

void CBrevView::onSelectionOutlineTimer(CBrevDoc& doc, int ms) {
    if (!doc.SelectionActive()) return;
    doc.ViewShared().selectionShown = true;
    state_.Animation().start(ms);
    syncTimer();
}

void CBrevView::onZoomChanged(CBrevDoc&, double) {
    state_.UpdateForZoom();
    syncScrollBars();
    cacheValid_ = false;
    viewport()->update();
    if (state_.TakeFrameFitRequest()) {
        const ViewSize z = state_.ZoomedSize();
        emit frameFitRequested(QSize(z.width, z.height));
    }
    emitTitle();
}

}  // namespace quillet
