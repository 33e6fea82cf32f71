#include "app/qt/ColourSwatchWidget.h"

#include <QAction>
#include <QToolButton>

#include "app/qt/ToolIcons.h"

namespace quillet {
namespace {
constexpr int kSwatch = 26;
}

ColourSwatchWidget::ColourSwatchWidget(QAction* foreground, QAction* swap, QAction* background,
                                       QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("ColourSwatches"));
    setFixedSize(52, 50);
    auto make = [this](QAction* action, QRect where) {
        auto* b = new QToolButton(this);
        b->setDefaultAction(action);
        b->setAutoRaise(true);
        b->setIconSize(where.size() - QSize(4, 4));
        b->setGeometry(where);
        return b;
    };
    // Background first so the foreground card lies on top of it.
    background_ = make(background, QRect(20, 18, kSwatch + 4, kSwatch + 4));
    foreground_ = make(foreground, QRect(2, 2, kSwatch + 4, kSwatch + 4));
    swap_ = make(swap, QRect(32, 0, 20, 20));
    swap_->setIconSize(QSize(16, 16));
}

void ColourSwatchWidget::setColours(const QColor& foreground, const QColor& background) {
    foreground_->defaultAction()->setIcon(swatchIcon(foreground, kSwatch));
    background_->defaultAction()->setIcon(swatchIcon(background, kSwatch));
}

}  // namespace quillet
