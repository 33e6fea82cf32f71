#pragma once
// "      히스토그램 조정": the current layer's histogram for a chosen channel, with black and
// white point markers; releasing a marker runs the levels routine on the layer.
#include <array>

#include "document/qt/AdjustmentDialog.h"

class QLabel;
class QRadioButton;

namespace quillet {

// The graph and the marker strip, drawn at the positions the dialog's layout fixes.
class HistogramGraph : public QWidget {
    Q_OBJECT
public:
    explicit HistogramGraph(QWidget* parent = nullptr);
    void setCounts(const std::array<uint32_t, 256>& counts);
    int black() const { return black_; }
    int white() const { return white_; }
    // A press or drag in the strip at widget x: the nearer marker moves to x − 10 (0..255)
    // when the black point stays below the white point.
    void moveMarker(int x);
    QSize sizeHint() const override { return {280, 165}; }

signals:
    void released();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    std::array<uint32_t, 256> counts_{};
    uint32_t highest_ = 0;
    int black_ = 0, white_ = 255;
    bool dragging_ = false;
};

class CDlg_Histogram : public AdjustmentDialog {
    Q_OBJECT
public:
    CDlg_Histogram(CBrevDoc& doc, QWidget* parent = nullptr);
    HistogramGraph* graph() const { return graph_; }

protected:
    std::optional<ColourAdjustment> adjustment() const override;

private:
    void showChannel(int channel);

    Histogram histogram_;
    int channel_ = 0;
    HistogramGraph* graph_;
    QLabel* highest_;
    QLabel* range_;
    std::array<QRadioButton*, 4> channels_{};
};

}  // namespace quillet
