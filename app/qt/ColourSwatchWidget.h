#pragma once
// The foreground/background swatches on the tools bar: the two colour buttons
// (ForegroundColour, BackgroundColour) overlapping like paper cards, and the swap button
// (SwapColours) beside them.
#include <QWidget>

class QAction;
class QToolButton;

namespace quillet {

class ColourSwatchWidget : public QWidget {
    Q_OBJECT
public:
    ColourSwatchWidget(QAction* foreground, QAction* swap, QAction* background,
                       QWidget* parent = nullptr);
    void setColours(const QColor& foreground, const QColor& background);

private:
    QToolButton* foreground_;
    QToolButton* swap_;
    QToolButton* background_;
};

}  // namespace quillet
