// The tool bars, fly-out palettes, the option bar and the colour swatches of the main frame.
#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "app/qt/CMainFrame.h"
#include "app/qt/ColourSwatchWidget.h"
#include "app/qt/ToolIcons.h"
#include "app/qt/ToolOptionBar.h"

namespace quillet {
namespace {

QString utf8(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// Tool and panel buttons stay down while their command is the pressed one (flatten never does).
bool showsPressed(CommandId id) {
    const CommandInfo* info = findCommand(id);
    return info && info->gate == GateUse::Tool && id != CommandId::Flatten;
}

// The tooltip a button or fly-out entry shows: its own tool-bar text when it has one.
QString tooltipFor(CommandId id) {
    for (auto bar : {mainToolBar(), toolsToolBar()})
        for (const ToolButtonDef& b : bar)
            if (b.id == id && !b.tooltip.empty()) return utf8(b.tooltip);
    return utf8(toolCaption(id));
}

}  // namespace

void CMainFrame::fillToolBar(QToolBar* bar, std::span<const ToolButtonDef> buttons) {
    for (const ToolButtonDef& def : buttons) {
        if (def.id == CommandId::None) {
            bar->addSeparator();
            continue;
        }
        auto makeButtonAction = [&](CommandId id, const QString& tip, QObject* owner) {
            QAction* a = makeCommandAction(id, tip, owner);
            a->setObjectName(QStringLiteral("button%1").arg(int(id)));
            a->setToolTip(tip);
            a->setCheckable(showsPressed(id));
            return a;
        };
        QAction* main = makeButtonAction(def.id, utf8(def.tooltip), bar);
        if (def.flyout.empty()) {
            bar->addAction(main);
            continue;
        }
        // A fly-out: a click sends the button's current command; holding the button opens the
        // palette, and choosing from it both sends that command and puts it on the button.
        auto* button = new QToolButton(bar);
        button->setObjectName(QStringLiteral("flyout%1").arg(int(def.id)));
        button->setPopupMode(QToolButton::DelayedPopup);
        auto* palette = new QMenu(button);
        for (CommandId id : def.flyout) {
            QAction* a = id == def.id ? main : makeButtonAction(id, tooltipFor(id), palette);
            palette->addAction(a);
            flyoutButtons_[id] = button;
            connect(a, &QAction::triggered, button, [button, a] { button->setDefaultAction(a); });
        }
        button->setMenu(palette);
        button->setDefaultAction(main);
        bar->addWidget(button);
    }
}

void CMainFrame::buildToolBars() {
    mainBar_ = addToolBar(QStringLiteral("표준"));
    mainBar_->setObjectName(QStringLiteral("MainToolBar"));
    mainBar_->setIconSize(QSize(24, 24));
    fillToolBar(mainBar_, mainToolBar());

    addToolBarBreak(Qt::TopToolBarArea);
    optionToolBar_ = addToolBar(QStringLiteral("도구 옵션"));
    optionToolBar_->setObjectName(QStringLiteral("OptionToolBar"));
    optionBar_ = new ToolOptionBar(optionToolBar_);
    optionToolBar_->addWidget(optionBar_);

    toolsBar_ = new QToolBar(QStringLiteral("도구"), this);
    toolsBar_->setObjectName(QStringLiteral("ToolsToolBar"));
    toolsBar_->setIconSize(QSize(24, 24));
    toolsBar_->setOrientation(Qt::Vertical);
    addToolBar(Qt::LeftToolBarArea, toolsBar_);
    fillToolBar(toolsBar_, toolsToolBar());
    toolsBar_->addSeparator();

    // The swatches send their commands like any button; their pictures show the colours.
    auto swatchAction = [this](CommandId id, const char* tip) {
        QAction* a = makeCommandAction(id, QString::fromUtf8(tip), this);
        a->setObjectName(QStringLiteral("button%1").arg(int(id)));
        a->setToolTip(QString::fromUtf8(tip));
        return a;
    };
    QAction* fg = swatchAction(CommandId::ForegroundColour, "전경색");
    QAction* swap = swatchAction(CommandId::SwapColours, "전경,배경색 교환");
    QAction* bg = swatchAction(CommandId::BackgroundColour, "배경색");
    swap->setIcon(toolIcon(CommandId::SwapColours));
    swatchWidget_ = new ColourSwatchWidget(fg, swap, bg, toolsBar_);
    toolsBar_->addWidget(swatchWidget_);
    setSwatches(swatches_);
}

void CMainFrame::syncPressedButtons() {
    for (auto& [id, action] : actions_)
        if (action && action->isCheckable()) action->setChecked(id == state_.pressedButton);
    // A fly-out shows the pressed member on its face.
    auto it = flyoutButtons_.find(state_.pressedButton);
    if (it != flyoutButtons_.end())
        for (QAction* a : commandActions(state_.pressedButton))
            if (a->isCheckable() && it->second->menu()->actions().contains(a))
                it->second->setDefaultAction(a);
}

void CMainFrame::setSwatches(const ColourSwatches& swatches) {
    swatches_ = swatches;
    auto qcolour = [](uint32_t c) { return QColor(redOf(c), greenOf(c), blueOf(c)); };
    if (swatchWidget_)
        swatchWidget_->setColours(qcolour(swatches_.foreground.colour),
                                  qcolour(swatches_.background.colour));
    emit swatchesChanged();
}

}  // namespace quillet
