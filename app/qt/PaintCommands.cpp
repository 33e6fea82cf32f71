#include "app/qt/PaintCommands.h"

#include <QAction>
#include <QPainter>
#include <QPixmap>

#include "app/CBrevApp.h"
#include "app/ColourSwatches.h"
#include "app/ToolOptions.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/ToolOptionBar.h"
#include "view/ToolChoice.h"
#include "view/ToolState.h"
#include "view/qt/CDlg_SetBrush.h"
#include "view/qt/CDlg_TouchDeform.h"

namespace quillet {

namespace {

constexpr ToolId kTools[] = {
    ToolId::Brush, ToolId::Eraser, ToolId::Line,      ToolId::Polyline,    ToolId::Circle,
    ToolId::Dot,   ToolId::Spray,  ToolId::WaterDrop, ToolId::TouchDeform, ToolId::ColourPick};

// A round soft dot or a hard square, with the size in the corner.
QIcon BrushIcon(int size, bool soft) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (soft) {
        QRadialGradient g(QPointF(12, 10), 9);
        g.setColorAt(0, QColor(20, 20, 20));
        g.setColorAt(1, QColor(20, 20, 20, 0));
        p.setBrush(g);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(12, 10), 9, 9);
    } else {
        p.fillRect(QRect(5, 3, 14, 14), QColor(20, 20, 20));
    }
    QFont f = p.font();
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0, 0, 160));
    p.drawText(QRect(0, 14, 24, 10), Qt::AlignRight | Qt::AlignBottom, QString::number(size));
    return QIcon(pm);
}

}  // namespace

PaintCommands::PaintCommands(CBrevAppShell& shell)
    : shell_(shell), tools_(shell.app().settings()) {}

PaintCommands::~PaintCommands() = default;

void PaintCommands::install(CMainFrame& frame) {
    tools_.Register(shell_.toolRegistry());
    for (ToolId id : kTools)
        frame.setCommandHandler(
            CommandOf(id), [this, id] { choose(id); },
            [this] { return shell_.activeDocument() != nullptr; });

    tools_.SetColourPicked([&frame](uint32_t bbggrr) {
        ColourSwatches s = frame.swatches();
        s.foreground.colour = bbggrr;
        frame.setSwatches(s);  // stores them in the settings too
    });

    frame.setPanelFactory(CMainFrame::Panel::Brush, [this, &frame]() -> QWidget* {
        auto* panel = new CDlg_SetBrush(shell_.app().settings(), &frame);
        connect(panel, &CDlg_SetBrush::brushChanged, this, &PaintCommands::showBrushOnButton);
        return panel;
    });
    showBrushOnButton();
}

void PaintCommands::choose(ToolId id) {
    CMainFrame& frame = shell_.frame();
    ToolState& state = shell_.tools();
    if (ChooseTool(state, id, shell_.activeDocument()) == ToolChoice::Refused) {
        frame.setPressedButton(CommandOf(state.currentTool));
        return;
    }
    frame.setCurrentTool(state.currentTool);
    frame.setPreviousTool(state.previousTool);
    if (const auto sliders = optionSlidersForTool(id, state.feather))
        frame.optionBar()->apply(*sliders);
    if (id == ToolId::TouchDeform) {
        if (!touch_) touch_ = new CDlg_TouchDeform(tools_.TouchDeform(), &frame);
        touch_->show();
        touch_->raise();
    }
}

void PaintCommands::showBrushOnButton() {
    const QIcon icon = BrushIcon(tools_.Size(), tools_.Soft());
    for (QAction* a : shell_.frame().commandActions(CommandId::BrushPanel)) a->setIcon(icon);
}

}  // namespace quillet
