#pragma once
// The tool option bar: two labelled sliders, each with a value field, set by the chosen tool.
#include <QWidget>

#include "app/ToolOptions.h"

class QLabel;
class QSlider;
class QSpinBox;

namespace quillet {

class ToolOptionBar : public QWidget {
    Q_OBJECT
public:
    explicit ToolOptionBar(QWidget* parent = nullptr);

    void apply(const OptionSliders& sliders);
    // which: 0 for the first slider, 1 for the second.
    int value(int which) const;
    QString label(int which) const;
    bool isSliderEnabled(int which) const;
    QSlider* slider(int which) const { return row(which).slider; }
    QSpinBox* field(int which) const { return row(which).field; }

signals:
    void valueChanged(int which, int value);

private:
    struct Row {
        QLabel* label = nullptr;
        QSlider* slider = nullptr;
        QSpinBox* field = nullptr;
    };
    const Row& row(int which) const { return rows_[which == 0 ? 0 : 1]; }
    void applyRow(Row& row, const OptionSliderSetting& setting);

    Row rows_[2];
};

}  // namespace quillet
