// The commands the main frame handles itself: window arrangement, close all, about, exit,
// the colour swatches and the panel toggles.
#include <QAction>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/qt/CMainFrame.h"

namespace quillet {
namespace {

// Where the colour dialog's hue/saturation field puts its marker for a colour (220 × 200).
QPoint pickerPosition(const QColor& c) {
    const int hue = std::max(c.hsvHue(), 0);
    return QPoint((360 - hue) * 219 / 360, (255 - c.hsvSaturation()) * 199 / 255);
}

SwatchColour swatchFor(const QColor& c, int previousIndex) {
    int index = previousIndex;
    for (int i = 0; i < 48; ++i)
        if (QColorDialog::standardColor(i).rgb() == c.rgb()) index = i;
    const QPoint at = pickerPosition(c);
    return SwatchColour{rgbColour(c.red(), c.green(), c.blue()), index, at.x(), at.y()};
}

}  // namespace

void CMainFrame::installFrameCommands() {
    using enum CommandId;
    setCommandHandler(Cascade, [this] { cascadeWindows(); });
    setCommandHandler(Tile, [this] { mdiArea_->tileSubWindows(); });
    setCommandHandler(CloseAll, [this] { closeAllDocuments(); });
    setCommandHandler(About, [this] { showAboutDialog(); });
    setCommandHandler(Exit, [this] { close(); });
    setCommandHandler(CloseProgram, [this] { close(); });
    setCommandHandler(ForegroundColour, [this] { chooseColour(true); });
    setCommandHandler(BackgroundColour, [this] { chooseColour(false); });
    setCommandHandler(SwapColours, [this] {
        ColourSwatches s = swatches_;
        swapSwatches(s);
        setSwatches(s);
    });
}

// Every document window goes at once, modified or not: the document side sees
// isClosingAllDocuments() and must not ask; a window that still refuses is removed anyway.
void CMainFrame::closeAllDocuments() {
    closingAll_ = true;
    QList<QPointer<QMdiSubWindow>> windows;
    for (QMdiSubWindow* w : mdiArea_->subWindowList()) windows << w;
    for (const QPointer<QMdiSubWindow>& w : windows) {
        if (!w) continue;  // closed along with an earlier window of the same document
        if (!w->close() && w) delete w.data();
    }
    closingAll_ = false;
}

void CMainFrame::showAboutDialog() {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("AboutDialog"));
    dialog.setWindowTitle(QStringLiteral("'Velloran Quillet'에 관하여"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* title = new QLabel(QStringLiteral("<b>Velloran Quillet</b> 4.6"), &dialog);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    title->setFont(big);
    layout->addWidget(title);
    layout->addWidget(new QLabel(QStringLiteral("버전 460.0.0.0"), &dialog));
    layout->addWidget(new QLabel(QStringLiteral("Copyright (C) Velloran Applications"), &dialog));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.adjustSize();
    dialog.move(geometry().center() - dialog.rect().center());
    dialog.exec();
}

// --- Window arrangement and caption ---------------------------------------------------------

namespace {
// One title bar's height: each cascaded window shows the title of the one behind it.
int cascadeStep(const QMdiArea* area) {
    QMdiSubWindow probe;
    return std::max(8, area->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &probe));
}

QList<QMdiSubWindow*> arrangedWindows(const QMdiArea* area) {
    QList<QMdiSubWindow*> out;
    for (QMdiSubWindow* w : area->subWindowList(QMdiArea::CreationOrder))
        if (w->isVisible() && !w->isMinimized()) out << w;
    return out;
}
}  // namespace

QPoint CMainFrame::cascadePosition(int index) const {
    const int step = cascadeStep(mdiArea_);
    const QSize room = mdiArea_->viewport()->size();
    // Start over once a window would have less than half the area left.
    const int steps = std::max(1, std::min(room.width(), room.height()) / 2 / step + 1);
    const int k = index % steps;
    return {k * step, k * step};
}

QPoint CMainFrame::nextWindowPosition() const {
    return cascadePosition(int(arrangedWindows(mdiArea_).size()));
}

void CMainFrame::cascadeWindows() {
    QMdiSubWindow* active = mdiArea_->activeSubWindow();
    const QSize room = mdiArea_->viewport()->size();
    int i = 0;
    for (QMdiSubWindow* w : arrangedWindows(mdiArea_)) {
        if (w->isMaximized()) w->showNormal();
        const QPoint at = cascadePosition(i++);
        const QSize wanted = w->sizeHint().expandedTo(w->minimumSizeHint());
        const QSize size = wanted.boundedTo(QSize(room.width() - at.x(), room.height() - at.y()));
        w->setGeometry(QRect(at, size.expandedTo(QSize(120, 80))));
        w->raise();
    }
    if (active) mdiArea_->setActiveSubWindow(active);
}

void CMainFrame::setCaption(const QString& caption) {
    caption_ = caption;
    setWindowTitle(documentTitle_.isEmpty() ? caption_
                                            : caption_ + QStringLiteral(" - ") + documentTitle_);
}

void CMainFrame::setDocumentTitle(const QString& name) {
    documentTitle_ = name;
    setCaption(caption_);
}

void CMainFrame::setColourChooser(ColourChooser chooser) { colourChooser_ = std::move(chooser); }

void CMainFrame::chooseColour(bool foreground) {
    const SwatchColour& current = foreground ? swatches_.foreground : swatches_.background;
    const QColor initial(redOf(current.colour), greenOf(current.colour), blueOf(current.colour));
    const QString title = foreground ? QStringLiteral("전경색") : QStringLiteral("배경색");
    std::optional<QColor> chosen;
    if (colourChooser_) {
        chosen = colourChooser_(initial, title);
    } else {
        const QColor c = QColorDialog::getColor(initial, this, title);
        if (c.isValid()) chosen = c;
    }
    if (!chosen || !chosen->isValid()) return;
    ColourSwatches s = swatches_;
    const SwatchColour picked = swatchFor(*chosen, current.index);
    if (foreground)
        setForeground(s, picked);
    else
        setBackground(s, picked);
    setSwatches(s);
}

// --- Panels ---------------------------------------------------------------------------------

void CMainFrame::setPanelFactory(Panel which, std::function<QWidget*()> factory) {
    panelFactories_[size_t(which)] = std::move(factory);
    switch (which) {
        case Panel::LayerHistory:
            setCommandHandler(CommandId::LayerPanel, [this] { togglePanel(Panel::LayerHistory); });
            break;
        case Panel::Brush:
            setCommandHandler(CommandId::BrushPanel, [this] { togglePanel(Panel::Brush); });
            break;
        case Panel::OneClickCamera:
            setCommandHandler(CommandId::OneClickCameraPanel,
                              [this] { togglePanel(Panel::OneClickCamera); });
            break;
        case Panel::MovieMaker:
        case Panel::MoviePlayer:
            if (panelFactories_[size_t(Panel::MovieMaker)] &&
                panelFactories_[size_t(Panel::MoviePlayer)])
                setCommandHandler(CommandId::MovieMaker, [this] { toggleMovieMaker(); });
            break;
        default:
            break;
    }
}

QWidget* CMainFrame::panel(Panel which) const { return panels_[size_t(which)].data(); }

bool CMainFrame::isPanelVisible(Panel which) const {
    const QWidget* w = panel(which);
    return w && w->isVisible();
}

QWidget* CMainFrame::showPanel(Panel which) {
    QWidget* w = ensurePanel(which);
    if (w) w->show();
    return w;
}

void CMainFrame::hidePanel(Panel which) {
    if (QWidget* w = panel(which)) w->hide();
}

int CMainFrame::popupY() const {
    if (!mainBar_) return y();
    return popupPanelY(mainBar_->mapToGlobal(QPoint(0, 0)).y(), mainBar_->height());
}

QWidget* CMainFrame::ensurePanel(Panel which) {
    const size_t i = size_t(which);
    if (panels_[i]) return panels_[i];
    if (!panelFactories_[i]) return nullptr;
    QWidget* w = panelFactories_[i]();
    if (!w) return nullptr;
    panels_[i] = w;
    const int x = centralWidget() ? centralWidget()->mapToGlobal(QPoint(8, 0)).x() : this->x();
    w->move(x, popupY());
    return w;
}

void CMainFrame::togglePanel(Panel which) {
    PanelPlacement& placement = placements_[size_t(which)];
    QWidget* w = panel(which);
    placement.exists = w != nullptr;
    placement.visible = w && w->isVisible();
    const QRect g = w ? w->geometry() : QRect();
    const PanelRect current{g.x(), g.y(), g.width(), g.height()};
    switch (::quillet::togglePanel(placement, current, PanelRect{})) {
        case PanelAction::Hide:
            w->hide();
            break;
        case PanelAction::ShowAgain: {
            const PanelRect& r = placement.remembered;
            if (r.width > 0 && r.height > 0) w->setGeometry(r.x, r.y, r.width, r.height);
            w->show();
            break;
        }
        case PanelAction::Create:
            if (!(w = ensurePanel(which))) {
                placement = PanelPlacement{};
                return;
            }
            placement.remembered = PanelRect{w->x(), w->y(), w->width(), w->height()};
            w->show();
            break;
    }
}

void CMainFrame::toggleMovieMaker() {
    QWidget* maker = ensurePanel(Panel::MovieMaker);
    QWidget* player = ensurePanel(Panel::MoviePlayer);
    if (!maker || !player) return;
    const MovieToggle t = ::quillet::toggleMovieMaker(maker->isVisible());
    maker->setVisible(t.showMovieMaker);
    player->setVisible(t.showMoviePlayer);
    QWidget* layers =
        t.showLayerPanel ? ensurePanel(Panel::LayerHistory) : panel(Panel::LayerHistory);
    if (layers) layers->setVisible(t.showLayerPanel);
}

}  // namespace quillet
